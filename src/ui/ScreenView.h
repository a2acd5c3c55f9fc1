#pragma once

#include <QColor>
#include <QList>
#include <QString>

class QWidget;

// The view of a list screen: its widgets stacked top to bottom without margins, the last one
// taking the rest of the height, on a plain background.
namespace ScreenView {

QWidget* column(const QString& objectName, const QList<QWidget*>& widgets,
                const QColor& background = Qt::white);

} // namespace ScreenView
