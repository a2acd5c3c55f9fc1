#include "SocialApi.h"

#include "SocialJson.h"

#include "content/PictureRenderer.h"
#include "store/SocialStore.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>

#include <QDateTime>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace {

HttpResponse notFound()
{
    return SocialJson::error(404, 34, u"Sorry, that page does not exist."_s);
}

HttpResponse noStatus()
{
    return SocialJson::error(404, 144, u"No status found with that ID."_s);
}

HttpResponse missing(const QString& name)
{
    return SocialJson::error(400, 38, name + u" parameter is missing."_s);
}

// A decimal id parameter: 0 when absent, -1 when not a positive 64-bit number.
qint64 idOf(const QMap<QString, QString>& parameters, const QString& name)
{
    if (!parameters.contains(name))
        return 0;
    bool ok = false;
    const qint64 id = parameters.value(name).toLongLong(&ok);
    return ok && id > 0 ? id : -1;
}

} // namespace

HttpResponse SocialApi::handle(const Call& call)
{
    const bool post = call.method == "POST";
    const QString& path = call.path;
    static const QRegularExpression withId(u"^statuses/(retweet|destroy)/([0-9]+)\\.json$"_s);
    if (!post) {
        if (call.method != "GET")
            return notFound();
        if (path == u"account/verify_credentials.json")
            return HttpResponse::json(SocialJson(m_store, call.base, call.user.id).user(call.user));
        if (path == u"statuses/home_timeline.json" || path == u"statuses/mentions.json" ||
            path == u"statuses/mentions_timeline.json" || path == u"statuses/user_timeline.json")
            return timeline(call, path);
        if (path == u"statuses/show.json") {
            const qint64 id = idOf(call.parameters, u"id"_s);
            return id <= 0 ? missing(u"id"_s) : statusAnswer(call, id);
        }
        if (path == u"users/show.json")
            return showUser(call);
        return notFound();
    }
    if (path == u"statuses/update.json")
        return update(call);
    if (path == u"media/upload.json")
        return upload(call);
    if (const QRegularExpressionMatch match = withId.match(path); match.hasMatch()) {
        bool ok = false;
        const qint64 id = match.captured(2).toLongLong(&ok);
        if (!ok)
            return noStatus();
        return match.captured(1) == u"retweet" ? retweet(call, id) : destroy(call, id);
    }
    if (path == u"favorites/create.json" || path == u"favorites/destroy.json")
        return favorite(call, path == u"favorites/create.json");
    if (path == u"friendships/create.json" || path == u"friendships/destroy.json")
        return friendship(call, path == u"friendships/create.json");
    if (path == u"direct_messages/new.json")
        return directMessage(call);
    if (path == u"oauth/invalidate_token") {
        m_store.deleteToken(call.accessToken);
        return HttpResponse::json(QVariantMap{{u"access_token"_s, call.accessToken}});
    }
    return notFound();
}

HttpResponse SocialApi::timeline(const Call& call, const QString& which)
{
    int count = 20;
    if (call.parameters.contains(u"count"_s)) {
        bool ok = false;
        count = std::clamp(call.parameters.value(u"count"_s).toInt(&ok), 1, 200);
        if (!ok)
            count = 20;
    }
    const qint64 sinceId = idOf(call.parameters, u"since_id"_s);
    const qint64 maxId = idOf(call.parameters, u"max_id"_s);
    if (sinceId < 0 || maxId < 0)
        return SocialJson::error(400, 44, u"since_id and max_id must be status ids."_s);
    QList<StoreMessage> list;
    if (which == u"statuses/home_timeline.json") {
        list = m_store.homeTimeline(call.user.id, sinceId, maxId, count,
                                    call.parameters.value(u"exclude_replies"_s) == u"true");
    } else if (which == u"statuses/user_timeline.json") {
        qint64 userId = idOf(call.parameters, u"user_id"_s);
        if (userId == 0 && call.parameters.contains(u"screen_name"_s)) {
            const auto named = m_store.userByScreenName(call.parameters.value(u"screen_name"_s));
            userId = named ? named->id : -1;
        }
        if (userId < 0)
            return SocialJson::error(404, 50, u"User not found."_s);
        list = m_store.userTimeline(userId == 0 ? call.user.id : userId, sinceId, maxId, count);
    } else {
        list = m_store.mentions(call.user, sinceId, maxId, count);
    }
    return HttpResponse::json(SocialJson(m_store, call.base, call.user.id).statuses(list));
}

