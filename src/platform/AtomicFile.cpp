#include "AtomicFile.h"

#include <QSaveFile>

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
