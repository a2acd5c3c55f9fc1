#pragma once

#include "model/ShowInfo.h"

#include <QDateTime>
#include <QPointer>
#include <QWidget>

#include <memory>

class MovieRatingView;
class QLabel;
class QProgressBar;
class QPushButton;
class QTextBrowser;

// The now board's details row of the expanded channel (402 points): the show on air with its
// picture, date and times, progress, description, ratings and brief facts, with buttons for
// the channel's programme, its live screens or gallery, a tweet and the list of next shows.
// The facts come from the show cache when it has them, else from the content server (then
// cached).
class ExpandedViewCell_iPad : public QWidget
{
    Q_OBJECT

public:
    static constexpr int Height = 402;
    static constexpr int MaxDescriptionHeight = 150;

    explicit ExpandedViewCell_iPad(QWidget* parent = nullptr);

    // Fills the row with a show; the facts follow (cache or request).
    void updateInfoWithShow(const std::shared_ptr<Show>& show, bool isTV);
    void updateDuration(const QDateTime& now = QDateTime::currentDateTime());
    void updateDurationWithStartDate(const QDateTime& start, const QDateTime& end,
                                     const QDateTime& now = QDateTime::currentDateTime());
    void setChannel(const QString& title, const QUrl& logo);
    // The next-show button: its text (closed list), "···" while the list is open, hidden
    // without a next show.
    void setNextButton(const QString& nextText, bool listOpen);

    // The details answer, as the board's request or the cache gives it.
    void openShowWithData(const QVariant& answer);

    bool isOimSign() const { return m_isOimSign; }
    bool isHaveGallery() const { return m_isHaveGallery; }
    QStringList getGalleryImages() const { return m_gallery; }
    // "channel" → Channel, "show" → Show, as held (empty before the facts).
    const std::optional<ShowInfo>& currentChannInfo() const { return m_info; }
    std::shared_ptr<Show> currentShow() const { return m_show; }
    QString tweetText() const;

    QPushButton* openNextBtn() const { return m_openNext; }
    QPushButton* channelLogoButton() const { return m_channelLogo; }
    QPushButton* showImagesButton() const { return m_showImages; }
    QPushButton* twitterButton() const { return m_twitter; }
    QString showNameText() const;
    QString descriptionText() const;
    int progressPercent() const;

Q_SIGNALS:
    void movieSiteTapped(const QUrl& page);
    // A click on the row outside its buttons (the board collapses the channel).
    void tapped();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void loadInfoWithShow(const Show& show);
    void enablePhotoButton();

    std::shared_ptr<Show> m_show;
    bool m_isTV = true;
    std::optional<ShowInfo> m_info;
    bool m_isOimSign = false;
    bool m_isHaveGallery = false;
    QStringList m_gallery;
    int m_generation = 0;
    QLabel* m_channelName;
    QLabel* m_showName;
    QLabel* m_date;
    QLabel* m_duration;
    QLabel* m_times;
    QLabel* m_description;
    QLabel* m_picture;
    QProgressBar* m_progress;
    MovieRatingView* m_rating;
    QTextBrowser* m_infoView;
    QPushButton* m_openNext;
    QPushButton* m_channelLogo;
    QPushButton* m_showImages;
    QPushButton* m_twitter;
};
