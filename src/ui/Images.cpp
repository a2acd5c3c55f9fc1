#include "Images.h"

#include <QFile>
#include <QHash>

namespace {

QString resourcePath(const QString& name)
{
    const QString path = QStringLiteral(":/images/") + name;
    if (name.contains(u'.'))
        return path;
    return path + QStringLiteral(".png");
}

} // namespace

QPixmap Images::named(const QString& name)
{
    static QHash<QString, QPixmap> loaded;
    if (auto it = loaded.constFind(name); it != loaded.constEnd())
        return *it;
    QPixmap pixmap(resourcePath(name));
    if (!pixmap.isNull())
        pixmap.setDevicePixelRatio(2.0); // images are drawn at twice their size in points
    loaded.insert(name, pixmap);
    return pixmap;
}

bool Images::exists(const QString& name)
{
    return QFile::exists(resourcePath(name));
}
