// The programme tab: the day strip's arithmetic in a zone far from UTC, the shows of an
// answer (numeric keys, server offset, "nodata", broken shows), and the screen against a
// scripted content server: the day's list, the show on air, details on tap, the reloads.
#include "FakeHttpServer.h"
#include "TestHome.h"

#include "core/AppDelegate.h"
#include "core/ORVNavigationController.h"
#include "model/Channel.h"
#include "model/Show.h"
#include "model/ShowsAnswer.h"
#include "phone/ORVCalendar.h"
#include "phone/ProgramViewController.h"
#include "phone/ShowDetailsViewController.h"
#include "phone/TableViewCellProgram.h"
#include "platform/HttpFetcher.h"
#include "platform/Json.h"
#include "platform/NotificationCenter.h"
#include "platform/ServerConfig.h"
#include "ui/AlertView.h"
#include "ui/SegmentedControl.h"

#include <QLabel>
#include <QScrollBar>
#include <QTest>

#include <ctime>

namespace {

QDateTime local(int y, int m, int d, int h, int min = 0)
{
    return QDateTime(QDate(y, m, d), QTime(h, min));
}

std::shared_ptr<Channel> channel(const QString& id, const QString& name)
{
    auto c = Channel::initWithArray({name, "/logo.png", 1, 1, 1, ""});
    c->setChannelId(id);
    c->setIsSelectedManually(true);
    return c;
}

// A programme answer with three shows around now, the middle one on air.
std::string programmeAround(const QDateTime& now, int serverBehindSeconds)
{
    const qint64 t = now.toSecsSinceEpoch() - serverBehindSeconds;
    return "{\"channid\": \"7\", \"1\": {\"ev\": 11, \"title\": \"Утро\", \"start_ts\": " +
           std::to_string(t - 7200) + ", \"finish_ts\": " + std::to_string(t - 3600) +
           ", \"flag\": 4},"
           "\"2\": {\"ev\": 12, \"title\": \"День\", \"subtitle\": \"\", \"start_ts\": " +
           std::to_string(t - 3600) + ", \"finish_ts\": " + std::to_string(t + 1800) +
           ", \"flag\": 1},"
           "\"10\": {\"ev\": 13, \"title\": \"Вечер\", \"start_ts\": " +
           std::to_string(t + 1800) + ", \"finish_ts\": " + std::to_string(t + 5400) + ", \"flag\": 3}}";
}

} // namespace

