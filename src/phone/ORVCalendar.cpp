#include "ORVCalendar.h"

#include "model/DateHelper.h"
#include "model/Utilities.h"
#include "ui/Images.h"
#include "ui/SegmentedControl.h"

#include <QLabel>
#include <QToolButton>

namespace {

constexpr qint64 DaySeconds = 86400;

QToolButton* arrow(const QString& imageName, const QString& fallback, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setAutoRaise(true);
    if (Images::exists(imageName)) {
        button->setIcon(Images::named(imageName));
        button->setIconSize(QSize(20, 20));
    } else {
        button->setText(fallback);
    }
    return button;
}

} // namespace

ORVCalendar::ORVCalendar(QWidget* parent)
    : QWidget(parent), m_days(new SegmentedControl(segmentTitles(), this)),
      m_left(arrow(QStringLiteral("left"), QStringLiteral("‹"), this)),
      m_right(arrow(QStringLiteral("right"), QStringLiteral("›"), this)), m_currentDateLabel(new QLabel(this))
{
    setFixedHeight(Height);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(0xf4, 0xf5, 0xfa));
    setPalette(palette);
    QFont bold = m_currentDateLabel->font();
    bold.setBold(true);
    bold.setPixelSize(14);
    m_currentDateLabel->setFont(bold);
    m_currentDateLabel->setAlignment(Qt::AlignCenter);
    connect(m_days, &SegmentedControl::valueChanged, this, &ORVCalendar::segmentChanged);
    connect(m_left, &QToolButton::clicked, this, &ORVCalendar::previousWeek);
    connect(m_right, &QToolButton::clicked, this, &ORVCalendar::nextWeek);
    initializeCalendar(QDateTime::currentDateTime());
}

QStringList ORVCalendar::segmentTitles()
{
    const QLocale locale = DateHelper::displayLocale();
    QStringList titles;
    for (int day = Qt::Monday; day <= Qt::Sunday; ++day)
        titles << locale.dayName(day, QLocale::ShortFormat);
    return titles;
}

QDateTime ORVCalendar::initialSelectedDate(const QDateTime& now)
{
    const QDateTime day = Utilities::optimizeDateForORVProgram(now).toLocalTime();
    return QDateTime(day.date(), QTime(11, 0));
}

int ORVCalendar::segmentForDate(const QDateTime& date)
{
    // The weekday number (Sunday = 1) of the day before, less one: the date's own
    // weekday counted from Monday = 0.
    const int dayBefore = date.toLocalTime().addSecs(-DaySeconds).date().dayOfWeek(); // Monday = 1
    const int sundayFirst = dayBefore % 7 + 1;
    return sundayFirst - 1;
}

QDateTime ORVCalendar::dateForSegment(const QDateTime& selectedDate, int segment)
{
    const int ordinal = selectedDate.toLocalTime().date().dayOfWeek(); // 1 Monday ... 7 Sunday
    return selectedDate.addSecs(qint64(segment - ordinal + 1) * DaySeconds);
}

void ORVCalendar::initializeCalendar(const QDateTime& now)
{
    m_selectedDate = initialSelectedDate(now);
    m_days->setSelectedSegmentIndex(segmentForDate(m_selectedDate));
    assignSelectedDateToTitle();
}

void ORVCalendar::setSelectedDate(const QDateTime& date)
{
    if (date == m_selectedDate)
        return;
    m_selectedDate = date;
    assignSelectedDateToTitle();
    if (m_delegate)
        m_delegate->dateSelected(date);
}

void ORVCalendar::syncDisplayedDate()
{
    m_days->setSelectedSegmentIndex(segmentForDate(m_selectedDate));
}

void ORVCalendar::assignSelectedDateToTitle()
{
    m_currentDateLabel->setText(DateHelper::fullDateText(m_selectedDate));
}

void ORVCalendar::segmentChanged(int segment)
{
    setSelectedDate(dateForSegment(m_selectedDate, segment));
}

void ORVCalendar::previousWeek()
{
    setSelectedDate(m_selectedDate.addSecs(-DaySeconds));
    syncDisplayedDate();
}

void ORVCalendar::nextWeek()
{
    setSelectedDate(m_selectedDate.addSecs(DaySeconds));
    syncDisplayedDate();
}

void ORVCalendar::resizeEvent(QResizeEvent*)
{
    const int w = width();
    m_currentDateLabel->setGeometry(0, 2, w, 22);
    m_left->setGeometry(2, 26, SegmentsInset - 4, 28);
    m_right->setGeometry(w - SegmentsInset + 2, 26, SegmentsInset - 4, 28);
    m_days->setGeometry(SegmentsInset, 26, std::max(0, w - 2 * SegmentsInset), 28);
}
