#pragma once

#include <QDateTime>
#include <QImage>
#include <QList>
#include <QPointer>
#include <QVariantList>
#include <QWidget>

class QLabel;
class QTimer;
class QToolButton;
class QVariantAnimation;

// The root pane's strip of the user's widget channels: one page per channel with the show
// on air (picture, channel, show, its time span), turning to the next page every 10 s and
// moving channels on to their next show every 25 s while refreshing is on (the navigation
// pane slid open). The shows come from the content server's now-data of view type 2 for the
// channel ids. Offline, a message covers the strip and refreshing stops. Pages turn with a
// horizontal scroll animation and follow a finger (drag, then settle on the nearer page); a
// tap opens the page's show. Each page has a share and a refresh button.
class SlideView_iPad : public QWidget
{
    Q_OBJECT

public:
    static constexpr int SlideSeconds = 10;
    static constexpr int CheckSeconds = 25;
    static constexpr int PageMs = 300;
    static constexpr int RefreshMs = 500;

    struct Page
    {
        int channelId = 0;
        QString title;
        QVariantList shows;
        int current = 0;
        bool screens = false;
        QString image;
        bool disabled = false;
        QString pictureUrl; // the address of picture, once asked for
        QImage picture;
    };

    explicit SlideView_iPad(QWidget* parent = nullptr);

    void widgetInit();
    void addChannelsWithId(const QList<int>& ids);
    void removeChannelsWithId(const QList<int>& ids);
    // Empties the pages and asks for every channel id again.
    void reloadChannelsWithIds();
    void onGetShowsDone(const QVariant& answer);
    void setIsAutoUpdating(bool on);
    bool isAutoUpdating() const;
    void slideNextwithAnimation();
    void checkShowBounds(const QDateTime& now = QDateTime::currentDateTime());
    void setOffline(bool offline, const QString& message);
    // The page's refresh control: after a short spin, asks again for the shown channel and
    // restarts the refresh timers.
    void updateTouch();
    // Where the strip is scrolled, in pages (0 = first page); fractional while turning.
    double scrollPosition() const { return m_scroll; }
    bool isTurning() const;
    // A horizontal drag of dx points (negative: towards the next page), then its end.
    void dragBy(int dx);
    void endDrag();
    QToolButton* shareButton() const { return m_shareButton; }
    QToolButton* refreshButton() const { return m_refreshButton; }

    const QList<int>& channelsId() const { return m_channelsId; }
    const QList<Page>& pages() const { return m_pages; }
    int currentShowIndex() const { return m_currentShowIndex; }
    bool isRequestRunning() const { return m_requestRunning; }
    QString offlineMessage() const;

    int getCurrentChannId() const;
    QString getCurrentShowId() const;
    QString getCurrentShowName() const;
    QString getCurrentChannName() const;
    QDateTime getCurrentShowTime() const;
    QString getCurrentShowImage() const;
    // The picture the current page shows (null until it has arrived).
    QImage getCurrentShowPicture() const;
    bool getCurrentIsScreensSign() const;

Q_SIGNALS:
    void tapped();
    void shareTouched();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void turnTo(int index, bool animated);
    void loadPicture(Page& page);
    void paintPage(QPainter& painter, const Page& page, const QRect& area) const;
    void request(const QList<int>& ids);
    QVariantMap currentShow() const;
    const Page* currentPage() const;

    QList<int> m_channelsId;
    QList<Page> m_pages;
    QList<int> m_disabledChannels;
    int m_currentShowIndex = 0;
    bool m_requestRunning = false;
    bool m_autoUpdating = false;
    QTimer* m_slideTimer;
    QTimer* m_checkTimer;
    QLabel* m_offlineLabel = nullptr;
    double m_scroll = 0;
    QVariantAnimation* m_turn;
    QToolButton* m_shareButton;
    QToolButton* m_refreshButton;
    int m_pressX = 0;
    int m_dragged = 0;
    bool m_pressed = false;
};
