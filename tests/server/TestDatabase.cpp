#include "TestDatabase.h"

#include "store/StoreAddress.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <unistd.h>

QString TestDatabase::postgresServer()
{
    return qEnvironmentVariable("ORVANE_TEST_POSTGRES");
}

bool TestDatabase::administer(const QString& statement, const QString& database)
{
    const std::optional<StoreAddress> server = StoreAddress::parse(postgresServer());
    if (!server || !server->postgres)
        return false;
    const QString name = QStringLiteral("test-admin");
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        db.setHostName(server->host);
        db.setPort(server->port);
        db.setUserName(server->user);
        db.setPassword(server->password);
        db.setDatabaseName(database.isEmpty() ? server->database : database);
        if (db.open()) {
            QSqlQuery query(db);
            ok = query.exec(statement);
            if (!ok)
                qWarning("%s: %s", qPrintable(statement), qPrintable(query.lastError().text()));
        } else {
            qWarning("the test PostgreSQL server: %s", qPrintable(db.lastError().text()));
        }
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

TestDatabase::TestDatabase()
{
    const std::optional<StoreAddress> server = StoreAddress::parse(postgresServer());
    if (!server || !server->postgres) {
        m_address = m_dir.filePath(QStringLiteral("schedule.sqlite"));
        return;
    }
    static QAtomicInt serial;
    m_name = QStringLiteral("orvane_test_%1_%2").arg(getpid()).arg(serial.fetchAndAddRelaxed(1));
    if (!administer(QStringLiteral("CREATE DATABASE %1").arg(m_name)))
        qFatal("the test database %s could not be created", qPrintable(m_name));
    StoreAddress address = *server;
    address.database = m_name;
    m_address = address.display();
}

TestDatabase::~TestDatabase()
{
    if (!m_name.isEmpty())
        administer(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(m_name));
}
