#include "NavigationItem.h"

void NavigationItem::setTitle(const QString& title)
{
    m_title = title;
    Q_EMIT changed();
}

NavigationItem::~NavigationItem()
{
    delete m_titleView.data();
}

void NavigationItem::setTitleView(QWidget* view)
{
    if (m_titleView == view)
        return;
    // The replaced view goes once the bar has let it go (the bar may be showing it now).
    if (QWidget* previous = m_titleView.data())
        previous->deleteLater();
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