HttpResponse SocialApi::update(const Call& call)
{
    const QString text = call.parameters.value(u"status"_s);
    if (text.trimmed().isEmpty())
        return SocialJson::error(403, 170, u"Missing required parameter: status."_s);
    if (text.size() > MaxStatusLength)
        return SocialJson::error(403, 186, u"Status is over 140 characters."_s);
    StoreMessage status;
    const qint64 replyTo = idOf(call.parameters, u"in_reply_to_status_id"_s);
    if (replyTo > 0) {
        // As the public service does: a reply to a status that is gone is a plain status.
        if (const std::optional<StoreMessage> original = m_store.status(replyTo)) {
            status.replyToId = QString::number(original->id);
            status.replyToScreenName = original->screenName;
        }
    }
    if (call.parameters.contains(u"media_ids"_s)) {
        // The first picture; it must be one this user uploaded.
        bool ok = false;
        const qint64 mediaId =
            call.parameters.value(u"media_ids"_s).section(u',', 0, 0).trimmed().toLongLong(&ok);
        const auto media = ok ? m_store.media(mediaId) : std::nullopt;
        if (!media || media->first != call.user.id)
            return SocialJson::error(400, 324, u"The validation of media ids failed."_s);
        status.mediaUrl = call.base + u"media/"_s + QString::number(mediaId) + u".png"_s;
    }
    static const QRegularExpression hashtag(u"#(\\w+)"_s, QRegularExpression::UseUnicodePropertiesOption);
    for (auto it = hashtag.globalMatch(text); it.hasNext() && status.channelId == 0;)
        status.channelId = m_store.channelOfHashtag(it.next().captured(1));
    SocialJson json(m_store, call.base, call.user.id);
    status.userId = call.user.id;
    status.time = QDateTime::currentSecsSinceEpoch();
    status.senderId = QString::number(call.user.id);
    status.senderName = call.user.name;
    status.screenName = call.user.screenName;
    status.profileImageUrl = json.pictureOf(call.user.id);
    status.text = text;
    status.source = call.source;
    const qint64 id = m_store.addStatus(status);
    if (id == 0)
        return SocialJson::error(503, 130, u"Over capacity"_s);
    return statusAnswer(call, id);
}

HttpResponse SocialApi::upload(const Call& call)
{
    const QByteArray encoded = call.parameters.value(u"media_data"_s).toLatin1();
    if (encoded.isEmpty())
        return missing(u"media_data"_s);
    const auto decoded = QByteArray::fromBase64Encoding(encoded, QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded || decoded.decoded.isEmpty())
        return SocialJson::error(400, 324, u"media_data is not base64."_s);
    if (decoded.decoded.size() > MaxMediaBytes)
        return SocialJson::error(400, 324, u"Image file size must be <= 3145728 bytes"_s);
    QBuffer buffer;
    buffer.setData(decoded.decoded);
    QImageReader reader(&buffer);
    const QByteArray format = reader.format();
    const QSize size = reader.size();
    if ((format != "png" && format != "jpeg") || !size.isValid() || size.width() > MaxMediaSide ||
        size.height() > MaxMediaSide)
        return SocialJson::error(400, 324, u"Only PNG and JPEG pictures up to 4096 x 4096 are supported."_s);
    const QImage image = reader.read();
    if (image.isNull())
        return SocialJson::error(400, 324, u"The picture could not be read."_s);
    // Kept as this service encodes it: nothing of the upload but its pixels is served again.
    const QByteArray png = PictureRenderer::png(image);
    const qint64 id = m_store.addMedia(call.user.id, png, QDateTime::currentSecsSinceEpoch());
    if (id == 0)
        return SocialJson::error(503, 130, u"Over capacity"_s);
    return HttpResponse::json(QVariantMap{
        {u"media_id"_s, id},
        {u"media_id_string"_s, QString::number(id)},
        {u"size"_s, qint64(png.size())},
        {u"image"_s,
         QVariantMap{{u"image_type"_s, u"image/png"_s}, {u"w"_s, image.width()}, {u"h"_s, image.height()}}}});
}

HttpResponse SocialApi::retweet(const Call& call, qint64 id)
{
    const std::optional<StoreMessage> original = m_store.status(id);
    if (!original)
        return noStatus();
    if (original->userId == call.user.id)
        return SocialJson::error(403, 328, u"You cannot retweet your own status."_s);
    StoreMessage status;
    status.userId = call.user.id;
    status.retweetOf = original->retweetOf > 0 ? original->retweetOf : original->id;
    status.channelId = original->channelId;
    status.time = QDateTime::currentSecsSinceEpoch();
    status.senderId = QString::number(call.user.id);
    status.senderName = call.user.name;
    status.screenName = call.user.screenName;
    status.profileImageUrl = SocialJson(m_store, call.base, call.user.id).pictureOf(call.user.id);
    status.text = (u"RT @"_s + original->screenName + u": "_s + original->text);
    status.source = call.source;
    const qint64 retweetId = m_store.addStatus(status);
    return retweetId == 0 ? SocialJson::error(503, 130, u"Over capacity"_s) : statusAnswer(call, retweetId);
}

