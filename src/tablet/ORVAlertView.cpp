#include "ORVAlertView.h"

#include <QHBoxLayout>
#include <QLabel>

ORVAlertView::ORVAlertView(const QString& title, const QString& message, const QString& cancelButtonTitle)
    : AlertView(title, message, nullptr, {}, cancelButtonTitle)
{
    setObjectName(QStringLiteral("ORVAlertView"));
}

void ORVAlertView::addImage(const QPixmap& image, const QString& description)
{
    auto* row = new QWidget;
    auto* line = new QHBoxLayout(row);
    line->setContentsMargins(0, 0, 0, 0);
    line->setSpacing(10);
    auto* picture = new QLabel;
    picture->setPixmap(image.scaled(22, 22, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    auto* text = new QLabel(description);
    text->setFixedHeight(22);
    text->setStyleSheet(QStringLiteral("font-size: 16px; color: white;"));
    line->addWidget(picture);
    line->addWidget(text, 1);
    insertContent(row);
    m_descrImgs.append({{QStringLiteral("img"), image}, {QStringLiteral("desc"), description}});
}
