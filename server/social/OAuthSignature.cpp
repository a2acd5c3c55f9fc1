#include "OAuthSignature.h"

#include <QMessageAuthenticationCode>
#include <QUrl>

#include <algorithm>

namespace OAuthSignature {

QByteArray encode(const QString& text)
{
    return QUrl::toPercentEncoding(text, "-._~");
}

Parameters parseForm(const QByteArray& form)
{
    Parameters list;
    for (const QByteArray& item : form.split('&')) {
        if (item.isEmpty())
            continue;
        const qsizetype equals = item.indexOf('=');
        QByteArray name = equals < 0 ? item : item.left(equals);
        QByteArray value = equals < 0 ? QByteArray() : item.mid(equals + 1);
        name.replace('+', ' ');
        value.replace('+', ' ');
        list.append({QString::fromUtf8(QByteArray::fromPercentEncoding(name)),
                     QString::fromUtf8(QByteArray::fromPercentEncoding(value))});
    }
    return list;
}

std::optional<Parameters> parseAuthorization(const QByteArray& header)
{
    const QByteArray trimmed = header.trimmed();
    if (!trimmed.startsWith("OAuth ") && !trimmed.startsWith("oauth "))
        return std::nullopt;
    Parameters list;
    for (const QByteArray& raw : trimmed.mid(6).split(',')) {
        const QByteArray item = raw.trimmed();
        if (item.isEmpty())
            continue;
        const qsizetype equals = item.indexOf('=');
        if (equals <= 0)
            return std::nullopt;
        const QByteArray name = item.left(equals).trimmed();
        QByteArray value = item.mid(equals + 1).trimmed();
        if (value.size() < 2 || !value.startsWith('"') || !value.endsWith('"'))
            return std::nullopt;
        value = value.mid(1, value.size() - 2);
        if (name == "realm")
            continue;
        list.append({QString::fromUtf8(QByteArray::fromPercentEncoding(name)),
                     QString::fromUtf8(QByteArray::fromPercentEncoding(value))});
    }
    return list;
}

QString baseStringUri(const QString& scheme, const QString& host, const QString& path)
{
    const QString lowerScheme = scheme.toLower();
    QString lowerHost = host.toLower();
    if ((lowerScheme == u"http" && lowerHost.endsWith(u":80")) ||
        (lowerScheme == u"https" && lowerHost.endsWith(u":443")))
        lowerHost.truncate(lowerHost.lastIndexOf(u':'));
    return lowerScheme + QStringLiteral("://") + lowerHost + (path.isEmpty() ? QStringLiteral("/") : path);
}

QByteArray baseString(const QByteArray& method, const QString& baseUri, const Parameters& parameters)
{
    QList<QPair<QByteArray, QByteArray>> encoded;
    encoded.reserve(parameters.size());
    for (const auto& [name, value] : parameters) {
        if (name != u"oauth_signature")
            encoded.append({encode(name), encode(value)});
    }
    std::sort(encoded.begin(), encoded.end());
    QByteArray normalized;
    for (const auto& [name, value] : std::as_const(encoded)) {
        if (!normalized.isEmpty())
            normalized += '&';
        normalized += name + '=' + value;
    }
    return method.toUpper() + '&' + encode(baseUri) + '&' + encode(QString::fromLatin1(normalized));
}

QByteArray hmacSha1(const QByteArray& baseString, const QString& consumerSecret, const QString& tokenSecret)
{
    const QByteArray key = encode(consumerSecret) + '&' + encode(tokenSecret);
    return QMessageAuthenticationCode::hash(baseString, key, QCryptographicHash::Sha1).toBase64();
}

bool equalSignatures(const QByteArray& a, const QByteArray& b)
{
    int difference = int(a.size() ^ b.size());
    for (qsizetype i = 0; i < std::min(a.size(), b.size()); ++i)
        difference |= a[i] ^ b[i];
    return difference == 0;
}

} // namespace OAuthSignature
