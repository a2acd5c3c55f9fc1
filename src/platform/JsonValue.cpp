#include "JsonValue.h"

#include <QLocale>

#include <cmath>
#include <limits>

namespace {

// The leading decimal number of a text, in the manner of strtod on its prefix.
double leadingNumber(const QString& text, bool integerOnly)
{
    const QByteArray latin = text.trimmed().toLatin1();
    const char* begin = latin.constData();
    char* end = nullptr;
    if (integerOnly) {
        const long long value = std::strtoll(begin, &end, 10);
        return end == begin ? 0.0 : double(value);
    }
    const double value = std::strtod(begin, &end);
    return end == begin || !std::isfinite(value) ? 0.0 : value;
}

int clampToInt(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= double(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (value <= double(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return int(value);
}

} // namespace

bool JsonValue::isNumber(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return true;
    default:
        return false;
    }
}

bool JsonValue::isText(const QVariant& value)
{
    return value.typeId() == QMetaType::QString;
}

double JsonValue::number(const QVariant& value)
{
    if (isNumber(value))
        return value.toDouble();
    if (isText(value))
        return leadingNumber(value.toString(), false);
    if (value.typeId() == QMetaType::Bool)
        return value.toBool() ? 1 : 0;
    return 0;
}

int JsonValue::integer(const QVariant& value)
{
    if (isText(value))
        return clampToInt(leadingNumber(value.toString(), true));
    return clampToInt(std::trunc(number(value)));
}

qint64 JsonValue::longLong(const QVariant& value)
{
    const double n = isText(value) ? leadingNumber(value.toString(), true) : std::trunc(number(value));
    if (std::isnan(n))
        return 0;
    if (n >= 9.2e18)
        return std::numeric_limits<qint64>::max();
    if (n <= -9.2e18)
        return std::numeric_limits<qint64>::min();
    return qint64(n);
}

bool JsonValue::boolean(const QVariant& value)
{
    if (isText(value)) {
        QString text = value.toString().trimmed();
        if (text.startsWith(u'+') || text.startsWith(u'-'))
            text.remove(0, 1);
        if (text.isEmpty())
            return false;
        const QChar first = text[0];
        return first == u'Y' || first == u'y' || first == u'T' || first == u't' ||
               (first >= u'1' && first <= u'9');
    }
    return number(value) != 0;
}

QString JsonValue::numberText(double number)
{
    if (std::isfinite(number) && number == std::trunc(number) && std::fabs(number) < 9.0e15)
        return QString::number(qint64(number));
    return QString::number(number, 'g', QLocale::FloatingPointShortest);
}

QString JsonValue::text(const QVariant& value)
{
    if (isText(value))
        return value.toString();
    if (isNumber(value))
        return numberText(value.toDouble());
    if (value.typeId() == QMetaType::Bool)
        return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    return {};
}

QVariantMap JsonValue::map(const QVariant& value)
{
    return isMap(value) ? value.toMap() : QVariantMap();
}

QVariantList JsonValue::list(const QVariant& value)
{
    return isList(value) ? value.toList() : QVariantList();
}
