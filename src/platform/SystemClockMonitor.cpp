#include "SystemClockMonitor.h"

#include <QLoggingCategory>
#include <QSocketNotifier>

#include <cerrno>
#include <cstdint>
#include <sys/timerfd.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcClock, "orvane.clock")

SystemClockMonitor::SystemClockMonitor(QObject* parent) : QObject(parent)
{
    m_fd = timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC);
    if (m_fd < 0) {
        qCWarning(lcClock) << "clock changes cannot be watched:" << strerror(errno);
        return;
    }
    arm();
    m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SystemClockMonitor::onReadable);
}

SystemClockMonitor::~SystemClockMonitor()
{
    if (m_fd >= 0)
        close(m_fd);
}

void SystemClockMonitor::arm()
{
    // An absolute expiry far in the future that the kernel cancels when the clock is set.
    itimerspec spec{};
    spec.it_value.tv_sec = INT32_MAX;
    if (timerfd_settime(m_fd, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &spec, nullptr) != 0)
        qCWarning(lcClock) << "clock watch could not be armed:" << strerror(errno);
}

void SystemClockMonitor::onReadable()
{
    uint64_t expirations = 0;
    const ssize_t got = read(m_fd, &expirations, sizeof expirations);
    if (got < 0 && errno == ECANCELED) {
        arm();
        Q_EMIT clockChanged();
    }
}
