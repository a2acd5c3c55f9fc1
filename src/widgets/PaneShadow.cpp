#include "PaneShadow.h"

#include <QLinearGradient>
#include <QPainter>

PaneShadow::PaneShadow(qreal alpha, QWidget* parent) : QWidget(parent), m_alpha(alpha)
{
    setObjectName(QStringLiteral("paneShadow"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
}

void PaneShadow::setAlpha(qreal alpha)
{
    m_alpha = alpha;
    update();
}

void PaneShadow::attach(QWidget* pane, int width)
{
    stackUnder(pane);
    follow(pane, width);
    show();
}

void PaneShadow::follow(const QWidget* pane, int width)
{
    setGeometry(pane->x() - width, pane->y(), width, pane->height());
}

void PaneShadow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QLinearGradient fade(0, 0, width(), 0);
    fade.setColorAt(0, QColor(0, 0, 0, 0));
    fade.setColorAt(1, QColor(0, 0, 0, int(255 * m_alpha)));
    painter.fillRect(rect(), fade);
}
