#include "ORVTweetDetailsController.h"
#include "TwitterPanelParts.h"

#include "ORVTalksController.h"
#include "ORVTwitterProfileController.h"

#include "model/DateHelper.h"
#include "platform/JsonValue.h"
#include "platform/Printf.h"
#include "social/ORVTweetController.h"
#include "social/ORVTwitterService.h"
#include "social/TwitterRefusal.h"
#include "ui/AlertView.h"
#include "ui/BarButtonItem.h"
#include "ui/Images.h"
#include "ui/NavigationController.h"
#include "ui/NavigationItem.h"
#include "widgets/AsyncImageView.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLoggingCategory>
#include <QScrollArea>
#include <QVBoxLayout>

Q_LOGGING_CATEGORY(lcTabletTweet, "orvane.twitter.details")

namespace {

QPushButton* actionButton(const QString& text, const QString& name, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setMinimumHeight(36);
    return button;
}

} // namespace

ORVTweetDetailsController::ORVTweetDetailsController(QObject* parent)
    : ViewController(QStringLiteral("ORVTweetDetailsController"), parent)
{
    setTitle(QStringLiteral("Tweet"));
    navigationItem()->setTitle(QStringLiteral("Tweet"));
    navigationItem()->setRightBarButtonItem(
        BarButtonItem::withTitle(QStringLiteral("Закрыть"), [this] { tellDelegate(0); }));
}

void ORVTweetDetailsController::loadView()
{
    auto* view = new QWidget;
    view->setObjectName(nibName());
    view->setStyleSheet(QStringLiteral("#ORVTweetDetailsController { background: white; }"));
    m_photo = new QLabel(view);
    m_photo->setFixedSize(73, 73);
    m_photo->setScaledContents(true);
    m_senderName = TwitterPanelParts::plainLabel(20, true, QStringLiteral("#1d1d1f"), view);
    m_senderNickName = TwitterPanelParts::plainLabel(15, false, QStringLiteral("#808088"), view);
    m_textView = TwitterPanelParts::plainLabel(19, false, QStringLiteral("#222"), view);
    m_textView->setObjectName(QStringLiteral("textView"));
    m_textView->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_source = new QLabel(view);
    m_source->setTextFormat(Qt::RichText);
    m_source->setStyleSheet(QStringLiteral("font: 13px 'Helvetica'; color: #808088;"));
    connect(m_source, &QLabel::linkActivated, this,
            [](const QString& link) { qCInfo(lcTabletTweet).noquote() << "OPEN LINK =" << link; });
    m_time = TwitterPanelParts::plainLabel(13, false, QStringLiteral("#808088"), view);
    m_mediaImage = new QLabel(view);
    m_mediaImage->setAlignment(Qt::AlignCenter);
    m_mediaImage->hide();
    m_conversationBtn = actionButton(QString(), QStringLiteral("conversationBtn"), view);
    m_conversationBtn->setFlat(true);
    m_conversationBtn->setStyleSheet(QStringLiteral("color: #2f7cf6; text-align: left;"));
    m_indicator = TwitterPanelParts::busyBar(view);

    m_replyBtn = actionButton(QStringLiteral("Ответить"), QStringLiteral("replyBtn"), view);
    m_retweetBtn = actionButton(QStringLiteral("Ретвитнуть"), QStringLiteral("retweetBtn"), view);
    m_favoriteBtn = actionButton(QStringLiteral("★"), QStringLiteral("favoriteBtn"), view);
    m_trashBtn = actionButton(QStringLiteral("Удалить"), QStringLiteral("trashBtn"), view);
    m_profileInfoBtn = actionButton(QStringLiteral("Профиль"), QStringLiteral("profileInfoBtn"), view);
    connect(m_replyBtn, &QPushButton::clicked, this, &ORVTweetDetailsController::reply);
    connect(m_retweetBtn, &QPushButton::clicked, this, &ORVTweetDetailsController::retweet);
    connect(m_favoriteBtn, &QPushButton::clicked, this, &ORVTweetDetailsController::favorite);
    connect(m_trashBtn, &QPushButton::clicked, this, &ORVTweetDetailsController::destroy);
    connect(m_profileInfoBtn, &QPushButton::clicked, this, &ORVTweetDetailsController::showProfile);
    connect(m_conversationBtn, &QPushButton::clicked, this, &ORVTweetDetailsController::showConversation);

    auto* names = new QVBoxLayout;
    names->addWidget(m_senderName);
    names->addWidget(m_senderNickName);
    auto* head = new QHBoxLayout;
    head->addWidget(m_photo, 0, Qt::AlignTop);
    head->addLayout(names, 1);
    auto* actions = new QHBoxLayout;
    for (QPushButton* button : {m_replyBtn.data(), m_retweetBtn.data(), m_favoriteBtn.data(),
                                m_trashBtn.data(), m_profileInfoBtn.data()})
        actions->addWidget(button);
    auto* layout = new QVBoxLayout(view);
    layout->setContentsMargins(20, 16, 20, 16);
    layout->addLayout(head);
    layout->addWidget(m_textView);
    layout->addWidget(m_source);
    layout->addWidget(m_time);
    layout->addWidget(m_mediaImage);
    layout->addWidget(m_conversationBtn);
    layout->addStretch(1);
    layout->addWidget(m_indicator);
    layout->addLayout(actions);
    setView(view);
    showTweet();
}

