#include "Channel.h"

#include "KeyedArchive.h"

#include "platform/JsonValue.h"

namespace {

// A string entry of an answer: its text, or the empty text when missing.
QString stringEntry(const QVariantMap& answer, const QString& key)
{
    return JsonValue::text(answer.value(key));
}

} // namespace

std::shared_ptr<Channel> Channel::initWithArray(const QVariantList& array)
{
    auto channel = std::make_shared<Channel>();
    channel->m_arrayPresentation = array;
    return channel;
}

std::shared_ptr<Channel> Channel::initWithDictionary(const QVariantMap& answer)
{
    const QVariantMap show = JsonValue::map(answer.value(QStringLiteral("0")));
    const int type =
        answer.contains(QStringLiteral("t")) ? JsonValue::integer(answer.value(QStringLiteral("ct"))) : 0;
    return initWithArray({stringEntry(answer, QStringLiteral("title")),
                          stringEntry(answer, QStringLiteral("i")), double(type),
                          double(JsonValue::integer(show.value(QStringLiteral("flag")))), false,
                          stringEntry(answer, QStringLiteral("slogan"))});
}

std::shared_ptr<Channel> Channel::initWithDictionary2(const QVariantMap& answer)
{
    const QVariantMap inner = JsonValue::map(answer.value(QStringLiteral("0")));
    const int type =
        answer.contains(QStringLiteral("t")) ? JsonValue::integer(answer.value(QStringLiteral("t"))) : 0;
    return initWithArray({stringEntry(answer, QStringLiteral("ch")),
                          stringEntry(answer, QStringLiteral("icon")), double(type),
                          double(JsonValue::integer(inner.value(QStringLiteral("flag")))), true,
                          stringEntry(answer, QStringLiteral("slogan"))});
}

QVariant Channel::element(int index) const
{
    return index < m_arrayPresentation.size() ? m_arrayPresentation.at(index) : QVariant();
}

QString Channel::name() const
{
    return JsonValue::text(element(0));
}

QString Channel::pictureName() const
{
    return JsonValue::text(element(1));
}

bool Channel::isTV() const
{
    return JsonValue::boolean(element(2));
}

int Channel::categoryId() const
{
    return JsonValue::integer(element(3));
}

bool Channel::isAutoDetection() const
{
    return JsonValue::boolean(element(4));
}

QString Channel::slogan() const
{
    return JsonValue::text(element(5));
}

QByteArray Channel::encodeWithCoder() const
{
    return KeyedArchive::archive(QStringLiteral("Channel"),
                                 {{QStringLiteral("arrayPresentation"), m_arrayPresentation},
                                  {QStringLiteral("channelId"), m_channelId},
                                  {QStringLiteral("thumbnail"), m_thumbnail},
                                  {QStringLiteral("isSelectedManually"), m_isSelectedManually}});
}

std::shared_ptr<Channel> Channel::initWithCoder(const QByteArray& archive, QString* error)
{
    const std::optional<KeyedArchive::Contents> contents = KeyedArchive::unarchive(archive, error);
    if (!contents)
        return nullptr;
    if (contents->className != u"Channel") {
        if (error)
            *error = QStringLiteral("an archived %1, not a Channel").arg(contents->className);
        return nullptr;
    }
    const QVariantMap& values = contents->values;
    auto channel = initWithArray(JsonValue::list(values.value(QStringLiteral("arrayPresentation"))));
    channel->m_channelId = JsonValue::text(values.value(QStringLiteral("channelId")));
    channel->m_thumbnail = values.value(QStringLiteral("thumbnail")).value<QImage>();
    channel->m_isSelectedManually = JsonValue::boolean(values.value(QStringLiteral("isSelectedManually")));
    return channel;
}
