// The Twitter sharer against the reference microblog service on loopback: the OAuth 1.0a
// sign-in (the test plays the user on the authorization page), the stored credentials, posting,
// replying, retweeting, deleting, paging the timeline, and what a revoked token or a service
// that is down does.
#include "NotificationRecorder.h"
#include "ServerFixture.h"

#include "platform/AccountStore.h"
#include "platform/JsonValue.h"
#include "platform/NotificationNames.h"
#include "platform/StringTable.h"
#include "social/TweetList.h"
#include "store/SocialStore.h"
#include "ui/AlertView.h"
#include "widgets/SHKTwitter.h"
#include "widgets/TweetComposer.h"
#include "widgets/TwitterAuthorizer.h"
#include "widgets/TwitterSession.h"

#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>
#include <QUrlQuery>

#include <sys/stat.h>

namespace {

// Records what the sharer reports.
class Delegate : public QObject, public TwitterDelegate
{
public:
    QVariantList tweets;
    QVariant result;
    Error error;
    int answers = 0;

    void loadTweetsDidFinish(const QVariantList& statuses) override { tweets = statuses, ++answers; }
    void loadTweetsDidFailWithError(const Error& e) override { error = e, ++answers; }
    void removeTweetDidFinish(const QVariant& status) override { result = status, ++answers; }
    void removeTweetDidFailWithError(const Error& e) override { error = e, ++answers; }
    void verifyCredentialsDidFinish(const QVariant& user) override { result = user, ++answers; }
    void verifyCredentialsDidFailWithError(const Error& e) override { error = e, ++answers; }
    void sendDidFinish(const QVariant& status) override { result = status, ++answers; }
    void sendDidFailWithError(const Error& e) override { error = e, ++answers; }
    void reset() { tweets.clear(), result.clear(), error = {}, answers = 0; }
};

QByteArray fetch(QNetworkAccessManager& network, const QNetworkRequest& request, const QByteArray& body,
                 QByteArray* location)
{
    QNetworkRequest r(request);
    r.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    QNetworkReply* reply;
    if (body.isNull()) {
        reply = network.get(r);
    } else {
        r.setHeader(QNetworkRequest::ContentTypeHeader,
                    QByteArrayLiteral("application/x-www-form-urlencoded"));
        reply = network.post(r, body);
    }
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    loop.exec();
    if (location)
        *location = reply->rawHeader("Location");
    reply->deleteLater();
    return reply->readAll();
}

} // namespace

class TestTwitterSharer : public QObject
{
    Q_OBJECT

    std::unique_ptr<ServerFixture> server;
    QUrl base;
    QNetworkAccessManager network;
    Delegate delegate;
    SHKTwitter* sharer = nullptr;

    void wait(int answers = 1) { QTRY_COMPARE_WITH_TIMEOUT(delegate.answers, answers, 10000); }

    // Signs in as the user would: the authorization page, the form, back to the application.
    void signIn()
    {
        QUrl authorizationUrl;
        TwitterAuthorizer::shared().setBrowserOpener([&](const QUrl& url) {
            authorizationUrl = url;
            return true;
        });
        NotificationRecorder recorder({Notifications::OAuthStartAuthorizing,
                                       Notifications::OAuthAccessTokenSaved,
                                       Notifications::OAuthAccessTokenFailed});
        TwitterAuthorizer::shared().start();
        QVERIFY(TwitterAuthorizer::shared().isAuthorizing());
        QTRY_VERIFY_WITH_TIMEOUT(authorizationUrl.isValid(), 10000);
        QCOMPARE(recorder.count(Notifications::OAuthStartAuthorizing.toString()), 1);
        const QString token = QUrlQuery(authorizationUrl).queryItemValue("oauth_token");
        QVERIFY(fetch(network, QNetworkRequest(authorizationUrl), {}, nullptr).contains(token.toUtf8()));
        QByteArray location;
        QUrlQuery form;
        form.addQueryItem("oauth_token", token);
        form.addQueryItem("screen_name", "demo");
        form.addQueryItem("password", "orvane-demo");
        form.addQueryItem("action", "allow");
        fetch(network, QNetworkRequest(base.resolved(QUrl("oauth/authorize"))),
              form.toString(QUrl::FullyEncoded).toUtf8(), &location);
        QVERIFY2(location.startsWith("http://127.0.0.1:"), location.constData());
        fetch(network, QNetworkRequest(QUrl(QString::fromUtf8(location))), {}, nullptr);
        QTRY_COMPARE_WITH_TIMEOUT(recorder.count(Notifications::OAuthAccessTokenSaved.toString()), 1, 10000);
        QCOMPARE(recorder.count(Notifications::OAuthAccessTokenFailed.toString()), 0);
        QVERIFY(!TwitterAuthorizer::shared().isAuthorizing());
    }