class TestProgramScreen : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        // Three hours east of GMT, no summer time: the programme day starts at 04:00.
        qputenv("TZ", "Europe/Moscow");
        tzset();
    }

    void theStripStartsOnTheProgrammeDay()
    {
        // 02:00 belongs to the day before; 05:00 to its own day. Either way at 11:00.
        QCOMPARE(ORVCalendar::initialSelectedDate(local(2026, 12, 9, 2)), local(2026, 12, 8, 11));
        QCOMPARE(ORVCalendar::initialSelectedDate(local(2026, 12, 9, 5)), local(2026, 12, 9, 11));
        // Monday first: 7 Dec 2026 is a Monday, the 13th a Sunday.
        QCOMPARE(ORVCalendar::segmentForDate(local(2026, 12, 7, 11)), 0);
        QCOMPARE(ORVCalendar::segmentForDate(local(2026, 12, 9, 23, 59)), 2);
        QCOMPARE(ORVCalendar::segmentForDate(local(2026, 12, 13, 0, 30)), 6);
        QCOMPARE(ORVCalendar::segmentTitles().size(), 7);
    }

    void segmentsMoveInsideTheWeekAndArrowsOneDay()
    {
        // Wednesday, tap Monday: two days back, same time of day; tap Sunday: four ahead.
        const QDateTime wednesday = local(2026, 12, 9, 14, 30);
        QCOMPARE(ORVCalendar::dateForSegment(wednesday, 0), local(2026, 12, 7, 14, 30));
        QCOMPARE(ORVCalendar::dateForSegment(wednesday, 6), local(2026, 12, 13, 14, 30));
        QCOMPARE(ORVCalendar::dateForSegment(wednesday, 2), wednesday);

        ORVCalendar strip;
        struct Recorder : ORVCalendarDelegate
        {
            QList<QDateTime> dates;
            void dateSelected(const QDateTime& date) override { dates << date; }
        } recorder;
        strip.setDelegate(&recorder);
        strip.setSelectedDate(local(2026, 12, 13, 11)); // a Sunday
        strip.syncDisplayedDate();
        QCOMPARE(strip.days()->selectedSegmentIndex(), 6);
        strip.nextWeek();
        QCOMPARE(strip.selectedDate(), local(2026, 12, 14, 11));
        QCOMPARE(strip.days()->selectedSegmentIndex(), 0);
        strip.previousWeek();
        strip.previousWeek();
        QCOMPARE(strip.selectedDate(), local(2026, 12, 12, 11));
        QCOMPARE(strip.days()->selectedSegmentIndex(), 5);
        strip.days()->tapSegment(1);
        QCOMPARE(strip.selectedDate(), local(2026, 12, 8, 11));
        QCOMPARE(recorder.dates.size(), 5);
        // The same date again is no news.
        strip.setSelectedDate(local(2026, 12, 8, 11));
        QCOMPARE(recorder.dates.size(), 5);
        QVERIFY(strip.currentDateLabel()->text().contains("2026"));
    }

    void answersBecomeShowsOnTheDeviceClock()
    {
        const QVariantMap answer = Json::objectWithString(R"({
            "nodata": 1, "channid": "5", "x1": {"ev": 9, "start_ts": 100},
            "20": {"ev": 2, "title": "B", "start_ts": 2000, "finish_ts": 2600},
            "3": {"ev": 1, "title": "A", "start_ts": 1000, "finish_ts": 2000},
            "4": "not a show", "-7": {"ev": 3, "title": "No times"},
            "1.5": {"ev": 4, "title": "Backwards", "start_ts": 5000, "finish_ts": 4000}})")
                                       .toMap();
        const auto shows = ShowsAnswer::showsFromAnswer(answer, 3600);
        QStringList ids;
        for (const auto& show : shows)
            ids << show->showId;
        // Numeric keys only, by start time; a show without times first.
        QCOMPARE(ids, (QStringList{"3", "1", "2", "4"}));
        QCOMPARE(shows[1]->startTime.toSecsSinceEpoch(), 1000 + 3600);
        QCOMPARE(shows[1]->endTime.toSecsSinceEpoch(), 2000 + 3600);
        QVERIFY(!shows[0]->startTime.isValid());

        // Cells: a broken show paints no time or duration; one that ends now is over.
        const QDateTime now = QDateTime::fromSecsSinceEpoch(2000 + 3600);
        QVERIFY(ProgramViewController::cellForShow(*shows[0], now).labelTime.isEmpty());
        QVERIFY(ProgramViewController::cellForShow(*shows[3], now).labelDuration.isEmpty());
        QVERIFY(!ProgramViewController::cellForShow(*shows[1], now).enabled);
        QVERIFY(ProgramViewController::cellForShow(*shows[2], now).enabled);
        QCOMPARE(ProgramViewController::cellForShow(*shows[1], now).labelShowName, QStringLiteral("A"));
        Show withSubtitle = *shows[1];
        withSubtitle.subTitle = "";
        QCOMPARE(ProgramViewController::cellForShow(withSubtitle, now).labelShowName, QStringLiteral("A"));
        withSubtitle.subTitle = "Часть 2";
        QCOMPARE(ProgramViewController::cellForShow(withSubtitle, now).labelShowName,
                 QStringLiteral("A (Часть 2)"));
        QCOMPARE(ProgramViewController::cellForShow(withSubtitle, now).imageViewRight.isNull(),
                 withSubtitle.iconName().isEmpty());
    }

    void theScreenFollowsTheChannelAndTheDay()
    {
        TestHome home;
        FakeHttpServer content;
        ServerConfig::setContentHost(content.hostWithPort());
        AppDelegate app{AppSeams{}};
        app.setIsConnectionAvailable(true);

        auto* program = new ProgramViewController;
        ORVNavigationController stack(program);
        stack.view()->resize(390, 320);
        stack.view()->show();
        stack.beginAppearance(true, false);
        stack.endAppearance(true, false);
        // No channel: nothing asked, the message invites to choose one.
        QVERIFY(program->emptyProgramFlag());
        QCOMPARE(program->numberOfSections(), 1);
        QCOMPARE(program->emptyMessage(), QStringLiteral("Choose channel..."));
        const auto programmeRequests = [&content] {
            int count = 0;
            for (const std::string& target : content.targets())
                count += target.find("content_listview.php") != std::string::npos ? 1 : 0;
            return count;
        };
        QCOMPARE(programmeRequests(), 0);

        const QDateTime now = QDateTime::currentDateTime();
        content.on("/searchcontent/content_listview.php",
                   FakeHttpServer::Response::json(programmeAround(now, 0)));
        app.setSelectedChannel(channel("7", "Седьмой"));
        QTRY_COMPARE(program->arrayShows().size(), 3);
        QTRY_VERIFY(!program->isLoading());
        const std::string target = content.targets().back();
        QVERIFY2(target.find("i=7") != std::string::npos && target.find("m=1") != std::string::npos,
                 target.c_str());
        QVERIFY(program->calendar()->currentDateLabel()->text().endsWith(" (Седьмой)"));
        QCOMPARE(program->lastFoundChannelId(), 7);
        QVERIFY(!program->emptyProgramFlag());

        // Keys "1", "10", "2" in start order; "День" is on air and heads the list.
        QCOMPARE(program->arrayShows()[2]->name, QStringLiteral("Вечер"));
        QCOMPARE(program->currentShowIndex(), 1);
        // Scrolled towards it (as far as a short list scrolls).
        QTRY_VERIFY(program->table()->verticalScrollBar()->value() > 0);
        QVERIFY(program->table()->rectForRow({1, 0}).top() < 90);

        // A tap opens the one kept details screen with the show's link.
        program->didSelectRowAtIndexPath({1, 0});
        QVERIFY(program->showDetailsViewController());
        const QString link = program->showDetailsViewController()->showUrl();
        QVERIFY2(link.startsWith("orvane://progdetails/") && link.endsWith("/7/12"), qPrintable(link));
        QCOMPARE(stack.topViewController(), program->showDetailsViewController());
        QPointer<ShowDetailsViewController> details = program->showDetailsViewController();
        stack.popViewControllerAnimated(false);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        program->didSelectRowAtIndexPath({2, 0});
        QCOMPARE(program->showDetailsViewController(), details.data());
        QVERIFY(details->showUrl().endsWith("/7/13"));
        stack.popViewControllerAnimated(false);

        // "nodata" wins over shows; a list that is not a dictionary keeps the shows.
        content.on("/searchcontent/content_listview.php",
                   FakeHttpServer::Response::json(R"({"nodata": 1, "1": {"ev": 1, "title": "x"}})"));
        program->calendar()->nextWeek(); // tomorrow: not in the cache
        QTRY_VERIFY(program->emptyProgramFlag());
        QTRY_VERIFY(!program->isLoading());
        QCOMPARE(program->numberOfSections(), 1);
        QCOMPARE(program->emptyMessage(), QStringLiteral("Program for the day is not"));
        program->onGetProgramForDayWithChannelIdDone(QVariantList{1, 2});
        QVERIFY(program->emptyProgramFlag());

        // A failing day: the error alert, the list comes back.
        content.on("/searchcontent/content_listview.php", FakeHttpServer::Response::text("down", 500));
        program->calendar()->nextWeek();
        QTRY_VERIFY(!program->isLoading());
        QVERIFY(program->table()->isVisible());
        QVERIFY(program->emptyProgramFlag()); // the earlier content stays
        QTRY_VERIFY(!AlertView::visibleAlerts().isEmpty());
        // (The kept details screen may have failed too: this server has no show details.)
        for (AlertView* alert : AlertView::visibleAlerts()) {
            QCOMPARE(alert->title(), QStringLiteral("Error"));
            alert->dismissWithClickedButtonIndex(0, false);
        }

        // Idle (or a new city) clears the list and goes back to today, here from the cache.
        QCOMPARE(program->arrayShows().size(), 1);
        NotificationCenter::defaultCenter().post(Notifications::Idle);
        QTRY_COMPARE(program->arrayShows().size(), 3);
        QVERIFY(!program->emptyProgramFlag());
        QCOMPARE(program->lastFoundChannelId(), 7);
        QCOMPARE(ORVCalendar::segmentForDate(program->calendar()->selectedDate()),
                 program->calendar()->days()->selectedSegmentIndex());

        // A channel chosen and the city's map refreshed in one pass of the event loop: the
        // list the map clears is asked for again, and the screen knows whose it is.
        content.on("/searchcontent/content_listview.php",
                   FakeHttpServer::Response::json(programmeAround(now, 0)));
        app.setSelectedChannel(channel("8", "Восьмой"));
        NotificationCenter::defaultCenter().post(Notifications::UpdateCityChanging);
        QTRY_VERIFY(!program->isLoading() && !program->arrayShows().isEmpty() &&
                    program->lastFoundChannelId() == 8);

        // Idle while a slow answer is on its way: the answer does not bring the list back.
        FakeHttpServer::Response slow = FakeHttpServer::Response::json(programmeAround(now, 0));
        slow.delayMs = 300;
        content.on("/searchcontent/content_listview.php", slow);
        const int asked = programmeRequests();
        app.setSelectedChannel(channel("9", "Девятый"));
        QTRY_COMPARE(programmeRequests(), asked + 1);
        app.idle();
        QTRY_VERIFY(!program->isLoading());
        QTRY_COMPARE(HttpFetcher::fetchesInFlight(), 0); // the slow answer has come
        QCoreApplication::processEvents();               // and been handed to the screen
        QCOMPARE(programmeRequests(), asked + 1);
        QVERIFY(program->arrayShows().isEmpty());
        QCOMPARE(program->lastFoundChannelId(), int(ProgramViewController::NoChannel));
        QCOMPARE(program->emptyMessage(), QStringLiteral("Choose channel..."));
        stack.beginAppearance(false, false);
        stack.endAppearance(false, false);
    }
};

QTEST_MAIN(TestProgramScreen)
#include "tst_programscreen.moc"
