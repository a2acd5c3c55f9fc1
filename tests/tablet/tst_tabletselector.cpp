// The tablet's channel selector and widget-channel list on the real content server with the
// demo data: categories and filters, the favourites filter switching itself off, search,
// favourites reaching the now board when the screen is left, opening a channel's week, and
// ticking a widget channel that then shows in the root pane's strip.
#include "TabletApp.h"

#include "core/AppDelegate.h"
#include "platform/Device.h"
#include "platform/NotificationCenter.h"
#include "platform/ServerConfig.h"
#include "tablet/ChannSelectorLists.h"
#include "tablet/ChannSelectorViewController_iPad.h"
#include "tablet/ORVAlertView.h"
#include "tablet/ORVProgramView_iPad.h"
#include "tablet/ORVRootController.h"
#include "tablet/PopoverChannSelector_iPad.h"
#include "tablet/TabletScreens.h"
#include "ui/AlertView.h"
#include "ui/NavigationController.h"
#include "widgets/StackedPanesController.h"

#include "NotificationRecorder.h"

#include <QTest>

namespace {

std::shared_ptr<Channel> channel(const QString& id, const QString& name, bool tv, bool favourite = false)
{
    auto c = Channel::initWithArray({name, "", tv ? 1 : 0, 1, 0, ""});
    c->setChannelId(id);
    c->setIsFavorite(favourite);
    return c;
}

ChannelGroup group(const QString& name, int order, ChannelList channels)
{
    auto category = ChannelCategory::initWithArray({name, order});
    return {category, std::move(channels), false};
}

} // namespace

class TestTabletSelector : public QObject, public PopoverChannSelectorDelegate
{
    Q_OBJECT

    int m_finished = 0;
    bool m_done = false;

public:
    void popoverChannSelectorDidFinish(PopoverChannSelector_iPad*, bool done) override
    {
        ++m_finished;
        m_done = done;
    }

private Q_SLOTS:
    void cleanup()
    {
        for (AlertView* alert : AlertView::visibleAlerts())
            alert->dismissWithClickedButtonIndex(0, false);
        Device::setIdiom(Device::Idiom::Phone);
    }

    void listsAndFilters()
    {
        ChannSelectorLists lists;
        lists.setAdjustedResponse(
            {group("Новости", 1, {channel("1", "Первый", true), channel("2", "Радио Волна", false)}),
             group("Музыка", 2, {channel("3", "Радио Джаз", false)}),
             group("Кино", 3, {channel("4", "Киноман", true, true), channel("5", "", true)})});
        lists.update(ChannSelectorLists::All, false, {});
        QCOMPARE(lists.carouselItems(), (QStringList{"Новости", "Музыка", "Кино"}));
        QCOMPARE(lists.gridChannels(2).size(), 2);
        // TV only: the all-radio category disappears.
        lists.update(ChannSelectorLists::TV, false, {});
        QCOMPARE(lists.carouselItems(), (QStringList{"Новости", "Кино"}));
        QCOMPARE(lists.gridChannels(0).size(), 1);
        lists.update(ChannSelectorLists::Radio, false, {});
        QCOMPARE(lists.carouselItems(), (QStringList{"Новости", "Музыка"}));
        // Favourites only: "Все" first with every favourite, then the categories that have one.
        lists.update(ChannSelectorLists::All, true, {});
        QVERIFY(lists.filterFavorOnly());
        QCOMPARE(lists.carouselItems(), (QStringList{ChannSelectorLists::AllItem, "Кино"}));
        QCOMPARE(lists.gridChannels(0).size(), 1);
        QCOMPARE(lists.gridChannels(1).first()->channelId(), QStringLiteral("4"));
        // No favourite under the radio filter: the filter switches itself off.
        lists.update(ChannSelectorLists::Radio, true, {});
        QVERIFY(!lists.filterFavorOnly());
        // Search: case-blind, nameless channels always match, within the favourites when filtered.
        lists.update(ChannSelectorLists::All, false, QStringLiteral("радио"));
        QVERIFY(lists.isSearchMode());
        QCOMPARE(lists.gridChannels(0).size(), 3); // two radios and the nameless one
        lists.update(ChannSelectorLists::All, true, QStringLiteral("кино"));
        QCOMPARE(lists.searchedResponse().size(), 1);
        lists.update(ChannSelectorLists::All, false, QStringLiteral("  "));
        QVERIFY(!lists.isSearchMode());
        QCOMPARE(lists.gridChannels(7), ChannelList{}); // beyond the carousel
    }

