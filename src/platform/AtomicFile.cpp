#include "AtomicFile.h"

#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

bool AtomicFile::write(const QString& path, const QByteArray& bytes, QString* error)
{
    QSaveFile file(path);
    // Unbuffered, and flushed before the commit: a buffered QSaveFile reports the failure of
    // its final flush (ENOSPC) nowhere and renames an empty file over the old one.
    bool written = file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) &&
                   file.write(bytes) == bytes.size() && file.flush();
    QString reason = file.errorString();
    if (written) {
        written = file.commit();
        reason = file.errorString();
    } else {
        file.cancelWriting();
    }
    if (!written && error)
        *error = path + QStringLiteral(": ") + reason;
    return written;
}

bool AtomicFile::writePrivate(const QString& path, const QByteArray& bytes, QString* error)
{
    // QTemporaryFile creates its file with mode 0600.
    QTemporaryFile file(QFileInfo(path).absolutePath() + QStringLiteral("/.secret-XXXXXX"));
    bool written =
        file.open() && file.write(bytes) == bytes.size() && file.flush() && ::fsync(file.handle()) == 0;
    QString reason = file.errorString();
    if (written) {
        file.close();
        written = std::rename(QFile::encodeName(file.fileName()).constData(),
                              QFile::encodeName(path).constData()) == 0;
        if (written)
            file.setAutoRemove(false);
        else
            reason = QString::fromLocal8Bit(std::strerror(errno));
    }
    if (!written && error)
        *error = path + QStringLiteral(": ") + reason;
    return written;
}
