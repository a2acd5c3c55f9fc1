#pragma once

#include <QPointer>
#include <QWidget>

// A pop-up bubble with an arrow pointing at a rectangle of another view. The content
// widget keeps the size it has when presented.
class Popover : public QWidget
{
    Q_OBJECT

public:
    enum ArrowDirection
    {
        ArrowUp = 1,
        ArrowDown = 2,
        ArrowLeft = 4,
        ArrowRight = 8,
        ArrowAny = 15
    };
    static constexpr int ArrowHeight = 12;
    static constexpr int Border = 6;

    explicit Popover(QWidget* content);

    QWidget* content() const { return m_content; }
    // Presents the bubble over the key window, its arrow pointing at rect (in view's coordinates).
    void presentPopoverFromRect(const QRect& rect, QWidget* view, ArrowDirection direction, bool animated);
    void dismissPopoverAnimated(bool animated);
    bool isPopoverVisible() const { return m_visible; }
    ArrowDirection arrowDirection() const { return m_direction; }

Q_SIGNALS:
    void dismissed();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPointer<QWidget> m_content;
    ArrowDirection m_direction = ArrowDown;
    QPoint m_arrowTip;
    bool m_visible = false;
};
