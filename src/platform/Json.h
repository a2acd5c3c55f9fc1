#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>

// The JSON codec shared by the application, the terminal tool and the servers.
//
// Decoding follows RFC 4627: the top level must be an object or an array, and nesting
// deeper than MaxDepth containers is refused before parsing. Values become a QVariant
// tree of QVariantMap, QVariantList, QString, double and bool; JSON null becomes
// QVariant::fromValue(nullptr) so that it stays distinguishable from a missing key.
class Json
{
public:
    static constexpr int MaxDepth = 512;

    // True when the bytes are well-formed UTF-8 (no overlong forms, surrogates or truncation).
    static bool isValidUtf8(const QByteArray& bytes);

    // Decodes a JSON text. Returns an invalid QVariant and sets *error on failure.
    static QVariant objectWithString(const QString& text, QString* error = nullptr);
    // Decodes UTF-8 bytes holding a JSON text; invalid UTF-8 is a failure too.
    static QVariant decode(const QByteArray& utf8, QString* error = nullptr);

    // Encodes a QVariant tree. Scalars at the top level are encoded as they are.
    static QByteArray encode(const QVariant& value, bool indented = false);

    static bool isNull(const QVariant& value);
    static QVariant null();

    // Nesting depth of containers in a JSON text, ignoring brackets inside strings.
    // Stops counting as soon as the depth exceeds limit.
    static int nestingDepth(const QString& text, int limit);
};
