#pragma once

#include <QString>

// Names of the notifications that platform services post on the default centre.
namespace PlatformNotifications {
// The calendar store's contents changed outside the application.
inline const QString EventStoreChanged = QStringLiteral("EventStoreChanged");
} // namespace PlatformNotifications
