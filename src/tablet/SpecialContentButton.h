#pragma once

#include <QPointer>
#include <QPushButton>

class QVariantAnimation;

// The button that tells of a show's extra content, shown under the logo view of the root
// pane (tag -888). It opens by growing from 80 % of its 40-point height to the full height,
// so the panels under it move down 40 points; it closes by fading out and shrinking back,
// and then deletes itself. Durations are in seconds; 0 is immediate.
class SpecialContentButton : public QPushButton
{
    Q_OBJECT

public:
    static constexpr int Tag = -888;
    static constexpr int Width = 300;
    static constexpr int Height = 40;

    explicit SpecialContentButton(QWidget* parent = nullptr);

    void showWithDuration(double seconds);
    void hideWithDuration(double seconds);
    bool isHiding() const { return m_hiding; }

private:
    void animateHeight(int from, int to, double seconds, bool deleteAtEnd);

    QPointer<QVariantAnimation> m_animation;
    bool m_hiding = false;
};
