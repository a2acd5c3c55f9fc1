// The channel selector: its lists without painting (views, sections kept open across
// rebuilds, favourites), the flattened list model behind every list, and the screen against
// a scripted content server: opening on TV without favourites, a tap choosing a channel by
// hand, favourites added and removed through the database, hostile channel lists.
#include "FakeHttpServer.h"
#include "TestHome.h"

#include "core/AppDelegate.h"
#include "core/ORVNavigationController.h"
#include "model/Channel.h"
#include "model/ChannelsRepository.h"
#include "model/ORVManagedObjectContext.h"
#include "model/Show.h"
#include "phone/CSelectorSections.h"
#include "phone/CSelectorViewController.h"
#include "platform/Json.h"
#include "platform/NotificationCenter.h"
#include "platform/ServerConfig.h"
#include "ui/AlertView.h"
#include "ui/ListTableModel.h"
#include "ui/ListTableSource.h"

#include <QBuffer>
#include <QTest>
#include <QTimer>

namespace {

// Categories: 1 "Общие" (TV and radio), 2 "Музыка" (radio only), 3 "Спорт" (TV).
const char* const ChannelListAnswer = R"({
    "cc": [["-", 0], ["Общие", 2], ["Музыка", 3], ["Спорт", 1]],
    "1": ["Первый", "/1.png", 1, 1, 1, ""], "2": ["Второй", "", 1, 1, 0, ""],
    "3": ["Волна", "", 0, 1, 0, ""], "4": ["Джаз", "", 0, 2, 0, ""],
    "5": ["Арена", "", 1, 3, 0, ""], "6": ["Чужой", "", 1, 9, 0, ""]})";

ChannelGroups groups()
{
    return ORVChannelsArray::groupsFromChannelList(Json::objectWithString(ChannelListAnswer).toMap());
}

QStringList names(const CSelectorSections& sections)
{
    QStringList list;
    for (const auto& section : sections.displayed()) {
        QString entry = section.category ? section.category->name() : section.favoritesKey;
        entry += section.isExpanded ? "+" : "-";
        for (const auto& channel : section.channels)
            entry += " " + channel->name();
        list << entry;
    }
    return list;
}

struct Rows : ListTableSource
{
    QList<int> rows;
    QList<int> headers;
    int numberOfSections() const override { return int(rows.size()); }
    int numberOfRowsInSection(int section) const override { return rows[section]; }
    int heightForHeaderInSection(int section) const override { return headers[section]; }
    void paintRow(QPainter*, const QRect&, const IndexPath&, RowState) override {}
};

struct Finish : QObject, CSelectorViewControllerDelegate
{
    QList<CSelectorViewController*> calls;
    void cSelectorViewControllerDidFinish(CSelectorViewController* controller) override
    {
        calls << controller;
    }
};

} // namespace

