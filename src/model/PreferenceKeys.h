#pragma once

#include <QString>

// The keys the application keeps in the preferences store.
namespace PreferenceKeys {
inline const QString FirstLaunch = QStringLiteral("FIRST_LAUNCH");
inline const QString CityId = QStringLiteral("CITY_ID");
inline const QString CityName = QStringLiteral("CITY_NAME");
inline const QString CityMapList = QStringLiteral("CITY_MAP_LIST");
inline const QString WidgetChannels = QStringLiteral("WIDGET_CHANNS");
inline const QString NowPriority = QStringLiteral("NOW_PRIORITY");
inline const QString AppLaunchDateString = QStringLiteral("APP_LAUNCH_DATE_STRING");
inline const QString RandomId = QStringLiteral("randomid");
inline const QString OrvCalendar = QStringLiteral("orvcalendar");
inline const QString TwitterUserInfo = QStringLiteral("twitterUserInfo");
inline const QString TwitterAccountId = QStringLiteral("twittewAccId");
inline const QString TwitterAccountName = QStringLiteral("twitterAccName");
inline const QString TwitterUserId = QStringLiteral("twitterUserId");
inline const QString TwitterUserName = QStringLiteral("twitterUserName");

inline const QString FirstLaunchValue = QStringLiteral("IS_NOT");
inline const QString NowFavorPriority = QStringLiteral("now_favor_priority");
inline const QString NowWatchedPriority = QStringLiteral("now_watched_priority");
inline const QString NowRatingPriority = QStringLiteral("now_rating_priority");
} // namespace PreferenceKeys
