#include "ScheduleStore.h"

#include "platform/Json.h"
#include "platform/JsonValue.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>

#include <atomic>

Q_LOGGING_CATEGORY(lcStore, "orvane.store")

namespace {

// Version 1: every table. Later versions: what each adds, applied in order to older stores.
const QStringList Schema = {
    QStringLiteral("CREATE TABLE settings (key TEXT PRIMARY KEY, value TEXT)"),
    QStringLiteral("CREATE TABLE cities (id INTEGER PRIMARY KEY, name TEXT NOT NULL, utc_offset INTEGER NOT "
                   "NULL DEFAULT 180)"),
    QStringLiteral("CREATE TABLE categories (id INTEGER PRIMARY KEY, name TEXT NOT NULL, sort_order INTEGER "
                   "NOT NULL DEFAULT 0)"),
    QStringLiteral(
        "CREATE TABLE channels (id INTEGER PRIMARY KEY, xmltv_id TEXT UNIQUE, name TEXT NOT NULL, logo TEXT, "
        "is_tv INTEGER NOT NULL DEFAULT 1, category_id INTEGER NOT NULL DEFAULT 0, auto_detection INTEGER "
        "NOT NULL "
        "DEFAULT 0, slogan TEXT, live_pictures INTEGER NOT NULL DEFAULT 0)"),
    QStringLiteral("CREATE TABLE city_channels (city_id INTEGER NOT NULL, channel_id INTEGER NOT NULL, "
                   "position INTEGER NOT NULL "
                   "DEFAULT 0, local_id INTEGER NOT NULL DEFAULT 0, PRIMARY KEY (city_id, channel_id))"),
    QStringLiteral(
        "CREATE TABLE programmes (id INTEGER PRIMARY KEY, channel_id INTEGER NOT NULL, start INTEGER NOT "
        "NULL, "
        "stop INTEGER NOT NULL, title TEXT, title_folded TEXT, sub_title TEXT, description TEXT, genre TEXT, "
        "category INTEGER, country TEXT, year INTEGER, company TEXT, image TEXT, image_big TEXT, gallery "
        "TEXT, "
        "imdb_rating REAL, imdb_votes INTEGER, kp_rating REAL, kp_votes INTEGER, kp_index INTEGER, "
        "UNIQUE (channel_id, start))"),
    QStringLiteral("CREATE TABLE participants (programme_id INTEGER NOT NULL, position INTEGER NOT NULL, "
                   "role INTEGER NOT NULL, "
                   "name TEXT NOT NULL, url TEXT)"),
    QStringLiteral("CREATE INDEX participants_programme ON participants (programme_id)"),
    QStringLiteral(
        "CREATE TABLE ratings (city_id INTEGER NOT NULL, channel_id INTEGER NOT NULL, rating REAL NOT NULL, "
        "PRIMARY KEY (city_id, channel_id))"),
    QStringLiteral(
        "CREATE TABLE messages (id INTEGER PRIMARY KEY, channel_id INTEGER NOT NULL, time INTEGER NOT NULL, "
        "sender_id TEXT, sender_name TEXT, screen_name TEXT, profile_image_url TEXT, text TEXT, source TEXT, "
        "reply_to_id TEXT, reply_to_screen_name TEXT, media_url TEXT)"),
    QStringLiteral("CREATE INDEX messages_channel_time ON messages (channel_id, time)"),
    QStringLiteral("CREATE TABLE devices (device_id TEXT PRIMARY KEY, last_seen INTEGER NOT NULL)"),
    QStringLiteral(
        "CREATE TABLE views (device_id TEXT NOT NULL, channel_id INTEGER NOT NULL, time INTEGER NOT NULL)"),
    QStringLiteral("CREATE INDEX views_device ON views (device_id)"),
    QStringLiteral("CREATE TABLE pictures (path TEXT PRIMARY KEY, png BLOB NOT NULL)"),
};

// Version 2: the cities' places, for finding a user's city by location (degrees; none unknown).
const QList<QStringList> Upgrades = {
    {QStringLiteral("ALTER TABLE cities ADD COLUMN latitude REAL"),
     QStringLiteral("ALTER TABLE cities ADD COLUMN longitude REAL")},
    // The microblog service: its users, follows, favourites, direct messages, OAuth consumers
    // and tokens; its statuses are rows of messages with the author's user id.
    {QStringLiteral("CREATE TABLE social_users (id INTEGER PRIMARY KEY, screen_name TEXT NOT NULL UNIQUE "
                    "COLLATE NOCASE, name TEXT NOT NULL, salt TEXT NOT NULL, password_hash TEXT NOT NULL, "
                    "description TEXT, created INTEGER NOT NULL, suspended INTEGER NOT NULL DEFAULT 0)"),
     QStringLiteral("CREATE TABLE social_follows (follower INTEGER NOT NULL, followee INTEGER NOT NULL, "
                    "notify INTEGER NOT NULL DEFAULT 0, PRIMARY KEY (follower, followee))"),
     QStringLiteral("CREATE TABLE social_favorites (user_id INTEGER NOT NULL, message_id INTEGER NOT NULL, "
                    "PRIMARY KEY (user_id, message_id))"),
     QStringLiteral("CREATE TABLE social_direct (id INTEGER PRIMARY KEY, sender INTEGER NOT NULL, "
                    "recipient INTEGER NOT NULL, text TEXT NOT NULL, time INTEGER NOT NULL)"),
     QStringLiteral("CREATE TABLE social_consumers (key TEXT PRIMARY KEY, secret TEXT NOT NULL, "
                    "name TEXT NOT NULL, url TEXT)"),
     QStringLiteral("CREATE TABLE social_tokens (token TEXT PRIMARY KEY, secret TEXT NOT NULL, "
                    "kind INTEGER NOT NULL, consumer TEXT NOT NULL, user_id INTEGER, callback TEXT, "
                    "verifier TEXT, created INTEGER NOT NULL)"),
     QStringLiteral("ALTER TABLE messages ADD COLUMN user_id INTEGER"),
     QStringLiteral("ALTER TABLE messages ADD COLUMN retweet_of INTEGER"),
     QStringLiteral("CREATE INDEX messages_user ON messages (user_id, id)")},
    // Version 4: pictures uploaded to the microblog service to go with a status.
    {QStringLiteral("CREATE TABLE social_media (id INTEGER PRIMARY KEY, user_id INTEGER NOT NULL, "
                    "png BLOB NOT NULL, created INTEGER NOT NULL)")},
};

const QString ProgrammeColumns =
    QStringLiteral("id, channel_id, start, stop, title, sub_title, description, genre, category, country, "
                   "year, company, image, "
                   "image_big, gallery, imdb_rating, imdb_votes, kp_rating, kp_votes, kp_index");

StoreProgramme programmeOf(const QSqlQuery& q)
{
    StoreProgramme p;
    p.id = q.value(0).toLongLong();
    p.channelId = q.value(1).toInt();
    p.start = q.value(2).toLongLong();
    p.stop = q.value(3).toLongLong();
    p.title = q.value(4).toString();
    p.subTitle = q.value(5).toString();
    p.description = q.value(6).toString();
    p.genre = q.value(7).toString();
    p.category = q.value(8).toInt();
    p.country = q.value(9).toString();
    p.year = q.value(10).toInt();
    p.company = q.value(11).toString();
    p.image = q.value(12).toString();
    p.imageBig = q.value(13).toString();
    for (const QVariant& item : JsonValue::list(Json::decode(q.value(14).toByteArray())))
        p.gallery << JsonValue::text(item);
    p.imdbRating = q.value(15).toDouble();
    p.imdbVotes = q.value(16).toInt();
    p.kpRating = q.value(17).toDouble();
    p.kpVotes = q.value(18).toInt();
    p.kpIndex = q.value(19).toInt();
    return p;
}

StoreChannel channelOf(const QSqlQuery& q)
{
    StoreChannel c;
    c.id = q.value(0).toInt();
    c.xmltvId = q.value(1).toString();
    c.name = q.value(2).toString();
    c.logo = q.value(3).toString();
    c.isTv = q.value(4).toBool();
    c.categoryId = q.value(5).toInt();
    c.autoDetection = q.value(6).toBool();
    c.slogan = q.value(7).toString();
    c.livePictures = q.value(8).toBool();
    return c;
}

const QString ChannelColumns =
    QStringLiteral("id, xmltv_id, name, logo, is_tv, category_id, auto_detection, slogan, live_pictures");

// The same statement for PostgreSQL: its types for SQLite's, sequences for row ids, and the
// views' row number as a column of its own (SQLite has it built in as rowid).
QString forPostgres(QString statement)
{
    static const QList<std::pair<QRegularExpression, QString>> rules = {
        {QRegularExpression(QStringLiteral("\\bINTEGER PRIMARY KEY\\b")),
         QStringLiteral("BIGSERIAL PRIMARY KEY")},
        {QRegularExpression(QStringLiteral("\\bINTEGER\\b")), QStringLiteral("BIGINT")},
        {QRegularExpression(QStringLiteral("\\bREAL\\b")), QStringLiteral("DOUBLE PRECISION")},
        {QRegularExpression(QStringLiteral("\\bBLOB\\b")), QStringLiteral("BYTEA")},
        {QRegularExpression(QStringLiteral(" COLLATE NOCASE")), QString()},
        {QRegularExpression(QStringLiteral("^CREATE TABLE views \\(")),
         QStringLiteral("CREATE TABLE views (id BIGSERIAL PRIMARY KEY, ")},
    };
    for (const auto& [pattern, replacement] : rules)
        statement.replace(pattern, replacement);
    return statement;
}

// What PostgreSQL needs beyond the translated statements of a version.
QStringList postgresExtras(int version)
{
    // Screen names are unique in any case, as SQLite's NOCASE column has them.
    if (version == 3)
        return {QStringLiteral("CREATE UNIQUE INDEX social_users_screen_name ON social_users "
                               "(lower(screen_name))")};
    return {};
}

// A failure of the connection itself rather than of one statement: PostgreSQL's connection
// exceptions (08…) and shutdowns (57P…), or none at all from a socket that went away.
bool connectionLost(const QSqlError& error)
{
    const QString state = error.nativeErrorCode();
    return error.type() == QSqlError::ConnectionError || state.isEmpty() ||
           state.startsWith(QStringLiteral("08")) || state.startsWith(QStringLiteral("57P"));
}

thread_local bool failedThisRequest = false;

} // namespace

