#include "ORVManagedObjectContext.h"

#include "Channel.h"
#include "Show.h"

#include "platform/Paths.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>
#include <map>

Q_LOGGING_CATEGORY(lcDatabase, "orvane.database")

namespace {

// Schema steps; step i brings a store from version i to i + 1.
const QList<QStringList> Migrations = {
    {QStringLiteral("CREATE TABLE channels (id INTEGER PRIMARY KEY, channel_object BLOB NOT NULL, "
                    "is_favorite INTEGER NOT NULL DEFAULT 0)"),
     QStringLiteral("CREATE TABLE history (id INTEGER PRIMARY KEY, detected_time REAL NOT NULL, "
                    "channel_object BLOB NOT NULL, show_object BLOB NOT NULL)"),
     QStringLiteral(
         "CREATE TABLE rating (id INTEGER PRIMARY KEY, chann_id INTEGER NOT NULL, rating REAL NOT NULL)")},
};

} // namespace

struct ORVManagedObjectContext::Cache
{
    QList<std::shared_ptr<Channels>> channels;
    QList<std::shared_ptr<History>> history;
    QList<std::shared_ptr<Rating>> ratings;
    std::set<const void*> inserted;
    std::set<const void*> changed;
    QList<std::shared_ptr<History>> deletedHistory;
};

ORVManagedObjectContext::ORVManagedObjectContext(const QString& path, QObject* parent)
    : QObject(parent), m_path(path.isEmpty() ? Paths::documents() + QStringLiteral("/orv_db.sqlite") : path),
      m_connection(QStringLiteral("orv_db_%1").arg(quintptr(this), 0, 16)), m_cache(std::make_unique<Cache>())
{
    open();
}

ORVManagedObjectContext::~ORVManagedObjectContext()
{
    for (const auto& r : m_cache->channels)
        r->m_context = nullptr;
    for (const auto& r : m_cache->history)
        r->m_context = nullptr;
    for (const auto& r : m_cache->ratings)
        r->m_context = nullptr;
    QSqlDatabase::database(m_connection, false).close();
    QSqlDatabase::removeDatabase(m_connection);
}

void ORVManagedObjectContext::open()
{
    Paths::ensurePath(QFileInfo(m_path).absolutePath());
    if (!openDatabase())
        return;
    QSqlQuery check(QSqlDatabase::database(m_connection));
    const bool checked = check.exec(QStringLiteral("PRAGMA quick_check")) && check.next();
    const QString verdict = checked ? check.value(0).toString() : check.lastError().text();
    check.finish();
    if (!checked || verdict != u"ok") {
        if (!checked && !verdict.contains(QStringLiteral("not a database"), Qt::CaseInsensitive) &&
            !verdict.contains(QStringLiteral("malformed"), Qt::CaseInsensitive)) {
            m_lastError = Error::withDescription(
                QStringLiteral("database"), 1,
                openFailure(Error::withDescription(QStringLiteral("database"), 1, verdict)));
            qCWarning(lcDatabase).noquote() << "Error:" << m_lastError.localizedDescription();
            m_open = false;
            return;
        }
        moveAside(verdict);
        if (!openDatabase())
            return;
    }
    m_open = migrate();
    if (m_open)
        load();
    else
        m_lastError = Error::withDescription(QStringLiteral("database"), 1, openFailure(m_lastError));
}

QString ORVManagedObjectContext::openFailure(const Error& cause) const
{
    // SQLite's own words ("unable to open database file") do not say why.
    QString reason = Paths::writeProblem(QFileInfo(m_path).absolutePath());
    if (reason.isEmpty())
        reason = cause.localizedDescription().isEmpty() ? QStringLiteral("unknown error")
                                                        : cause.localizedDescription();
    return QStringLiteral("The database %1 cannot be opened (%2).").arg(m_path, reason);
}

