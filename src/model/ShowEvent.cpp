#include "ShowEvent.h"

#include "Show.h"

#include "platform/Printf.h"

#include <QTimeZone>

CalendarEvent ShowEvent::build(const Show& show, const QString& channelName)
{
    CalendarEvent event;
    event.title = Printf::format(QStringLiteral("%@ (%@)"), {show.name, channelName});
    event.startDate = wholeSeconds(show.startTime);
    event.endDate = wholeSeconds(show.endTime);
    event.allDay = false;
    event.alarms.append(event.startDate);
    return event;
}

QDateTime ShowEvent::wholeSeconds(const QDateTime& moment)
{
    if (!moment.isValid())
        return moment;
    const qint64 ms = moment.toMSecsSinceEpoch();
    return QDateTime::fromMSecsSinceEpoch(ms - ((ms % 1000) + 1000) % 1000, moment.timeZone());
}

QString ShowEvent::notes(const QString& description)
{
    if (description.isEmpty())
        return {};
    if (description.size() < 250)
        return description;
    QString cut = description.left(250);
    for (qsizetype i = cut.size() - 1; i >= 0; --i) {
        if (cut.at(i).isSpace()) {
            cut.truncate(i);
            break;
        }
    }
    return cut + QStringLiteral("...");
}

bool ShowEvent::sameReminder(const CalendarEvent& a, const CalendarEvent& b)
{
    return a.title == b.title && a.startDate == b.startDate;
}
