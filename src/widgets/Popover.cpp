#include "Popover.h"

#include "ui/Window.h"

#include <QPainter>
#include <QPainterPath>

Popover::Popover(QWidget* content) : m_content(content)
{
    setObjectName(QStringLiteral("popover"));
    setAttribute(Qt::WA_TranslucentBackground);
    content->setParent(this);
}

void Popover::presentPopoverFromRect(const QRect& rect, QWidget* view, ArrowDirection direction,
                                     bool animated)
{
    Window* window = Window::keyWindow();
    QWidget* host = window ? static_cast<QWidget*>(window) : view->window();
    const QRect anchor(view->mapTo(host, rect.topLeft()), rect.size());
    // Only the down and up arrows are drawn; any other request is served by the one that fits.
    m_direction = (direction & ArrowDown) || !(direction & ArrowUp) ? ArrowDown : ArrowUp;

    const QSize inner = m_content->size();
    const QSize outer(inner.width() + 2 * Border, inner.height() + 2 * Border + ArrowHeight);
    int x = anchor.center().x() - outer.width() / 2;
    x = std::clamp(x, 0, std::max(0, host->width() - outer.width()));
    int y = m_direction == ArrowDown ? anchor.top() - outer.height() : anchor.bottom() + 1;
    y = std::clamp(y, 0, std::max(0, host->height() - outer.height()));

    if (window)
        window->addOverlay(this, true);
    else
        setParent(host);
    setGeometry(x, y, outer.width(), outer.height());
    const int top = m_direction == ArrowDown ? Border : Border + ArrowHeight;
    m_content->move(Border, top);
    m_content->show();
    m_arrowTip = QPoint(anchor.center().x() - x, m_direction == ArrowDown ? outer.height() : 0);
    m_visible = true;
    show();
    raise();
}

void Popover::dismissPopoverAnimated(bool animated)
{
    if (!m_visible)
        return;
    m_visible = false;
    hide();
    Q_EMIT dismissed();
}

void Popover::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const bool down = m_direction == ArrowDown;
    const QRectF bubble =
        QRectF(rect()).adjusted(0.5, down ? 0.5 : ArrowHeight, -0.5, down ? -ArrowHeight : -0.5);
    QPainterPath path;
    path.addRoundedRect(bubble, 8, 8);
    const qreal tipX = std::clamp<qreal>(m_arrowTip.x(), bubble.left() + 14, bubble.right() - 14);
    QPainterPath arrow;
    if (down) {
        arrow.moveTo(tipX - ArrowHeight, bubble.bottom() - 1);
        arrow.lineTo(tipX, height() - 0.5);
        arrow.lineTo(tipX + ArrowHeight, bubble.bottom() - 1);
    } else {
        arrow.moveTo(tipX - ArrowHeight, bubble.top() + 1);
        arrow.lineTo(tipX, 0.5);
        arrow.lineTo(tipX + ArrowHeight, bubble.top() + 1);
    }
    arrow.closeSubpath();
    path = path.united(arrow);
    QLinearGradient fill(0, 0, 0, height());
    fill.setColorAt(0, QColor(70, 78, 120, 245));
    fill.setColorAt(1, QColor(20, 24, 44, 245));
    painter.setPen(QPen(QColor(255, 255, 255, 160), 1));
    painter.setBrush(fill);
    painter.drawPath(path);
}
