#pragma once

#include <QVariant>

#include <optional>

// The offset between the device clock and the content server's clock.
class ServerClock
{
public:
    // Device clock minus server clock in seconds, rounded to whole hours: the hours are
    // narrowed to a 32-bit float and rounded half away from zero.
    static double roundedDifference(double deviceNowSeconds, double serverSeconds);

    // The server time of a server-time answer: its "timestamp_gmt" as a number or a numeric
    // text. None when the answer is not an object or the value is missing, not numeric
    // or not finite.
    static std::optional<double> timestampFromAnswer(const QVariant& answer);
};
