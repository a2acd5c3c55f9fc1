#include "TapFilter.h"

#include <QMouseEvent>
#include <QWidget>

void TapFilter::install(QWidget* widget, std::function<void()> action)
{
    widget->installEventFilter(new TapFilter(widget, std::move(action)));
}

TapFilter::TapFilter(QWidget* widget, std::function<void()> action)
    : QObject(widget), m_action(std::move(action))
{}

bool TapFilter::eventFilter(QObject* watched, QEvent* event)
{
    auto* widget = static_cast<QWidget*>(watched);
    if (event->type() == QEvent::MouseButtonPress)
        return static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton; // the release comes here too
    if (event->type() == QEvent::MouseButtonRelease) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && widget->rect().contains(mouse->position().toPoint()) &&
            m_action)
            m_action();
        return true;
    }
    return QObject::eventFilter(watched, event);
}
