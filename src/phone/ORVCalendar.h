#pragma once

#include <QDateTime>
#include <QPointer>
#include <QStringList>
#include <QWidget>

class QLabel;
class QToolButton;
class SegmentedControl;

class ORVCalendarDelegate
{
public:
    virtual ~ORVCalendarDelegate() = default;
    virtual void dateSelected(const QDateTime& date) = 0;
};

// The day strip over a programme: the week's days Monday first as segments, arrows moving
// one day back or forward, and the selected day written above. Times are the device's
// local time; a day is 86,400 seconds here, as the strip has always counted.
class ORVCalendar : public QWidget
{
    Q_OBJECT

public:
    static constexpr int Height = 60;
    static constexpr int SegmentsInset = 28;

    explicit ORVCalendar(QWidget* parent = nullptr);

    // Titles of the day segments: the locale's short weekday names, Monday first.
    static QStringList segmentTitles();
    // The day the strip starts on at the moment now: the programme day of now at 11:00.
    static QDateTime initialSelectedDate(const QDateTime& now);
    // The Monday-based segment of a date (0 Monday ... 6 Sunday).
    static int segmentForDate(const QDateTime& date);
    // The date a tap on segment s selects, seen from the selected date: the same time of
    // day on that day of the selected date's Monday-to-Sunday week.
    static QDateTime dateForSegment(const QDateTime& selectedDate, int segment);

    void setDelegate(ORVCalendarDelegate* delegate) { m_delegate = delegate; }
    // Sets the strip to its starting day (without telling the delegate when it has none yet).
    void initializeCalendar(const QDateTime& now);
    QDateTime selectedDate() const { return m_selectedDate; }
    // A different date is written above and reported to the delegate.
    void setSelectedDate(const QDateTime& date);
    QDateTime currentDate() const { return m_currentDate; }
    void setCurrentDate(const QDateTime& date) { m_currentDate = date; }
    // Highlights the segment of the selected date.
    void syncDisplayedDate();
    void assignSelectedDateToTitle();

    void segmentChanged(int segment);
    void previousWeek();
    void nextWeek();

    QLabel* currentDateLabel() const { return m_currentDateLabel; }
    SegmentedControl* days() const { return m_days; }
    QToolButton* left() const { return m_left; }
    QToolButton* right() const { return m_right; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    SegmentedControl* m_days;
    QToolButton* m_left;
    QToolButton* m_right;
    QLabel* m_currentDateLabel;
    QDateTime m_selectedDate;
    QDateTime m_currentDate;
    ORVCalendarDelegate* m_delegate = nullptr;
};
