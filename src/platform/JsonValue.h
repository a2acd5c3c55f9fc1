#pragma once

#include <QString>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>

// Lenient reads of decoded JSON values, for records built from server answers: a value of
// an unexpected type gives the empty result of the asked type, never an error.
class JsonValue
{
public:
    // The integer value: a number truncated toward zero and clamped to 32 bits; a text read
    // as its leading decimal integer (spaces, sign, digits; "12abc" is 12, "abc" is 0); a
    // boolean as 0 or 1; anything else 0.
    static int integer(const QVariant& value);
    static qint64 longLong(const QVariant& value);
    // The floating value: a number; a text's leading decimal number; a boolean as 0 or 1.
    static double number(const QVariant& value);
    // A number is true when not zero; a text is true when it starts (after spaces and a
    // sign) with Y, y, T, t or a digit 1-9.
    static bool boolean(const QVariant& value);
    // A text as it is; a number as its decimal text ("5", "2.5"); a boolean as "1" or "0";
    // anything else (null, containers, missing) the empty text.
    static QString text(const QVariant& value);
    static QVariantMap map(const QVariant& value);
    static QVariantList list(const QVariant& value);

    static bool isNumber(const QVariant& value);
    static bool isText(const QVariant& value);
    static bool isMap(const QVariant& value) { return value.typeId() == QMetaType::QVariantMap; }
    static bool isList(const QVariant& value) { return value.typeId() == QMetaType::QVariantList; }
    // Decimal text of a number without an exponent for whole values.
    static QString numberText(double number);
};
