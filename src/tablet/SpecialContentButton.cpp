#include "SpecialContentButton.h"

#include "ui/Images.h"
#include "ui/ViewTag.h"

#include <QGraphicsOpacityEffect>
#include <QVariantAnimation>

SpecialContentButton::SpecialContentButton(QWidget* parent) : QPushButton(parent)
{
    ViewTag::set(this, Tag);
    setObjectName(QStringLiteral("specialContentButton"));
    setText(QStringLiteral("Для этой передачи имеется допнительный контент"));
    setIcon(QIcon(Images::named(QStringLiteral("special_content_btn.png"))));
    setFixedWidth(Width);
    setFixedHeight(0);
    setCursor(Qt::PointingHandCursor);
    // Two lines of light 12-point text, left aligned with room on the right for the picture.
    setStyleSheet(QStringLiteral("QPushButton { background: #3a3d52; color: rgb(204,204,204);"
                                 " font: 12px 'HelveticaNeue-Light'; text-align: left;"
                                 " padding: 2px 60px 0px 9px; border: none; }"
                                 "QPushButton:pressed { color: rgb(77,77,77); }"));
}

void SpecialContentButton::showWithDuration(double seconds)
{
    m_hiding = false;
    animateHeight(height(), Height, seconds, false);
}

void SpecialContentButton::hideWithDuration(double seconds)
{
    m_hiding = true;
    auto* fade = new QGraphicsOpacityEffect(this);
    setGraphicsEffect(fade);
    animateHeight(height(), 0, seconds, true);
    if (m_animation) {
        connect(m_animation, &QVariantAnimation::valueChanged, fade,
                [fade, this](const QVariant&) { fade->setOpacity(double(height()) / Height); });
    }
}

void SpecialContentButton::animateHeight(int from, int to, double seconds, bool deleteAtEnd)
{
    if (m_animation)
        m_animation->stop();
    if (seconds <= 0) {
        setFixedHeight(to);
        if (deleteAtEnd)
            deleteLater();
        return;
    }
    m_animation = new QVariantAnimation(this);
    m_animation->setDuration(int(seconds * 1000));
    m_animation->setStartValue(from);
    m_animation->setEndValue(to);
    m_animation->setEasingCurve(QEasingCurve::OutCubic);
    connect(m_animation, &QVariantAnimation::valueChanged, this,
            [this](const QVariant& value) { setFixedHeight(value.toInt()); });
    if (deleteAtEnd)
        connect(m_animation, &QVariantAnimation::finished, this, &QObject::deleteLater);
    m_animation->start(QAbstractAnimation::DeleteWhenStopped);
}
