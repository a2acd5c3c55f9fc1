#pragma once

#include "Error.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// A source of calendars; the store has one, of local type: its folder.
struct CalendarSource
{
    enum class Type
    {
        Local
    };
    QString sourceIdentifier;
    QString title;
    Type sourceType = Type::Local;
};

// A calendar: a sub-folder of the store with "displayname" and "color" files.
struct EventCalendar
{
    QString calendarIdentifier; // the folder's name; empty until saved
    QString title;
    QString color; // "#RRGGBB"
    QString sourceIdentifier;
};

// An event: one iCalendar file in its calendar's folder, times in UTC, alarms at absolute
// moments (VALARM with ACTION:DISPLAY).
struct CalendarEvent
{
    QString eventIdentifier; // the iCalendar UID; empty until saved
    QString title;
    QDateTime startDate;
    QDateTime endDate;
    bool allDay = false;
    QString notes;
    QList<QDateTime> alarms;
    QString calendarIdentifier;
};

// The calendar store: a vdir tree of iCalendar files (the layout khal and vdirsyncer use),
// written and read with libical. Files are written through a temporary file and a rename;
// files that cannot be read (foreign or broken) are skipped and never rewritten. Use from
// one thread.
class EventStore
{
public:
    static inline const QString ErrorDomain = QStringLiteral("EventStore");
    static inline const QString DefaultCalendarIdentifier = QStringLiteral("default");

    // The folder of the stores made without one: set by the application (--calendar-dir),
    // otherwise "calendars" in the documents folder.
    static QString defaultRoot();
    static void setDefaultRoot(const QString& root);

    explicit EventStore(const QString& root = {});

    const QString& root() const { return m_root; }

    // Granted when the folder exists or can be made and can be written; refused with an
    // error otherwise. The answer comes on another thread.
    void requestAccessToEntityType(std::function<void(bool granted, const Error& error)> completion) const;
    bool checkAccess(Error* error) const;

    QList<CalendarSource> sources() const;
    QList<EventCalendar> calendars() const;
    std::optional<EventCalendar> calendarWithIdentifier(const QString& identifier) const;
    // The calendar "default" (titled "Calendar"), made when missing; none when it cannot be.
    std::optional<EventCalendar> defaultCalendarForNewEvents();

    bool saveCalendar(EventCalendar& calendar, bool commit, Error* error = nullptr);
    bool removeCalendar(const EventCalendar& calendar, bool commit, Error* error = nullptr);

    // The events of the calendars (all when the list is empty) that overlap [start, end].
    QList<CalendarEvent> eventsMatching(const QDateTime& start, const QDateTime& end,
                                        const QStringList& calendarIdentifiers = {}) const;
    bool saveEvent(CalendarEvent& event, Error* error = nullptr);
    bool removeEvent(const CalendarEvent& event, Error* error = nullptr);

    // An event's iCalendar text, and an event from such a text (none when it holds no event).
    static QByteArray toICalendar(const CalendarEvent& event);
    static std::optional<CalendarEvent> fromICalendar(const QByteArray& text);

private:
    QString calendarFolder(const QString& identifier) const;
    QString m_root;
};
