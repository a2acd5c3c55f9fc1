#pragma once

#include <QObject>

class QSocketNotifier;

// Tells when the system clock is set (by the user, NTP stepping it, a time-zone change of
// the clock itself), through a timerfd that the kernel cancels on such a change.
// Lives on the thread that creates it; emits clockChanged() there.
class SystemClockMonitor : public QObject
{
    Q_OBJECT

public:
    static inline const QString NotificationName = QStringLiteral("SystemClockDidChange");

    explicit SystemClockMonitor(QObject* parent = nullptr);
    ~SystemClockMonitor() override;

    bool isActive() const { return m_fd >= 0; }

Q_SIGNALS:
    void clockChanged();

private:
    void arm();
    void onReadable();

    int m_fd = -1;
    QSocketNotifier* m_notifier = nullptr;
};
