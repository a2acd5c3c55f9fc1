#include "IconFile.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QImageReader>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace IconFile {

QImage read(const QString& path, QString* why)
{
    // Opened without waiting (a FIFO would wait for a writer), then checked on the open
    // descriptor, so that the file cannot be swapped between the check and the read.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        *why = u"cannot be opened"_s;
        return {};
    }
    struct stat info
    {
    };
    QByteArray bytes;
    bool ok = false;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        *why = u"is not a regular file"_s;
    } else if (info.st_size > MaxBytes) {
        *why = u"is larger than %1 bytes"_s.arg(MaxBytes);
    } else {
        QElapsedTimer clock;
        clock.start();
        bytes.resize(qsizetype(info.st_size));
        qsizetype got = 0;
        ok = true;
        while (got < bytes.size()) {
            const ssize_t n = ::read(fd, bytes.data() + got, size_t(bytes.size() - got));
            if (n > 0) {
                got += n;
            } else if (n < 0 && errno == EINTR) {
                continue;
            } else {
                bytes.truncate(got); // shorter than it said: take what there is
                break;
            }
            if (clock.elapsed() > TimeLimitMs) {
                *why = u"could not be read within %1 ms"_s.arg(TimeLimitMs);
                ok = false;
                break;
            }
        }
    }
    ::close(fd);
    if (!ok)
        return {};

    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (size.isValid() && (size.width() > MaxSide || size.height() > MaxSide)) {
        *why = u"is %1×%2 pixels, more than %3 a side"_s.arg(size.width()).arg(size.height()).arg(MaxSide);
        return {};
    }
    const QImage image = reader.read();
    if (image.isNull())
        *why = u"is not a picture: %1"_s.arg(reader.errorString());
    return image;
}

} // namespace IconFile
