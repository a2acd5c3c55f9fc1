#include "RedisDeviceBook.h"

#include <QDataStream>
#include <QDeadlineTimer>
#include <QIODevice>
#include <QLoggingCategory>
#include <QUrl>

#include <hiredis/hiredis.h>

#include <memory>

Q_LOGGING_CATEGORY(lcRedis, "orvane.redis")

namespace {

constexpr int MinRetryDelayMs = 250;
constexpr int MaxRetryDelayMs = 5000;
constexpr int TimeoutMs = 1000;
constexpr quint8 EncodingVersion = 2;
const QByteArray HeardKey = "orvane:heard";

// Keeps the upload as the newest; one with the newest's time (the prefix up to ":")
// replaces it. KEYS[1] the list; ARGV: the entry, its time, how many to keep, the TTL (ms).
const char* KeepScript = R"(
local last = redis.call('LINDEX', KEYS[1], -1)
local prefix = ARGV[2] .. ':'
if last and string.sub(last, 1, #prefix) == prefix then redis.call('RPOP', KEYS[1]) end
redis.call('RPUSH', KEYS[1], ARGV[1])
redis.call('LTRIM', KEYS[1], -tonumber(ARGV[3]), -1)
redis.call('PEXPIRE', KEYS[1], ARGV[4])
return 1
)";

// A token bucket. KEYS[1] the bucket; ARGV: now (ms), tokens per ms, burst, TTL (ms).
const char* AdmitScript = R"(
local now = tonumber(ARGV[1])
local burst = tonumber(ARGV[3])
local state = redis.call('HMGET', KEYS[1], 't', 'r')
local tokens = tonumber(state[1]) or burst
local at = tonumber(state[2]) or now
tokens = math.min(burst, tokens + math.max(0, now - at) * tonumber(ARGV[2]))
local admitted = 0
if tokens >= 1 then
  tokens = tokens - 1
  admitted = 1
end
redis.call('HSET', KEYS[1], 't', tostring(tokens), 'r', ARGV[1])
redis.call('PEXPIRE', KEYS[1], ARGV[4])
return admitted
)";

// KEYS[1] the set; ARGV: the device, now (s), the window (s), how many to keep.
const char* HeardScript = R"(
redis.call('ZADD', KEYS[1], ARGV[2], ARGV[1])
redis.call('ZREMRANGEBYSCORE', KEYS[1], '-inf', tonumber(ARGV[2]) - tonumber(ARGV[3]))
redis.call('ZREMRANGEBYRANK', KEYS[1], 0, -tonumber(ARGV[4]) - 1)
return 1
)";

QByteArray uploadsKey(const QByteArray& device)
{
    return "orvane:up:" + device;
}

QByteArray rateKey(const QByteArray& device)
{
    return "orvane:rate:" + device;
}

struct ReplyDeleter
{
    void operator()(redisReply* reply) const { freeReplyObject(reply); }
};
using Reply = std::unique_ptr<redisReply, ReplyDeleter>;

// One command of binary-safe arguments; null when the connection failed.
Reply command(redisContext* context, const std::vector<QByteArray>& arguments)
{
    std::vector<const char*> pointers;
    std::vector<size_t> lengths;
    for (const QByteArray& argument : arguments) {
        pointers.push_back(argument.constData());
        lengths.push_back(size_t(argument.size()));
    }
    return Reply(static_cast<redisReply*>(
        redisCommandArgv(context, int(arguments.size()), pointers.data(), lengths.data())));
}

} // namespace

// A connection taken from the pool for one call, given back when it ends.
class RedisDeviceBook::Lease
{
public:
    explicit Lease(const RedisDeviceBook& book) : m_book(book), m_context(book.acquire()) {}
    ~Lease() { m_book.release(m_context, m_failed); }
    Lease(const Lease&) = delete;
    Lease& operator=(const Lease&) = delete;

    // The reply, or null when the server is down or the connection failed (the reply of an
    // error is logged and counts as a failure too).
    Reply run(const std::vector<QByteArray>& arguments)
    {
        if (!m_context)
            return nullptr;
        Reply reply = command(m_context, arguments);
        if (!reply || m_context->err) {
            m_failed = true;
            return nullptr;
        }
        if (reply->type == REDIS_REPLY_ERROR) {
            qCWarning(lcRedis).noquote() << "redis:" << QByteArray(reply->str, int(reply->len));
            return nullptr;
        }
        return reply;
    }

private:
    const RedisDeviceBook& m_book;
    redisContext* m_context;
    bool m_failed = false;
};

