#include "RequestVerifier.h"

#include "SocialJson.h"

#include "store/SocialStore.h"

#include <QDateTime>

using namespace Qt::StringLiterals;

QString RequestVerifier::schemeOf(const HttpRequest& request)
{
    return request.header("x-forwarded-proto").trimmed().toLower() == "https" ? u"https"_s : u"http"_s;
}

OAuthSignature::Parameters RequestVerifier::requestParameters(const HttpRequest& request)
{
    const qsizetype question = request.target.indexOf('?');
    OAuthSignature::Parameters list = question < 0
                                          ? OAuthSignature::Parameters()
                                          : OAuthSignature::parseForm(request.target.mid(question + 1));
    if (request.header("content-type").trimmed().toLower().startsWith("application/x-www-form-urlencoded"))
        list += OAuthSignature::parseForm(request.body);
    return list;
}

std::variant<RequestVerifier::Verified, HttpResponse> RequestVerifier::verify(const HttpRequest& request,
                                                                              int tokenKind)
{
    const HttpResponse unauthenticated = SocialJson::error(401, 32, u"Could not authenticate you."_s);
    const std::optional<OAuthSignature::Parameters> header =
        OAuthSignature::parseAuthorization(request.header("authorization"));
    if (!header)
        return SocialJson::error(400, 215, u"Bad Authentication data."_s);
    Verified verified;
    OAuthSignature::Parameters all = requestParameters(request);
    for (const auto& pair : std::as_const(all)) {
        if (!pair.first.startsWith(u"oauth_"))
            verified.parameters.append(pair);
    }
    OAuthSignature::Parameters oauth = *header;
    for (const auto& pair : std::as_const(all)) {
        if (pair.first.startsWith(u"oauth_"))
            oauth.append(pair);
    }
    for (const auto& [name, value] : std::as_const(oauth)) {
        if (verified.oauth.contains(name))
            return SocialJson::error(400, 215, u"Bad Authentication data."_s);
        verified.oauth.insert(name, value);
    }
    all += *header;
    const QString consumerKey = verified.oauth.value(u"oauth_consumer_key"_s);
    const QByteArray signature = verified.oauth.value(u"oauth_signature"_s).toLatin1();
    if (consumerKey.isEmpty() || signature.isEmpty() ||
        verified.oauth.value(u"oauth_signature_method"_s) != u"HMAC-SHA1" ||
        !verified.oauth.value(u"oauth_version"_s, u"1.0"_s).startsWith(u"1.0"))
        return SocialJson::error(400, 215, u"Bad Authentication data."_s);
    const std::optional<QStringList> consumer = m_store.consumer(consumerKey);
    if (!consumer)
        return unauthenticated;
    verified.consumer = consumerKey;
    verified.consumerName = consumer->value(1);
    verified.consumerUrl = consumer->value(2);

    QString tokenSecret;
    const QString tokenName = verified.oauth.value(u"oauth_token"_s);
    if (tokenKind >= 0) {
        verified.token = tokenName.isEmpty() ? std::nullopt : m_store.token(tokenName);
        if (!verified.token || verified.token->kind != tokenKind || verified.token->consumer != consumerKey)
            return SocialJson::error(401, 89, u"Invalid or expired token."_s);
        tokenSecret = verified.token->secret;
    }
    const QString host = QString::fromUtf8(request.header("host"));
    const QByteArray base = OAuthSignature::baseString(
        request.method, OAuthSignature::baseStringUri(schemeOf(request), host, request.path), all);
    if (!OAuthSignature::equalSignatures(OAuthSignature::hmacSha1(base, consumer->value(0), tokenSecret),
                                         signature))
        return unauthenticated;

    bool numeric = false;
    const qint64 timestamp = verified.oauth.value(u"oauth_timestamp"_s).toLongLong(&numeric);
    const qint64 now = m_clock ? m_clock() : QDateTime::currentSecsSinceEpoch();
    const QByteArray nonce = verified.oauth.value(u"oauth_nonce"_s).toUtf8();
    if (!numeric || nonce.isEmpty())
        return unauthenticated;
    switch (m_nonces.check(consumerKey.toUtf8() + '&' + tokenName.toUtf8(), nonce, timestamp, now)) {
    case NonceBook::Verdict::Fresh:
        return verified;
    case NonceBook::Verdict::Stale:
        return SocialJson::error(401, 135, u"Timestamp out of bounds."_s);
    case NonceBook::Verdict::Full:
        return SocialJson::error(429, 88, u"Rate limit exceeded."_s);
    case NonceBook::Verdict::Replayed:
        break;
    }
    return unauthenticated;
}
