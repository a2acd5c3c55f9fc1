#include "model/ServerClock.h"
#include "platform/Json.h"

#include <QTest>

class TestServerClock : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void offsetIsRoundedToWholeHours_data()
    {
        QTest::addColumn<double>("deviceMinusServer");
        QTest::addColumn<double>("offset");
        QTest::newRow("+3h20") << 12000.0 << 10800.0;
        QTest::newRow("+3h30 rounds away from zero") << 12600.0 << 14400.0;
        QTest::newRow("-3h30 rounds away from zero") << -12600.0 << -14400.0;
        QTest::newRow("-3h29") << -12540.0 << -10800.0;
        QTest::newRow("29 min") << 1740.0 << 0.0;
        QTest::newRow("+11h") << 39600.0 << 39600.0;
    }
    void offsetIsRoundedToWholeHours()
    {
        QFETCH(double, deviceMinusServer);
        QFETCH(double, offset);
        const double server = 1796622540.0;
        QCOMPARE(ServerClock::roundedDifference(server + deviceMinusServer, server), offset);
    }

    void timestampsAreNumbersOrNumericTexts()
    {
        auto read = [](const char* json) {
            return ServerClock::timestampFromAnswer(Json::objectWithString(json));
        };
        QCOMPARE(read(R"({"timestamp_gmt": 1796622540})").value(), 1796622540.0);
        QCOMPARE(read(R"({"timestamp_gmt": "1796622540.5"})").value(), 1796622540.5);
        QVERIFY(!read(R"({"timestamp_gmt": "soon"})"));
        QVERIFY(!read(R"({"timestamp_gmt": null})"));
        QVERIFY(!read(R"({"time": 1})"));
        QVERIFY(!read(R"([1796622540])"));
        QVERIFY(!ServerClock::timestampFromAnswer(QVariant()));
    }
};

QTEST_GUILESS_MAIN(TestServerClock)
#include "tst_serverclock.moc"
