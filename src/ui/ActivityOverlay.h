#pragma once

#include <QWidget>

class QLabel;

// A rounded dark box with a spinning mark and a text, centred over its parent while work
// is under way (the sharing library's activity indicator). It follows the parent's size and
// lets clicks through to nothing: the parent stays usable.
class ActivityOverlay : public QWidget
{
    Q_OBJECT

public:
    explicit ActivityOverlay(QWidget* parent);

    void displayActivity(const QString& text);
    void hide();
    bool isDisplaying() const { return isVisible(); }
    QString text() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    void place();

    QLabel* m_label;
    int m_timer = 0;
    int m_angle = 0;
};
