#include "ORVLogoView_iPad.h"

#include "model/DateAdditions.h"
#include "platform/JsonValue.h"
#include "platform/Printf.h"
#include "platform/StringTable.h"
#include "service/ContentAddresses.h"
#include "service/ServiceCalls.h"
#include "ui/Images.h"
#include "widgets/AsyncImageView.h"

#include <QGraphicsOpacityEffect>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString NoData = QStringLiteral("Нет данных");

QLabel* label(int pixels, const QString& colour, bool bold = false)
{
    auto* l = new QLabel;
    l->setTextFormat(Qt::PlainText);
    l->setStyleSheet(QStringLiteral("font-size: %1px; color: %2;%3")
                         .arg(pixels)
                         .arg(colour, bold ? QStringLiteral(" font-weight: bold;") : QString()));
    return l;
}

QDateTime moment(const QVariant& seconds)
{
    return QDateTime::fromSecsSinceEpoch(JsonValue::longLong(seconds));
}

} // namespace

ORVLogoView_iPad::ORVLogoView_iPad(QWidget* parent)
    : QWidget(parent), m_picture(new QLabel), m_static(label(13, QStringLiteral("#b8bccb"))),
      m_channel(label(19, QStringLiteral("white"), true)), m_show(label(16, QStringLiteral("white"))),
      m_times(label(12, QStringLiteral("#b8bccb"))), m_next(label(12, QStringLiteral("#b8bccb"))),
      m_status(label(12, QStringLiteral("#e05050"))), m_people(label(12, QStringLiteral("#b8bccb"))),
      m_microphone(new QLabel), m_twitterName(label(12, QStringLiteral("white"))),
      m_progress(new QProgressBar), m_programButton(new QPushButton(StringTable::localized("Program"))),
      m_shareButton(new QPushButton(QStringLiteral("Tweet"))),
      m_loginButton(new QPushButton(StringTable::localized("Sign In"))),
      m_logoutButton(new QPushButton(StringTable::localized("Sign out")))
{
    setObjectName(QStringLiteral("ORVLogoView_iPad"));
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(QStringLiteral("#ORVLogoView_iPad { background: #2a2d3a; }"));
    m_picture->setFixedSize(48, 48);
    m_picture->setScaledContents(true);
    m_microphone->setFixedSize(16, 16);
    m_microphone->setScaledContents(true);
    m_progress->setRange(0, 100);
    m_progress->setTextVisible(false);
    m_progress->setFixedHeight(6);
    m_show->setWordWrap(true);
    m_programButton->setEnabled(false);

    auto* top = new QHBoxLayout;
    top->addWidget(m_microphone);
    top->addWidget(m_status, 1);
    top->addWidget(m_people);
    auto* channel = new QGridLayout;
    channel->addWidget(m_picture, 0, 0, 2, 1);
    channel->addWidget(m_static, 0, 1);
    channel->addWidget(m_channel, 1, 1);
    auto* twitter = new QHBoxLayout;
    twitter->addWidget(m_twitterName, 1);
    twitter->addWidget(m_loginButton);
    twitter->addWidget(m_shareButton);
    twitter->addWidget(m_logoutButton);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 10, 12, 10);
    layout->addLayout(top);
    layout->addLayout(channel);
    layout->addWidget(m_show);
    layout->addWidget(m_progress);
    layout->addWidget(m_times);
    layout->addWidget(m_next);
    layout->addWidget(m_programButton);
    layout->addLayout(twitter);
    setTwitterLogin(false, {});
    idle();
    m_status->clear();
}

