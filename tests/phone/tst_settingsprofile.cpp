// Settings, the city chooser and the profile: rows by state, keep-awake decisions by battery,
// the city match by area name, the cities of an answer, choosing a city against a scripted
// server, clearing the history through to the profile's list, and the desktop services the
// settings call (screen saver, battery) on a private D-Bus with fake services.
#include "FakeHttpServer.h"
#include "NotificationRecorder.h"
#include "TestHome.h"

#include "core/AppDelegate.h"
#include "core/ORVNavigationController.h"
#include "core/ReminderAlarms.h"
#include "fingerprint/SearchCalls.h"
#include "model/Channel.h"
#include "model/HistoryRepository.h"
#include "model/ORVManagedObjectContext.h"
#include "model/PreferenceKeys.h"
#include "model/Show.h"
#include "phone/CityChooseViewController.h"
#include "phone/ProfileHistoryViewController.h"
#include "phone/ProfileViewController.h"
#include "phone/SettingsViewController.h"
#include "platform/Battery.h"
#include "platform/DesktopNotifications.h"
#include "platform/Location.h"
#include "platform/NotificationCenter.h"
#include "platform/Preferences.h"
#include "platform/ScreenSleep.h"
#include "platform/ServerConfig.h"
#include "ui/AlertView.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QLabel>
#include <QMutex>
#include <QProcess>
#include <QTest>
#include <QThread>

namespace {

using City = CityList::City;

QList<City> cities(const QStringList& names)
{
    QList<City> list;
    for (int i = 0; i < names.size(); ++i)
        list.append({QVariantList{i + 1, names[i], 3}, QString::number(i + 1)});
    return list;
}

void dismissAlerts()
{
    for (AlertView* alert : AlertView::visibleAlerts())
        alert->dismissWithClickedButtonIndex(0, false);
}

// The desktop's screen saver, as the session bus offers it.
class FakeScreenSaver : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")

public:
    std::atomic<int> inhibits{0};
    std::atomic<int> uninhibits{0};
    std::atomic<uint> lastCookie{0};

public Q_SLOTS:
    uint Inhibit(const QString&, const QString&)
    {
        ++inhibits;
        return 4711;
    }
    void UnInhibit(uint cookie)
    {
        lastCookie = cookie;
        ++uninhibits;
    }
};

// The desktop's notifications.
class FakeNotifications : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    std::atomic<int> shown{0};
    QMutex lock;
    QStringList summaries;

public Q_SLOTS:
    uint Notify(const QString&, uint, const QString&, const QString& summary, const QString&,
                const QStringList&, const QVariantMap&, int)
    {
        QMutexLocker locked(&lock);
        summaries << summary;
        return uint(++shown);
    }
};

// UPower's display device.
class FakeBattery : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.UPower.Device")
    Q_PROPERTY(bool IsPresent READ isPresent)
    Q_PROPERTY(uint State READ state)
    Q_PROPERTY(double Percentage READ percentage)

public:
    std::atomic<uint> upowerState{2};
    std::atomic<int> percent{15};
    bool isPresent() const { return true; }
    uint state() const { return upowerState; }
    double percentage() const { return percent; }
};

} // namespace

class TestSettingsProfile : public QObject
{
    Q_OBJECT

    QProcess bus;
    QThread serviceThread;

private Q_SLOTS:
    void keepAwakeAsksOnlyOnALowBattery_data()
    {
        QTest::addColumn<Battery::State>("state");
        QTest::addColumn<double>("level");
        QTest::addColumn<bool>("asks");
        QTest::newRow("charging at 15 %") << Battery::State::Charging << 0.15 << false;
        QTest::newRow("on battery at 15 %") << Battery::State::Unplugged << 0.15 << true;
        QTest::newRow("reported full at 10 %") << Battery::State::Full << 0.10 << true;
        QTest::newRow("on battery at 20 %") << Battery::State::Unplugged << 0.20 << false;
        QTest::newRow("no battery") << Battery::State::Unknown << -1.0 << false;
    }
    void keepAwakeAsksOnlyOnALowBattery()
    {
        QFETCH(Battery::State, state);
        QFETCH(double, level);
        QFETCH(bool, asks);
        QCOMPARE(SettingsViewController::asksBeforeKeepingAwake(state, level), asks);
    }

