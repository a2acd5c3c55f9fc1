#pragma once

#include <QUrl>
#include <QVariantMap>
#include <QWidget>

// The ratings of a film on the movie-information website and on IMDB: for each a line with
// the site's name, the rating, the votes in brackets and ten stars. 75 points high with both
// ratings, 25 with one, hidden with none. A click on the website's line asks to open the film's
// page there.
class MovieRatingView : public QWidget
{
    Q_OBJECT

public:
    static constexpr int LineHeight = 25;

    explicit MovieRatingView(QWidget* parent = nullptr);

    // The show's "rating" dictionary ("kp_rating", "kp_votes", "kp_index", "imdb_rating",
    // "imdb_votes").
    void setRating(const QVariantMap& rating);
    int preferredHeight() const;
    // The text of each line shown, as drawn (without the stars).
    QStringList lines() const;
    static QString siteName();

Q_SIGNALS:
    void movieSiteTapped(const QUrl& page);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    struct Line
    {
        QString text;
        double rating;
    };
    QList<Line> m_lines;
    bool m_hasSite = false;
    QString m_siteIndex;
};