bool ScheduleStore::run(QSqlQuery& query)
{
    if (query.exec())
        return true;
    failedThisRequest = true;
    const QSqlError error = query.lastError();
    qCWarning(lcStore).noquote() << "store:" << error.text() << query.lastQuery();
    if (m_address.postgres && connectionLost(error))
        connectionLostHere();
    return false;
}

qint64 ScheduleStore::insertReturningId(QSqlQuery& query)
{
    return run(query) && query.next() ? query.value(0).toLongLong() : 0;
}

void ScheduleStore::idTaken(const QString& table)
{
    if (!m_address.postgres)
        return;
    QSqlQuery q(db());
    q.prepare(
        QStringLiteral("SELECT setval(pg_get_serial_sequence('%1', 'id'), GREATEST(MAX(id), 1)) FROM %1")
            .arg(table));
    run(q);
}

void ScheduleStore::beginRequest()
{
    failedThisRequest = false;
}

bool ScheduleStore::failedSinceBegin()
{
    return failedThisRequest;
}

ScheduleStore::ScheduleStore(const QString& path)
    : m_path(path), m_prefix(QStringLiteral("schedule_%1_").arg(quintptr(this), 0, 16))
{
    QString reason;
    const std::optional<StoreAddress> address = StoreAddress::parse(path, &reason);
    if (!address) {
        m_error = reason;
        return;
    }
    m_address = *address;
    m_path = m_address.display();
    if (!m_address.postgres)
        QDir().mkpath(QFileInfo(m_address.file).absolutePath());
    QSqlDatabase connection = db();
    if (!connection.isOpen()) {
        m_error = connection.lastError().text().trimmed();
        if (m_error.isEmpty())
            m_error = QStringLiteral("cannot connect");
        return;
    }
    m_open = migrate();
}

