#pragma once

#include <QByteArray>
#include <QMultiMap>
#include <QString>
#include <QUrl>

// OAuth 1.0a request signing (HMAC-SHA1) over Qt Network Authorization's QOAuth1Signature:
// the Authorization header for a request, its query and its form parameters.
class OAuth1Signer
{
public:
    struct Credentials
    {
        QString consumerKey;
        QString consumerSecret;
        QString token; // empty before sign-in
        QString tokenSecret;
    };

    // url carries the query; form holds the body's parameters of a form POST. Nonce and
    // timestamp are made fresh unless given (tests give the published examples').
    static QByteArray authorizationHeader(const QByteArray& method, const QUrl& url,
                                          const QMultiMap<QString, QString>& form,
                                          const Credentials& credentials, QString nonce = {},
                                          qint64 timestamp = 0);
    // The signature alone, base64, for the given oauth_ and request parameters.
    static QByteArray signature(const QByteArray& method, const QUrl& url,
                                const QMultiMap<QString, QString>& parameters, const QString& consumerSecret,
                                const QString& tokenSecret);
    // A form body: name=value pairs percent-encoded as the signature encodes them.
    static QByteArray formBody(const QMultiMap<QString, QString>& form);
};
