#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

#include <optional>

// OAuth 1.0a signatures as the verifying side computes them (RFC 5849, section 3.4): the
// signature base string from the method, the base string URI and every parameter of the
// request (query, form body and the Authorization header's, less "realm" and
// "oauth_signature"), sorted by encoded name and then encoded value; HMAC-SHA1 keyed with the
// encoded consumer secret and token secret joined by "&".
namespace OAuthSignature {

using Parameters = QList<QPair<QString, QString>>;

// RFC 3986 percent-encoding of the UTF-8 bytes: everything but ALPHA, DIGIT, "-", ".", "_", "~".
QByteArray encode(const QString& text);
// The pairs of a query string or an application/x-www-form-urlencoded body: "+" is a space,
// then percent-decoding; a pair without "=" has an empty value.
Parameters parseForm(const QByteArray& form);
// The parameters of an "OAuth" Authorization header, values percent-decoded, "realm" left
// out; none when the header is not OAuth or not well formed.
std::optional<Parameters> parseAuthorization(const QByteArray& header);
// scheme://host[:port]/path, scheme and host in lower case and the default port left out.
QString baseStringUri(const QString& scheme, const QString& host, const QString& path);
QByteArray baseString(const QByteArray& method, const QString& baseUri, const Parameters& parameters);
// Base64 of HMAC-SHA1(base string, encode(consumerSecret) & encode(tokenSecret)).
QByteArray hmacSha1(const QByteArray& baseString, const QString& consumerSecret, const QString& tokenSecret);
// Compares in full whatever differs first.
bool equalSignatures(const QByteArray& a, const QByteArray& b);

} // namespace OAuthSignature
