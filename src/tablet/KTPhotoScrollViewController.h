#pragma once

#include "Photos.h"

#include <QPointer>
#include <QVariantMap>
#include <QWidget>

class QLineEdit;
class QPushButton;

// The photo browser: one picture of a data source at a time over a dark backdrop, swiped
// (a horizontal drag, the arrow keys) to the next or previous one, zoomed (the wheel, a double
// click toggles 2×) and panned while zoomed, with "n / count" and, for live screens, the two
// caption fields whose texts the content server draws into the picture. While a picture
// downloads its thumbnail stands in. Covers its parent window; Escape or Close ends it.
class KTPhotoScrollViewController : public QWidget
{
    Q_OBJECT

public:
    static constexpr double MaxZoom = 4.0;
    static constexpr int SwipeDistance = 60;

    KTPhotoScrollViewController(Photos* dataSource, const QVariantMap& channelInfo, int startIndex,
                                QWidget* parent = nullptr);

    Photos* dataSource() const { return m_photos; }
    int currentIndex() const { return m_index; }
    // Clamped to the list; a list without pictures stays at 0.
    void setCurrentIndex(int index);
    void next() { setCurrentIndex(m_index + 1); }
    void previous() { setCurrentIndex(m_index - 1); }
    double zoom() const { return m_zoom; }
    void setZoom(double zoom);
    // Applies the caption fields to the current picture: the picture server draws them.
    void applyCaptions(const QString& upper, const QString& lower);
    // Comment mode: the caption fields over the picture, opened and closed by the comment button.
    void commentTouch();
    bool isCommentMode() const { return m_commentMode; }
    // Removes the top (1) or bottom (2) caption, keeping the other.
    void deleteCommentTouch(int tag);
    // Leaves comment mode and removes both captions.
    void clearCommentTouch();
    // Fresh live pictures: leaves comment mode and asks for every picture at the new time.
    void updateTouch();
    // Offers a tweet about the picture shown.
    void shareButtonEvent();
    QString counterText() const;
    // Over the parent's window, or as a window of its own without one.
    void show();

Q_SIGNALS:
    void finished();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void close_();
    void placeControls();
    void showCommentFields();

    QPointer<Photos> m_photos;
    QVariantMap m_channelInfo;
    int m_index = 0;
    double m_zoom = 1.0;
    QPointF m_pan;
    QPoint m_pressAt;
    QPointF m_panAtPress;
    bool m_pressed = false;
    QLineEdit* m_upper;
    QLineEdit* m_lower;
    QPushButton* m_apply;
    QPushButton* m_close;
    QPushButton* m_comment;
    QPushButton* m_refresh;
    QPushButton* m_share;
    bool m_commentMode = false;
};