ScheduleStore::~ScheduleStore()
{
    std::lock_guard guard(m_lock);
    // The threads that used these connections have ended by now (the servers stop first).
    for (const QString& name : m_connections)
        QSqlDatabase::removeDatabase(name);
}

QString ScheduleStore::connectionName() const
{
    // A number per thread for the life of the process: a new thread never meets a connection
    // that an ended thread (with a reused thread id) opened.
    static std::atomic<quint64> threads{0};
    thread_local const quint64 thread = ++threads;
    return m_prefix + QString::number(thread);
}

bool ScheduleStore::openConnection(QSqlDatabase& connection)
{
    if (!connection.open())
        return false;
    if (!m_address.postgres) {
        QSqlQuery pragma(connection);
        pragma.exec(QStringLiteral("PRAGMA journal_mode=WAL"));
        pragma.exec(QStringLiteral("PRAGMA synchronous=NORMAL"));
    }
    return true;
}

QSqlDatabase ScheduleStore::db()
{
    const QString name = connectionName();
    if (QSqlDatabase::contains(name)) {
        QSqlDatabase connection = QSqlDatabase::database(name, false);
        if (connection.isOpen() || !m_address.postgres)
            return connection;
        // Lost: reconnect, but no sooner than the back-off allows, and not inside a
        // transaction (its statements would be written one by one): that ends first.
        const qint64 now = QDeadlineTimer::current().deadline();
        {
            std::lock_guard guard(m_lock);
            const Retry retry = m_retries.value(name);
            if (now < retry.atMs || m_inTransaction.contains(name))
                return connection;
        }
        const bool opened = openConnection(connection);
        std::lock_guard guard(m_lock);
        if (opened) {
            qCInfo(lcStore).noquote() << "store: connected again to" << m_path;
            m_retries.remove(name);
        } else {
            Retry& retry = m_retries[name];
            retry.delayMs = std::min(MaxRetryDelayMs, std::max(MinRetryDelayMs, retry.delayMs * 2));
            retry.atMs = now + retry.delayMs;
        }
        return connection;
    }
    QSqlDatabase connection;
    if (m_address.postgres) {
        connection = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        connection.setHostName(m_address.host);
        connection.setPort(m_address.port);
        connection.setUserName(m_address.user);
        connection.setPassword(m_address.password);
        connection.setDatabaseName(m_address.database);
        connection.setConnectOptions(QStringLiteral("connect_timeout=5;application_name=orvane-server"));
    } else {
        connection = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        connection.setDatabaseName(m_address.file);
        connection.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    }
    if (!openConnection(connection) && m_address.postgres) {
        std::lock_guard guard(m_lock);
        m_retries[name] = {QDeadlineTimer::current().deadline() + MinRetryDelayMs, MinRetryDelayMs};
    }
    std::lock_guard guard(m_lock);
    m_connections.insert(name);
    return connection;
}

void ScheduleStore::connectionLostHere()
{
    const QString name = connectionName();
    QSqlDatabase connection = QSqlDatabase::database(name, false);
    qCWarning(lcStore).noquote()
        << QStringLiteral("store: lost the connection to %1; reconnecting").arg(m_path);
    // Closed whether or not the driver noticed: it is opened again after the back-off.
    connection.close();
    std::lock_guard guard(m_lock);
    Retry& retry = m_retries[name];
    retry.delayMs = std::max(MinRetryDelayMs, retry.delayMs);
    retry.atMs = QDeadlineTimer::current().deadline() + retry.delayMs;
}

bool ScheduleStore::available()
{
    // A SQLite file does not go away between statements.
    return !m_address.postgres || db().isOpen();
}

int ScheduleStore::readVersion(QSqlQuery& query)
{
    if (!m_address.postgres)
        return query.exec(QStringLiteral("PRAGMA user_version")) && query.next() ? query.value(0).toInt()
                                                                                 : -1;
    if (!query.exec(QStringLiteral("SELECT version FROM schema_version")))
        return -1;
    return query.next() ? query.value(0).toInt() : 0;
}

