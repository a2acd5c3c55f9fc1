#pragma once

#include <QObject>
#include <QPointer>

#include <functional>
#include <optional>

class QGeoPositionInfoSource;

// The device's position: a fixed one (--location LAT,LON, for demos and tests) or what Qt
// Positioning's default source says (GeoClue2 on Linux). Main thread only.
class Location : public QObject
{
    Q_OBJECT

public:
    struct Coordinate
    {
        double latitude = 0;  // degrees
        double longitude = 0; // degrees
        friend bool operator==(const Coordinate& a, const Coordinate& b)
        {
            return a.latitude == b.latitude && a.longitude == b.longitude;
        }
    };

    enum class Availability
    {
        Available,
        ServicesOff, // no positioning on this machine
        Denied       // positioning refused to this application
    };

    static constexpr int UpdateTimeoutMs = 15000;

    static Location& shared();
    // Replaces the device's position with a fixed one (none: the real source again).
    static void setFixed(const std::optional<Coordinate>& coordinate);
    // "LAT,LON" in degrees; none for anything else.
    static std::optional<Coordinate> parse(const QString& text);

    Availability availability();
    // The position known without asking, if any.
    std::optional<Coordinate> lastKnown();
    // One position, reported once on the main thread (nothing when context is gone by then).
    void requestLocation(QObject* context, std::function<void(const Coordinate&)> found,
                         std::function<void(const QString&)> failed);

private:
    QGeoPositionInfoSource* source();

    QPointer<QGeoPositionInfoSource> m_source;
    bool m_sourceTried = false;
};
