// The tablet's Twitter account service against the reference microblog service on loopback:
// what each REST call sends (as the service records it), the stored account's check at start,
// signing in with one or several accounts, the answers and refusals its callers get, the tweet
// sheet and the composer's 140-character rules.
#include "FakeHttpServer.h"
#include "NotificationRecorder.h"
#include "ServerFixture.h"
#include "TestHome.h"

#include "model/PreferenceKeys.h"
#include "platform/AccountStore.h"
#include "platform/NotificationNames.h"
#include "platform/Paths.h"
#include "platform/Preferences.h"
#include "social/ORVTwAccsTableController.h"
#include "social/ORVTweetController.h"
#include "social/ORVTwitterService.h"
#include "store/SocialStore.h"
#include "ui/AlertView.h"
#include "widgets/TweetComposer.h"
#include "widgets/TwitterSession.h"

#include <QApplication>
#include <QDir>
#include <QMutex>
#include <QTest>

namespace {

using Parameters = QList<std::pair<QString, QString>>;

// The calls the reference service verified, in order of arrival.
class CallLog
{
public:
    void add(const SocialServer::RecordedCall& call)
    {
        QMutexLocker lock(&m_mutex);
        m_calls.append(call);
    }
    QList<SocialServer::RecordedCall> calls() const
    {
        QMutexLocker lock(&m_mutex);
        return m_calls;
    }
    SocialServer::RecordedCall last() const { return calls().value(calls().size() - 1); }
    qsizetype size() const { return calls().size(); }
    void clear()
    {
        QMutexLocker lock(&m_mutex);
        m_calls.clear();
    }

private:
    mutable QMutex m_mutex;
    QList<SocialServer::RecordedCall> m_calls;
};

Parameters sorted(Parameters list)
{
    std::sort(list.begin(), list.end());
    return list;
}

// What one call answered.
struct Outcome
{
    int answers = 0;
    QVariant answer;
    Error error;
    bool failed = false;
    bool synchronous = false; // answered inside the call, which must never happen
};

class Receiver : public QObject, public ORVTwitterDelegate
{
public:
    int finished = 0;
    void twitterDidFinish() override { ++finished; }
};

void dismissAlerts()
{
    for (AlertView* alert : AlertView::visibleAlerts())
        alert->dismissWithClickedButtonIndex(0, false);
}

} // namespace

class TestTwitterService : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestHome> home;
    std::unique_ptr<ServerFixture> server;
    CallLog log;
    QString base;

    // A user of the reference service with an access token, stored as an account of this device.
    QString addAccount(const QString& screenName, const QString& fullName = {})
    {
        const StoreToken token = server->issueAccessToken(screenName);
        const QString userId = QString::number(token.userId);
        AccountStore::saveAccount({AccountStore::identifierFor(base, userId), screenName, userId, token.token,
                                   token.secret, base, fullName});
        return AccountStore::identifierFor(base, userId);
    }

    // Chooses the account, as the chooser would.
    void choose(const QString& identifier, const QString& name)
    {
        ORVTwitterService::sharedManager().accountDidSelectWithId(identifier, name);
        QVERIFY(ORVTwitterService::checkTwAcc());
    }

    template <typename Call> Outcome run(Call call)
    {
        Outcome outcome;
        QObject context;
        call(
            &context,
            [&outcome](const QVariant& answer) {
                outcome.answer = answer;
                ++outcome.answers;
            },
            [&outcome](const Error& error) {
                outcome.error = error;
                outcome.failed = true;
                ++outcome.answers;
            });
        // Never inside the call: the account store and the network answer later.
        outcome.synchronous = outcome.answers != 0;
        if (!QTest::qWaitFor([&outcome] { return outcome.answers > 0; }, 10000))
            qWarning("no answer");
        return outcome;
    }

    qint64 statusOf(const QString& screenName, const QString& text)
    {
        SocialStore social(server->store());
        StoreMessage status;
        const StoreUser user = *social.userByScreenName(screenName);
        status.userId = user.id;
        status.time = QDateTime::currentSecsSinceEpoch();
        status.senderId = QString::number(user.id);
        status.senderName = user.name;
        status.screenName = user.screenName;
        status.text = text;
        return social.addStatus(status);
    }