bool ScheduleStore::migrate()
{
    QSqlDatabase connection = db();
    QSqlQuery query(connection);
    if (m_address.postgres) {
        // Servers starting together upgrade one at a time: the lock is held to the commit.
        connection.transaction();
        const bool present = query.exec(QStringLiteral("SELECT to_regclass('schema_version') IS NOT NULL")) &&
                             query.next() && query.value(0).toBool();
        if ((!present && !query.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS schema_version (version "
                                                    "INTEGER NOT NULL)"))) ||
            !query.exec(QStringLiteral("LOCK TABLE schema_version IN EXCLUSIVE MODE"))) {
            m_error = query.lastError().text();
            connection.rollback();
            return false;
        }
    }
    const int version = readVersion(query);
    query.finish();
    auto fail = [&](const QString& error) {
        m_error = error;
        if (m_address.postgres || version < SchemaVersion)
            connection.rollback();
        return false;
    };
    if (version < 0)
        return fail(query.lastError().text());
    if (version > SchemaVersion)
        return fail(QStringLiteral("the store's schema version %1 is newer than this server's %2")
                        .arg(version)
                        .arg(SchemaVersion));
    if (version == SchemaVersion)
        return m_address.postgres ? connection.commit() : true;
    if (!m_address.postgres)
        connection.transaction();
    QStringList statements = version == 0 ? Schema : QStringList();
    for (int from = std::max(version, 1); from < SchemaVersion; ++from) {
        statements += Upgrades[from - 1];
        if (m_address.postgres)
            statements += postgresExtras(from + 1);
    }
    for (const QString& statement : std::as_const(statements)) {
        if (!query.exec(m_address.postgres ? forPostgres(statement) : statement))
            return fail(query.lastError().text());
    }
    const bool stamped =
        m_address.postgres
            ? query.exec(QStringLiteral("DELETE FROM schema_version")) &&
                  query.exec(
                      QStringLiteral("INSERT INTO schema_version (version) VALUES (%1)").arg(SchemaVersion))
            : query.exec(QStringLiteral("PRAGMA user_version = %1").arg(SchemaVersion));
    if (!stamped)
        return fail(query.lastError().text());
    return connection.commit();
}

QString ScheduleStore::containing(QString text)
{
    text.replace(u'\\', QStringLiteral("\\\\"))
        .replace(u'%', QStringLiteral("\\%"))
        .replace(u'_', QStringLiteral("\\_"));
    return u'%' + text + u'%';
}

QString ScheduleStore::fold(const QString& text)
{
    return text.toCaseFolded().replace(u'ё', u'е');
}

QString ScheduleStore::timeZone()
{
    return status(QStringLiteral("timezone"), QStringLiteral("Europe/Moscow"));
}

void ScheduleStore::setTimeZone(const QString& zone)
{
    setStatus(QStringLiteral("timezone"), zone);
}

bool ScheduleStore::transaction()
{
    QSqlDatabase connection = db();
    if (!connection.transaction())
        return false;
    std::lock_guard guard(m_lock);
    m_inTransaction.insert(connectionName());
    return true;
}

bool ScheduleStore::commit()
{
    const bool committed = db().commit();
    std::lock_guard guard(m_lock);
    m_inTransaction.remove(connectionName());
    return committed;
}

void ScheduleStore::rollback()
{
    db().rollback();
    std::lock_guard guard(m_lock);
    m_inTransaction.remove(connectionName());
}

StoreCity ScheduleStore::cityOf(const QSqlQuery& q)
{
    StoreCity city;
    city.id = q.value(0).toInt();
    city.name = q.value(1).toString();
    city.utcOffsetMinutes = q.value(2).toInt();
    if (!q.value(3).isNull() && !q.value(4).isNull()) {
        city.latitude = q.value(3).toDouble();
        city.longitude = q.value(4).toDouble();
    }
    return city;
}

bool ScheduleStore::upsertCity(const StoreCity& city)
{
    QSqlQuery q(db());
    q.prepare(QStringLiteral(
        "INSERT INTO cities (id, name, utc_offset, latitude, longitude) VALUES (?, ?, ?, ?, ?) "
        "ON CONFLICT (id) DO UPDATE SET name = excluded.name, utc_offset = excluded.utc_offset, "
        "latitude = COALESCE(excluded.latitude, cities.latitude), "
        "longitude = COALESCE(excluded.longitude, cities.longitude)"));
    q.addBindValue(city.id);
    q.addBindValue(city.name);
    q.addBindValue(city.utcOffsetMinutes);
    q.addBindValue(city.latitude ? QVariant(*city.latitude) : QVariant(QMetaType(QMetaType::Double)));
    q.addBindValue(city.longitude ? QVariant(*city.longitude) : QVariant(QMetaType(QMetaType::Double)));
    return run(q);
}

bool ScheduleStore::upsertCategory(const StoreCategory& category)
{
    QSqlQuery q(db());
    q.prepare(QStringLiteral(
        "INSERT INTO categories (id, name, sort_order) VALUES (?, ?, ?) "
        "ON CONFLICT (id) DO UPDATE SET name = excluded.name, sort_order = excluded.sort_order"));
    q.addBindValue(category.id);
    q.addBindValue(category.name);
    q.addBindValue(category.order);
    return run(q);
}

int ScheduleStore::upsertChannel(StoreChannel channel)
{
    if (channel.id == 0 && !channel.xmltvId.isEmpty()) {
        if (const std::optional<int> existing = channelIdByXmltv(channel.xmltvId))
            channel.id = *existing;
    }
    QSqlQuery q(db());
    q.prepare(
        QStringLiteral(
            "INSERT INTO channels (%1xmltv_id, name, logo, is_tv, category_id, auto_detection, slogan, "
            "live_pictures) "
            "VALUES (%2?, ?, ?, ?, ?, ?, ?, ?) ON CONFLICT (id) DO UPDATE SET xmltv_id = excluded.xmltv_id, "
            "name = excluded.name, logo = excluded.logo, is_tv = excluded.is_tv, category_id = "
            "excluded.category_id, "
            "auto_detection = excluded.auto_detection, slogan = excluded.slogan, live_pictures = "
            "excluded.live_pictures RETURNING id")
            .arg(channel.id ? QStringLiteral("id, ") : QString(),
                 channel.id ? QStringLiteral("?, ") : QString()));
    if (channel.id)
        q.addBindValue(channel.id);
    q.addBindValue(channel.xmltvId.isEmpty() ? QVariant() : QVariant(channel.xmltvId));
    q.addBindValue(channel.name);
    q.addBindValue(channel.logo);
    q.addBindValue(channel.isTv ? 1 : 0);
    q.addBindValue(channel.categoryId);
    q.addBindValue(channel.autoDetection ? 1 : 0);
    q.addBindValue(channel.slogan);
    q.addBindValue(channel.livePictures ? 1 : 0);
    const int id = int(insertReturningId(q));
    if (id && channel.id)
        idTaken(QStringLiteral("channels"));
    return id;
}

