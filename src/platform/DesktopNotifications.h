#pragma once

#include <QHash>
#include <QObject>
#include <QVariantMap>

#include <functional>

// Notifications on the desktop through the freedesktop Notifications service of the session
// bus. A click on one (its "default" action) hands its user info back to the activation
// handler. Without a session bus or the service, notify() logs once and answers false.
// Main thread only.
class DesktopNotifications : public QObject
{
    Q_OBJECT

public:
    using ActivationHandler = std::function<void(const QVariantMap& userInfo)>;

    static inline const QString Service = QStringLiteral("org.freedesktop.Notifications");
    static inline const QString Path = QStringLiteral("/org/freedesktop/Notifications");

    static DesktopNotifications& shared();

    bool notify(const QString& title, const QString& body, const QVariantMap& userInfo = {});
    void setActivationHandler(ActivationHandler handler) { m_handler = std::move(handler); }
    int pendingCount() const { return int(m_pending.size()); }

private Q_SLOTS:
    void actionInvoked(uint id, const QString& action);
    void notificationClosed(uint id, uint reason);

private:
    void listen();

    QHash<uint, QVariantMap> m_pending;
    ActivationHandler m_handler;
    bool m_listening = false;
    bool m_warned = false;
};
