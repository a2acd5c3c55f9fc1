#pragma once

#include "ui/ViewController.h"
#include "ui/WebView.h"

#include <QPointer>
#include <QUrl>

class ActivityOverlay;

// The in-app browser: an outside page (or a screenshot page of the content server) in a
// pushed screen, with the loading overlay; show links in it open show details. The tab bar
// comes back when the screen is left.
class WebContentViewController : public ViewController, public WebView::Delegate
{
    Q_OBJECT

public:
    static constexpr int PageTimeoutMs = 20000;

    explicit WebContentViewController(QObject* parent = nullptr);

    // Opens the browser at url, pushed over the tab bar onto the stack of the screen from.
    static void open(ViewController* from, const QUrl& url);

    void setUrl(const QUrl& url);
    int supportedInterfaceOrientations() const override { return AllOrientations & ~PortraitUpsideDown; }
    const QUrl& url() const { return m_url; }
    WebView* webView() const { return m_webView; }

    bool webViewShouldStartLoadWithRequest(WebView* webView, const QNetworkRequest& request,
                                           WebView::NavigationType type) override;
    void webViewDidStartLoad(WebView* webView) override;
    void webViewDidFinishLoad(WebView* webView) override;
    void webViewDidFailLoadWithError(WebView* webView, const Error& error) override;

protected:
    void loadView() override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;

private:
    QUrl m_url;
    QPointer<WebView> m_webView;
    QPointer<ActivityOverlay> m_overlay;
    bool m_loaded = false;
};
