#pragma once

#include <QImage>
#include <QString>

// Reads a listing's icon from the local file system with bounded cost: only a regular file
// (never a FIFO, device or directory, which could block or never end), at most MaxBytes,
// read within TimeLimitMs, and a picture of at most MaxSide pixels a side before decoding.
namespace IconFile {

constexpr qint64 MaxBytes = 4 * 1024 * 1024;
constexpr int TimeLimitMs = 2000;
constexpr int MaxSide = 8192;

// The picture, or a null image with the reason in why.
QImage read(const QString& path, QString* why);

} // namespace IconFile