bool ScheduleStore::addChannelToCity(int cityId, int channelId, int position, int localId)
{
    QSqlQuery q(db());
    q.prepare(QStringLiteral(
        "INSERT INTO city_channels (city_id, channel_id, position, local_id) VALUES (?, ?, ?, ?) "
        "ON CONFLICT (city_id, channel_id) DO UPDATE SET position = excluded.position, "
        "local_id = excluded.local_id"));
    q.addBindValue(cityId);
    q.addBindValue(channelId);
    q.addBindValue(position);
    q.addBindValue(localId);
    return run(q);
}

qint64 ScheduleStore::upsertProgramme(const StoreProgramme& p)
{
    QSqlQuery q(db());
    q.prepare(QStringLiteral(
        "INSERT INTO programmes (channel_id, start, stop, title, title_folded, sub_title, description, "
        "genre, "
        "category, country, year, company, image, image_big, gallery, imdb_rating, imdb_votes, kp_rating, "
        "kp_votes, "
        "kp_index) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?) "
        "ON CONFLICT (channel_id, start) DO UPDATE SET stop = excluded.stop, title = excluded.title, "
        "title_folded = excluded.title_folded, sub_title = excluded.sub_title, description = "
        "excluded.description, "
        "genre = excluded.genre, category = excluded.category, country = excluded.country, year = "
        "excluded.year, "
        "company = excluded.company, image = excluded.image, image_big = excluded.image_big, gallery = "
        "excluded.gallery, "
        "imdb_rating = excluded.imdb_rating, imdb_votes = excluded.imdb_votes, kp_rating = "
        "excluded.kp_rating, "
        "kp_votes = excluded.kp_votes, kp_index = excluded.kp_index"));
    QVariantList gallery;
    for (const QString& path : p.gallery)
        gallery << path;
    for (const QVariant& value : {QVariant(p.channelId),
                                  QVariant(p.start),
                                  QVariant(p.stop),
                                  QVariant(p.title),
                                  QVariant(fold(p.title)),
                                  QVariant(p.subTitle),
                                  QVariant(p.description),
                                  QVariant(p.genre),
                                  QVariant(p.category),
                                  QVariant(p.country),
                                  QVariant(p.year),
                                  QVariant(p.company),
                                  QVariant(p.image),
                                  QVariant(p.imageBig),
                                  QVariant(QString::fromUtf8(Json::encode(gallery))),
                                  QVariant(p.imdbRating),
                                  QVariant(p.imdbVotes),
                                  QVariant(p.kpRating),
                                  QVariant(p.kpVotes),
                                  QVariant(p.kpIndex)})
        q.addBindValue(value);
    if (!run(q))
        return 0;
    QSqlQuery id(db());
    id.prepare(QStringLiteral("SELECT id FROM programmes WHERE channel_id = ? AND start = ?"));
    id.addBindValue(p.channelId);
    id.addBindValue(p.start);
    if (!run(id) || !id.next())
        return 0;
    const qint64 programmeId = id.value(0).toLongLong();
    QSqlQuery clear(db());
    clear.prepare(QStringLiteral("DELETE FROM participants WHERE programme_id = ?"));
    clear.addBindValue(programmeId);
    run(clear);
    QSqlQuery add(db());
    add.prepare(QStringLiteral(
        "INSERT INTO participants (programme_id, position, role, name, url) VALUES (?, ?, ?, ?, ?)"));
    for (int i = 0; i < p.participants.size(); ++i) {
        add.addBindValue(programmeId);
        add.addBindValue(i);
        add.addBindValue(p.participants[i].role);
        add.addBindValue(p.participants[i].name);
        add.addBindValue(p.participants[i].url.isEmpty() ? QVariant() : QVariant(p.participants[i].url));
        run(add);
    }
    return programmeId;
}

bool ScheduleStore::pruneProgrammes(int channelId, qint64 from, qint64 to, const QSet<qint64>& keep)
{
    QSqlQuery q(db());
    q.prepare(QStringLiteral("SELECT id FROM programmes WHERE channel_id = ? AND start >= ? AND start < ?"));
    q.addBindValue(channelId);
    q.addBindValue(from);
    q.addBindValue(to);
    if (!run(q))
        return false;
    QList<qint64> stale;
    while (q.next()) {
        const qint64 id = q.value(0).toLongLong();
        if (!keep.contains(id))
            stale.append(id);
    }
    q.finish();
    for (const qint64 id : stale) {
        QSqlQuery remove(db());
        remove.prepare(QStringLiteral("DELETE FROM participants WHERE programme_id = ?"));
        remove.addBindValue(id);
        run(remove);
        remove.prepare(QStringLiteral("DELETE FROM programmes WHERE id = ?"));
        remove.addBindValue(id);
        if (!run(remove))
            return false;
    }
    return true;
}

bool ScheduleStore::setPicture(const QString& path, const QByteArray& png)
{
    QSqlQuery q(db());
    q.prepare(QStringLiteral("INSERT INTO pictures (path, png) VALUES (?, ?) ON CONFLICT (path) DO UPDATE "
                             "SET png = excluded.png"));
    q.addBindValue(path);
    q.addBindValue(png);
    return run(q);
}

QByteArray ScheduleStore::picture(const QString& path)
{
    QSqlQuery q(db());
    q.prepare(QStringLiteral("SELECT png FROM pictures WHERE path = ?"));
    q.addBindValue(path);
    if (run(q) && q.next())
        return q.value(0).toByteArray();
    return {};
}

