#include "EventStore.h"

#include "AtomicFile.h"
#include "Dispatch.h"
#include "Paths.h"

#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QUuid>

#include <libical/ical.h>
#include <mutex>

Q_LOGGING_CATEGORY(lcCalendar, "orvane.calendar")

namespace {

std::mutex& rootLock()
{
    static std::mutex lock;
    return lock;
}

QString& configuredRoot()
{
    static QString root;
    return root;
}

const QString SourceIdentifier = QStringLiteral("local");

QString readText(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).trimmed() : QString();
}

bool writeAtomically(const QString& path, const QByteArray& bytes, Error* error)
{
    QString reason;
    if (AtomicFile::write(path, bytes, &reason))
        return true;
    if (error)
        *error = Error::withDescription(EventStore::ErrorDomain, 2, reason);
    return false;
}

icaltimetype utc(const QDateTime& moment)
{
    return icaltime_from_timet_with_zone(time_t(moment.toSecsSinceEpoch()), 0,
                                         icaltimezone_get_utc_timezone());
}

QDateTime moment(icaltimetype time)
{
    if (icaltime_is_null_time(time) || !icaltime_is_valid_time(time))
        return {};
    const icaltimezone* zone = time.zone ? time.zone : icaltimezone_get_utc_timezone();
    return QDateTime::fromSecsSinceEpoch(qint64(icaltime_as_timet_with_zone(time, zone)));
}

// A folder name for a new calendar: its title in lower case letters and digits, numbered
// when taken.
QString folderName(const QString& root, const QString& title)
{
    QString base;
    for (const QChar c : title.toLower()) {
        if (c.isLetterOrNumber() && c.unicode() < 128)
            base += c;
    }
    if (base.isEmpty())
        base = QStringLiteral("calendar");
    QString name = base;
    for (int n = 2; QFileInfo::exists(root + u'/' + name); ++n)
        name = base + u'-' + QString::number(n);
    return name;
}

} // namespace

QString EventStore::defaultRoot()
{
    std::lock_guard guard(rootLock());
    return configuredRoot().isEmpty() ? Paths::documents() + QStringLiteral("/calendars") : configuredRoot();
}

void EventStore::setDefaultRoot(const QString& root)
{
    std::lock_guard guard(rootLock());
    configuredRoot() = root;
}

EventStore::EventStore(const QString& root) : m_root(root.isEmpty() ? defaultRoot() : root) {}

bool EventStore::checkAccess(Error* error) const
{
    Paths::ensurePath(m_root);
    const QFileInfo folder(m_root);
    if (folder.isDir()) {
        QFile probe(m_root + QStringLiteral("/.orvane-access"));
        if (probe.open(QIODevice::WriteOnly)) {
            probe.close();
            probe.remove();
            return true;
        }
    }
    if (error)
        *error = Error::withDescription(
            ErrorDomain, 1, QStringLiteral("The calendar folder %1 cannot be written.").arg(m_root));
    return false;
}

void EventStore::requestAccessToEntityType(std::function<void(bool, const Error&)> completion) const
{
    const QString root = m_root;
    Dispatch::globalAsync([root, completion = std::move(completion)] {
        Error error;
        const bool granted = EventStore(root).checkAccess(&error);
        completion(granted, error);
    });
}

QList<CalendarSource> EventStore::sources() const
{
    Paths::ensurePath(m_root);
    if (!QFileInfo(m_root).isDir())
        return {};
    return {
        CalendarSource{SourceIdentifier, QStringLiteral("On this computer"), CalendarSource::Type::Local}};
}

QString EventStore::calendarFolder(const QString& identifier) const
{
    return m_root + u'/' + identifier;
}

QList<EventCalendar> EventStore::calendars() const
{
    QList<EventCalendar> list;
    for (const QString& name : QDir(m_root).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        if (auto calendar = calendarWithIdentifier(name))
            list.append(*calendar);
    }
    return list;
}

std::optional<EventCalendar> EventStore::calendarWithIdentifier(const QString& identifier) const
{
    if (identifier.isEmpty() || identifier.contains(u'/') || identifier.startsWith(u'.'))
        return std::nullopt;
    const QString folder = calendarFolder(identifier);
    if (!QFileInfo(folder).isDir())
        return std::nullopt;
    EventCalendar calendar;
    calendar.calendarIdentifier = identifier;
    calendar.title = readText(folder + QStringLiteral("/displayname"));
    if (calendar.title.isEmpty())
        calendar.title = identifier;
    calendar.color = readText(folder + QStringLiteral("/color"));
    calendar.sourceIdentifier = SourceIdentifier;
    return calendar;
}