void ORVLogoView_iPad::setDetectedChannWithData(const QVariantMap& answer)
{
    const QVariant shows = answer.value(QStringLiteral("p"));
    if (shows.typeId() == QMetaType::QVariantList) {
        m_shows = shows.toList();
        m_current = 0;
        updateInterfaceWithShow(JsonValue::map(m_shows.value(0)), JsonValue::map(m_shows.value(1)));
    } else {
        m_shows.clear();
        m_current = 0;
        m_show->setText(NoData);
        m_times->clear();
        m_next->clear();
        m_progress->setValue(0);
    }
    const QVariantMap channel = JsonValue::map(answer.value(QStringLiteral("c")));
    if (channel.isEmpty() || channel.contains(QStringLiteral("nodata"))) {
        m_channel->setText(NoData);
    } else {
        m_channel->setText(JsonValue::text(channel.value(QStringLiteral("ch"))));
        const bool tv = JsonValue::integer(channel.value(QStringLiteral("t"))) != 0;
        m_static->setText(tv ? QStringLiteral("Вы смотрите:") : QStringLiteral("Вы слушаете:"));
        const QVariantList songs = JsonValue::list(answer.value(QStringLiteral("s")));
        if (!tv && !songs.isEmpty())
            m_next->setText(
                Printf::format(QStringLiteral("%@ - %@"),
                               {JsonValue::text(JsonValue::map(songs.last()).value(QStringLiteral("a"))),
                                JsonValue::text(JsonValue::map(songs.first()).value(QStringLiteral("s")))}));
        m_picture->setPixmap(Images::named(QStringLiteral("no_photo.png")));
        const QString icon = JsonValue::text(channel.value(QStringLiteral("icon")));
        if (!icon.isEmpty())
            AsyncImageView::loadImage(ContentAddresses::channelLogo(48, 48, icon), {}, this,
                                      [this](const QImage& image, const QVariantMap&) {
                                          m_picture->setPixmap(QPixmap::fromImage(image));
                                      });
    }
    m_hasData = true;
    if (m_detected) {
        if (m_delegate)
            m_delegate->logoViewCurrentShowDidChange();
        return;
    }
    m_detected = true;
    m_programButton->setEnabled(true);
    auto* fade = new QGraphicsOpacityEffect(this);
    setGraphicsEffect(fade);
    auto* animation = new QPropertyAnimation(fade, "opacity", this);
    animation->setDuration(int(FadeInSeconds * 1000));
    animation->setStartValue(0.3);
    animation->setEndValue(1.0);
    animation->start(QAbstractAnimation::DeleteWhenStopped);
    if (m_delegate)
        m_delegate->logoViewDidAnimateStartDetectionStateWithDuration(FadeInSeconds);
}

void ORVLogoView_iPad::updateInterfaceWithShow(const QVariantMap& show, const QVariantMap& nextShow,
                                               const QDateTime& now)
{
    // A show has extra content when "aact" is there at all; its value is the content's kind.
    m_hasSpecialContent = show.contains(QStringLiteral("aact"));
    m_specialContentCode = m_hasSpecialContent ? JsonValue::integer(show.value(QStringLiteral("aact"))) : 0;
    m_specialContentUrl = QString();
    if (m_hasSpecialContent) {
        // An address without a scheme is a page of the content server.
        const QString address = JsonValue::text(show.value(QStringLiteral("aurl")));
        m_specialContentUrl = address.isEmpty() || QUrl(address).scheme().startsWith(u"http")
                                  ? address
                                  : ServiceCalls::baseUrl() + address;
    }
    m_show->setText(JsonValue::text(show.value(QStringLiteral("t"))));
    const QDateTime start = moment(show.value(QStringLiteral("ts")));
    const QDateTime end = moment(show.value(QStringLiteral("tf")));
    m_times->setText(DateAdditions::getTime(start) + QStringLiteral(" – ") + DateAdditions::getTime(end));
    const qint64 length = start.secsTo(end);
    m_progress->setValue(length > 0 ? int(std::clamp<qint64>(start.secsTo(now) * 100 / length, 0, 100)) : 0);
    const QString nextTitle = JsonValue::text(nextShow.value(QStringLiteral("t")));
    m_next->setText(nextTitle.isEmpty() ? QString()
                                        : Printf::format(QStringLiteral("Далее:%@"), {nextTitle}));
}

bool ORVLogoView_iPad::checkShowBounds(const QDateTime& now)
{
    if (m_shows.isEmpty() || (!m_detected && !m_hasData))
        return false;
    const QVariantMap current = JsonValue::map(m_shows.value(m_current));
    updateInterfaceWithShow(current, JsonValue::map(m_shows.value(m_current + 1)), now);
    if (moment(current.value(QStringLiteral("tf"))) > now)
        return false;
    for (int i = m_current + 1; i < m_shows.size(); ++i) {
        if (moment(JsonValue::map(m_shows[i]).value(QStringLiteral("tf"))) > now) {
            m_current = i;
            updateInterfaceWithShow(JsonValue::map(m_shows[i]), JsonValue::map(m_shows.value(i + 1)), now);
            if (m_delegate)
                m_delegate->logoViewCurrentShowDidChange();
            return true;
        }
    }
    m_current = 0;
    if (m_delegate)
        m_delegate->getUpdateToLogoView();
    return false;
}