HttpResponse SocialApi::destroy(const Call& call, qint64 id)
{
    const std::optional<StoreMessage> status = m_store.status(id);
    if (!status || status->userId <= 0)
        return noStatus();
    if (status->userId != call.user.id)
        return SocialJson::error(403, 183, u"You may not delete another user's status."_s);
    const HttpResponse answer =
        HttpResponse::json(SocialJson(m_store, call.base, call.user.id).status(*status));
    m_store.deleteStatus(id);
    return answer;
}

HttpResponse SocialApi::favorite(const Call& call, bool on)
{
    const qint64 id = idOf(call.parameters, u"id"_s);
    if (id <= 0)
        return missing(u"id"_s);
    if (!m_store.status(id))
        return noStatus();
    m_store.setFavorite(call.user.id, id, on);
    return statusAnswer(call, id);
}

std::optional<StoreUser> SocialApi::namedUser(const Call& call, bool* named)
{
    const qint64 id = idOf(call.parameters, u"user_id"_s);
    *named = id > 0 || call.parameters.contains(u"screen_name"_s);
    if (id > 0)
        return m_store.user(id);
    if (call.parameters.contains(u"screen_name"_s))
        return m_store.userByScreenName(call.parameters.value(u"screen_name"_s));
    return std::nullopt;
}

HttpResponse SocialApi::showUser(const Call& call)
{
    bool named = false;
    const std::optional<StoreUser> user = namedUser(call, &named);
    if (!named)
        return missing(u"user_id"_s);
    if (!user)
        return SocialJson::error(404, 50, u"User not found."_s);
    if (user->suspended)
        return SocialJson::error(403, 63, u"User has been suspended."_s);
    return HttpResponse::json(SocialJson(m_store, call.base, call.user.id).user(*user));
}

HttpResponse SocialApi::friendship(const Call& call, bool follow)
{
    const qint64 id = idOf(call.parameters, u"user_id"_s);
    const std::optional<StoreUser> user = id > 0 ? m_store.user(id) : std::nullopt;
    if (!user)
        return SocialJson::error(404, 50, u"User not found."_s);
    if (follow && user->id == call.user.id)
        return SocialJson::error(403, 158, u"You can't follow yourself."_s);
    if (follow)
        m_store.follow(call.user.id, user->id, call.parameters.value(u"follow"_s) == u"true");
    else
        m_store.unfollow(call.user.id, user->id);
    return HttpResponse::json(SocialJson(m_store, call.base, call.user.id).user(*user));
}

HttpResponse SocialApi::directMessage(const Call& call)
{
    bool named = false;
    const std::optional<StoreUser> recipient = namedUser(call, &named);
    const QString text = call.parameters.value(u"text"_s);
    if (!recipient)
        return SocialJson::error(404, 50, u"User not found."_s);
    if (text.trimmed().isEmpty())
        return missing(u"text"_s);
    if (text.size() > 10000)
        return SocialJson::error(403, 354,
                                 u"The text of your direct message is over the max character limit."_s);
    if (!m_store.isFollowing(recipient->id, call.user.id))
        return SocialJson::error(403, 150, u"You cannot send messages to users who are not following you."_s);
    const qint64 time = QDateTime::currentSecsSinceEpoch();
    const qint64 messageId = m_store.addDirectMessage(call.user.id, recipient->id, text, time);
    SocialJson json(m_store, call.base, call.user.id);
    return HttpResponse::json(QVariantMap{{u"id"_s, messageId},
                                          {u"id_str"_s, QString::number(messageId)},
                                          {u"text"_s, text},
                                          {u"created_at"_s, SocialJson::time(time)},
                                          {u"sender"_s, json.user(call.user)},
                                          {u"recipient"_s, json.user(*recipient)}});
}

HttpResponse SocialApi::statusAnswer(const Call& call, qint64 id)
{
    const std::optional<StoreMessage> status = m_store.status(id);
    if (!status)
        return noStatus();
    return HttpResponse::json(SocialJson(m_store, call.base, call.user.id).status(*status));
}
