#pragma once

#include "platform/EventStore.h"

#include <QString>

class Show;

// The calendar event of a show on a channel: "NAME (CHANNEL)" from the start to the end, with
// an alarm at the start; two events are the same reminder when title and start are equal.
class ShowEvent
{
public:
    static CalendarEvent build(const Show& show, const QString& channelName);
    // The notes of a description: empty for none; from 250 characters on, the first 250 cut
    // back to their last whitespace (kept whole without one), then "...".
    static QString notes(const QString& description);
    static bool sameReminder(const CalendarEvent& a, const CalendarEvent& b);
};
