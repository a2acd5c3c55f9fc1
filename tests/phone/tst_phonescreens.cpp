// The phone's screens end to end against the reference content server and its demo data:
// a channel chosen in the selector, its programme with a show's details, another channel,
// then a search for a word of the schedule and one of its results.
#include "ServerFixture.h"
#include "TestHome.h"

#include "core/AppDelegate.h"
#include "core/PhoneTab.h"
#include "model/Channel.h"
#include "model/Show.h"
#include "phone/CSelectorViewController.h"
#include "phone/CityChooseViewController.h"
#include "phone/NowViewController.h"
#include "phone/PhoneScreens.h"
#include "phone/ProgramViewController.h"
#include "phone/SearchViewController.h"
#include "phone/SettingsViewController.h"
#include "phone/ShowDetailsViewController.h"
#include "platform/Location.h"
#include "platform/ServerConfig.h"
#include "ui/AlertView.h"
#include "ui/NavigationController.h"
#include "ui/TabBarController.h"
#include "ui/Window.h"

#include <QLabel>
#include <QTest>

namespace {

ViewController* tabRoot(AppDelegate& app, PhoneTab tab)
{
    app.tabBarController()->setSelectedIndex(int(tab));
    auto* stack = qobject_cast<NavigationController*>(app.tabBarController()->selectedViewController());
    return stack ? stack->viewControllers().first() : nullptr;
}

// Opens the section holding the channel in the selector's TV view and taps the channel.
bool chooseInSelector(CSelectorViewController* selector, const QString& name)
{
    selector->segment()->tapSegment(CSelectorSections::TV);
    const auto& sections = selector->sections().displayed();
    for (int s = 0; s < sections.size(); ++s) {
        for (int c = 0; c < sections[s].channels.size(); ++c) {
            if (sections[s].channels[c]->name() != name)
                continue;
            if (!sections[s].isExpanded)
                selector->table()->tapRow({s, 0});
            selector->table()->tapRow({s, c + 1});
            return true;
        }
    }
    return false;
}

// The phone's screens as the application wires them.
AppSeams phoneSeams()
{
    AppSeams seams;
    seams.createPhoneRoot = &PhoneScreens::createRoot;
    seams.createChannelSelector = &PhoneScreens::createChannelSelector;
    seams.createCityChooser = &PhoneScreens::createCityChooser;
    return seams;
}

void dismissAlerts()
{
    for (AlertView* alert : AlertView::visibleAlerts())
        alert->dismissWithClickedButtonIndex(0, false);
}

} // namespace

