#include "Paths.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

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
