#pragma once

#include "StoreAddress.h"
#include "StoreRecords.h"

#include <QHash>
#include <QMap>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>

#include <functional>
#include <mutex>
#include <optional>
#include <set>

// The content server's data: cities, categories, channels, the channels of each city with
// their city-local ids, programmes with participants, channel ratings per city, channel
// talk, the service status and the devices seen. One SQLite file (WAL) or one PostgreSQL
// database (StoreAddress), one connection per thread, every statement prepared. The schema's
// version is SQLite's user_version or PostgreSQL's schema_version table; newer versions add
// their steps to the migrations, which PostgreSQL runs under a lock so that servers starting
// together upgrade once. A lost PostgreSQL connection is opened again on use, no sooner than
// a back-off of 0.25 s doubling to 5 s; until then available() is false.
class ScheduleStore
{
public:
    static constexpr int SchemaVersion = 4;
    // The talk feed of this channel number is the talk about every channel.
    static constexpr int CommonTalkChannel = 1;
    // Devices: "seen" means asked for something within the window; rows older than it are
    // deleted, and at most MaxDevices are kept (the most recently seen), as many as the
    // identification server remembers.
    static constexpr qint64 DeviceWindowSeconds = 600;
    static constexpr int MaxDevices = 10000;
    // Views (the statistics' source): kept for a year, at most MaxViews rows.
    static constexpr qint64 ViewRetentionSeconds = 365 * 86400;
    static constexpr qint64 MaxViews = 2000000;

    // Opens (and creates or upgrades) the store at a path or postgresql:// address; check
    // isOpen().
    explicit ScheduleStore(const QString& path);
    ~ScheduleStore();
    ScheduleStore(const ScheduleStore&) = delete;
    ScheduleStore& operator=(const ScheduleStore&) = delete;

    bool isOpen() const { return m_open; }
    // Seconds since 1970 for what the store stamps and prunes by; the system clock unless
    // set (before use).
    void setClock(std::function<qint64()> nowSeconds) { m_clock = std::move(nowSeconds); }
    const QString& error() const { return m_error; }
    // Where the store is, as it may be shown (never with a password).
    const QString& path() const { return m_path; }
    bool isPostgres() const { return m_address.postgres; }
    // Whether the calling thread's connection is usable (reconnecting after a loss).
    bool available();
    // Marks the start of one request on the calling thread; failedSinceBegin() tells whether
    // any statement failed since (its answer is then not to be trusted or kept).
    static void beginRequest();
    static bool failedSinceBegin();
    // Runs a prepared statement; a failure is logged and, when the connection was lost,
    // starts reconnecting.
    bool run(QSqlQuery& query);
    // Runs an INSERT … RETURNING id; the new row's id, 0 on failure.
    qint64 insertReturningId(QSqlQuery& query);

    // The time zone whose days the programme days follow (IANA name; default Europe/Moscow).
    QString timeZone();
    void setTimeZone(const QString& zone);

    // Writing --------------------------------------------------------------------------
    // A transaction on the calling thread's connection. Lost in between, the connection is
    // not opened again until commit() (which then fails) or rollback() ends it.
    bool transaction();
    bool commit();
    void rollback();
    // A city without a place keeps the place it had.
    bool upsertCity(const StoreCity& city);
    bool upsertCategory(const StoreCategory& category);
    // Keeps an existing channel's id when its XMLTV id matches; returns the id (0 on failure).
    int upsertChannel(StoreChannel channel);
    bool addChannelToCity(int cityId, int channelId, int position, int localId = 0);
    // Replaces the programme of the channel starting at the same moment; returns its id.
    qint64 upsertProgramme(const StoreProgramme& programme);
    bool setRating(int cityId, int channelId, double rating);
    qint64 addMessage(const StoreMessage& message);
    bool setStatus(const QString& key, const QString& value);
    void deviceSeen(const QString& deviceId, int channelId = 0);
    bool clearProgrammes(int channelId, qint64 from, qint64 to);
    // Removes the channel's programmes starting in [from, to) whose ids are not in keep.
    bool pruneProgrammes(int channelId, qint64 from, qint64 to, const QSet<qint64>& keep);
    // Pictures brought in with the data (PNG bytes), by their path under gfx/.
    bool setPicture(const QString& path, const QByteArray& png);

    // Reading --------------------------------------------------------------------------
    QList<StoreCity> cities();
    std::optional<StoreCity> city(int id);
    QList<StoreCategory> categories();
    std::optional<StoreChannel> channel(int id);
    std::optional<StoreChannel> channelByLogo(const QString& logo);
    std::optional<int> channelIdByXmltv(const QString& xmltvId);
    // The channels of a city, in their order.
    QList<StoreChannel> channelsOfCity(int cityId);
    // Server channel id -> city-local id, for the channels whose city id differs.
    QMap<int, int> cityMap(int cityId);
    QList<StoreProgramme> programmes(int channelId, qint64 from, qint64 to, bool withDetails = true);
    std::optional<StoreProgramme> programmeAt(int channelId, qint64 moment);
    std::optional<StoreProgramme> programme(qint64 id, bool withDetails = true);
    // Programmes of the city's channels whose title (any case) contains text, in [from, to).
    QList<StoreProgramme> search(int cityId, const QString& text, qint64 from, qint64 to, int limit);
    QMap<int, double> ratings(int cityId);
    QList<StoreMessage> messages(int channelId, qint64 from, qint64 to, int limit);
    QString status(const QString& key, const QString& fallback = {});
    int devicesSeenSince(qint64 moment);
    // Devices seen within the window.
    int devicesOnline();
    qint64 deviceRows();
    qint64 viewRows();
    // Channel id -> how often the device was seen on it.
    QMap<int, int> viewsOfDevice(const QString& deviceId);
    qint64 programmeCount();
    QByteArray picture(const QString& path);

    // The connection of the calling thread (for the stores that share this file).
    QSqlDatabase connection() { return db(); }
    // The columns messageOf() reads, in its order.
    static const QString MessageColumns;
    static StoreMessage messageOf(const QSqlQuery& query);

    // A LIKE pattern (with ESCAPE '\\') for text anywhere in a value.
    static QString containing(QString text);
    // The folded form titles are searched in.
    static QString fold(const QString& text);

private:
    static constexpr int MinRetryDelayMs = 250;
    static constexpr int MaxRetryDelayMs = 5000;
    struct Retry
    {
        qint64 atMs = 0;
        int delayMs = 0;
    };

    static StoreCity cityOf(const QSqlQuery& query);
    QString connectionName() const;
    bool openConnection(QSqlDatabase& connection);
    void connectionLostHere();
    QSqlDatabase db();
    int readVersion(QSqlQuery& query);
    bool migrate();
    // After a row was stored with an id of its own: PostgreSQL's sequence moves past it.
    void idTaken(const QString& table);
    void loadParticipants(StoreProgramme& programme);
    // Deletes what is beyond the devices' and views' age and count; the devices left.
    qint64 pruneDevices(qint64 now);
    qint64 now() const;

    QString m_path;
    StoreAddress m_address;
    QHash<QString, Retry> m_retries; // per connection, under m_lock
    QSet<QString> m_inTransaction;   // connections with a transaction open, under m_lock
    QString m_prefix;
    bool m_open = false;
    QString m_error;
    std::mutex m_lock;
    std::set<QString> m_connections;
    QHash<QString, qint64> m_lastSeenWritten;
    std::function<qint64()> m_clock;
    qint64 m_devicesPrunedAt = 0;
    qint64 m_deviceRows = 0;     // after the last pruning
    qint64 m_devicesWritten = 0; // since then
};