class TestPhoneScreens : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void programmeDetailsSelectorAndSearch()
    {
        TestHome home;
        ServerFixture server;
        ServerConfig::setContentHost(server.hostWithPort());
        AppDelegate app(phoneSeams());
        app.applicationDidFinishLaunchingWithOptions();
        QTRY_VERIFY_WITH_TIMEOUT(app.isConnectionAvailable(), 10000);
        auto* now = qobject_cast<NowViewController*>(tabRoot(app, PhoneTab::Now));
        QVERIFY(now);
        now->setDoStuffOnLaunch(false);

        // No channel yet: the programme's message cell opens the selector, which is made once
        // and kept; "Киноман" is chosen there by hand.
        auto* program = qobject_cast<ProgramViewController*>(tabRoot(app, PhoneTab::Program));
        QVERIFY(program);
        QCOMPARE(program->emptyMessage(), QStringLiteral("Choose channel..."));
        program->table()->tapRow({0, 0});
        auto* selector = qobject_cast<CSelectorViewController*>(app.programSelector());
        QVERIFY(selector);
        QTRY_VERIFY_WITH_TIMEOUT(!selector->sections().adjustedResponse().isEmpty(), 10000);
        QVERIFY(chooseInSelector(selector, QStringLiteral("Киноман")));
        QTRY_VERIFY_WITH_TIMEOUT(app.selectedChannel() && app.selectedChannel()->channelId() == u"13", 10000);
        QTRY_VERIFY(!selector->navigationController()); // dismissed by the programme screen

        // Its programme: today's shows from the server, the one on air first.
        QTRY_VERIFY_WITH_TIMEOUT(!program->arrayShows().isEmpty() && !program->isLoading(), 10000);
        QVERIFY(!program->emptyProgramFlag());
        QVERIFY(program->calendar()->currentDateLabel()->text().endsWith(QStringLiteral(" (Киноман)")));
        const int onAir = program->currentShowIndex();
        const QDateTime nowTime = QDateTime::currentDateTime();
        QVERIFY(program->arrayShows()[onAir]->startTime <= nowTime);
        QVERIFY(program->arrayShows()[onAir]->endTime > nowTime);

        // A show's details, pushed over the tab.
        program->didSelectRowAtIndexPath({onAir, 0});
        ShowDetailsViewController* details = program->showDetailsViewController();
        QVERIFY(details);
        QTRY_VERIFY_WITH_TIMEOUT(details->isListShown(), 10000);
        QCOMPARE(details->show()->name, program->arrayShows()[onAir]->name);
        QCOMPARE(details->currentShowChannel()->name(), QStringLiteral("Киноман"));
        program->navigationController()->popViewControllerAnimated(false);

        // Another channel, chosen from the Now screen's bar: the programme follows it.
        app.showProgramSelectorWithDelegate(now);
        QCOMPARE(app.programSelector(), selector);
        QVERIFY(chooseInSelector(selector, QStringLiteral("Новости 24")));
        QTRY_VERIFY(!selector->navigationController());
        tabRoot(app, PhoneTab::Program);
        QTRY_COMPARE_WITH_TIMEOUT(program->lastFoundChannelId(), 7, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(!program->isLoading() && !program->arrayShows().isEmpty(), 10000);
        QVERIFY(program->calendar()->currentDateLabel()->text().endsWith(QStringLiteral(" (Новости 24)")));

        // Search a word of the schedule and open a result in the search's own stack.
        program->showSearch();
        SearchViewController* search = program->searchViewController();
        search->searchBar()->setText(QStringLiteral("  Новости "));
        search->searchBarSearchButtonClicked();
        QTRY_VERIFY_WITH_TIMEOUT(search->numberOfSections() > 1 && !search->isSearching(), 10000);
        for (const auto& show : search->results().arraySearchResults())
            QVERIFY2(show->name.contains(QStringLiteral("Новости"), Qt::CaseInsensitive),
                     qPrintable(show->name));
        search->didSelectRowAtIndexPath({1, 0});
        QVERIFY(search->showDetailsViewController());
        QCOMPARE(search->navigationController()->topViewController(), search->showDetailsViewController());
        QTRY_VERIFY_WITH_TIMEOUT(search->showDetailsViewController()->isListShown(), 10000);
        QCOMPARE(search->showDetailsViewController()->show()->name,
                 search->results().arrayFilteredResults().first()->name);
        dismissAlerts();
    }

    void aNewCityFromTheSettingsReachesEveryScreen()
    {
        TestHome home;
        ServerFixture server;
        ServerConfig::setContentHost(server.hostWithPort());
        AppDelegate app(phoneSeams());
        app.applicationDidFinishLaunchingWithOptions();
        QTRY_VERIFY_WITH_TIMEOUT(app.isConnectionAvailable(), 10000);
        qobject_cast<NowViewController*>(tabRoot(app, PhoneTab::Now))->setDoStuffOnLaunch(false);
        auto* program = qobject_cast<ProgramViewController*>(tabRoot(app, PhoneTab::Program));
        auto* settings = qobject_cast<SettingsViewController*>(tabRoot(app, PhoneTab::Settings));
        QVERIFY(program && settings);
        QCOMPARE(settings->rowDetail(1, 0), QStringLiteral("Москва"));
        auto channel = Channel::initWithArray({"Киноман", "", 1, 9, 0, ""});
        channel->setChannelId("13");
        channel->setIsSelectedManually(true);
        app.setSelectedChannel(channel);
        QTRY_VERIFY_WITH_TIMEOUT(program->lastFoundChannelId() == 13 && !program->arrayShows().isEmpty(),
                                 10000);

        // The city row opens the chooser over everything; St Petersburg, found by location.
        settings->didSelectRow(1, 0);
        auto* stack = qobject_cast<NavigationController*>(app.window()->modalViewControllers().value(0));
        QVERIFY(stack);
        auto* chooser = qobject_cast<CityChooseViewController*>(stack->topViewController());
        QVERIFY(chooser);
        QTRY_VERIFY_WITH_TIMEOUT(chooser->cities().size() == 3 && !chooser->isLoading(), 10000);
        QCOMPARE(chooser->cities()[chooser->selectedIndex()].name(), QStringLiteral("Москва"));
        Location::setFixed(Location::Coordinate{59.93, 30.31});
        chooser->getLocation();
        QTRY_VERIFY(chooser->isLocatedCityShown());
        Location::setFixed(std::nullopt);
        chooser->clickDoneButton();
        QTRY_VERIFY(app.window()->modalViewControllers().isEmpty());

        // The new city's map arrives, the screens hear of it.
        QCOMPARE(app.userCityId(), 2);
        QTRY_VERIFY_WITH_TIMEOUT(settings->rowDetail(1, 0) == QStringLiteral("Санкт-Петербург"), 10000);
        QTRY_COMPARE(program->lastFoundChannelId(), int(AppDelegate::NoChannel));
        QVERIFY(program->emptyProgramFlag());
        QVERIFY(!app.selectedChannel());
        dismissAlerts();
    }
};

QTEST_MAIN(TestPhoneScreens)
#include "tst_phonescreens.moc"
