#include "Json.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QStringDecoder>

namespace {

QVariant toVariant(const QJsonValue& value)
{
    switch (value.type()) {
    case QJsonValue::Null:
        return Json::null();
    case QJsonValue::Bool:
        return value.toBool();
    case QJsonValue::Double:
        return value.toDouble();
    case QJsonValue::String:
        return value.toString();
    case QJsonValue::Array: {
        const QJsonArray array = value.toArray();
        QVariantList list;
        list.reserve(array.size());
        for (const QJsonValue& item : array)
            list.append(toVariant(item));
        return list;
    }
    case QJsonValue::Object: {
        const QJsonObject object = value.toObject();
        QVariantMap map;
        for (auto it = object.begin(); it != object.end(); ++it)
            map.insert(it.key(), toVariant(it.value()));
        return map;
    }
    case QJsonValue::Undefined:
        break;
    }
    return {};
}

QJsonValue fromVariant(const QVariant& value)
{
    if (Json::isNull(value) || !value.isValid())
        return QJsonValue(QJsonValue::Null);
    switch (value.typeId()) {
    case QMetaType::QVariantMap: {
        QJsonObject object;
        const QVariantMap map = value.toMap();
        for (auto it = map.begin(); it != map.end(); ++it)
            object.insert(it.key(), fromVariant(it.value()));
        return object;
    }
    case QMetaType::QVariantList:
    case QMetaType::QStringList: {
        QJsonArray array;
        for (const QVariant& item : value.toList())
            array.append(fromVariant(item));
        return array;
    }
    case QMetaType::Bool:
        return value.toBool();
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
        return value.toDouble();
    default:
        return QJsonValue::fromVariant(value);
    }
}

} // namespace

bool Json::isValidUtf8(const QByteArray& bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    Q_UNUSED(text);
    return !decoder.hasError();
}

int Json::nestingDepth(const QString& text, int limit)
{
    int depth = 0;
    int deepest = 0;
    bool inString = false;
    bool escaped = false;
    for (const QChar c : text) {
        if (inString) {
            if (escaped)
                escaped = false;
            else if (c == u'\\')
                escaped = true;
            else if (c == u'"')
                inString = false;
            continue;
        }
        if (c == u'"') {
            inString = true;
        } else if (c == u'[' || c == u'{') {
            deepest = std::max(deepest, ++depth);
            if (deepest > limit)
                return deepest;
        } else if (c == u']' || c == u'}') {
            --depth;
        }
    }
    return deepest;
}

QVariant Json::objectWithString(const QString& text, QString* error)
{
    auto fail = [error](const QString& reason) {
        if (error)
            *error = reason;
        return QVariant();
    };
    if (nestingDepth(text, MaxDepth) > MaxDepth)
        return fail(QStringLiteral("nesting deeper than %1 levels").arg(MaxDepth));

    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(text.toUtf8(), &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return fail(QStringLiteral("%1 at offset %2").arg(parseError.errorString()).arg(parseError.offset));
    if (document.isObject())
        return toVariant(document.object());
    if (document.isArray())
        return toVariant(document.array());
    return fail(QStringLiteral("the top level is neither an object nor an array"));
}

QVariant Json::decode(const QByteArray& utf8, QString* error)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(utf8);
    if (decoder.hasError()) {
        if (error)
            *error = QStringLiteral("the text is not valid UTF-8");
        return {};
    }
    return objectWithString(text, error);
}

QByteArray Json::encode(const QVariant& value, bool indented)
{
    const QJsonValue json = fromVariant(value);
    const auto format = indented ? QJsonDocument::Indented : QJsonDocument::Compact;
    if (json.isObject())
        return QJsonDocument(json.toObject()).toJson(format).trimmed();
    if (json.isArray())
        return QJsonDocument(json.toArray()).toJson(format).trimmed();
    // Wrap a scalar in an array and strip the brackets again.
    QByteArray wrapped = QJsonDocument(QJsonArray{json}).toJson(QJsonDocument::Compact);
    return wrapped.mid(1, wrapped.size() - 2);
}

bool Json::isNull(const QVariant& value)
{
    return value.typeId() == QMetaType::Nullptr;
}

QVariant Json::null()
{
    return QVariant::fromValue(nullptr);
}
