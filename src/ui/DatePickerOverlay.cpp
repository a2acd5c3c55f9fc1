#include "DatePickerOverlay.h"

#include "platform/StringTable.h"

#include <QDateTimeEdit>
#include <QEvent>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

DatePickerOverlay::DatePickerOverlay(QWidget* over, const QDateTime& minimum, const QDateTime& maximum,
                                     int minuteInterval, Caption caption, Finished finished)
    : QWidget(over), m_minimum(minimum), m_maximum(std::max(minimum, maximum)),
      m_interval(std::max(1, minuteInterval)), m_caption(std::move(caption)), m_finished(std::move(finished)),
      m_panel(new QWidget(this)), m_picker(new QDateTimeEdit(m_panel)), m_label(new QLabel(m_panel))
{
    setGeometry(over->rect());
    over->installEventFilter(this);
    m_panel->setObjectName(QStringLiteral("pickerPanel"));
    m_panel->setStyleSheet(QStringLiteral("#pickerPanel { background: #2b2f45; }"));
    // Its own background: a screen below may style every widget (the details screen is white).
    m_label->setStyleSheet(
        QStringLiteral("color: white; background: transparent; font-size: 18px; font-weight: bold;"));
    m_label->setAlignment(Qt::AlignCenter);
    m_picker->setDisplayFormat(QStringLiteral("dd MMM yyyy  HH:mm"));
    m_picker->setCalendarPopup(false);
    m_picker->setMinimumHeight(40);
    m_picker->setStyleSheet(QStringLiteral("font-size: 18px;"));
    auto* doneButton = new QPushButton(StringTable::localized("Done"), m_panel);
    auto* cancelButton = new QPushButton(StringTable::localized("Cancel"), m_panel);
    connect(doneButton, &QPushButton::clicked, this, &DatePickerOverlay::done);
    connect(cancelButton, &QPushButton::clicked, this, &DatePickerOverlay::cancel);
    // Cancel only when turned; upright, a tap on the dimming layer cancels.
    cancelButton->setVisible(over->width() > over->height());
    auto* bar = new QHBoxLayout;
    bar->addWidget(cancelButton);
    bar->addStretch();
    bar->addWidget(doneButton);
    auto* layout = new QVBoxLayout(m_panel);
    layout->addLayout(bar);
    layout->addWidget(m_label);
    layout->addWidget(m_picker);
    connect(m_picker, &QDateTimeEdit::dateTimeChanged, this, [this](const QDateTime& date) {
        const QDateTime fixed = snapped(date);
        if (fixed != date) {
            m_picker->setDateTime(fixed);
            return;
        }
        m_label->setText(m_caption ? m_caption(fixed) : QString());
    });
    m_picker->setDateTimeRange(m_minimum, m_maximum);
    setDate(m_maximum);
    m_label->setText(m_caption ? m_caption(date()) : QString());
    const int height = 170;
    m_panel->setGeometry(0, over->height() - height, over->width(), height);
    show();
    raise();
}

QDateTime DatePickerOverlay::snapped(const QDateTime& date) const
{
    // Whole steps from the latest date, which is where the picker starts.
    const qint64 step = qint64(m_interval) * 60;
    qint64 back = date.secsTo(m_maximum);
    back = back <= 0 ? 0 : ((back + step / 2) / step) * step;
    QDateTime result = m_maximum.addSecs(-back);
    if (result < m_minimum)
        result = m_maximum.addSecs(-(m_minimum.secsTo(m_maximum) / step) * step);
    return result;
}

QDateTime DatePickerOverlay::date() const
{
    return m_picker->dateTime();
}

void DatePickerOverlay::setDate(const QDateTime& date)
{
    m_picker->setDateTime(snapped(std::clamp(date, m_minimum, m_maximum)));
}

QImage DatePickerOverlay::captionImage() const
{
    return m_label->grab().toImage();
}

QString DatePickerOverlay::captionText() const
{
    return m_label->text();
}

void DatePickerOverlay::done()
{
    finish(date());
}

void DatePickerOverlay::cancel()
{
    finish(std::nullopt);
}

void DatePickerOverlay::finish(const std::optional<QDateTime>& chosen)
{
    if (m_reported)
        return;
    m_reported = true;
    hide();
    deleteLater();
    if (m_finished)
        m_finished(chosen);
}

void DatePickerOverlay::mousePressEvent(QMouseEvent* event)
{
    if (!m_panel->geometry().contains(event->position().toPoint()))
        cancel(); // a tap on the dimming layer
}

void DatePickerOverlay::paintEvent(QPaintEvent*)
{
    QPainter(this).fillRect(rect(), QColor(0, 0, 0, 128));
}

bool DatePickerOverlay::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parent() && event->type() == QEvent::Resize) {
        setGeometry(parentWidget()->rect());
        m_panel->setGeometry(0, height() - m_panel->height(), width(), m_panel->height());
    }
    return false;
}
