// The phone's Twitter tab end to end against the reference content server and microblog
// service: the talk lists and their "Show more" paging, the signed-in lists, a tweet's details
// with delete, the settings' Twitter row and profile header, and the offline picture.
#include "ServerFixture.h"
#include "TestHome.h"

#include "core/AppDelegate.h"
#include "core/PhoneTab.h"
#include "model/PreferenceKeys.h"
#include "phone/PhoneScreens.h"
#include "phone/ProfileViewController.h"
#include "phone/SettingsViewController.h"
#include "platform/NotificationCenter.h"
#include "platform/Preferences.h"
#include "platform/ServerConfig.h"
#include "platform/StringTable.h"
#include "social/TWTalkViewController.h"
#include "social/TWTimelineViewController.h"
#include "social/TWViewController.h"
#include "store/SocialStore.h"
#include "ui/AlertView.h"
#include "ui/NavigationController.h"
#include "ui/TabBarController.h"
#include "widgets/SHKTwitter.h"
#include "widgets/TwitterSession.h"
#include "widgets/WebImageDiskCache.h"

#include <QDir>
#include <QTest>

namespace {

ViewController* tabRoot(AppDelegate& app, PhoneTab tab)
{
    app.tabBarController()->setSelectedIndex(int(tab));
    auto* stack = qobject_cast<NavigationController*>(app.tabBarController()->selectedViewController());
    return stack ? stack->viewControllers().first() : nullptr;
}

AppSeams phoneSeams()
{
    AppSeams seams;
    seams.createPhoneRoot = &PhoneScreens::createRoot;
    seams.createChannelSelector = &PhoneScreens::createChannelSelector;
    seams.createCityChooser = &PhoneScreens::createCityChooser;
    return seams;
}

int indexOf(const QList<Tweet>& tweets, const std::function<bool(const Tweet&)>& wanted)
{
    for (int i = 0; i < tweets.size(); ++i) {
        if (wanted(tweets[i]))
            return i;
    }
    return -1;
}

} // namespace

