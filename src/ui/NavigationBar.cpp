#include "NavigationBar.h"

#include "Images.h"
#include "NavigationItem.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QToolButton>

NavigationBar::NavigationBar(QWidget* parent)
    : QWidget(parent), m_left(new QWidget(this)), m_right(new QWidget(this)), m_titleLabel(new QLabel(this))
{
    setFixedHeight(Height);
    setObjectName(QStringLiteral("navigationBar"));
    for (QWidget* side : {m_left, m_right}) {
        auto* layout = new QHBoxLayout(side);
        layout->setContentsMargins(6, 0, 6, 0);
        layout->setSpacing(4);
    }
    QFont font = m_titleLabel->font();
    font.setPixelSize(18);
    font.setBold(true);
    m_titleLabel->setFont(font);
    m_titleLabel->setAlignment(Qt::AlignCenter);
    m_titleLabel->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
}

void NavigationBar::setTintColor(const QColor& color)
{
    m_tint = color;
    update();
}

void NavigationBar::showItem(NavigationItem* item, const QString& backTitle)
{
    if (m_item)
        disconnect(m_item, nullptr, this, nullptr);
    m_item = item;
    m_backTitle = backTitle;
    if (item)
        connect(item, &NavigationItem::changed, this, &NavigationBar::rebuild);
    rebuild();
}

QWidget* NavigationBar::makeButton(const BarButtonItem& item)
{
    if (item.customView)
        return item.customView;
    auto* button = new QToolButton;
    if (!item.imageName.isEmpty()) {
        button->setIcon(QIcon(Images::named(item.imageName)));
        button->setIconSize(QSize(24, 24));
    } else {
        button->setText(item.title);
    }
    button->setEnabled(item.enabled);
    button->setAutoRaise(true);
    button->setStyleSheet(QStringLiteral("QToolButton { color: white; font-weight: bold; padding: 4px 8px; "
                                         "border: 1px solid rgba(255,255,255,90);"
                                         " border-radius: 5px; background: rgba(255,255,255,30); } "
                                         "QToolButton:disabled { color: rgba(255,255,255,110); }"));
    if (item.action)
        connect(button, &QToolButton::clicked, button, item.action);
    return button;
}

void NavigationBar::rebuild()
{
    for (QWidget* side : {m_left, m_right}) {
        QLayout* layout = side->layout();
        while (QLayoutItem* child = layout->takeAt(0)) {
            if (QWidget* widget = child->widget()) {
                if (widget->property("ownedByBar").toBool())
                    widget->deleteLater();
                else
                    widget->setParent(nullptr);
            }
            delete child;
        }
    }
    if (m_titleView && (!m_item || m_item->titleView() != m_titleView)) {
        m_titleView->hide();
        m_titleView->setParent(nullptr);
    }
    m_titleView = nullptr;
    if (!m_item) {
        m_titleLabel->clear();
        return;
    }

    auto addTo = [this](QWidget* side, const BarButtonItem& item) {
        QWidget* button = makeButton(item);
        if (!item.customView)
            button->setProperty("ownedByBar", true);
        side->layout()->addWidget(button);
        button->show();
    };
    const QList<BarButtonItem> left = m_item->leftBarButtonItems();
    if (!left.isEmpty()) {
        for (const BarButtonItem& item : left)
            addTo(m_left, item);
    } else if (!m_backTitle.isEmpty() && !m_item->hidesBackButton()) {
        addTo(m_left, BarButtonItem::withTitle(QStringLiteral("‹ ") + m_backTitle,
                                               [this] { Q_EMIT backRequested(); }));
    }
    for (const BarButtonItem& item : m_item->rightBarButtonItems())
        addTo(m_right, item);

    if (QWidget* titleView = m_item->titleView()) {
        m_titleView = titleView;
        titleView->setParent(this);
        titleView->show();
        m_titleLabel->hide();
    } else {
        m_titleLabel->setText(m_item->title());
        m_titleLabel->show();
    }
    placeTitle();
}

void NavigationBar::placeTitle()
{
    m_left->adjustSize();
    m_right->adjustSize();
    m_left->setGeometry(0, 0, m_left->sizeHint().width(), Height);
    const int rightWidth = m_right->sizeHint().width();
    m_right->setGeometry(width() - rightWidth, 0, rightWidth, Height);
    const int side = std::max(m_left->width(), rightWidth);
    const QRect middle(side, 0, std::max(0, width() - 2 * side), Height);
    if (m_titleView) {
        // A title view wider than the room left by the buttons is shrunk, keeping its shape.
        QSize hint = m_titleView->sizeHint();
        if (hint.width() > middle.width() || hint.height() > middle.height())
            hint.scale(middle.size(), Qt::KeepAspectRatio);
        m_titleView->setGeometry(
            QRect(QPoint(0, 0), hint).translated(middle.center() - QRect(QPoint(), hint).center()));
    }
    m_titleLabel->setGeometry(middle);
}

void NavigationBar::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    placeTitle();
}

void NavigationBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QLinearGradient gradient(0, 0, 0, height());
    gradient.setColorAt(0, m_tint.lighter(125));
    gradient.setColorAt(1, m_tint.darker(110));
    painter.fillRect(rect(), gradient);
    painter.setPen(m_tint.darker(160));
    painter.drawLine(0, height() - 1, width(), height() - 1);
}