std::optional<EventCalendar> EventStore::defaultCalendarForNewEvents()
{
    if (auto existing = calendarWithIdentifier(DefaultCalendarIdentifier))
        return existing;
    EventCalendar calendar;
    calendar.calendarIdentifier = DefaultCalendarIdentifier;
    calendar.title = QStringLiteral("Calendar");
    calendar.color = QStringLiteral("#3478F6");
    calendar.sourceIdentifier = SourceIdentifier;
    if (!saveCalendar(calendar, true))
        return std::nullopt;
    return calendar;
}

bool EventStore::saveCalendar(EventCalendar& calendar, bool, Error* error)
{
    if (!checkAccess(error))
        return false;
    if (calendar.calendarIdentifier.isEmpty())
        calendar.calendarIdentifier = folderName(m_root, calendar.title);
    calendar.sourceIdentifier = SourceIdentifier;
    const QString folder = calendarFolder(calendar.calendarIdentifier);
    const bool existed = QFileInfo(folder).isDir();
    if (!QDir().mkpath(folder)) {
        if (error)
            *error = Error::withDescription(ErrorDomain, 2, QStringLiteral("cannot make ") + folder);
        return false;
    }
    if (writeAtomically(folder + QStringLiteral("/displayname"), calendar.title.toUtf8() + '\n', error) &&
        writeAtomically(folder + QStringLiteral("/color"), calendar.color.toUtf8() + '\n', error))
        return true;
    // A calendar made only in part would be found later under its folder's name: none is left.
    if (!existed)
        QDir(folder).removeRecursively();
    return false;
}

bool EventStore::removeCalendar(const EventCalendar& calendar, bool, Error* error)
{
    if (!calendarWithIdentifier(calendar.calendarIdentifier)) {
        if (error)
            *error = Error::withDescription(ErrorDomain, 3, QStringLiteral("no such calendar"));
        return false;
    }
    return QDir(calendarFolder(calendar.calendarIdentifier)).removeRecursively();
}

QList<CalendarEvent> EventStore::eventsMatching(const QDateTime& start, const QDateTime& end,
                                                const QStringList& calendarIdentifiers) const
{
    QList<CalendarEvent> events;
    const QList<EventCalendar> all = calendars();
    for (const EventCalendar& calendar : all) {
        if (!calendarIdentifiers.isEmpty() && !calendarIdentifiers.contains(calendar.calendarIdentifier))
            continue;
        const QDir folder(calendarFolder(calendar.calendarIdentifier));
        for (const QString& name : folder.entryList({QStringLiteral("*.ics")}, QDir::Files, QDir::Name)) {
            QFile file(folder.filePath(name));
            if (!file.open(QIODevice::ReadOnly) || file.size() > 1024 * 1024)
                continue;
            std::optional<CalendarEvent> event = fromICalendar(file.readAll());
            if (!event || !event->startDate.isValid()) {
                qCInfo(lcCalendar) << "skipped" << file.fileName();
                continue;
            }
            const QDateTime eventEnd = event->endDate.isValid() ? event->endDate : event->startDate;
            if (event->startDate > end || eventEnd < start)
                continue;
            event->calendarIdentifier = calendar.calendarIdentifier;
            events.append(*event);
        }
    }
    return events;
}

bool EventStore::saveEvent(CalendarEvent& event, Error* error)
{
    if (!calendarWithIdentifier(event.calendarIdentifier)) {
        if (error)
            *error = Error::withDescription(ErrorDomain, 3, QStringLiteral("the event has no calendar"));
        return false;
    }
    if (event.eventIdentifier.isEmpty())
        event.eventIdentifier =
            QUuid::createUuid().toString(QUuid::WithoutBraces) + QStringLiteral("@orvane");
    const QString path =
        calendarFolder(event.calendarIdentifier) + u'/' + event.eventIdentifier + QStringLiteral(".ics");
    return writeAtomically(path, toICalendar(event), error);
}

