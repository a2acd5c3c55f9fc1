#include "Paths.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStorageInfo>

namespace {

// Below this much free space a write of a database page or a calendar file fails.
constexpr qint64 MinimumFreeBytes = 64 * 1024;

QString home()
{
    return qEnvironmentVariable("ORVANE_HOME");
}

} // namespace

QString Paths::documents()
{
    const QString base = home();
    const QString path =
        base.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) : base;
    ensurePath(path);
    return path;
}

QString Paths::config()
{
    const QString base = home();
    const QString path = base.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)
                                        : base + QStringLiteral("/config");
    ensurePath(path);
    return path;
}

bool Paths::ensurePath(const QString& path)
{
    if (path.isEmpty())
        return false;
    if (QFileInfo::exists(path))
        return true;
    return QDir().mkpath(path);
}

QString Paths::writeProblem(const QString& folder)
{
    const QFileInfo info(folder);
    if (!info.exists())
        return QStringLiteral("the folder %1 does not exist and cannot be made").arg(folder);
    if (!info.isDir())
        return QStringLiteral("%1 is not a folder").arg(folder);
    if (!info.isWritable())
        return QStringLiteral("permission denied: %1 cannot be written").arg(folder);
    if (QStorageInfo(folder).bytesAvailable() < MinimumFreeBytes)
        return QStringLiteral("the disk is full");
    return {};
}