    void citiesMatchByAreaName_data()
    {
        QTest::addColumn<QString>("area");
        QTest::addColumn<QString>("city");
        QTest::newRow("one word") << "Москва"
                                  << "Москва";
        QTest::newRow("any case") << "САНКТ-ПЕТЕРБУРГ"
                                  << "Санкт-Петербург";
        QTest::newRow("hyphens as in the name") << "Ростов-на-Дону"
                                                << "Ростов-на-Дону";
        QTest::newRow("both words match") << "Нижний Новгород"
                                          << "Нижний Новгород";
        QTest::newRow("second word differs") << "Нижний Тагил"
                                             << "";
        QTest::newRow("first word of a district") << "Москва городской округ"
                                                  << "";
        QTest::newRow("not a pattern") << "[Москва"
                                       << "";
        QTest::newRow("nothing") << ""
                                 << "";
    }
    void citiesMatchByAreaName()
    {
        QFETCH(QString, area);
        QFETCH(QString, city);
        const QList<City> list =
            cities({"Великий Новгород", "Москва", "Нижний Новгород", "Ростов-на-Дону", "Санкт-Петербург"});
        const int index = CityList::searchCityByName(list, area);
        QCOMPARE(index < 0 ? QString() : list[index].name(), city);
    }

    void theNearestCityWithinFiftyKilometres()
    {
        QList<City> list = cities({"Москва", "Санкт-Петербург", "Нигде"});
        list[0].citydata << 55.7558 << 37.6173;
        list[1].citydata << 59.9386 << 30.3141;
        QCOMPARE(CityList::nearestCityName(list, 55.70, 37.50), QStringLiteral("Москва")); // 9 km
        QCOMPARE(CityList::nearestCityName(list, 55.75, 36.80), QString());                // 51 km west
        QCOMPARE(CityList::nearestCityName(list, 0, 0), QString());
        QCOMPARE(CityList::nearestCityName({}, 55.75, 37.61), QString());
        QVERIFY(Location::parse("55.75, 37.62"));
        QVERIFY(!Location::parse("91,0"));
        QVERIFY(!Location::parse("nan,0"));
        QVERIFY(!Location::parse("55.75"));
    }

    void citiesOfAnAnswerAreSortedWithoutTheCount()
    {
        const auto list = CityList::citiesFromAnswer(
            QVariantMap{{"cities", QVariantMap{{"3", QVariantList{3, "екатеринбург", 5}},
                                               {"1", QVariantList{1, "Москва", 3}},
                                               {"7", QVariantList{7, "Москва", 3}},
                                               {"c", 3}}}});
        QVERIFY(list);
        QCOMPARE(list->size(), 3);
        QCOMPARE(list->first().name(), QStringLiteral("екатеринбург"));
        QCOMPARE(list->last().cityId, QStringLiteral("7"));
        QVERIFY(!CityList::citiesFromAnswer(QVariantList{1}));
        QVERIFY(!CityList::citiesFromAnswer(QVariantMap{{"cities", "none"}}));
    }

