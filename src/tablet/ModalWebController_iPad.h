#pragma once

#include "ui/SegmentedControl.h"
#include "ui/ViewController.h"
#include "ui/WebView.h"

#include <QLineEdit>
#include <QPointer>

// A full-screen browser for outside pages (a film's page on the movie site, links in texts):
// the address shown in a field as pages load, back and forward, and a close button.
class ModalWebController_iPad : public ViewController, public WebView::Delegate
{
    Q_OBJECT

public:
    explicit ModalWebController_iPad(const QString& urlString, QObject* parent = nullptr);

    // Presents one over the tablet's panes (or the window's root screen), animated.
    static ModalWebController_iPad* showModalWebWithUrlString(const QString& urlString);

    QString adressText() const { return m_adressField ? m_adressField->text() : QString(); }
    WebView* webView() const { return m_webView; }
    bool isIndicatorRunning() const { return m_loading; }
    void segmentChanged(int segment);
    void closeTouch();

    // WebView::Delegate
    bool webViewShouldStartLoadWithRequest(WebView* view, const QNetworkRequest& request,
                                           WebView::NavigationType type) override;
    void webViewDidStartLoad(WebView* view) override;
    void webViewDidFinishLoad(WebView* view) override;
    void webViewDidFailLoadWithError(WebView* view, const Error& error) override;

protected:
    void loadView() override;
    void viewDidLoad() override;

private:
    void updateNavigation(bool loading);

    QString m_destinUrl;
    bool m_loading = false;
    QPointer<WebView> m_webView;
    QPointer<SegmentedControl> m_segment;
    QPointer<QLineEdit> m_adressField;
};
