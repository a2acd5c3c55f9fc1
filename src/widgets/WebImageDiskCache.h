#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

// Downloaded pictures kept on disk ("images" in the documents folder) under the MD5 of their
// address, at most MaxBytes in all: past that the least recently used go first. Main thread.
class WebImageDiskCache
{
public:
    static constexpr qint64 MaxBytes = 32 * 1024 * 1024;

    // The stored bytes, or empty. A hit counts as a use.
    static QByteArray read(const QUrl& url);
    static void write(const QUrl& url, const QByteArray& bytes);
    static QString folder();
    // Removes the least recently used files until the folder holds at most maxBytes.
    static void trim(qint64 maxBytes = MaxBytes);
};
