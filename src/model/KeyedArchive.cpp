#include "KeyedArchive.h"

#include "platform/Json.h"
#include "platform/JsonValue.h"

#include <QBuffer>
#include <QDateTime>
#include <QImage>

namespace {

const QString ImageKey = QStringLiteral("$image");
const QString DateKey = QStringLiteral("$date");
const QString DictKey = QStringLiteral("$dict");

QVariant encodeValue(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::QImage: {
        const QImage image = value.value<QImage>();
        if (image.isNull())
            return {};
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        return QVariantMap{{ImageKey, QString::fromLatin1(png.toBase64())}};
    }
    case QMetaType::QDateTime: {
        const QDateTime moment = value.toDateTime();
        if (!moment.isValid())
            return {};
        return QVariantMap{{DateKey, double(moment.toMSecsSinceEpoch()) / 1000.0}};
    }
    case QMetaType::QVariantMap: {
        QVariantMap encoded;
        bool reserved = false;
        const QVariantMap map = value.toMap();
        for (auto it = map.begin(); it != map.end(); ++it) {
            reserved = reserved || it.key().startsWith(u'$');
            const QVariant item = encodeValue(it.value());
            if (item.isValid())
                encoded.insert(it.key(), item);
        }
        return reserved ? QVariant(QVariantMap{{DictKey, encoded}}) : QVariant(encoded);
    }
    case QMetaType::QVariantList:
    case QMetaType::QStringList: {
        QVariantList encoded;
        for (const QVariant& item : value.toList()) {
            const QVariant e = encodeValue(item);
            encoded.append(e.isValid() ? e : Json::null());
        }
        return encoded;
    }
    default:
        return value;
    }
}

QVariant decodeValue(const QVariant& value)
{
    if (JsonValue::isMap(value)) {
        const QVariantMap map = value.toMap();
        if (map.size() == 1) {
            if (map.contains(ImageKey)) {
                QImage image;
                image.loadFromData(QByteArray::fromBase64(map.value(ImageKey).toString().toLatin1()), "PNG");
                return image.isNull() ? QVariant() : QVariant(image);
            }
            if (map.contains(DateKey))
                return QDateTime::fromMSecsSinceEpoch(qint64(JsonValue::number(map.value(DateKey)) * 1000.0));
            if (map.contains(DictKey)) {
                QVariantMap inner;
                const QVariantMap wrapped = JsonValue::map(map.value(DictKey));
                for (auto it = wrapped.begin(); it != wrapped.end(); ++it)
                    inner.insert(it.key(), decodeValue(it.value()));
                return inner;
            }
        }
        QVariantMap decoded;
        for (auto it = map.begin(); it != map.end(); ++it)
            decoded.insert(it.key(), decodeValue(it.value()));
        return decoded;
    }
    if (JsonValue::isList(value)) {
        QVariantList decoded;
        for (const QVariant& item : value.toList())
            decoded.append(decodeValue(item));
        return decoded;
    }
    return value;
}

} // namespace

QByteArray KeyedArchive::archive(const QString& className, const QVariantMap& values)
{
    QVariantMap encoded;
    for (auto it = values.begin(); it != values.end(); ++it) {
        const QVariant value = encodeValue(it.value());
        if (value.isValid() && !(value.typeId() == QMetaType::QString && value.toString().isNull()))
            encoded.insert(it.key(), value);
    }
    return Json::encode(QVariantMap{{QStringLiteral("$archive"), QStringLiteral("orvane")},
                                    {QStringLiteral("$version"), Version},
                                    {QStringLiteral("$class"), className},
                                    {QStringLiteral("$values"), encoded}});
}

std::optional<KeyedArchive::Contents> KeyedArchive::unarchive(const QByteArray& data, QString* error)
{
    auto fail = [error](const QString& reason) -> std::optional<Contents> {
        if (error)
            *error = reason;
        return std::nullopt;
    };
    QString parseError;
    const QVariant document = Json::decode(data, &parseError);
    if (!JsonValue::isMap(document))
        return fail(QStringLiteral("not an archive: ") +
                    (parseError.isEmpty() ? QStringLiteral("not an object") : parseError));
    const QVariantMap root = document.toMap();
    if (root.value(QStringLiteral("$archive")).toString() != u"orvane")
        return fail(QStringLiteral("not an archive of this application"));
    const QVariant version = root.value(QStringLiteral("$version"));
    if (!JsonValue::isNumber(version) || JsonValue::integer(version) != Version)
        return fail(QStringLiteral("archive version %1 is not readable").arg(JsonValue::text(version)));
    const QVariant values = root.value(QStringLiteral("$values"));
    if (!JsonValue::isMap(values))
        return fail(QStringLiteral("archive without values"));
    Contents contents;
    contents.className = JsonValue::text(root.value(QStringLiteral("$class")));
    contents.values = decodeValue(values).toMap();
    return contents;
}
