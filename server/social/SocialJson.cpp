#include "SocialJson.h"

#include "platform/Json.h"
#include "store/SocialStore.h"

#include <QDateTime>
#include <QLocale>

using namespace Qt::StringLiterals;

QString SocialJson::pictureOf(qint64 userId) const
{
    return m_base + u"profile_images/"_s + QString::number(userId) + u".png"_s;
}

QVariantMap SocialJson::user(const StoreUser& user)
{
    return {{u"id"_s, user.id},
            {u"id_str"_s, QString::number(user.id)},
            {u"name"_s, user.name},
            {u"screen_name"_s, user.screenName},
            {u"description"_s, user.description},
            {u"profile_image_url"_s, pictureOf(user.id)},
            {u"created_at"_s, time(user.created)},
            {u"followers_count"_s, m_store.followers(user.id)},
            {u"friends_count"_s, m_store.friends(user.id)},
            {u"statuses_count"_s, m_store.statusesCount(user.id)},
            {u"following"_s, m_viewer > 0 && m_store.isFollowing(m_viewer, user.id)},
            {u"protected"_s, false}};
}

QVariantMap SocialJson::status(const StoreMessage& s, int depth)
{
    QVariantMap author;
    if (const std::optional<StoreUser> known = m_store.user(s.userId))
        author = user(*known);
    else
        author = {{u"id_str"_s, s.senderId},
                  {u"name"_s, s.senderName},
                  {u"screen_name"_s, s.screenName},
                  {u"profile_image_url"_s, s.profileImageUrl}};
    QVariantMap map{{u"id"_s, s.id},
                    {u"id_str"_s, QString::number(s.id)},
                    {u"text"_s, s.text},
                    {u"created_at"_s, time(s.time)},
                    {u"source"_s, s.source.isEmpty() ? u"web"_s : s.source},
                    {u"user"_s, author},
                    {u"favorited"_s, m_viewer > 0 && m_store.isFavorite(m_viewer, s.id)},
                    {u"retweeted"_s, false},
                    {u"truncated"_s, false}};
    const bool reply = !s.replyToId.isEmpty();
    map.insert(u"in_reply_to_status_id"_s, reply ? QVariant(s.replyToId.toLongLong()) : Json::null());
    map.insert(u"in_reply_to_status_id_str"_s, reply ? QVariant(s.replyToId) : Json::null());
    map.insert(u"in_reply_to_screen_name"_s, reply ? QVariant(s.replyToScreenName) : Json::null());
    QVariantMap entities{{u"hashtags"_s, QVariantList()}, {u"user_mentions"_s, QVariantList()}};
    if (!s.mediaUrl.isEmpty())
        entities.insert(u"media"_s,
                        QVariantList{QVariantMap{{u"type"_s, u"photo"_s}, {u"media_url"_s, s.mediaUrl}}});
    map.insert(u"entities"_s, entities);
    if (s.retweetOf > 0 && depth == 0) {
        if (const std::optional<StoreMessage> original = m_store.status(s.retweetOf))
            map.insert(u"retweeted_status"_s, status(*original, 1));
    }
    return map;
}

QVariantList SocialJson::statuses(const QList<StoreMessage>& list)
{
    QVariantList answer;
    answer.reserve(list.size());
    for (const StoreMessage& s : list)
        answer.append(status(s));
    return answer;
}

HttpResponse SocialJson::error(int status, int code, const QString& message)
{
    return HttpResponse::json(
        QVariantMap{{u"errors"_s, QVariantList{QVariantMap{{u"code"_s, code}, {u"message"_s, message}}}}},
        status);
}

QString SocialJson::time(qint64 secondsSince1970)
{
    return QLocale::c().toString(QDateTime::fromSecsSinceEpoch(secondsSince1970, Qt::UTC),
                                 u"ddd MMM dd HH:mm:ss +0000 yyyy"_s);
}
