#pragma once

#include <QByteArray>
#include <QString>

// Whole-file writes that either replace the file with all of the new bytes or leave it as
// it was: the bytes go to a temporary file beside it, which is flushed, synced and renamed
// over the file only when everything was written. A full disk, a missing folder or a
// read-only folder report false with the reason; no empty or partial file is left behind.
class AtomicFile
{
public:
    static bool write(const QString& path, const QByteArray& bytes, QString* error = nullptr);
    // The same for secrets: the file is readable and writable by its owner only (0600) from
    // the moment it exists, before any byte is written.
    static bool writePrivate(const QString& path, const QByteArray& bytes, QString* error = nullptr);
};
