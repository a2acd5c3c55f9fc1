#include "Battery.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>
#include <QDBusVariant>

#include <algorithm>

namespace {

QVariant property(QDBusConnection& bus, const QString& name)
{
    QDBusInterface properties(Battery::Service, Battery::Path,
                              QStringLiteral("org.freedesktop.DBus.Properties"), bus);
    const QDBusReply<QDBusVariant> reply = properties.call(QStringLiteral("Get"), Battery::Interface, name);
    return reply.isValid() ? reply.value().variant() : QVariant();
}

} // namespace

Battery::Reading Battery::read()
{
    Reading reading;
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected())
        return reading;
    if (!property(bus, QStringLiteral("IsPresent")).toBool())
        return reading;
    // UPower's states: 1 charging, 2 discharging, 3 empty, 4 fully charged, 5 pending charge,
    // 6 pending discharge.
    switch (property(bus, QStringLiteral("State")).toUInt()) {
    case 1:
    case 5:
        reading.state = State::Charging;
        break;
    case 2:
    case 3:
    case 6:
        reading.state = State::Unplugged;
        break;
    case 4:
        reading.state = State::Full;
        break;
    default:
        return reading;
    }
    bool ok = false;
    const double percentage = property(bus, QStringLiteral("Percentage")).toDouble(&ok);
    reading.level = ok ? std::clamp(percentage / 100.0, 0.0, 1.0) : -1;
    return reading;
}
