#include "ShowEvent.h"

#include "Show.h"

#include "platform/Printf.h"

CalendarEvent ShowEvent::build(const Show& show, const QString& channelName)
{
    CalendarEvent event;
    event.title = Printf::format(QStringLiteral("%@ (%@)"), {show.name, channelName});
    event.startDate = show.startTime;
    event.endDate = show.endTime;
    event.allDay = false;
    event.alarms.append(show.startTime);
    return event;
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
