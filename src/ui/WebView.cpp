#include "WebView.h"

#include "platform/HttpFetcher.h"

#include <QAbstractTextDocumentLayout>
#include <QScrollBar>

namespace {

// Pages are UTF-8 (the content server's) or say otherwise; what is not markup is text.
bool looksLikeHtml(const QByteArray& body)
{
    const QByteArray start = body.left(1024).trimmed().toLower();
    return start.startsWith("<!doctype html") || start.startsWith("<html") || start.contains("<body") ||
           start.startsWith("<");
}

} // namespace

WebView::WebView(QWidget* parent) : QTextBrowser(parent)
{
    setOpenLinks(false);
    setOpenExternalLinks(false);
    setFrameShape(QFrame::NoFrame);
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, [this] {
        fail(Error::withDescription(HttpFetcher::NetworkErrorDomain, -1001,
                                    QStringLiteral("The request timed out.")));
    });
    connect(this, &QTextBrowser::anchorClicked, this, [this](const QUrl& link) {
        const QUrl url = m_request.url().resolved(link);
        QNetworkRequest request(url);
        request.setTransferTimeout(m_request.transferTimeout());
        navigate(request, LinkClicked);
    });
}

WebView::~WebView()
{
    delete m_load;
}

void WebView::loadRequest(const QNetworkRequest& request)
{
    navigate(request, Other);
}

void WebView::goBack()
{
    if (canGoBack())
        navigate(m_history[m_historyIndex - 1], Other, -1);
}

void WebView::goForward()
{
    if (canGoForward())
        navigate(m_history[m_historyIndex + 1], Other, +1);
}

void WebView::navigate(const QNetworkRequest& request, NavigationType type, int historyStep)
{
    if (m_delegate && !m_delegate->webViewShouldStartLoadWithRequest(this, request, type))
        return;
    // A new page cuts off the pages ahead of the one shown; back and forward only move.
    if (historyStep == 0) {
        m_history = m_history.mid(0, m_historyIndex + 1);
        m_history.append(request);
        m_historyIndex = int(m_history.size()) - 1;
    } else {
        m_historyIndex += historyStep;
    }
    delete m_load; // a new load replaces the one under way
    m_request = request;
    m_hasRequest = true;
    m_loading = true;
    auto* load = new QObject(this);
    m_load = load;
    const int timeout = request.transferTimeout() > 0 ? request.transferTimeout() : 60000;
    m_deadline.start(timeout);
    if (m_delegate)
        m_delegate->webViewDidStartLoad(this);
    HttpFetcher* fetcher = HttpFetcher::httpFetcherWithRequest(request);
    fetcher->beginFetch(
        load,
        [this](HttpFetcher*, const QByteArray& body) {
            if (body.size() > MaxPageBytes)
                fail(Error::withDescription(ErrorDomain, 1, QStringLiteral("The page is too large.")));
            else
                show(body);
        },
        [this](HttpFetcher*, int status, const QByteArray&) {
            fail(Error::withDescription(ErrorDomain, status,
                                        QStringLiteral("The server answered %1.").arg(status)));
        },
        [this](HttpFetcher*, const Error& error) { fail(error); });
}

void WebView::stopLoading()
{
    if (!m_loading)
        return;
    delete m_load;
    m_loading = false;
    m_deadline.stop();
}

void WebView::show(const QByteArray& body)
{
    m_loading = false;
    m_deadline.stop();
    m_load->deleteLater();
    m_pictures.clear();
    m_asked.clear();
    document()->setBaseUrl(m_request.url());
    if (looksLikeHtml(body))
        setHtml(QString::fromUtf8(body));
    else
        setPlainText(QString::fromUtf8(body));
    verticalScrollBar()->setValue(0);
    if (m_delegate)
        m_delegate->webViewDidFinishLoad(this);
}

void WebView::fail(const Error& error)
{
    if (!m_loading)
        return;
    m_loading = false;
    m_deadline.stop();
    if (m_load)
        m_load->deleteLater();
    if (m_delegate)
        m_delegate->webViewDidFailLoadWithError(this, error);
}

QVariant WebView::loadResource(int type, const QUrl& name)
{
    if (type != QTextDocument::ImageResource)
        return {};
    const QUrl url = m_request.url().resolved(name);
    const auto found = m_pictures.constFind(url);
    if (found != m_pictures.constEnd())
        return *found;
    fetchPicture(url);
    return {};
}

void WebView::fetchPicture(const QUrl& url)
{
    if (m_asked.contains(url) || m_asked.size() > 200 ||
        (url.scheme() != u"http" && url.scheme() != u"https"))
        return;
    m_asked.insert(url);
    QNetworkRequest request(url);
    request.setTransferTimeout(20000);
    HttpFetcher::httpFetcherWithRequest(request)->beginFetch(
        this,
        [this, url](HttpFetcher*, const QByteArray& body) {
            QImage picture;
            if (!picture.loadFromData(body))
                return; // not a picture: left out
            m_pictures.insert(url, picture);
            document()->addResource(QTextDocument::ImageResource, url, picture);
            document()->markContentsDirty(0, document()->characterCount());
            viewport()->update();
        },
        [](HttpFetcher*, int, const QByteArray&) {}, [](HttpFetcher*, const Error&) {});
}
