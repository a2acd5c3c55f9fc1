#include "SHKTwitter.h"

#include "TweetComposer.h"
#include "TwitterAuthorizer.h"
#include "TwitterSession.h"

#include "platform/JsonValue.h"
#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"
#include "platform/StringTable.h"
#include "ui/AlertView.h"

#include <QApplication>
#include <QInputDialog>
#include <QPointer>

SHKTwitter::SHKTwitter(QObject* parent) : QObject(parent) {}

bool SHKTwitter::isAuthorized()
{
    return TwitterSession::shared().isAuthorized();
}

void SHKTwitter::authorize()
{
    TwitterAuthorizer& authorizer = TwitterAuthorizer::shared();
    // Where the browser cannot be started, the user is given the address to open; where no
    // local callback can listen, the page's PIN is typed in here.
    static const bool wired = [&authorizer] {
        QObject::connect(
            &authorizer, &TwitterAuthorizer::authorizationUrlReady, &authorizer,
            [&authorizer](const QUrl& url, bool needsPin, bool opened) {
                if (needsPin) {
                    auto* prompt = new QInputDialog(QApplication::activeWindow());
                    prompt->setAttribute(Qt::WA_DeleteOnClose);
                    prompt->setWindowTitle(QStringLiteral("Twitter"));
                    prompt->setLabelText(
                        StringTable::localized("Open this address, sign in and type the PIN it shows:") +
                        u'\n' + url.toString());
                    QObject::connect(prompt, &QInputDialog::textValueSelected, &authorizer,
                                     &TwitterAuthorizer::continueWithPin);
                    QObject::connect(prompt, &QDialog::rejected, &authorizer, &TwitterAuthorizer::cancel);
                    prompt->open();
                } else if (!opened) {
                    (new AlertView(QStringLiteral("Twitter"),
                                   StringTable::localized("Open this address in a browser to sign in:") +
                                       u'\n' + url.toString(),
                                   nullptr, {}, StringTable::localized("OK")))
                        ->show();
                }
            });
        return true;
    }();
    Q_UNUSED(wired)
    authorizer.start(TwitterAuthorizer::Mode::Callback);
}

void SHKTwitter::logout()
{
    TwitterSession::shared().signOut(true);
}

void SHKTwitter::verifyCredentials()
{
    TwitterSession::shared().call(
        this, "GET", QStringLiteral("1.1/account/verify_credentials.json"), {},
        [this](const QVariant& user) {
            if (TwitterDelegate* d = delegate())
                d->verifyCredentialsDidFinish(user);
        },
        [this](const Error& error) {
            if (TwitterDelegate* d = delegate())
                d->verifyCredentialsDidFailWithError(error);
        });
}

void SHKTwitter::loadTimeLineWithSinceId(const QString& sinceId, const QString& maxId, int count)
{
    loadTweets(QStringLiteral("1/statuses/home_timeline.json"), sinceId, maxId, count);
}

void SHKTwitter::loadUserMentionsWithSinceId(const QString& sinceId, const QString& maxId, int count)
{
    loadTweets(QStringLiteral("1/statuses/mentions.json"), sinceId, maxId, count);
}

void SHKTwitter::loadTweets(const QString& path, const QString& sinceId, const QString& maxId, int count)
{
    QMultiMap<QString, QString> parameters{{QStringLiteral("count"), QString::number(count)}};
    if (!sinceId.isEmpty())
        parameters.insert(QStringLiteral("since_id"), sinceId);
    if (!maxId.isEmpty())
        parameters.insert(QStringLiteral("max_id"), maxId);
    TwitterSession::shared().call(
        this, "GET", path, parameters,
        [this](const QVariant& answer) {
            TwitterDelegate* d = delegate();
            if (!d)
                return;
            if (JsonValue::isMap(answer) || answer.typeId() != QMetaType::QVariantList)
                d->loadTweetsDidFailWithError(
                    Error::withDescription(TwitterSession::ErrorDomain, TwitterSession::BadAnswerError,
                                           QStringLiteral("The answer of Twitter is not a list of tweets.")));
            else
                d->loadTweetsDidFinish(answer.toList());
        },
        [this](const Error& error) {
            if (TwitterDelegate* d = delegate())
                d->loadTweetsDidFailWithError(error);
        });
}

