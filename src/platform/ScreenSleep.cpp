#include "ScreenSleep.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>
#include <QLoggingCategory>

namespace {

Q_LOGGING_CATEGORY(lcSleep, "orvane.sleep")

} // namespace

ScreenSleep& ScreenSleep::shared()
{
    static ScreenSleep instance;
    return instance;
}

void ScreenSleep::setIdleTimerDisabled(bool disabled)
{
    m_disabled = disabled;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        if (!m_warned)
            qCInfo(lcSleep, "no session bus: the screen may still go to sleep");
        m_warned = true;
        return;
    }
    QDBusInterface screenSaver(Service, Path, Service, bus);
    if (disabled && m_cookie == 0) {
        const QDBusReply<uint32_t> cookie = screenSaver.call(
            QStringLiteral("Inhibit"), QStringLiteral("orvane"), QStringLiteral("Keep-awake mode is on"));
        if (cookie.isValid()) {
            m_cookie = cookie.value();
        } else if (!m_warned) {
            m_warned = true;
            qCInfo(lcSleep, "the screen saver cannot be held off: %s", qPrintable(cookie.error().message()));
        }
    } else if (!disabled && m_cookie != 0) {
        screenSaver.call(QStringLiteral("UnInhibit"), m_cookie);
        m_cookie = 0;
    }
}
