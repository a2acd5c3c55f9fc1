#include "ORVTwitterProfileController.h"
#include "TwitterPanelParts.h"

#include "ORVTweetDetailsController.h"
#include "ORVTwitterCell.h"

#include "model/PreferenceKeys.h"
#include "platform/JsonValue.h"
#include "platform/Preferences.h"
#include "platform/Printf.h"
#include "platform/StringTable.h"
#include "social/ORVTweetController.h"
#include "social/ORVTwitterService.h"
#include "social/TwitterRefusal.h"
#include "ui/Images.h"
#include "ui/NavigationController.h"
#include "ui/NavigationItem.h"
#include "widgets/AsyncImageView.h"
#include "widgets/PaintedImages.h"

#include <QHBoxLayout>
#include <QLoggingCategory>
#include <QPainter>
#include <QVBoxLayout>

Q_LOGGING_CATEGORY(lcProfile, "orvane.twitter.profile")

namespace {

constexpr qint64 PictureBytes = 8 * 1024 * 1024;

// A count of the user object as text ("12"); numbers arrive as doubles from JSON.
QString countText(const QVariant& value)
{
    return QString::number(JsonValue::longLong(value));
}

} // namespace

ORVTwitterProfileController::ORVTwitterProfileController(const QVariantMap& profileData, QObject* parent)
    : ViewController(QStringLiteral("ORVTwitterProfileController"), parent), m_profileData(profileData),
      m_pictures(new PaintedImages(PictureBytes, this))
{
    setTitle(StringTable::localized("Profile"));
    navigationItem()->setTitle(title());
    connect(m_pictures, &PaintedImages::arrived, this, [this] {
        if (m_table)
            m_table->viewport()->update();
    });
}

QString ORVTwitterProfileController::userId() const
{
    const QString idText = JsonValue::text(m_profileData.value(QStringLiteral("id_str")));
    return idText.isEmpty() ? countText(m_profileData.value(QStringLiteral("id"))) : idText;
}

void ORVTwitterProfileController::loadView()
{
    auto* view = new QWidget;
    view->setObjectName(nibName());
    view->setStyleSheet(QStringLiteral("#ORVTwitterProfileController { background: white; }"));
    auto* head = new QWidget(view);
    head->setObjectName(HeadReuseIdentifier);
    m_photo = new QLabel(head);
    m_photo->setFixedSize(73, 73);
    m_photo->setScaledContents(true);
    m_name = TwitterPanelParts::plainLabel(20, true, QStringLiteral("#1d1d1f"), head);
    m_screenName = TwitterPanelParts::plainLabel(15, false, QStringLiteral("#808088"), head);
    m_description = TwitterPanelParts::plainLabel(15, false, QStringLiteral("#222"), head);
    m_location = TwitterPanelParts::plainLabel(13, false, QStringLiteral("#808088"), head);
    m_url = TwitterPanelParts::plainLabel(13, false, QStringLiteral("#2f7cf6"), head);
    m_friends = TwitterPanelParts::plainLabel(14, false, QStringLiteral("#333"), head);
    m_followers = TwitterPanelParts::plainLabel(14, false, QStringLiteral("#333"), head);
    m_statuses = TwitterPanelParts::plainLabel(14, false, QStringLiteral("#333"), head);
    m_readBtn = new QPushButton(head);
    m_readBtn->setObjectName(QStringLiteral("readBtn"));
    m_messageBtn = new QPushButton(QStringLiteral("Сообщение"), head);
    m_messageBtn->setObjectName(QStringLiteral("messageBtn"));
    m_readIndicator = TwitterPanelParts::busyBar(head, 60);
    connect(m_readBtn, &QPushButton::clicked, this, &ORVTwitterProfileController::followTouched);
    connect(m_messageBtn, &QPushButton::clicked, this, &ORVTwitterProfileController::directMessageTouched);

    auto* names = new QVBoxLayout;
    names->addWidget(m_name);
    names->addWidget(m_screenName);
    names->addWidget(m_description);
    names->addWidget(m_location);
    names->addWidget(m_url);
    auto* top = new QHBoxLayout;
    top->addWidget(m_photo, 0, Qt::AlignTop);
    top->addLayout(names, 1);
    auto* counts = new QHBoxLayout;
    counts->addWidget(m_friends);
    counts->addWidget(m_followers);
    counts->addWidget(m_statuses);
    counts->addStretch();
    counts->addWidget(m_readIndicator);
    counts->addWidget(m_readBtn);
    counts->addWidget(m_messageBtn);
    auto* headLayout = new QVBoxLayout(head);
    headLayout->setContentsMargins(20, 16, 20, 8);
    headLayout->addLayout(top);
    headLayout->addLayout(counts);

    m_indicator = TwitterPanelParts::busyBar(view);
    m_table = new ListTable(this, this);
    m_table->setObjectName(ReuseIdentifier);
    auto* layout = new QVBoxLayout(view);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(head);
    layout->addWidget(m_indicator);
    layout->addWidget(m_table, 1);
    setView(view);
}

