#pragma once

#include "TabBarItem.h"

#include <QList>
#include <QWidget>

// The bar of tabs at the bottom of the phone window: an icon and a title per tab.
class TabBar : public QWidget
{
    Q_OBJECT

public:
    static constexpr int Height = 49;

    explicit TabBar(QWidget* parent = nullptr);

    void setItems(const QList<TabBarItem>& items);
    const QList<TabBarItem>& items() const { return m_items; }
    int selectedIndex() const { return m_selected; }
    void setSelectedIndex(int index);
    QRect itemRect(int index) const;

Q_SIGNALS:
    void tabClicked(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QList<TabBarItem> m_items;
    int m_selected = 0;
};
