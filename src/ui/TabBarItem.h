#pragma once

#include <QString>

// A screen's entry in the tab bar: its title and the name of its icon image.
struct TabBarItem
{
    QString title;
    QString imageName;
    QString badgeValue;
};
