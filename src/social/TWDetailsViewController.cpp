#include "TWDetailsViewController.h"

#include "core/AppDelegate.h"
#include "platform/NotificationCenter.h"
#include "platform/Printf.h"
#include "platform/StringTable.h"
#include "ui/ActivityOverlay.h"
#include "ui/AlertView.h"
#include "ui/Images.h"
#include "ui/NavigationController.h"
#include "ui/ScreenView.h"
#include "ui/TabBarController.h"
#include "ui/ViewTag.h"
#include "widgets/AsyncImageView.h"
#include "widgets/SHKTwitter.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLoggingCategory>
#include <QToolButton>
#include <QVBoxLayout>

Q_LOGGING_CATEGORY(lcTweetDetails, "orvane.talk.details")

TWDetailsViewController::TWDetailsViewController(QObject* parent)
    : ViewController(QStringLiteral("TWDetailsViewController_iPhone"), parent), m_sharer(new SHKTwitter(this))
{
    m_sharer->setDelegate(this);
    setTitle(QStringLiteral("Twitter"));
}

TWDetailsViewController::~TWDetailsViewController()
{
    NotificationCenter::defaultCenter().removeObserver(this);
}

void TWDetailsViewController::loadView()
{
    auto* header = new QWidget;
    auto* headerLayout = new QHBoxLayout(header);
    headerLayout->setContentsMargins(14, 12, 14, 6);
    m_imageViewPhoto = new QLabel;
    m_imageViewPhoto->setFixedSize(56, 56);
    m_imageViewPhoto->setScaledContents(true);
    headerLayout->addWidget(m_imageViewPhoto);
    auto* names = new QVBoxLayout;
    m_labelName = new QLabel;
    m_labelName->setTextFormat(Qt::PlainText);
    m_labelName->setStyleSheet(QStringLiteral("font-size: 17px; font-weight: bold; color: #20222e;"));
    m_labelUsername = new QLabel;
    m_labelUsername->setTextFormat(Qt::PlainText);
    m_labelUsername->setStyleSheet(QStringLiteral("font-size: 14px; color: #6b7085;"));
    names->addWidget(m_labelName);
    names->addWidget(m_labelUsername);
    headerLayout->addLayout(names, 1);

    auto* body = new QWidget;
    auto* bodyLayout = new QVBoxLayout(body);
    bodyLayout->setContentsMargins(14, 4, 14, 4);
    m_labelText = new QLabel;
    m_labelText->setTextFormat(Qt::PlainText); // a tweet's HTML is shown as it was typed
    m_labelText->setWordWrap(true);
    m_labelText->setMaximumHeight(MaxTextHeight);
    m_labelText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_labelText->setStyleSheet(QStringLiteral("font-size: 16px; color: #20222e;"));
    m_labelTimeAgo = new QLabel;
    m_labelTimeAgo->setStyleSheet(QStringLiteral("font-size: 12px; color: #6b7085;"));
    bodyLayout->addWidget(m_labelText);
    bodyLayout->addWidget(m_labelTimeAgo);
    bodyLayout->addStretch();

    auto* toolBar = new QWidget;
    toolBar->setStyleSheet(QStringLiteral("background: #eef0f6;"));
    auto* tools = new QHBoxLayout(toolBar);
    auto button = [&](const char* key, int tag, void (TWDetailsViewController::*action)()) {
        auto* b = new QToolButton;
        b->setText(StringTable::localized(key));
        b->setMinimumHeight(36);
        ViewTag::set(b, tag);
        connect(b, &QToolButton::clicked, this, action);
        tools->addWidget(b);
        return b;
    };
    m_barButtonReply = button("Reply", 1, &TWDetailsViewController::reply);
    m_barButtonRetwit = button("Retweet", 2, &TWDetailsViewController::retweet);
    m_barButtonDelete = button("Delete", 3, &TWDetailsViewController::deleteTweet);
    QWidget* view = ScreenView::column(nibName(), {header, body, toolBar});
    m_overlay = new ActivityOverlay(view);
    setView(view);
    showTweet();
}

