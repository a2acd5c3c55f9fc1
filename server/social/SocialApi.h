#pragma once

#include "http/HttpResponse.h"
#include "store/StoreRecords.h"

#include <QMap>
#include <QString>

#include <optional>

class SocialStore;

// The REST calls of the microblog service for one signed-in user. Paths are relative to the
// version prefix ("1/" or "1.1/"), which both answer alike:
//   GET  account/verify_credentials.json
//   GET  statuses/home_timeline.json, statuses/mentions.json, statuses/mentions_timeline.json,
//        statuses/user_timeline.json (count 1–200, default 20; since_id, max_id)
//   GET  statuses/show.json (id), users/show.json (user_id or screen_name)
//   POST statuses/update.json (status, at most 140 characters; in_reply_to_status_id; media_ids,
//        a picture uploaded by the same user)
//   POST media/upload.json (media_data: a PNG or JPEG picture in base64, at most 3 MB and
//        4096 × 4096; kept as PNG and served at media/ID.png)
//   POST statuses/retweet/ID.json, statuses/destroy/ID.json (own statuses only)
//   POST favorites/create.json, favorites/destroy.json (id)
//   POST friendships/create.json (user_id, follow), friendships/destroy.json (user_id)
//   POST direct_messages/new.json (user_id or screen_name, text; only to a follower: code 150)
//   POST oauth/invalidate_token (the access token of the request)
class SocialApi
{
public:
    static constexpr int MaxStatusLength = 140;
    static constexpr qint64 MaxMediaBytes = 3 * 1024 * 1024;
    static constexpr int MaxMediaSide = 4096;

    struct Call
    {
        QByteArray method;
        QString path; // after the version prefix
        QMap<QString, QString> parameters;
        StoreUser user;
        QString accessToken;
        QString base;   // "http://host/" of the request
        QString source; // the application's link, for the statuses it posts
    };

    explicit SocialApi(SocialStore& store) : m_store(store) {}
    HttpResponse handle(const Call& call);

private:
    HttpResponse timeline(const Call& call, const QString& which);
    HttpResponse update(const Call& call);
    HttpResponse upload(const Call& call);
    HttpResponse retweet(const Call& call, qint64 id);
    HttpResponse destroy(const Call& call, qint64 id);
    HttpResponse favorite(const Call& call, bool on);
    HttpResponse showUser(const Call& call);
    HttpResponse friendship(const Call& call, bool follow);
    HttpResponse directMessage(const Call& call);
    HttpResponse statusAnswer(const Call& call, qint64 id);
    // The user the call names by "user_id" (when a positive number) or "screen_name";
    // named: whether it names one at all.
    std::optional<StoreUser> namedUser(const Call& call, bool* named);

    SocialStore& m_store;
};
