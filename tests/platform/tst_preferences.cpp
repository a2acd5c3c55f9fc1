#include "TestHome.h"

#include "platform/Paths.h"
#include "platform/Preferences.h"

#include <QDir>
#include <QFile>
#include <QTest>

class TestPreferences : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void pathsFollowOrvaneHome()
    {
        TestHome home;
        QCOMPARE(Paths::documents(), home.path());
        QCOMPARE(Paths::config(), home.path() + "/config");
        QVERIFY(QDir(home.path() + "/config").exists());
        QCOMPARE(Preferences::standard().filePath(), home.path() + "/config/orvane.conf");
    }

    void valuesSurviveARestart()
    {
        TestHome home;
        {
            Preferences& defaults = Preferences::standard();
            defaults.setValue("CITY_ID", 5);
            defaults.setValue("CITY_NAME", QStringLiteral("Санкт-Петербург"));
            defaults.setValue("NOW_PRIORITY",
                              QVariantMap{{"now_favor_priority", 0}, {"now_rating_priority", 2}});
            defaults.setValue("CITY_MAP_LIST", QVariantMap{{"27", "5"}, {"3", 4.0}});
            defaults.setValue("WIDGET_CHANNS", QVariantList{3, 14, 27});
            defaults.setValue("ONE", QVariantList{9});
            defaults.setValue("EMPTY", QVariantList{});
        }
        Preferences::resetStandard();
        Preferences& defaults = Preferences::standard();
        QCOMPARE(defaults.integer("CITY_ID"), 5);
        QCOMPARE(defaults.string("CITY_NAME"), QStringLiteral("Санкт-Петербург"));
        QCOMPARE(defaults.dictionary("NOW_PRIORITY").value("now_rating_priority").toInt(), 2);
        QCOMPARE(defaults.dictionary("CITY_MAP_LIST").value("27").toString(), QStringLiteral("5"));
        QVariantList ids;
        for (const QVariant& v : defaults.array("WIDGET_CHANNS"))
            ids << v.toInt();
        QCOMPARE(ids, (QVariantList{3, 14, 27}));
        QCOMPARE(defaults.array("ONE").size(), 1);
        QCOMPARE(defaults.array("ONE").first().toInt(), 9);
        QVERIFY(defaults.contains("EMPTY"));
        QVERIFY(defaults.array("EMPTY").isEmpty());
    }

    void missingKeysGiveEmptyValues()
    {
        TestHome home;
        Preferences& defaults = Preferences::standard();
        QVERIFY(!defaults.contains("FIRST_LAUNCH"));
        QCOMPARE(defaults.integer("CITY_ID"), 0);
        QVERIFY(defaults.string("CITY_NAME").isNull());
        QVERIFY(defaults.dictionary("NOW_PRIORITY").isEmpty());
        QVERIFY(defaults.array("WIDGET_CHANNS").isEmpty());
        defaults.setValue("CITY_NAME", "x");
        defaults.remove("CITY_NAME");
        QVERIFY(!defaults.contains("CITY_NAME"));
    }

    void aCorruptFileGivesDefaultsAndIsRewritten()
    {
        TestHome home;
        const QString file = Paths::config() + "/orvane.conf";
        QFile corrupt(file);
        QVERIFY(corrupt.open(QIODevice::WriteOnly));
        corrupt.write(
            QByteArray("\x00\xff\xfe[General\n@Variant(\x00\x00\x00\x7f\xff\nCITY_ID=@Variant(\x01", 40));
        corrupt.close();
        Preferences::resetStandard();
        Preferences& defaults = Preferences::standard();
        QCOMPARE(defaults.integer("CITY_ID"), 0);
        defaults.setValue("CITY_ID", 3);
        Preferences::resetStandard();
        QCOMPARE(Preferences::standard().integer("CITY_ID"), 3);
    }

    void anUnreadableFileIsMovedAside()
    {
        TestHome home;
        // A folder where the file should be cannot be read (whatever the user's rights are).
        const QString file = Paths::config() + "/orvane.conf";
        QVERIFY(QDir().mkpath(file));
        Preferences::resetStandard();
        Preferences& defaults = Preferences::standard();
        QVERIFY(!defaults.contains("CITY_ID"));
        defaults.setValue("CITY_ID", 8);
        Preferences::resetStandard();
        QCOMPARE(Preferences::standard().integer("CITY_ID"), 8);
        const QStringList aside = QDir(Paths::config()).entryList({"orvane.conf.broken-*"}, QDir::AllEntries);
        QCOMPARE(aside.size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestPreferences)
#include "tst_preferences.moc"