QVariantMap ORVLogoView_iPad::getCurrentShowData() const
{
    return JsonValue::map(m_shows.value(m_current));
}

QString ORVLogoView_iPad::getCurrentShowId() const
{
    return JsonValue::text(getCurrentShowData().value(QStringLiteral("pid")));
}

QString ORVLogoView_iPad::getCurrentShowDate() const
{
    return JsonValue::text(getCurrentShowData().value(QStringLiteral("pd")));
}

QDateTime ORVLogoView_iPad::getCurrentShowTime() const
{
    const QVariantMap show = getCurrentShowData();
    return show.contains(QStringLiteral("ts")) ? moment(show.value(QStringLiteral("ts"))) : QDateTime();
}

void ORVLogoView_iPad::setOnlineStatus(const QString& text, int peoplesOnline)
{
    m_status->setText(text);
    m_status->setStyleSheet(QStringLiteral("font-size: 12px; color: #4cc25a;"));
    m_people->setText(Printf::format(QStringLiteral("%d чел."), {peoplesOnline}));
    m_microphone->setPixmap(Images::named(QStringLiteral("mic_img_colored.png")));
}

void ORVLogoView_iPad::setOfflineStatus(const QString& text)
{
    m_status->setText(text);
    m_status->setStyleSheet(QStringLiteral("font-size: 12px; color: #e05050;"));
    m_people->setText(QStringLiteral("0 чел."));
    m_microphone->setPixmap(Images::named(QStringLiteral("mic_img_colored_red.png")));
}

void ORVLogoView_iPad::animateDetected()
{
    if (m_pulsing || m_detected)
        return;
    m_pulsing = true;
    auto* pulse = new QGraphicsOpacityEffect(m_picture);
    m_picture->setGraphicsEffect(pulse);
    auto* animation = new QPropertyAnimation(pulse, "opacity", this);
    animation->setDuration(500);
    animation->setKeyValueAt(0, 1.0);
    animation->setKeyValueAt(0.5, 0.3);
    animation->setKeyValueAt(1, 1.0);
    connect(animation, &QAbstractAnimation::finished, this, [this] { m_pulsing = false; });
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void ORVLogoView_iPad::idle()
{
    const bool wasDetected = m_detected;
    m_detected = false;
    m_hasData = false;
    m_programButton->setEnabled(false);
    m_progress->setValue(0);
    if (wasDetected && m_delegate)
        m_delegate->logoViewWillAnimateFinishDetectionStateWithDuration(FadeOutSeconds);
    m_shows.clear();
    m_current = 0;
    m_specialContentCode = 0;
    m_hasSpecialContent = false;
    m_specialContentUrl.clear();
    m_static->setText(QStringLiteral("Определяем канал…"));
    m_channel->clear();
    m_show->clear();
    m_times->clear();
    m_next->clear();
    m_picture->setPixmap(Images::named(QStringLiteral("no_photo.png")));
}

void ORVLogoView_iPad::setTwitterLogin(bool loggedIn, const QString& loginName)
{
    m_twitterName->setText(loggedIn ? Printf::format(QStringLiteral("@%@"), {loginName}) : QString());
    m_loginButton->setVisible(!loggedIn);
    m_logoutButton->setVisible(loggedIn);
    m_shareButton->setVisible(loggedIn);
}

QString ORVLogoView_iPad::channelText() const
{
    return m_channel->text();
}
QString ORVLogoView_iPad::staticText() const
{
    return m_static->text();
}
QString ORVLogoView_iPad::showText() const
{
    return m_show->text();
}
QString ORVLogoView_iPad::nextText() const
{
    return m_next->text();
}
QString ORVLogoView_iPad::statusText() const
{
    return m_status->text();
}
QString ORVLogoView_iPad::peopleText() const
{
    return m_people->text();
}
QString ORVLogoView_iPad::twitterText() const
{
    return m_twitterName->text();
}
int ORVLogoView_iPad::progressPercent() const
{
    return m_progress->value();
}