bool ScheduleStore::clearProgrammes(int channelId, qint64 from, qint64 to)
{
    QSqlQuery q(db());
    q.prepare(
        QStringLiteral("DELETE FROM participants WHERE programme_id IN "
                       "(SELECT id FROM programmes WHERE channel_id = ? AND start >= ? AND start < ?)"));
    q.addBindValue(channelId);
    q.addBindValue(from);
    q.addBindValue(to);
    if (!run(q))
        return false;
    q.prepare(QStringLiteral("DELETE FROM programmes WHERE channel_id = ? AND start >= ? AND start < ?"));
    q.addBindValue(channelId);
    q.addBindValue(from);
    q.addBindValue(to);
    return run(q);
}

bool ScheduleStore::setRating(int cityId, int channelId, double rating)
{
    QSqlQuery q(db());
    q.prepare(QStringLiteral("INSERT INTO ratings (city_id, channel_id, rating) VALUES (?, ?, ?) "
                             "ON CONFLICT (city_id, channel_id) DO UPDATE SET rating = excluded.rating"));
    q.addBindValue(cityId);
    q.addBindValue(channelId);
    q.addBindValue(rating);
    return run(q);
}

qint64 ScheduleStore::addMessage(const StoreMessage& m)
{
    QSqlQuery q(db());
    // A message without an id of its own takes the next one.
    q.prepare(QStringLiteral(
                  "INSERT INTO messages (%1channel_id, time, sender_id, sender_name, screen_name, "
                  "profile_image_url, text, source, reply_to_id, reply_to_screen_name, media_url, user_id, "
                  "retweet_of) VALUES (%2?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?) RETURNING id")
                  .arg(m.id > 0 ? QStringLiteral("id, ") : QString(),
                       m.id > 0 ? QStringLiteral("?, ") : QString()));
    if (m.id > 0)
        q.addBindValue(m.id);
    for (const QVariant& value :
         {QVariant(m.channelId), QVariant(m.time), QVariant(m.senderId), QVariant(m.senderName),
          QVariant(m.screenName), QVariant(m.profileImageUrl), QVariant(m.text), QVariant(m.source),
          m.replyToId.isEmpty() ? QVariant() : QVariant(m.replyToId),
          m.replyToScreenName.isEmpty() ? QVariant() : QVariant(m.replyToScreenName),
          m.mediaUrl.isEmpty() ? QVariant() : QVariant(m.mediaUrl),
          m.userId > 0 ? QVariant(m.userId) : QVariant(),
          m.retweetOf > 0 ? QVariant(m.retweetOf) : QVariant()})
        q.addBindValue(value);
    const qint64 id = insertReturningId(q);
    if (id && m.id > 0)
        idTaken(QStringLiteral("messages"));
    return id;
}

bool ScheduleStore::setStatus(const QString& key, const QString& value)
{
    QSqlQuery q(db());
    q.prepare(QStringLiteral("INSERT INTO settings (key, value) VALUES (?, ?) "
                             "ON CONFLICT (key) DO UPDATE SET value = excluded.value"));
    q.addBindValue(key);
    q.addBindValue(value);
    return run(q);
}

qint64 ScheduleStore::now() const
{
    return m_clock ? m_clock() : QDateTime::currentSecsSinceEpoch();
}

void ScheduleStore::deviceSeen(const QString& deviceId, int channelId)
{
    if (deviceId.isEmpty() || deviceId.size() > 64)
        return;
    const qint64 now = this->now();
    bool prune = false;
    {
        // Reads come many times a minute from one device: its last-seen time is written at
        // most once a minute, so answering stays free of writes.
        std::lock_guard guard(m_lock);
        if (m_lastSeenWritten.size() > 100000)
            m_lastSeenWritten.clear();
        qint64& written = m_lastSeenWritten[deviceId];
        if (channelId <= 0 && now - written < 60)
            return;
        written = now;
        // Pruned once a minute, and before the rows could pass the cap.
        ++m_devicesWritten;
        prune = now - m_devicesPrunedAt >= 60 || m_deviceRows + m_devicesWritten >= MaxDevices;
        if (prune) {
            m_devicesPrunedAt = now;
            m_devicesWritten = 0;
        }
    }
    QSqlQuery q(db());
    q.prepare(QStringLiteral("INSERT INTO devices (device_id, last_seen) VALUES (?, ?) "
                             "ON CONFLICT (device_id) DO UPDATE SET last_seen = excluded.last_seen"));
    q.addBindValue(deviceId);
    q.addBindValue(now);
    run(q);
    if (channelId > 0) {
        q.prepare(QStringLiteral("INSERT INTO views (device_id, channel_id, time) VALUES (?, ?, ?)"));
        q.addBindValue(deviceId);
        q.addBindValue(channelId);
        q.addBindValue(now);
        run(q);
    }
    if (prune) {
        const qint64 rows = pruneDevices(now);
        std::lock_guard guard(m_lock);
        m_deviceRows = rows;
    }
}

qint64 ScheduleStore::pruneDevices(qint64 now)
{
    // Down to nine tenths of the cap, so that a full table is not pruned on every write.
    QSqlQuery q(db());
    q.prepare(QStringLiteral("DELETE FROM devices WHERE last_seen < ?"));
    q.addBindValue(now - DeviceWindowSeconds);
    run(q);
    q.prepare(QStringLiteral("DELETE FROM devices WHERE device_id IN (SELECT device_id FROM devices "
                             "ORDER BY last_seen DESC, device_id LIMIT %1 OFFSET ?)")
                  .arg(m_address.postgres ? QStringLiteral("ALL") : QStringLiteral("-1")));
    q.addBindValue(MaxDevices * 9 / 10);
    run(q);
    q.prepare(QStringLiteral("DELETE FROM views WHERE time < ?"));
    q.addBindValue(now - ViewRetentionSeconds);
    run(q);
    const QString row = m_address.postgres ? QStringLiteral("id") : QStringLiteral("rowid");
    q.prepare(QStringLiteral("DELETE FROM views WHERE %1 <= (SELECT MAX(%1) FROM views) - ?").arg(row));
    q.addBindValue(MaxViews);
    run(q);
    return deviceRows();
}

