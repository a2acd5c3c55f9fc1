#pragma once

#include <QString>
#include <QTemporaryDir>

// A schedule store address of a test's own: a SQLite file in a temporary folder, or, when
// ORVANE_TEST_POSTGRES names a PostgreSQL server (postgresql://USER@HOST:PORT/DB, a database
// the user may create others from), a new database on it, dropped again at the end.
class TestDatabase
{
public:
    TestDatabase();
    ~TestDatabase();
    TestDatabase(const TestDatabase&) = delete;
    TestDatabase& operator=(const TestDatabase&) = delete;

    // For ScheduleStore and orvane-server --db.
    const QString& address() const { return m_address; }
    bool postgres() const { return !m_name.isEmpty(); }
    // The server's administrative address, empty without PostgreSQL.
    static QString postgresServer();
    // The PostgreSQL database's name, empty without PostgreSQL.
    const QString& name() const { return m_name; }
    // Runs one statement on the test server as its administrator, in database (default: the
    // administrative one); false on failure.
    static bool administer(const QString& statement, const QString& database = {});

private:
    QTemporaryDir m_dir;
    QString m_address;
    QString m_name;
};
