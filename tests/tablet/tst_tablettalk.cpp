// The tablet's Twitter screens in a running tablet application against the demo content server
// and the reference microblog service: the talk screen's four tabs and their accounts rules,
// the details panel's actions, a profile with follow and a suspended user, and conversations
// that run long, loop, or point at a deleted tweet.
#include "TabletApp.h"

#include "platform/AccountStore.h"
#include "social/ORVTweetController.h"
#include "social/ORVTwitterService.h"
#include "store/SocialStore.h"
#include "tablet/ORVRootController.h"
#include "tablet/ORVTalksController.h"
#include "tablet/ORVTweetDetailsController.h"
#include "tablet/ORVTwitterProfileController.h"
#include "tablet/ORVTwitterViewController.h"
#include "ui/AlertView.h"
#include "ui/NavigationController.h"
#include "widgets/TwitterSession.h"

#include <QSqlQuery>
#include <QTest>

namespace {

int indexOf(const QList<Tweet>& list, const std::function<bool(const Tweet&)>& test)
{
    for (int i = 0; i < list.size(); ++i) {
        if (test(list[i]))
            return i;
    }
    return -1;
}

} // namespace

class TestTabletTalk : public QObject
{
    Q_OBJECT

    std::unique_ptr<TabletApp> tablet;
    QString base;

    ORVTwitterViewController* openTalk()
    {
        tablet->root()->didSelectMenuRow(2);
        auto* talk = qobject_cast<ORVTwitterViewController*>(tablet->root()->menuScreen(2));
        if (talk)
            talk->view()->resize(724, 700);
        return talk;
    }

    void signIn(const QString& screenName)
    {
        const StoreToken token = tablet->server().issueAccessToken(screenName);
        const QString userId = QString::number(token.userId);
        const QString identifier = AccountStore::identifierFor(base, userId);
        AccountStore::saveAccount({identifier, screenName, userId, token.token, token.secret, base, {}});
        ORVTwitterService::sharedManager().accountDidSelectWithId(identifier, screenName);
    }

    qint64 addStatus(const QString& screenName, const QString& text, qint64 replyTo = 0)
    {
        SocialStore social(tablet->server().store());
        const StoreUser user = *social.userByScreenName(screenName);
        StoreMessage status;
        status.userId = user.id;
        status.time = QDateTime::currentSecsSinceEpoch();
        status.senderId = QString::number(user.id);
        status.senderName = user.name;
        status.screenName = user.screenName;
        status.text = text;
        if (replyTo > 0)
            status.replyToId = QString::number(replyTo);
        return social.addStatus(status);
    }

    // A tweet as Twitter shows it, read through the service.
    Tweet fetch(qint64 id)
    {
        Tweet tweet;
        bool done = false;
        ORVTwitterService::sharedManager().tweetWithId(
            QString::number(id), this,
            [&](const QVariant& answer) {
                tweet = Tweet::initWithDictionaryFromTwitter(answer.toMap());
                done = true;
            },
            [&](const Error&) { done = true; });
        if (!QTest::qWaitFor([&done] { return done; }, 10000))
            qWarning("no answer for status %lld", id);
        return tweet;
    }

private Q_SLOTS:
    void init()
    {
        tablet = std::make_unique<TabletApp>();
        base = QStringLiteral("http://127.0.0.1:%1/").arg(tablet->server().startSocial());
        TwitterSession::setApiBase(QUrl(base));
        QVERIFY(tablet->waitUntilReady());
    }

    void cleanup() { tablet.reset(); }