QList<StoreCity> ScheduleStore::cities()
{
    QList<StoreCity> list;
    QSqlQuery q(db());
    q.prepare(QStringLiteral("SELECT id, name, utc_offset, latitude, longitude FROM cities ORDER BY id"));
    if (run(q)) {
        while (q.next())
            list.append(cityOf(q));
    }
    return list;
}

std::optional<StoreCity> ScheduleStore::city(int id)
{
    QSqlQuery q(db());
    q.prepare(QStringLiteral("SELECT id, name, utc_offset, latitude, longitude FROM cities WHERE id = ?"));
    q.addBindValue(id);
    if (run(q) && q.next())
        return cityOf(q);
    return std::nullopt;
}

QList<StoreCategory> ScheduleStore::categories()
{
    QList<StoreCategory> list;
    QSqlQuery q(db());
    q.prepare(QStringLiteral("SELECT id, name, sort_order FROM categories ORDER BY id"));
    if (run(q)) {
        while (q.next())
            list.append({q.value(0).toInt(), q.value(1).toString(), q.value(2).toInt()});
    }
    return list;
}

std::optional<StoreChannel> ScheduleStore::channel(int id)
{
    QSqlQuery q(db());
    q.prepare(QStringLiteral("SELECT %1 FROM channels WHERE id = ?").arg(ChannelColumns));
    q.addBindValue(id);
    if (run(q) && q.next())
        return channelOf(q);
    return std::nullopt;
}

std::optional<StoreChannel> ScheduleStore::channelByLogo(const QString& logo)
{
    QSqlQuery q(db());
    q.prepare(QStringLiteral("SELECT %1 FROM channels WHERE logo = ? LIMIT 1").arg(ChannelColumns));
    q.addBindValue(logo);
    if (run(q) && q.next())
        return channelOf(q);
    return std::nullopt;
}

std::optional<int> ScheduleStore::channelIdByXmltv(const QString& xmltvId)
{
    QSqlQuery q(db());
    q.prepare(QStringLiteral("SELECT id FROM channels WHERE xmltv_id = ?"));
    q.addBindValue(xmltvId);
    if (run(q) && q.next())
        return q.value(0).toInt();
    return std::nullopt;
}

QList<StoreChannel> ScheduleStore::channelsOfCity(int cityId)
{
    QList<StoreChannel> list;
    QSqlQuery q(db());
    q.prepare(QStringLiteral(
        "SELECT c.id, c.xmltv_id, c.name, c.logo, c.is_tv, c.category_id, c.auto_detection, "
        "c.slogan, c.live_pictures FROM city_channels cc JOIN channels c ON c.id = cc.channel_id "
        "WHERE cc.city_id = ? ORDER BY cc.position, c.id"));
    q.addBindValue(cityId);
    if (run(q)) {
        while (q.next())
            list.append(channelOf(q));
    }
    return list;
}

QMap<int, int> ScheduleStore::cityMap(int cityId)
{
    QMap<int, int> map;
    QSqlQuery q(db());
    q.prepare(
        QStringLiteral("SELECT channel_id, local_id FROM city_channels WHERE city_id = ? AND local_id != 0 "
                       "AND local_id != channel_id"));
    q.addBindValue(cityId);
    if (run(q)) {
        while (q.next())
            map.insert(q.value(0).toInt(), q.value(1).toInt());
    }
    return map;
}

void ScheduleStore::loadParticipants(StoreProgramme& programme)
{
    QSqlQuery q(db());
    q.prepare(
        QStringLiteral("SELECT role, name, url FROM participants WHERE programme_id = ? ORDER BY position"));
    q.addBindValue(programme.id);
    if (run(q)) {
        while (q.next())
            programme.participants.append({q.value(0).toInt(), q.value(1).toString(), q.value(2).toString()});
    }
}

QList<StoreProgramme> ScheduleStore::programmes(int channelId, qint64 from, qint64 to, bool withDetails)
{
    QList<StoreProgramme> list;
    QSqlQuery q(db());
    q.prepare(QStringLiteral(
                  "SELECT %1 FROM programmes WHERE channel_id = ? AND stop > ? AND start < ? ORDER BY start")
                  .arg(ProgrammeColumns));
    q.addBindValue(channelId);
    q.addBindValue(from);
    q.addBindValue(to);
    if (run(q)) {
        while (q.next())
            list.append(programmeOf(q));
    }
    if (withDetails) {
        for (StoreProgramme& programme : list)
            loadParticipants(programme);
    }
    return list;
}

std::optional<StoreProgramme> ScheduleStore::programmeAt(int channelId, qint64 moment)
{
    QSqlQuery q(db());
    q.prepare(QStringLiteral("SELECT %1 FROM programmes WHERE channel_id = ? AND start <= ? AND stop > ? "
                             "ORDER BY start DESC LIMIT 1")
                  .arg(ProgrammeColumns));
    q.addBindValue(channelId);
    q.addBindValue(moment);
    q.addBindValue(moment);
    if (run(q) && q.next())
        return programmeOf(q);
    return std::nullopt;
}

