#include "ExpandedViewCell_iPad.h"

#include "MovieRatingView.h"
#include "social/ORVTwitterService.h"

#include "core/AppDelegate.h"
#include "model/DateAdditions.h"
#include "model/Utilities.h"
#include "platform/Dispatch.h"
#include "platform/JsonValue.h"
#include "platform/Printf.h"
#include "platform/SerialQueue.h"
#include "platform/StringTable.h"
#include "service/ContentAddresses.h"
#include "service/ServiceCalls.h"
#include "ui/Images.h"
#include "widgets/AsyncImageView.h"

#include <QGridLayout>
#include <QLabel>
#include <QLoggingCategory>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QTextBrowser>

Q_LOGGING_CATEGORY(lcExpanded, "orvane.tablet.expanded")

namespace {

AppDelegate* app()
{
    return AppDelegate::shared();
}

QLabel* label(const QString& style, QWidget* parent)
{
    auto* text = new QLabel(parent);
    text->setStyleSheet(style);
    text->setWordWrap(true);
    return text;
}

} // namespace

ExpandedViewCell_iPad::ExpandedViewCell_iPad(QWidget* parent)
    : QWidget(parent), m_channelName(label(QStringLiteral("color: #5a5e6c; font-size: 13px;"), this)),
      m_showName(label(QStringLiteral("color: #22242e; font-size: 22px; font-weight: bold;"), this)),
      m_date(label(QStringLiteral("color: #5a5e6c; font-size: 13px;"), this)),
      m_duration(label(QStringLiteral("color: #5a5e6c; font-size: 13px;"), this)),
      m_times(label(QStringLiteral("color: #2f5fb3; font-size: 16px; font-weight: bold;"), this)),
      m_description(label(QStringLiteral("color: #33364a; font-size: 14px;"), this)),
      m_picture(new QLabel(this)), m_progress(new QProgressBar(this)), m_rating(new MovieRatingView(this)),
      m_infoView(new QTextBrowser(this)), m_openNext(new QPushButton(this)),
      m_channelLogo(new QPushButton(this)), m_showImages(new QPushButton(this)),
      m_twitter(new QPushButton(this))
{
    setObjectName(QStringLiteral("ExpandedViewCell_iPad"));
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(0xee, 0xf1, 0xf7));
    setPalette(palette);
    setFixedHeight(Height);
    m_picture->setFixedSize(320, 240);
    m_picture->setAlignment(Qt::AlignCenter);
    m_progress->setRange(0, 1000);
    m_progress->setTextVisible(false);
    m_progress->setFixedHeight(6);
    m_description->setMaximumHeight(MaxDescriptionHeight);
    m_description->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_infoView->setFrameShape(QFrame::NoFrame);
    m_infoView->setOpenLinks(false);
    m_channelLogo->setObjectName(QStringLiteral("channelLogoButton"));
    m_channelLogo->setFixedSize(64, 64);
    m_channelLogo->setIconSize(QSize(60, 60));
    m_channelLogo->setFlat(true);
    m_channelLogo->setToolTip(StringTable::localized("Program"));
    m_showImages->setObjectName(QStringLiteral("showImagesButton"));
    m_showImages->setFixedSize(44, 44);
    m_showImages->setIconSize(QSize(32, 32));
    m_showImages->setEnabled(false);
    m_twitter->setObjectName(QStringLiteral("twitterButton"));
    m_twitter->setIcon(QIcon(Images::named(QStringLiteral("tw_icon.png"))));
    m_twitter->setFixedSize(44, 44);
    m_openNext->setObjectName(QStringLiteral("openNextBtn"));
    m_openNext->setStyleSheet(QStringLiteral("text-align: left; padding: 6px 12px; color: #2f5fb3;"));
    connect(m_twitter, &QPushButton::clicked, this, [this] {
        const QString text = tweetText();
        if (!text.isEmpty())
            ORVTwitterService::sharedManager().showTweetComposeWithText(text, {}, this);
    });
    connect(m_rating, &MovieRatingView::movieSiteTapped, this, &ExpandedViewCell_iPad::movieSiteTapped);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(16, 12, 16, 8);
    grid->setHorizontalSpacing(16);
    grid->setVerticalSpacing(4);
    auto* head = new QHBoxLayout;
    head->addWidget(m_channelLogo);
    auto* names = new QVBoxLayout;
    names->addWidget(m_channelName);
    names->addWidget(m_showName);
    names->addWidget(m_date);
    head->addLayout(names, 1);
    head->addWidget(m_showImages);
    head->addWidget(m_twitter);
    grid->addLayout(head, 0, 0, 1, 2);
    grid->addWidget(m_picture, 1, 0, 4, 1, Qt::AlignTop);
    grid->addWidget(m_times, 1, 1);
    grid->addWidget(m_progress, 2, 1);
    grid->addWidget(m_duration, 3, 1);
    auto* details = new QVBoxLayout;
    details->addWidget(m_description);
    details->addWidget(m_rating);
    details->addWidget(m_infoView, 1);
    grid->addLayout(details, 4, 1);
    grid->addWidget(m_openNext, 5, 0, 1, 2);
    grid->setRowStretch(4, 1);
    grid->setColumnStretch(1, 1);
}

