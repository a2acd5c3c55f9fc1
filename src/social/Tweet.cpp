#include "Tweet.h"

#include "model/DateHelper.h"
#include "platform/JsonValue.h"

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

// "yyyy-MM-dd HH:mm:ss" at the start of the text (the feed adds ".SSSSSS").
std::optional<std::pair<QDate, QTime>> serviceTime(const QString& text)
{
    if (text.size() < 19 || text[4] != u'-' || text[7] != u'-' || text[10] != u' ' || text[13] != u':' ||
        text[16] != u':')
        return std::nullopt;
    const auto number = [&text](int from, int length) {
        bool ok = false;
        const int value = QStringView(text).mid(from, length).toInt(&ok);
        return ok ? value : -1;
    };
    const QDate date(number(0, 4), number(5, 2), number(8, 2));
    const QTime time(number(11, 2), number(14, 2), number(17, 2));
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    return std::make_pair(date, time);
}

// "EEE MMM dd HH:mm:ss +0000 yyyy" (English names) as a UTC moment; invalid otherwise.
QDateTime twitterTime(const QString& text)
{
    static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    if (text.size() != 30 || QStringView(text).mid(19, 7) != u" +0000 ")
        return {};
    int month = 0;
    for (int m = 0; m < 12 && month == 0; ++m) {
        if (QStringView(text).mid(4, 3) == QLatin1String(months[m]))
            month = m + 1;
    }
    const auto number = [&text](int from, int length) {
        bool ok = false;
        const int value = QStringView(text).mid(from, length).toInt(&ok);
        return ok ? value : -1;
    };
    const QDate date(number(26, 4), month, number(8, 2));
    if (text[13] != u':' || text[16] != u':')
        return {};
    const QTime time(number(11, 2), number(14, 2), number(17, 2));
    if (!date.isValid() || !time.isValid())
        return {};
    return QDateTime(date, time, QTimeZone::utc());
}

} // namespace

const QString& Tweet::tweetTimeDisplay() const
{
    if (!m_tweetTimeDisplay)
        m_tweetTimeDisplay = DateHelper().stringFromDateInPast(m_tweetTime, QStringLiteral("%@"));
    return *m_tweetTimeDisplay;
}

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
                                           const QTimeZone& deviceZone)
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
    if (const auto parts = serviceTime(JsonValue::text(dictionary.value(QStringLiteral("time")))))
        t.m_tweetTime =
            QDateTime(parts->first, parts->second, deviceZone).toUTC().addSecs(qint64(serverOffset));
    return t;
}

Tweet Tweet::initWithDictionaryFromTwitter(const QVariantMap& dictionary)
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
    t.m_tweetTime = twitterTime(JsonValue::text(dictionary.value(QStringLiteral("created_at"))));
    return t;
}
