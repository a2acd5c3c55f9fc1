#pragma once

#include <QSize>
#include <QString>

// The device the application presents itself as: its idiom (phone or tablet screen tree),
// its screen size in points, and the platform version text.
class Device
{
public:
    enum class Idiom
    {
        Phone,
        Tablet
    };

    static Idiom idiom();
    static void setIdiom(Idiom idiom);
    static bool isTablet() { return idiom() == Idiom::Tablet; }

    // The main screen's bounds for the idiom: 390 x 844 (phone), 1024 x 768 (tablet).
    static QSize screenSize();

    // The platform version text used where the application compares versions: the version
    // of the Qt runtime ("6.4.2"). It compares not lower than "6.0".
    static QString systemVersion();
    // Numeric comparison of dotted version texts: negative, zero or positive.
    static int compareVersions(const QString& a, const QString& b);
    // The machine name of the operating system (uname -m), read once.
    static QString machineName();
};
