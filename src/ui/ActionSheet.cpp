#include "ActionSheet.h"

#include "Window.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

ActionSheet::ActionSheet(const QString& title, QObject* delegate, ClickHandler clicked,
                         const QString& cancelButtonTitle, const QStringList& otherButtonTitles)
    : m_delegate(delegate), m_clicked(std::move(clicked)), m_titles(otherButtonTitles)
{
    if (!cancelButtonTitle.isEmpty()) {
        m_hasCancel = true;
        m_titles << cancelButtonTitle;
    }
    m_panel = new QWidget(this);
    m_panel->setObjectName(QStringLiteral("sheetPanel"));
    m_panel->setStyleSheet(QStringLiteral(
        "#sheetPanel { background: rgba(30, 34, 52, 240); }"
        "QLabel { color: #c9cde0; background: transparent; font-size: 13px; }"
        "QPushButton { color: white; font-size: 16px; font-weight: bold; min-height: 42px; border-radius: 8px;"
        " background: rgba(255,255,255,40); border: 1px solid rgba(255,255,255,90); }"
        "QPushButton#sheetCancel { background: rgba(255,255,255,18); }"
        "QPushButton:pressed { background: rgba(255,255,255,90); }"));
    auto* layout = new QVBoxLayout(m_panel);
    layout->setContentsMargins(14, 12, 14, 14);
    layout->setSpacing(8);
    if (!title.isEmpty()) {
        auto* label = new QLabel(title, m_panel);
        label->setAlignment(Qt::AlignCenter);
        label->setWordWrap(true);
        layout->addWidget(label);
    }
    for (int index = 0; index < m_titles.size(); ++index) {
        auto* button = new QPushButton(m_titles[index], m_panel);
        const bool cancel = index == cancelButtonIndex();
        button->setObjectName(cancel ? QStringLiteral("sheetCancel") : QStringLiteral("sheetButton%1").arg(index));
        if (cancel)
            layout->addSpacing(6);
        connect(button, &QPushButton::clicked, this, [this, index] { dismissWithClickedButtonIndex(index, true); });
        layout->addWidget(button);
    }
}

void ActionSheet::showInView(QWidget* view)
{
    Window* window = Window::keyWindow();
    if (window) {
        window->addOverlay(this);
    } else {
        setParent(view);
        setGeometry(view ? view->rect() : QRect(0, 0, 320, 480));
        QWidget::show();
    }
    m_panel->setFixedWidth(width());
    m_panel->adjustSize();
    m_panel->move(0, height() - m_panel->height());
    raise();
}

void ActionSheet::dismissWithClickedButtonIndex(int index, bool)
{
    if (m_dismissed)
        return;
    m_dismissed = true;
    hide();
    if (m_clicked && m_delegate)
        m_clicked(this, index);
    deleteLater();
}

void ActionSheet::mousePressEvent(QMouseEvent* event)
{
    if (!m_panel->geometry().contains(event->position().toPoint()))
        dismissWithClickedButtonIndex(cancelButtonIndex(), true);
}

void ActionSheet::paintEvent(QPaintEvent*)
{
    QPainter(this).fillRect(rect(), QColor(0, 0, 0, 100));
}
