#include "TestHome.h"

#include "model/AppContext.h"
#include "model/Utilities.h"
#include "platform/Json.h"
#include "platform/Preferences.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTest>

#include <sys/stat.h>

#include <atomic>
#include <thread>

namespace {

class MapContext final : public AppContext
{
public:
    QVariantMap map;
    int userCityId() const override { return 1; }
    QVariantMap mapListDict() const override { return map; }
    double roundedServerTimeDifference() const override { return 0; }
    std::shared_ptr<Channel> selectedChannel() const override { return nullptr; }
};

const QDateTime Day = QDateTime(QDate(2026, 12, 7), QTime(12, 0));

QVariantMap programme(const QString& title)
{
    return {{"1", QVariantMap{{"title", title}, {"start_ts", 1796670000.0}}}, {"channid", "5"}};
}

void writeRaw(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

class TestCaches : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestHome> home;

private Q_SLOTS:
    void init() { home = std::make_unique<TestHome>(); }
    void cleanup() { home.reset(); }

    void programmesPerChannelAndDay()
    {
        QVERIFY(Utilities::saveChannProgramData(programme("a"), "5", Day));
        QVERIFY(Utilities::saveChannProgramData(programme("b"), "27", Day));
        QCOMPARE(Utilities::programsPathWithDate(Day), home->path() + "/programs/20261207");
        QCOMPARE(QDir(home->path() + "/programs/20261207").entryList(QDir::Files), (QStringList{"27", "5"}));
        QCOMPARE(Utilities::getChannProgramDataById("5", Day)->value("1").toMap().value("title").toString(),
                 "a");
        QVERIFY(!Utilities::getChannProgramDataById("5", Day.addDays(1)));
        QVERIFY(!Utilities::getChannProgramDataById("6", Day));
        // A newer answer replaces the older one.
        QVERIFY(Utilities::saveChannProgramData(programme("c"), "5", Day));
        QCOMPARE(Utilities::getChannProgramDataById("5", Day)->value("1").toMap().value("title").toString(),
                 "c");
        Utilities::clearChannProgramData();
        QVERIFY(QDir(home->path() + "/programs").isEmpty());
        QVERIFY(!Utilities::getChannProgramDataById("27", Day));
    }

    void whatIsNeverCached()
    {
        QVERIFY(!Utilities::saveChannProgramData(QVariantMap{{"nodata", 1}}, "5", Day));
        QVERIFY(!Utilities::saveChannProgramData(QVariantList{1}, "5", Day));
        QVERIFY(!Utilities::saveChannProgramData(QVariant(), "5", Day));
        const QVariant withNull = Json::objectWithString(R"({"1": {"title": "x", "info": null}})");
        QVERIFY(!Utilities::saveChannProgramData(withNull, "5", Day));
        QVERIFY(!Utilities::saveChannelsData(Json::objectWithString(R"({"cc": [null]})")));
        QVERIFY(!Utilities::saveChannRatingsData(QVariantMap{{"nodata", true}}));
        QVERIFY(!Utilities::getChannProgramDataById("5", Day));
        QVERIFY(!Utilities::getChannelsData());
    }

    void unsafeIdsStayInTheirFolder_data()
    {
        QTest::addColumn<QString>("id");
        QTest::newRow("empty") << "";
        QTest::newRow("dot") << ".";
        QTest::newRow("dot dot") << "..";
        QTest::newRow("escape") << "../../evil";
        QTest::newRow("absolute") << "/tmp/evil";
        QTest::newRow("backslash") << "a\\b";
        QTest::newRow("nul") << QString("a") + QChar(0) + "b";
        QTest::newRow("too long") << QString(129, u'x');
        QTest::newRow("long cyrillic") << QString(65, u'ж'); // 130 bytes
    }
    void unsafeIdsStayInTheirFolder()
    {
        QFETCH(QString, id);
        QVERIFY(!Utilities::saveChannProgramData(programme("x"), id, Day));
        QVERIFY(!Utilities::getChannProgramDataById(id, Day));
        QVERIFY(!Utilities::saveShowData(QVariantMap{{"a", 1}}, id));
        QVERIFY(!Utilities::getShowDataById(id));
        QVERIFY(!QFile::exists(home->path() + "/evil"));
        QVERIFY(Utilities::fileNames().isEmpty());
        QVERIFY(Utilities::isSafeCacheName(QString(128, u'x')));
        QVERIFY(Utilities::isSafeCacheName("123..4"));
    }

    void damagedFilesReadAsNoneAndAreReplaced()
    {
        const QString file = Utilities::programsPathWithDate(Day) + "/5";
        for (const QByteArray& damaged :
             {QByteArray(), QByteArray("{\"1\": {\"tit"), QByteArray("\xff\xfe\x00"), QByteArray("[1, 2]"),
              QByteArray("<plist/>")}) {
            writeRaw(file, damaged);
            QVERIFY(!Utilities::getChannProgramDataById("5", Day));
            QVERIFY(Utilities::saveChannProgramData(programme("fresh"), "5", Day));
            QCOMPARE(Utilities::getChannProgramDataById("5", Day)->value("channid").toString(),
                     QStringLiteral("5"));
        }
    }

    void oversizedAndSpecialFilesAreNotRead()
    {
        // A 300 MB file (sparse: it takes no disk) is not read whole; a FIFO does not block.
        const QString file = Utilities::programsPathWithDate(Day) + "/5";
        {
            QFile huge(file);
            QVERIFY(huge.open(QIODevice::WriteOnly));
            QVERIFY(huge.resize(300LL * 1024 * 1024));
        }
        QVERIFY(!Utilities::getChannProgramDataById("5", Day));
        QVERIFY(Utilities::saveChannProgramData(programme("fresh"), "5", Day));
        QVERIFY(Utilities::getChannProgramDataById("5", Day));

        const QString fifo = Utilities::programsPathWithDate(Day) + "/6";
        QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QVERIFY(!Utilities::getChannProgramDataById("6", Day));
    }

    void channelListAndRatingsOutliveClearing()
    {
        QVERIFY(Utilities::saveChannelsData(QVariantMap{{"cc", QVariantList{QVariantList{"-", 0}}}}));
        QVERIFY(Utilities::saveChannRatingsData(QVariantMap{{"5", QVariantList{4.5}}}));
        QVERIFY(Utilities::saveChannProgramData(programme("x"), "5", Day));
        QVERIFY(Utilities::saveShowData(QVariantMap{{"title", "s"}}, "99"));
        Utilities::clearChannProgramData();
        Utilities::clearShowCache();
        QVERIFY(Utilities::getChannelsData());
        QCOMPARE(Utilities::getChannRatingsData()->value("5").toList().first().toDouble(), 4.5);
        Utilities::clearChannelsData();
        Utilities::clearChannRatingsData();
        QVERIFY(!Utilities::getChannelsData());
        QVERIFY(!Utilities::getChannRatingsData());
    }

    void showsAndTheNearCache()
    {
        QVERIFY(!Utilities::saveShowData(QVariantList{}, "1"));
        QVERIFY(Utilities::saveShowData(QVariantMap{{"title", "one"}}, "1"));
        QVERIFY(Utilities::saveShowData(QVariantMap{{"title", "two"}}, "2"));
        QCOMPARE(Utilities::fileNames(), (QStringList{"1", "2"}));
        Utilities::clearShowCache();
        QVERIFY(Utilities::fileNames().isEmpty());
        // The last show saved still answers from memory; the other is gone.
        QCOMPARE(Utilities::getShowDataById("2")->value("title").toString(), QStringLiteral("two"));
        QVERIFY(!Utilities::getShowDataById("1"));
        // A show read from its file becomes the near cache.
        QVERIFY(Utilities::saveShowData(QVariantMap{{"title", "three"}}, "3"));
        Utilities::saveDataToNearCache({{"title", "other"}}, "4");
        QCOMPARE(Utilities::getShowDataById("3")->value("title").toString(), QStringLiteral("three"));
        QCOMPARE(Utilities::getDataFromNearCache("3")->value("title").toString(), QStringLiteral("three"));
        QVERIFY(!Utilities::getDataFromNearCache("4"));
    }

    void clearingWhileWritingNeverLeavesAPartialFile()
    {
        std::atomic<bool> stop{false};
        QVariantMap big;
        for (int i = 0; i < 2000; ++i)
            big.insert(QString::number(i),
                       QVariantMap{{"title", QString(50, u'x')}, {"start_ts", double(i)}});
        std::thread writer([&] {
            int n = 0;
            while (!stop)
                Utilities::saveChannProgramData(big, QString::number(n++ % 4), Day);
        });
        for (int i = 0; i < 50; ++i) {
            Utilities::clearChannProgramData();
            QThread::msleep(2);
        }
        stop = true;
        writer.join();
        const QString folder = Utilities::programsPathWithDate(Day);
        for (const QString& name : QDir(folder).entryList(QDir::Files)) {
            QVERIFY2(QRegularExpression("^[0-3]$").match(name).hasMatch(),
                     qPrintable(name)); // no temporary left
            QCOMPARE(Utilities::getChannProgramDataById(name, Day)->size(), big.size());
        }
    }

    void deviceId()
    {
        const QString id = Utilities::getDeviceUniqueID();
        QVERIFY2(QRegularExpression("^i06[0-9a-f]{29}$").match(id).hasMatch(), qPrintable(id));
        QCOMPARE(Utilities::getDeviceUniqueID(), id);
        // The installation's seed is kept in the config folder and read back.
        QVERIFY(QFile::exists(home->path() + "/config/installation-id"));
        Preferences::resetStandard();
        QCOMPARE(Utilities::getDeviceUniqueID(), id);
        QCOMPARE(Utilities::deviceUniqueIdForVersion("7.0").mid(3), id.mid(3));
        QVERIFY(Utilities::deviceUniqueIdForVersion("7.0").startsWith("i07"));

        // Below 6.0 the seed is a stored "randomid" of ten digits 0-E.
        const QString old = Utilities::deviceUniqueIdForVersion("5.1");
        QVERIFY(old.startsWith("i05"));
        const QString seed = Preferences::standard().string("randomid");
        QVERIFY2(QRegularExpression("^[0-9A-E]{10}$").match(seed).hasMatch(), qPrintable(seed));
        Preferences::resetStandard();
        QCOMPARE(Utilities::deviceUniqueIdForVersion("5.1"), old);
        QVERIFY(old != id);
        QVERIFY(!Utilities::getDeviceName().isEmpty());
    }

    void cityLocalIds()
    {
        MapContext context;
        AppContext::setCurrent(&context);
        QCOMPARE(Utilities::intLocalIdFromMap(27), 27);
        QCOMPARE(Utilities::stringLocalIdFromMap("27"), QStringLiteral("27"));
        QCOMPARE(Utilities::stringLocalIdFromMap(QString()), QStringLiteral("0"));
        context.map = {{"27", "5"}, {"8", 80.0}};
        QCOMPARE(Utilities::intLocalIdFromMap(27), 5);
        QCOMPARE(Utilities::intLocalIdFromMap(8), 80);
        QCOMPARE(Utilities::intLocalIdFromMap(9), 9);
        QCOMPARE(Utilities::stringLocalIdFromMap("27"), QStringLiteral("5"));
        QCOMPARE(Utilities::stringLocalIdFromMap("8"), QStringLiteral("80"));
        QCOMPARE(Utilities::stringLocalIdFromMap("9"), QStringLiteral("9"));
        AppContext::setCurrent(nullptr);
    }
};

QTEST_GUILESS_MAIN(TestCaches)
#include "tst_caches.moc"
