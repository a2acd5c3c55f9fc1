#pragma once

#include <QDateTime>
#include <QWidget>

#include <functional>

class QDateTimeEdit;
class QImage;
class QLabel;

// A date-and-time picker over a screen: a dimming layer (a tap on it cancels), the picker
// in minuteInterval steps between a minimum and a maximum, a caption that follows the
// choice, Done, and Cancel when the screen is turned. It reports once: the chosen date, or
// none when cancelled.
class DatePickerOverlay : public QWidget
{
    Q_OBJECT

public:
    using Finished = std::function<void(const std::optional<QDateTime>& chosen)>;
    using Caption = std::function<QString(const QDateTime&)>;

    DatePickerOverlay(QWidget* over, const QDateTime& minimum, const QDateTime& maximum, int minuteInterval,
                      Caption caption, Finished finished);

    QDateTime date() const;
    void setDate(const QDateTime& date); // kept within the bounds, on a step
    QString captionText() const;
    // The caption as drawn now.
    QImage captionImage() const;
    // Done, or anything else (Cancel, the dimming layer, the screen going away).
    void done();
    void cancel();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void finish(const std::optional<QDateTime>& chosen);
    QDateTime snapped(const QDateTime& date) const;

    QDateTime m_minimum;
    QDateTime m_maximum;
    int m_interval;
    Caption m_caption;
    Finished m_finished;
    QWidget* m_panel;
    QDateTimeEdit* m_picker;
    QLabel* m_label;
    bool m_reported = false;
};
