#pragma once

#include "content/ContentServer.h"
#include "http/HttpServer.h"
#include "social/SocialServer.h"
#include "store/ScheduleStore.h"

#include "TestDatabase.h"

#include <QTemporaryDir>

#include <memory>

// A content server on an ephemeral loopback port over a store of its own (TestDatabase: a
// temporary SQLite file, or a new PostgreSQL database under ORVANE_TEST_POSTGRES), optionally filled with the
// demo data set for today's programme day; zone, when given, is the store's time zone (an IANA name) instead
// of the machine's.
class ServerFixture
{
public:
    explicit ServerFixture(bool demoData = true, HttpServer::Limits limits = {}, const QString& zone = {});

    ScheduleStore& store() { return *m_store; }
    HttpServer& http() { return *m_http; }
    quint16 port() const { return m_http->port(); }
    QString hostWithPort() const;
    // Today's programme day of the store, "yyyyMMdd".
    QString today() const;
    // Starts the microblog service on its own ephemeral port over the same store, with the
    // demo users; its port.
    quint16 startSocial();
    SocialServer& social() { return *m_social; }
    // An access token of the demo application for a user of the microblog service, as a
    // completed sign-in leaves it (token "token-NAME", secret "secret-NAME").
    StoreToken issueAccessToken(const QString& screenName);

private:
    TestDatabase m_database;
    std::unique_ptr<ScheduleStore> m_store;
    std::unique_ptr<ContentServer> m_content;
    std::unique_ptr<HttpServer> m_http;
    std::unique_ptr<SocialServer> m_social;
    std::unique_ptr<HttpServer> m_socialHttp;
};
