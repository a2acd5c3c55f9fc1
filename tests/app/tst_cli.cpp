#include "FakeHttpServer.h"

#include "platform/Json.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString Cli = QStringLiteral(ORVANE_BINARY_DIR "/src/cli/orvane-cli");

struct Run
{
    int status = -1;
    QString out;
    QString err;
};

// Scripted answers of a content server for one city, shows of 7 December 2026 (server time).
void script(FakeHttpServer& server)
{
    using R = FakeHttpServer::Response;
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    server.on("/searchcontent/messages/now.php", R::json("{\"timestamp_gmt\": " + std::to_string(now) + "}"));
    server.on("/searchcontent/get_channel_info.php", R::json(R"({
        "cc": [["-", 0], ["Общие", 1], ["Радио", 2]],
        "5": ["Пятый канал", "/logo/5.png", 1, 1, 1, ""], "27": ["Первый", "/logo/27.png", 1, 1, 0, ""],
        "40": ["Маяк", "/logo/40.png", 0, 2, 1, ""]})"));
    const std::string onAirStart = std::to_string(now - 600);
    const std::string onAirEnd = std::to_string(now + 600);
    server.on("/searchcontent/content_listview.php", [=](const FakeHttpServer::Request& request) {
        if (request.target.find("&ev=98&") != std::string::npos) {
            return R::json(R"({"title": "Пятый канал", "i": "/logo/5.png", "t": 1, "ct": 1, "slogan": "",
                "0": {"ev": 98, "title": "Новости", "start_ts": 1796680000, "finish_ts": 1796681800}})");
        }
        if (request.target.find("&ev=") != std::string::npos) {
            return R::json(R"({"title": "Пятый канал", "i": "/logo/5.png", "t": 1, "ct": 1, "slogan": "",
                "0": {"ev": 99, "title": "Кино", "subtitle": "Часть 1", "start_ts": 1796670000, "finish_ts": 1796675400,
                      "info": "Описание фильма.", "type_str": "драма", "flag": 1, "country": "Франция", "year": 1999,
                      "rating": [{"imdb_rating": 7.3, "imdb_votes": 1200}],
                      "humans": [{"name": "Жан Рено", "amp": 1}]}})");
        }
        return R::json(
            R"({"1": {"ev": 1, "title": "Утро", "start_ts": 1796620000, "finish_ts": 1796623600, "flag": 4},
            "2": {"ev": 2, "title": "Сейчас в эфире", "start_ts": )" +
            onAirStart + R"(, "finish_ts": )" + onAirEnd + R"(},
            "x": "ignored"})");
    });
    server.on("/searchcontent/get_search_program_info.php", R::json(R"({
        "2": {"ev": 8, "title": "Поздно", "start_ts": 1796680000, "finish_ts": 1796683600, "ch": "27"},
        "1": {"ev": 7, "title": "Рано", "start_ts": 1796600000, "finish_ts": 1796603600, "ch": "5"}})"));
    server.on("/searchcontent/get_suggested_cities_list.php",
              R::json(R"({"cities": {"1": [1, "Москва"], "2": [2, "Армавир"], "c": [0, "не город"]}})"));
    server.on("/searchcontent/get_channel_rating.php", R::json(R"({"5": [2.5], "27": [9.5]})"));
    server.on("/searchcontent/get_channel_city_map_list.php", R::json(R"({"map": {"27": "5"}})"));
    server.on("/searchcontent/get_service_status.php", R::json(R"({"ss_status": 1, "pon": 42})"));
    server.on("/searchcontent/messages/twitterjsonlimit.php", R::json(R"({"Result": [
        {"message": {"text": "Отличный фильм"}, "sender_info": {"screen_name": "viewer"}, "time": "2026-12-07 20:01:02.000000"}]})"));
}

} // namespace

class TestCli : public QObject
{
    Q_OBJECT

    QTemporaryDir home;
    std::unique_ptr<FakeHttpServer> server;

    Run cli(const QStringList& arguments)
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("ORVANE_HOME", home.path());
        environment.insert("TZ", "Europe/Moscow");
        process.setProcessEnvironment(environment);
        process.start(Cli, QStringList{"--content-host", server->hostWithPort()} + arguments);
        process.waitForFinished(30000);
        return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }

    int requestsTo(const std::string& path) const
    {
        int count = 0;
        for (const auto& request : server->requests())
            count += request.path == path ? 1 : 0;
        return count;
    }