QString RedisDeviceBook::Address::display() const
{
    return QStringLiteral("redis://%1:%2").arg(host).arg(port);
}

std::optional<RedisDeviceBook::Address> RedisDeviceBook::parse(const QString& text, QString* error)
{
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid() || url.scheme() != u"redis" || url.host().isEmpty() || url.port(6379) < 1 ||
        (!url.path().isEmpty() && url.path() != u"/")) {
        if (error)
            *error = QStringLiteral("a Redis address reads redis://HOST:PORT");
        return std::nullopt;
    }
    return Address{url.host(), url.port(6379), url.password()};
}

RedisDeviceBook::RedisDeviceBook(Address address, DeviceBook::Settings settings)
    : m_address(std::move(address)), m_settings(settings)
{}

RedisDeviceBook::~RedisDeviceBook()
{
    for (redisContext* context : m_idle)
        redisFree(context);
}

redisContext* RedisDeviceBook::acquire(QString* error) const
{
    {
        std::lock_guard guard(m_lock);
        if (!m_idle.empty()) {
            redisContext* context = m_idle.back();
            m_idle.pop_back();
            return context;
        }
        if (QDeadlineTimer::current().deadline() < m_retryAtMs) {
            if (error)
                *error = QStringLiteral("not answering (trying again shortly)");
            return nullptr;
        }
    }
    // Connecting happens outside the lock: other calls go on meanwhile.
    const timeval timeout{TimeoutMs / 1000, (TimeoutMs % 1000) * 1000};
    redisContext* context =
        redisConnectWithTimeout(m_address.host.toUtf8().constData(), m_address.port, timeout);
    bool ok = context && !context->err && redisSetTimeout(context, timeout) == REDIS_OK;
    if (ok && !m_address.password.isEmpty()) {
        const Reply reply = command(context, {"AUTH", m_address.password.toUtf8()});
        ok = reply && reply->type != REDIS_REPLY_ERROR;
        if (!ok && error)
            *error = QStringLiteral("the password was refused");
    }
    if (!ok) {
        if (error && error->isEmpty())
            *error = context ? QString::fromUtf8(context->errstr) : QStringLiteral("cannot connect");
        if (context)
            redisFree(context);
        release(nullptr, true);
        return nullptr;
    }
    std::lock_guard guard(m_lock);
    if (m_retryDelayMs > 0)
        qCInfo(lcRedis).noquote() << "redis: connected again to" << m_address.display();
    m_retryDelayMs = 0;
    return context;
}

void RedisDeviceBook::release(redisContext* context, bool failed) const
{
    if (failed && context) {
        redisFree(context);
        context = nullptr;
    }
    std::lock_guard guard(m_lock);
    if (context) {
        m_idle.push_back(context);
        return;
    }
    if (!failed)
        return;
    if (m_retryDelayMs == 0)
        qCWarning(lcRedis).noquote()
            << QStringLiteral("redis: lost %1; trying again").arg(m_address.display());
    m_retryDelayMs = std::min(MaxRetryDelayMs, std::max(MinRetryDelayMs, m_retryDelayMs * 2));
    m_retryAtMs = QDeadlineTimer::current().deadline() + m_retryDelayMs;
    // The pooled connections went to the same server: close them too.
    for (redisContext* idle : m_idle)
        redisFree(idle);
    m_idle.clear();
}

bool RedisDeviceBook::reachable(QString* error)
{
    redisContext* context = acquire(error);
    if (!context)
        return false;
    const Reply reply = command(context, {"PING"});
    const bool ok = reply && reply->type != REDIS_REPLY_ERROR;
    if (!ok && error)
        *error = QString::fromUtf8(context->errstr);
    release(context, !ok);
    return ok;
}

DeviceState::Admission RedisDeviceBook::admit(const QByteArray& device, qint64 nowMs)
{
    const double perMs = m_settings.requestsPerSecond / 1000.0;
    const qint64 fullMs = qint64(m_settings.burst / perMs) + 1000;
    Lease lease(*this);
    const Reply reply =
        lease.run({"EVAL", AdmitScript, "1", rateKey(device), QByteArray::number(nowMs),
                   QByteArray::number(perMs, 'g', 17), QByteArray::number(m_settings.burst, 'g', 17),
                   QByteArray::number(fullMs)});
    if (!reply || reply->type != REDIS_REPLY_INTEGER)
        return Admission::Unavailable;
    return reply->integer == 1 ? Admission::Admitted : Admission::TooMany;
}

