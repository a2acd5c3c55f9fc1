#pragma once

#include "ORVLogoView_iPad.h"
#include "SlideView_iPad.h"
#include "SocialWidget_iPad.h"
#include "SpecialContentController.h"

#include "ui/NavigationController.h"
#include "ui/ViewController.h"

#include <QListWidget>
#include <QPointer>
#include <QSet>

#include <memory>

class Channel;
class QPushButton;
class QTimer;

// The tablet's root pane (300 points, under the sliding navigation pane): a menu of three
// items (now board, channels, Twitter), the logo view with the detected channel, the strip
// of widget channels and the talk about the current channel. It is
// also the tablet's reaction centre: identification results, the current channel, idle,
// history saving with a desktop notification for what was watched, connectivity and the
// service status, the Twitter login state, opened notifications and the stack sliding open
// and closed. The Twitter screen of the menu, not built yet, opens as its title.
class ORVRootController : public ViewController, public ORVLogoViewDelegate, public SpecialContentDelegate
{
    Q_OBJECT

public:
    static constexpr int Width = 300;
    static constexpr int StatusSeconds = 100;
    // How long the status bar tells of a detected channel or a saved show.
    static constexpr double OverlaySeconds = 3.0;

    explicit ORVRootController(QObject* parent = nullptr);
    ~ORVRootController() override;

    int currentItem() const { return m_currentItem; }
    bool isStackExpanded() const { return m_isStackExpanded; }
    int savedChannId() const { return m_savedChannId; }
    int lastFoundChannelId() const { return m_lastFoundChannelId; }
    const QSet<qint64>& historedShowsSet() const { return m_historedShowsSet; }
    ORVLogoView_iPad* logoView() const { return m_logoView; }
    SlideView_iPad* slideScreensView() const { return m_slideView; }
    SocialWidget_iPad* socialWidget() const { return m_socialWidget; }
    NavigationController* navController() const { return m_navController; }
    ViewController* menuScreen(int item) const;
    bool isStatusTimerRunning() const;
    QListWidget* menuTable() const { return m_menuTable; }

    void selectMenuItem(int item);
    void didSelectMenuRow(int row);
    void popToSelectedController(int item);
    void openMenu();
    void pauseTouch();

    void fpNotification(int result);
    void channelChanged();
    void idleTime();
    void saveToHistory(int result);
    void saveChannelToHistory(const std::shared_ptr<Channel>& channel);
    void connectionStatusDidChange(bool available);
    void updateServiceStatus();
    void stackExpanded();
    void stackCollapsed();
    void twitterLogin(const QVariantMap& userInfo);
    void twitterLogout();
    // Brings the strip's channels in line with the widget channels: ids added when there are
    // more, removed when fewer; the same number leaves the strip as it is.
    void widgetChannelChanged();
    void handleSlideViewTap();
    void recievedLocalNotification(const QVariantMap& userInfo);
    void showChannProgramFromLogoView();
    void showProgramForChannel(const QString& channelId);
    // The search results for a text, over the navigation pane.
    void showSearch(const QString& text);
    // Pushes the details of a show link ("orvane://progdetails/DAY/CHANNEL/SHOW"); false for
    // anything else.
    bool openShowLink(const QString& link);
    void handleLogoViewTap();
    void settingsTouch();
    // Offers a tweet about the strip's current show (a live-screen picture is needed).
    void handleSlideViewDoubleTap();
    // Offers a tweet about what the logo view shows, watching or listening.
    void twitterShareTouch();
    void twitterLoginTouch();
    void twitterLogoutTouch();
    // The texts those two offer; empty when something they need is missing.
    QString slideShareText() const;
    QString logoShareText() const;

    // The special-content button under the logo view, and the screen it opens.
    void showSpecialContentButtonWithDuration(double seconds);
    void hideSpecialContentButtonWithDuration(double seconds);
    // The button while shown (not while it closes); null otherwise.
    QPushButton* specialContentButton() const;
    void showSpecialContent();
    // The special-content overlay of a page, over the panes; one at a time.
    void showSpecialContentWithUrl(const QString& url);
    SpecialContentController* contentController() const { return m_contentController; }
    // SpecialContentDelegate
    void contentControllerDidFinish() override;
    // The text of the notification for a show that was watched or listened to.
    static QString watchedText(const Channel& channel);

    // ORVLogoViewDelegate
    void logoViewDidAnimateStartDetectionStateWithDuration(double seconds) override;
    void logoViewWillAnimateFinishDetectionStateWithDuration(double seconds) override;
    void logoViewCurrentShowDidChange() override;
    void getUpdateToLogoView() override;

protected:
    void loadView() override;
    void viewDidLoad() override;

private:
    void requestNowData(int channelId);
    void onGetNowShowsDone(const QVariant& answer);
    void applyCurrentShowFromLogoView(const std::shared_ptr<Channel>& channel);
    // Whether the pane's top screen shows this show's details already.
    bool detailsOnTop(const QString& showId) const;
    class ProgramDetailsController* pushDetails(const QString& showId, const QString& channelId,
                                                const QVariant& startTime);

    int m_currentItem = -1;
    bool m_isStackExpanded = false;
    int m_savedChannId = -1;
    int m_lastFoundChannelId = 0;
    QSet<qint64> m_historedShowsSet;
    QPointer<ViewController> m_menuScreens[3];
    QPointer<NavigationController> m_navController;
    QPointer<QTimer> m_updateStatusTimer;
    QPointer<QListWidget> m_menuTable;
    QPointer<ORVLogoView_iPad> m_logoView;
    QPointer<SlideView_iPad> m_slideView;
    QPointer<SocialWidget_iPad> m_socialWidget;
    QPointer<QPushButton> m_pauseButton;
    QPointer<SpecialContentController> m_contentController;
};
