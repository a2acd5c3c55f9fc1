// Runs in a zone east of GMT (+4) and in one west of it (-4), with a Russian locale, so
// that results cannot come out right by the machine's own settings.
#include "model/DateAdditions.h"
#include "model/DateHelper.h"
#include "model/Utilities.h"

#include <QLocale>
#include <QTest>

namespace {

QDateTime local(int year, int month, int day, int hour, int minute, int second = 0)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second), Qt::LocalTime);
}

int zoneHours()
{
    return QDateTime::currentDateTime().offsetFromUtc() / 3600;
}

} // namespace

class TestDates : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
        QVERIFY2(zoneHours() == 4 || zoneHours() == -4, "run with TZ=Asia/Dubai or TZ=America/Caracas");
    }

    void programmeDay_data()
    {
        QTest::addColumn<QDateTime>("moment");
        QTest::addColumn<QString>("eastDay");
        QTest::addColumn<QString>("westDay");
        QTest::newRow("00:30") << local(2024, 5, 12, 0, 30) << "20240511"
                               << "20240512";
        QTest::newRow("03:30") << local(2024, 5, 12, 3, 30) << "20240511"
                               << "20240512";
        QTest::newRow("04:59") << local(2024, 5, 12, 4, 59) << "20240511"
                               << "20240512";
        QTest::newRow("05:00") << local(2024, 5, 12, 5, 0) << "20240512"
                               << "20240512";
        QTest::newRow("23:59") << local(2024, 5, 12, 23, 59) << "20240512"
                               << "20240512";
        QTest::newRow("new year 01:00") << local(2025, 1, 1, 1, 0) << "20241231"
                                        << "20250101";
    }
    void programmeDay()
    {
        QFETCH(QDateTime, moment);
        QFETCH(QString, eastDay);
        QFETCH(QString, westDay);
        const QDateTime day = Utilities::optimizeDateForORVProgram(moment);
        QCOMPARE(Utilities::stringFromDate(day), zoneHours() > 0 ? eastDay : westDay);
        // The result is a moment: a shifted one is exactly a day earlier.
        QVERIFY(day == moment || day == moment.addSecs(-86400));
    }

    void serverTexts()
    {
        // The calendar year, not the year of the week (30 December 2013 is in week 1 of 2014).
        QCOMPARE(Utilities::stringFromDate(local(2013, 12, 30, 12, 0)), QStringLiteral("20131230"));
        QCOMPARE(Utilities::stringFromDate(QDateTime()), Utilities::stringFromDate(Utilities::distantPast()));
        const QDateTime moment = local(2026, 12, 7, 9, 5, 3).addMSecs(42);
        QCOMPARE(Utilities::stringFromDate2(moment), QStringLiteral("2026-12-07 09:05:03.042000"));
        QCOMPARE(DateHelper::stringWithDateAndTimeFromDate(moment), QStringLiteral("2026-12-07 09:05:03"));
        QVERIFY(DateHelper::stringWithDateAndTimeFromDate(QDateTime()).isNull());
        // A moment given in UTC is written in the device's zone.
        const QDateTime utc(QDate(2026, 12, 7), QTime(22, 0), Qt::UTC);
        QCOMPARE(Utilities::stringFromDate(utc),
                 zoneHours() > 0 ? QStringLiteral("20261208") : QStringLiteral("20261207"));
    }

    void durations_data()
    {
        QTest::addColumn<int>("seconds");
        QTest::addColumn<QString>("full");
        QTest::addColumn<QString>("brief");
        QTest::newRow("20:00-21:30") << 5400 << "1 hour(s) 30 mins"
                                     << "1h 30m";
        QTest::newRow("20:00-20:00:30") << 30 << ""
                                        << "";
        QTest::newRow("exactly an hour") << 3600 << "1 hour(s) 0 mins"
                                         << "1h 0m";
        QTest::newRow("29.5 minutes") << 1770 << "30 mins"
                                      << " 30m";
        QTest::newRow("28.5 minutes") << 1710 << "28 mins"
                                      << " 28m";
        QTest::newRow("two days") << 2 * 86400 + 60 << "48 hour(s) 1 mins"
                                  << "48h 1m";
        QTest::newRow("backwards") << -600 << ""
                                   << "";
    }
    void durations()
    {
        QFETCH(int, seconds);
        QFETCH(QString, full);
        QFETCH(QString, brief);
        const QDateTime start = local(2026, 12, 7, 20, 0);
        QCOMPARE(DateAdditions::getDurationUntilDate(start, start.addSecs(seconds)), full);
        QCOMPARE(DateAdditions::getBriefDurationUntilDate(start, start.addSecs(seconds)), brief);
    }

    void rangesAndNames()
    {
        const QDateTime start = local(2026, 12, 7, 20, 0);
        const QDateTime end = local(2026, 12, 7, 21, 30);
        QCOMPARE(DateAdditions::getTime(start), QStringLiteral("20:00"));
        QCOMPARE(DateAdditions::getTimeIntervalToDate(start, end), QStringLiteral("20:00 - 21:30"));
        QCOMPARE(DateAdditions::getYearDay(start), QStringLiteral("7 декабря 2026 г."));
        QCOMPARE(DateAdditions::getDateAndIntervalUntilDate(start, end),
                 QStringLiteral("7 декабря 2026 г., 20:00-21:30"));
        QCOMPARE(DateAdditions::getDateAndIntervalUntilDate(start, QDateTime()), QString());
        QCOMPARE(DateAdditions::getDayOfWeek(start), QStringLiteral("понедельник"));
    }

    void relativeDays_data()
    {
        QTest::addColumn<QDateTime>("date");
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QString>("expected");
        const QDateTime now = local(2026, 12, 7, 15, 0);
        QTest::newRow("today") << local(2026, 12, 7, 1, 0) << now << "today";
        QTest::newRow("yesterday") << local(2026, 12, 6, 23, 0) << now << "yesterday";
        QTest::newRow("tomorrow") << local(2026, 12, 8, 0, 10) << now << "tomorrow";
        QTest::newRow("two days on") << local(2026, 12, 9, 0, 10) << now << "среда";
        // Across a month boundary the day numbers do not follow: the week-day name is used.
        QTest::newRow("last of previous month")
            << local(2026, 11, 30, 20, 0) << local(2026, 12, 1, 9, 0) << "понедельник";
        QTest::newRow("first of next month")
            << local(2027, 1, 1, 20, 0) << local(2026, 12, 31, 9, 0) << "пятница";
    }
    void relativeDays()
    {
        QFETCH(QDateTime, date);
        QFETCH(QDateTime, now);
        QFETCH(QString, expected);
        QCOMPARE(DateAdditions::getDayOfWeekImproved(date, now), expected);
    }

    void relativePast_data()
    {
        QTest::addColumn<QDateTime>("date");
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QString>("expected");
        const QDateTime now = local(2026, 12, 7, 15, 0);
        QTest::newRow("today") << local(2026, 12, 7, 9, 41) << now << "at 09:41";
        QTest::newRow("yesterday") << local(2026, 12, 6, 22, 5) << now << "yesterday at 22:05";
        QTest::newRow("10 days ago") << local(2026, 11, 27, 8, 0) << now << "sent 27.11.2026 08:00";
        QTest::newRow("45 days ago") << local(2026, 10, 23, 8, 0) << now << "sent 23 октября 2026 г.";
        QTest::newRow("month boundary")
            << local(2026, 11, 30, 23, 0) << local(2026, 12, 1, 9, 0) << "sent 30.11.2026 23:00";
    }
    void relativePast()
    {
        QFETCH(QDateTime, date);
        QFETCH(QDateTime, now);
        QFETCH(QString, expected);
        DateHelper helper;
        QCOMPARE(helper.stringFromDateInPast(date, QStringLiteral("sent %@"), now), expected);
        QVERIFY(helper.stringFromDateInPast(QDateTime(), QStringLiteral("%@"), now).isNull());
    }
};

QTEST_GUILESS_MAIN(TestDates)
#include "tst_dates.moc"
