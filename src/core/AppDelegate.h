#pragma once

#include "AppSeams.h"
#include "WidgetChannelList.h"

#include "model/AppContext.h"
#include "platform/Error.h"
#include "platform/NotificationCenter.h"
#include "ui/Application.h"

#include <QObject>
#include <QPointer>
#include <QVariantMap>

#include <atomic>
#include <memory>

class AlertView;
class ORVManagedObjectContext;
class Channel;
class Popover;
class QTimer;
class Reachability;
class ReminderAlarms;
class StackedPanesController;
class SystemClockMonitor;
class TabBarController;
class ViewController;
class Window;

// The application controller: owns the state all screens share (city and its channel map,
// server-time offset, connectivity, the current channel and its idle timer, widget
// channels, now-board priorities), runs the start-up sequence, answers identification
// results and broadcasts its changes as notifications. Lives on the main thread.
class AppDelegate : public QObject, public AppContext
{
    Q_OBJECT

public:
    // Durations of the idle timer, in seconds.
    static constexpr int IdleAfterIdentificationPhone = 120;
    static constexpr int IdleAfterIdentificationTablet = 45;
    static constexpr int IdleAfterHandChoicePhone = 240;
    static constexpr int IdleAfterHandChoiceTablet = 40;
    static constexpr int IdleAfterRestart = 120;
    static constexpr int ConnectionCheckSeconds = 20;
    static constexpr int CityPromptAlertTag = -666;
    static constexpr int NoChannel = -4;

    explicit AppDelegate(AppSeams seams, QObject* parent = nullptr);
    ~AppDelegate() override;

    // The application's delegate, while one exists.
    static AppDelegate* shared();

    // Platform entry points.
    bool applicationDidFinishLaunchingWithOptions(const QVariantMap& options = {});
    void applicationDidReceiveLocalNotification(const QVariantMap& userInfo, Application::State state);
    void alertViewDidDismissWithButtonIndex(AlertView* alertView, int buttonIndex);

    // Accessors.
    Window* window() const { return m_window; }
    TabBarController* tabBarController() const;
    StackedPanesController* stackController() const;
    ORVManagedObjectContext* dbContext() const { return m_dbContext; }
    std::shared_ptr<Channel> selectedChannel() const override { return m_selectedChannel; }
    double roundedServerTimeDifference() const override { return m_roundedServerTimeDifference; }
    bool isConnectionAvailable() const { return m_isConnectionAvailable; }
    bool isBlockPortraitOrientation() const { return m_isBlockPortraitOrientation; }
    void setIsBlockPortraitOrientation(bool block) { m_isBlockPortraitOrientation = block; }
    int userCityId() const override { return m_userCityId.load(); }
    QString userCityName() const { return m_userCityName; }
    QVariantMap mapListDict() const override { return m_mapListDict; }
    // Changed in place by the tablet settings, which then post "priority_notic".
    QVariantMap& nowPriorityDict() { return m_nowPriorityDict; }
    QList<int> widgetChannels() const { return m_widgets.channels(); }
    const WidgetChannelList& widgetChannelList() const { return m_widgets; }
    QTimer* idleTimer() const { return m_idleTimer; }
    QTimer* checkConnectionTimer() const { return m_checkConnectionTimer; }
    int foundChannelId() const { return m_foundChannelId; }
    Reachability* reachability() const { return m_reachability.get(); }

    // Operations other parts call.
    void setSelectedChannel(std::shared_ptr<Channel> channel);
    void getServerTime();
    void getChannelInfoWithId(int channelId);
    void saveCityPrefWithId(int cityId, const QString& cityName);
    void cityHasChoosed(int cityId, const QString& cityName);
    void getMapList(int cityId);
    void showCitySelector();
    void showProgramSelectorWithDelegate(QObject* delegate);
    // Takes the channel selector off the screen when it is presented.
    void dismissProgramSelector();
    ViewController* programSelector() const;
    void changeRootController();
    void startIdleTimer();
    void setDefaultWidgetChannels();
    void addWidgetChannel(int channelId);
    void removeWidgetChannel(int channelId);
    void saveWidgetChannels();
    void resetWidgetChannels();
    void showPopupWithText(const QString& text);
    void hidePopup();
    void changeNowPriority(const Notification& notification);
    void setIsConnectionAvailable(bool available);

    // Timer and notification handlers.
    void checkConnection();
    void fpNotification(const Notification& notification);
    void handleSysTimeChanged();
    void handleEventStoreChanged(const Notification& notification);
    void idle();

    Popover* popover() const;

private:
    void restartIdleTimer(int seconds);
    void buildPhoneTree();
    void buildTabletTree();
    void observe();
    void post(NotificationName name, const QVariantMap& userInfo = {});

    void onGetServerTimeDone(const QVariant& answer);
    void onGetServerTimeFailed(const Error& error);
    void onChannelInfoDone(const QVariant& answer);
    void onChannelInfoFailed(const Error& error);
    void onRatingsDone(const QVariant& answer);

    AppSeams m_seams;
    Window* m_window = nullptr;
    QPointer<TabBarController> m_tabBarController;
    QPointer<StackedPanesController> m_stackController;
    ORVManagedObjectContext* m_dbContext = nullptr;
    std::shared_ptr<Channel> m_selectedChannel;
    double m_roundedServerTimeDifference = 0;
    bool m_isConnectionAvailable = false;
    bool m_isBlockPortraitOrientation = false;
    std::atomic<int> m_userCityId{-1};
    QString m_userCityName;
    QVariantMap m_mapListDict;
    QVariantMap m_nowPriorityDict;
    WidgetChannelList m_widgets;
    QTimer* m_idleTimer = nullptr;
    QTimer* m_checkConnectionTimer = nullptr;
    QTimer* m_popupTimer = nullptr;
    int m_foundChannelId = NoChannel;
    QPointer<Popover> m_popover;
    QPointer<ViewController> m_programSelector;
    std::unique_ptr<Reachability> m_reachability;
    SystemClockMonitor* m_clockMonitor = nullptr;
    ReminderAlarms* m_reminderAlarms = nullptr;
};
