#pragma once

#include <QPixmap>
#include <QString>

// Images of the application's resources, by name ("logo.png" or "now_tab"): looked up in
// ":/images", with ".png" added when the name has no extension. Loaded images are kept.
class Images
{
public:
    static QPixmap named(const QString& name);
    static bool exists(const QString& name);
};
