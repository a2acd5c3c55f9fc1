#include "ActivityOverlay.h"

#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QTimerEvent>
#include <QVBoxLayout>

ActivityOverlay::ActivityOverlay(QWidget* parent) : QWidget(parent), m_label(new QLabel(this))
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    m_label->setAlignment(Qt::AlignCenter);
    m_label->setWordWrap(true);
    m_label->setStyleSheet(QStringLiteral("color: white; font-size: 15px; font-weight: bold;"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 70, 10, 14);
    layout->addWidget(m_label);
    parent->installEventFilter(this);
    QWidget::hide();
}

void ActivityOverlay::displayActivity(const QString& text)
{
    m_label->setText(text);
    place();
    show();
    raise();
    if (m_timer == 0)
        m_timer = startTimer(80);
}

void ActivityOverlay::hide()
{
    if (m_timer != 0)
        killTimer(m_timer);
    m_timer = 0;
    QWidget::hide();
}

QString ActivityOverlay::text() const
{
    return m_label->text();
}

bool ActivityOverlay::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parent() && event->type() == QEvent::Resize)
        place();
    return false;
}

void ActivityOverlay::place()
{
    const QSize size(150, 130);
    const QWidget* host = parentWidget();
    setGeometry((host->width() - size.width()) / 2, (host->height() - size.height()) / 2, size.width(), size.height());
}

void ActivityOverlay::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 170));
    p.drawRoundedRect(rect(), 12, 12);
    // Twelve spokes, the brightest turning.
    p.translate(width() / 2.0, 40);
    for (int i = 0; i < 12; ++i) {
        const int age = (i * 30 - m_angle + 360) % 360 / 30;
        p.setBrush(QColor(255, 255, 255, 255 - age * 18));
        p.save();
        p.rotate(i * 30);
        p.drawRoundedRect(QRectF(-1.5, -20, 3, 9), 1.5, 1.5);
        p.restore();
    }
}

void ActivityOverlay::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != m_timer)
        return;
    m_angle = (m_angle + 30) % 360;
    update();
}
