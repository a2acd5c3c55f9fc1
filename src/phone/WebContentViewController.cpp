#include "WebContentViewController.h"

#include "ShowDetailsLink.h"
#include "model/ShowDetailsLogic.h"

#include "platform/HttpFetcher.h"
#include "ui/NavigationController.h"

#include <QNetworkCookie>
#include <QNetworkCookieJar>

#include "platform/StringTable.h"
#include "ui/ActivityOverlay.h"

#include <QVBoxLayout>

WebContentViewController::WebContentViewController(QObject* parent)
    : ViewController(QStringLiteral("WebContentViewController_iPhone"), parent)
{
    setHidesBottomBarWhenPushed(true);
}

void WebContentViewController::open(ViewController* from, const QUrl& url)
{
    auto* browser = new WebContentViewController;
    browser->setUrl(url);
    if (NavigationController* stack = from->navigationController())
        stack->pushViewController(browser, true);
    else
        browser->deleteLater();
}

void WebContentViewController::setUrl(const QUrl& url)
{
    m_url = url;
    m_loaded = false;
    if (isVisible() && m_webView)
        viewDidAppear(false);
}

void WebContentViewController::loadView()
{
    auto* view = new QWidget;
    view->setObjectName(nibName());
    auto* layout = new QVBoxLayout(view);
    layout->setContentsMargins(0, 0, 0, 0);
    m_webView = new WebView(view);
    m_webView->setDelegate(this);
    layout->addWidget(m_webView);
    m_overlay = new ActivityOverlay(view);
    setView(view);
}

void WebContentViewController::viewDidAppear(bool)
{
    if (m_loaded || !m_url.isValid())
        return;
    m_loaded = true;
    // The movie site is asked not to send its app-store page instead of the movie's.
    if (QNetworkCookieJar* jar = HttpFetcher::sharedCookieStorage()) {
        const QString name = QStringLiteral("IGNORE_APPSTORE_LINK");
        const QUrl site(QStringLiteral("https://www") + ShowDetailsLogic::movieSiteDomain() + u'/');
        bool present = false;
        for (const QNetworkCookie& cookie : jar->cookiesForUrl(site))
            present = present || cookie.name() == name.toUtf8();
        if (!present) {
            QNetworkCookie cookie(name.toUtf8(), "1");
            cookie.setDomain(ShowDetailsLogic::movieSiteDomain());
            cookie.setPath(QStringLiteral("/"));
            cookie.setExpirationDate(QDateTime::currentDateTime().addSecs(5259486));
            jar->insertCookie(cookie);
        }
    }
    QNetworkRequest request(m_url);
    request.setTransferTimeout(PageTimeoutMs);
    m_webView->loadRequest(request);
}

void WebContentViewController::viewWillDisappear(bool)
{
    m_webView->stopLoading();
    m_overlay->hide();
}

bool WebContentViewController::webViewShouldStartLoadWithRequest(WebView*, const QNetworkRequest& request,
                                                                 WebView::NavigationType)
{
    const QString address = request.url().toString();
    if (!ShowDetailsLink::isShowLink(address))
        return request.url().scheme() == u"http" || request.url().scheme() == u"https";
    ShowDetailsLink::open(this, address);
    return false;
}

void WebContentViewController::webViewDidStartLoad(WebView*)
{
    m_overlay->displayActivity(StringTable::localized("Loading"));
}

void WebContentViewController::webViewDidFinishLoad(WebView* webView)
{
    m_overlay->hide();
    setTitle(webView->documentTitle());
}

void WebContentViewController::webViewDidFailLoadWithError(WebView*, const Error& error)
{
    m_overlay->hide();
    qInfo("web content: %s", qPrintable(error.localizedDescription()));
}
