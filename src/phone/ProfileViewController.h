#pragma once

#include "ui/SegmentedControl.h"
#include "ui/ViewController.h"
#include "ui/WebView.h"

#include <QPointer>

class ProfileHistoryViewController;
class QLabel;

// The fourth tab: the connected Twitter user (picture, name, screen name) over two pages
// chosen by a segmented control: the viewing history and the statistics page that the
// content server renders.
class ProfileViewController : public ViewController
{
    Q_OBJECT

public:
    static constexpr int PageTimeoutMs = 20000;

    explicit ProfileViewController(QObject* parent = nullptr);
    ~ProfileViewController() override;

    QString labelUsername() const;
    QString labelUserId() const;
    SegmentedControl* segment() const { return m_segment; }
    ProfileHistoryViewController* profileHistoryViewController() const;
    WebView* webViewStatistics() const { return m_webViewStatistics; }

    void segmentsValueChange(int index);
    void updateTwitterUserInfo();
    void reloadWebView();

    int supportedInterfaceOrientations() const override;

protected:
    void loadView() override;
    void viewDidLoad() override;

private:
    QPointer<QLabel> m_imageViewPhoto;
    QPointer<QLabel> m_labelUsername;
    QPointer<QLabel> m_labelUserId;
    QPointer<QWidget> m_viewContent;
    QPointer<SegmentedControl> m_segment;
    QPointer<ViewController> m_profileHistoryViewController;
    QPointer<WebView> m_webViewStatistics;
};
