#include "Tweet.h"

#include "model/DateHelper.h"
#include "platform/JsonValue.h"

#include <QLocale>
#include <QRegularExpression>
#include <QTimeZone>

namespace {

// A string value as a copy; none (a null QString) when missing or not a string.
QString textOf(const QVariantMap& map, const QString& key)
{
    const QVariant value = map.value(key);
    return value.typeId() == QMetaType::QString ? value.toString() : QString();
}

// Missing stays invalid, JSON null stays the null marker, a string is copied.
QVariant nullableOf(const QVariantMap& map, const QString& key)
{
    if (!map.contains(key))
        return {};
    const QVariant value = map.value(key);
    if (value.typeId() == QMetaType::Nullptr)
        return value;
    return JsonValue::text(value);
}

} // namespace

QString Tweet::linkAddress(const QString& source)
{
    static const QRegularExpression href(QStringLiteral("<a[^>]+href\\s*=\\s*['\"]([^'\"]+)['\"][^>]*>"));
    return href.match(source).captured(1);
}

QString Tweet::linkText(const QString& source)
{
    static const QRegularExpression text(QStringLiteral("<a.+>(.+)</a>"));
    return text.match(source).captured(1);
}

void Tweet::readCommon(const QVariantMap& message, const QVariantMap& sender, const QVariantMap& status,
                       const QVariant& source)
{
    const QVariantList media = JsonValue::list(
        JsonValue::map(message.value(QStringLiteral("entities"))).value(QStringLiteral("media")));
    if (!media.isEmpty()) {
        const QVariantMap first = JsonValue::map(media.first());
        if (!first.contains(QStringLiteral("type")) ||
            JsonValue::text(first.value(QStringLiteral("type"))).contains(QStringLiteral("photo")))
            m_mediaImgUrl = textOf(first, QStringLiteral("media_url"));
    }
    m_isFavorited = JsonValue::boolean(status.value(QStringLiteral("favorited")));
    if (!source.isValid() || source.typeId() == QMetaType::Nullptr) {
        m_isOrvane = true; // no source: sent through this product
    } else {
        const QString s = JsonValue::text(source);
        if (s.trimmed() == u"web") {
            m_sourceName = QStringLiteral("web");
        } else {
            m_sourceUrl = linkAddress(s);
            m_sourceName = linkText(s);
            if (m_sourceUrl.isNull())
                m_sourceUrl = QLatin1String("");
            if (m_sourceName.isNull())
                m_sourceName = QLatin1String("");
            m_isOrvane = m_sourceName.contains(QStringLiteral("Orvane"));
        }
    }
    Q_UNUSED(sender)
    m_isDeleted = false;
}

Tweet Tweet::initWithDictionaryFromService(const QVariantMap& dictionary, double serverOffset,
                                           const QDateTime& now)
{
    Tweet t;
    const QVariantMap message = JsonValue::map(dictionary.value(QStringLiteral("message")));
    const QVariantMap sender = JsonValue::map(dictionary.value(QStringLiteral("sender_info")));
    const QVariantMap status = JsonValue::map(dictionary.value(QStringLiteral("status")));
    t.m_text = textOf(message, QStringLiteral("text"));
    t.m_senderName = textOf(sender, QStringLiteral("name"));
    t.m_senderUsername = textOf(sender, QStringLiteral("screen_name"));
    t.m_senderId = textOf(sender, QStringLiteral("id_str"));
    t.m_profileImageUrl = textOf(sender, QStringLiteral("profile_image_url"));
    t.m_tweetId = textOf(message, QStringLiteral("id_str"));
    t.m_replyId = nullableOf(status, QStringLiteral("in_reply_to_status_id_str"));
    t.m_replyName = nullableOf(status, QStringLiteral("in_reply_to_screen_name"));
    t.readCommon(message, sender, status, message.value(QStringLiteral("source")));
    // The feed's time is the server's wall clock: read in the device's zone, then shifted.
    QDateTime time = QDateTime::fromString(JsonValue::text(dictionary.value(QStringLiteral("time"))),
                                           QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz000"));
    if (!time.isValid())
        time = QLocale::c().toDateTime(JsonValue::text(dictionary.value(QStringLiteral("time"))).left(19),
                                       QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (time.isValid())
        t.m_tweetTime = time.addSecs(qint64(serverOffset));
    t.m_tweetTimeDisplay = DateHelper().stringFromDateInPast(t.m_tweetTime, QStringLiteral("%@"), now);
    return t;
}

Tweet Tweet::initWithDictionaryFromTwitter(const QVariantMap& dictionary, const QDateTime& now)
{
    Tweet t;
    const QVariantMap user = JsonValue::map(dictionary.value(QStringLiteral("user")));
    t.m_text = textOf(dictionary, QStringLiteral("text"));
    t.m_senderName = textOf(user, QStringLiteral("name"));
    t.m_senderUsername = textOf(user, QStringLiteral("screen_name"));
    t.m_senderId = textOf(user, QStringLiteral("id_str"));
    t.m_profileImageUrl = textOf(user, QStringLiteral("profile_image_url"));
    t.m_tweetId = textOf(dictionary, QStringLiteral("id_str"));
    t.m_replyId = nullableOf(dictionary, QStringLiteral("in_reply_to_status_id_str"));
    t.m_replyName = nullableOf(dictionary, QStringLiteral("in_reply_to_screen_name"));
    t.readCommon(dictionary, user, dictionary, dictionary.value(QStringLiteral("source")));
    QDateTime time = QLocale(QLocale::English, QLocale::UnitedStates)
                         .toDateTime(JsonValue::text(dictionary.value(QStringLiteral("created_at"))),
                                     QStringLiteral("ddd MMM dd HH:mm:ss +0000 yyyy"));
    if (time.isValid()) {
        time.setTimeZone(QTimeZone::utc());
        t.m_tweetTime = time.toLocalTime();
    }
    t.m_tweetTimeDisplay = DateHelper().stringFromDateInPast(t.m_tweetTime, QStringLiteral("%@"), now);
    return t;
}
