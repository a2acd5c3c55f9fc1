// XMLTV listings into the schedule store, and what the content server then answers for them:
// time zones, credits, categories, ratings, days crossing midnight and the day boundary,
// re-imports, and files that are broken or hostile.
#include "RawHttp.h"
#include "ServerFixture.h"

#include "importer/XmltvImporter.h"
#include "platform/Json.h"
#include "platform/JsonValue.h"
#include "store/SocialStore.h"

#include <QBuffer>
#include <QDateTime>
#include <QImage>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

namespace {

qint64 utc(const char* text)
{
    return QDateTime::fromString(QString::fromLatin1(text), Qt::ISODate).toSecsSinceEpoch();
}

QString fixture()
{
    return QStringLiteral(ORVANE_SERVER_TEST_DATA "/listing.xml");
}

XmltvImporter::Summary importText(ScheduleStore& store, const QByteArray& xml, const QDir& base = QDir())
{
    QBuffer buffer;
    buffer.setData(xml);
    buffer.open(QIODevice::ReadOnly);
    return XmltvImporter(store, 1).import(buffer, base);
}

QByteArray listing(const QByteArray& programmes)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<tv>\n"
           "<channel id=\"x.test\"><display-name>X</display-name></channel>\n" +
           programmes + "</tv>\n";
}

} // namespace

class TestXmltvImport : public QObject
{
    Q_OBJECT

    // A server on an empty store in Moscow time, the fixture imported for city 1.
    std::unique_ptr<ServerFixture> server;

    ScheduleStore& store() { return server->store(); }
    int channelOf(const char* xmltvId)
    {
        return store().channelIdByXmltv(QString::fromLatin1(xmltvId)).value_or(0);
    }

    QList<StoreProgramme> allOf(int channel)
    {
        return store().programmes(channel, 0, utc("2100-01-01T00:00:00Z"));
    }

