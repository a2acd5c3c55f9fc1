#include "SocialStore.h"

#include "ScheduleStore.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QPasswordDigestor>
#include <QRandomGenerator>
#include <QSqlError>
#include <QSqlQuery>

#include <atomic>

namespace {

constexpr int PasswordIterations = 20000;
constexpr qint64 IdEpochMs = 1288834974657; // ids count milliseconds from here, as the big services do

QByteArray passwordHash(const QString& password, const QByteArray& salt)
{
    return QPasswordDigestor::deriveKeyPbkdf2(QCryptographicHash::Sha256, password.toUtf8(), salt,
                                              PasswordIterations, 32)
        .toHex();
}

StoreUser userOf(const QSqlQuery& q)
{
    StoreUser u;
    u.id = q.value(0).toLongLong();
    u.screenName = q.value(1).toString();
    u.name = q.value(2).toString();
    u.description = q.value(3).toString();
    u.created = q.value(4).toLongLong();
    u.suspended = q.value(5).toBool();
    return u;
}

StoreToken tokenOf(const QSqlQuery& q)
{
    StoreToken t;
    t.token = q.value(0).toString();
    t.secret = q.value(1).toString();
    t.kind = q.value(2).toInt();
    t.consumer = q.value(3).toString();
    t.userId = q.value(4).toLongLong();
    t.callback = q.value(5).toString();
    t.verifier = q.value(6).toString();
    t.created = q.value(7).toLongLong();
    return t;
}

const QString UserColumns = QStringLiteral("id, screen_name, name, description, created, suspended");

} // namespace

bool SocialStore::exec(const QString& sql, const QList<QVariant>& values)
{
    QSqlQuery q(m_store.connection());
    q.prepare(sql);
    for (const QVariant& value : values)
        q.addBindValue(value);
    return m_store.run(q) && q.numRowsAffected() != 0;
}

int SocialStore::count(const QString& sql, qint64 value)
{
    QSqlQuery q(m_store.connection());
    q.prepare(sql);
    q.addBindValue(value);
    return m_store.run(q) && q.next() ? q.value(0).toInt() : 0;
}

qint64 SocialStore::addUser(const QString& screenName, const QString& name, const QString& password,
                            const QString& description)
{
    QByteArray salt(16, '\0');
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32*>(salt.data()), 4);
    QSqlQuery q(m_store.connection());
    q.prepare(QStringLiteral("INSERT INTO social_users (screen_name, name, salt, password_hash, description, "
                             "created) VALUES (?, ?, ?, ?, ?, ?) RETURNING id"));
    for (const QVariant& value :
         {QVariant(screenName), QVariant(name), QVariant(QString::fromLatin1(salt.toHex())),
          QVariant(QString::fromLatin1(passwordHash(password, salt.toHex()))), QVariant(description),
          QVariant(QDateTime::currentSecsSinceEpoch())})
        q.addBindValue(value);
    return m_store.insertReturningId(q);
}

std::optional<StoreUser> SocialStore::userWhere(const QString& where, const QVariant& value)
{
    QSqlQuery q(m_store.connection());
    q.prepare(QStringLiteral("SELECT %1 FROM social_users WHERE %2").arg(UserColumns, where));
    q.addBindValue(value);
    if (m_store.run(q) && q.next())
        return userOf(q);
    return std::nullopt;
}

std::optional<StoreUser> SocialStore::user(qint64 id)
{
    return userWhere(QStringLiteral("id = ?"), id);
}

std::optional<StoreUser> SocialStore::userByScreenName(const QString& screenName)
{
    return userWhere(QStringLiteral("lower(screen_name) = lower(?)"), screenName);
}

std::optional<StoreUser> SocialStore::signIn(const QString& screenName, const QString& password)
{
    QSqlQuery q(m_store.connection());
    q.prepare(QStringLiteral(
        "SELECT id, salt, password_hash FROM social_users WHERE lower(screen_name) = lower(?) AND "
        "suspended = 0"));
    q.addBindValue(screenName);
    if (!m_store.run(q) || !q.next())
        return std::nullopt;
    const qint64 id = q.value(0).toLongLong();
    const QByteArray expected = q.value(2).toString().toLatin1();
    const QByteArray given = passwordHash(password, q.value(1).toString().toLatin1());
    // The stored value is a salted key derivation: comparing it leaks nothing usable.
    if (expected != passwordHash(password, q.value(1).toString().toLatin1()))
        return std::nullopt;
    return user(id);
}

bool SocialStore::setSuspended(qint64 userId, bool suspended)
{
    return exec(QStringLiteral("UPDATE social_users SET suspended = ? WHERE id = ?"),
                {suspended ? 1 : 0, userId});
}

bool SocialStore::follow(qint64 follower, qint64 followee, bool notify)
{
    return exec(QStringLiteral("INSERT INTO social_follows (follower, followee, notify) VALUES (?, ?, ?) "
                               "ON CONFLICT (follower, followee) DO UPDATE SET notify = excluded.notify"),
                {follower, followee, notify ? 1 : 0});
}