bool ORVManagedObjectContext::openDatabase()
{
    QSqlDatabase::database(m_connection, false).close();
    QSqlDatabase::removeDatabase(m_connection);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    db.setDatabaseName(m_path);
    if (!db.open()) {
        m_lastError = Error::withDescription(QStringLiteral("database"), 1, db.lastError().text());
        m_lastError = Error::withDescription(QStringLiteral("database"), 1, openFailure(m_lastError));
        qCWarning(lcDatabase).noquote() << "Error:" << m_lastError.localizedDescription();
        return false;
    }
    QSqlQuery pragma(db);
    pragma.exec(QStringLiteral("PRAGMA journal_mode=WAL"));
    pragma.exec(QStringLiteral("PRAGMA foreign_keys=ON"));
    return true;
}

void ORVManagedObjectContext::moveAside(const QString& reason)
{
    QSqlDatabase::database(m_connection, false).close();
    QSqlDatabase::removeDatabase(m_connection);
    const QString aside = m_path + QStringLiteral(".broken-") +
                          QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMddTHHmmss"));
    QFile::rename(m_path, aside);
    QFile::remove(m_path + QStringLiteral("-wal"));
    QFile::remove(m_path + QStringLiteral("-shm"));
    qCWarning(lcDatabase).noquote() << "the database" << m_path << "was unusable (" << reason << "); kept as"
                                    << aside << "and started afresh";
}

bool ORVManagedObjectContext::migrate()
{
    QSqlDatabase db = QSqlDatabase::database(m_connection);
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("PRAGMA user_version")) || !query.next()) {
        m_lastError = Error::withDescription(QStringLiteral("database"), 1, query.lastError().text());
        qCWarning(lcDatabase).noquote() << "Error:" << query.lastError().text();
        return false;
    }
    const int version = query.value(0).toInt();
    query.finish();
    if (version > SchemaVersion) {
        m_lastError = Error::withDescription(
            QStringLiteral("database"), 1,
            QStringLiteral("the store has schema version %1, newer than %2").arg(version).arg(SchemaVersion));
        qCWarning(lcDatabase).noquote() << "Error:" << m_lastError.localizedDescription();
        return false;
    }
    if (version == SchemaVersion)
        return true;
    db.transaction();
    for (int step = version; step < SchemaVersion; ++step) {
        for (const QString& statement : Migrations.at(step)) {
            if (!query.exec(statement)) {
                m_lastError = Error::withDescription(QStringLiteral("database"), 1, query.lastError().text());
                qCWarning(lcDatabase).noquote() << "Error:" << query.lastError().text();
                db.rollback();
                return false;
            }
        }
    }
    if (!query.exec(QStringLiteral("PRAGMA user_version = %1").arg(SchemaVersion)) || !db.commit()) {
        m_lastError = Error::withDescription(QStringLiteral("database"), 1,
                                             query.lastError().isValid() ? query.lastError().text()
                                                                         : db.lastError().text());
        qCWarning(lcDatabase).noquote() << "Error:" << db.lastError().text();
        db.rollback();
        return false;
    }
    return true;
}

