#include "OAuth1Signer.h"

#include <QDateTime>
#include <QOAuth1Signature>
#include <QRandomGenerator>
#include <QUrlQuery>

namespace {

QOAuth1Signature::HttpRequestMethod methodOf(const QByteArray& method)
{
    if (method == "POST")
        return QOAuth1Signature::HttpRequestMethod::Post;
    if (method == "PUT")
        return QOAuth1Signature::HttpRequestMethod::Put;
    if (method == "DELETE")
        return QOAuth1Signature::HttpRequestMethod::Delete;
    if (method == "HEAD")
        return QOAuth1Signature::HttpRequestMethod::Head;
    return QOAuth1Signature::HttpRequestMethod::Get;
}

QByteArray encode(const QString& text)
{
    return QUrl::toPercentEncoding(text, "-._~");
}

} // namespace

QByteArray OAuth1Signer::signature(const QByteArray& method, const QUrl& url,
                                   const QMultiMap<QString, QString>& parameters,
                                   const QString& consumerSecret, const QString& tokenSecret)
{
    QMultiMap<QString, QVariant> all;
    for (const auto& [name, value] : QUrlQuery(url).queryItems(QUrl::FullyDecoded))
        all.insert(name, value);
    for (auto it = parameters.cbegin(); it != parameters.cend(); ++it)
        all.insert(it.key(), it.value());
    QUrl base = url;
    base.setQuery(QString());
    base.setFragment(QString());
    QOAuth1Signature signer(base, consumerSecret, tokenSecret, methodOf(method), all);
    if (signer.httpRequestMethod() == QOAuth1Signature::HttpRequestMethod::Custom)
        signer.setCustomMethodString(method);
    return signer.hmacSha1().toBase64();
}

QByteArray OAuth1Signer::authorizationHeader(const QByteArray& method, const QUrl& url,
                                             const QMultiMap<QString, QString>& form,
                                             const Credentials& credentials, QString nonce, qint64 timestamp)
{
    if (nonce.isEmpty()) {
        QByteArray random(16, '\0');
        for (char& c : random)
            c = char(QRandomGenerator::system()->bounded(256));
        nonce = QString::fromLatin1(random.toHex());
    }
    if (timestamp == 0)
        timestamp = QDateTime::currentSecsSinceEpoch();
    QMultiMap<QString, QString> oauth{{QStringLiteral("oauth_consumer_key"), credentials.consumerKey},
                                      {QStringLiteral("oauth_nonce"), nonce},
                                      {QStringLiteral("oauth_signature_method"), QStringLiteral("HMAC-SHA1")},
                                      {QStringLiteral("oauth_timestamp"), QString::number(timestamp)},
                                      {QStringLiteral("oauth_version"), QStringLiteral("1.0")}};
    if (!credentials.token.isEmpty())
        oauth.insert(QStringLiteral("oauth_token"), credentials.token);
    QMultiMap<QString, QString> signed_ = oauth;
    signed_.unite(form);
    oauth.insert(QStringLiteral("oauth_signature"),
                 QString::fromLatin1(
                     signature(method, url, signed_, credentials.consumerSecret, credentials.tokenSecret)));
    QByteArray header = "OAuth ";
    for (auto it = oauth.cbegin(); it != oauth.cend(); ++it) {
        if (it != oauth.cbegin())
            header += ", ";
        header += encode(it.key()) + "=\"" + encode(it.value()) + '"';
    }
    return header;
}

QByteArray OAuth1Signer::formBody(const QMultiMap<QString, QString>& form)
{
    QByteArray body;
    for (auto it = form.cbegin(); it != form.cend(); ++it) {
        if (!body.isEmpty())
            body += '&';
        body += encode(it.key()) + '=' + encode(it.value());
    }
    return body;
}
