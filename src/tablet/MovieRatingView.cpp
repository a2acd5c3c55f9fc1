#include "MovieRatingView.h"

#include "model/ShowDetailsLogic.h"
#include "platform/JsonValue.h"
#include "ui/Images.h"

#include <QMouseEvent>
#include <QPainter>

MovieRatingView::MovieRatingView(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("ratingView"));
    hide();
}

QString MovieRatingView::siteName()
{
    return QStringLiteral("КиноПоиск");
}

void MovieRatingView::setRating(const QVariantMap& rating)
{
    m_lines.clear();
    m_hasSite = rating.contains(QStringLiteral("kp_rating"));
    m_siteIndex = JsonValue::text(rating.value(QStringLiteral("kp_index")));
    // Negative ratings mean "not rated yet": shown as 0.
    if (m_hasSite) {
        const double value = std::max(0.0, JsonValue::number(rating.value(QStringLiteral("kp_rating"))));
        m_lines.append({QStringLiteral("%1 %2 (%3)")
                            .arg(siteName(), QString::asprintf("%.03f", value),
                                 JsonValue::text(rating.value(QStringLiteral("kp_votes")))),
                        value});
    }
    if (rating.contains(QStringLiteral("imdb_rating"))) {
        const double value = std::max(0.0, JsonValue::number(rating.value(QStringLiteral("imdb_rating"))));
        m_lines.append({QStringLiteral("IMDB %1 (%2)")
                            .arg(QString::asprintf("%.1f", value),
                                 JsonValue::text(rating.value(QStringLiteral("imdb_votes")))),
                        value});
    }
    setFixedHeight(preferredHeight());
    setVisible(!m_lines.isEmpty());
    update();
}

int MovieRatingView::preferredHeight() const
{
    return m_lines.size() == 2 ? 75 : m_lines.size() == 1 ? LineHeight : 0;
}

QStringList MovieRatingView::lines() const
{
    QStringList texts;
    for (const Line& line : m_lines)
        texts << line.text;
    return texts;
}

void MovieRatingView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QFont font = painter.font();
    font.setPixelSize(13);
    painter.setFont(font);
    painter.setPen(QColor(0x33, 0x36, 0x44));
    // With two lines the second sits at the bottom, the gap between them left clear.
    for (int i = 0; i < m_lines.size(); ++i) {
        const int top = i == 0 ? 0 : height() - LineHeight;
        const QRect row(0, top, width(), LineHeight);
        const int textWidth = std::min(width() - 130, 260);
        painter.drawText(row.adjusted(0, 0, -(width() - textWidth), 0), Qt::AlignLeft | Qt::AlignVCenter,
                         m_lines[i].text);
        const QStringList stars = ShowDetailsLogic::starImages(m_lines[i].rating);
        for (int k = 0; k < stars.size(); ++k)
            painter.drawPixmap(textWidth + 8 + k * 12, top + 6, 11, 11, Images::named(stars[k]));
    }
}

void MovieRatingView::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_hasSite && !m_siteIndex.isEmpty() && event->position().y() < LineHeight)
        Q_EMIT movieSiteTapped(ShowDetailsLogic::movieSitePage(m_siteIndex));
}