void ORVManagedObjectContext::load()
{
    QSqlQuery query(QSqlDatabase::database(m_connection));
    QString error;
    query.exec(QStringLiteral("SELECT id, channel_object, is_favorite FROM channels ORDER BY id"));
    while (query.next()) {
        auto channel = Channel::initWithCoder(query.value(1).toByteArray(), &error);
        if (!channel) {
            qCWarning(lcDatabase).noquote()
                << "skipped channel record" << query.value(0).toLongLong() << ":" << error;
            continue;
        }
        auto record = std::make_shared<Channels>();
        record->m_context = this;
        record->m_row = query.value(0).toLongLong();
        record->m_channel = channel;
        record->m_isFavorite = query.value(2).toBool();
        m_cache->channels.append(record);
    }
    query.exec(
        QStringLiteral("SELECT id, detected_time, channel_object, show_object FROM history ORDER BY id"));
    while (query.next()) {
        auto channel = Channel::initWithCoder(query.value(2).toByteArray(), &error);
        auto show = channel ? Show::initWithCoder(query.value(3).toByteArray(), &error) : nullptr;
        if (!show) {
            qCWarning(lcDatabase).noquote()
                << "skipped history record" << query.value(0).toLongLong() << ":" << error;
            continue;
        }
        auto record = std::make_shared<History>();
        record->m_context = this;
        record->m_row = query.value(0).toLongLong();
        record->m_detectedTime = QDateTime::fromMSecsSinceEpoch(qint64(query.value(1).toDouble() * 1000.0));
        record->m_channel = channel;
        record->m_show = show;
        m_cache->history.append(record);
    }
    query.exec(QStringLiteral("SELECT id, chann_id, rating FROM rating ORDER BY id"));
    while (query.next()) {
        auto record = std::make_shared<Rating>();
        record->m_context = this;
        record->m_row = query.value(0).toLongLong();
        record->m_channId = query.value(1).toInt();
        record->m_rating = query.value(2).toFloat();
        m_cache->ratings.append(record);
    }
}

bool ORVManagedObjectContext::hasChanges() const
{
    return !m_cache->inserted.empty() || !m_cache->changed.empty() || !m_cache->deletedHistory.isEmpty();
}

QList<std::shared_ptr<Channels>> ORVManagedObjectContext::channels(std::optional<bool> favorite)
{
    if (!favorite)
        return m_cache->channels;
    QList<std::shared_ptr<Channels>> list;
    for (const auto& record : m_cache->channels) {
        if (record->is_favorite() == *favorite)
            list.append(record);
    }
    return list;
}

QList<std::shared_ptr<History>> ORVManagedObjectContext::history()
{
    return m_cache->history;
}

QList<std::shared_ptr<Rating>> ORVManagedObjectContext::ratings()
{
    return m_cache->ratings;
}

std::shared_ptr<Channels> ORVManagedObjectContext::insertChannels(const std::shared_ptr<Channel>& channel)
{
    auto record = std::make_shared<Channels>();
    record->m_context = this;
    record->m_channel = channel;
    m_cache->channels.append(record);
    m_cache->inserted.insert(record.get());
    return record;
}

std::shared_ptr<History> ORVManagedObjectContext::insertHistory(const QDateTime& detected,
                                                                const std::shared_ptr<Channel>& channel,
                                                                const std::shared_ptr<Show>& show)
{
    auto record = std::make_shared<History>();
    record->m_context = this;
    record->m_detectedTime = detected;
    record->m_channel = channel;
    record->m_show = show;
    m_cache->history.append(record);
    m_cache->inserted.insert(record.get());
    return record;
}

std::shared_ptr<Rating> ORVManagedObjectContext::insertRating(int channId, float rating)
{
    auto record = std::make_shared<Rating>();
    record->m_context = this;
    record->m_channId = channId;
    record->m_rating = rating;
    m_cache->ratings.append(record);
    m_cache->inserted.insert(record.get());
    return record;
}

void ORVManagedObjectContext::deleteHistory(const std::shared_ptr<History>& record)
{
    if (!m_cache->history.removeOne(record))
        return;
    if (m_cache->inserted.erase(record.get()) == 0)
        m_cache->deletedHistory.append(record);
}

void ORVManagedObjectContext::markChanged(const void* record)
{
    if (!m_cache->inserted.count(record))
        m_cache->changed.insert(record);
}

