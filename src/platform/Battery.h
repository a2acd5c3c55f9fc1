#pragma once

#include <QString>

// The machine's battery as UPower's display device tells it on the system bus. Without the
// bus, the service or a battery the state is Unknown and the level -1, as a device without
// battery monitoring reports. Main thread only.
class Battery
{
public:
    enum class State
    {
        Unknown,
        Unplugged, // running on the battery
        Charging,
        Full
    };

    struct Reading
    {
        State state = State::Unknown;
        double level = -1; // 0 to 1; -1 unknown
    };

    static Reading read();

    static inline const QString Service = QStringLiteral("org.freedesktop.UPower");
    static inline const QString Path = QStringLiteral("/org/freedesktop/UPower/devices/DisplayDevice");
    static inline const QString Interface = QStringLiteral("org.freedesktop.UPower.Device");
};
