#pragma once

#include <QString>

class QLabel;
class QProgressBar;
class QWidget;

// The small pieces the Twitter panels are built of.
class TwitterPanelParts
{
public:
    // A word-wrapping label of plain text (never markup) in Helvetica.
    static QLabel* plainLabel(int pixels, bool bold, const QString& color, QWidget* parent);
    // A thin bar that runs while a request is out, at most maxWidth wide (0: any); hidden at
    // first.
    static QProgressBar* busyBar(QWidget* parent, int maxWidth = 0);
};