bool SocialStore::unfollow(qint64 follower, qint64 followee)
{
    return exec(QStringLiteral("DELETE FROM social_follows WHERE follower = ? AND followee = ?"),
                {follower, followee});
}

bool SocialStore::isFollowing(qint64 follower, qint64 followee)
{
    QSqlQuery q(m_store.connection());
    q.prepare(QStringLiteral("SELECT 1 FROM social_follows WHERE follower = ? AND followee = ?"));
    q.addBindValue(follower);
    q.addBindValue(followee);
    return m_store.run(q) && q.next();
}

int SocialStore::followers(qint64 userId)
{
    return count(QStringLiteral("SELECT COUNT(*) FROM social_follows WHERE followee = ?"), userId);
}

int SocialStore::friends(qint64 userId)
{
    return count(QStringLiteral("SELECT COUNT(*) FROM social_follows WHERE follower = ?"), userId);
}

int SocialStore::statusesCount(qint64 userId)
{
    return count(QStringLiteral("SELECT COUNT(*) FROM messages WHERE user_id = ?"), userId);
}

qint64 SocialStore::addStatus(StoreMessage status)
{
    static std::atomic<quint32> sequence{QRandomGenerator::system()->generate()};
    for (int attempt = 0; attempt < 8; ++attempt) {
        const qint64 ms = std::max<qint64>(1, QDateTime::currentMSecsSinceEpoch() - IdEpochMs);
        status.id = (ms << 22) | qint64(sequence.fetch_add(1) & 0x3FFFFF);
        if (m_store.addMessage(status) != 0)
            return status.id;
    }
    return 0;
}

std::optional<StoreMessage> SocialStore::status(qint64 id)
{
    QSqlQuery q(m_store.connection());
    q.prepare(QStringLiteral("SELECT %1 FROM messages WHERE id = ?").arg(ScheduleStore::MessageColumns));
    q.addBindValue(id);
    if (m_store.run(q) && q.next())
        return ScheduleStore::messageOf(q);
    return std::nullopt;
}

bool SocialStore::deleteStatus(qint64 id)
{
    exec(QStringLiteral("DELETE FROM social_favorites WHERE message_id = ?"), {id});
    return exec(QStringLiteral("DELETE FROM messages WHERE id = ?"), {id});
}

QList<StoreMessage> SocialStore::statuses(const QString& where, const QList<QVariant>& values, qint64 sinceId,
                                          qint64 maxId, int count)
{
    QSqlQuery q(m_store.connection());
    q.prepare(
        QStringLiteral("SELECT %1 FROM messages WHERE user_id IS NOT NULL AND (%2) AND id > ? AND id <= ? "
                       "ORDER BY id DESC LIMIT ?")
            .arg(ScheduleStore::MessageColumns, where));
    for (const QVariant& value : values)
        q.addBindValue(value);
    q.addBindValue(sinceId);
    q.addBindValue(maxId > 0 ? maxId : std::numeric_limits<qint64>::max());
    q.addBindValue(count);
    QList<StoreMessage> list;
    if (m_store.run(q)) {
        while (q.next())
            list.append(ScheduleStore::messageOf(q));
    }
    return list;
}

QList<StoreMessage> SocialStore::homeTimeline(qint64 userId, qint64 sinceId, qint64 maxId, int count,
                                              bool excludeReplies)
{
    return statuses(QStringLiteral("(user_id = ? OR user_id IN (SELECT followee FROM social_follows WHERE "
                                   "follower = ?))%1")
                        .arg(excludeReplies ? QStringLiteral(" AND reply_to_id IS NULL") : QString()),
                    {userId, userId}, sinceId, maxId, count);
}

QList<StoreMessage> SocialStore::mentions(const StoreUser& user, qint64 sinceId, qint64 maxId, int count)
{
    return statuses(QStringLiteral("user_id != ? AND (lower(text) LIKE lower(?) ESCAPE '\\' OR "
                                   "lower(reply_to_screen_name) = lower(?))"),
                    {user.id, ScheduleStore::containing(u'@' + user.screenName), user.screenName}, sinceId,
                    maxId, count);
}

QList<StoreMessage> SocialStore::userTimeline(qint64 userId, qint64 sinceId, qint64 maxId, int count)
{
    return statuses(QStringLiteral("user_id = ?"), {userId}, sinceId, maxId, count);
}

bool SocialStore::setFavorite(qint64 userId, qint64 statusId, bool favorite)
{
    if (favorite)
        return exec(QStringLiteral("INSERT INTO social_favorites (user_id, message_id) VALUES (?, ?) ON "
                                   "CONFLICT DO NOTHING"),
                    {userId, statusId}) ||
               isFavorite(userId, statusId);
    exec(QStringLiteral("DELETE FROM social_favorites WHERE user_id = ? AND message_id = ?"),
         {userId, statusId});
    return true;
}

