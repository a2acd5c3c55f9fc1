#pragma once

#include <QLatin1String>
#include <QString>

// The name of a notification. The centre takes only this type, so a misspelt name is a
// compile error: the names of the system are the constants below. Another name (a test's
// own) must be spelt out as NotificationName(QLatin1String("...")).
class NotificationName
{
public:
    constexpr explicit NotificationName(QLatin1String name) : m_name(name) {}

    QString toString() const { return QString(m_name); }
    constexpr QLatin1String latin1() const { return m_name; }

    friend bool operator==(NotificationName a, NotificationName b) { return a.m_name == b.m_name; }
    friend bool operator==(const QString& text, NotificationName name) { return text == name.m_name; }
    friend bool operator==(NotificationName name, const QString& text) { return text == name.m_name; }

private:
    QLatin1String m_name;
};

// Every notification the system posts or observes, with the values it has always had.
namespace Notifications {
// The application controller (main thread).
inline constexpr NotificationName ChannelChanged{QLatin1String("channelChanged")};
inline constexpr NotificationName Idle{QLatin1String("idle")};
inline constexpr NotificationName InternetConnectionAvailable{QLatin1String("internetConnectionAvailable")};
inline constexpr NotificationName StartGettingChannelInfo{QLatin1String("startGettingChannelInfo")};
inline constexpr NotificationName UpdateCityChanging{QLatin1String("updateCityChanging")};
inline constexpr NotificationName ChangeWidgetChannels{QLatin1String("changeWidgetChannels")};
inline constexpr NotificationName NowUpdate{QLatin1String("nowUpdate")};
inline constexpr NotificationName ChannelNotFound{QLatin1String("channelNotFound")};
inline constexpr NotificationName ProgramUpdate{QLatin1String("programUpdate")};
inline constexpr NotificationName ShowDetailsUpdate{QLatin1String("showDetailsUpdate")};
inline constexpr NotificationName LocalNotificationReceived{QLatin1String("local_notific_recv")};
// The identification (posted on the identification loop's thread, or a request's thread).
inline constexpr NotificationName CoreFingerPrint{QLatin1String("notificationCoreFingerPrint")};
inline constexpr NotificationName FpNotification{QLatin1String("fpNotification")};
inline constexpr NotificationName SaveToHistory{QLatin1String("saveToHistory")};
// Screens.
inline constexpr NotificationName PriorityChanged{QLatin1String("priority_notic")};
inline constexpr NotificationName ChangeFavorites{QLatin1String("changeFavorites")};
inline constexpr NotificationName HistoryCleared{QLatin1String("historyCleared")};
inline constexpr NotificationName CredentialsVerified{QLatin1String("credentialsVerified")};
inline constexpr NotificationName TwitterLogin{QLatin1String("twitter_login")};
inline constexpr NotificationName TwitterLogout{QLatin1String("twitter_logout")};
inline constexpr NotificationName TweetDeleted{QLatin1String("tweetDeleted")};
// The stacked panes.
// Progress of the Twitter sharer's OAuth sign-in.
inline constexpr NotificationName OAuthAccessTokenSaved{QLatin1String("SHK_OAUTH_SHARER_ACCESS_TOKEN_SAVED")};
inline constexpr NotificationName OAuthAccessTokenFailed{
    QLatin1String("SHK_OAUTH_SHARER_ACCESS_TOKEN_FAILED")};
inline constexpr NotificationName OAuthStartAuthorizing{QLatin1String("SHK_START_AUTHORIZING")};
inline constexpr NotificationName OAuthAccessTokenDeleted{
    QLatin1String("SHK_OAUTH_SHARER_ACCESS_TOKEN_DELETED")};

inline constexpr NotificationName StackExpand{QLatin1String("stackExpand")};
inline constexpr NotificationName StackCollapse{QLatin1String("stackCollapse")};
// Platform services: the calendar store's contents changed outside the application.
inline constexpr NotificationName EventStoreChanged{QLatin1String("EventStoreChanged")};
} // namespace Notifications

// Keys of the notifications' user info.
namespace NotificationKeys {
// An identification result code (an integer): a channel id, or a negative code.
inline constexpr QLatin1String ResultSearch{"resultSearch"};
// "internetConnectionAvailable": whether the network is reachable (a boolean).
inline constexpr QLatin1String IsAvailable{"isAvailable"};
} // namespace NotificationKeys