    void tabsFollowTheAccount()
    {
        ORVTwitterViewController* talk = openTalk();
        QVERIFY(talk);
        // All channels' talk from the content server, 100 at most, a loading row after it.
        QTRY_VERIFY_WITH_TIMEOUT(!talk->arrayTweets().isEmpty() && !talk->isLoading(), 10000);
        QVERIFY(talk->arrayTweets().size() <= 100);
        QCOMPARE(talk->numberOfRowsInSection(0), talk->arrayTweets().size() + 1);
        QVERIFY(talk->isLoadingRow(int(talk->arrayTweets().size())));
        QVERIFY(talk->lastMessageDate().isValid());
        QVERIFY(talk->lastMessageDate() < talk->arrayTweets().last().tweetTime());

        // Without an account the user's tabs are off, and asking for one shows why.
        SegmentedControl* segment = talk->segment();
        QVERIFY(!segment->isSegmentEnabled(2) && !segment->isSegmentEnabled(3));
        talk->segmentChanged(3);
        QVERIFY(AlertView::visibleAlertTitled(QStringLiteral("Twitter не авторизован")));
        QCOMPARE(segment->selectedSegmentIndex(), 0);
        TabletApp::dismissAlerts();

        signIn(QStringLiteral("demo"));
        QTRY_VERIFY(segment->isSegmentEnabled(2) && segment->isSegmentEnabled(3));

        // A tab change while a request is out keeps the tab the request belongs to.
        talk->reloadTweets();
        QVERIFY(talk->isLoading());
        QCOMPARE(talk->numberOfRowsInSection(0), 0); // a fresh load shows no rows
        segment->tapSegment(3);
        QCOMPARE(segment->selectedSegmentIndex(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(!talk->isLoading(), 10000);

        // Mentions: the user's name in each, own tweets marked by the account's name.
        segment->tapSegment(3);
        QCOMPARE(segment->selectedSegmentIndex(), 3);
        QTRY_VERIFY_WITH_TIMEOUT(!talk->isLoading() && !talk->arrayTweets().isEmpty(), 10000);
        for (const Tweet& tweet : talk->arrayTweets())
            QVERIFY2(tweet.text().contains(QStringLiteral("@demo")), qPrintable(tweet.text()));
        QCOMPARE(talk->maxId(), talk->arrayTweets().last().tweetId());
        // The demo has fewer than a page: the next page brings only the last again, and ends.
        talk->loadMore();
        QTRY_VERIFY_WITH_TIMEOUT(!talk->isLoading(), 10000);
        QVERIFY(talk->finishTweets());

        // Signing out on a user's tab: back to all channels, the user's tabs off.
        ORVTwitterService::sharedManager().twLogout();
        QTRY_COMPARE(segment->selectedSegmentIndex(), 0);
        QVERIFY(!segment->isSegmentEnabled(2) && !segment->isSegmentEnabled(3));
        QTRY_VERIFY_WITH_TIMEOUT(!talk->isLoading() && !talk->arrayTweets().isEmpty(), 10000);
        QVERIFY(talk->arrayTweets().first().senderUsername() != QStringLiteral("demo") ||
                !talk->arrayTweets().first().text().contains(QStringLiteral("@demo")));
    }

    void detailsPanelActions()
    {
        signIn(QStringLiteral("demo"));
        ORVTwitterViewController* talk = openTalk();
        QTRY_VERIFY(talk->segment()->isSegmentEnabled(2));
        QTRY_VERIFY_WITH_TIMEOUT(!talk->isLoading(), 10000);
        talk->segment()->tapSegment(2);
        QTRY_VERIFY_WITH_TIMEOUT(!talk->isLoading() && !talk->arrayTweets().isEmpty(), 10000);
        const int own = indexOf(talk->arrayTweets(), [](const Tweet& t) { return t.isOwn(); });
        const int other = indexOf(talk->arrayTweets(), [](const Tweet& t) { return !t.isOwn(); });
        QVERIFY(own >= 0 && other >= 0);

        // Someone else's tweet: retweet yes, delete no; the favourite goes on and off.
        talk->table()->tapRow({0, other});
        QVERIFY(talk->isDetailsOpen());
        ORVTweetDetailsController* details = talk->twDetailsController();
        QVERIFY(details->retweetBtn()->isEnabled());
        QVERIFY(!details->trashBtn()->isEnabled());
        QCOMPARE(details->senderNickName()->text(), "@" + talk->arrayTweets()[other].senderUsername());
        const bool favorited = details->currentTweet().isFavorited();
        details->favorite();
        QTRY_VERIFY_WITH_TIMEOUT(details->favoriteBtn()->isEnabled(), 10000);
        QCOMPARE(details->currentTweet().isFavorited(), !favorited);
        details->favorite();
        QTRY_VERIFY_WITH_TIMEOUT(details->favoriteBtn()->isEnabled(), 10000);
        QCOMPARE(details->currentTweet().isFavorited(), favorited);
        // Reply: the composer in the panel, answering this tweet, starting with "@name ".
        details->reply();
        auto* composer = qobject_cast<ORVTweetController*>(talk->detailsNavigation()->topViewController());
        QVERIFY(composer);
        QCOMPARE(composer->replyId(), details->currentTweet().tweetId());
        QCOMPARE(composer->tweetView()->toPlainText(), details->senderNickName()->text() + u' ');
        composer->tweetView()->insertPlainText(QStringLiteral("согласен"));
        composer->send();
        QTRY_VERIFY_WITH_TIMEOUT(!talk->isDetailsOpen(), 10000); // done: the panel closes

        // One's own tweet: delete yes, retweet no; deleting takes its row away.
        const QString ownId = talk->arrayTweets()[own].tweetId();
        talk->table()->tapRow({0, own});
        details = talk->twDetailsController();
        QVERIFY(details->trashBtn()->isEnabled());
        QVERIFY(!details->retweetBtn()->isEnabled());
        const qsizetype before = talk->arrayTweets().size();
        details->destroy();
        QTRY_VERIFY_WITH_TIMEOUT(!talk->isDetailsOpen(), 10000);
        QCOMPARE(talk->arrayTweets().size(), before - 1);
        QCOMPARE(indexOf(talk->arrayTweets(), [&](const Tweet& t) { return t.tweetId() == ownId; }), -1);
        SocialStore social(tablet->server().store());
        QVERIFY(!social.status(ownId.toLongLong()));
    }

    void profileFollowAndDeletedTweets()
    {
        signIn(QStringLiteral("demo"));
        ORVTwitterViewController* talk = openTalk();
        const qint64 annaTweet = addStatus(QStringLiteral("anna_tv"), QStringLiteral("Что смотрите?"));
        talk->openDetails(fetch(annaTweet));
        ORVTweetDetailsController* details = talk->twDetailsController();
        details->showProfile();
        ORVTwitterProfileController* profile = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT((profile = qobject_cast<ORVTwitterProfileController*>(
                                      talk->detailsNavigation()->topViewController())),
                                 10000);
        QCOMPARE(profile->profileData().value("screen_name").toString(), QStringLiteral("anna_tv"));
        QTRY_VERIFY_WITH_TIMEOUT(!profile->isLoading(), 10000);
        QVERIFY(!profile->tweeets().isEmpty());
        QVERIFY(profile->statusesLabel()->text().endsWith(QStringLiteral(" твитов")));
        // The demo user follows everyone: "Не читать", then "Читать" after unfollowing, and back.
        QCOMPARE(profile->readBtn()->text(), QStringLiteral("Не читать"));
        profile->followTouched();
        QVERIFY(!profile->readBtn()->isEnabled());
        QTRY_COMPARE_WITH_TIMEOUT(profile->readBtn()->text(), QStringLiteral("Читать"), 10000);
        QVERIFY(profile->readBtn()->isEnabled());
        profile->followTouched();
        QTRY_COMPARE_WITH_TIMEOUT(profile->readBtn()->text(), QStringLiteral("Не читать"), 10000);
        // A direct message starts from the profile.
        profile->directMessageTouched();
        auto* composer = qobject_cast<ORVTweetController*>(talk->detailsNavigation()->topViewController());
        QVERIFY(composer && composer->isDirectMessage());
        talk->detailsNavigation()->popToViewController(profile, false);

        // One's own profile: a tweet deleted from its details is shown deleted when opened again.
        const qint64 mine = addStatus(QStringLiteral("demo"), QStringLiteral("Удалю это"));
        const qint64 demoId = SocialStore(tablet->server().store()).userByScreenName("demo")->id;
        talk->openProfile(
            {{"id_str", QString::number(demoId)}, {"screen_name", "demo"}, {"following", false}});
        auto* own =
            qobject_cast<ORVTwitterProfileController*>(talk->detailsNavigation()->topViewController());
        QVERIFY(own);
        QTRY_VERIFY_WITH_TIMEOUT(!own->isLoading() && !own->tweeets().isEmpty(), 10000);
        const int row =
            indexOf(own->tweeets(), [&](const Tweet& t) { return t.tweetId().toLongLong() == mine; });
        QVERIFY(row >= 0);
        QVERIFY(own->tweeets()[row].isOwn());
        own->table()->tapRow({0, row});
        auto* ownDetails =
            qobject_cast<ORVTweetDetailsController*>(talk->detailsNavigation()->topViewController());
        QVERIFY(ownDetails);
        ownDetails->destroy();
        QTRY_COMPARE_WITH_TIMEOUT(talk->detailsNavigation()->topViewController(), own, 10000);
        QVERIFY(own->tweeets()[row].isDeleted());
        own->table()->tapRow({0, row});
        ownDetails = qobject_cast<ORVTweetDetailsController*>(talk->detailsNavigation()->topViewController());
        QVERIFY(ownDetails);
        QVERIFY(!ownDetails->replyBtn()->isEnabled() && !ownDetails->retweetBtn()->isEnabled() &&
                !ownDetails->favoriteBtn()->isEnabled() && !ownDetails->trashBtn()->isEnabled());

        // A suspended user: the reason, and no profile pushed.
        SocialStore social(tablet->server().store());
        social.setSuspended(social.userByScreenName(QStringLiteral("anna_tv"))->id, true);
        talk->openDetails(fetch(annaTweet));
        details = talk->twDetailsController();
        details->showProfile();
        QTRY_VERIFY_WITH_TIMEOUT(details->profileInfoBtn()->isEnabled(), 10000);
        QCOMPARE(talk->detailsNavigation()->topViewController(), details);
        QVERIFY(!AlertView::visibleAlerts().isEmpty());
    }

    void conversationsWalkBack()
    {
        signIn(QStringLiteral("demo"));
        ORVTwitterViewController* talk = openTalk();
        // A chain of seven, each answering the one before.
        QList<qint64> chain;
        for (int i = 0; i < 7; ++i)
            chain.append(addStatus(i % 2 ? QStringLiteral("demo") : QStringLiteral("anna_tv"),
                                   QStringLiteral("реплика %1").arg(i), chain.isEmpty() ? 0 : chain.last()));
        talk->openDetails(fetch(chain.last()));
        ORVTweetDetailsController* details = talk->twDetailsController();
        QVERIFY(details->conversationBtn()->isVisibleTo(details->view()));
        details->showConversation();
        auto* talks = qobject_cast<ORVTalksController*>(talk->detailsNavigation()->topViewController());
        QVERIFY(talks);
        // Five at first, then "Ещё..." above them; a tap on it fetches the rest.
        QTRY_VERIFY_WITH_TIMEOUT(talks->isToBeContinue(), 10000);
        QCOMPARE(talks->tweets().size(), 5);
        QCOMPARE(talks->numberOfSections(), 6);
        QVERIFY(talks->isMoreSection(0));
        QCOMPARE(talks->heightForRow({0, 0}), ORVTalksController::MoreRowHeight);
        QCOMPARE(talks->tweetInSection(5)->tweetId().toLongLong(), chain.last()); // the start, last
        QCOMPARE(talks->tweetInSection(1)->tweetId().toLongLong(), chain[2]);
        talks->table()->tapRow({0, 0});
        QCOMPARE(talks->tweetsLimit(), 10);
        QTRY_COMPARE_WITH_TIMEOUT(talks->tweets().size(), 7, 10000);
        QTRY_VERIFY(!talks->isFetching());
        QVERIFY(!talks->isToBeContinue());
        QCOMPARE(talks->tweetInSection(0)->tweetId().toLongLong(), chain.first());
        // A tweet of the conversation opens without its own conversation button.
        talks->table()->tapRow({1, 0});
        auto* inner =
            qobject_cast<ORVTweetDetailsController*>(talk->detailsNavigation()->topViewController());
        QVERIFY(inner);
        QVERIFY(!inner->conversationBtn()->isVisibleTo(inner->view()));

        // A chain that loops (two tweets answering each other) ends where it comes back.
        SocialStore social(tablet->server().store());
        const qint64 a = addStatus(QStringLiteral("anna_tv"), QStringLiteral("А"));
        const qint64 b = addStatus(QStringLiteral("demo"), QStringLiteral("Б"), a);
        QSqlQuery loopBack(tablet->server().store().connection());
        loopBack.prepare(QStringLiteral("UPDATE messages SET reply_to_id = ? WHERE id = ?"));
        loopBack.addBindValue(QString::number(b));
        loopBack.addBindValue(a);
        QVERIFY(loopBack.exec());
        auto* loop = new ORVTalksController(fetch(b), {}, talk);
        loop->view();
        // The walk decides on each answer at once: once nothing is out, nothing more is asked.
        QTRY_VERIFY_WITH_TIMEOUT(loop->tweets().size() == 2 && !loop->isFetching(), 10000);
        QVERIFY(!loop->isToBeContinue());

        // One that answers a deleted tweet shows what it has.
        const qint64 gone = addStatus(QStringLiteral("anna_tv"), QStringLiteral("скоро удалю"));
        const Tweet orphan = fetch(addStatus(QStringLiteral("demo"), QStringLiteral("ответ"), gone));
        QVERIFY(social.deleteStatus(gone));
        auto* broken = new ORVTalksController(orphan, {}, talk);
        broken->view();
        QTRY_VERIFY_WITH_TIMEOUT(!broken->isFetching(), 10000);
        QCOMPARE(broken->tweets().size(), 1);
    }
};

QTEST_MAIN(TestTabletTalk)
#include "tst_tablettalk.moc"
