// The file caches of Utilities.
#include "Utilities.h"

#include "platform/AtomicFile.h"
#include "platform/Dispatch.h"
#include "platform/HttpFetcher.h"
#include "platform/Json.h"
#include "platform/JsonValue.h"
#include "platform/Paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>

#include <mutex>

Q_LOGGING_CATEGORY(lcCache, "orvane.cache")

namespace {

struct NearCache
{
    std::mutex lock;
    QString id;
    QVariantMap data;
    bool filled = false;
};

NearCache& nearCache()
{
    static NearCache cache;
    return cache;
}

// A value a property list could not hold: JSON null, anywhere in the tree.
bool containsNull(const QVariant& value)
{
    if (Json::isNull(value))
        return true;
    if (JsonValue::isMap(value)) {
        const QVariantMap map = value.toMap();
        for (auto it = map.begin(); it != map.end(); ++it) {
            if (containsNull(it.value()))
                return true;
        }
    } else if (JsonValue::isList(value)) {
        for (const QVariant& item : value.toList()) {
            if (containsNull(item))
                return true;
        }
    }
    return false;
}

bool writeAnswer(const QString& path, const QVariantMap& answer)
{
    if (containsNull(answer))
        return false;
    QString error;
    const bool written = AtomicFile::write(path, Json::encode(answer), &error);
    if (!written)
        qCWarning(lcCache).noquote() << "could not write" << error;
    return written;
}

std::optional<QVariantMap> readAnswer(const QString& path)
{
    // Only a regular file of at most the size of a network answer is read (a FIFO would
    // block, a huge file would be read whole); anything else reads as none, and the next
    // answer written replaces it.
    const QFileInfo info(path);
    if (!info.exists())
        return std::nullopt;
    const qint64 limit = HttpFetcher::maximumBodySize();
    if (!info.isFile() || info.size() > limit) {
        qCWarning(lcCache) << "ignored" << path << "(not a regular file of at most" << limit << "bytes)";
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.read(limit + 1);
    if (bytes.size() > limit)
        return std::nullopt;
    const QVariant value = Json::decode(bytes);
    if (!JsonValue::isMap(value))
        return std::nullopt;
    return value.toMap();
}

// A dictionary worth keeping: a dictionary without "nodata".
std::optional<QVariantMap> cacheable(const QVariant& answer)
{
    if (!JsonValue::isMap(answer))
        return std::nullopt;
    QVariantMap map = answer.toMap();
    if (map.contains(QStringLiteral("nodata")))
        return std::nullopt;
    return map;
}

QString folder(const QString& name)
{
    const QString path = Utilities::documentPath() + u'/' + name;
    Utilities::ensurePathAt(path);
    return path;
}

void clearFolder(const QString& path)
{
    QDir dir(path);
    const QFileInfoList entries =
        dir.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    for (const QFileInfo& entry : entries) {
        if (entry.isDir() && !entry.isSymLink())
            QDir(entry.absoluteFilePath()).removeRecursively();
        else
            QFile::remove(entry.absoluteFilePath());
    }
}

} // namespace

SerialQueue& Utilities::sharedCacheDispatchQueue()
{
    return Dispatch::cacheQueue();
}

bool Utilities::isSafeCacheName(const QString& name)
{
    if (name.isEmpty() || name == u"." || name == u".." || name.toUtf8().size() > 128)
        return false;
    for (const QChar c : name) {
        if (c == u'/' || c == u'\\' || c.unicode() == 0)
            return false;
    }
    return true;
}

QString Utilities::documentPath()
{
    return Paths::documents();
}

QString Utilities::showsPath()
{
    return folder(QStringLiteral("shows"));
}

QString Utilities::ratingsPath()
{
    return folder(QStringLiteral("ratings"));
}

QString Utilities::channelsPath()
{
    return folder(QStringLiteral("channels"));
}

QString Utilities::programsPathWithDate(const std::optional<QDateTime>& date)
{
    const QString programs = folder(QStringLiteral("programs"));
    if (!date)
        return programs;
    const QString day = programs + u'/' + stringFromDate(*date);
    ensurePathAt(day);
    return day;
}

bool Utilities::ensurePathAt(const QString& path)
{
    return Paths::ensurePath(path);
}

bool Utilities::saveChannProgramData(const QVariant& answer, const QString& channelId, const QDateTime& day)
{
    const std::optional<QVariantMap> map = cacheable(answer);
    if (!map || !isSafeCacheName(channelId))
        return false;
    return writeAnswer(programsPathWithDate(day) + u'/' + channelId, *map);
}

std::optional<QVariantMap> Utilities::getChannProgramDataById(const QString& channelId, const QDateTime& day)
{
    if (!isSafeCacheName(channelId))
        return std::nullopt;
    return readAnswer(programsPathWithDate(day) + u'/' + channelId);
}

void Utilities::clearChannProgramData()
{
    clearFolder(programsPathWithDate(std::nullopt));
}

bool Utilities::saveChannelsData(const QVariant& answer)
{
    const std::optional<QVariantMap> map = cacheable(answer);
    return map && writeAnswer(channelsPath() + QStringLiteral("/all"), *map);
}

std::optional<QVariantMap> Utilities::getChannelsData()
{
    return readAnswer(channelsPath() + QStringLiteral("/all"));
}

void Utilities::clearChannelsData()
{
    clearFolder(channelsPath());
}

bool Utilities::saveChannRatingsData(const QVariant& answer)
{
    const std::optional<QVariantMap> map = cacheable(answer);
    return map && writeAnswer(ratingsPath() + QStringLiteral("/all"), *map);
}

std::optional<QVariantMap> Utilities::getChannRatingsData()
{
    return readAnswer(ratingsPath() + QStringLiteral("/all"));
}

void Utilities::clearChannRatingsData()
{
    clearFolder(ratingsPath());
}

bool Utilities::saveShowData(const QVariant& answer, const QString& showId)
{
    if (!JsonValue::isMap(answer) || !isSafeCacheName(showId))
        return false;
    const QVariantMap map = answer.toMap();
    saveDataToNearCache(map, showId);
    return writeAnswer(showsPath() + u'/' + showId, map);
}

std::optional<QVariantMap> Utilities::getShowDataById(const QString& showId)
{
    if (std::optional<QVariantMap> near = getDataFromNearCache(showId))
        return near;
    if (!isSafeCacheName(showId))
        return std::nullopt;
    std::optional<QVariantMap> stored = readAnswer(showsPath() + u'/' + showId);
    if (stored)
        saveDataToNearCache(*stored, showId);
    return stored;
}

void Utilities::clearShowCache()
{
    clearFolder(showsPath());
}

void Utilities::saveDataToNearCache(const QVariantMap& answer, const QString& showId)
{
    NearCache& cache = nearCache();
    std::lock_guard guard(cache.lock);
    cache.id = showId;
    cache.data = answer;
    cache.filled = true;
}

std::optional<QVariantMap> Utilities::getDataFromNearCache(const QString& showId)
{
    NearCache& cache = nearCache();
    std::lock_guard guard(cache.lock);
    if (!cache.filled || cache.id != showId)
        return std::nullopt;
    return cache.data;
}

QStringList Utilities::fileNames()
{
    QDir dir(showsPath());
    if (!dir.exists())
        return {};
    return dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
}