bool EventStore::removeEvent(const CalendarEvent& event, Error* error)
{
    const QDir folder(calendarFolder(event.calendarIdentifier));
    for (const QString& name : folder.entryList({QStringLiteral("*.ics")}, QDir::Files)) {
        QFile file(folder.filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const std::optional<CalendarEvent> stored = fromICalendar(file.readAll());
        file.close();
        if (stored && stored->eventIdentifier == event.eventIdentifier)
            return QFile::remove(folder.filePath(name));
    }
    if (error)
        *error = Error::withDescription(ErrorDomain, 4, QStringLiteral("no such event"));
    return false;
}

QByteArray EventStore::toICalendar(const CalendarEvent& event)
{
    icalcomponent* calendar = icalcomponent_new(ICAL_VCALENDAR_COMPONENT);
    icalcomponent_add_property(calendar, icalproperty_new_version("2.0"));
    icalcomponent_add_property(calendar, icalproperty_new_prodid("-//Orvane//Reminders//RU"));
    icalcomponent* vevent = icalcomponent_new(ICAL_VEVENT_COMPONENT);
    icalcomponent_add_property(vevent, icalproperty_new_uid(event.eventIdentifier.toUtf8().constData()));
    icalcomponent_add_property(vevent, icalproperty_new_dtstamp(utc(QDateTime::currentDateTimeUtc())));
    icalcomponent_add_property(vevent, icalproperty_new_dtstart(utc(event.startDate)));
    if (event.endDate.isValid())
        icalcomponent_add_property(vevent, icalproperty_new_dtend(utc(event.endDate)));
    icalcomponent_add_property(vevent, icalproperty_new_summary(event.title.toUtf8().constData()));
    if (!event.notes.isEmpty())
        icalcomponent_add_property(vevent, icalproperty_new_description(event.notes.toUtf8().constData()));
    for (const QDateTime& at : event.alarms) {
        icalcomponent* alarm = icalcomponent_new(ICAL_VALARM_COMPONENT);
        icalcomponent_add_property(alarm, icalproperty_new_action(ICAL_ACTION_DISPLAY));
        icalcomponent_add_property(alarm, icalproperty_new_description(event.title.toUtf8().constData()));
        icaltriggertype trigger = icaltriggertype_from_int(0);
        trigger.time = utc(at);
        icalproperty* property = icalproperty_new_trigger(trigger);
        icalproperty_add_parameter(property, icalparameter_new_value(ICAL_VALUE_DATETIME));
        icalcomponent_add_property(alarm, property);
        icalcomponent_add_component(vevent, alarm);
    }
    icalcomponent_add_component(calendar, vevent);
    char* text = icalcomponent_as_ical_string_r(calendar);
    const QByteArray bytes(text);
    icalmemory_free_buffer(text);
    icalcomponent_free(calendar);
    return bytes;
}

std::optional<CalendarEvent> EventStore::fromICalendar(const QByteArray& text)
{
    icalcomponent* root = icalparser_parse_string(text.constData());
    if (!root)
        return std::nullopt;
    icalcomponent* vevent = icalcomponent_isa(root) == ICAL_VEVENT_COMPONENT
                                ? root
                                : icalcomponent_get_first_component(root, ICAL_VEVENT_COMPONENT);
    std::optional<CalendarEvent> result;
    if (vevent) {
        CalendarEvent event;
        if (const char* uid = icalcomponent_get_uid(vevent))
            event.eventIdentifier = QString::fromUtf8(uid);
        if (const char* summary = icalcomponent_get_summary(vevent))
            event.title = QString::fromUtf8(summary);
        if (const char* description = icalcomponent_get_description(vevent))
            event.notes = QString::fromUtf8(description);
        const icaltimetype start = icalcomponent_get_dtstart(vevent);
        event.allDay = start.is_date;
        event.startDate = moment(start);
        event.endDate = moment(icalcomponent_get_dtend(vevent));
        for (icalcomponent* alarm = icalcomponent_get_first_component(vevent, ICAL_VALARM_COMPONENT); alarm;
             alarm = icalcomponent_get_next_component(vevent, ICAL_VALARM_COMPONENT)) {
            icalproperty* property = icalcomponent_get_first_property(alarm, ICAL_TRIGGER_PROPERTY);
            if (!property)
                continue;
            const icaltriggertype trigger = icalproperty_get_trigger(property);
            if (!icaltime_is_null_time(trigger.time))
                event.alarms.append(moment(trigger.time));
        }
        if (!event.eventIdentifier.isEmpty())
            result = event;
    }
    icalcomponent_free(root);
    return result;
}