void ORVTwitterProfileController::viewDidLoad()
{
    showProfile();
    loadTimeline();
}

void ORVTwitterProfileController::showProfile()
{
    const QVariantMap& p = m_profileData;
    const bool following = JsonValue::boolean(p.value(QStringLiteral("following")));
    m_readBtn->setText(following ? QStringLiteral("Не читать") : QStringLiteral("Читать"));
    m_friends->setText(
        Printf::format(QStringLiteral("%@ читает"), {countText(p.value(QStringLiteral("friends_count")))}));
    m_followers->setText(Printf::format(QStringLiteral("%@ читателей"),
                                        {countText(p.value(QStringLiteral("followers_count")))}));
    m_statuses->setText(
        Printf::format(QStringLiteral("%@ твитов"), {countText(p.value(QStringLiteral("statuses_count")))}));
    m_name->setText(JsonValue::text(p.value(QStringLiteral("name"))));
    m_screenName->setText(
        Printf::format(QStringLiteral("@%@"), {JsonValue::text(p.value(QStringLiteral("screen_name")))}));
    m_description->setText(JsonValue::text(p.value(QStringLiteral("description"))));
    m_location->setText(JsonValue::text(p.value(QStringLiteral("location"))));
    m_url->setText(JsonValue::text(p.value(QStringLiteral("url"))));
    m_photo->setPixmap(Images::named(QStringLiteral("no_photo.png")));
    const QUrl photo(JsonValue::text(p.value(QStringLiteral("profile_image_url"))));
    if (photo.isValid() && !photo.scheme().isEmpty())
        AsyncImageView::loadImage(photo, {{AsyncImageView::OnDiskKey, true}}, this,
                                  [this](const QImage& image, const QVariantMap&) {
                                      if (!image.isNull() && m_photo)
                                          m_photo->setPixmap(QPixmap::fromImage(image));
                                  });
}

void ORVTwitterProfileController::loadTimeline()
{
    m_loading = true;
    m_indicator->show();
    ORVTwitterService::sharedManager().twitterTimeLineWithUserId(
        userId(), {}, QStringLiteral("20"), this,
        [this](const QVariant& answer) {
            m_loading = false;
            m_indicator->hide();
            if (!JsonValue::isList(answer))
                return; // "errors": a protected or suspended user shows no tweets
            const QString ownId = Preferences::standard().string(PreferenceKeys::TwitterUserId);
            const QString ownName = ORVTwitterService::sharedManager().twitterAccName().toLower();
            m_tweeets.clear();
            for (const QVariant& item : answer.toList()) {
                Tweet tweet = Tweet::initWithDictionaryFromTwitter(JsonValue::map(item));
                // The user's own tweets: by the stored user id, or by the chosen account's name.
                tweet.setIsOwn((!ownId.isEmpty() && tweet.senderId() == ownId) ||
                               (!ownName.isEmpty() && tweet.senderUsername().toLower() == ownName));
                m_tweeets.append(std::move(tweet));
            }
            m_table->reloadData();
        },
        [this](const Error&) {
            m_loading = false;
            m_indicator->hide();
        });
}