    void aCityIsChosenOrNot()
    {
        TestHome home;
        FakeHttpServer content;
        content.on(
            "/searchcontent/get_suggested_cities_list.php",
            FakeHttpServer::Response::json(
                R"({"cities": {"1": [1, "Москва", 3], "2": [2, "Санкт-Петербург", 3, 59.9386, 30.3141], "c": 2}})"));
        content.on("/searchcontent/get_map_list.php", FakeHttpServer::Response::json(R"({"5": 105})"));
        ServerConfig::setContentHost(content.hostWithPort());
        AppDelegate app{AppSeams{}};
        app.saveCityPrefWithId(1, "Москва");
        app.setIsConnectionAvailable(true);

        // The stored city is marked; Done with another city stores that one.
        auto* chooser = new CityChooseViewController(1);
        ORVNavigationController stack(chooser);
        stack.view()->resize(390, 700);
        stack.beginAppearance(true, false);
        stack.endAppearance(true, false);
        QTRY_COMPARE(chooser->cities().size(), 2);
        QVERIFY(!chooser->isLoading());
        QCOMPARE(chooser->selectedIndex(), 0);
        // A click on a row marks it.
        stack.view()->show();
        QWidget* row = chooser->view()->findChildren<QLabel*>().value(0);
        for (QLabel* label : chooser->view()->findChildren<QLabel*>()) {
            if (label->text() == u"Санкт-Петербург")
                row = label;
        }
        QVERIFY(row);
        QTest::mouseClick(row, Qt::LeftButton);
        QCOMPARE(chooser->selectedIndex(), 1);
        chooser->clickDoneButton();
        QCOMPARE(app.userCityId(), 2);
        QCOMPARE(Preferences::standard().integer(PreferenceKeys::CityId), 2);

        // A stored id the server no longer knows marks nothing: Done changes nothing.
        auto* stale = new CityChooseViewController(42);
        ORVNavigationController second(stale);
        second.beginAppearance(true, false);
        second.endAppearance(true, false);
        QTRY_COMPARE(stale->cities().size(), 2);
        QCOMPARE(stale->selectedIndex(), -1);
        stale->clickDoneButton();
        QCOMPARE(app.userCityId(), 2);
        // Found by the area name of a location.
        QVERIFY(stale->selectCityByAreaName("москва"));
        QCOMPARE(stale->cities()[stale->selectedIndex()].name(), QStringLiteral("Москва"));
        // The locate button: at 0,0 no city is near; in St Petersburg it is found.
        Location::setFixed(Location::Coordinate{0, 0});
        stale->getLocation();
        QTest::qWait(50); // the fixed position answers on the next turn of the loop
        QVERIFY(!stale->isLocatedCityShown());
        QCOMPARE(stale->cities()[stale->selectedIndex()].name(), QStringLiteral("Москва"));
        Location::setFixed(Location::Coordinate{59.95, 30.32});
        stale->getLocation();
        QTRY_VERIFY(stale->isLocatedCityShown());
        QCOMPARE(stale->cities()[stale->selectedIndex()].name(), QStringLiteral("Санкт-Петербург"));
        Location::setFixed(std::nullopt);

        // A failing list: the connection alert, the list as it was.
        content.on("/searchcontent/get_suggested_cities_list.php", FakeHttpServer::Response::text("x", 503));
        stale->getCitiesList();
        QTRY_VERIFY(!stale->isLoading());
        QTRY_COMPARE(AlertView::visibleAlerts().size(), 1);
        QCOMPARE(AlertView::visibleAlerts().first()->title(), QStringLiteral("Connection Error"));
        dismissAlerts();
        QCOMPARE(stale->cities().size(), 2);
    }

