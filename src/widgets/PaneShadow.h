#pragma once

#include <QWidget>

// The shadow a sliding pane casts on what lies under it: a strip along the pane's left edge
// that fades from the given darkness at the edge to nothing. Painted as a plain gradient, so
// a pane in motion costs no off-screen rendering of its contents.
class PaneShadow : public QWidget
{
    Q_OBJECT

public:
    PaneShadow(qreal alpha, QWidget* parent);
    void setAlpha(qreal alpha);
    qreal alpha() const { return m_alpha; }
    // Shows the strip along the left edge of pane (a sibling), just under it.
    void attach(QWidget* pane, int width);
    // Moves the strip with its pane (restacking on every frame of a slide would cost a
    // repaint of everything under it).
    void follow(const QWidget* pane, int width);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    qreal m_alpha;
};