    void selectorOnTheServer()
    {
        TabletApp tablet;
        QVERIFY(tablet.waitUntilReady());
        ORVRootController* root = tablet.root();
        QTRY_VERIFY(root->navController());
        root->didSelectMenuRow(1);
        auto* selector = qobject_cast<ChannSelectorViewController_iPad*>(root->menuScreen(1));
        QVERIFY(selector);
        QTRY_VERIFY_WITH_TIMEOUT(!selector->isLoading() && !selector->lists().adjustedResponse().isEmpty(),
                                 10000);
        QVERIFY(selector->carousel()->count() > 1);
        QCOMPARE(selector->grid()->numberOfItems(), selector->gridChannels().size());
        selector->grid()->grab(); // paints the tiles

        // A long press makes a channel a favourite; the board hears of it once the screen is left.
        NotificationRecorder recorder({Notifications::ChangeFavorites});
        const std::shared_ptr<Channel> first = selector->gridChannels().first();
        selector->didLongPressAtIndex(0);
        QVERIFY(first->isFavorite());
        QVERIFY(selector->isFavoritesChange());
        QCOMPARE(recorder.count("changeFavorites"), 0);
        // The favourites filter: "Все" with the one favourite.
        selector->pressFavorBtn();
        QVERIFY(selector->lists().filterFavorOnly());
        QCOMPARE(selector->carousel()->item(0)->text(), ChannSelectorLists::AllItem);
        QCOMPARE(selector->gridChannels().size(), 1);
        // And undone: no favourite left, the filter switches itself off.
        selector->didLongPressAtIndex(0);
        QVERIFY(!first->isFavorite());
        selector->updateRespones();
        QVERIFY(!selector->lists().filterFavorOnly());

        // A search by name.
        selector->searchMode(true, first->name());
        QVERIFY(selector->lists().isSearchMode());
        QVERIFY(selector->gridChannels().contains(first));
        QCOMPARE(selector->bigSearchBar()->text(), first->name());
        selector->searchMode(false, {});
        QVERIFY(!selector->lists().isSearchMode());

        // The hint explains the two marks of the tiles.
        selector->presentInfo();
        auto* hint = qobject_cast<ORVAlertView*>(AlertView::visibleAlerts().value(0));
        QVERIFY(hint);
        QCOMPARE(hint->title(), QStringLiteral("Подсказка"));
        QCOMPARE(hint->descrImgs().size(), 2);
        QCOMPARE(hint->descrImgs().at(1).value("desc").toString(),
                 QStringLiteral("каналы с автоопределением"));
        QVERIFY(!hint->descrImgs().at(0).value("img").value<QPixmap>().isNull());
        hint->dismissWithClickedButtonIndex(0, false);

        // A tap opens the channel's week; leaving the selector tells the board of the favourites.
        selector->didLongPressAtIndex(0);
        selector->didTapOnItemAtIndex(0);
        auto* program = qobject_cast<ORVProgramView_iPad*>(root->navController()->topViewController());
        QVERIFY(program);
        QCOMPARE(program->channelId(), first->channelId());
        root->didSelectMenuRow(0);
        QTRY_COMPARE(recorder.count("changeFavorites"), 1);
    }

    void widgetChannelsReachTheStrip()
    {
        TabletApp tablet;
        QVERIFY(tablet.waitUntilReady());
        AppDelegate& app = tablet.app();
        ORVRootController* root = tablet.root();
        QTRY_VERIFY(root->navController());
        // The first start fills the strip from the city's best rated channels.
        QTRY_VERIFY_WITH_TIMEOUT(!app.widgetChannels().isEmpty(), 10000);
        const QList<int> saved = app.widgetChannels();

        // A category's channels: the first not in the strip yet.
        const auto open = [](PopoverChannSelector_iPad& list) {
            QTRY_VERIFY_WITH_TIMEOUT(!list.isLoading() && list.numberOfSections() > 0, 10000);
            list.didSelectRowAtIndexPath({0, 0});
        };
        PopoverChannSelector_iPad list(this);
        open(list);
        QVERIFY(list.numberOfRowsInSection(0) > 1);
        const ChannelGroup& category = list.displayedResponse().first();
        int row = 1;
        while (row <= category.channels.size() && category.channels[row - 1]->isWidgetChann())
            ++row;
        QVERIFY(row <= category.channels.size());
        const int added = category.channels[row - 1]->channelId().toInt();
        // The header's count follows each tick, the category stays open; nothing is saved yet.
        const int before = list.getWidgetChannCountInSection(0);
        list.didSelectRowAtIndexPath({0, row});
        QCOMPARE(list.getWidgetChannCountInSection(0), before + 1);
        QCOMPARE(list.headerCountText(0), QString::number(before + 1));
        QVERIFY(list.numberOfRowsInSection(0) > 1);
        QCOMPARE(app.widgetChannels(), saved);
        list.table()->grab();

        // Cancelled: the choice is dropped.
        list.cancel();
        QCOMPARE(m_finished, 1);
        QVERIFY(!m_done);
        app.resetWidgetChannels();
        app.saveWidgetChannels();
        QCOMPARE(app.widgetChannels(), saved);

        // A new list, the channel ticked and done: saved, and the root pane's strip shows it.
        PopoverChannSelector_iPad again(this);
        open(again);
        QVERIFY(!again.displayedResponse().first().channels[row - 1]->isWidgetChann());
        again.didSelectRowAtIndexPath({0, row});
        again.done();
        QVERIFY(m_done);
        app.saveWidgetChannels();
        app.resetWidgetChannels();
        QVERIFY(app.widgetChannels().contains(added));
        QTRY_VERIFY(root->slideScreensView()->channelsId().contains(added));
        QTRY_VERIFY_WITH_TIMEOUT(
            std::any_of(root->slideScreensView()->pages().begin(), root->slideScreensView()->pages().end(),
                        [added](const SlideView_iPad::Page& page) { return page.channelId == added; }),
            10000);
        // The radio segment lists radio channels only.
        list.segmentChanged(PopoverChannSelector_iPad::Radio);
        list.segment()->setSelectedSegmentIndex(PopoverChannSelector_iPad::Radio);
        list.segmentChanged(PopoverChannSelector_iPad::Radio);
        for (const ChannelGroup& g : list.displayedResponse()) {
            for (const auto& c : g.channels)
                QVERIFY(!c->isTV());
        }
    }
};

QTEST_MAIN(TestTabletSelector)
#include "tst_tabletselector.moc"