bool ORVManagedObjectContext::saveDataToDB()
{
    if (!m_open) {
        // The reason the store could not be opened is the reason nothing can be saved.
        if (m_lastError.localizedDescription().isEmpty())
            m_lastError =
                Error::withDescription(QStringLiteral("database"), 2, QStringLiteral("no store is open"));
        qCWarning(lcDatabase).noquote() << "DBError:" << m_lastError.localizedDescription();
        return false;
    }
    if (!hasChanges())
        return true;
    QSqlDatabase db = QSqlDatabase::database(m_connection);
    QSqlQuery query(db);
    std::map<const void*, qint64> newRows;
    const auto fail = [&]() {
        QString reason = query.lastError().isValid() ? query.lastError().text() : db.lastError().text();
        if (const QString problem = Paths::writeProblem(QFileInfo(m_path).absolutePath()); !problem.isEmpty())
            reason += QStringLiteral(" (") + problem + u')';
        m_lastError = Error::withDescription(QStringLiteral("database"), 3, reason);
        db.rollback();
        qCWarning(lcDatabase).noquote() << "DBError:" << m_lastError.localizedDescription();
        return false;
    };
    if (!db.transaction())
        return fail();

    for (const auto& record : m_cache->channels) {
        if (m_cache->inserted.count(record.get())) {
            query.prepare(QStringLiteral("INSERT INTO channels (channel_object, is_favorite) VALUES (?, ?)"));
            query.addBindValue(record->m_channel->encodeWithCoder());
            query.addBindValue(record->m_isFavorite ? 1 : 0);
            if (!query.exec())
                return fail();
            newRows[record.get()] = query.lastInsertId().toLongLong();
        } else if (m_cache->changed.count(record.get())) {
            query.prepare(QStringLiteral("UPDATE channels SET is_favorite = ? WHERE id = ?"));
            query.addBindValue(record->m_isFavorite ? 1 : 0);
            query.addBindValue(record->m_row);
            if (!query.exec())
                return fail();
        }
    }
    for (const auto& record : m_cache->history) {
        if (!m_cache->inserted.count(record.get()))
            continue;
        query.prepare(QStringLiteral(
            "INSERT INTO history (detected_time, channel_object, show_object) VALUES (?, ?, ?)"));
        query.addBindValue(double(record->m_detectedTime.toMSecsSinceEpoch()) / 1000.0);
        query.addBindValue(record->m_channel->encodeWithCoder());
        query.addBindValue(record->m_show->encodeWithCoder());
        if (!query.exec())
            return fail();
        newRows[record.get()] = query.lastInsertId().toLongLong();
    }
    for (const auto& record : m_cache->deletedHistory) {
        query.prepare(QStringLiteral("DELETE FROM history WHERE id = ?"));
        query.addBindValue(record->m_row);
        if (!query.exec())
            return fail();
    }
    for (const auto& record : m_cache->ratings) {
        if (m_cache->inserted.count(record.get())) {
            query.prepare(QStringLiteral("INSERT INTO rating (chann_id, rating) VALUES (?, ?)"));
            query.addBindValue(record->m_channId);
            query.addBindValue(double(record->m_rating));
            if (!query.exec())
                return fail();
            newRows[record.get()] = query.lastInsertId().toLongLong();
        } else if (m_cache->changed.count(record.get())) {
            query.prepare(QStringLiteral("UPDATE rating SET rating = ? WHERE id = ?"));
            query.addBindValue(double(record->m_rating));
            query.addBindValue(record->m_row);
            if (!query.exec())
                return fail();
        }
    }
    if (!db.commit())
        return fail();

    // Written: the new records take their rows, and nothing is pending any more.
    for (const auto& record : m_cache->channels) {
        if (auto row = newRows.find(record.get()); row != newRows.end())
            record->m_row = row->second;
    }
    for (const auto& record : m_cache->history) {
        if (auto row = newRows.find(record.get()); row != newRows.end())
            record->m_row = row->second;
    }
    for (const auto& record : m_cache->ratings) {
        if (auto row = newRows.find(record.get()); row != newRows.end())
            record->m_row = row->second;
    }
    for (const auto& record : m_cache->deletedHistory)
        record->m_context = nullptr;
    m_cache->inserted.clear();
    m_cache->changed.clear();
    m_cache->deletedHistory.clear();
    m_lastError = Error();
    return true;
}