void TWDetailsViewController::viewDidLoad()
{
    NotificationCenter::defaultCenter().observeOnMain(this, Notifications::InternetConnectionAvailable,
                                                      [this](const Notification&) { updateButtons(); });
    if (!SHKTwitter::isAuthorized()) {
        (new AlertView(StringTable::localized("Warning"),
                       StringTable::localized(
                           "In order to Reply, Retweet or Delete messages, please connect to Twitter"),
                       this,
                       [](AlertView*, int index) {
                           AppDelegate* app = AppDelegate::shared();
                           if (index == 1 && app && app->tabBarController())
                               app->tabBarController()->setSelectedIndex(SettingsTabIndex);
                       },
                       StringTable::localized("Cancel"), {StringTable::localized("Sign In")}))
            ->show();
    }
}

void TWDetailsViewController::viewWillAppear(bool)
{
    showTweet();
    updateButtons();
}

void TWDetailsViewController::setTweet(const Tweet& tweet)
{
    m_tweet = tweet;
    showTweet();
    updateButtons();
}

QString TWDetailsViewController::labelText() const
{
    return m_labelText ? m_labelText->text() : QString();
}

QString TWDetailsViewController::labelUsername() const
{
    return m_labelUsername ? m_labelUsername->text() : QString();
}

void TWDetailsViewController::showTweet()
{
    if (!m_labelText)
        return;
    m_labelName->setText(m_tweet.senderName());
    m_labelUsername->setText(Printf::format(QStringLiteral("@%@"), {m_tweet.senderUsername()}));
    m_labelText->setText(m_tweet.text().left(2000));
    m_labelTimeAgo->setText(m_tweet.tweetTimeDisplay());
    QImage photo = m_tweet.thumbnail();
    if (photo.isNull()) {
        photo = Images::named(QStringLiteral("no_photo.png")).toImage();
        const QUrl url(QUrl::fromPercentEncoding(m_tweet.profileImageUrl().toUtf8()));
        const QString id = m_tweet.tweetId();
        if (url.isValid() && !url.scheme().isEmpty())
            AsyncImageView::loadImage(url, {{AsyncImageView::OnDiskKey, true}}, this,
                                      [this, id](const QImage& image, const QVariantMap&) {
                                          if (m_tweet.tweetId() != id || !m_imageViewPhoto)
                                              return;
                                          m_tweet.setThumbnail(image);
                                          m_imageViewPhoto->setPixmap(QPixmap::fromImage(image));
                                      });
    }
    m_imageViewPhoto->setPixmap(QPixmap::fromImage(photo));
}

void TWDetailsViewController::updateButtons()
{
    if (!m_barButtonReply)
        return;
    const AppDelegate* app = AppDelegate::shared();
    if (!app || !app->isConnectionAvailable())
        return; // kept as they were until the connection is back
    const bool signedIn = SHKTwitter::isAuthorized();
    m_barButtonReply->setEnabled(signedIn);
    m_barButtonRetwit->setEnabled(signedIn);
    m_barButtonDelete->setEnabled(signedIn && m_tweet.isOwn());
}

void TWDetailsViewController::reply()
{
    SHKTwitter::shareItem(SHKItem::textInReplyTo(
        Printf::format(QStringLiteral("@%@ "), {m_tweet.senderUsername()}), m_tweet.tweetId()));
}

void TWDetailsViewController::retweet()
{
    SHKTwitter::shareItem(SHKItem::itemWithTweetId(m_tweet.tweetId(), SHKItem::ActionRetweet));
}

void TWDetailsViewController::deleteTweet()
{
    if (m_overlay)
        m_overlay->displayActivity(StringTable::localized("Deleting"));
    m_sharer->removeTweetWithId(m_tweet.tweetId());
}

void TWDetailsViewController::removeTweetDidFinish(const QVariant&)
{
    if (m_overlay)
        m_overlay->hide();
    m_tweet.setIsDeleted(true);
    NotificationCenter::defaultCenter().post(Notifications::TweetDeleted, this);
    if (NavigationController* navigation = navigationController())
        navigation->popViewControllerAnimated(true);
}

void TWDetailsViewController::removeTweetDidFailWithError(const Error& error)
{
    if (m_overlay)
        m_overlay->hide();
    qCInfo(lcTweetDetails).noquote() << Printf::format(QStringLiteral("Error when deleting tweet: %@"),
                                                       {error.localizedDescription()});
    AlertView::showError(error);
}
