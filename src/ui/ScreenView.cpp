#include "ScreenView.h"

#include <QVBoxLayout>
#include <QWidget>

QWidget* ScreenView::column(const QString& objectName, const QList<QWidget*>& widgets,
                            const QColor& background)
{
    auto* view = new QWidget;
    view->setObjectName(objectName);
    view->setAutoFillBackground(true);
    QPalette palette = view->palette();
    palette.setColor(QPalette::Window, background);
    view->setPalette(palette);
    auto* layout = new QVBoxLayout(view);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (int i = 0; i < widgets.size(); ++i)
        layout->addWidget(widgets[i], i == widgets.size() - 1 ? 1 : 0);
    return view;
}
