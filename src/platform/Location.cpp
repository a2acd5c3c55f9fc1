#include "Location.h"

#include <QGeoPositionInfoSource>
#include <QLoggingCategory>
#include <QStringList>
#include <QTimer>

#include <cmath>

namespace {

Q_LOGGING_CATEGORY(lcLocation, "orvane.location")

std::optional<Location::Coordinate>& fixedCoordinate()
{
    static std::optional<Location::Coordinate> fixed;
    return fixed;
}

} // namespace

Location& Location::shared()
{
    static Location instance;
    return instance;
}

void Location::setFixed(const std::optional<Coordinate>& coordinate)
{
    fixedCoordinate() = coordinate;
}

std::optional<Location::Coordinate> Location::parse(const QString& text)
{
    const QStringList parts = text.split(u',');
    if (parts.size() != 2)
        return std::nullopt;
    bool latOk = false, lonOk = false;
    const Coordinate c{parts[0].trimmed().toDouble(&latOk), parts[1].trimmed().toDouble(&lonOk)};
    if (!latOk || !lonOk || !std::isfinite(c.latitude) || !std::isfinite(c.longitude) ||
        std::abs(c.latitude) > 90 || std::abs(c.longitude) > 180)
        return std::nullopt;
    return c;
}

QGeoPositionInfoSource* Location::source()
{
    if (!m_sourceTried) {
        m_sourceTried = true;
        m_source = QGeoPositionInfoSource::createDefaultSource(this);
        if (!m_source)
            qCInfo(lcLocation, "no positioning source on this machine");
    }
    return m_source;
}

Location::Availability Location::availability()
{
    if (fixedCoordinate())
        return Availability::Available;
    QGeoPositionInfoSource* positions = source();
    if (!positions)
        return Availability::ServicesOff;
    return positions->error() == QGeoPositionInfoSource::AccessError ? Availability::Denied
                                                                     : Availability::Available;
}

std::optional<Location::Coordinate> Location::lastKnown()
{
    if (fixedCoordinate())
        return fixedCoordinate();
    QGeoPositionInfoSource* positions = source();
    if (!positions)
        return std::nullopt;
    const QGeoPositionInfo last = positions->lastKnownPosition();
    if (!last.isValid())
        return std::nullopt;
    return Coordinate{last.coordinate().latitude(), last.coordinate().longitude()};
}

void Location::requestLocation(QObject* context, std::function<void(const Coordinate&)> found,
                               std::function<void(const QString&)> failed)
{
    QPointer<QObject> guard(context);
    if (const std::optional<Coordinate> fixed = fixedCoordinate()) {
        QTimer::singleShot(0, context, [found, fixed] { found(*fixed); });
        return;
    }
    QGeoPositionInfoSource* positions = source();
    if (!positions) {
        QTimer::singleShot(0, context, [failed] { failed(QStringLiteral("no positioning source")); });
        return;
    }
    // One answer: the first position or the first error ends the request.
    auto done = std::make_shared<QList<QMetaObject::Connection>>();
    const auto finish = [done] {
        for (const QMetaObject::Connection& connection : std::as_const(*done))
            QObject::disconnect(connection);
    };
    done->append(connect(positions, &QGeoPositionInfoSource::positionUpdated, context,
                         [found, finish](const QGeoPositionInfo& info) {
                             finish();
                             found({info.coordinate().latitude(), info.coordinate().longitude()});
                         }));
    done->append(connect(positions, &QGeoPositionInfoSource::errorOccurred, context,
                         [failed, finish](QGeoPositionInfoSource::Error error) {
                             finish();
                             failed(QStringLiteral("positioning error %1").arg(int(error)));
                         }));
    positions->requestUpdate(UpdateTimeoutMs);
}
