#include "TwitterPanelParts.h"

#include <QLabel>
#include <QProgressBar>

QLabel* TwitterPanelParts::plainLabel(int pixels, bool bold, const QString& color, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setStyleSheet(QStringLiteral("font: %1 %2px 'Helvetica'; color: %3;")
                             .arg(bold ? QStringLiteral("bold") : QString())
                             .arg(pixels)
                             .arg(color));
    return label;
}

QProgressBar* TwitterPanelParts::busyBar(QWidget* parent, int maxWidth)
{
    auto* bar = new QProgressBar(parent);
    bar->setRange(0, 0);
    bar->setMaximumHeight(6);
    if (maxWidth > 0)
        bar->setMaximumWidth(maxWidth);
    bar->setTextVisible(false);
    bar->hide();
    return bar;
}
