// The reminder operations of Show.
#include "Show.h"

#include "ShowEvent.h"
#include "Utilities.h"

#include "platform/Device.h"
#include "platform/Paths.h"

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcReminders)

namespace {

// The stored events of the reminders calendar that are the same reminder as event.
QList<CalendarEvent> matching(EventStore& store, const EventCalendar& calendar, const CalendarEvent& event)
{
    QList<CalendarEvent> found;
    for (const CalendarEvent& stored :
         store.eventsMatching(event.startDate, event.endDate.isValid() ? event.endDate : event.startDate,
                              {calendar.calendarIdentifier})) {
        if (ShowEvent::sameReminder(stored, event))
            found.append(stored);
    }
    return found;
}

} // namespace

bool Show::checkDuplicateEventsWithChannelName(const QString& channelName) const
{
    EventStore store;
    const CalendarEvent event = ShowEvent::build(*this, channelName);
    const std::optional<EventCalendar> calendar = Utilities::getORVCalendarWithStore(store);
    return calendar && !matching(store, *calendar, event).isEmpty();
}

bool Show::addToCalendarWithChanName(const QString& channelName, const std::optional<QDateTime>& alarmDate,
                                     Error* error) const
{
    EventStore store;
    CalendarEvent event = ShowEvent::build(*this, channelName);
    const std::optional<EventCalendar> calendar = Utilities::getORVCalendarWithStore(store);
    if (!calendar) {
        qCWarning(lcReminders) << "no calendar for the reminder";
        if (error) {
            const QString problem = Paths::writeProblem(store.root());
            *error = Error::withDescription(
                EventStore::ErrorDomain, 1,
                QStringLiteral("no calendar can be made in %1%2")
                    .arg(store.root(), problem.isEmpty() ? QString() : QStringLiteral(": ") + problem));
        }
        return false;
    }
    if (!matching(store, *calendar, event).isEmpty())
        return false;
    event.notes = ShowEvent::notes(description);
    const QString version = Device::systemVersion();
    const bool singleAlarmOnly = Device::compareVersions(version, QStringLiteral("5.0")) >= 0 &&
                                 Device::compareVersions(version, QStringLiteral("5.1")) < 0;
    if (alarmDate && !singleAlarmOnly)
        event.alarms.append(ShowEvent::wholeSeconds(*alarmDate));
    event.calendarIdentifier = calendar->calendarIdentifier;
    // A reminder that could not be written is not reported as added.
    Error saveError;
    if (!store.saveEvent(event, &saveError)) {
        qCWarning(lcReminders).noquote() << "the reminder was not saved:" << saveError.localizedDescription();
        if (error)
            *error = saveError;
        return false;
    }
    return true;
}

bool Show::deleteFromCalendarWithChanName(const QString& channelName) const
{
    EventStore store;
    const CalendarEvent event = ShowEvent::build(*this, channelName);
    const std::optional<EventCalendar> calendar = Utilities::getORVCalendarWithStore(store);
    if (!calendar)
        return false;
    const QList<CalendarEvent> found = matching(store, *calendar, event);
    return !found.isEmpty() && store.removeEvent(found.first());
}