private Q_SLOTS:
    void init()
    {
        server = std::make_unique<FakeHttpServer>();
        script(*server);
    }

    void channels()
    {
        const Run run = cli({"channels"});
        QCOMPARE(run.status, 0);
        QVERIFY(run.out.indexOf("Общие") < run.out.indexOf("Радио\n"));
        QVERIFY(run.out.contains("Пятый канал"));
        QVERIFY(run.out.contains("Маяк"));
        QVERIFY(run.out.contains("♪"));
        QCOMPARE(server->targets().front(), std::string("/searchcontent/get_channel_info.php?i=-4&city=1"));
        const Run json = cli({"--json", "channels"});
        QCOMPARE(Json::objectWithString(json.out).toMap().value("27").toList().first().toString(),
                 QStringLiteral("Первый"));
    }

    void programmeFromTheCacheTheSecondTime()
    {
        const Run first = cli({"program", "5", "--date", "2026-12-07"});
        QCOMPARE(first.status, 0);
        QVERIFY2(first.out.contains("Утро"), qPrintable(first.out));
        QVERIFY(first.out.contains("▶"));
        QVERIFY(first.out.indexOf("Утро") < first.out.indexOf("Сейчас в эфире"));
        QVERIFY(!first.out.contains("ignored"));
        QCOMPARE(requestsTo("/searchcontent/content_listview.php"), 1);
        // The cache write was finished before the command ended, not lost with the process.
        QVERIFY(QFile::exists(home.filePath("programs/20261207/5")));
        const Run second = cli({"program", "5", "--date", "2026-12-07"});
        QCOMPARE(second.status, 0);
        QCOMPARE(second.out, first.out);
        QCOMPARE(requestsTo("/searchcontent/content_listview.php"), 1);
        QCOMPARE(cli({"program", "5", "--date", "7.12.2026"}).status, 2);
        QCOMPARE(cli({"program"}).status, 2);
    }

    void detailsOfAShow()
    {
        const Run run = cli({"details", "orvane://progdetails/20261207/5/99"});
        QCOMPARE(run.status, 0);
        for (const char* part :
             {"Кино (Часть 1)", "Пятый канал", "IMDb 7.3 (1200)", "Жан Рено", "Описание фильма."})
            QVERIFY2(run.out.contains(QString::fromUtf8(part)), part);
        const auto targets = server->targets();
        QVERIFY(std::any_of(targets.begin(), targets.end(), [](const std::string& target) {
            const QString text = QString::fromStdString(target);
            return text.startsWith("/searchcontent/content_listview.php?v=2&m=1&d=i06") &&
                   text.endsWith("&i=5&t=20261207&ev=99&g");
        }));
        QCOMPARE(cli({"details", "http://elsewhere/"}).status, 2);
    }

    void searchByStartTime()
    {
        const Run run = cli({"search", "  кино  "});
        QCOMPARE(run.status, 0);
        QVERIFY(run.out.indexOf("Рано") < run.out.indexOf("Поздно"));
        QVERIFY(run.out.contains("Первый"));
        QVERIFY(run.out.contains("orvane://progdetails/"));
        server->on("/searchcontent/get_search_program_info.php",
                   FakeHttpServer::Response::json(R"({"nodata": 1})"));
        const Run none = cli({"search", "x"});
        QCOMPARE(none.status, 0);
        QVERIFY(!none.out.contains("Рано"));
    }

    void listings()
    {
        const Run cities = cli({"cities"});
        QCOMPARE(cities.status, 0);
        QVERIFY(cities.out.indexOf("Армавир") < cities.out.indexOf("Москва"));
        QVERIFY(!cities.out.contains("не город"));
        const Run ratings = cli({"ratings"});
        QVERIFY(ratings.out.indexOf("9.50") < ratings.out.indexOf("2.50"));
        QVERIFY(cli({"maplist"}).out.contains("27"));
        const Run status = cli({"status"});
        QVERIFY(status.out.contains("42"));
        const Run tweets = cli({"tweets", "5", "--limit", "5"});
        QVERIFY(tweets.out.contains("@viewer"));
        QVERIFY(server->targets().back().find("&channel=5&Limit=5") != std::string::npos);
        QCOMPARE(cli({"tweets", "5", "--limit", "zero"}).status, 2);
        const Run cityTwo = cli({"--city", "2", "ratings"});
        QCOMPARE(cityTwo.status, 0);
        QVERIFY(server->targets().back().find("get_channel_rating.php?city=2") != std::string::npos ||
                requestsTo("/searchcontent/get_channel_rating.php") == 2);
    }

    void settingsChooseTheCityAndStatsReadAsText()
    {
        server->on("/searchcontent/get_user_stats.php",
                   FakeHttpServer::Response::text("<html><body><h1>Статистика</h1><table><tr><td>Первый</td>"
                                                  "<td>60%</td></tr></table></body></html>",
                                                  200));
        const Run before = cli({"--json", "settings"});
        QCOMPARE(before.status, 0);
        QVERIFY2(before.out.contains("\"cityId\": 1"), qPrintable(before.out));
        // By the words of its name, as a location's area would give it.
        const Run chosen = cli({"settings", "city", "армавир"});
        QCOMPARE(chosen.status, 0);
        QVERIFY(chosen.out.contains("Армавир (2)"));
        QCOMPARE(requestsTo("/searchcontent/get_channel_city_map_list.php"), 1);
        QVERIFY(cli({"--json", "settings"}).out.contains("\"cityId\": 2"));
        const Run unknown = cli({"settings", "city", "Тверь"});
        QCOMPARE(unknown.status, 1);
        QVERIFY(unknown.err.contains("Тверь"));
        QVERIFY(cli({"--json", "settings"}).out.contains("\"cityId\": 2"));
        QCOMPARE(cli({"settings", "town"}).status, 2);

        const Run stats = cli({"stats"});
        QCOMPARE(stats.status, 0);
        QVERIFY2(stats.out.contains("Первый") && !stats.out.contains("<td>"), qPrintable(stats.out));
        QVERIFY(server->targets().back().find("get_user_stats.php?d=") != std::string::npos);
        server->on("/searchcontent/get_user_stats.php", FakeHttpServer::Response::text("gone", 500));
        QCOMPARE(cli({"stats"}).status, 1);
    }

    void favouritesHistoryAndReminders()
    {
        server->on("/searchcontent/get_channel_info.php",
                   FakeHttpServer::Response::json(
                       R"({"ch": "Пятый канал", "icon": "/5.png", "t": 1, "0": {"flag": 1}})"));
        const Run added = cli({"favorites", "add", "5"});
        QCOMPARE(added.status, 0);
        QVERIFY(added.out.contains("Пятый канал"));
        QVERIFY(server->targets().back() == "/searchcontent/get_channel_info.php?p&i=5");
        const Run twice = cli({"favorites", "add", "5"});
        QCOMPARE(twice.status, 1);
        QVERIFY(twice.err.contains("Этот канал уже добавлен") || twice.err.contains("already been added"));
        QVERIFY(cli({"favorites"}).out.contains("5   Пятый канал") ||
                cli({"favorites"}).out.contains("Пятый канал"));
        const QVariantList favourites = Json::objectWithString(cli({"--json", "favorites"}).out).toList();
        QCOMPARE(favourites.size(), 1);
        QCOMPARE(favourites.first().toMap().value("channelId").toString(), QStringLiteral("5"));
        QCOMPARE(cli({"favorites", "remove", "5"}).status, 0);
        QVERIFY(!cli({"favorites"}).out.contains("Пятый канал"));
        const QVariantMap notThere =
            Json::objectWithString(cli({"--json", "favorites", "remove", "5"}).out).toMap();
        QCOMPARE(notThere.value("removed"), QVariant(false));
        QCOMPARE(cli({"favorites", "add", "x"}).status, 2);

        QVERIFY(!cli({"history"}).out.contains("Кино"));
        QCOMPARE(Json::objectWithString(cli({"--json", "history"}).out), QVariant(QVariantList()));
        QCOMPARE(cli({"history", "--clear"}).status, 0);

        const QString calendars = home.filePath("calendars-cli");
        const QString link = "orvane://progdetails/20261207/5/99";
        const Run remind = cli({"--calendar-dir", calendars, "remind", link, "--alarm", "2026-12-07 19:50"});
        QCOMPARE(remind.status, 0);
        QVERIFY2(remind.out.contains("Кино (Пятый канал)"), qPrintable(remind.out + remind.err));
        QVERIFY(QDir(calendars + "/orvane").entryList({"*.ics"}).size() == 1);
        const Run again = cli({"--json", "--calendar-dir", calendars, "remind", link});
        QCOMPARE(again.status, 0);
        const QVariantMap already = Json::objectWithString(again.out).toMap();
        QCOMPARE(already.value("added"), QVariant(false));
        QCOMPARE(already.value("title").toString(), QStringLiteral("Кино (Пятый канал)"));
        QVERIFY(QDir(calendars + "/orvane").entryList({"*.ics"}).size() == 1);
        QCOMPARE(cli({"--calendar-dir", calendars, "remind", "--delete", link}).status, 0);
        QVERIFY(QDir(calendars + "/orvane").entryList({"*.ics"}).isEmpty());
        QCOMPARE(cli({"--calendar-dir", calendars, "remind", "--clear-all"}).status, 0);
        QVERIFY(!QDir(calendars + "/orvane").exists());
        QCOMPARE(cli({"remind", link, "--alarm", "tomorrow"}).status, 2);
    }

    void aFullDiskIsReportedAndLosesNothing()
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("TZ", "Europe/Moscow");
        process.setProcessEnvironment(environment);
        process.start(ORVANE_SOURCE_DIR "/tests/app/full_disk.sh",
                      {Cli, server->hostWithPort(), "orvane://progdetails/20261207/5/99",
                       "orvane://progdetails/20261207/5/98"});
        QVERIFY(process.waitForFinished(120000));
        if (process.exitCode() == 77)
            QSKIP("no mount namespace for a small disk here");
        const QStringList lines = QString::fromUtf8(process.readAllStandardOutput()).split(u'\n');
        QMap<QString, QString> steps; // name -> "rc=N" line and its output lines
        QString current;
        for (const QString& line : lines) {
            if (line.startsWith("  ") && !current.isEmpty())
                steps[current] += line + u'\n';
            else if (!line.isEmpty())
                steps[current = line.section(u' ', 0, 0)] = line + u'\n';
        }
        const auto rc = [&](const char* step) {
            return steps.value(step).section(u'\n', 0, 0).section(u' ', 1);
        };
        QCOMPARE(rc("favourite"), QStringLiteral("rc=0"));
        QCOMPARE(rc("remind-first"), QStringLiteral("rc=0"));
        // The disk is full: each failure says so, and nothing reports success.
        QCOMPARE(rc("full-remind"), QStringLiteral("rc=1"));
        QVERIFY2(steps["full-remind"].contains("No space left on device"), qPrintable(steps["full-remind"]));
        QCOMPARE(rc("full-favourite-add"), QStringLiteral("rc=1"));
        QVERIFY2(steps["full-favourite-add"].contains("the disk is full"),
                 qPrintable(steps["full-favourite-add"]));
        QCOMPARE(rc("full-favourite-remove"), QStringLiteral("rc=1"));
        QVERIFY2(steps["full-favourite-remove"].contains("the disk is full"),
                 qPrintable(steps["full-favourite-remove"]));
        QVERIFY2(rc("full-program") == u"rc=0",
                 qPrintable(steps["full-program"])); // shown, though not cached
        QVERIFY(steps["full-program"].contains("Утро"));
        // No empty reminder was left, and a later add works; the favourite is still there.
        QCOMPARE(steps["empty"].trimmed(), QStringLiteral("empty files:"));
        QCOMPARE(rc("freed-remind"), QStringLiteral("rc=0"));
        QCOMPARE(steps["calendar"].trimmed(), QStringLiteral("calendar files: 2"));
        QVERIFY2(steps["freed-favourites"].contains("\"channelId\": \"5\""),
                 qPrintable(steps["freed-favourites"]));
    }

    void failuresGoToStandardError()
    {
        server->on("/searchcontent/get_service_status.php",
                   FakeHttpServer::Response::json(
                       R"({"ExceptionDetail": {"Message": "Сервис на обслуживании"}})", 500));
        const Run run = cli({"status"});
        QCOMPARE(run.status, 1);
        QVERIFY(run.out.isEmpty());
        QVERIFY(run.err.contains("Сервис на обслуживании"));
        const Run json = cli({"--json", "status"});
        QCOMPARE(json.status, 1);
        server->on("/searchcontent/get_channel_info.php", FakeHttpServer::Response::text("<html>", 200));
        const Run garbage = cli({"channels"});
        QCOMPARE(garbage.status, 1); // not JSON: an error, not an empty list
        QVERIFY(garbage.out.isEmpty());
        QVERIFY2(garbage.err.contains("not JSON"), qPrintable(garbage.err));
        QCOMPARE(cli({"--json", "channels"}).status, 1);
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
