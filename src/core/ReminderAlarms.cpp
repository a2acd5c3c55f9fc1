#include "ReminderAlarms.h"

#include "model/DateHelper.h"
#include "platform/DesktopNotifications.h"
#include "platform/EventStore.h"
#include "platform/StringTable.h"

#include <QTimer>

ReminderAlarms::ReminderAlarms(QObject* parent) : QObject(parent), m_timer(new QTimer(this))
{
    m_timer->setInterval(CheckSeconds * 1000);
    connect(m_timer, &QTimer::timeout, this, [this] { checkUntil(QDateTime::currentDateTime()); });
}

void ReminderAlarms::start()
{
    m_lastCheck = QDateTime::currentDateTime();
    m_timer->start();
}

int ReminderAlarms::checkUntil(const QDateTime& now)
{
    const QDateTime since = m_lastCheck.isValid() ? m_lastCheck : now;
    m_lastCheck = now;
    EventStore store;
    if (!store.checkAccess(nullptr))
        return 0;
    // Only read: a store without the reminders calendar gets none made here.
    QStringList calendars;
    for (const EventCalendar& calendar : store.calendars()) {
        if (calendar.title == u"Orvane")
            calendars << calendar.calendarIdentifier;
    }
    if (calendars.isEmpty())
        return 0;
    // Alarms come before their shows: look at shows starting up to a day after now.
    int raised = 0;
    for (const CalendarEvent& event : store.eventsMatching(since.addSecs(-3600), now.addDays(1), calendars)) {
        for (const QDateTime& alarm : event.alarms) {
            if (alarm > since && alarm <= now) {
                const QString body =
                    StringTable::localized("Starts at %@")
                        .replace(QStringLiteral("%@"), DateHelper::timeText(event.startDate));
                DesktopNotifications::shared().notify(event.title, body);
                ++raised;
            }
        }
    }
    return raised;
}
