#pragma once

#include "platform/Error.h"

#include <QHash>
#include <QImage>
#include <QNetworkRequest>
#include <QPointer>
#include <QSet>
#include <QTextBrowser>
#include <QTimer>

// A page view: HTML (the subset QTextBrowser shows; no scripts) fetched through the
// application's HTTP layer, with a web view's calls and callbacks. Every load, asked for
// in code or by following a link, is first offered to the delegate's shouldStart; a load
// that is allowed starts (didStart), and ends once with didFinish or didFail (time-out,
// network error, status of 300 or more, a page larger than MaxPageBytes). A new load
// replaces one under way without ending it. Pictures of a page are fetched once it shows
// and put in as they arrive; a picture that fails stays out.
class WebView : public QTextBrowser
{
    Q_OBJECT

public:
    enum NavigationType
    {
        LinkClicked = 0,
        Other = 5
    };
    static constexpr qint64 MaxPageBytes =
        512 * 1024; // a page is a few kilobytes; more is refused, not laid out
    static inline const QString ErrorDomain = QStringLiteral("WebViewErrorDomain");

    class Delegate
    {
    public:
        virtual ~Delegate() = default;
        virtual bool webViewShouldStartLoadWithRequest(WebView*, const QNetworkRequest&, NavigationType)
        {
            return true;
        }
        virtual void webViewDidStartLoad(WebView*) {}
        virtual void webViewDidFinishLoad(WebView*) {}
        virtual void webViewDidFailLoadWithError(WebView*, const Error&) {}
    };

    explicit WebView(QWidget* parent = nullptr);
    ~WebView() override;

    void setDelegate(Delegate* delegate) { m_delegate = delegate; }
    // request's transfer timeout (QNetworkRequest::transferTimeout) is the load's time-out;
    // 0 means 60 s.
    void loadRequest(const QNetworkRequest& request);
    bool isLoading() const { return m_loading; }
    void stopLoading();
    // The request of the page shown or being loaded; none before the first load.
    const QNetworkRequest& request() const { return m_request; }
    bool hasRequest() const { return m_hasRequest; }
    // The pages loaded, as a browser's history: going back or forward loads that page again.
    bool canGoBack() const { return m_historyIndex > 0; }
    bool canGoForward() const { return m_historyIndex + 1 < m_history.size(); }
    void goBack();
    void goForward();

protected:
    QVariant loadResource(int type, const QUrl& name) override;

private:
    void navigate(const QNetworkRequest& request, NavigationType type, int historyStep = 0);
    void show(const QByteArray& body);
    void fail(const Error& error);
    void fetchPicture(const QUrl& url);

    Delegate* m_delegate = nullptr;
    QNetworkRequest m_request;
    bool m_hasRequest = false;
    bool m_loading = false;
    QList<QNetworkRequest> m_history;
    int m_historyIndex = -1;
    QPointer<QObject> m_load; // the fetch under way: deleting it aborts the fetch
    QTimer m_deadline;
    QHash<QUrl, QImage> m_pictures;
    QSet<QUrl> m_asked;
};
