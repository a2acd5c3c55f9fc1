#pragma once

#include "ManagedRecords.h"

#include "platform/Error.h"

#include <QList>
#include <QObject>
#include <QString>

#include <memory>
#include <optional>
#include <set>

class Channel;
class Show;

// The local database: "Channels", "History" and "Rating" records in "orv_db.sqlite" in the
// documents folder (SQLite, WAL journal). Records are kept in memory; inserts, changes and
// deletions wait until saveDataToDB(), which writes them all in one transaction (a failed
// save rolls back, logs "DBError: ..." and keeps the changes pending). Main thread only.
//
// The schema carries its version in SQLite's user_version and upgrades itself on opening.
// To add an attribute: append a step to the migrations in ORVManagedObjectContext.cpp (for
// example "ALTER TABLE history ADD COLUMN note TEXT"), which raises the version by one;
// stores of every older version run the missing steps in order, in one transaction.
//
// A store that is not a database, or fails its integrity check, is moved aside (renamed
// with a time stamp) and a fresh one is created. A store that cannot be opened for another
// reason (rights, a folder in its place) logs "Error: ..."; then every fetch gives nothing
// and every save fails.
class ORVManagedObjectContext : public QObject
{
    Q_OBJECT

public:
    static constexpr int SchemaVersion = 1;

    // Opens the store at path (default: the documents folder's orv_db.sqlite).
    explicit ORVManagedObjectContext(const QString& path = {}, QObject* parent = nullptr);
    ~ORVManagedObjectContext() override;

    bool hasStore() const { return m_open; }
    QString storePath() const { return m_path; }
    QString connectionName() const { return m_connection; }
    bool hasChanges() const;
    bool saveDataToDB();
    // Why the last save failed, or why the store could not be opened.
    Error lastError() const { return m_lastError; }

    // Fetches (what is stored plus what is pending, minus what is deleted).
    QList<std::shared_ptr<Channels>> channels(std::optional<bool> favorite = std::nullopt);
    QList<std::shared_ptr<History>> history();
    QList<std::shared_ptr<Rating>> ratings();

    std::shared_ptr<Channels> insertChannels(const std::shared_ptr<Channel>& channel);
    std::shared_ptr<History> insertHistory(const QDateTime& detected, const std::shared_ptr<Channel>& channel,
                                           const std::shared_ptr<Show>& show);
    std::shared_ptr<Rating> insertRating(int channId, float rating);
    void deleteHistory(const std::shared_ptr<History>& record);

    // Called by the records when a field changes.
    void markChanged(const void* record);

private:
    struct Cache;

    void open();
    bool openDatabase();
    bool migrate();
    void moveAside(const QString& reason);
    // Why the store could not be opened, in words a user can act on.
    QString openFailure(const Error& cause) const;
    void load();

    QString m_path;
    QString m_connection;
    bool m_open = false;
    Error m_lastError;
    std::unique_ptr<Cache> m_cache;
};
