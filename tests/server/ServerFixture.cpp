#include "ServerFixture.h"

#include "store/SocialStore.h"

#include "content/ProgrammeDay.h"
#include "importer/DemoData.h"
#include "importer/DemoSocial.h"

#include <QTimeZone>

ServerFixture::ServerFixture(bool demoData, HttpServer::Limits limits, const QString& zone)
{
    m_store = std::make_unique<ScheduleStore>(m_database.address());
    if (!m_store->isOpen())
        qFatal("the test store does not open: %s", qPrintable(m_store->error()));
    if (!zone.isEmpty())
        m_store->setTimeZone(zone);
    if (demoData && !DemoData(*m_store).generate(QDate::fromString(today(), u"yyyyMMdd")).ok)
        qFatal("the demo data could not be stored");
    m_content = std::make_unique<ContentServer>(*m_store);
    m_http = std::make_unique<HttpServer>(
        [this](const HttpRequest& request) { return m_content->handle(request); }, limits);
    QString error;
    if (!m_http->listen(QStringLiteral("127.0.0.1"), 0, &error))
        qFatal("the test server does not listen: %s", qPrintable(error));
}

QString ServerFixture::hostWithPort() const
{
    return QStringLiteral("127.0.0.1:%1").arg(port());
}

QString ServerFixture::today() const
{
    const QTimeZone zone(m_store->timeZone().toUtf8());
    return ProgrammeDay(zone).dayOf(QDateTime::currentSecsSinceEpoch());
}

quint16 ServerFixture::startSocial()
{
    if (DemoSocial(*m_store).ensure() < 0)
        qFatal("the demo users could not be stored");
    m_social = std::make_unique<SocialServer>(*m_store);
    HttpServer::Limits limits;
    limits.maxBodyBytes = SocialServer::MaxBodyBytes;
    m_socialHttp = std::make_unique<HttpServer>(
        [this](const HttpRequest& request) { return m_social->handle(request); }, limits);
    QString error;
    if (!m_socialHttp->listen(QStringLiteral("127.0.0.1"), 0, &error))
        qFatal("the test microblog service does not listen: %s", qPrintable(error));
    return m_socialHttp->port();
}

StoreToken ServerFixture::issueAccessToken(const QString& screenName)
{
    SocialStore social(*m_store);
    const std::optional<StoreUser> user = social.userByScreenName(screenName);
    if (!user)
        qFatal("no such user of the microblog service: %s", qPrintable(screenName));
    StoreToken token{QStringLiteral("token-") + screenName,
                     QStringLiteral("secret-") + screenName,
                     StoreToken::Access,
                     SocialServer::DemoConsumerKey,
                     user->id,
                     {},
                     {},
                     QDateTime::currentSecsSinceEpoch()};
    if (!social.addToken(token))
        qFatal("the token could not be stored");
    return token;
}
