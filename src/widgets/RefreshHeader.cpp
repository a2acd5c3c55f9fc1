#include "RefreshHeader.h"

#include "platform/StringTable.h"

#include <QAbstractScrollArea>
#include <QLabel>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>

RefreshHeader::RefreshHeader(QAbstractScrollArea* area)
    : QObject(area), m_area(area), m_strip(new QLabel(area))
{
    m_strip->setAlignment(Qt::AlignCenter);
    m_strip->setStyleSheet(QStringLiteral("background: #eef0f6; color: #6b7085; font-size: 13px;"));
    m_strip->hide();
    area->viewport()->installEventFilter(this);
}

bool RefreshHeader::atTop() const
{
    return m_area && m_area->verticalScrollBar()->value() == m_area->verticalScrollBar()->minimum();
}

void RefreshHeader::pull()
{
    if (m_loading)
        return;
    setLoading(true);
    Q_EMIT refreshRequested();
}

void RefreshHeader::setLoading(bool loading)
{
    m_loading = loading;
    m_pulled = 0;
    if (!m_area)
        return;
    if (loading) {
        m_strip->setText(StringTable::localized("Loading"));
        m_strip->setGeometry(0, 0, m_area->width(), 28);
        m_strip->show();
        m_strip->raise();
    } else {
        m_strip->hide();
    }
}

void RefreshHeader::addPull(int pixels)
{
    if (m_loading || !atTop())
        return;
    m_pulled += pixels;
    if (m_pulled >= PullThreshold)
        pull();
}

bool RefreshHeader::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::Wheel: {
        const int delta = static_cast<QWheelEvent*>(event)->angleDelta().y();
        if (delta > 0 && atTop())
            addPull(delta / 4);
        else
            m_pulled = 0;
        break;
    }
    case QEvent::MouseButtonPress:
        m_dragStartY = atTop() ? int(static_cast<QMouseEvent*>(event)->position().y()) : -1;
        break;
    case QEvent::MouseMove:
        if (m_dragStartY >= 0 &&
            int(static_cast<QMouseEvent*>(event)->position().y()) - m_dragStartY >= PullThreshold) {
            m_dragStartY = -1;
            pull();
        }
        break;
    case QEvent::MouseButtonRelease:
        m_dragStartY = -1;
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
