#include "AlertView.h"

#include "LivePointers.h"
#include "Window.h"

#include "platform/Error.h"
#include "platform/StringTable.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QList<QPointer<AlertView>>& shown()
{
    static QList<QPointer<AlertView>> alerts;
    return alerts;
}
} // namespace

AlertView::AlertView(const QString& title, const QString& message, QObject* delegate,
                     DismissHandler didDismiss, const QString& cancelButtonTitle,
                     const QStringList& otherButtonTitles)
    : m_title(title), m_message(message), m_delegate(delegate), m_didDismiss(std::move(didDismiss))
{
    setObjectName(QStringLiteral("alertView"));
    if (!cancelButtonTitle.isEmpty()) {
        m_hasCancel = true;
        m_buttonTitles << cancelButtonTitle;
    }
    m_buttonTitles << otherButtonTitles;

    m_box = new QWidget(this);
    m_box->setObjectName(QStringLiteral("alertBox"));
    m_box->setStyleSheet(
        QStringLiteral("#alertBox { background: rgba(24, 38, 86, 235); border: 2px solid "
                       "rgba(255,255,255,200); border-radius: 10px; }"
                       "QLabel { color: white; background: transparent; }"
                       "QPushButton { color: white; font-weight: bold; min-height: 34px; border: 1px solid "
                       "rgba(255,255,255,120);"
                       " border-radius: 6px; background: rgba(255,255,255,45); padding: 0 10px; }"
                       "QPushButton:pressed { background: rgba(255,255,255,90); }"));
    auto* layout = new QVBoxLayout(m_box);
    layout->setContentsMargins(14, 14, 14, 14);
    layout->setSpacing(10);
    auto* titleLabel = new QLabel(title, m_box);
    QFont bold = titleLabel->font();
    bold.setBold(true);
    bold.setPixelSize(17);
    titleLabel->setFont(bold);
    titleLabel->setAlignment(Qt::AlignCenter);
    titleLabel->setWordWrap(true);
    layout->addWidget(titleLabel);
    if (!message.isEmpty()) {
        auto* messageLabel = new QLabel(message, m_box);
        messageLabel->setAlignment(Qt::AlignCenter);
        messageLabel->setWordWrap(true);
        layout->addWidget(messageLabel);
    }
    m_contentIndex = layout->count();
    auto* buttons = new QHBoxLayout;
    const bool stacked = m_buttonTitles.size() > 2;
    QBoxLayout* buttonLayout = stacked ? static_cast<QBoxLayout*>(new QVBoxLayout) : buttons;
    // Side by side the cancel button is on the left; stacked it is at the bottom.
    QList<int> order;
    for (int i = 0; i < m_buttonTitles.size(); ++i)
        order << i;
    if (stacked && m_hasCancel) {
        order.removeFirst();
        order << 0;
    }
    for (int index : order) {
        auto* button = new QPushButton(m_buttonTitles[index], m_box);
        button->setObjectName(QStringLiteral("alertButton%1").arg(index));
        connect(button, &QPushButton::clicked, this,
                [this, index] { dismissWithClickedButtonIndex(index, true); });
        buttonLayout->addWidget(button);
    }
    if (stacked) {
        delete buttons;
        layout->addLayout(buttonLayout);
    } else {
        layout->addLayout(buttons);
    }
}

void AlertView::insertContent(QWidget* content)
{
    auto* layout = qobject_cast<QVBoxLayout*>(m_box->layout());
    content->setParent(m_box);
    layout->insertWidget(m_contentIndex++, content);
}

AlertView* AlertView::showError(const Error& error)
{
    auto* alert = new AlertView(StringTable::localized("Error"), error.localizedDescription(), nullptr, {},
                                StringTable::localized("OK"));
    alert->show();
    return alert;
}

void AlertView::show()
{
    shown().append(this);
    Window* window = Window::keyWindow();
    if (window) {
        window->addOverlay(this);
    } else {
        resize(320, 200);
        QWidget::show();
    }
    const int width = std::min(280, this->width() - 20);
    m_box->setFixedWidth(width);
    m_box->adjustSize();
    m_box->move((this->width() - width) / 2, (height() - m_box->height()) / 2);
}

void AlertView::dismissWithClickedButtonIndex(int index, bool animated)
{
    if (m_dismissed)
        return;
    m_dismissed = true;
    shown().removeAll(this);
    hide();
    if (m_didDismiss && m_delegate)
        m_didDismiss(this, index);
    deleteLater();
}

QList<AlertView*> AlertView::visibleAlerts()
{
    return livePointers(shown());
}

AlertView* AlertView::visibleAlertTitled(const QString& title)
{
    const QList<AlertView*> alerts = visibleAlerts();
    for (auto it = alerts.crbegin(); it != alerts.crend(); ++it) {
        if ((*it)->title() == title)
            return *it;
    }
    return nullptr;
}

void AlertView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0, 0, 0, 110));
}