std::optional<StoreProgramme> ScheduleStore::programme(qint64 id, bool withDetails)
{
    QSqlQuery q(db());
    q.prepare(QStringLiteral("SELECT %1 FROM programmes WHERE id = ?").arg(ProgrammeColumns));
    q.addBindValue(id);
    if (!run(q) || !q.next())
        return std::nullopt;
    StoreProgramme programme = programmeOf(q);
    if (withDetails)
        loadParticipants(programme);
    return programme;
}

QList<StoreProgramme> ScheduleStore::search(int cityId, const QString& text, qint64 from, qint64 to,
                                            int limit)
{
    QList<StoreProgramme> list;
    QSqlQuery q(db());
    q.prepare(
        QStringLiteral("SELECT p.id, p.channel_id, p.start, p.stop, p.title, p.sub_title, p.description, "
                       "p.genre, p.category, p.country, p.year, p.company, p.image, p.image_big, p.gallery, "
                       "p.imdb_rating, p.imdb_votes, p.kp_rating, p.kp_votes, p.kp_index FROM programmes p "
                       "JOIN city_channels cc ON p.channel_id = CASE WHEN cc.local_id != 0 THEN cc.local_id "
                       "ELSE cc.channel_id END WHERE cc.city_id = ? AND p.title_folded LIKE ? ESCAPE '\\' "
                       "AND p.start >= ? AND p.start < ? ORDER BY p.start LIMIT ?"));
    q.addBindValue(cityId);
    q.addBindValue(containing(fold(text)));
    q.addBindValue(from);
    q.addBindValue(to);
    q.addBindValue(limit);
    if (run(q)) {
        while (q.next())
            list.append(programmeOf(q));
    }
    return list;
}

QMap<int, double> ScheduleStore::ratings(int cityId)
{
    QMap<int, double> map;
    QSqlQuery q(db());
    q.prepare(QStringLiteral("SELECT channel_id, rating FROM ratings WHERE city_id = ?"));
    q.addBindValue(cityId);
    if (run(q)) {
        while (q.next())
            map.insert(q.value(0).toInt(), q.value(1).toDouble());
    }
    return map;
}

const QString ScheduleStore::MessageColumns =
    QStringLiteral("id, channel_id, time, sender_id, sender_name, screen_name, profile_image_url, text, "
                   "source, reply_to_id, reply_to_screen_name, media_url, user_id, retweet_of");

StoreMessage ScheduleStore::messageOf(const QSqlQuery& q)
{
    StoreMessage m;
    m.id = q.value(0).toLongLong();
    m.channelId = q.value(1).toInt();
    m.time = q.value(2).toLongLong();
    m.senderId = q.value(3).toString();
    m.senderName = q.value(4).toString();
    m.screenName = q.value(5).toString();
    m.profileImageUrl = q.value(6).toString();
    m.text = q.value(7).toString();
    m.source = q.value(8).toString();
    m.replyToId = q.value(9).toString();
    m.replyToScreenName = q.value(10).toString();
    m.mediaUrl = q.value(11).toString();
    m.userId = q.value(12).toLongLong();
    m.retweetOf = q.value(13).toLongLong();
    return m;
}

QList<StoreMessage> ScheduleStore::messages(int channelId, qint64 from, qint64 to, int limit)
{
    QList<StoreMessage> list;
    QSqlQuery q(db());
    // Channel 1 is the common feed: the talk about every channel.
    q.prepare(QStringLiteral("SELECT %1 FROM messages WHERE %2 AND time >= ? AND time <= ? "
                             "ORDER BY time DESC, id DESC LIMIT ?")
                  .arg(MessageColumns, channelId == CommonTalkChannel
                                           ? QStringLiteral("channel_id > 0 AND ? > 0")
                                           : QStringLiteral("channel_id = ?")));
    q.addBindValue(channelId);
    q.addBindValue(from);
    q.addBindValue(to);
    q.addBindValue(limit);
    if (run(q)) {
        while (q.next())
            list.append(messageOf(q));
    }
    return list;
}

QString ScheduleStore::status(const QString& key, const QString& fallback)
{
    QSqlQuery q(db());
    q.prepare(QStringLiteral("SELECT value FROM settings WHERE key = ?"));
    q.addBindValue(key);
    if (run(q) && q.next())
        return q.value(0).toString();
    return fallback;
}

int ScheduleStore::devicesSeenSince(qint64 moment)
{
    QSqlQuery q(db());
    q.prepare(QStringLiteral("SELECT COUNT(*) FROM devices WHERE last_seen >= ?"));
    q.addBindValue(moment);
    return run(q) && q.next() ? q.value(0).toInt() : 0;
}

int ScheduleStore::devicesOnline()
{
    return devicesSeenSince(now() - DeviceWindowSeconds);
}

qint64 ScheduleStore::deviceRows()
{
    QSqlQuery q(db());
    q.prepare(QStringLiteral("SELECT COUNT(*) FROM devices"));
    return run(q) && q.next() ? q.value(0).toLongLong() : 0;
}

qint64 ScheduleStore::viewRows()
{
    QSqlQuery q(db());
    q.prepare(QStringLiteral("SELECT COUNT(*) FROM views"));
    return run(q) && q.next() ? q.value(0).toLongLong() : 0;
}

QMap<int, int> ScheduleStore::viewsOfDevice(const QString& deviceId)
{
    QMap<int, int> map;
    QSqlQuery q(db());
    q.prepare(
        QStringLiteral("SELECT channel_id, COUNT(*) FROM views WHERE device_id = ? GROUP BY channel_id"));
    q.addBindValue(deviceId);
    if (run(q)) {
        while (q.next())
            map.insert(q.value(0).toInt(), q.value(1).toInt());
    }
    return map;
}

qint64 ScheduleStore::programmeCount()
{
    QSqlQuery q(db());
    q.prepare(QStringLiteral("SELECT COUNT(*) FROM programmes"));
    return run(q) && q.next() ? q.value(0).toLongLong() : 0;
}
