// The tablet's settings and search on the real content server with the demo data: the order
// of priority and its announcement, the widget channels chosen, kept or dropped, the other
// rows; the search results with their category filter, no result and an answer of nothing.
#include "TabletApp.h"

#include "NotificationRecorder.h"

#include "core/AppDelegate.h"
#include "fingerprint/SearchCalls.h"
#include "model/PreferenceKeys.h"
#include "platform/Device.h"
#include "platform/ServerConfig.h"
#include "tablet/ORVRootController.h"
#include "tablet/ORVSearchController_iPad.h"
#include "tablet/ORVSettingsController_iPad.h"
#include "tablet/ProgramDetailsController.h"
#include "tablet/TabletScreens.h"
#include "ui/AlertView.h"
#include "ui/NavigationController.h"
#include "widgets/StackedPanesController.h"

#include <QTest>

namespace {

using PreferenceKeys::NowFavorPriority;
using PreferenceKeys::NowRatingPriority;
using PreferenceKeys::NowWatchedPriority;

QVariantMap priorities(int favour, int watched, int rating)
{
    return {{NowFavorPriority, favour}, {NowWatchedPriority, watched}, {NowRatingPriority, rating}};
}

} // namespace

class TestTabletSettings : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { TabletApp::dismissAlerts(); }

    void priorityArithmetic()
    {
        QVariantMap p = priorities(0, 1, 2);
        ORVSettingsController_iPad::movePriority(p, 2, 0); // the third row to the top
        QCOMPARE(p, priorities(1, 2, 0));
        QCOMPARE(ORVSettingsController_iPad::priorityOrder(p),
                 (QStringList{NowRatingPriority, NowFavorPriority, NowWatchedPriority}));
        ORVSettingsController_iPad::movePriority(p, 0, 2); // and back to the bottom
        QCOMPARE(p, priorities(0, 1, 2));
        ORVSettingsController_iPad::movePriority(p, 1, 1);
        QCOMPARE(p, priorities(0, 1, 2));
    }

    void settingsRows()
    {
        TabletApp tablet;
        QVERIFY(tablet.waitUntilReady());
        AppDelegate* app = &tablet.app();
        ORVRootController* root = tablet.root();
        QTRY_VERIFY(root->navController());
        QTRY_VERIFY_WITH_TIMEOUT(!app->widgetChannels().isEmpty(), 10000);
        root->settingsTouch();
        auto* settings =
            qobject_cast<ORVSettingsController_iPad*>(root->navController()->topViewController());
        QVERIFY(settings);
        QCOMPARE(settings->headerText(ORVSettingsController_iPad::Priority),
                 QStringLiteral("Приоритет каналов в разделе \"Сейчас\""));
        QCOMPARE(settings->rowDetail(ORVSettingsController_iPad::Location, 0), app->userCityName());
        QCOMPARE(settings->rowDetail(ORVSettingsController_iPad::Social, 0),
                 QStringLiteral("не авторизован"));

        // The priorities: the switch off without a move announces nothing; a move then does.
        NotificationRecorder recorder({Notifications::PriorityChanged, Notifications::HistoryCleared});
        QCOMPARE(settings->rowTitles(ORVSettingsController_iPad::Priority),
                 (QStringList{"Избранные", "Просмотренные ранее", "Рейтинг Orvane"}));
        settings->setReordering(true);
        QVERIFY(settings->isReordering());
        settings->setReordering(false);
        QCOMPARE(recorder.count("priority_notic"), 0);
        settings->setReordering(true);
        settings->movePriorityRow(2, 0);
        QCOMPARE(app->nowPriorityDict(), priorities(1, 2, 0));
        QCOMPARE(settings->rowTitles(ORVSettingsController_iPad::Priority).first(),
                 QStringLiteral("Рейтинг Orvane"));
        QCOMPARE(settings->priorityList()->item(0)->text(), QStringLiteral("Рейтинг Orvane"));
        settings->movePriorityRow(0, 9); // dropped past the end: the last row
        QCOMPARE(app->nowPriorityDict(), priorities(0, 1, 2));
        settings->setReordering(false);
        QCOMPARE(recorder.count("priority_notic"), 1);

        // Widget channels: a choice cancelled is dropped, one done is kept.
        const QList<int> saved = app->widgetChannels();
        QCOMPARE(settings->rowDetail(ORVSettingsController_iPad::Widget, 0),
                 QStringLiteral("%1 шт.").arg(saved.size()));
        settings->tapRow(ORVSettingsController_iPad::Widget, 0);
        PopoverChannSelector_iPad* list = settings->widgetSelector();
        QVERIFY(list);
        QTRY_VERIFY_WITH_TIMEOUT(!list->isLoading() && list->numberOfSections() > 0, 10000);
        list->didSelectRowAtIndexPath({0, 0});
        int row = 1;
        while (list->displayedResponse().first().channels[row - 1]->isWidgetChann())
            ++row;
        list->didSelectRowAtIndexPath({0, row});
        list->cancel();
        QVERIFY(!settings->widgetSelector());
        QCOMPARE(app->widgetChannels(), saved);
        settings->tapRow(ORVSettingsController_iPad::Widget, 0);
        list = settings->widgetSelector();
        QTRY_VERIFY_WITH_TIMEOUT(!list->isLoading() && list->numberOfSections() > 0, 10000);
        list->didSelectRowAtIndexPath({0, 0});
        list->didSelectRowAtIndexPath({0, row});
        list->done();
        QCOMPARE(app->widgetChannels().size(), saved.size() + 1);
        QCOMPARE(settings->rowDetail(ORVSettingsController_iPad::Widget, 0),
                 QStringLiteral("%1 шт.").arg(saved.size() + 1));

        // The other rows: automatic identification switched, history cleared.
        const int autoUpdate = SearchCalls::autoUpdateEnabled.load();
        settings->tapRow(ORVSettingsController_iPad::General, 2);
        QCOMPARE(settings->rowChecked(ORVSettingsController_iPad::General, 2), autoUpdate != 1);
        settings->tapRow(ORVSettingsController_iPad::General, 2);
        QCOMPARE(SearchCalls::autoUpdateEnabled.load(), autoUpdate);
        settings->tapRow(ORVSettingsController_iPad::General, 0);
        QCOMPARE(recorder.count("historyCleared"), 1);
        settings->tapRow(ORVSettingsController_iPad::General, 3); // about
        QVERIFY(!AlertView::visibleAlerts().isEmpty());
        // Settings are pushed once.
        root->settingsTouch();
        QCOMPARE(root->navController()->topViewController(), settings);
    }

    void searchResults()
    {
        TabletApp tablet;
        QVERIFY(tablet.waitUntilReady());
        ORVRootController* root = tablet.root();
        QTRY_VERIFY(root->navController());
        root->showSearch(QStringLiteral("новости"));
        auto* search = qobject_cast<ORVSearchController_iPad*>(root->navController()->topViewController());
        QVERIFY(search);
        QCOMPARE(search->searchBar()->text(), QStringLiteral("новости"));
        QTRY_VERIFY_WITH_TIMEOUT(!search->isLoading() && !search->results().arraySearchResults().isEmpty(),
                                 10000);
        QCOMPARE(search->numberOfSections(), search->results().arraySearchResults().size());
        search->table()->grab();

        // The category filter: "Все", then the categories found.
        const QStringList items = search->filterItems();
        QCOMPARE(items.first(), QStringLiteral("Все"));
        QCOMPARE(items.size(), search->results().arrayCategories().size() + 1);
        search->filteringResultsWithCatIndex(1);
        const int category = search->results().arrayCategories().first().categoryId;
        QCOMPARE(search->selectedCategoryId(), category);
        for (const auto& show : search->results().arrayFilteredResults())
            QCOMPARE(show->showCategory, category);
        search->filterTouch();
        QVERIFY(search->filterPopover());
        search->filteringResultsWithCatIndex(0);
        QCOMPARE(search->results().arrayFilteredResults().size(),
                 search->results().arraySearchResults().size());

        // A result opens its details.
        search->didSelectRowAtIndexPath({0, 0});
        auto* details = qobject_cast<ProgramDetailsController*>(root->navController()->topViewController());
        QVERIFY(details);
        QCOMPARE(details->currentShowId(), search->results().arrayFilteredResults().first()->showId);

        // No result: the empty cell, which opens nothing; only "s": an empty list, no empty cell.
        search->onSearchDone(QVariantMap{{"nodata", 1}, {"s", "xyz"}});
        QVERIFY(search->emptyProgramFlag());
        QCOMPARE(search->numberOfSections(), 1);
        const int depth = int(root->navController()->viewControllers().size());
        search->didSelectRowAtIndexPath({0, 0});
        QCOMPARE(root->navController()->viewControllers().size(), depth);
        search->onSearchDone(QVariantMap{{"s", "xyz"}});
        QVERIFY(!search->emptyProgramFlag());
        QCOMPARE(search->numberOfSections(), 0);
    }
};

QTEST_MAIN(TestTabletSettings)
#include "tst_tabletsettings.moc"
