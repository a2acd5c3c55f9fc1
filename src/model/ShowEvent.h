#pragma once

#include "platform/EventStore.h"

#include <QDateTime>
#include <QString>

class Show;

// The calendar event of a show on a channel: "NAME (CHANNEL)" from the start to the end, with
// an alarm at the start; two events are the same reminder when title and start are equal.
class ShowEvent
{
public:
    // Times are taken at whole seconds (rounded down), as the calendar files store them, so
    // that a built event equals its stored self.
    static CalendarEvent build(const Show& show, const QString& channelName);
    static QDateTime wholeSeconds(const QDateTime& moment);
    // The notes of a description: empty for none; from 250 characters on, the first 250 cut
    // back to their last whitespace (kept whole without one), then "...".
    static QString notes(const QString& description);
    static bool sameReminder(const CalendarEvent& a, const CalendarEvent& b);
};