void ORVTweetDetailsController::setCurrentTweet(const Tweet& tweet)
{
    m_currentTweet = tweet;
    m_photoImage = tweet.thumbnail();
    showTweet();
}

void ORVTweetDetailsController::setIsDisableConversation(bool disable)
{
    m_isDisableConversation = disable;
    showTweet();
}

QImage ORVTweetDetailsController::photo() const
{
    return m_photoImage;
}

void ORVTweetDetailsController::showTweet()
{
    if (!isViewLoaded())
        return;
    const Tweet& tweet = m_currentTweet;
    m_senderName->setText(tweet.senderName());
    m_senderNickName->setText(Printf::format(QStringLiteral("@%@"), {tweet.senderUsername()}));
    m_textView->setText(tweet.text());
    const QString sourceName = tweet.sourceName().toHtmlEscaped();
    const QString sourceUrl = tweet.sourceUrl().toHtmlEscaped();
    m_source->setText(Printf::format(
        QStringLiteral("Отправлено из %@"),
        {sourceUrl.isEmpty() ? sourceName
                             : QStringLiteral("<a href=\"%1\">%2</a>").arg(sourceUrl, sourceName)}));
    m_time->setText(tweet.tweetTime().isValid()
                        ? DateHelper::displayLocale().toString(tweet.tweetTime().toLocalTime(),
                                                               QStringLiteral("d MMMM yyyy, HH:mm"))
                        : QString());
    m_photo->setPixmap(m_photoImage.isNull() ? Images::named(QStringLiteral("no_photo.png"))
                                             : QPixmap::fromImage(m_photoImage));
    const QUrl photoUrl(tweet.profileImageUrl());
    if (m_photoImage.isNull() && photoUrl.isValid() && !photoUrl.scheme().isEmpty()) {
        const QString id = tweet.tweetId();
        AsyncImageView::loadImage(photoUrl, {{AsyncImageView::OnDiskKey, true}}, this,
                                  [this, id](const QImage& image, const QVariantMap&) {
                                      if (image.isNull() || m_currentTweet.tweetId() != id || !m_photo)
                                          return;
                                      m_photoImage = image;
                                      m_photo->setPixmap(QPixmap::fromImage(image));
                                  });
    }
    m_mediaImage->clear();
    m_mediaImage->hide();
    const QUrl mediaUrl(tweet.mediaImgUrl());
    if (!tweet.mediaImgUrl().isEmpty() && mediaUrl.isValid() && !mediaUrl.scheme().isEmpty()) {
        const QString id = tweet.tweetId();
        AsyncImageView::loadImage(mediaUrl, {}, this, [this, id](const QImage& image, const QVariantMap&) {
            if (image.isNull() || m_currentTweet.tweetId() != id || !m_mediaImage)
                return;
            m_mediaImage->setPixmap(
                QPixmap::fromImage(image.scaled(480, 320, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
            m_mediaImage->show();
        });
    }
    const bool hasReply =
        tweet.replyId().isValid() && !tweet.replyId().isNull() && !tweet.replyId().toString().isEmpty();
    m_conversationBtn->setVisible(hasReply && !m_isDisableConversation);
    m_conversationBtn->setText(
        Printf::format(QStringLiteral("Показать всю переписку с @%@"), {tweet.replyName().toString()}));
    updateButtons();
    tintFavorite();
}

void ORVTweetDetailsController::updateButtons()
{
    const ORVTwitterService& service = ORVTwitterService::sharedManager();
    // Own: marked so by the list, or sent by the chosen account.
    const bool own = m_currentTweet.isOwn() ||
                     (!service.twitterAccName().isEmpty() &&
                      m_currentTweet.senderUsername().toLower() == service.twitterAccName().toLower());
    const bool deleted = m_currentTweet.isDeleted();
    m_trashBtn->setEnabled(own && !deleted);
    m_retweetBtn->setEnabled(!own && !deleted);
    m_replyBtn->setEnabled(!deleted);
    m_favoriteBtn->setEnabled(!deleted);
}

void ORVTweetDetailsController::tintFavorite()
{
    m_favoriteBtn->setStyleSheet(m_currentTweet.isFavorited()
                                     ? QStringLiteral("color: #f5a623; font-weight: bold;")
                                     : QStringLiteral("color: #9a9aa0;"));
}

void ORVTweetDetailsController::setBusy(bool busy)
{
    if (m_indicator)
        m_indicator->setVisible(busy);
}

void ORVTweetDetailsController::tellDelegate(int op)
{
    if (!m_delegateObject || !m_delegate)
        return;
    if (op > 0)
        m_delegate->twitterDidFinishWithOp(op);
    else
        m_delegate->twitterDidFinish();
}

void ORVTweetDetailsController::twitterDidFinish()
{
    tellDelegate(0);
}

void ORVTweetDetailsController::twitterDidFinishWithOp(int op)
{
    tellDelegate(op);
}

void ORVTweetDetailsController::reply()
{
    if (!ORVTwitterService::checkTwAccountWithAlert())
        return;
    auto* composer = new ORVTweetController(this);
    composer->setReplyId(m_currentTweet.tweetId());
    composer->setTweetString(m_senderNickName ? m_senderNickName->text() : QString());
    // The composer reports to this panel's delegate, through the panel.
    composer->setDelegate(this);
    if (NavigationController* navigation = navigationController())
        navigation->pushViewController(composer, true);
}

void ORVTweetDetailsController::retweet()
{
    if (!ORVTwitterService::checkTwAccountWithAlert())
        return;
    m_retweetBtn->setEnabled(false);
    setBusy(true);
    ORVTwitterService::sharedManager().retweetWithId(
        m_currentTweet.tweetId(), this,
        [this](const QVariant&) {
            qCInfo(lcTabletTweet) << "RETWEET SUCCESS";
            setBusy(false);
            tellDelegate(0);
        },
        [this](const Error&) {
            qCInfo(lcTabletTweet) << "RETWEET ERROR";
            setBusy(false);
            m_retweetBtn->setEnabled(true);
            tellDelegate(0);
        });
}

void ORVTweetDetailsController::favorite()
{
    if (!ORVTwitterService::checkTwAccountWithAlert())
        return;
    m_favoriteBtn->setEnabled(false);
    setBusy(true);
    ORVTwitterService::sharedManager().tweetToFavorite(
        !m_currentTweet.isFavorited(), m_currentTweet.tweetId(), this,
        [this](const QVariant& answer) {
            setBusy(false);
            m_favoriteBtn->setEnabled(true);
            // An answer holding "errors" changed nothing at the service.
            if (TwitterRefusal::isRefusal(answer)) {
                qCInfo(lcTabletTweet).noquote() << "FAVORITE ERROR" << TwitterRefusal::message(answer);
                return;
            }
            qCInfo(lcTabletTweet) << "FAVORITE SUCCESS";
            m_currentTweet.setIsFavorited(!m_currentTweet.isFavorited());
            tintFavorite();
        },
        [this](const Error&) {
            qCInfo(lcTabletTweet) << "FAVORITE ERROR";
            setBusy(false);
            m_favoriteBtn->setEnabled(true);
        });
}

void ORVTweetDetailsController::destroy()
{
    if (!ORVTwitterService::checkTwAccountWithAlert())
        return;
    m_trashBtn->setEnabled(false);
    setBusy(true);
    ORVTwitterService::sharedManager().destroyTweetWithId(
        m_currentTweet.tweetId(), this,
        [this](const QVariant& answer) {
            setBusy(false);
            if (TwitterRefusal::isRefusal(answer)) {
                qCInfo(lcTabletTweet).noquote()
                    << "TWEET CONVERSATION ERROR =" << TwitterRefusal::message(answer);
                tellDelegate(0);
                return;
            }
            m_currentTweet.setIsDeleted(true);
            updateButtons();
            tellDelegate(OpDeleted);
        },
        [this](const Error&) {
            qCInfo(lcTabletTweet) << "DESTROY ERROR";
            setBusy(false);
            m_trashBtn->setEnabled(true);
            tellDelegate(0);
        });
}

void ORVTweetDetailsController::showProfile()
{
    if (!ORVTwitterService::checkTwAccountWithAlert())
        return;
    m_profileInfoBtn->setEnabled(false);
    setBusy(true);
    ORVTwitterService::sharedManager().twitterProfileWithId(
        m_currentTweet.senderId(), this,
        [this](const QVariant& answer) {
            setBusy(false);
            m_profileInfoBtn->setEnabled(true);
            // A suspended or unknown user: the reason, not an empty profile.
            if (TwitterRefusal::isRefusal(answer) || !JsonValue::isMap(answer)) {
                qCInfo(lcTabletTweet).noquote() << "GET PROFILE ERROR =" << TwitterRefusal::message(answer);
                AlertView::showError(
                    TwitterRefusal::error(answer, QStringLiteral("The profile could not be read.")));
                return;
            }
            auto* profile = new ORVTwitterProfileController(answer.toMap(), this);
            if (NavigationController* navigation = navigationController())
                navigation->pushViewController(profile, true);
        },
        [this](const Error& error) {
            qCInfo(lcTabletTweet).noquote() << "GET PROFILE ERROR =" << error.localizedDescription();
            setBusy(false);
            m_profileInfoBtn->setEnabled(true);
        });
}

void ORVTweetDetailsController::showConversation()
{
    auto* talks = new ORVTalksController(m_currentTweet, m_photoImage, this);
    if (NavigationController* navigation = navigationController())
        navigation->pushViewController(talks, true);
}
