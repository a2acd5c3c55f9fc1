// The reminders calendar of Utilities: access, finding or making "Orvane", clean-ups.
#include "Utilities.h"

#include "PreferenceKeys.h"

#include "platform/Device.h"
#include "platform/Dispatch.h"
#include "platform/Preferences.h"

#include <QLoggingCategory>
#include <QPointer>

Q_LOGGING_CATEGORY(lcReminders, "orvane.reminders")

void Utilities::eventStoreRequestAccessWithDelegate(QObject* delegate, std::function<void()> granted,
                                                    std::function<void(const Error&)> denied)
{
    QPointer<QObject> target(delegate);
    if (Device::compareVersions(Device::systemVersion(), QStringLiteral("6.0")) < 0) {
        if (target)
            Dispatch::mainAsync(delegate, [granted] { granted(); });
        return;
    }
    EventStore().requestAccessToEntityType([target, granted, denied](bool ok, const Error& error) {
        // Answered on another thread: the delegate hears it on the main thread.
        Dispatch::mainAsync([target, ok, error, granted, denied] {
            if (!target)
                return;
            if (ok)
                granted();
            else
                denied(error);
        });
    });
}

std::optional<EventCalendar> Utilities::getORVCalendarWithStore(EventStore& store)
{
    QList<CalendarSource> local;
    for (const CalendarSource& source : store.sources()) {
        if (source.sourceType == CalendarSource::Type::Local)
            local.append(source);
    }
    if (local.isEmpty()) {
        qCWarning(lcReminders) << "no local calendar source at" << store.root();
        return std::nullopt;
    }
    Preferences& defaults = Preferences::standard();
    const QString remembered = defaults.string(PreferenceKeys::OrvCalendar);
    if (!remembered.isEmpty()) {
        if (auto calendar = store.calendarWithIdentifier(remembered))
            return calendar;
        // The user deleted it: forgotten, and this once the default calendar serves.
        defaults.remove(PreferenceKeys::OrvCalendar);
        return store.defaultCalendarForNewEvents();
    }
    for (const EventCalendar& calendar : store.calendars()) {
        if (calendar.title == u"Orvane") {
            defaults.setValue(PreferenceKeys::OrvCalendar, calendar.calendarIdentifier);
            return calendar;
        }
    }
    EventCalendar calendar;
    calendar.title = QStringLiteral("Orvane");
    calendar.color = QStringLiteral("#FF8000");
    calendar.sourceIdentifier = local.first().sourceIdentifier;
    Error error;
    if (!store.saveCalendar(calendar, true, &error)) {
        qCWarning(lcReminders).noquote()
            << "the reminders calendar cannot be made:" << error.localizedDescription();
        return std::nullopt;
    }
    defaults.setValue(PreferenceKeys::OrvCalendar, calendar.calendarIdentifier);
    return calendar;
}

void Utilities::deleteAllORVEvents()
{
    EventStore store;
    Preferences& defaults = Preferences::standard();
    const QString remembered = defaults.string(PreferenceKeys::OrvCalendar);
    if (!remembered.isEmpty()) {
        if (auto calendar = store.calendarWithIdentifier(remembered))
            store.removeCalendar(*calendar, true);
        defaults.remove(PreferenceKeys::OrvCalendar);
    }
    if (store.sources().isEmpty())
        return;
    for (const EventCalendar& calendar : store.calendars()) {
        if (calendar.title == u"Orvane")
            store.removeCalendar(calendar, true);
    }
}

void Utilities::deletePastORVEvents()
{
    EventStore store;
    const std::optional<EventCalendar> calendar = getORVCalendarWithStore(store);
    if (!calendar)
        return;
    const QDateTime now = QDateTime::currentDateTime();
    for (const CalendarEvent& event :
         store.eventsMatching(now.addSecs(-94608000), now.addSecs(-1800), {calendar->calendarIdentifier}))
        store.removeEvent(event);
}
