#include "ServerClock.h"

#include "platform/JsonValue.h"

#include <cmath>

double ServerClock::roundedDifference(double deviceNowSeconds, double serverSeconds)
{
    const float hours = float((deviceNowSeconds - serverSeconds) / 3600.0);
    return double(std::round(hours)) * 3600.0;
}

std::optional<double> ServerClock::timestampFromAnswer(const QVariant& answer)
{
    if (!JsonValue::isMap(answer))
        return std::nullopt;
    const QVariant value = answer.toMap().value(QStringLiteral("timestamp_gmt"));
    if (JsonValue::isNumber(value)) {
        const double seconds = value.toDouble();
        return std::isfinite(seconds) ? std::optional(seconds) : std::nullopt;
    }
    if (JsonValue::isText(value)) {
        bool ok = false;
        const double seconds = value.toString().trimmed().toDouble(&ok);
        return ok && std::isfinite(seconds) ? std::optional(seconds) : std::nullopt;
    }
    return std::nullopt;
}