    QString demoId() { return QString::number(SocialStore(server->store()).userByScreenName("demo")->id); }

private Q_SLOTS:
    void initTestCase()
    {
        server = std::make_unique<ServerFixture>(true);
        base = QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(server->startSocial()));
        TwitterSession::setApiBase(base);
        sharer = new SHKTwitter(this);
        sharer->setDelegate(&delegate);
    }

    void init() { delegate.reset(); }

    void signsInAndKeepsTheTokenPrivate()
    {
        QVERIFY(!SHKTwitter::isAuthorized());
        sharer->verifyCredentials();
        wait();
        QCOMPARE(delegate.error.code(), TwitterSession::NotSignedInError);

        signIn();
        QVERIFY(SHKTwitter::isAuthorized());
        const auto account = TwitterSession::shared().account();
        QCOMPARE(account->username, QStringLiteral("demo"));
        QCOMPARE(account->userId, demoId());
        struct stat info
        {
        };
        QCOMPARE(::stat(QFile::encodeName(AccountStore::path()).constData(), &info), 0);
        QCOMPARE(info.st_mode & 0777, mode_t(0600));

        delegate.reset();
        sharer->verifyCredentials();
        wait();
        QCOMPARE(JsonValue::map(delegate.result).value("screen_name").toString(), QStringLiteral("demo"));
    }

    void postsRepliesRetweetsAndDeletes()
    {
        sharer->send(SHKItem::itemWithText(QStringLiteral("Смотрю «Новости» & <i>ещё</i>")));
        wait();
        const QVariantMap posted = JsonValue::map(delegate.result);
        QCOMPARE(posted.value("text").toString(), QStringLiteral("Смотрю «Новости» & <i>ещё</i>"));
        const QString id = posted.value("id_str").toString();

        delegate.reset();
        sharer->send(SHKItem::textInReplyTo(QStringLiteral("@demo "), id));
        wait();
        QCOMPARE(JsonValue::map(delegate.result).value("in_reply_to_status_id_str").toString(), id);

        // Someone else's status: retweeted, but not deletable.
        const StoreMessage others =
            SocialStore(server->store()).homeTimeline(demoId().toLongLong(), 0, 0, 50, false).last();
        QVERIFY(QString::number(others.userId) != demoId());
        delegate.reset();
        sharer->send(SHKItem::itemWithTweetId(QString::number(others.id), SHKItem::ActionRetweet));
        wait();
        QVERIFY(JsonValue::map(delegate.result).value("text").toString().startsWith("RT @"));
        delegate.reset();
        sharer->removeTweetWithId(QString::number(others.id));
        wait();
        QCOMPARE(delegate.error.code(), 183);
        QVERIFY(SHKTwitter::isAuthorized()); // a refusal is not a reason to sign out

        delegate.reset();
        sharer->removeTweetWithId(id);
        wait();
        QVERIFY(delegate.error.isNull());
        QVERIFY(!SocialStore(server->store()).status(id.toLongLong()));
    }

    void sharingOpensTheComposerAndPosts()
    {
        SHKTwitter::shareItem(SHKItem::itemWithText(QStringLiteral("Смотрю Новости 24 - Вечер")));
        const auto findComposer = [] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                if (auto* composer = qobject_cast<TweetComposer*>(widget); composer && composer->isVisible())
                    return composer;
            }
            return static_cast<TweetComposer*>(nullptr);
        };
        QTRY_VERIFY(findComposer());
        TweetComposer* composer = findComposer();
        QCOMPARE(composer->text(), QStringLiteral("Смотрю Новости 24 - Вечер"));
        // Past 140 characters Send is off; at 140 it is on.
        composer->setText(QString(141, u'a'));
        QCOMPARE(composer->charactersLeft(), -1);
        QVERIFY(!composer->sendButton()->isEnabled());
        composer->setText(QString(140, u'a'));
        QVERIFY(composer->sendButton()->isEnabled());
        composer->setText(QStringLiteral("Смотрю #Киноман"));
        composer->clickSend();
        QTRY_VERIFY_WITH_TIMEOUT(!AlertView::visibleAlerts().isEmpty(), 10000);
        QCOMPARE(AlertView::visibleAlerts().first()->message(), StringTable::localized("Saved!"));
        AlertView::visibleAlerts().first()->dismissWithClickedButtonIndex(0, false);
        const auto posted = SocialStore(server->store()).userTimeline(demoId().toLongLong(), 0, 0, 1);
        QCOMPARE(posted.first().text, QStringLiteral("Смотрю #Киноман"));
        QCOMPARE(posted.first().channelId, 13); // the channel's hashtag makes it that channel's talk
    }

    void timelinePagesByThirty()
    {
        SocialStore social(server->store());
        StoreMessage status;
        status.userId = demoId().toLongLong();
        status.screenName = "demo";
        for (int i = 0; i < 70; ++i) {
            status.text = QStringLiteral("status %1").arg(i);
            status.time = QDateTime::currentSecsSinceEpoch();
            QVERIFY(social.addStatus(status) != 0);
        }
        QList<Tweet> list;
        sharer->loadTimeLineWithSinceId({}, {}, TweetList::twitterPageCount(true, 0));
        wait();
        QString maxId = TweetList::mergeTwitterPage(list, delegate.tweets, true, demoId());
        QCOMPARE(list.size(), 30);
        QVERIFY(TweetList::showsMore(list.size()));
        QVERIFY(list.first().isOwn());

        delegate.reset();
        sharer->loadTimeLineWithSinceId({}, maxId, TweetList::twitterPageCount(false, list.size()));
        wait();
        QCOMPARE(delegate.tweets.size(), 31);
        maxId = TweetList::mergeTwitterPage(list, delegate.tweets, false, demoId());
        QCOMPARE(list.size(), 60);
        QSet<QString> ids;
        for (const Tweet& t : std::as_const(list))
            ids.insert(t.tweetId());
        QCOMPARE(ids.size(), 60); // no tweet twice

        delegate.reset();
        sharer->loadUserMentionsWithSinceId({}, {}, 30);
        wait();
        QVERIFY(!delegate.tweets.isEmpty());
        QVERIFY(JsonValue::map(delegate.tweets.first()).value("text").toString().contains("@demo"));
    }

    void aRevokedTokenSignsOutOnce()
    {
        NotificationRecorder recorder({Notifications::OAuthAccessTokenDeleted});
        SocialStore(server->store()).deleteToken(TwitterSession::shared().account()->token);
        sharer->verifyCredentials();
        wait();
        QCOMPARE(delegate.error.code(), 89);
        QVERIFY(!SHKTwitter::isAuthorized());
        QCOMPARE(recorder.count(Notifications::OAuthAccessTokenDeleted.toString()), 1);
        // Nothing is retried, and later calls fail at once without asking the service.
        delegate.reset();
        sharer->loadTimeLineWithSinceId({}, {}, 30);
        wait();
        QCOMPARE(delegate.error.code(), TwitterSession::NotSignedInError);
        QCOMPARE(recorder.count(Notifications::OAuthAccessTokenDeleted.toString()), 1);
    }

    void logoutRevokesAtTheService()
    {
        signIn();
        const QString token = TwitterSession::shared().account()->token;
        NotificationRecorder recorder({Notifications::OAuthAccessTokenDeleted});
        SHKTwitter::logout();
        QVERIFY(!SHKTwitter::isAuthorized());
        QCOMPARE(recorder.count(Notifications::OAuthAccessTokenDeleted.toString()), 1);
        QTRY_VERIFY_WITH_TIMEOUT(!SocialStore(server->store()).token(token), 10000);
    }

    void aServiceDownDuringSignInFails()
    {
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        const quint16 port = closed.serverPort();
        closed.close();
        TwitterSession::setApiBase(QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(port)));
        NotificationRecorder recorder(
            {Notifications::OAuthAccessTokenSaved, Notifications::OAuthAccessTokenFailed});
        QSignalSpy finished(&TwitterAuthorizer::shared(), &TwitterAuthorizer::finished);
        TwitterAuthorizer::shared().start();
        QTRY_COMPARE_WITH_TIMEOUT(recorder.count(Notifications::OAuthAccessTokenFailed.toString()), 1, 10000);
        QCOMPARE(recorder.count(Notifications::OAuthAccessTokenSaved.toString()), 0);
        QCOMPARE(finished.size(), 1);
        QVERIFY(!finished.first().at(0).toBool());
        QVERIFY(!TwitterAuthorizer::shared().isAuthorizing());
        TwitterSession::setApiBase(base);
    }
};

QTEST_MAIN(TestTwitterSharer)
#include "tst_twittersharer.moc"
