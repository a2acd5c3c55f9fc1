#include "SegmentedControl.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QHBoxLayout>
#include <QToolButton>

SegmentedControl::SegmentedControl(const QStringList& titles, QWidget* parent)
    : QWidget(parent), m_group(new QButtonGroup(this)), m_layout(new QHBoxLayout(this)),
      m_tint(QColor(91, 102, 171))
{
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);
    m_group->setExclusive(false);
    connect(m_group, &QButtonGroup::idClicked, this, [this](int id) { tapSegment(id); });
    setTitles(titles);
}

int SegmentedControl::numberOfSegments() const
{
    return int(m_group->buttons().size());
}

void SegmentedControl::setTitles(const QStringList& titles)
{
    const QList<QAbstractButton*> old = m_group->buttons();
    for (QAbstractButton* button : old) {
        m_group->removeButton(button);
        delete button;
    }
    for (int i = 0; i < titles.size(); ++i) {
        auto* button = new QToolButton(this);
        button->setText(titles[i]);
        button->setCheckable(true);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
        m_group->addButton(button, i);
        m_layout->addWidget(button, 1);
    }
    m_selected = m_selected < titles.size() ? m_selected : -1;
    restyle();
}

QString SegmentedControl::titleForSegmentAtIndex(int index) const
{
    QAbstractButton* button = m_group->button(index);
    return button ? button->text() : QString();
}

void SegmentedControl::setTitleForSegmentAtIndex(const QString& title, int index)
{
    if (QAbstractButton* button = m_group->button(index))
        button->setText(title);
}

void SegmentedControl::setSegmentEnabled(int index, bool enabled)
{
    if (QAbstractButton* button = m_group->button(index))
        button->setEnabled(enabled);
}

bool SegmentedControl::isSegmentEnabled(int index) const
{
    QAbstractButton* button = m_group->button(index);
    return button && button->isEnabled();
}

void SegmentedControl::setSelectedSegmentIndex(int index)
{
    m_selected = index >= 0 && index < numberOfSegments() ? index : -1;
    restyle();
}

void SegmentedControl::setTintColor(const QColor& color)
{
    m_tint = color;
    restyle();
}

void SegmentedControl::tapSegment(int index)
{
    if (index < 0 || index >= numberOfSegments())
        return;
    setSelectedSegmentIndex(index);
    Q_EMIT valueChanged(index);
}

void SegmentedControl::restyle()
{
    const QString tint = m_tint.name();
    const QList<QAbstractButton*> buttons = m_group->buttons();
    for (QAbstractButton* button : buttons) {
        const int id = m_group->id(button);
        const bool first = id == 0;
        const bool last = id == numberOfSegments() - 1;
        button->setChecked(id == m_selected);
        button->setStyleSheet(
            QStringLiteral("QToolButton { border: 1px solid %1; %2 %3 padding: 3px 2px; font-size: 13px;"
                           " color: %1; background: white; }"
                           " QToolButton:checked { color: white; background: %1; }")
                .arg(tint,
                     first ? QStringLiteral("border-top-left-radius: 5px; border-bottom-left-radius: 5px;")
                           : QStringLiteral("border-left: none;"),
                     last ? QStringLiteral("border-top-right-radius: 5px; border-bottom-right-radius: 5px;")
                          : QString()));
    }
}