class TestChannelSelector : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void viewsSplitTvAndRadioAndKeepSectionsOpen()
    {
        CSelectorSections sections;
        sections.setAdjustedResponse(groups());
        // Ordered by the categories' order; the unknown category 9 is left out.
        sections.prepareDisplayedResponse(CSelectorSections::TV, {});
        QCOMPARE(names(sections), (QStringList{"Спорт- Арена", "Общие- Первый Второй"}));
        QCOMPARE(sections.numberOfRowsInSection(1), 1);
        QVERIFY(sections.toggleSection(1));
        QCOMPARE(sections.numberOfRowsInSection(1), 3);
        QCOMPARE(sections.channelAt(1, 2)->name(), QStringLiteral("Второй"));
        QVERIFY(!sections.channelAt(1, 0));
        QVERIFY(!sections.channelAt(7, 1));

        // Radio: "Музыка" appears; opening "Общие" in TV opened it here too, nothing else.
        sections.prepareDisplayedResponse(CSelectorSections::Radio, {});
        QCOMPARE(names(sections), (QStringList{"Общие+ Волна", "Музыка- Джаз"}));
        sections.toggleSection(1);
        sections.prepareDisplayedResponse(CSelectorSections::TV, {});
        QCOMPARE(names(sections), (QStringList{"Спорт- Арена", "Общие+ Первый Второй"}));
    }

    void favouritesHaveTheirOwnSections()
    {
        CSelectorSections sections;
        sections.setAdjustedResponse(groups());
        const ChannelGroups all = groups();
        const auto radio = all[1].channels[2]; // "Волна"
        const auto tv = all[0].channels[0];    // "Арена"
        sections.prepareDisplayedResponse(CSelectorSections::Favorites, {radio});
        QCOMPARE(names(sections), (QStringList{"Radio+ Волна"}));
        sections.toggleSection(0);
        QCOMPARE(sections.expandFlagsFavorites().value("Radio"), false);
        sections.prepareDisplayedResponse(CSelectorSections::Favorites, {radio, tv});
        QCOMPARE(names(sections), (QStringList{"TV+ Арена", "Radio- Волна"}));
        // A rebuild through another view remembers both.
        sections.toggleSection(0);
        sections.prepareDisplayedResponse(CSelectorSections::TV, {});
        sections.prepareDisplayedResponse(CSelectorSections::Favorites, {radio, tv});
        QCOMPARE(names(sections), (QStringList{"TV- Арена", "Radio- Волна"}));
        // The last channel of a section takes the section with it; others just go.
        QVERIFY(sections.removeChannelRow(0, 1));
        sections.prepareDisplayedResponse(CSelectorSections::Favorites, {radio, tv, tv});
        QVERIFY(!sections.removeChannelRow(0, 2));
        QCOMPARE(names(sections), (QStringList{"TV- Арена", "Radio- Волна"}));
    }

    void theListModelFlattensSections()
    {
        Rows rows;
        rows.rows = {2, 0, 0, 3};
        rows.headers = {6, 0, 6, 0};
        ListTableModel model;
        model.setSource(&rows);
        model.reload();
        // [h0] r0 r1 [h2] r3.0 r3.1 r3.2
        QCOMPARE(model.rowCount(), 7);
        QCOMPARE(model.indexPathForItem(0), IndexPath{});
        QCOMPARE(model.indexPathForItem(2), (IndexPath{0, 1}));
        QCOMPARE(model.indexPathForItem(3), IndexPath{});
        QCOMPARE(model.indexPathForItem(4), (IndexPath{3, 0}));
        QCOMPARE(model.indexPathForItem(7), IndexPath{});
        QCOMPARE(model.itemForIndexPath({3, 2}), 6);
        QCOMPARE(model.itemForIndexPath({1, 0}), -1);
        QCOMPARE(model.data(model.index(0), ListTableModel::HeightRole).toInt(), 6);
        QCOMPARE(model.flags(model.index(3)), Qt::NoItemFlags);
        // Opening section 2 by two rows moves the rows after it.
        rows.rows[2] = 2;
        model.insertRows(2, 0, 2);
        QCOMPARE(model.rowCount(), 9);
        QCOMPARE(model.indexPathForItem(4), (IndexPath{2, 0}));
        QCOMPARE(model.indexPathForItem(6), (IndexPath{3, 0}));
        rows.rows[0] = 1;
        model.deleteRows(0, 1, 5); // clamped to what is there
        QCOMPARE(model.rowCount(), 8);
        QCOMPARE(model.numberOfRowsInSection(0), 1);
        model.deleteRows(9, 0, 1); // out of range: nothing
        QCOMPARE(model.rowCount(), 8);
    }

    void theScreenChoosesAndKeepsFavourites()
    {
        TestHome home;
        FakeHttpServer content;
        content.on("/searchcontent/get_channel_info.php", [](const FakeHttpServer::Request& request) {
            if (request.target.find("p&i=5") != std::string::npos)
                return FakeHttpServer::Response::json(R"({"name": "Арена", "ev": 77, "prg": "Матч"})");
            if (request.target.find("p&i=") != std::string::npos)
                return FakeHttpServer::Response::text("no", 404);
            return FakeHttpServer::Response::json(ChannelListAnswer);
        });
        ServerConfig::setContentHost(content.hostWithPort());
        AppDelegate app{AppSeams{}};
        app.applicationDidFinishLaunchingWithOptions(); // the database and its alerts
        app.setIsConnectionAvailable(true);

        auto* selector = new CSelectorViewController;
        Finish finish;
        selector->setProperty("delegate", QVariant::fromValue<QObject*>(&finish));
        ORVNavigationController stack(selector);
        stack.view()->resize(390, 700);
        stack.view()->show();
        stack.beginAppearance(true, false);
        stack.endAppearance(true, false);
        // No favourites yet: the TV view.
        QTRY_COMPARE(selector->numberOfSections(), 2);
        QCOMPARE(selector->segment()->selectedSegmentIndex(), int(CSelectorSections::TV));
        QCOMPARE(selector->rowText({0, 0}), QStringLiteral("Спорт"));
        QCOMPARE(selector->table()->numberOfRowsInSection(0), 1);

        // A click anywhere along a header opens the section, a channel tap chooses it by hand.
        QWidget* viewport = selector->table()->viewport();
        const QRect header = selector->table()->rectForRow({0, 0});
        QVERIFY(header.width() >= 380);
        QTest::mouseClick(viewport, Qt::LeftButton, {}, QPoint(360, header.center().y()));
        QCOMPARE(selector->table()->numberOfRowsInSection(0), 2);
        QTest::mouseClick(viewport, Qt::LeftButton, {}, QPoint(360, header.center().y()));
        QCOMPARE(selector->table()->numberOfRowsInSection(0), 1);
        selector->table()->tapRow({0, 0});
        QCOMPARE(selector->table()->numberOfRowsInSection(0), 2);
        selector->table()->tapRow({0, 1});
        QTRY_COMPARE(finish.calls.size(), 1);
        QCOMPARE(finish.calls.first(), selector);
        QVERIFY(app.selectedChannel());
        QCOMPARE(app.selectedChannel()->channelId(), QStringLiteral("5"));
        QVERIFY(app.selectedChannel()->isSelectedManually());
        QCOMPARE(app.selectedChannel()->currentShow()->name, QStringLiteral("Матч"));
        QVERIFY(app.idleTimer() && app.idleTimer()->isActive());

        // A channel whose live data fails: an alert, the current channel stays.
        selector->table()->tapRow({1, 0});
        selector->table()->tapRow({1, 1});
        QTRY_COMPARE(AlertView::visibleAlerts().size(), 1);
        AlertView::visibleAlerts().first()->dismissWithClickedButtonIndex(0, false);
        QCOMPARE(app.selectedChannel()->channelId(), QStringLiteral("5"));
        QCOMPARE(finish.calls.size(), 1);

        // Long press → add; twice → the repository's alert; the favourites view has it.
        selector->table()->selectRow({0, 1});
        selector->addToFavorites();
        selector->table()->selectRow({0, 1});
        selector->addToFavorites();
        QTRY_COMPARE(AlertView::visibleAlerts().size(), 1);
        QCOMPARE(AlertView::visibleAlerts().first()->message(),
                 QStringLiteral("This channel has already been added"));
        AlertView::visibleAlerts().first()->dismissWithClickedButtonIndex(0, false);
        QCOMPARE(ChannelsRepository(app.dbContext()).getAllFavorites().size(), 1);
        selector->segment()->tapSegment(CSelectorSections::Favorites);
        QCOMPARE(selector->numberOfSections(), 1);
        QCOMPARE(selector->rowText({0, 0}), QStringLiteral("TV"));
        QCOMPARE(selector->rowText({0, 1}), QStringLiteral("Арена"));
        selector->table()->selectRow({0, 1});
        selector->removeFromFavorites();
        QCOMPARE(selector->numberOfSections(), 0);
        QCOMPARE(ChannelsRepository(app.dbContext()).getAllFavorites().size(), 0);

        // Cancel reports none.
        selector->cancel();
        QCOMPARE(finish.calls.size(), 2);
        QCOMPARE(finish.calls.last(), nullptr);
        stack.beginAppearance(false, false);
        stack.endAppearance(false, false);
    }

    void logosArriveOnlyWhereTheyStillBelong()
    {
        TestHome home;
        FakeHttpServer content;
        content.on("/searchcontent/get_channel_info.php", FakeHttpServer::Response::json(ChannelListAnswer));
        QImage logo(48, 48, QImage::Format_RGB32);
        logo.fill(Qt::red);
        QByteArray png;
        QBuffer buffer(&png);
        logo.save(&buffer, "PNG");
        FakeHttpServer::Response picture =
            FakeHttpServer::Response::text(png.toStdString(), 200, "image/png");
        picture.delayMs = 300;
        content.on("/searchcontent/gfx/48/48/1.png", picture);
        ServerConfig::setContentHost(content.hostWithPort());
        AppDelegate app{AppSeams{}};
        app.setIsConnectionAvailable(true);
        auto* selector = new CSelectorViewController;
        ORVNavigationController stack(selector);
        stack.view()->resize(390, 700);
        stack.view()->show();
        stack.beginAppearance(true, false);
        stack.endAppearance(true, false);
        QTRY_COMPARE(selector->numberOfSections(), 2);
        const auto first = selector->sections().adjustedResponse()[1].channels[0]; // "Первый", /1.png
        QCOMPARE(first->name(), QStringLiteral("Первый"));

        // Opened, painted, the logo asked for; the user leaves for the radio view meanwhile.
        selector->table()->tapRow({1, 0});
        QTRY_VERIFY(!content.requests().empty() &&
                    content.targets().back().find("/gfx/") != std::string::npos);
        selector->segment()->tapSegment(CSelectorSections::Radio);
        QTest::qWait(600); // past the logo's arrival: nothing may land
        QVERIFY(first->thumbnail().isNull());
        // Back in the TV view with the section open, it lands on its row.
        selector->segment()->tapSegment(CSelectorSections::TV);
        QTRY_VERIFY(!first->thumbnail().isNull());

        // A new city: the list is asked for again when the selector next appears.
        const size_t before = content.requestCount();
        NotificationCenter::defaultCenter().post(Notifications::UpdateCityChanging);
        QTRY_VERIFY(selector->updateOnAppearCheck());
        QCOMPARE(content.requestCount(), before);
        stack.beginAppearance(false, false);
        stack.endAppearance(false, false);
        stack.beginAppearance(true, false);
        stack.endAppearance(true, false);
        QVERIFY(!selector->updateOnAppearCheck());
        QTRY_VERIFY(content.requestCount() > before);
        // An answer that is not a list of channels changes nothing.
        const int sections = selector->numberOfSections();
        selector->onGetChannelInfoDone(QVariantList{1, 2, 3});
        QCOMPARE(selector->numberOfSections(), sections);
        stack.beginAppearance(false, false);
        stack.endAppearance(false, false);
    }

    void hostileChannelListsEndInAList()
    {
        // 5,000 channels, categories out of range, rows that are not arrays.
        QVariantMap answer{{"cc", QVariantList{QVariantList{"-", 0}, QVariantList{"A", "x"}, "junk"}}};
        for (int i = 1; i <= 5000; ++i)
            answer.insert(QString::number(i), QVariantList{QString("К%1").arg(i), "", i % 2, i % 4, 0, ""});
        answer.insert("9999", "not a channel");
        answer.insert("abc", QVariantList{"Буквы", "", 1, 1});
        CSelectorSections sections;
        sections.setAdjustedResponse(ORVChannelsArray::groupsFromChannelList(answer));
        sections.prepareDisplayedResponse(CSelectorSections::TV, {});
        int channels = 0;
        for (const auto& section : sections.displayed())
            channels += int(section.channels.size());
        // Only category 1 names a usable record; its TV channels are the odd ids with i % 4 == 1.
        QCOMPARE(channels, 1250 + 1);
        sections.prepareDisplayedResponse(CSelectorSections::Favorites, {nullptr});
        QCOMPARE(sections.displayed().size(), 0);
    }
};

QTEST_MAIN(TestChannelSelector)
#include "tst_channelselector.moc"