bool RedisDeviceBook::keep(const QByteArray& device, const UploadConfirmation::Upload& upload, qint64 nowMs)
{
    Q_UNUSED(nowMs)
    const QByteArray at = QByteArray::number(qint64(upload.atMs));
    Lease lease(*this);
    return lease.run({"EVAL", KeepScript, "1", uploadsKey(device), at + ':' + encode(upload), at,
                      QByteArray::number(UploadConfirmation::MaxUploads),
                      QByteArray::number(m_settings.keepMs)}) != nullptr;
}

std::optional<std::vector<UploadConfirmation::Upload>> RedisDeviceBook::kept(const QByteArray& device,
                                                                             qint64 nowMs) const
{
    Lease lease(*this);
    const Reply reply = lease.run({"LRANGE", uploadsKey(device), "0", "-1"});
    if (!reply || reply->type != REDIS_REPLY_ARRAY)
        return std::nullopt;
    std::vector<UploadConfirmation::Upload> uploads;
    for (size_t i = 0; i < reply->elements; ++i) {
        const redisReply* element = reply->element[i];
        if (element->type != REDIS_REPLY_STRING)
            continue;
        const QByteArray entry(element->str, qsizetype(element->len));
        const qsizetype colon = entry.indexOf(':');
        const std::optional<UploadConfirmation::Upload> upload = decode(entry.mid(colon + 1));
        if (colon > 0 && upload && nowMs - upload->atMs <= m_settings.keepMs)
            uploads.push_back(*upload);
    }
    return uploads;
}

bool RedisDeviceBook::forget(const QByteArray& device)
{
    Lease lease(*this);
    return lease.run({"DEL", uploadsKey(device)}) != nullptr;
}

std::optional<int> RedisDeviceBook::heardFrom(qint64 nowMs, qint64 windowSeconds) const
{
    Lease lease(*this);
    const Reply reply =
        lease.run({"ZCOUNT", HeardKey, QByteArray::number(nowMs / 1000 - windowSeconds), "+inf"});
    if (!reply || reply->type != REDIS_REPLY_INTEGER)
        return std::nullopt;
    return int(reply->integer);
}

void RedisDeviceBook::heard(const QByteArray& device, qint64 nowMs)
{
    Lease lease(*this);
    lease.run({"EVAL", HeardScript, "1", HeardKey, device, QByteArray::number(nowMs / 1000),
               QByteArray::number(ScheduleStore::DeviceWindowSeconds),
               QByteArray::number(m_settings.maxDevices)});
}

QByteArray RedisDeviceBook::encode(const UploadConfirmation::Upload& upload)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << EncodingVersion << qint64(upload.atMs);
    for (const uint32_t value : upload.block)
        out << quint32(value);
    out << quint8(upload.close.size());
    for (const Matcher::Close& close : upload.close)
        out << qint32(close.channelId) << close.ber << qint64(close.position) << close.elsewhere
            << close.likeness << close.rate;
    return bytes;
}

std::optional<UploadConfirmation::Upload> RedisDeviceBook::decode(const QByteArray& bytes)
{
    QDataStream in(bytes);
    quint8 version = 0;
    qint64 atMs = 0;
    in >> version >> atMs;
    if (version != EncodingVersion)
        return std::nullopt;
    UploadConfirmation::Upload upload;
    upload.atMs = atMs;
    for (uint32_t& value : upload.block) {
        quint32 read = 0;
        in >> read;
        value = read;
    }
    quint8 count = 0;
    in >> count;
    if (count > Matcher::MaxClose)
        return std::nullopt;
    for (int i = 0; i < count; ++i) {
        qint32 channelId = 0;
        qint64 position = 0;
        Matcher::Close close;
        in >> channelId >> close.ber >> position >> close.elsewhere >> close.likeness >> close.rate;
        close.channelId = channelId;
        close.position = position;
        upload.close.push_back(close);
    }
    if (in.status() != QDataStream::Ok || !in.atEnd())
        return std::nullopt;
    return upload;
}
