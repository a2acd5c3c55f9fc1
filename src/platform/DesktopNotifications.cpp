#include "DesktopNotifications.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>
#include <QLoggingCategory>

namespace {

Q_LOGGING_CATEGORY(lcNotify, "orvane.notifications")

// How long a notification stays up, in milliseconds (-1 would be the desktop's choice).
constexpr int ExpireMs = 10000;

} // namespace

DesktopNotifications& DesktopNotifications::shared()
{
    static DesktopNotifications instance;
    return instance;
}

void DesktopNotifications::listen()
{
    if (m_listening)
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    m_listening = bus.connect(Service, Path, Service, QStringLiteral("ActionInvoked"), this,
                              SLOT(actionInvoked(uint, QString))) &&
                  bus.connect(Service, Path, Service, QStringLiteral("NotificationClosed"), this,
                              SLOT(notificationClosed(uint, uint)));
}

bool DesktopNotifications::notify(const QString& title, const QString& body, const QVariantMap& userInfo)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        if (!m_warned)
            qCInfo(lcNotify, "no session bus: \"%s\" is not shown", qPrintable(title));
        m_warned = true;
        return false;
    }
    listen();
    QDBusInterface notifications(Service, Path, Service, bus);
    const QDBusReply<uint> id = notifications.call(
        QStringLiteral("Notify"), QCoreApplication::applicationName(), uint(0), QString(), title, body,
        QStringList{QStringLiteral("default"), title}, QVariantMap(), ExpireMs);
    if (!id.isValid()) {
        if (!m_warned)
            qCInfo(lcNotify, "notifications are not shown: %s", qPrintable(id.error().message()));
        m_warned = true;
        return false;
    }
    m_pending.insert(id.value(), userInfo);
    return true;
}

void DesktopNotifications::actionInvoked(uint id, const QString& action)
{
    const auto it = m_pending.constFind(id);
    if (it == m_pending.constEnd() || action != u"default")
        return;
    const QVariantMap userInfo = *it;
    m_pending.remove(id);
    if (m_handler)
        m_handler(userInfo);
}

void DesktopNotifications::notificationClosed(uint id, uint)
{
    m_pending.remove(id);
}
