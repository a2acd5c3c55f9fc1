// The tablet's now board, channel programme and show details on the real content server with
// the demo data: the board's channels in priority order, expanding a channel with its next
// shows, opening a show's details, a channel's week, favourites moving to the top, a periodic
// check that loads the next day, and a dead server.
#include "TabletApp.h"

#include "core/AppDelegate.h"
#include "model/Channel.h"
#include "model/ChannelsRepository.h"
#include "model/PreferenceKeys.h"
#include "model/Utilities.h"
#include "platform/Device.h"
#include "platform/NotificationCenter.h"
#include "platform/ServerConfig.h"
#include "tablet/ExpandedViewCell_iPad.h"
#include "tablet/ORVNowViewController.h"
#include "tablet/ORVProgramView_iPad.h"
#include "tablet/ORVRootController.h"
#include "tablet/ProgramDetailsController.h"
#include "tablet/TabletScreens.h"
#include "ui/AlertView.h"
#include "ui/NavigationController.h"
#include "widgets/StackedPanesController.h"

#include <QTest>

namespace {} // namespace

class TestTabletBoard : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { TabletApp::dismissAlerts(); }

    void boardDetailsAndProgramme()
    {
        TabletApp tablet;
        QVERIFY(tablet.waitUntilReady());
        ORVRootController* root = tablet.root();
        QVERIFY(root);
        QTRY_VERIFY(root->menuScreen(0));
        auto* board = qobject_cast<ORVNowViewController*>(root->menuScreen(0));
        QVERIFY(board);
        QTRY_VERIFY_WITH_TIMEOUT(board->isLoadingComplete() && !board->board().entries().isEmpty(), 20000);
        QVERIFY(board->isAutoUpdating());
        QVERIFY(board->loadingText().isEmpty()); // the indicator is gone

        // Every channel on the board has its show on air; the board follows the priority order.
        const QDateTime now = QDateTime::currentDateTime();
        const QList<int>& order = board->board().channelsId();
        int last = -1;
        for (const NowBoardEntry& entry : board->board().entries()) {
            const Show* show = entry.current();
            QVERIFY2(show && show->startTime <= now && show->endTime > now, qPrintable(entry.channid));
            const int position = int(order.indexOf(entry.channelId()));
            QVERIFY(position > last);
            last = position;
        }
        QCOMPARE(board->numberOfSections(), board->board().entries().size());

        // Expanding the first channel: the details row with its show, then its next shows.
        board->didSelectRowAtIndexPath({0, 0});
        QCOMPARE(board->board().expandedSection(), 0);
        QCOMPARE(board->heightForRow({0, 0}), ExpandedViewCell_iPad::Height);
        ExpandedViewCell_iPad* cell = board->expandedViewCell();
        const NowBoardEntry& first = board->board().entries()[0];
        QCOMPARE(cell->showNameText(), first.current()->name);
        QTRY_VERIFY_WITH_TIMEOUT(cell->currentChannInfo().has_value(), 10000);
        QTRY_VERIFY(!cell->isHidden());
        board->expandNextShows();
        const int next = first.nextShowRows();
        QVERIFY(next >= 1 && next <= 6);
        QCOMPARE(board->numberOfRowsInSection(0), 1 + next);
        board->table()->grab(); // paints the rows
        // A next show opens its details.
        board->didSelectRowAtIndexPath({0, 1});
        auto* details = qobject_cast<ProgramDetailsController*>(root->navController()->topViewController());
        QVERIFY(details);
        QCOMPARE(details->currentShowId(), first.showsarr[first.currind + 1]->showId);
        QTRY_VERIFY_WITH_TIMEOUT(details->channelInfo().has_value(), 10000);
        QVERIFY(details->tableSections() >= 3);
        QVERIFY(!details->isActualShow()); // it has not started
        QVERIFY(details->tweetText().contains(details->channelInfo()->show->name));
        // The same show from a link again: its details are on top already, nothing is pushed.
        const int depth = int(root->navController()->viewControllers().size());
        QVERIFY(root->openShowLink(details->requestLink()));
        QCOMPARE(root->navController()->viewControllers().size(), depth);
        QVERIFY(!root->openShowLink(QStringLiteral("orvane://progdetails/x/13")));
        root->navController()->popViewControllerAnimated(false);

        // Expanding another channel collapses the first.
        board->didSelectRowAtIndexPath({1, 0});
        QCOMPARE(board->board().expandedSection(), 1);
        QCOMPARE(board->numberOfRowsInSection(0), 1);
        QCOMPARE(board->board().entries()[0].expandedCells, 0);
        board->didSelectRowAtIndexPath({1, 0}); // and again: collapsed
        QCOMPARE(board->board().expandedSection(), -1);

        // The search bar opens the results for a text and is cleared; an empty text opens nothing.
        const int screens = int(root->navController()->viewControllers().size());
        board->searchBar()->setText(QStringLiteral("   "));
        board->searchBarSearchButtonClicked();
        QCOMPARE(root->navController()->viewControllers().size(), screens);
        board->searchBar()->setText(QStringLiteral("новости"));
        board->searchBarSearchButtonClicked();
        QCOMPARE(root->navController()->topViewController()->nibName(),
                 QStringLiteral("ORVSearchController_iPad"));
        QVERIFY(board->searchBar()->text().isEmpty());
        root->navController()->popViewControllerAnimated(false);

        // The time line's slider: minutes after 05:00 today; letting go shows that time.
        board->clickTimeLine();
        QVERIFY(board->timeLineIsShow());
        board->timeSlider()->setValue(9 * 60 + 30);
        board->timeTouchCancel();
        QCOMPARE(board->currentDate(), QDateTime(QDate::currentDate(), QTime(14, 30)));
        board->clickTimeLine();
        QVERIFY(!board->timeLineIsShow());

        // The time line: an hour ago, the rows show what was on then.
        board->syncProgramWithDate(now.addSecs(-3600));
        int moved = 0;
        for (const NowBoardEntry& entry : board->board().entries()) {
            if (entry.lineIndex >= 0) {
                ++moved;
                QVERIFY(entry.lineIndex < entry.currind);
            }
        }
        QVERIFY(moved > 0);
        board->table()->grab();
        // The periodic check puts every row back on the show on air.
        board->checkShowBounds(now);
        for (const NowBoardEntry& entry : board->board().entries())
            QCOMPARE(entry.lineIndex, -1);

        // Three hours on, channels move on or load their next day; the board settles again.
        board->checkShowBounds(now.addSecs(3 * 3600));
        QTRY_VERIFY_WITH_TIMEOUT(board->isUpdateComplete(), 20000);
        QVERIFY(board->isAutoUpdating());

        // A channel's week: today's shows, the one on air in view; a week on, another date.
        root->showProgramForChannel(QStringLiteral("13"));
        auto* program = qobject_cast<ORVProgramView_iPad*>(root->navController()->topViewController());
        QVERIFY(program);
        QTRY_VERIFY_WITH_TIMEOUT(!program->arrayShows().isEmpty(), 10000);
        const Show& onAir = *program->arrayShows()[program->currentShowIndex()];
        QVERIFY(onAir.startTime <= now && onAir.endTime > now);
        QCOMPARE(program->title(), QStringLiteral("Киноман"));
        QCOMPARE(program->dateOfItem(program->currentItem()).date(),
                 Utilities::optimizeDateForORVProgram(QDateTime::currentDateTime()).date());
        QCOMPARE(program->dateOfItem(0).date().dayOfWeek(), 1);
        const QDateTime loaded = program->loadedDate();
        program->nextWeekTouch();
        QCOMPARE(program->loadedDate(), loaded.addDays(7));
        QTRY_VERIFY_WITH_TIMEOUT(!program->isLoading(), 10000);
        QVERIFY(program->emptyProgramFlag() || !program->arrayShows().isEmpty());
        QCOMPARE(program->numberOfSections(),
                 program->emptyProgramFlag() ? 1 : int(program->arrayShows().size()));
        program->didSelectRowAtIndexPath({0, 0}); // the empty cell opens nothing
        program->prevWeekTouch();
        QTRY_VERIFY_WITH_TIMEOUT(!program->arrayShows().isEmpty(), 10000);
        program->didSelectRowAtIndexPath({program->currentShowIndex(), 0});
        details = qobject_cast<ProgramDetailsController*>(root->navController()->topViewController());
        QVERIFY(details);
        QTRY_VERIFY_WITH_TIMEOUT(details->channelInfo().has_value(), 10000);
        // On air: its live screens are offered, and the tweet says it is on now.
        QVERIFY(details->isActualShow());
        QVERIFY(details->screensView());
        QCOMPARE(details->screensView()->imageSource()->numberOfPhotos(),
                 ProgramDetailsController::LivePictures);
        QVERIFY(details->tweetText().contains(QStringLiteral("Киноман")));
        QVERIFY(details->calendarButton()->isHidden()); // started: no reminder
    }

    void favouritesComeFirst()
    {
        TabletApp tablet;
        QVERIFY(tablet.waitUntilReady());
        AppDelegate* app = &tablet.app();
        ORVRootController* root = tablet.root();
        QTRY_VERIFY(root->menuScreen(0));
        auto* board = qobject_cast<ORVNowViewController*>(root->menuScreen(0));
        QTRY_VERIFY_WITH_TIMEOUT(board->isLoadingComplete() && !board->board().entries().isEmpty(), 20000);
        const QList<int> before = board->board().channelsId();
        QVERIFY(before.size() >= 3);

        // The last channel becomes a favourite: with favourites ranked first it leads the board.
        const int favourite = before.last();
        auto channel = Channel::initWithArray({"Избранный", "", 1, 1, 1, ""});
        channel->setChannelId(QString::number(favourite));
        ChannelsRepository(app->dbContext()).insertChannelIntoToFavorites(channel);
        NotificationCenter::defaultCenter().post(Notifications::ChangeFavorites);
        QTRY_VERIFY_WITH_TIMEOUT(board->board().channelsId().value(0) == favourite, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(board->isLoadingComplete() && !board->board().entries().isEmpty() &&
                                     board->board().entries().first().channelId() == favourite,
                                 20000);

        // Ratings ranked above favourites: the favourite goes back among the rated (it is one).
        app->nowPriorityDict() = {{PreferenceKeys::NowFavorPriority, 2},
                                  {PreferenceKeys::NowWatchedPriority, 1},
                                  {PreferenceKeys::NowRatingPriority, 0}};
        NotificationCenter::defaultCenter().post(Notifications::PriorityChanged);
        QTRY_COMPARE_WITH_TIMEOUT(board->board().channelsId(), before, 10000);
        QCOMPARE(board->board().entries().first().channelId(), before.first());
    }

    void deadServer()
    {
        TabletApp tablet(QStringLiteral("127.0.0.1:1"));
        QTRY_VERIFY(tablet.root() && tablet.root()->menuScreen(0));
        ORVRootController* root = tablet.root();
        auto* board = qobject_cast<ORVNowViewController*>(root->menuScreen(0));
        // Ratings that can neither be fetched nor read from the cache: the no-data message.
        QTRY_VERIFY_WITH_TIMEOUT(board->isNoDataState(), 20000);
        QVERIFY(board->board().entries().isEmpty());

        // Every programme request fails: the load still ends, with the "Нет данных" alert.
        board->board().setChannelsId({1, 2, 13});
        board->reloadChannels();
        QVERIFY(!board->isLoadingComplete());
        board->reloadChannels(); // refused while the load runs
        QTRY_VERIFY_WITH_TIMEOUT(board->isLoadingComplete(), 20000);
        QVERIFY(board->board().entries().isEmpty());
        bool alerted = false;
        for (AlertView* alert : AlertView::visibleAlerts())
            alerted = alerted || alert->title() == u"Нет данных";
        QVERIFY(alerted);
        QVERIFY(!board->isAutoUpdating());
        board->getChannelsRatingDone(QStringLiteral("not a dictionary"));
        QVERIFY(board->isNoDataState());
    }
};

QTEST_MAIN(TestTabletBoard)
#include "tst_tabletboard.moc"
