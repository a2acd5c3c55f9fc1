#include "NavigationItem.h"

void NavigationItem::setTitle(const QString& title)
{
    m_title = title;
    Q_EMIT changed();
}

void NavigationItem::setTitleView(QWidget* view)
{
    if (m_titleView == view)
        return;
    m_titleView = view;
    Q_EMIT changed();
}

void NavigationItem::setLeftBarButtonItems(const QList<BarButtonItem>& items)
{
    m_left = items;
    Q_EMIT changed();
}

void NavigationItem::setRightBarButtonItems(const QList<BarButtonItem>& items)
{
    m_right = items;
    Q_EMIT changed();
}

void NavigationItem::setHidesBackButton(bool hides)
{
    m_hidesBackButton = hides;
    Q_EMIT changed();
}
