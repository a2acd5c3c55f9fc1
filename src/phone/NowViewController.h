#pragma once

#include "CSelectorViewController.h"
#include "SearchViewController.h"

#include "ui/ViewController.h"
#include "ui/WebView.h"

#include <QPointer>
#include <QTimer>

#include <memory>

class ActivityOverlay;
class Channel;
class QLabel;
class QToolButton;
class QVariantAnimation;
struct Notification;

// The first tab: what is on air now, as the page the content server renders (now.php),
// kept in step with the current channel, with its links routed to show details, pages of
// the content server (in place) and everything else (the in-app browser).
class NowViewController : public ViewController,
                          public WebView::Delegate,
                          public SearchViewControllerDelegate,
                          public CSelectorViewControllerDelegate
{
    Q_OBJECT
    // Ask for a city after the next finished page; the application controller sets it.
    Q_PROPERTY(bool doStuffOnLaunch READ doStuffOnLaunch WRITE setDoStuffOnLaunch)

public:
    static constexpr int NoChannel = -4;
    static constexpr int PageTimeoutMs = 20000;
    static constexpr int DeferMs = 5000;
    static constexpr int CityQuestionTag = -666;

    explicit NowViewController(QObject* parent = nullptr);
    ~NowViewController() override;

    int lastFoundChannelId() const { return m_lastFoundChannelId; }
    bool doStuffOnLaunch() const { return m_doStuffOnLaunch; }
    void setDoStuffOnLaunch(bool ask) { m_doStuffOnLaunch = ask; }
    WebView* webViewNow() const { return m_webViewNow; }
    bool hasDeferredRequest() const { return m_timerLoadRequest != nullptr; }
    bool isShowingNoConnection() const;
    // How many turns the refresh image has begun, and its angle now (degrees).
    int refreshTurns() const { return m_refreshTurns; }
    double refreshAngle() const { return m_refreshAngle; }

    // The page requests: the general page, and the page of a channel (id as sent).
    static QNetworkRequest initialRequest();
    static QNetworkRequest channelRequest(const Channel& channel, const QString& id);

    void loadInitialPage();
    void channelChanged();
    void nowUpdate();
    void internetAvailable(bool available);
    void refresh();
    void startAnimatingIndicator(const Notification* notification);
    void openShowDetailsView(const QString& showUrl);
    void tweet();
    // Presents the search screen, made on first use and kept, in a new navigation stack.
    void showSearchController();
    SearchViewController* searchViewController() const { return m_searchViewController; }
    void searchViewControllerDidFinish(SearchViewController* controller) override;
    // The page follows the new channel through "channelChanged".
    void cSelectorViewControllerDidFinish(CSelectorViewController* controller) override;

    // WebView::Delegate
    bool webViewShouldStartLoadWithRequest(WebView* webView, const QNetworkRequest& request,
                                           WebView::NavigationType type) override;
    void webViewDidStartLoad(WebView* webView) override;
    void webViewDidFinishLoad(WebView* webView) override;
    void webViewDidFailLoadWithError(WebView* webView, const Error& error) override;

    int supportedInterfaceOrientations() const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void loadView() override;
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;

private:
    void stopRequestTimer();
    void startTimerWithRequest(const QNetworkRequest& request);
    void showConnectionAlert();
    void placeNoConnectionPicture();
    // The refresh image at rest: no turn under way, upright.
    void stopTurning();

    QPointer<WebView> m_webViewNow;
    int m_lastFoundChannelId = NoChannel;
    bool m_doStuffOnLaunch = true;
    QTimer* m_timerLoadRequest = nullptr;
    QPointer<QLabel> m_noConnectionImgView;
    QPointer<QToolButton> m_refreshButton;
    QPointer<ActivityOverlay> m_overlay;
    QVariantAnimation* m_turn = nullptr;
    QPointer<SearchViewController> m_searchViewController;
    int m_refreshTurns = 0;
    double m_refreshAngle = 0;
};