void SHKTwitter::removeTweetWithId(const QString& tweetId)
{
    TwitterSession::shared().call(
        this, "POST", QStringLiteral("1.1/statuses/destroy/%1.json").arg(tweetId), {},
        [this](const QVariant& status) {
            if (TwitterDelegate* d = delegate())
                d->removeTweetDidFinish(status);
        },
        [this](const Error& error) {
            if (TwitterDelegate* d = delegate())
                d->removeTweetDidFailWithError(error);
        });
}

void SHKTwitter::send(const SHKItem& item)
{
    QString path = QStringLiteral("1.1/statuses/update.json");
    QMultiMap<QString, QString> parameters;
    if (item.actionType == SHKItem::ActionRetweet) {
        path = QStringLiteral("1.1/statuses/retweet/%1.json").arg(item.tweetId);
    } else {
        parameters.insert(QStringLiteral("status"), item.text);
        if (!item.inReplyToTweetId.isEmpty())
            parameters.insert(QStringLiteral("in_reply_to_status_id"), item.inReplyToTweetId);
    }
    TwitterSession::shared().call(
        this, "POST", path, parameters,
        [this](const QVariant& status) {
            if (TwitterDelegate* d = delegate())
                d->sendDidFinish(status);
        },
        [this](const Error& error) {
            if (TwitterDelegate* d = delegate())
                d->sendDidFailWithError(error);
        });
}

namespace {

// One interactive share: the composer (or, for a retweet, nothing to edit), the sending and
// the outcome. Owns itself until it ends.
class ShareRun : public QObject, public TwitterDelegate
{
public:
    explicit ShareRun(const SHKItem& item) : m_item(item), m_sharer(new SHKTwitter(this))
    {
        m_sharer->setDelegate(this);
    }

    void begin()
    {
        if (m_item.actionType == SHKItem::ActionRetweet) {
            m_sharer->send(m_item);
            return;
        }
        m_composer = new TweetComposer(m_item.text, QApplication::activeWindow());
        connect(m_composer, &TweetComposer::sendRequested, this, [this](const QString& text) {
            m_item.text = text;
            m_composer->setSending(true);
            m_sharer->send(m_item);
        });
        connect(m_composer, &TweetComposer::cancelled, this, &QObject::deleteLater);
        m_composer->show();
    }

    void sendDidFinish(const QVariant&) override
    {
        if (m_composer)
            m_composer->close();
        (new AlertView(QStringLiteral("Twitter"), StringTable::localized("Saved!"), nullptr, {},
                       StringTable::localized("OK")))
            ->show();
        deleteLater();
    }

    void sendDidFailWithError(const Error& error) override
    {
        if (m_composer)
            m_composer->setSending(false);
        AlertView::showError(error);
        if (!m_composer)
            deleteLater();
    }

private:
    SHKItem m_item;
    SHKTwitter* m_sharer;
    QPointer<TweetComposer> m_composer;
};

} // namespace

void SHKTwitter::shareItem(const SHKItem& item)
{
    if (isAuthorized()) {
        (new ShareRun(item))->begin();
        return;
    }
    // Sign in first; the share goes on once the token is saved, and is dropped if it fails.
    auto* waiter = new QObject(qApp);
    NotificationCenter& center = NotificationCenter::defaultCenter();
    center.observeOnMain(waiter, Notifications::OAuthAccessTokenSaved, [waiter, item](const Notification&) {
        NotificationCenter::defaultCenter().removeObserver(waiter);
        waiter->deleteLater();
        (new ShareRun(item))->begin();
    });
    center.observeOnMain(waiter, Notifications::OAuthAccessTokenFailed, [waiter](const Notification&) {
        NotificationCenter::defaultCenter().removeObserver(waiter);
        waiter->deleteLater();
    });
    authorize();
}
