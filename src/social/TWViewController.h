#pragma once

#include "ui/SegmentedControl.h"
#include "ui/ViewController.h"

#include <QPointer>

class QLabel;
class TWListViewController;

// The Twitter tab: four talk lists under a segmented control (all channels, the current
// channel, the user's mentions, the user's timeline), each made on first use; a share button
// posting what the user watches; the no-connection picture while offline.
class TWViewController : public ViewController
{
    Q_OBJECT

public:
    explicit TWViewController(QObject* parent = nullptr);
    ~TWViewController() override;

    SegmentedControl* segment() const { return m_segment; }
    TWListViewController* listAt(int index) const;
    TWListViewController* currentList() const;
    bool isShowingNoConnection() const;

    void segmentChanged(int index);
    void tweet();
    void internetAvailable(bool available);
    // "I'm watching %@ - %@" with the current channel and its show; empty without a channel.
    static QString watchingText();

    int supportedInterfaceOrientations() const override;

protected:
    void loadView() override;
    void viewDidLoad() override;

private:
    QPointer<SegmentedControl> m_segment;
    QPointer<QWidget> m_tollBar;
    QPointer<QWidget> m_viewContent;
    QPointer<QLabel> m_noConnectionImgView;
    QPointer<TWListViewController> m_lists[4];
};
