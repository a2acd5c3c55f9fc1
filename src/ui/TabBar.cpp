#include "TabBar.h"

#include "Images.h"

#include <QMouseEvent>
#include <QPainter>

TabBar::TabBar(QWidget* parent) : QWidget(parent)
{
    setFixedHeight(Height);
    setObjectName(QStringLiteral("tabBar"));
}

void TabBar::setItems(const QList<TabBarItem>& items)
{
    m_items = items;
    update();
}

void TabBar::setSelectedIndex(int index)
{
    m_selected = index;
    update();
}

QRect TabBar::itemRect(int index) const
{
    if (m_items.isEmpty())
        return {};
    const int width = this->width() / int(m_items.size());
    return QRect(index * width, 0, width, height());
}

void TabBar::mouseReleaseEvent(QMouseEvent* event)
{
    for (int i = 0; i < m_items.size(); ++i) {
        if (itemRect(i).contains(event->position().toPoint())) {
            Q_EMIT tabClicked(i);
            return;
        }
    }
}

void TabBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient background(0, 0, 0, height());
    background.setColorAt(0, QColor(58, 58, 58));
    background.setColorAt(0.5, QColor(26, 26, 26));
    background.setColorAt(1, QColor(8, 8, 8));
    painter.fillRect(rect(), background);

    QFont font = painter.font();
    font.setPixelSize(10);
    font.setBold(true);
    painter.setFont(font);
    for (int i = 0; i < m_items.size(); ++i) {
        const QRect cell = itemRect(i);
        const bool selected = i == m_selected;
        if (selected) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(QColor(255, 255, 255, 34));
            painter.drawRoundedRect(cell.adjusted(3, 2, -3, -2), 4, 4);
        }
        const QPixmap icon = Images::named(m_items[i].imageName);
        const QRect iconRect(cell.center().x() - 15, cell.top() + 3, 30, 30);
        if (!icon.isNull()) {
            QPixmap tinted = icon;
            if (!selected) {
                QPainter tint(&tinted);
                tint.setCompositionMode(QPainter::CompositionMode_SourceIn);
                tint.fillRect(tinted.rect(), QColor(150, 150, 150));
            }
            painter.drawPixmap(iconRect, tinted);
        }
        painter.setPen(selected ? QColor(255, 255, 255) : QColor(150, 150, 150));
        painter.drawText(QRect(cell.left(), cell.top() + 34, cell.width(), 13), Qt::AlignCenter,
                         m_items[i].title);
    }
}
