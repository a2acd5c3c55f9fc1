// The tablet's root pane on the real content server with the demo data: the menu and the
// navigation pane, an identified channel reaching the logo view, history saved once per show,
// idle, and the service status following the connection; the special-content button, the
// texts offered for sharing and the Twitter account shown in the logo view.
#include "TabletApp.h"

#include "core/AppDelegate.h"
#include "model/Channel.h"
#include "model/HistoryRepository.h"
#include "model/Show.h"
#include "platform/Device.h"
#include "platform/NotificationCenter.h"
#include "platform/ServerConfig.h"
#include "social/ORVTwitterService.h"
#include "tablet/ORVRootController.h"
#include "tablet/SlideView_iPad.h"
#include "tablet/SocialWidget_iPad.h"
#include "tablet/TabletScreens.h"
#include "widgets/StackedPanesController.h"
#include "widgets/TwitterSession.h"

#include <QDateTime>
#include <QPushButton>
#include <QTest>

class TestTabletRoot : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void identifiedChannelHistoryAndStatus()
    {
        TabletApp tablet;
        QVERIFY(tablet.waitUntilReady());
        AppDelegate& app = tablet.app();
        ORVRootController* root = tablet.root();
        QVERIFY(root);

        // The now board's place opens by itself in the navigation pane.
        QTRY_COMPARE(root->currentItem(), 0);
        QVERIFY(root->navController());
        QCOMPARE(app.stackController()->topViewController(), root->navController());
        // Channels twice: the second choice goes back to the channel screen, not deeper.
        root->didSelectMenuRow(1);
        QCOMPARE(root->navController()->viewControllers().size(), 2);
        root->settingsTouch();
        root->settingsTouch(); // settings are pushed once
        QCOMPARE(root->navController()->viewControllers().size(), 3);
        root->didSelectMenuRow(1);
        QCOMPARE(root->navController()->viewControllers().size(), 2);
        QCOMPARE(root->navController()->topViewController(), root->menuScreen(1));
        root->didSelectMenuRow(0);
        QCOMPARE(root->navController()->viewControllers().size(), 1);

        // The service status comes with the connection.
        QVERIFY(root->isStatusTimerRunning());
        QTRY_COMPARE_WITH_TIMEOUT(root->logoView()->statusText(), QStringLiteral("работает"), 10000);

        // An identification result makes channel 13 current; the logo view shows its show.
        NotificationCenter::defaultCenter().post(Notifications::FpNotification, nullptr,
                                                 {{"resultSearch", 13}});
        QTRY_VERIFY_WITH_TIMEOUT(app.selectedChannel() && app.selectedChannel()->channelId() == u"13", 10000);
        QTRY_COMPARE_WITH_TIMEOUT(root->logoView()->channelText(), QStringLiteral("Киноман"), 10000);
        QVERIFY(root->logoView()->isDetected());
        QCOMPARE(root->lastFoundChannelId(), 13);
        QVERIFY(!root->logoView()->showText().isEmpty());

        // The talk panel follows the current channel: its 12 demo messages, no "Show more".
        SocialWidget_iPad* talk = root->socialWidget();
        QTRY_COMPARE_WITH_TIMEOUT(talk->tweets().size(), 12, 10000);
        QCOMPARE(talk->numberOfRowsInSection(0), 12);

        // The loop asks to save what is watched: once per show, whatever repeats it.
        QTRY_VERIFY_WITH_TIMEOUT(app.selectedChannel()->currentShow(), 10000);
        NotificationCenter::defaultCenter().post(Notifications::SaveToHistory, nullptr,
                                                 {{"resultSearch", 13}});
        QTRY_COMPARE(root->historedShowsSet().size(), 1);
        NotificationCenter::defaultCenter().post(Notifications::SaveToHistory, nullptr,
                                                 {{"resultSearch", 13}});
        QTest::qWait(50);
        QCOMPARE(root->historedShowsSet().size(), 1);
        QCOMPARE(HistoryRepository(app.dbContext()).getAllShows().size(), 1);
        QVERIFY(ORVRootController::watchedText(*app.selectedChannel())
                    .startsWith(QStringLiteral("Вы смотрели \"")));
        QVERIFY(
            ORVRootController::watchedText(*app.selectedChannel()).endsWith(QStringLiteral("\" на Киноман")));
        // A save for a channel that is not current waits for its now-data.
        NotificationCenter::defaultCenter().post(Notifications::SaveToHistory, nullptr,
                                                 {{"resultSearch", 7}});
        QTRY_COMPARE(root->savedChannId(), 7);

        // Channel 1's feed is the talk about every channel: 20, then "Show more" asks for 40.
        NotificationCenter::defaultCenter().post(Notifications::FpNotification, nullptr,
                                                 {{"resultSearch", 1}});
        QTRY_VERIFY_WITH_TIMEOUT(app.selectedChannel()->channelId() == u"1", 10000);
        QTRY_COMPARE_WITH_TIMEOUT(talk->tweets().size(), 20, 10000);
        QVERIFY(talk->isShowMoreRow(20));
        talk->table()->tapRow({0, 20});
        QTRY_COMPARE_WITH_TIMEOUT(talk->tweets().size(), 40, 10000);

        // Idle forgets the channel in the logo view.
        NotificationCenter::defaultCenter().post(Notifications::Idle);
        QTRY_VERIFY(!root->logoView()->isDetected());
        QCOMPARE(root->lastFoundChannelId(), 0);
        QCOMPARE(root->savedChannId(), -1);

        // Offline: the timer stops and the status says so; back online, it starts again.
        root->connectionStatusDidChange(false);
        QVERIFY(!root->isStatusTimerRunning());
        QCOMPARE(root->logoView()->statusText(), QStringLiteral("не в сети"));
        root->connectionStatusDidChange(true);
        QVERIFY(root->isStatusTimerRunning());
        QTRY_COMPARE_WITH_TIMEOUT(root->logoView()->statusText(), QStringLiteral("работает"), 10000);

        // The strip holds the widget channels; a channel added is added to it, and stack
        // slides switch its refreshing.
        SlideView_iPad* strip = root->slideScreensView();
        QCOMPARE(strip->channelsId(), app.widgetChannels());
        QTRY_VERIFY_WITH_TIMEOUT(!strip->pages().isEmpty(), 10000);
        const int before = int(strip->channelsId().size());
        int added = 1;
        while (app.widgetChannels().contains(added))
            ++added;
        app.addWidgetChannel(added);
        app.saveWidgetChannels();
        QTRY_COMPARE(strip->channelsId().size(), before + 1);
        QVERIFY(strip->channelsId().contains(added));
        NotificationCenter::defaultCenter().post(Notifications::StackExpand);
        QTRY_VERIFY(root->isStackExpanded());
        QVERIFY(strip->isAutoUpdating());
        NotificationCenter::defaultCenter().post(Notifications::StackCollapse);
        QTRY_VERIFY(!root->isStackExpanded());
        QVERIFY(!strip->isAutoUpdating());

        // The menu button slides the navigation pane open and back, telling each resting state.
        StackedPanesController* stack = app.stackController();
        stack->collapseStack(false);
        QTRY_VERIFY(!root->isStackExpanded());
        root->openMenu();
        QVERIFY(stack->isSliding());
        QTRY_VERIFY(root->isStackExpanded());
        QVERIFY(!stack->isSliding());
        QCOMPARE(stack->stackOffset(), 300);
        // The pane's shadow strip lies along its left edge, wherever the pane rests.
        auto* shadow = stack->view()->findChild<QWidget*>(QStringLiteral("paneShadow"));
        QVERIFY(shadow && shadow->isVisibleTo(stack->view()));
        QCOMPARE(shadow->geometry(), QRect(295, 0, 5, root->navController()->view()->height()));
        // An identification result during the slide lands in the logo view; the pane rests.
        root->openMenu();
        QVERIFY(stack->isSliding());
        NotificationCenter::defaultCenter().post(Notifications::FpNotification, nullptr,
                                                 {{"resultSearch", 13}});
        QTRY_VERIFY(!root->isStackExpanded());
        QCOMPARE(stack->stackOffset(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(root->logoView()->channelText(), QStringLiteral("Киноман"), 10000);
        QVERIFY(!stack->isSliding());

        // Twitter state and a notification without its keys.
        NotificationCenter::defaultCenter().post(Notifications::TwitterLogin, nullptr,
                                                 {{"twitteruser", "demo"}});
        QTRY_COMPARE(root->logoView()->twitterText(), QStringLiteral("@demo"));
        NotificationCenter::defaultCenter().post(Notifications::TwitterLogout);
        QTRY_VERIFY(root->logoView()->twitterText().isEmpty());
        const int screens = int(root->navController()->viewControllers().size());
        root->recievedLocalNotification({{"local_showid", "1"}});
        QCOMPARE(root->navController()->viewControllers().size(), screens);
        Device::setIdiom(Device::Idiom::Phone);
    }

    void specialContentSharingAndAccount()
    {
        TabletApp tablet;
        QVERIFY(tablet.waitUntilReady());
        AppDelegate& app = tablet.app();
        ORVRootController* root = tablet.root();
        QVERIFY(root);
        QTRY_VERIFY(root->navController());
        ORVLogoView_iPad* logo = root->logoView();

        // A show with extra content brings the button in as the channel is detected.
        const qint64 now = QDateTime::currentSecsSinceEpoch();
        const QVariantMap special{{"t", "Матч"},
                                  {"ts", now - 600},
                                  {"tf", now + 600},
                                  {"pid", "501"},
                                  {"pd", "2026-12-08"},
                                  {"aact", 1},
                                  {"aurl", "http://127.0.0.1:1/special/501"}};
        const QVariantMap plain{{"t", "После матча"}, {"ts", now + 600}, {"tf", now + 1800}, {"pid", "502"}};
        logo->setDetectedChannWithData(
            {{"p", QVariantList{special, plain}}, {"c", QVariantMap{{"ch", "Спорт-1"}, {"t", 1}}}});
        QPushButton* button = root->specialContentButton();
        QVERIFY(button);
        QTRY_COMPARE(button->height(), 40);
        // The same show again keeps the one button.
        root->logoViewCurrentShowDidChange();
        QCOMPARE(root->specialContentButton(), button);
        // The button opens the page over the panes (its server is dead: it closes by itself,
        // and the root lets it go).
        button->click();
        QVERIFY(root->contentController());
        root->showSpecialContent(); // one at a time
        QTRY_VERIFY_WITH_TIMEOUT(!root->contentController(), 10000);

        // The next show has none: the button goes, once its closing is over.
        QVERIFY(logo->checkShowBounds(QDateTime::fromSecsSinceEpoch(now + 700)));
        QVERIFY(!root->specialContentButton());
        QPointer<QPushButton> closing = button;
        // Content again while the old button still closes: one new button, not two.
        logo->setDetectedChannWithData(
            {{"p", QVariantList{special, plain}}, {"c", QVariantMap{{"ch", "Спорт-1"}, {"t", 1}}}});
        QPushButton* reopened = root->specialContentButton();
        QVERIFY(reopened && reopened != closing);
        root->logoViewCurrentShowDidChange();
        QCOMPARE(root->specialContentButton(), reopened);
        QTRY_VERIFY(!closing);
        QCOMPARE(root->specialContentButton(), reopened);
        // Back to a show with content, then idle: the button goes with the channel.
        logo->setDetectedChannWithData(
            {{"p", QVariantList{special, plain}}, {"c", QVariantMap{{"ch", "Спорт-1"}, {"t", 1}}}});
        QVERIFY(root->specialContentButton());
        NotificationCenter::defaultCenter().post(Notifications::Idle);
        QTRY_VERIFY(!root->specialContentButton());

        // Sharing: the logo view's channel and show, for watching or listening.
        logo->setDetectedChannWithData(
            {{"p", QVariantList{special, plain}}, {"c", QVariantMap{{"ch", "Спорт-1"}, {"t", 1}}}});
        const QString watching = root->logoShareText();
        QVERIFY(watching.contains(QStringLiteral("Спорт-1")));
        QVERIFY(watching.contains(QStringLiteral("Матч")));
        auto radio = Channel::initWithArray({"Радио Волна", "/101.png", 0, 2, 1, ""});
        radio->setChannelId(QStringLiteral("101"));
        app.setSelectedChannel(radio);
        QVERIFY(root->logoShareText() != watching);
        QVERIFY(root->logoShareText().contains(QStringLiteral("Матч")));

        // The strip's share needs a live-screen picture with its channel and show.
        SlideView_iPad* strip = root->slideScreensView();
        strip->widgetInit();
        strip->addChannelsWithId({77});
        strip->onGetShowsDone(QVariantMap{{"77", QVariantList{QVariantMap{{"t", "Новости"},
                                                                          {"ts", now},
                                                                          {"tf", now + 900},
                                                                          {"pid", "9"},
                                                                          {"cl", "Эфир"},
                                                                          {"oim", 0},
                                                                          {"pim", "shows/9.png"}}}}});
        QVERIFY(root->slideShareText().isEmpty()); // not a live screen
        strip->onGetShowsDone(QVariantMap{{"77", QVariantList{QVariantMap{{"t", "Новости"},
                                                                          {"ts", now},
                                                                          {"tf", now + 900},
                                                                          {"pid", "9"},
                                                                          {"cl", "Эфир"},
                                                                          {"oim", 1},
                                                                          {"pim", "shows/9.png"}}}}});
        QVERIFY(root->slideShareText().contains(QStringLiteral("Эфир")));
        QVERIFY(root->slideShareText().contains(QStringLiteral("Новости")));

        // The account chosen through the account service shows in the logo view; a sign-in with
        // one account takes it without a chooser. Taken out of the store, it signs out.
        QVERIFY(logo->twitterText().isEmpty());
        QVERIFY(TwitterSession::shared().saveAccount("token", "secret", "42", "anna_tv"));
        root->twitterLoginTouch();
        QTRY_COMPARE(logo->twitterText(), QStringLiteral("@anna_tv"));
        QVERIFY(!ORVTwitterService::sharedManager().twPopoverControl());
        root->twitterLogoutTouch();
        QVERIFY(logo->twitterText().isEmpty());
        root->twitterLoginTouch();
        QTRY_COMPARE(logo->twitterText(), QStringLiteral("@anna_tv"));
        TwitterSession::shared().signOut(false);
        QTRY_VERIFY(logo->twitterText().isEmpty());
        QVERIFY(!ORVTwitterService::checkTwAcc());
        Device::setIdiom(Device::Idiom::Phone);
    }
};

QTEST_MAIN(TestTabletRoot)
#include "tst_tabletroot.moc"