bool SocialStore::isFavorite(qint64 userId, qint64 statusId)
{
    QSqlQuery q(m_store.connection());
    q.prepare(QStringLiteral("SELECT 1 FROM social_favorites WHERE user_id = ? AND message_id = ?"));
    q.addBindValue(userId);
    q.addBindValue(statusId);
    return m_store.run(q) && q.next();
}

qint64 SocialStore::addDirectMessage(qint64 sender, qint64 recipient, const QString& text, qint64 time)
{
    QSqlQuery q(m_store.connection());
    q.prepare(QStringLiteral(
        "INSERT INTO social_direct (sender, recipient, text, time) VALUES (?, ?, ?, ?) RETURNING id"));
    for (const QVariant& value : {QVariant(sender), QVariant(recipient), QVariant(text), QVariant(time)})
        q.addBindValue(value);
    return m_store.insertReturningId(q);
}

qint64 SocialStore::addMedia(qint64 userId, const QByteArray& png, qint64 time)
{
    QSqlQuery q(m_store.connection());
    q.prepare(
        QStringLiteral("INSERT INTO social_media (user_id, png, created) VALUES (?, ?, ?) RETURNING id"));
    for (const QVariant& value : {QVariant(userId), QVariant(png), QVariant(time)})
        q.addBindValue(value);
    return m_store.insertReturningId(q);
}

std::optional<std::pair<qint64, QByteArray>> SocialStore::media(qint64 id)
{
    QSqlQuery q(m_store.connection());
    q.prepare(QStringLiteral("SELECT user_id, png FROM social_media WHERE id = ?"));
    q.addBindValue(id);
    if (m_store.run(q) && q.next())
        return std::make_pair(q.value(0).toLongLong(), q.value(1).toByteArray());
    return std::nullopt;
}

QString SocialStore::hashtagOf(const QString& channelName)
{
    QString tag;
    for (const QChar c : channelName) {
        if (c.isLetterOrNumber() || c == u'_')
            tag.append(c);
    }
    return ScheduleStore::fold(tag);
}

int SocialStore::channelOfHashtag(const QString& tag)
{
    const QString wanted = hashtagOf(tag);
    if (wanted.isEmpty())
        return 0;
    QSqlQuery q(m_store.connection());
    q.prepare(QStringLiteral("SELECT id, name FROM channels ORDER BY id"));
    if (m_store.run(q)) {
        while (q.next()) {
            if (hashtagOf(q.value(1).toString()) == wanted)
                return q.value(0).toInt();
        }
    }
    return 0;
}

bool SocialStore::setConsumer(const QString& key, const QString& secret, const QString& name,
                              const QString& url)
{
    return exec(
        QStringLiteral("INSERT INTO social_consumers (key, secret, name, url) VALUES (?, ?, ?, ?) "
                       "ON CONFLICT (key) DO UPDATE SET secret = excluded.secret, name = excluded.name, "
                       "url = excluded.url"),
        {key, secret, name, url});
}

std::optional<QStringList> SocialStore::consumer(const QString& key)
{
    QSqlQuery q(m_store.connection());
    q.prepare(QStringLiteral("SELECT secret, name, url FROM social_consumers WHERE key = ?"));
    q.addBindValue(key);
    if (m_store.run(q) && q.next())
        return QStringList{q.value(0).toString(), q.value(1).toString(), q.value(2).toString()};
    return std::nullopt;
}

bool SocialStore::addToken(const StoreToken& t)
{
    return exec(QStringLiteral("INSERT INTO social_tokens (token, secret, kind, consumer, user_id, callback, "
                               "verifier, created) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"),
                {t.token, t.secret, t.kind, t.consumer, t.userId > 0 ? QVariant(t.userId) : QVariant(),
                 t.callback, t.verifier, t.created});
}

std::optional<StoreToken> SocialStore::token(const QString& token)
{
    QSqlQuery q(m_store.connection());
    q.prepare(
        QStringLiteral("SELECT token, secret, kind, consumer, user_id, callback, verifier, created FROM "
                       "social_tokens WHERE token = ?"));
    q.addBindValue(token);
    if (m_store.run(q) && q.next())
        return tokenOf(q);
    return std::nullopt;
}

bool SocialStore::authorizeToken(const QString& token, qint64 userId, const QString& verifier)
{
    return exec(
        QStringLiteral("UPDATE social_tokens SET user_id = ?, verifier = ? WHERE token = ? AND kind = ?"),
        {userId, verifier, token, int(StoreToken::Request)});
}

bool SocialStore::deleteToken(const QString& token)
{
    return exec(QStringLiteral("DELETE FROM social_tokens WHERE token = ?"), {token});
}

bool SocialStore::pruneRequestTokens(qint64 olderThan)
{
    return exec(QStringLiteral("DELETE FROM social_tokens WHERE kind = ? AND created < ?"),
                {int(StoreToken::Request), olderThan});
}
