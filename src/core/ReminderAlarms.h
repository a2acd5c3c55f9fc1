#pragma once

#include <QDateTime>
#include <QObject>

class QTimer;

// Raises a desktop notification when an alarm of a reminder in the "Orvane" calendar comes
// due while the application runs. Alarms are looked for every CheckSeconds, each raised once
// (those already past when the application starts are not raised).
class ReminderAlarms : public QObject
{
    Q_OBJECT

public:
    static constexpr int CheckSeconds = 30;

    explicit ReminderAlarms(QObject* parent = nullptr);

    void start();
    // Raises the alarms due in (last check, now]; gives how many were raised.
    int checkUntil(const QDateTime& now);

private:
    QTimer* m_timer;
    QDateTime m_lastCheck;
};
