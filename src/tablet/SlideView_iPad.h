#pragma once

#include <QDateTime>
#include <QList>
#include <QPointer>
#include <QVariantList>
#include <QWidget>

class QLabel;
class QTimer;

// The root pane's strip of the user's widget channels: one page per channel with the show
// on air (picture, channel, show, its time span), turning to the next page every 10 s and
// moving channels on to their next show every 25 s while refreshing is on (the navigation
// pane slid open). The shows come from the content server's now-data of view type 2 for the
// channel ids. Offline, a message covers the strip and refreshing stops.
class SlideView_iPad : public QWidget
{
    Q_OBJECT

public:
    static constexpr int SlideSeconds = 10;
    static constexpr int CheckSeconds = 25;

    struct Page
    {
        int channelId = 0;
        QString title;
        QVariantList shows;
        int current = 0;
        bool screens = false;
        QString image;
        bool disabled = false;
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
    bool getCurrentIsScreensSign() const;

Q_SIGNALS:
    void tapped();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
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
};