    void settingsRowsFollowTheSwitchesAndHistoryClears()
    {
        TestHome home;
        AppDelegate app{AppSeams{}};
        app.applicationDidFinishLaunchingWithOptions();
        SettingsViewController settings;
        settings.view();
        QCOMPARE(settings.numberOfSections(), 4);
        QCOMPARE(settings.rowTitle(1, 0), QStringLiteral("My city"));
        QCOMPARE(settings.rowDetail(1, 0), app.userCityName());
        QCOMPARE(settings.rowDetail(3, 0), QStringLiteral("Disconnected"));
        QVERIFY(!settings.isFollowUsEnabled()); // signed out
        // Automatic identification flips the loop's own switch (a click on its row), and back.
        QVERIFY(settings.rowChecked(0, 1));
        settings.view()->resize(390, 700);
        settings.view()->show();
        QLabel* autoupdate = nullptr;
        for (QLabel* label : settings.view()->findChildren<QLabel*>()) {
            if (label->text() == settings.rowTitle(0, 1))
                autoupdate = label;
        }
        QVERIFY(autoupdate);
        QTest::mouseClick(autoupdate->parentWidget(), Qt::LeftButton);
        QCOMPARE(SearchCalls::autoUpdateEnabled.load(), 0);
        QVERIFY(!settings.rowChecked(0, 1));
        settings.didSelectRow(0, 1);
        QCOMPARE(SearchCalls::autoUpdateEnabled.load(), 1);

        // History of two shows, listed oldest first by the profile, cleared by the settings.
        HistoryRepository history(app.dbContext());
        for (const char* name : {"Первая", "Вторая"}) {
            auto show = std::make_shared<Show>();
            show->name = name;
            show->showId = "1";
            auto channel = Channel::initWithArray({"Канал", "", 1, 1, 0, ""});
            channel->setChannelId("5");
            history.insertShow(show, channel);
        }
        QVERIFY(app.dbContext()->saveDataToDB());
        ProfileViewController profile;
        profile.view();
        ProfileHistoryViewController* list = profile.profileHistoryViewController();
        QVERIFY(list);
        QCOMPARE(list->arrayHistory().size(), 2);
        QCOMPARE(list->rowDescription(0), QStringLiteral("Первая (Канал)"));
        QVERIFY(!list->table()->isHidden());
        QCOMPARE(profile.labelUserId(), QStringLiteral("@Unknown"));

        settings.didSelectRow(0, 0);
        QTRY_COMPARE(AlertView::visibleAlerts().size(), 1);
        QCOMPARE(AlertView::visibleAlerts().first()->title(), QStringLiteral("Cleared"));
        dismissAlerts();
        QVERIFY(HistoryRepository(app.dbContext()).getAllShows().isEmpty());
        QTRY_VERIFY(list->table()->isHidden());
        QVERIFY(list->arrayHistory().isEmpty());

        // The connected user's details come from the preferences on "credentialsVerified".
        Preferences::standard().setValue(PreferenceKeys::TwitterUserInfo,
                                         QVariantMap{{"screenName", "orvane"}, {"name", "Орвейн"}});
        NotificationCenter::defaultCenter().post(Notifications::CredentialsVerified);
        QTRY_COMPARE(profile.labelUserId(), QStringLiteral("@orvane"));
        QCOMPARE(profile.labelUsername(), QStringLiteral("Орвейн"));
    }

