#include "TwitterSession.h"

#include "platform/Json.h"
#include "platform/JsonValue.h"
#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"

#include <QLoggingCategory>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPointer>
#include <QUrlQuery>

Q_LOGGING_CATEGORY(lcTwitter, "orvane.twitter")

namespace {

QUrl g_apiBase(TwitterSession::DefaultApiBase);

// The consumer registered with the reference service for this application.
const QString ConsumerKey = QStringLiteral("orvane-demo-consumer");
const QString ConsumerSecret = QStringLiteral("orvane-demo-consumer-secret");

Error errorFromAnswer(int status, const QVariant& answer, const QString& transport)
{
    const QVariantMap first =
        JsonValue::map(JsonValue::list(JsonValue::map(answer).value(QStringLiteral("errors"))).value(0));
    if (!first.isEmpty())
        return Error::withDescription(TwitterSession::ErrorDomain,
                                      int(JsonValue::number(first.value(QStringLiteral("code")))),
                                      JsonValue::text(first.value(QStringLiteral("message"))));
    return Error::withDescription(TwitterSession::ErrorDomain, status,
                                  transport.isEmpty() ? QStringLiteral("HTTP %1").arg(status) : transport);
}

} // namespace

TwitterSession& TwitterSession::shared()
{
    static TwitterSession* session = new TwitterSession; // lives as long as the process
    return *session;
}

TwitterSession::TwitterSession() : m_apiBase(g_apiBase), m_network(new QNetworkAccessManager(this))
{
    m_network->setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
}

void TwitterSession::setApiBase(const QUrl& base)
{
    QUrl fixed = base;
    if (!fixed.path().endsWith(u'/'))
        fixed.setPath(fixed.path() + u'/');
    g_apiBase = fixed;
    shared().m_apiBase = fixed;
}

OAuth1Signer::Credentials TwitterSession::consumer() const
{
    return {ConsumerKey, ConsumerSecret, {}, {}};
}

std::optional<AccountStore::Account> TwitterSession::account() const
{
    return AccountStore::accountFor(m_apiBase.toString());
}

bool TwitterSession::saveAccount(const QString& token, const QString& tokenSecret, const QString& userId,
                                 const QString& screenName, QString* error)
{
    AccountStore::Account account;
    account.apiBase = m_apiBase.toString();
    account.userId = userId;
    account.identifier = AccountStore::identifierFor(account.apiBase, userId);
    account.username = screenName;
    account.token = token;
    account.tokenSecret = tokenSecret;
    // Keeps the name the service told before, if this user signed in already.
    // A new sign-in of a known user moves it to the end: the latest is the sharer's.
    if (const auto previous = AccountStore::account(account.identifier))
        account.fullName = previous->fullName;
    return AccountStore::saveAccount(account, error, true);
}

void TwitterSession::signOut(bool revoke)
{
    const std::optional<AccountStore::Account> current = account();
    if (!current)
        return;
    if (revoke)
        call(
            this, "POST", QStringLiteral("1.1/oauth/invalidate_token"), {}, [](const QVariant&) {},
            [](const Error&) {});
    AccountStore::removeAccount(current->identifier);
    qCInfo(lcTwitter) << "signed out of" << m_apiBase.toString();
    NotificationCenter::defaultCenter().post(Notifications::OAuthAccessTokenDeleted);
}

void TwitterSession::call(QObject* context, const QByteArray& method, const QString& path,
                          const QMultiMap<QString, QString>& parameters, JsonHandler finished,
                          ErrorHandler failed)
{
    const std::optional<AccountStore::Account> signedIn = account();
    if (!signedIn) {
        QPointer<QObject> guard(context);
        const Error error = Error::withDescription(ErrorDomain, NotSignedInError,
                                                   QStringLiteral("Not signed in to Twitter."));
        QMetaObject::invokeMethod(
            this,
            [guard, failed, error] {
                if (guard && failed)
                    failed(error);
            },
            Qt::QueuedConnection);
        return;
    }
    const QString identifier = signedIn->identifier;
    perform(context, *signedIn, method, path, parameters,
            [this, finished, failed, identifier](int status, const QByteArray& body, const Error& transport) {
                QString parseError;
                const QVariant answer = body.isEmpty()
                                            ? QVariant()
                                            : Json::objectWithString(QString::fromUtf8(body), &parseError);
                Error error = transport;
                if (error.isNull() && status >= 300)
                    error = errorFromAnswer(status, answer, {});
                else if (error.isNull() && (!parseError.isEmpty() || !answer.isValid()))
                    error =
                        Error::withDescription(ErrorDomain, BadAnswerError,
                                               QStringLiteral("The answer of Twitter could not be read."));
                if (status == 401 && error.code() == 89) {
                    // The service says the token is no good: sign out once, no retry.
                    const auto current = account();
                    if (current && current->identifier == identifier) {
                        AccountStore::removeAccount(identifier);
                        NotificationCenter::defaultCenter().post(Notifications::OAuthAccessTokenDeleted);
                    }
                }
                if (error.isNull()) {
                    if (finished)
                        finished(answer);
                } else {
                    qCInfo(lcTwitter).noquote()
                        << "call failed:" << status << error.code() << error.localizedDescription();
                    if (failed)
                        failed(error);
                }
            });
}

void TwitterSession::perform(QObject* context, const AccountStore::Account& account, const QByteArray& method,
                             const QString& path, const QMultiMap<QString, QString>& parameters,
                             RawHandler handler)
{
    QPointer<QObject> guard(context);
    OAuth1Signer::Credentials credentials = consumer();
    credentials.token = account.token;
    credentials.tokenSecret = account.tokenSecret;
    QUrl address = url(path);
    const bool post = method == "POST";
    if (!post && !parameters.isEmpty()) {
        QUrlQuery query;
        for (auto it = parameters.cbegin(); it != parameters.cend(); ++it)
            query.addQueryItem(QString::fromLatin1(QUrl::toPercentEncoding(it.key(), "-._~")),
                               QString::fromLatin1(QUrl::toPercentEncoding(it.value(), "-._~")));
        address.setQuery(query.query(QUrl::FullyEncoded), QUrl::StrictMode);
    }
    QNetworkRequest request(address);
    request.setTransferTimeout(30000);
    request.setRawHeader("Authorization",
                         OAuth1Signer::authorizationHeader(method, address,
                                                           post ? parameters : QMultiMap<QString, QString>(),
                                                           credentials));
    QNetworkReply* reply;
    if (post) {
        request.setHeader(QNetworkRequest::ContentTypeHeader,
                          QByteArrayLiteral("application/x-www-form-urlencoded"));
        reply = m_network->post(request, OAuth1Signer::formBody(parameters));
    } else {
        reply = m_network->get(request);
    }
    auto tooLarge = std::make_shared<bool>(false);
    connect(reply, &QNetworkReply::downloadProgress, reply, [reply, tooLarge](qint64 received, qint64) {
        if (received > MaxAnswerBytes) {
            *tooLarge = true;
            reply->abort();
        }
    });
    connect(reply, &QNetworkReply::finished, this, [reply, guard, handler, tooLarge] {
        reply->deleteLater();
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        const QByteArray body = reply->readAll();
        Error transport;
        if (*tooLarge || body.size() > MaxAnswerBytes)
            transport = Error::withDescription(ErrorDomain, BadAnswerError,
                                               QStringLiteral("The answer of Twitter is too large."));
        else if (status == 0)
            transport = Error::withDescription(ErrorDomain, int(reply->error()), reply->errorString());
        if (guard && handler)
            handler(transport.isNull() ? status : 0, transport.isNull() ? body : QByteArray(), transport);
    });
}
