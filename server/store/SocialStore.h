#pragma once

#include "StoreRecords.h"

#include <QList>
#include <QString>

#include <optional>

class ScheduleStore;
class QSqlQuery;

// The microblog service's data, in the schedule store's file: users with salted password
// hashes, follows, favourites, direct messages, OAuth consumers and tokens. Statuses are the
// store's messages with an author (userId), so that a status about a channel is also that
// channel's talk. Safe to use from any thread (the schedule store's connection per thread).
class SocialStore
{
public:
    explicit SocialStore(ScheduleStore& store) : m_store(store) {}

    // Users ---------------------------------------------------------------------------
    // 0 when the screen name is taken or the store fails.
    qint64 addUser(const QString& screenName, const QString& name, const QString& password,
                   const QString& description = {});
    std::optional<StoreUser> user(qint64 id);
    std::optional<StoreUser> userByScreenName(const QString& screenName);
    // The user when the password is theirs (and the account not suspended).
    std::optional<StoreUser> signIn(const QString& screenName, const QString& password);
    bool setSuspended(qint64 userId, bool suspended);
    bool follow(qint64 follower, qint64 followee, bool notify);
    bool unfollow(qint64 follower, qint64 followee);
    bool isFollowing(qint64 follower, qint64 followee);
    int followers(qint64 userId);
    int friends(qint64 userId);
    int statusesCount(qint64 userId);

    // Statuses ------------------------------------------------------------------------
    // Stores a status under a new id above 2^53 (as the big services number theirs); its id.
    qint64 addStatus(StoreMessage status);
    std::optional<StoreMessage> status(qint64 id);
    bool deleteStatus(qint64 id);
    // Newest first. sinceId (exclusive) and maxId (inclusive) are 0 when not given.
    QList<StoreMessage> homeTimeline(qint64 userId, qint64 sinceId, qint64 maxId, int count,
                                     bool excludeReplies);
    QList<StoreMessage> mentions(const StoreUser& user, qint64 sinceId, qint64 maxId, int count);
    QList<StoreMessage> userTimeline(qint64 userId, qint64 sinceId, qint64 maxId, int count);
    bool setFavorite(qint64 userId, qint64 statusId, bool favorite);
    bool isFavorite(qint64 userId, qint64 statusId);
    qint64 addDirectMessage(qint64 sender, qint64 recipient, const QString& text, qint64 time);
    // A picture uploaded to go with a status (PNG); its id, 0 when it could not be stored.
    qint64 addMedia(qint64 userId, const QByteArray& png, qint64 time);
    // The PNG of a picture and who uploaded it.
    std::optional<std::pair<qint64, QByteArray>> media(qint64 id);
    // The channel whose hashtag this is (the channel's name without spaces or punctuation,
    // any case), or 0.
    int channelOfHashtag(const QString& tag);
    static QString hashtagOf(const QString& channelName);

    // OAuth ---------------------------------------------------------------------------
    bool setConsumer(const QString& key, const QString& secret, const QString& name, const QString& url);
    // {secret, name, url} of a registered consumer.
    std::optional<QStringList> consumer(const QString& key);
    bool addToken(const StoreToken& token);
    std::optional<StoreToken> token(const QString& token);
    bool authorizeToken(const QString& token, qint64 userId, const QString& verifier);
    bool deleteToken(const QString& token);
    // Removes request tokens older than the moment (seconds since 1970).
    bool pruneRequestTokens(qint64 olderThan);

private:
    QList<StoreMessage> statuses(const QString& where, const QList<QVariant>& values, qint64 sinceId,
                                 qint64 maxId, int count);
    bool exec(const QString& sql, const QList<QVariant>& values);
    std::optional<StoreUser> userWhere(const QString& where, const QVariant& value);
    int count(const QString& sql, qint64 value);

    ScheduleStore& m_store;
};