class TestTwitterScreens : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void talkListsTimelineDetailsAndSettings()
    {
        TestHome home;
        ServerFixture server;
        const quint16 socialPort = server.startSocial();
        ServerConfig::setContentHost(server.hostWithPort());
        TwitterSession::setApiBase(QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(socialPort)));
        AppDelegate app(phoneSeams());
        app.applicationDidFinishLaunchingWithOptions();
        QTRY_VERIFY_WITH_TIMEOUT(app.isConnectionAvailable(), 10000);

        auto* twitter = qobject_cast<TWViewController*>(tabRoot(app, PhoneTab::Twitter));
        QVERIFY(twitter);
        QVERIFY(!twitter->isShowingNoConnection());

        // All channels' talk: 30, then "Show more" asks for 60 and replaces the list, then
        // the rest, which is not a multiple of 30, so no "Show more" row follows it.
        TWListViewController* common = twitter->listAt(0);
        QVERIFY(qobject_cast<TWCommonViewController*>(common));
        QTRY_COMPARE_WITH_TIMEOUT(common->arrayTweets().size(), 30, 10000);
        QTRY_VERIFY(!common->overlay()->isDisplaying());
        QCOMPARE(common->numberOfRowsInSection(0), 31);
        QVERIFY(common->isShowMoreRow(30));
        const QString newest = common->arrayTweets().first().tweetId();
        common->table()->tapRow({0, 30});
        QTRY_COMPARE_WITH_TIMEOUT(common->arrayTweets().size(), 60, 10000);
        QCOMPARE(common->arrayTweets().first().tweetId(), newest);
        common->table()->tapRow({0, 60});
        QTRY_VERIFY_WITH_TIMEOUT(common->arrayTweets().size() > 60, 10000);
        QCOMPARE(common->numberOfRowsInSection(0), common->arrayTweets().size() % 30 == 0
                                                       ? common->arrayTweets().size() + 1
                                                       : common->arrayTweets().size());
        // A pull reloads the first page.
        common->refreshHeader()->pull();
        QVERIFY(common->reloading());
        QTRY_COMPARE_WITH_TIMEOUT(common->arrayTweets().size(), 30, 10000);
        QTRY_VERIFY(!common->reloading());

        // Signed out, the user's lists ask nothing and stay empty.
        twitter->segment()->tapSegment(2);
        TWListViewController* mentions = twitter->listAt(2);
        QVERIFY(mentions);
        QTest::qWait(200);
        QVERIFY(mentions->arrayTweets().isEmpty());

        // Signed in (the sign-in itself is the sharer's test).
        const StoreToken token = server.issueAccessToken(QStringLiteral("demo"));
        const qint64 demoId = token.userId;
        SocialStore social(server.store());
        QVERIFY(TwitterSession::shared().saveAccount(token.token, token.secret, QString::number(demoId),
                                                     QStringLiteral("demo")));
        mentions->reloadTweets();
        QTRY_VERIFY_WITH_TIMEOUT(!mentions->arrayTweets().isEmpty(), 10000);
        for (const Tweet& t : mentions->arrayTweets())
            QVERIFY2(t.text().contains(QStringLiteral("@demo")), qPrintable(t.text()));

        twitter->segment()->tapSegment(3);
        auto* timeline = qobject_cast<TWTimelineViewController*>(twitter->listAt(3));
        QVERIFY(timeline);
        QTRY_VERIFY_WITH_TIMEOUT(!timeline->arrayTweets().isEmpty(), 10000);
        const int own = indexOf(timeline->arrayTweets(), [](const Tweet& t) { return t.isOwn(); });
        const int others = indexOf(timeline->arrayTweets(), [](const Tweet& t) { return !t.isOwn(); });
        QVERIFY(own >= 0 && others >= 0);
        QCOMPARE(timeline->maxId(), timeline->arrayTweets().last().tweetId());
        // Painting the rows fetches the authors' pictures once, kept on disk for the next run.
        timeline->table()->resize(390, 600);
        timeline->table()->grab();
        QTRY_VERIFY_WITH_TIMEOUT(!timeline->arrayTweets().first().thumbnail().isNull(), 10000);
        QVERIFY(!QDir(WebImageDiskCache::folder()).isEmpty());

        // Someone else's tweet cannot be deleted; the user's own can, and the timeline reloads.
        timeline->table()->tapRow({0, others});
        TWDetailsViewController* details = timeline->twDetailsViewController();
        QVERIFY(details);
        QCOMPARE(twitter->navigationController()->topViewController(), details);
        for (AlertView* alert : AlertView::visibleAlerts())
            alert->dismissWithClickedButtonIndex(0, false);
        QVERIFY(details->barButtonReply()->isEnabled());
        QVERIFY(details->barButtonRetwit()->isEnabled());
        QVERIFY(!details->barButtonDelete()->isEnabled());
        QCOMPARE(details->labelUsername(), u'@' + timeline->arrayTweets()[others].senderUsername());
        twitter->navigationController()->popViewControllerAnimated(false);

        const QString ownId = timeline->arrayTweets()[own].tweetId();
        timeline->table()->tapRow({0, own});
        QVERIFY(details->barButtonDelete()->isEnabled());
        details->barButtonDelete()->click();
        QTRY_COMPARE_WITH_TIMEOUT(twitter->navigationController()->topViewController(), twitter, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(
            !timeline->arrayTweets().isEmpty() &&
                indexOf(timeline->arrayTweets(), [&](const Tweet& t) { return t.tweetId() == ownId; }) < 0,
            10000);
        QVERIFY(!social.status(ownId.toLongLong()));

        // The settings' row says connected; verifying the credentials fills the profile header.
        auto* settings = qobject_cast<SettingsViewController*>(tabRoot(app, PhoneTab::Settings));
        QVERIFY(settings);
        QCOMPARE(settings->rowDetail(SettingsViewController::Social, 0), StringTable::localized("Connected"));
        auto* profile = qobject_cast<ProfileViewController*>(tabRoot(app, PhoneTab::Profile));
        settings->twitter()->verifyCredentials();
        QTRY_COMPARE_WITH_TIMEOUT(profile->labelUserId(), QStringLiteral("@demo"), 10000);
        QCOMPARE(Preferences::standard().string(PreferenceKeys::TwitterUserId), QString::number(demoId));
        // The row signs out: the token is revoked and the header forgets the user.
        settings->twitterRow();
        QVERIFY(!SHKTwitter::isAuthorized());
        QCOMPARE(settings->rowDetail(SettingsViewController::Social, 0),
                 StringTable::localized("Disconnected"));
        QTRY_COMPARE(profile->labelUserId(), StringTable::localized("@Unknown"));
        QTRY_VERIFY_WITH_TIMEOUT(!social.token(token.token), 10000);

        // Offline: the picture covers the tab and the share button says why it cannot share.
        tabRoot(app, PhoneTab::Twitter);
        NotificationCenter::defaultCenter().post(Notifications::InternetConnectionAvailable, nullptr,
                                                 {{QStringLiteral("isAvailable"), false}});
        QVERIFY(twitter->isShowingNoConnection());
        NotificationCenter::defaultCenter().post(Notifications::InternetConnectionAvailable, nullptr,
                                                 {{QStringLiteral("isAvailable"), true}});
        QVERIFY(!twitter->isShowingNoConnection());
    }
};

QTEST_MAIN(TestTwitterScreens)
#include "tst_twitterscreens.moc"
