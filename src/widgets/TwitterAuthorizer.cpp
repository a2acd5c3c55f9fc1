#include "TwitterAuthorizer.h"

#include "TwitterSession.h"

#include "platform/Json.h"
#include "platform/JsonValue.h"
#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"

#include <QDesktopServices>
#include <QLoggingCategory>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QOAuth1>
#include <QOAuthHttpServerReplyHandler>
#include <QOAuthOobReplyHandler>
#include <QScopeGuard>
#include <QTimer>

Q_LOGGING_CATEGORY(lcSignIn, "orvane.twitter.signin")

TwitterAuthorizer& TwitterAuthorizer::shared()
{
    static TwitterAuthorizer* authorizer = new TwitterAuthorizer; // lives as long as the process
    return *authorizer;
}

void TwitterAuthorizer::start(Mode mode)
{
    if (m_oauth)
        return;
    TwitterSession& session = TwitterSession::shared();
    auto* network = new QNetworkAccessManager(this);
    const OAuth1Signer::Credentials consumer = session.consumer();
    m_oauth = new QOAuth1(consumer.consumerKey, consumer.consumerSecret, network, this);
    network->setParent(m_oauth);
    m_oauth->setSignatureMethod(QOAuth1::SignatureMethod::Hmac_Sha1);
    m_oauth->setTemporaryCredentialsUrl(session.url(QStringLiteral("oauth/request_token")));
    m_oauth->setAuthorizationUrl(session.url(QStringLiteral("oauth/authorize")));
    m_oauth->setTokenCredentialsUrl(session.url(QStringLiteral("oauth/access_token")));
    m_lastTokens.clear();

    QAbstractOAuthReplyHandler* handler = nullptr;
    if (mode == Mode::Callback) {
        auto* server = new QOAuthHttpServerReplyHandler(QHostAddress::LocalHost, 0, m_oauth);
        server->setCallbackText(QStringLiteral("Signed in. You can close this page and return to Orvane."));
        if (server->isListening())
            handler = server;
        else
            delete server;
    }
    const bool pin = handler == nullptr;
    if (pin)
        handler = new QOAuthOobReplyHandler(m_oauth);
    m_oauth->setReplyHandler(handler);
    connect(handler, &QAbstractOAuthReplyHandler::tokensReceived, this,
            [this](const QVariantMap& tokens) { m_lastTokens = tokens; });
    // Transport failures and refusals end the sign-in (QOAuth1 itself would wait for ever).
    connect(network, &QNetworkAccessManager::finished, this, [this](QNetworkReply* reply) {
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (reply->error() != QNetworkReply::NoError || status >= 300)
            finish(false, status ? QStringLiteral("The service refused the sign-in (HTTP %1).").arg(status)
                                 : reply->errorString());
    });
    connect(m_oauth, &QAbstractOAuth::authorizeWithBrowser, this, [this, pin](const QUrl& url) {
        const bool opened = m_opener ? m_opener(url) : QDesktopServices::openUrl(url);
        Q_EMIT authorizationUrlReady(url, pin, opened);
    });
    // Queued: the token answer's other fields (user_id, screen_name) reach m_lastTokens first.
    connect(m_oauth, &QAbstractOAuth::granted, this, &TwitterAuthorizer::granted, Qt::QueuedConnection);
    m_limit = new QTimer(m_oauth);
    m_limit->setSingleShot(true);
    connect(m_limit, &QTimer::timeout, this,
            [this] { finish(false, QStringLiteral("The sign-in took too long.")); });
    m_limit->start(TimeLimitMs);
    NotificationCenter::defaultCenter().post(Notifications::OAuthStartAuthorizing);
    m_oauth->grant();
}

void TwitterAuthorizer::continueWithPin(const QString& pin)
{
    if (m_oauth && !pin.trimmed().isEmpty())
        m_oauth->continueGrantWithVerifier(pin.trimmed());
}

void TwitterAuthorizer::cancel()
{
    finish(false, QStringLiteral("Sign-in cancelled."));
}

void TwitterAuthorizer::granted()
{
    if (!m_oauth)
        return;
    const QString userId = m_lastTokens.value(QStringLiteral("user_id")).toString();
    const QString screenName = m_lastTokens.value(QStringLiteral("screen_name")).toString();
    QString error;
    if (userId.isEmpty()) {
        finish(false, QStringLiteral("The service did not say who signed in."));
        return;
    }
    if (!TwitterSession::shared().saveAccount(m_oauth->token(), m_oauth->tokenSecret(), userId, screenName,
                                              &error)) {
        finish(false, error);
        return;
    }
    rememberFullName(AccountStore::identifierFor(TwitterSession::shared().apiBase().toString(), userId));
}

void TwitterAuthorizer::rememberFullName(const QString& identifier)
{
    const std::optional<AccountStore::Account> account = AccountStore::account(identifier);
    if (!account) {
        finish(true, {});
        return;
    }
    TwitterSession::shared().perform(
        this, *account, "GET", QStringLiteral("1.1/account/verify_credentials.json"), {},
        [this, identifier](int status, const QByteArray& body, const Error&) {
            // The sign-in is complete either way; the name only makes the account easier to tell.
            const auto done = qScopeGuard([this] { finish(true, {}); });
            const QString name =
                JsonValue::text(JsonValue::map(Json::objectWithString(QString::fromUtf8(body)))
                                    .value(QStringLiteral("name")));
            std::optional<AccountStore::Account> stored = AccountStore::account(identifier);
            if (status != 200 || name.isEmpty() || !stored || stored->fullName == name)
                return;
            stored->fullName = name;
            AccountStore::saveAccount(*stored);
        });
}

void TwitterAuthorizer::finish(bool ok, const QString& error)
{
    if (!m_oauth)
        return;
    // Deleted later: this may run inside one of its signals.
    m_oauth->disconnect(this);
    m_oauth->networkAccessManager()->disconnect(this);
    m_oauth->deleteLater();
    m_oauth = nullptr;
    if (!ok)
        qCInfo(lcSignIn).noquote() << "sign-in failed:" << error;
    NotificationCenter::defaultCenter().post(ok ? Notifications::OAuthAccessTokenSaved
                                                : Notifications::OAuthAccessTokenFailed);
    Q_EMIT finished(ok, error);
}