void ExpandedViewCell_iPad::setChannel(const QString& title, const QUrl& logo)
{
    m_channelName->setText(title);
    m_channelLogo->setIcon(QIcon(Images::named(QStringLiteral("no_photo.png"))));
    if (logo.isValid() && !logo.isEmpty())
        AsyncImageView::loadImage(logo, {}, m_channelLogo, [this](const QImage& image, const QVariantMap&) {
            m_channelLogo->setIcon(QIcon(QPixmap::fromImage(image)));
        });
}

void ExpandedViewCell_iPad::setNextButton(const QString& nextText, bool listOpen)
{
    m_openNext->setVisible(!nextText.isEmpty());
    m_openNext->setText(listOpen ? QStringLiteral("···") : nextText);
}

void ExpandedViewCell_iPad::updateInfoWithShow(const std::shared_ptr<Show>& show, bool isTV)
{
    ++m_generation;
    m_show = show;
    m_isTV = isTV;
    m_info.reset();
    m_isOimSign = false;
    m_isHaveGallery = false;
    m_gallery.clear();
    m_showImages->setEnabled(false);
    m_showImages->setIcon({});
    m_rating->setRating({});
    m_infoView->clear();
    if (!show)
        return;
    m_showName->setText(show->name);
    m_date->setText(DateAdditions::getDateAndIntervalUntilDate(show->startTime, show->endTime));
    m_duration->setText(Printf::format(
        QStringLiteral("%@: %@"), {StringTable::localized("Dur"),
                                   DateAdditions::getDurationUntilDate(show->startTime, show->endTime)}));
    m_description->setText(show->description.isEmpty() ? QStringLiteral("Описание отсутствует")
                                                       : show->description);
    m_times->setText(DateAdditions::getTime(show->startTime) + QStringLiteral(" – ") +
                     DateAdditions::getTime(show->endTime));
    updateDuration();
    m_picture->setPixmap(
        Images::named(QStringLiteral("no_photo_show.png")).scaled(m_picture->size(), Qt::KeepAspectRatio));
    if (!show->bigPicture.isEmpty()) {
        const int generation = m_generation;
        AsyncImageView::loadImage(
            ContentAddresses::picture(show->bigPicture), {}, this,
            [this, generation](const QImage& image, const QVariantMap&) {
                if (generation == m_generation)
                    m_picture->setPixmap(QPixmap::fromImage(image).scaled(
                        m_picture->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
            });
    }
    loadInfoWithShow(*show);
}

void ExpandedViewCell_iPad::loadInfoWithShow(const Show& show)
{
    const int generation = m_generation;
    const QString showId = show.showId;
    const QString link =
        Printf::format(QStringLiteral("orvane://progdetails/%@/%@/%@"),
                       {Utilities::stringFromDate(Utilities::optimizeDateForORVProgram(show.startTime)),
                        show.channelId, showId});
    // The cache is read on its queue; the answer comes back here.
    Dispatch::cacheQueue().async([this, generation, showId, link] {
        const std::optional<QVariantMap> cached = Utilities::getShowDataById(showId);
        Dispatch::mainAsync(this, [this, generation, cached, link] {
            if (generation != m_generation)
                return;
            if (cached) {
                openShowWithData(*cached);
                return;
            }
            if (!app() || !app()->isConnectionAvailable())
                return;
            ServiceCalls::sharedManager().getShowInfoWithUrl(
                link,
                Reply(
                    this,
                    [this, generation](const QVariant& answer) {
                        if (JsonValue::map(answer).contains(QStringLiteral("nodata"))) {
                            qCInfo(lcExpanded) << "no details for the expanded show";
                            return;
                        }
                        const QString id =
                            JsonValue::text(JsonValue::map(JsonValue::map(answer).value(QStringLiteral("0")))
                                                .value(QStringLiteral("ev")));
                        Dispatch::cacheQueue().async([answer, id] { Utilities::saveShowData(answer, id); });
                        if (generation == m_generation)
                            openShowWithData(answer);
                    },
                    [](const Error& error) {
                        qCWarning(lcExpanded).noquote() << "details:" << error.localizedDescription();
                    }));
        });
    });
}

void ExpandedViewCell_iPad::openShowWithData(const QVariant& answer)
{
    m_info = ShowInfo::fromAnswer(answer, app() ? app()->roundedServerTimeDifference() : 0);
    if (!m_info)
        return;
    const Show& show = *m_info->show;
    m_infoView->setHtml(show.getHTMLBodyInfo(true, false));
    m_rating->setRating(show.rating);
    m_isOimSign = m_info->hasLiveScreens;
    m_gallery = m_info->gallery;
    m_isHaveGallery = !m_gallery.isEmpty();
    enablePhotoButton();
}

void ExpandedViewCell_iPad::enablePhotoButton()
{
    if (!m_isOimSign && !m_isHaveGallery)
        return;
    m_showImages->setIcon(
        QIcon(Images::named(m_isOimSign ? QStringLiteral("camera_icon.png") : QStringLiteral("slides.png"))));
    m_showImages->setEnabled(true);
}

void ExpandedViewCell_iPad::updateDuration(const QDateTime& now)
{
    if (m_show)
        updateDurationWithStartDate(m_show->startTime, m_show->endTime, now);
}

void ExpandedViewCell_iPad::updateDurationWithStartDate(const QDateTime& start, const QDateTime& end,
                                                        const QDateTime& now)
{
    const QDateTime from = start.isValid() ? start : (m_show ? m_show->startTime : QDateTime());
    const QDateTime to = end.isValid() ? end : (m_show ? m_show->endTime : QDateTime());
    const qint64 length = from.isValid() && to.isValid() ? from.msecsTo(to) : 0;
    if (length <= 0)
        return;
    m_progress->setValue(int(std::clamp<qint64>(from.msecsTo(now) * 1000 / length, 0, 1000)));
}

QString ExpandedViewCell_iPad::tweetText() const
{
    const QString channel = m_info ? m_info->channel->name() : m_channelName->text();
    const QString show = m_info ? m_info->show->name : m_showName->text();
    if (channel.isEmpty() || show.isEmpty())
        return {};
    return Printf::format(
        StringTable::localized(m_isTV ? "On \"%@\" tv channel \"%@\" now" : "On \"%@\" radio \"%@\" now"),
        {channel, show});
}

QString ExpandedViewCell_iPad::showNameText() const
{
    return m_showName->text();
}

QString ExpandedViewCell_iPad::descriptionText() const
{
    return m_description->text();
}

void ExpandedViewCell_iPad::mouseReleaseEvent(QMouseEvent* event)
{
    if (rect().contains(event->position().toPoint()))
        Q_EMIT tapped();
}

int ExpandedViewCell_iPad::progressPercent() const
{
    return m_progress->value() / 10;
}
