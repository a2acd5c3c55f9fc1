#include "PlaceholderViewController.h"

#include "Images.h"

#include "platform/JsonValue.h"
#include "platform/NotificationCenter.h"
#include "platform/StringTable.h"

#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>
#include <QWidget>

PlaceholderViewController::PlaceholderViewController(const QString& nibName, const QString& titleKey,
                                                     const QString& imageName, QObject* parent)
    : ViewController(nibName, parent)
{
    setTitle(StringTable::localized(titleKey));
    tabBarItem().title = title();
    tabBarItem().imageName = imageName;
    NotificationCenter::defaultCenter().observeOnMain(
        this, Notifications::InternetConnectionAvailable, [this](const Notification& notification) {
            setOffline(!JsonValue::boolean(notification.userInfo.value(NotificationKeys::IsAvailable)));
        });
}

PlaceholderViewController::~PlaceholderViewController()
{
    NotificationCenter::defaultCenter().removeObserver(this);
}

void PlaceholderViewController::setOffline(bool offline)
{
    m_offline = offline;
    if (m_offlineLabel)
        m_offlineLabel->setVisible(offline);
}

void PlaceholderViewController::loadView()
{
    auto* view = new QWidget;
    view->setAutoFillBackground(true);
    QPalette palette = view->palette();
    palette.setColor(QPalette::Window, QColor(236, 238, 244));
    view->setPalette(palette);
    auto* layout = new QVBoxLayout(view);
    layout->addStretch();
    auto* icon = new QLabel(view);
    QPixmap pixmap = Images::named(tabBarItem().imageName);
    if (!pixmap.isNull()) {
        QPainter tint(&pixmap);
        tint.setCompositionMode(QPainter::CompositionMode_SourceIn);
        tint.fillRect(pixmap.rect(), QColor(91, 102, 171, 150));
        tint.end();
        pixmap.setDevicePixelRatio(1.0);
        icon->setPixmap(pixmap);
    }
    icon->setAlignment(Qt::AlignCenter);
    layout->addWidget(icon);
    auto* label = new QLabel(title(), view);
    QFont font = label->font();
    font.setPixelSize(20);
    font.setBold(true);
    label->setFont(font);
    label->setStyleSheet(QStringLiteral("color: #5b66ab;"));
    label->setAlignment(Qt::AlignCenter);
    layout->addWidget(label);
    m_offlineLabel =
        new QLabel(StringTable::localized("Cannot connect to Orvane services. Check the connection."), view);
    m_offlineLabel->setObjectName(QStringLiteral("offlineLabel"));
    m_offlineLabel->setWordWrap(true);
    m_offlineLabel->setAlignment(Qt::AlignCenter);
    m_offlineLabel->setStyleSheet(QStringLiteral("color: #a03030; padding: 12px 24px;"));
    m_offlineLabel->setVisible(m_offline);
    layout->addWidget(m_offlineLabel);
    layout->addStretch();
    setView(view);
}
