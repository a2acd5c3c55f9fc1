#include "StatusBarOverlay.h"

#include "platform/Preferences.h"
#include "ui/Window.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

StatusBarOverlay* StatusBarOverlay::sharedOverlay()
{
    static QPointer<StatusBarOverlay> shared;
    Window* window = Window::keyWindow();
    if (!window)
        return nullptr;
    if (!shared || shared->parentWidget() != window)
        shared = new StatusBarOverlay(window);
    return shared;
}

StatusBarOverlay::StatusBarOverlay(QWidget* window)
    : QWidget(window), m_dwell(new QTimer(this)), m_spinner(new QTimer(this))
{
    setObjectName(QStringLiteral("statusBarOverlay"));
    setAttribute(Qt::WA_TransparentForMouseEvents, false);
    m_shrinked = Preferences::standard().object(ShrinkedKey).toBool();
    m_dwell->setSingleShot(true);
    connect(m_dwell, &QTimer::timeout, this, &StatusBarOverlay::showNext);
    m_spinner->setInterval(SpinnerMs);
    connect(m_spinner, &QTimer::timeout, this, [this] {
        m_spin = (m_spin + 1) % 12;
        update();
    });
    if (window)
        window->installEventFilter(this);
    QWidget::hide();
}

void StatusBarOverlay::postMessage(const QString& text)
{
    post({text, Kind::Activity, 0});
}

void StatusBarOverlay::postFinishMessage(const QString& text, double seconds)
{
    post({text, Kind::Finished, std::max(1, int(seconds * 1000))});
}

void StatusBarOverlay::postErrorMessage(const QString& text, double seconds)
{
    post({text, Kind::Error, std::max(1, int(seconds * 1000))});
}

void StatusBarOverlay::post(const Message& message)
{
    // A timed message keeps the bar until its time is up; the rest wait behind it.
    if (m_showing && m_dwell->isActive()) {
        if (message.ms > 0 || m_queue.isEmpty() || m_queue.last().text != message.text)
            m_queue.append(message);
        return;
    }
    present(message);
}

void StatusBarOverlay::present(const Message& message)
{
    m_text = message.text;
    m_kind = message.kind;
    m_showing = true;
    if (message.ms > 0)
        m_dwell->start(message.ms);
    else
        m_dwell->stop();
    if (m_kind == Kind::Activity)
        m_spinner->start();
    else
        m_spinner->stop();
    place();
    show();
    raise();
    update();
}

void StatusBarOverlay::showNext()
{
    // Work under way that later messages followed is over by now: only the last one stays.
    while (m_queue.size() > 1 && m_queue.first().ms == 0)
        m_queue.removeFirst();
    if (m_queue.isEmpty()) {
        hideOverlay();
        return;
    }
    present(m_queue.takeFirst());
}

void StatusBarOverlay::hideOverlay()
{
    m_queue.clear();
    m_dwell->stop();
    m_spinner->stop();
    m_showing = false;
    m_text.clear();
    QWidget::hide();
}

void StatusBarOverlay::setShrinked(bool shrinked)
{
    if (m_shrinked == shrinked)
        return;
    m_shrinked = shrinked;
    Preferences::standard().setValue(ShrinkedKey, shrinked);
    place();
    update();
}

void StatusBarOverlay::place()
{
    const QWidget* window = parentWidget();
    if (!window)
        return;
    // The window has no status bar of its own: the bar sits in the bottom right corner, where
    // it covers no control of the navigation bar.
    const int width = m_shrinked ? ShrunkWidth : std::min(Width, window->width());
    setGeometry(window->width() - width, window->height() - Height, width, Height);
}

bool StatusBarOverlay::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        place();
    return QWidget::eventFilter(watched, event);
}

void StatusBarOverlay::mouseReleaseEvent(QMouseEvent* event)
{
    if (rect().contains(event->position().toPoint()))
        setShrinked(!m_shrinked);
}

void StatusBarOverlay::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), QColor(0, 0, 0, 220));
    const QPointF mark(ShrunkWidth / 2.0, Height / 2.0);
    switch (m_kind) {
    case Kind::Activity:
        // Twelve spokes, the brightest one turning.
        for (int i = 0; i < 12; ++i) {
            const int age = (m_spin - i + 12) % 12;
            painter.setPen(QPen(QColor(255, 255, 255, 255 - age * 18), 1.6, Qt::SolidLine, Qt::RoundCap));
            painter.save();
            painter.translate(mark);
            painter.rotate(i * 30);
            painter.drawLine(QPointF(0, -3.5), QPointF(0, -6.5));
            painter.restore();
        }
        break;
    case Kind::Finished:
        painter.setPen(QPen(QColor(0x6c, 0xd6, 0x6c), 2));
        painter.drawPolyline(
            QPolygonF({mark + QPointF(-5, 0), mark + QPointF(-1.5, 4), mark + QPointF(5, -4)}));
        break;
    case Kind::Error:
        painter.setPen(QPen(QColor(0xf0, 0x5a, 0x5a), 2));
        painter.drawLine(mark + QPointF(-4, -4), mark + QPointF(4, 4));
        painter.drawLine(mark + QPointF(-4, 4), mark + QPointF(4, -4));
        break;
    }
    if (m_shrinked)
        return;
    QFont font = painter.font();
    font.setPixelSize(12);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    const QRect text = rect().adjusted(ShrunkWidth, 0, -6, 0);
    painter.drawText(text, Qt::AlignVCenter | Qt::AlignLeft,
                     painter.fontMetrics().elidedText(m_text, Qt::ElideRight, text.width()));
}
