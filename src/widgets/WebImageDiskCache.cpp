#include "WebImageDiskCache.h"

#include "platform/AtomicFile.h"
#include "platform/Paths.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

constexpr qint64 MaxPictureBytes = 4 * 1024 * 1024;
qint64 g_writtenSinceTrim = 0;

QString pathOf(const QUrl& url)
{
    return WebImageDiskCache::folder() + u'/' +
           QString::fromLatin1(QCryptographicHash::hash(url.toEncoded(), QCryptographicHash::Md5).toHex());
}

} // namespace

QString WebImageDiskCache::folder()
{
    return Paths::documents() + QStringLiteral("/images");
}

QByteArray WebImageDiskCache::read(const QUrl& url)
{
    QFile file(pathOf(url));
    if (!file.open(QIODevice::ReadOnly) || file.size() > MaxPictureBytes)
        return {};
    const QByteArray bytes = file.readAll();
    file.setFileTime(QDateTime::currentDateTime(), QFileDevice::FileModificationTime);
    return bytes;
}

void WebImageDiskCache::write(const QUrl& url, const QByteArray& bytes)
{
    if (bytes.isEmpty() || bytes.size() > MaxPictureBytes || !Paths::ensurePath(folder()))
        return;
    if (!AtomicFile::write(pathOf(url), bytes))
        return; // a full disk only costs a download next time
    g_writtenSinceTrim += bytes.size();
    if (g_writtenSinceTrim > MaxBytes / 8) {
        g_writtenSinceTrim = 0;
        trim();
    }
}

void WebImageDiskCache::trim(qint64 maxBytes)
{
    QFileInfoList files = QDir(folder()).entryInfoList(QDir::Files, QDir::Time); // newest first
    qint64 total = 0;
    for (const QFileInfo& file : std::as_const(files)) {
        total += file.size();
        if (total > maxBytes)
            QFile::remove(file.absoluteFilePath());
    }
}