int ORVTwitterProfileController::heightForRow(const IndexPath& path) const
{
    return path.row < m_tweeets.size() ? ORVTwitterCell::heightForTweet(m_tweeets[path.row]) : 0;
}

void ORVTwitterProfileController::paintRow(QPainter* painter, const QRect& rect, const IndexPath& path,
                                           RowState state)
{
    if (path.row >= m_tweeets.size())
        return;
    const Tweet& tweet = m_tweeets[path.row];
    ORVTwitterCell::paint(painter, rect, tweet, m_pictures->image(QUrl(tweet.profileImageUrl())), path.row,
                          state.highlighted);
}

void ORVTwitterProfileController::didSelectRowAtIndexPath(const IndexPath& path)
{
    m_table->deselectRow(path);
    if (path.row < 0 || path.row >= m_tweeets.size())
        return;
    Tweet tweet = m_tweeets[path.row];
    if (tweet.thumbnail().isNull())
        tweet.setThumbnail(m_pictures->image(QUrl(tweet.profileImageUrl())));
    m_openedTweetId = tweet.tweetId();
    auto* details = new ORVTweetDetailsController(this);
    details->setDelegate(this);
    details->setCurrentTweet(tweet);
    if (NavigationController* navigation = navigationController())
        navigation->pushViewController(details, true);
}

void ORVTwitterProfileController::followTouched()
{
    if (!ORVTwitterService::checkTwAccountWithAlert())
        return;
    m_readBtn->setEnabled(false);
    m_readIndicator->show();
    const auto answered = [this](const QVariant& answer) {
        m_readBtn->setEnabled(true);
        m_readIndicator->hide();
        const QVariantMap user = JsonValue::map(answer);
        if (!user.contains(QStringLiteral("following"))) {
            qCInfo(lcProfile).noquote() << "FOLLOWING REQUEST ERROR =" << TwitterRefusal::message(answer);
            return;
        }
        const bool following = JsonValue::boolean(user.value(QStringLiteral("following")));
        qCInfo(lcProfile).noquote() << Printf::format(QStringLiteral("FOLLOWING REQUEST SUCCESS = %d"),
                                                      {int(following)});
        m_profileData.insert(QStringLiteral("following"), following);
        m_readBtn->setText(following ? QStringLiteral("Не читать") : QStringLiteral("Читать"));
    };
    const auto failed = [this](const Error& error) {
        qCInfo(lcProfile).noquote() << "FOLLOWING REQUEST ERROR =" << error.localizedDescription();
        m_readBtn->setEnabled(true);
        m_readIndicator->hide();
    };
    ORVTwitterService& service = ORVTwitterService::sharedManager();
    if (JsonValue::boolean(m_profileData.value(QStringLiteral("following"))))
        service.unfollowUserId(userId(), this, answered, failed);
    else
        service.followUserId(userId(), false, this, answered, failed);
}

void ORVTwitterProfileController::directMessageTouched()
{
    if (!ORVTwitterService::checkTwAccountWithAlert())
        return;
    auto* composer = new ORVTweetController(this);
    composer->setIsDirectMessage(true);
    composer->setRecieverId(userId());
    composer->setDelegate(this);
    if (NavigationController* navigation = navigationController())
        navigation->pushViewController(composer, true);
}

void ORVTwitterProfileController::twitterDidFinish()
{
    twitterDidFinishWithOp(0);
}

void ORVTwitterProfileController::twitterDidFinishWithOp(int op)
{
    if (op == OpDeleted) {
        for (Tweet& tweet : m_tweeets) {
            if (tweet.tweetId() == m_openedTweetId)
                tweet.setIsDeleted(true);
        }
    }
    if (NavigationController* navigation = navigationController())
        navigation->popToViewController(this, true);
}