private Q_SLOTS:
    void init()
    {
        home = std::make_unique<TestHome>();
        server = std::make_unique<ServerFixture>();
        const quint16 port = server->startSocial();
        log.clear();
        server->social().setRecorder([this](const SocialServer::RecordedCall& call) { log.add(call); });
        base = QStringLiteral("http://127.0.0.1:%1/").arg(port);
        TwitterSession::setApiBase(QUrl(base));
        ORVTwitterService::resetSharedManager();
    }

    void cleanup()
    {
        dismissAlerts();
        ORVTwitterService::resetSharedManager();
        server.reset();
        home.reset();
    }

    void storedAccountIsCheckedAtStart()
    {
        Preferences& defaults = Preferences::standard();
        // An identifier without a user name is no account.
        defaults.setValue(PreferenceKeys::TwitterAccountId, QStringLiteral("someone"));
        {
            NotificationRecorder recorder({Notifications::TwitterLogin, Notifications::TwitterLogout});
            ORVTwitterService::sharedManager();
            QTRY_COMPARE(recorder.count(Notifications::TwitterLogout.toString()), 1);
            QCOMPARE(recorder.count(Notifications::TwitterLogin.toString()), 0);
            QVERIFY(!ORVTwitterService::checkTwAcc());
        }
        // A stored account that the store still holds signs in, with its name.
        const QString demo = addAccount(QStringLiteral("demo"));
        defaults.setValue(PreferenceKeys::TwitterAccountId, demo);
        defaults.setValue(PreferenceKeys::TwitterAccountName, QStringLiteral("demo"));
        ORVTwitterService::resetSharedManager();
        {
            NotificationRecorder recorder({Notifications::TwitterLogin, Notifications::TwitterLogout});
            ORVTwitterService& service = ORVTwitterService::sharedManager();
            QTRY_COMPARE(recorder.count(Notifications::TwitterLogin.toString()), 1);
            QCOMPARE(recorder.last(Notifications::TwitterLogin.toString()).notification.userInfo,
                     (QVariantMap{{"twitterid", demo}, {"twitteruser", "demo"}}));
            QCOMPARE(service.twitterAccId(), demo);
            QCOMPARE(service.twAccsCount(), 1);
        }
        // Removed from the store while chosen: signed out at the next start, defaults gone.
        AccountStore::removeAccount(demo);
        addAccount(QStringLiteral("anna_tv"));
        ORVTwitterService::resetSharedManager();
        {
            NotificationRecorder recorder({Notifications::TwitterLogin, Notifications::TwitterLogout});
            ORVTwitterService::sharedManager();
            QTRY_COMPARE(recorder.count(Notifications::TwitterLogout.toString()), 1);
            QVERIFY(!ORVTwitterService::checkTwAcc());
            QVERIFY(!defaults.contains(PreferenceKeys::TwitterAccountId));
            QVERIFY(!defaults.contains(PreferenceKeys::TwitterAccountName));
        }
    }

    void signInWithOneOrSeveralAccounts()
    {
        QWidget anchor;
        anchor.resize(200, 40);
        anchor.show();
        ORVTwitterService& service = ORVTwitterService::sharedManager();
        const QString demo = addAccount(QStringLiteral("demo"), QStringLiteral("Демо Зритель"));
        {
            // One account: taken at once, no chooser.
            NotificationRecorder recorder({Notifications::TwitterLogin});
            service.showPopoverAccsSelectorFromRect(anchor.rect(), &anchor, &anchor);
            QTRY_COMPARE(recorder.count(Notifications::TwitterLogin.toString()), 1);
            QVERIFY(!service.twPopoverControl());
            QCOMPARE(service.twitterAccName(), QStringLiteral("demo"));
            QCOMPARE(Preferences::standard().string(PreferenceKeys::TwitterAccountId), demo);
        }
        service.twLogout();
        QVERIFY(!ORVTwitterService::checkTwAcc());
        // Two: the chooser, 260 x 260, one section per account; a row picks its account.
        const QString anna = addAccount(QStringLiteral("anna_tv"));
        NotificationRecorder recorder({Notifications::TwitterLogin});
        service.showPopoverAccsSelectorFromRect(anchor.rect(), &anchor, &anchor);
        QTRY_VERIFY(service.accountChooser());
        ORVTwAccsTableController* chooser = service.accountChooser();
        QCOMPARE(chooser->view()->size(), ORVTwitterService::ChooserSize);
        QCOMPARE(chooser->numberOfSections(), 2);
        QCOMPARE(chooser->titleForSection(0), QStringLiteral("Демо Зритель"));
        QCOMPARE(chooser->detailForSection(0), QStringLiteral("@demo"));
        QCOMPARE(chooser->titleForSection(1), QStringLiteral("anna_tv")); // no full name known
        QVERIFY(chooser->detailForSection(1).isEmpty());
        QCOMPARE(recorder.count(Notifications::TwitterLogin.toString()), 0);
        chooser->table()->tapRow({1, 0});
        QTRY_COMPARE(recorder.count(Notifications::TwitterLogin.toString()), 1);
        QCOMPARE(service.twitterAccId(), anna);
        QTRY_VERIFY(!service.twPopoverControl());
    }

    void restCallsSendWhatTheyShould()
    {
        const QString demo = addAccount(QStringLiteral("demo"));
        choose(demo, QStringLiteral("demo"));
        ORVTwitterService& s = ORVTwitterService::sharedManager();
        SocialStore social(server->store());
        const QString anna = QString::number(social.userByScreenName(QStringLiteral("anna_tv"))->id);
        const QString others =
            QString::number(statusOf(QStringLiteral("anna_tv"), QStringLiteral("Смотрю кино")));
        using F = ORVTwitterService::Finished;
        using E = ORVTwitterService::Failed;
        struct Case
        {
            std::function<void(QObject*, F, E)> call;
            QByteArray method;
            QString path;
            Parameters parameters;
        };
        const QString reply = QString::number(statusOf(QStringLiteral("anna_tv"), QStringLiteral("Вопрос")));
        const QList<Case> cases = {
            {[&](QObject* c, F f, E e) { s.tweetReplyTo({}, QStringLiteral("Привет"), c, f, e); },
             "POST",
             "1.1/statuses/update.json",
             {{"status", "Привет"}}},
            {[&](QObject* c, F f, E e) { s.tweetReplyTo(reply, QStringLiteral("@anna_tv да"), c, f, e); },
             "POST",
             "1.1/statuses/update.json",
             {{"in_reply_to_status_id", reply}, {"status", "@anna_tv да"}}},
            {[&](QObject* c, F f, E e) { s.retweetWithId(others, c, f, e); },
             "POST",
             "1.1/statuses/retweet/" + others + ".json",
             {}},
            {[&](QObject* c, F f, E e) { s.tweetToFavorite(true, others, c, f, e); },
             "POST",
             "1.1/favorites/create.json",
             {{"id", others}}},
            {[&](QObject* c, F f, E e) { s.tweetToFavorite(false, others, c, f, e); },
             "POST",
             "1.1/favorites/destroy.json",
             {{"id", others}}},
            {[&](QObject* c, F f, E e) { s.twitterProfileWithId(anna, c, f, e); },
             "GET",
             "1.1/users/show.json",
             {{"user_id", anna}}},
            {[&](QObject* c, F f, E e) {
                 s.twitterTimeLineWithUserId(anna, {}, QStringLiteral("20"), c, f, e);
             },
             "GET",
             "1.1/statuses/user_timeline.json",
             {{"count", "20"}, {"user_id", anna}}},
            {[&](QObject* c, F f, E e) {
                 s.twitterTimeLineWithUserId(anna, others, QStringLiteral("5"), c, f, e);
             },
             "GET",
             "1.1/statuses/user_timeline.json",
             {{"count", "5"}, {"since_id", others}, {"user_id", anna}}},
            {[&](QObject* c, F f, E e) { s.followUserId(anna, false, c, f, e); },
             "POST",
             "1.1/friendships/create.json",
             {{"user_id", anna}}},
            {[&](QObject* c, F f, E e) { s.followUserId(anna, true, c, f, e); },
             "POST",
             "1.1/friendships/create.json",
             {{"follow", "true"}, {"user_id", anna}}},
            {[&](QObject* c, F f, E e) { s.unfollowUserId(anna, c, f, e); },
             "POST",
             "1.1/friendships/destroy.json",
             {{"user_id", anna}}},
            {[&](QObject* c, F f, E e) {
                 s.sendDirectTweetToUserId(anna, QStringLiteral("Привет!"), c, f, e);
             },
             "POST",
             "1.1/direct_messages/new.json",
             {{"text", "Привет!"}, {"user_id", anna}}},
            {[&](QObject* c, F f, E e) { s.tweetWithId(others, c, f, e); },
             "GET",
             "1.1/statuses/show.json",
             {{"id", others}}},
            {[&](QObject* c, F f, E e) { s.homeTimeLineSinceId({}, {}, {}, c, f, e); },
             "GET",
             "1.1/statuses/home_timeline.json",
             {{"exclude_replies", "true"}, {"trim_user", "false"}}},
            {[&](QObject* c, F f, E e) { s.homeTimeLineSinceId("1", others, "100", c, f, e); },
             "GET",
             "1.1/statuses/home_timeline.json",
             {{"count", "100"},
              {"exclude_replies", "true"},
              {"max_id", others},
              {"since_id", "1"},
              {"trim_user", "false"}}},
            {[&](QObject* c, F f, E e) { s.getMentionsSinceId({}, {}, {}, c, f, e); },
             "GET",
             "1.1/statuses/mentions_timeline.json",
             {{"trim_user", "false"}}},
            {[&](QObject* c, F f, E e) { s.getMentionsSinceId({}, others, "100", c, f, e); },
             "GET",
             "1.1/statuses/mentions_timeline.json",
             {{"count", "100"}, {"max_id", others}, {"trim_user", "false"}}},
        };
        for (const Case& c : cases) {
            log.clear();
            const Outcome outcome = run(c.call);
            QVERIFY(!outcome.synchronous);
            QCOMPARE(outcome.answers, 1);
            QVERIFY2(!outcome.failed, qPrintable(c.path + u' ' + outcome.error.localizedDescription()));
            QCOMPARE(log.size(), 1);
            const SocialServer::RecordedCall call = log.last();
            QCOMPARE(call.method, c.method);
            QCOMPARE(call.path, c.path);
            QCOMPARE(sorted(call.parameters), sorted(c.parameters));
            QCOMPARE(call.screenName, QStringLiteral("demo"));
        }

        // Refusals are answers: "errors" reach the finished callback.
        const QString own = QString::number(statusOf(QStringLiteral("demo"), QStringLiteral("Моё")));
        Outcome refused = run([&](QObject* c, F f, E e) { s.retweetWithId(own, c, f, e); });
        QVERIFY(!refused.failed);
        QCOMPARE(refused.answer.toMap().value("errors").toList().value(0).toMap().value("code").toInt(), 328);
        refused = run([&](QObject* c, F f, E e) { s.twitterProfileWithId("999999", c, f, e); });
        QVERIFY(!refused.failed);
        QCOMPARE(refused.answer.toMap().value("errors").toList().value(0).toMap().value("code").toInt(), 50);
        // A direct message to a user who does not follow the account: code 150.
        const QString mark = QString::number(social.userByScreenName(QStringLiteral("mark_radio"))->id);
        refused = run([&](QObject* c, F f, E e) { s.sendDirectTweetToUserId(mark, "Привет", c, f, e); });
        QCOMPARE(refused.answer.toMap().value("errors").toList().value(0).toMap().value("code").toInt(), 150);

        // The accounts query asks the service nothing.
        log.clear();
        const Outcome accounts = run([&](QObject* c, F f, E e) { s.getAccountsWithDelegate(c, f, e); });
        QCOMPARE(accounts.answer.toList().size(), 1);
        QCOMPARE(log.size(), 0);
    }

    void refusalsAndFailures()
    {
        ORVTwitterService& s = ORVTwitterService::sharedManager();
        using F = ORVTwitterService::Finished;
        using E = ORVTwitterService::Failed;
        // No account at all: the prompt to add one, and the caller hears code 6.
        Outcome outcome = run([&](QObject* c, F f, E e) { s.tweetWithId("1", c, f, e); });
        QVERIFY(outcome.failed);
        QCOMPARE(outcome.error.code(), ORVTwitterService::AccountNotFoundError);
        QVERIFY(AlertView::visibleAlertTitled(QStringLiteral("No Twitter Accounts")) ||
                AlertView::visibleAlertTitled(QStringLiteral("Нет учётных записей Twitter")));
        dismissAlerts();

        // Accounts, none chosen: failed with none, nothing sent.
        addAccount(QStringLiteral("demo"));
        log.clear();
        outcome = run([&](QObject* c, F f, E e) { s.tweetWithId("1", c, f, e); });
        QVERIFY(outcome.failed);
        QVERIFY(outcome.error.isNull());
        QCOMPARE(log.size(), 0);

        // A service whose answer is not JSON: failed with none; one that is gone: the transport
        // error; a delegate that is gone: nothing at all.
        FakeHttpServer fake;
        fake.setDefault(FakeHttpServer::Response::text("<html>busy</html>", 200));
        const QString fakeBase = QString::fromStdString(fake.baseUrl()) + u'/';
        TwitterSession::setApiBase(QUrl(fakeBase));
        AccountStore::saveAccount(
            {AccountStore::identifierFor(fakeBase, "7"), "x", "7", "t", "s", fakeBase, {}});
        choose(AccountStore::identifierFor(fakeBase, "7"), QStringLiteral("x"));
        outcome = run([&](QObject* c, F f, E e) { s.tweetWithId("1", c, f, e); });
        QVERIFY(outcome.failed);
        QVERIFY(outcome.error.isNull());
        QCOMPARE(fake.requestCount(), size_t(1));
        {
            int heard = 0;
            auto* gone = new QObject;
            s.tweetWithId(
                "1", gone, [&heard](const QVariant&) { ++heard; }, [&heard](const Error&) { ++heard; });
            delete gone;
            QTest::qWait(300);
            QCOMPARE(heard, 0);
        }

        // The account file cannot be read: "no access", code 7.
        TwitterSession::setApiBase(QUrl(base));
        QFile::remove(AccountStore::path());
        QVERIFY(QDir().mkpath(AccountStore::path()));
        outcome = run([&](QObject* c, F f, E e) { s.tweetWithId("1", c, f, e); });
        QVERIFY(outcome.failed);
        QCOMPARE(outcome.error.code(), ORVTwitterService::PermissionDeniedError);
        QVERIFY(AlertView::visibleAlertTitled(QStringLiteral("Нет доступа")));
        QVERIFY(QDir(AccountStore::path()).removeRecursively());
    }

    void actionsNeedAnAccount()
    {
        QVERIFY(!ORVTwitterService::checkTwAccountWithAlert());
        AlertView* alert = AlertView::visibleAlertTitled(QStringLiteral("Twitter не авторизован"));
        QVERIFY(alert);
        QCOMPARE(alert->message(),
                 QStringLiteral("Для доступа к этой функции войдите в свой Twitter аккуант"));
    }

    void tweetSheetPostsWithTheAccount()
    {
        ORVTwitterService& s = ORVTwitterService::sharedManager();
        // Without an account the sheet is only the prompt to add one.
        s.showTweetComposeWithText(QStringLiteral("Смотрю"), {}, nullptr);
        QTRY_VERIFY(!AlertView::visibleAlerts().isEmpty());
        QTRY_VERIFY(!s.tweetSheet());
        dismissAlerts();

        choose(addAccount(QStringLiteral("demo")), QStringLiteral("demo"));
        QImage picture(64, 48, QImage::Format_RGB32);
        picture.fill(Qt::darkCyan);
        s.showTweetComposeWithText(QStringLiteral("Смотрю «Новости»"), picture, nullptr);
        QPointer<TweetComposer> sheet = s.tweetSheet();
        QVERIFY(sheet);
        QCOMPARE(sheet->accountName(), QStringLiteral("@demo"));
        QCOMPARE(sheet->image().size(), picture.size());
        log.clear();
        sheet->clickSend();
        QTRY_VERIFY_WITH_TIMEOUT(!sheet, 10000);
        // The picture goes first, then the status that carries it.
        QCOMPARE(log.size(), 2);
        const SocialServer::RecordedCall upload = log.calls().first();
        QCOMPARE(upload.path, QStringLiteral("1.1/media/upload.json"));
        QCOMPARE(upload.parameters.size(), 1);
        QCOMPARE(upload.parameters.first().first, QStringLiteral("media_data"));
        QImage sent;
        QVERIFY(
            sent.loadFromData(QByteArray::fromBase64(upload.parameters.first().second.toLatin1()), "JPEG"));
        QCOMPARE(sent.size(), picture.size());
        const SocialServer::RecordedCall update = log.last();
        QCOMPARE(update.path, QStringLiteral("1.1/statuses/update.json"));
        QCOMPARE(update.parameters.size(), 2);
        QCOMPARE(update.parameters.first(),
                 (std::pair<QString, QString>("media_ids", update.parameters.first().second)));
        SocialStore social(server->store());
        const QList<StoreMessage> mine = social.userTimeline(social.userByScreenName("demo")->id, 0, 0, 1);
        QCOMPARE(mine.value(0).text, QStringLiteral("Смотрю «Новости»"));
        QVERIFY(mine.value(0).mediaUrl.endsWith(update.parameters.first().second + QStringLiteral(".png")));

        // Text only, and a refusal that leaves the sheet open to send again.
        s.showTweetComposeWithText(QString(150, u'x'), {}, nullptr);
        sheet = s.tweetSheet();
        QVERIFY(sheet && !sheet->sendButton()->isEnabled()); // over 140: nothing to send
        sheet->setText(QStringLiteral("Пост"));
        sheet->clickSend();
        QTRY_VERIFY_WITH_TIMEOUT(!sheet, 10000);
        QCOMPARE(log.last().parameters, (Parameters{{"status", "Пост"}}));
        s.showTweetComposeWithText(QStringLiteral("Пост"), {}, nullptr);
        sheet = s.tweetSheet();
        social.setSuspended(social.userByScreenName("demo")->id, true);
        sheet->clickSend();
        QTRY_VERIFY_WITH_TIMEOUT(!AlertView::visibleAlerts().isEmpty(), 10000);
        QVERIFY(sheet);
        QVERIFY(sheet->sendButton()->isEnabled());
        sheet->close();
    }

    void composerKeepsTo140Characters()
    {
        ORVTweetController composer;
        composer.setTweetString(QString(140, u'a'));
        composer.view();
        QCOMPARE(composer.tweetView()->toPlainText(), QString(140, u'a') + u' ');
        QCOMPARE(composer.symbolsLabel()->text(), QStringLiteral("-1"));
        composer.setTweetString(QString(141, u'b'));
        QCOMPARE(composer.tweetView()->toPlainText(), QString(139, u'b'));
        QCOMPARE(composer.symbolsLabel()->text(), QStringLiteral("1"));
        // Typing one more fits; the next is refused; deleting is allowed.
        composer.tweetView()->moveCursor(QTextCursor::End);
        QTest::keyClicks(composer.tweetView(), QStringLiteral("c"));
        QCOMPARE(composer.tweetView()->toPlainText().size(), 140);
        QCOMPARE(composer.symbolsLabel()->text(), QStringLiteral("0"));
        QTest::keyClicks(composer.tweetView(), QStringLiteral("d"));
        QCOMPARE(composer.tweetView()->toPlainText().size(), 140);
        QVERIFY(!composer.tweetView()->toPlainText().contains(u'd'));
        QTest::keyClick(composer.tweetView(), Qt::Key_Backspace);
        QCOMPARE(composer.symbolsLabel()->text(), QStringLiteral("1"));
        // The location button only toggles itself.
        composer.locationBtn()->click();
        QVERIFY(composer.locationBtn()->isChecked());
        QCOMPARE(composer.sendButton()->text(), QStringLiteral("Отправить"));
    }

    void composerSendsRepliesAndDirectMessages()
    {
        choose(addAccount(QStringLiteral("demo")), QStringLiteral("demo"));
        SocialStore social(server->store());
        Receiver receiver;
        {
            // A reply without a target sends only the status, and closes.
            ORVTweetController composer;
            composer.setDelegate(&receiver);
            composer.setTweetString(QStringLiteral("Всем привет"));
            composer.view();
            log.clear();
            composer.send();
            QVERIFY(!composer.sendButton()->isEnabled());
            QTRY_COMPARE_WITH_TIMEOUT(receiver.finished, 1, 10000);
            QCOMPARE(log.last().parameters, (Parameters{{"status", "Всем привет "}}));
        }
        {
            // A direct message to a follower is sent and closes the composer.
            ORVTweetController composer;
            composer.setDelegate(&receiver);
            composer.setIsDirectMessage(true);
            composer.setRecieverId(QString::number(social.userByScreenName(QStringLiteral("anna_tv"))->id));
            composer.setTweetString(QStringLiteral("Привет, Анна"));
            composer.view();
            composer.send();
            QTRY_COMPARE_WITH_TIMEOUT(receiver.finished, 2, 10000);
            QCOMPARE(log.last().path, QStringLiteral("1.1/direct_messages/new.json"));
        }
        {
            // One who does not follow the account: the code 150 alert; closing it closes.
            ORVTweetController composer;
            composer.setDelegate(&receiver);
            composer.setIsDirectMessage(true);
            composer.setRecieverId(
                QString::number(social.userByScreenName(QStringLiteral("mark_radio"))->id));
            composer.setTweetString(QStringLiteral("Привет, Марк"));
            composer.view();
            composer.send();
            QTRY_VERIFY_WITH_TIMEOUT(AlertView::visibleAlertTitled(QStringLiteral("Ошибка")), 10000);
            AlertView* alert = AlertView::visibleAlertTitled(QStringLiteral("Ошибка"));
            QCOMPARE(alert->message(),
                     QStringLiteral("Отправить личное сообщение можно только пользователю читающему вас"));
            QCOMPARE(receiver.finished, 2);
            alert->dismissWithClickedButtonIndex(0, false);
            QCOMPARE(receiver.finished, 3);
            QVERIFY(!composer.isSending());
        }
    }
};

QTEST_MAIN(TestTwitterService)
#include "tst_twitterservice.moc"
