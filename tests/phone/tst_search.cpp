// Schedule search: results by start time with their categories and the category filter,
// the request's text escaped as one value whatever it holds, the kept screen with its
// last results, failures and answers that are not lists of shows.
#include "FakeHttpServer.h"
#include "TestHome.h"

#include "core/AppDelegate.h"
#include "core/ORVNavigationController.h"
#include "model/SearchResults.h"
#include "model/Show.h"
#include "phone/SearchViewController.h"
#include "phone/ShowDetailsViewController.h"
#include "platform/Json.h"
#include "platform/ServerConfig.h"
#include "ui/AlertView.h"

#include <QTest>

namespace {

const char* const Answer = R"({
    "7": {"ev": 3, "ch": "2", "title": "Вечерние новости", "start_ts": 3000, "finish_ts": 3600, "flag": 4, "icon": "/2.png"},
    "12": {"ev": 1, "ch": "1", "title": "Новости", "start_ts": 1000, "finish_ts": 1600, "flag": 4},
    "3": {"ev": 2, "ch": "5", "title": "Новости спорта", "start_ts": 2000, "finish_ts": 2600, "flag": 3},
    "text": {"ev": 9}})";

QStringList ids(const QList<std::shared_ptr<Show>>& shows)
{
    QStringList list;
    for (const auto& show : shows)
        list << show->showId;
    return list;
}

} // namespace

class TestSearch : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void resultsAreSortedAndFilteredByCategory()
    {
        SearchResults results;
        results.takeAnswer(Json::objectWithString(Answer), 0);
        QCOMPARE(ids(results.arraySearchResults()), (QStringList{"1", "2", "3"}));
        QCOMPARE(results.arrayCategories().size(), 2); // two news give one entry
        QCOMPARE(results.arraySearchResults()[2]->pictureName, QStringLiteral("/2.png"));
        const auto news = std::find_if(results.arrayCategories().begin(), results.arrayCategories().end(),
                                       [](const auto& c) { return c.categoryId == 4; });
        QVERIFY(news != results.arrayCategories().end());
        results.selectCategory(*news);
        QCOMPARE(ids(results.arrayFilteredResults()), (QStringList{"1", "3"}));
        // Anything but a dictionary keeps the results; the filter goes back to all.
        results.takeAnswer(QVariantList{1}, 0);
        QCOMPARE(ids(results.arrayFilteredResults()), (QStringList{"1", "2", "3"}));
        QVERIFY(!results.selectedCategory());
        results.takeAnswer(QVariantMap{}, 0);
        QVERIFY(results.arraySearchResults().isEmpty());
        QVERIFY(results.arrayCategories().isEmpty());
    }

    void theScreenSearchesKeepsAndOpensResults()
    {
        TestHome home;
        FakeHttpServer content;
        content.on("/searchcontent/get_search_program_info.php", FakeHttpServer::Response::json(Answer));
        ServerConfig::setContentHost(content.hostWithPort());
        AppDelegate app{AppSeams{}};

        auto* search = new SearchViewController;
        ORVNavigationController stack(search);
        stack.view()->resize(390, 700);
        stack.view()->show();
        stack.beginAppearance(true, false);
        stack.endAppearance(true, false);
        QCOMPARE(search->numberOfSections(), 0);

        // "&", "#", "%", "+" and emoji reach the server as one value.
        search->searchBar()->setText("  Tom & Jerry #1 +100% 🎬 ");
        search->searchBarSearchButtonClicked();
        QTRY_COMPARE(search->numberOfSections(), 4);
        QVERIFY(!search->isSearching());
        std::string target;
        for (const std::string& sent : content.targets()) {
            if (sent.find("get_search_program_info.php") != std::string::npos)
                target = sent;
        }
        QVERIFY2(target.find("?s=Tom%20%26%20Jerry%20%231%20%2B100%25%20%F0%9F%8E%AC&city=") !=
                     std::string::npos,
                 target.c_str());
        QCOMPARE(search->selectedCategoryText(), QStringLiteral("All"));

        // The category sheet: All, the categories, Cancel last.
        search->didSelectRowAtIndexPath({0, 0});
        QVERIFY(search->categorySheet());
        QCOMPARE(search->categorySheet()->numberOfButtons(), 4);
        QCOMPARE(search->categorySheet()->cancelButtonIndex(), 3);
        const int news = search->categorySheet()->buttonTitleAtIndex(1) == QStringLiteral("News") ? 1 : 2;
        search->categorySheet()->dismissWithClickedButtonIndex(news, false);
        QCOMPARE(search->numberOfSections(), 3);
        QCOMPARE(search->selectedCategoryText(), QStringLiteral("News"));

        // A result opens inside the search's own stack, by its start day, channel and id.
        search->didSelectRowAtIndexPath({2, 0});
        QCOMPARE(stack.topViewController(), search->showDetailsViewController());
        QVERIFY2(search->showDetailsViewController()->showUrl().endsWith("/2/3"),
                 qPrintable(search->showDetailsViewController()->showUrl()));
        stack.popViewControllerAnimated(false);

        // Searching again shows every new result under "All"; a failure keeps them.
        search->search();
        QTRY_COMPARE(search->numberOfSections(), 4);
        QCOMPARE(search->selectedCategoryText(), QStringLiteral("All"));
        content.on("/searchcontent/get_search_program_info.php", FakeHttpServer::Response::text("{", 200));
        search->searchBar()->setText(QString(10000, u'я'));
        QCOMPARE(search->searchBar()->text().size(), SearchViewController::MaximumTextLength);
        search->search();
        QTRY_VERIFY(!search->isSearching());
        QTRY_VERIFY(!AlertView::visibleAlerts().isEmpty());
        for (AlertView* alert : AlertView::visibleAlerts())
            alert->dismissWithClickedButtonIndex(0, false);
        QCOMPARE(search->numberOfSections(), 4);
        stack.beginAppearance(false, false);
        stack.endAppearance(false, false);
    }
};

QTEST_MAIN(TestSearch)
#include "tst_search.moc"
