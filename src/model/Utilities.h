#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <optional>

#include "platform/Error.h"
#include "platform/EventStore.h"

#include <functional>

class QObject;
class SerialQueue;

// Class operations shared by services and screens: day texts for the server and the caches;
// the file caches of server answers; the device id; the mapping of server channel ids to the
// ids of the chosen city.
//
// Cache files live under the documents folder: "programs/<day>/<channel>", "channels/all",
// "ratings/all", "shows/<show>". Each holds one answer dictionary as JSON; writes go through
// a temporary file and a rename. A channel or show id that could name anything outside its
// folder (empty, ".", "..", a slash, a backslash, NUL, longer than 128 bytes) is refused:
// saving it returns false, reading it gives none.
class Utilities
{
public:
    // Dates -------------------------------------------------------------------------------
    // The moment that stands for the programme day of date: an hour earlier than the zone's
    // whole hours from GMT plus one still belongs to the previous day.
    static QDateTime optimizeDateForORVProgram(const QDateTime& date);
    // "yyyyMMdd" of the calendar day in the device's time zone; the distant past for none.
    static QString stringFromDate(const QDateTime& date);
    // "yyyy-MM-dd HH:mm:ss.SSSSSS" in the device's time zone; the distant past for none.
    static QString stringFromDate2(const QDateTime& date);
    // The first moment of year 1, UTC.
    static QDateTime distantPast();

    // File caches -------------------------------------------------------------------------
    static SerialQueue& sharedCacheDispatchQueue();
    static QString documentPath();
    static QString showsPath();
    static QString ratingsPath();
    static QString channelsPath();
    // The "programs" folder, or its day folder for a date.
    static QString programsPathWithDate(const std::optional<QDateTime>& date);
    static bool ensurePathAt(const QString& path);

    static bool saveChannProgramData(const QVariant& answer, const QString& channelId, const QDateTime& day);
    static std::optional<QVariantMap> getChannProgramDataById(const QString& channelId, const QDateTime& day);
    static void clearChannProgramData();
    static bool saveChannelsData(const QVariant& answer);
    static std::optional<QVariantMap> getChannelsData();
    static void clearChannelsData();
    static bool saveChannRatingsData(const QVariant& answer);
    static std::optional<QVariantMap> getChannRatingsData();
    static void clearChannRatingsData();
    static bool saveShowData(const QVariant& answer, const QString& showId);
    static std::optional<QVariantMap> getShowDataById(const QString& showId);
    static void clearShowCache();
    static void saveDataToNearCache(const QVariantMap& answer, const QString& showId);
    static std::optional<QVariantMap> getDataFromNearCache(const QString& showId);
    // Names of the entries of the "shows" folder; empty when it cannot be listed.
    static QStringList fileNames();

    // True for an id that names one entry inside a cache folder.
    static bool isSafeCacheName(const QString& name);

    // Device ------------------------------------------------------------------------------
    // 32 characters: "i", two digits of the platform's major version, then 29 hexadecimal
    // digits of the MD5 of the installation's seed.
    static QString getDeviceUniqueID();
    // The same for a given platform version text (versions below "6.0" use the stored
    // "randomid" seed; later ones the installation's identifier).
    static QString deviceUniqueIdForVersion(const QString& platformVersion);
    // The installation's identifier: a UUID made once and kept in the config folder.
    static QString installationIdentifier();
    // The operating system's machine name (uname -m).
    static QString getDeviceName();

    // Reminders ---------------------------------------------------------------------------
    // Asks for calendar access; the delegate hears granted() or denied(error) on the main
    // thread, later (nothing when it has been destroyed by then).
    static void eventStoreRequestAccessWithDelegate(QObject* delegate, std::function<void()> granted,
                                                    std::function<void(const Error&)> denied);
    // The reminders calendar "Orvane": the remembered one, one found by title, or a new one
    // (orange). A remembered calendar that is gone is forgotten and, this once, the default
    // calendar serves. None without a local source.
    static std::optional<EventCalendar> getORVCalendarWithStore(EventStore& store);
    static void deleteAllORVEvents();
    // Removes the reminders from 1095 days ago to 30 minutes ago.
    static void deletePastORVEvents();

    // City-local channel ids --------------------------------------------------------------
    // Server channel id -> the city's id for it, through the chosen city's channel map;
    // unchanged without a map or without an entry.
    static int intLocalIdFromMap(int channelId);
    // As above for a text id; a null text without a map gives "0".
    static QString stringLocalIdFromMap(const QString& channelId);
};