    void desktopServicesOnAPrivateBus()
    {
        bus.start("dbus-daemon", {"--session", "--print-address", "--nofork"});
        QVERIFY2(bus.waitForStarted(5000), "dbus-daemon (Debian package dbus) is needed");
        QTRY_VERIFY(bus.canReadLine());
        const QByteArray address = bus.readLine().trimmed();
        // The application's session and system buses are both this one.
        qputenv("DBUS_SESSION_BUS_ADDRESS", address);
        qputenv("DBUS_SYSTEM_BUS_ADDRESS", address);
        QDBusConnection services = QDBusConnection::connectToBus(QString::fromUtf8(address), "fake-services");
        QVERIFY(services.isConnected());
        auto* saver = new FakeScreenSaver;
        auto* battery = new FakeBattery;
        // The services answer on a thread of their own: the application's calls block.
        saver->moveToThread(&serviceThread);
        battery->moveToThread(&serviceThread);
        serviceThread.start();
        QVERIFY(services.registerObject(ScreenSleep::Path, saver, QDBusConnection::ExportAllSlots));
        QVERIFY(services.registerObject(Battery::Path, battery, QDBusConnection::ExportAllProperties));
        QVERIFY(services.registerService(ScreenSleep::Service));
        QVERIFY(services.registerService(Battery::Service));
        auto* notifications = new FakeNotifications;
        notifications->moveToThread(&serviceThread);
        QVERIFY(services.registerObject(DesktopNotifications::Path, notifications,
                                        QDBusConnection::ExportAllSlots));
        QVERIFY(services.registerService(DesktopNotifications::Service));

        const Battery::Reading reading = Battery::read();
        QCOMPARE(reading.state, Battery::State::Unplugged);
        QCOMPARE(reading.level, 0.15);

        // On the battery at 15 %: the question first; "Yes" holds the screen saver off.
        TestHome home;
        AppDelegate app{AppSeams{}};
        SettingsViewController settings;
        settings.view();
        settings.didSelectRow(0, 2);
        QTRY_COMPARE(AlertView::visibleAlerts().size(), 1);
        AlertView* question = AlertView::visibleAlerts().first();
        QCOMPARE(question->tag(), SettingsViewController::LowBatteryAlertTag);
        QCOMPARE(saver->inhibits.load(), 0);
        question->dismissWithClickedButtonIndex(1, false);
        QCOMPARE(saver->inhibits.load(), 1);
        QVERIFY(ScreenSleep::shared().isInhibiting());
        QVERIFY(settings.rowChecked(0, 2));
        // Off again: the cookie goes back.
        settings.didSelectRow(0, 2);
        QCOMPARE(saver->uninhibits.load(), 1);
        QCOMPARE(saver->lastCookie.load(), 4711u);
        QVERIFY(!settings.rowChecked(0, 2));
        // Charging at 15 %: no question.
        battery->upowerState = 1;
        settings.didSelectRow(0, 2);
        QCOMPARE(AlertView::visibleAlerts().size(), 0);
        QCOMPARE(saver->inhibits.load(), 2);
        settings.didSelectRow(0, 2);

        // A reminder's alarm raises a notification once; a click on one reaches the
        // application as "local_notific_recv" with the notification's user info.
        ReminderAlarms alarms;
        alarms.start();
        auto show = std::make_shared<Show>();
        show->name = "Вечерний фильм";
        show->startTime = QDateTime::currentDateTime().addSecs(3600);
        show->endTime = show->startTime.addSecs(5400);
        QVERIFY(show->addToCalendarWithChanName("Киноман", QDateTime::currentDateTime().addSecs(60)));
        QCOMPARE(alarms.checkUntil(QDateTime::currentDateTime().addSecs(30)), 0);
        QCOMPARE(alarms.checkUntil(QDateTime::currentDateTime().addSecs(90)), 1);
        QCOMPARE(alarms.checkUntil(QDateTime::currentDateTime().addSecs(150)), 0);
        QCOMPARE(notifications->shown.load(), 1);
        {
            QMutexLocker locked(&notifications->lock);
            QVERIFY2(notifications->summaries.first().contains("Вечерний фильм"),
                     qPrintable(notifications->summaries.first()));
        }
        app.applicationDidFinishLaunchingWithOptions(); // installs the click handler
        NotificationRecorder recorder({Notifications::LocalNotificationReceived});
        const QString received = Notifications::LocalNotificationReceived.latin1();
        QVERIFY(DesktopNotifications::shared().notify("Вы смотрели", "Киноман", {{"show", "12"}}));
        const uint id = uint(notifications->shown.load());
        const int pending = DesktopNotifications::shared().pendingCount();
        QDBusMessage click = QDBusMessage::createSignal(DesktopNotifications::Path,
                                                        DesktopNotifications::Service, "ActionInvoked");
        click << id << QString("default");
        QVERIFY(services.send(click));
        QTRY_COMPARE(recorder.count(received), 1);
        QCOMPARE(recorder.last(received).notification.userInfo.value("show").toString(),
                 QStringLiteral("12"));
        QCOMPARE(DesktopNotifications::shared().pendingCount(), pending - 1);

        services.unregisterObject(DesktopNotifications::Path);
        services.unregisterObject(ScreenSleep::Path);
        services.unregisterObject(Battery::Path);
        serviceThread.quit();
        serviceThread.wait();
        delete saver;
        delete notifications;
        delete battery;
        bus.kill();
        bus.waitForFinished();
    }
};

QTEST_MAIN(TestSettingsProfile)
#include "tst_settingsprofile.moc"