    QVariantMap get(const QByteArray& target)
    {
        return JsonValue::map(
            Json::decode(RawHttp::body(RawHttp::get(server->port(), "/searchcontent/" + target))));
    }

private Q_SLOTS:
    void storesOfTheFirstVersionGainCityPlaces()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("v1.sqlite");
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "v1");
            db.setDatabaseName(path);
            QVERIFY(db.open());
            QSqlQuery q(db);
            QVERIFY(q.exec(
                "CREATE TABLE cities (id INTEGER PRIMARY KEY, name TEXT NOT NULL, utc_offset INTEGER)"));
            QVERIFY(q.exec("INSERT INTO cities VALUES (4, 'Казань', 180)"));
            QVERIFY(q.exec("CREATE TABLE messages (id INTEGER PRIMARY KEY, channel_id INTEGER NOT NULL, "
                           "time INTEGER NOT NULL, sender_id TEXT, sender_name TEXT, screen_name TEXT, "
                           "profile_image_url TEXT, text TEXT, source TEXT, reply_to_id TEXT, "
                           "reply_to_screen_name TEXT, media_url TEXT)"));
            QVERIFY(q.exec("PRAGMA user_version = 1"));
        }
        QSqlDatabase::removeDatabase("v1");
        ScheduleStore store(path);
        QVERIFY2(store.isOpen(), qPrintable(store.error()));
        QCOMPARE(store.city(4)->name, QStringLiteral("Казань"));
        QVERIFY(!store.city(4)->latitude);
        // Every later table came with the upgrade, the microblog's pictures the last.
        QVERIFY(SocialStore(store).addMedia(1, QByteArray("png"), 1) > 0);
        StoreCity placed = *store.city(4);
        placed.latitude = 55.79;
        placed.longitude = 49.12;
        QVERIFY(store.upsertCity(placed));
        // A later update without a place keeps it.
        placed.latitude.reset();
        placed.longitude.reset();
        placed.name = "Казань (Татарстан)";
        QVERIFY(store.upsertCity(placed));
        QCOMPARE(*store.city(4)->latitude, 55.79);
        QCOMPARE(store.city(4)->name, QStringLiteral("Казань (Татарстан)"));
    }

    void initTestCase()
    {
        server =
            std::make_unique<ServerFixture>(false, HttpServer::Limits{}, QStringLiteral("Europe/Moscow"));
        store().upsertCity({1, QStringLiteral("Москва"), 180, 55.7558, 37.6173});
        qint64 lastReported = -1;
        const XmltvImporter::Summary summary =
            XmltvImporter(store(), 1).importFile(fixture(), [&](qint64 read, qint64 total, qint64) {
                QVERIFY(read <= total);
                lastReported = read;
            });
        QVERIFY2(summary.ok, qPrintable(summary.error));
        QCOMPARE(summary.channels, 2);
        QCOMPARE(summary.programmes, 7);
        QCOMPARE(summary.skipped, 0);
        QCOMPARE(summary.remoteIcons, 2); // a channel logo and a show picture, not fetched
        QVERIFY(lastReported > 0);
    }
    void cleanupTestCase() { server.reset(); }

    void timesParseWithAndWithoutZones()
    {
        QCOMPARE(XmltvImporter::parseTime("20261207100000 +0300"), utc("2026-12-07T07:00:00Z"));
        QCOMPARE(XmltvImporter::parseTime("20261207080000 -0500"), utc("2026-12-07T13:00:00Z"));
        QCOMPARE(XmltvImporter::parseTime("20261207140000"), utc("2026-12-07T14:00:00Z"));
        QCOMPARE(XmltvImporter::parseTime("202612071400 +0130"), utc("2026-12-07T12:30:00Z"));
        QCOMPARE(XmltvImporter::parseTime("  20261207140000   +0000 "), utc("2026-12-07T14:00:00Z"));
        for (const char* bad : {"", "2026", "20261307100000 +0300", "20261207100000 +03",
                                "20261207100000 GMT+3", "2026120710000x", "20261207250000 +0000"})
            QVERIFY2(!XmltvImporter::parseTime(QString::fromLatin1(bad)), bad);
    }

    void programmesKeepTheirDetails()
    {
        const int one = channelOf("one.test.ru");
        QVERIFY(one > 0);
        QCOMPARE(store().channel(one)->name, QStringLiteral("Первый тестовый")); // Russian name preferred
        QCOMPARE(store().channelsOfCity(1).size(), 2);

        const QList<StoreProgramme> shows = allOf(one);
        QCOMPARE(shows.size(), 3);
        const StoreProgramme& film = shows.first();
        QCOMPARE(film.start, utc("2026-12-07T07:00:00Z"));
        QCOMPARE(film.stop, utc("2026-12-07T08:30:00Z"));
        QCOMPARE(film.title, QStringLiteral("Тихая гавань"));
        QCOMPARE(film.subTitle, QStringLiteral("Режиссёрская версия"));
        QCOMPARE(film.description, QStringLiteral("История смотрителя маяка & его семьи."));
        QCOMPARE(film.year, 1999);
        QCOMPARE(film.country, QStringLiteral("Россия"));
        QCOMPARE(film.category, 1); // film
        QCOMPARE(film.genre, QStringLiteral("Фильм, Drama, PG-13"));
        QCOMPARE(film.imdbRating, 7.9);
        QCOMPARE(film.kpRating, 8.0);
        QVERIFY(film.image.isEmpty()); // a remote picture is not fetched

        QStringList people;
        for (const StoreParticipant& person : film.participants)
            people << QStringLiteral("%1 %2").arg(person.role).arg(person.name);
        QCOMPARE(people,
                 (QStringList{"2 Андрей Чернов", "1 Игорь Савельев", "1 Анна Белова", "12 Ирина Лаптева"}));

        const QList<StoreProgramme> other = allOf(channelOf("two.test.ru"));
        QCOMPARE(other.size(), 4);
        QCOMPARE(other[0].start, utc("2026-12-07T13:00:00Z")); // -0500
        QCOMPARE(other[0].category, 4);                        // news
        QCOMPARE(other[1].start, utc("2026-12-07T14:00:00Z")); // no zone is UTC
        QCOMPARE(other[1].category, 3);                        // sport
        QCOMPARE(other[2].stop, utc("2026-12-07T17:00:00Z"));  // no stop: until the next one
        QCOMPARE(other[3].title, QStringLiteral("Новости"));
    }

    void daysCrossMidnightAndEndAtTheBoundary()
    {
        // In Moscow the programme day of 7 December runs 04:00 7th – 04:00 8th: the late
        // film crossing midnight and the 03:30 show both belong to it.
        const int one = channelOf("one.test.ru");
        const QVariantMap day = get("content_listview.php?i=" + QByteArray::number(one) + "&t=20261207");
        QStringList titles;
        for (int key = 1; day.contains(QString::number(key)); ++key) {
            const QVariantMap show = day.value(QString::number(key)).toMap();
            titles << show.value("title").toString();
            QCOMPARE(show.value("pd").toLongLong(), 20261207);
        }
        QCOMPARE(titles, (QStringList{"Тихая гавань", "Ночной сеанс", "Под утро"}));
        QVERIFY(!day.contains("nodata"));

        const QVariantMap next = get("content_listview.php?i=" + QByteArray::number(one) + "&t=20261208");
        QVERIFY(next.contains("nodata"));
        QVERIFY(!next.contains("1"));
    }

    void reimportKeepsIdsAndPrunesWhatIsGone()
    {
        const int two = channelOf("two.test.ru");
        QList<qint64> before;
        for (const StoreProgramme& p : allOf(two))
            before << p.id;

        QVERIFY(XmltvImporter(store(), 1).importFile(fixture()).ok);
        QList<qint64> again;
        for (const StoreProgramme& p : allOf(two))
            again << p.id;
        QCOMPARE(again, before);
        QCOMPARE(store().channelsOfCity(1).size(), 2);

        // A newer listing of channel two drops the sports programme and retitles the news.
        QFile file(fixture());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QByteArray newer = file.readAll();
        const int sports = newer.indexOf("<programme start=\"20261207140000\"");
        newer.remove(sports, newer.indexOf("</programme>", sports) + 12 - sports);
        newer.replace("From New York", "From New York, late edition");
        QTemporaryDir dir;
        QFile out(dir.filePath("newer.xml"));
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(newer);
        out.close();
        QVERIFY(XmltvImporter(store(), 1).importFile(out.fileName()).ok);

        const QList<StoreProgramme> after = allOf(two);
        QCOMPARE(after.size(), 3);
        QCOMPARE(after[0].id, before[0]);
        QCOMPARE(after[0].title, QStringLiteral("From New York, late edition"));
        QCOMPARE(after[1].id, before[2]);
        QCOMPARE(after[2].id, before[3]);

        QVERIFY(XmltvImporter(store(), 1).importFile(fixture()).ok); // back as the others expect
    }

    void brokenFilesChangeNothing()
    {
        const qint64 count = store().programmeCount();
        QFile file(fixture());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray whole = file.readAll();

        const XmltvImporter::Summary truncated = importText(store(), whole.left(whole.size() * 2 / 3));
        QVERIFY(!truncated.ok);
        QVERIFY2(truncated.error.startsWith("line "), qPrintable(truncated.error));
        QCOMPARE(store().programmeCount(), count);

        const XmltvImporter::Summary notXmltv = importText(store(), "<html><body>tv</body></html>");
        QVERIFY(!notXmltv.ok);
        QVERIFY(notXmltv.error.contains("not an XMLTV listing"));

        QVERIFY(!importText(store(), "\xff\xfe<tv>\x80\x81</tv>").ok);
        QVERIFY(!XmltvImporter(store(), 1).importFile("/nonexistent/listing.xml").ok);

        // Entities that expand into billions of characters are refused, not expanded.
        QByteArray bomb =
            "<?xml version=\"1.0\"?>\n<!DOCTYPE tv [\n<!ENTITY a \"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa\">\n";
        for (char level = 'b'; level <= 'j'; ++level)
            bomb += QByteArray("<!ENTITY ") + level + " \"" + QByteArray("&") + char(level - 1) + ";" +
                    QByteArray("&") + char(level - 1) + ";&" + char(level - 1) + ";&" + char(level - 1) +
                    ";&" + char(level - 1) + ";&" + char(level - 1) + ";&" + char(level - 1) + ";&" +
                    char(level - 1) + ";\">\n";
        bomb += "]>\n<tv><channel id=\"x.test\"><display-name>&j;</display-name></channel></tv>\n";
        const XmltvImporter::Summary exploded = importText(store(), bomb);
        QVERIFY(!exploded.ok);
        QCOMPARE(store().programmeCount(), count);
        QVERIFY(!store().channelIdByXmltv("x.test"));

        // A city made for the import exists only once an import has succeeded.
        QBuffer broken;
        broken.setData(whole.left(200));
        broken.open(QIODevice::ReadOnly);
        XmltvImporter forNewCity(store(), 9);
        forNewCity.setCityIfMissing({9, QStringLiteral("Казань"), 180, std::nullopt, std::nullopt});
        QVERIFY(!forNewCity.import(broken, QDir()).ok);
        QVERIFY(!store().city(9));
        QBuffer fine;
        fine.setData(listing(""));
        fine.open(QIODevice::ReadOnly);
        QVERIFY(forNewCity.import(fine, QDir()).ok);
        QCOMPARE(store().city(9)->name, QStringLiteral("Казань"));
    }

    void programmesWithoutWhatTheyNeedAreSkipped()
    {
        const XmltvImporter::Summary summary = importText(
            store(),
            listing(
                "<programme start=\"20261209100000 +0000\" channel=\"x.test\"><title>ok</title></programme>\n"
                "<programme start=\"20261209110000 +0000\" "
                "channel=\"unknown.test\"><title>who</title></programme>\n"
                "<programme start=\"someday\" channel=\"x.test\"><title>when</title></programme>\n"
                "<programme start=\"20261209120000 +0000\" channel=\"x.test\"></programme>\n"));
        QVERIFY2(summary.ok, qPrintable(summary.error));
        QCOMPARE(summary.programmes, 1);
        QCOMPARE(summary.skipped, 3);
        // The last programme of a listing without an end keeps a short placeholder length.
        const QList<StoreProgramme> shows = allOf(channelOf("x.test"));
        QCOMPARE(shows.size(), 1);
        QVERIFY(shows.first().stop > shows.first().start);
    }

    void localIconsAreStoredAndServedAtTheAskedSize()
    {
        QTemporaryDir dir;
        QImage icon(200, 100, QImage::Format_ARGB32);
        icon.fill(Qt::red);
        QVERIFY(icon.save(dir.filePath("logo.png")));
        QFile notAnImage(dir.filePath("fake.png"));
        QVERIFY(notAnImage.open(QIODevice::WriteOnly));
        notAnImage.write("not a picture");
        notAnImage.close();

        const XmltvImporter::Summary summary = importText(
            store(),
            "<tv><channel id=\"logo.test\"><display-name>Logo</display-name><icon "
            "src=\"logo.png\"/></channel>"
            "<channel id=\"fake.test\"><display-name>Fake</display-name><icon src=\"fake.png\"/></channel>"
            "<channel id=\"escape.test\"><display-name>Escape</display-name><icon "
            "src=\"../../../etc/passwd\"/></channel></tv>",
            QDir(dir.path()));
        QVERIFY2(summary.ok, qPrintable(summary.error));

        const std::optional<StoreChannel> channel = store().channel(channelOf("logo.test"));
        QVERIFY(channel);
        QVERIFY(!store().picture(channel->logo).isEmpty());
        const QByteArray target = "/searchcontent/gfx/60/40" + channel->logo.toLatin1();
        const QImage served = QImage::fromData(RawHttp::body(RawHttp::get(server->port(), target)), "PNG");
        QCOMPARE(served.size(), QSize(60, 40));
        QCOMPARE(served.pixelColor(30, 20), QColor(Qt::red));

        // Not a picture, or not readable as one: no stored picture; the server draws a logo.
        for (const char* id : {"fake.test", "escape.test"}) {
            const std::optional<StoreChannel> drawn = store().channel(channelOf(id));
            QVERIFY(drawn);
            QVERIFY(store().picture(drawn->logo).isEmpty());
            const QByteArray drawnTarget = "/searchcontent/gfx/60/40" + drawn->logo.toLatin1();
            QCOMPARE(QImage::fromData(RawHttp::body(RawHttp::get(server->port(), drawnTarget)), "PNG").size(),
                     QSize(60, 40));
        }
    }

    void oversizedTextsAndListsAreCutAndLogged()
    {
        // Cyrillic is two bytes a letter: the cut counts bytes and never splits one.
        const QString title = QStringLiteral("Ж").repeated(3000);
        const QString description = QStringLiteral("d").repeated(40000);
        QByteArray extra;
        for (int i = 0; i < 40; ++i)
            extra += "<category>kind " + QByteArray::number(i) + "</category>";
        extra += "<credits>";
        for (int i = 0; i < 150; ++i)
            extra += "<actor>Actor " + QByteArray::number(i) + "</actor>";
        extra += "</credits>";
        QStringList log;
        XmltvImporter importer(store(), 1);
        importer.setLog([&log](const QString& line) { log << line; });
        QBuffer buffer;
        buffer.setData(listing(
            "<programme channel=\"x.test\" start=\"20301207100000 +0000\" stop=\"20301207110000 +0000\">"
            "<title>" +
            title.toUtf8() + "</title><desc>" + description.toUtf8() + "</desc>" + extra +
            "<date>1957</date></programme>"
            "<programme channel=\"x.test\" start=\"20301207110000 +0000\" stop=\"20301207120000 +0000\">"
            "<title>Far future</title><date>99999</date></programme>"
            "<programme channel=\"x.test\" start=\"20301207120000 +0000\" stop=\"20301207130000 +0000\">"
            "<title>Before films</title><date>1700</date></programme>"));
        buffer.open(QIODevice::ReadOnly);
        const XmltvImporter::Summary summary = importer.import(buffer, QDir());
        QVERIFY2(summary.ok, qPrintable(summary.error));
        QCOMPARE(summary.programmes, 3);

        const QList<StoreProgramme> shows =
            store().programmes(channelOf("x.test"), utc("2030-12-07T10:00:00Z"), utc("2030-12-07T13:00:00Z"));
        QCOMPARE(shows.size(), 3);
        const StoreProgramme& big = shows[0];
        QCOMPARE(big.title, QStringLiteral("Ж").repeated(512)); // 1024 bytes
        QCOMPARE(big.description.size(), XmltvImporter::MaxDescriptionBytes);
        QCOMPARE(big.genre.split(QStringLiteral(", ")).size(), XmltvImporter::MaxCategories);
        QCOMPARE(big.participants.size(), XmltvImporter::MaxParticipants);
        QCOMPARE(big.year, 1957); // an old film keeps its year
        QCOMPARE(shows[1].year, 0);
        QCOMPARE(shows[2].year, 0);

        // Each cut is logged once, naming the programme's channel and start.
        QCOMPARE(summary.capped, qint64(log.size()));
        const QString where = QStringLiteral("programme of x.test at 20301207100000 +0000: ");
        QVERIFY(log.contains(where + QStringLiteral("title of 6000 bytes cut to 1024")));
        QVERIFY(log.contains(where + QStringLiteral("description of 40000 bytes cut to 16384")));
        QVERIFY(log.contains(where + QStringLiteral("24 categories beyond the first 16 left out")));
        QVERIFY(log.contains(where + QStringLiteral("50 people beyond the first 100 left out")));
        QVERIFY(log.contains(QStringLiteral(
            "programme of x.test at 20301207110000 +0000: year 9999 outside 1888–2100 left out")));
        QCOMPARE(log.size(), 6);
    }

    void iconsAreReadOnlyFromSmallRegularFiles()
    {
        QTemporaryDir dir;
        // A FIFO would block the import for ever; a directory is no picture; a picture
        // declaring a huge size is refused before decoding.
        QVERIFY(mkfifo(QFile::encodeName(dir.filePath("fifo.png")).constData(), 0600) == 0);
        QVERIFY(QDir(dir.path()).mkdir("folder.png"));
        QImage huge(9000, 1, QImage::Format_Mono);
        huge.fill(0);
        QVERIFY(huge.save(dir.filePath("wide.png")));
        QFile big(dir.filePath("big.png"));
        QVERIFY(big.open(QIODevice::WriteOnly));
        QVERIFY(big.resize(5 * 1024 * 1024));
        big.close();

        QStringList log;
        XmltvImporter importer(store(), 1);
        importer.setLog([&log](const QString& line) { log << line; });
        QBuffer buffer;
        buffer.setData(
            "<tv><channel id=\"fifo.test\"><display-name>F</display-name><icon src=\"fifo.png\"/></channel>"
            "<channel id=\"folder.test\"><display-name>D</display-name><icon src=\"folder.png\"/></channel>"
            "<channel id=\"wide.test\"><display-name>W</display-name><icon src=\"wide.png\"/></channel>"
            "<channel id=\"big.test\"><display-name>B</display-name><icon src=\"big.png\"/></channel></tv>");
        buffer.open(QIODevice::ReadOnly);
        const XmltvImporter::Summary summary = importer.import(buffer, QDir(dir.path()));
        QVERIFY2(summary.ok, qPrintable(summary.error));
        QCOMPARE(summary.channels, 4);
        for (const char* id : {"fifo.test", "folder.test", "wide.test", "big.test"})
            QVERIFY(store().picture(store().channel(channelOf(id))->logo).isEmpty());
        QCOMPARE(log.size(), 4);
        QVERIFY(log[0].startsWith(QStringLiteral("channel fifo.test: icon fifo.png is not a regular file")));
        QVERIFY(log[1].contains(QStringLiteral("folder.png is not a regular file")));
        QVERIFY(log[2].contains(QStringLiteral("9000×1 pixels")));
        QVERIFY(log[3].contains(QStringLiteral("larger than")));
    }
};

QTEST_MAIN(TestXmltvImport)
#include "tst_xmltvimport.moc"
