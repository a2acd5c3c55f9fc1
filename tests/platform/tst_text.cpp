#include "platform/Printf.h"
#include "platform/StringTable.h"

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QTest>
#include <QTranslator>

class TestText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { StringTable::uninstall(); }

    void printfForms_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QVariantList>("arguments");
        QTest::addColumn<QString>("expected");
        QTest::newRow("text") << "at %@" << QVariantList{"20:15"} << "at 20:15";
        QTest::newRow("hours") << "%0.f hour(s) " << QVariantList{1.0} << "1 hour(s) ";
        QTest::newRow("half rounds to even 30") << "%0.f mins" << QVariantList{29.5} << "30 mins";
        QTest::newRow("half rounds to even 28") << "%0.f mins" << QVariantList{28.5} << "28 mins";
        QTest::newRow("two digits") << "%02d" << QVariantList{6} << "06";
        QTest::newRow("hex") << "%X%X" << QVariantList{14, 3} << "E3";
        QTest::newRow("lower hex bytes") << "%02x" << QVariantList{10} << "0a";
        QTest::newRow("percent") << "100%% %i" << QVariantList{-4} << "100% -4";
        QTest::newRow("several") << "%@%@/%@/%@"
                                 << QVariantList{"orvane://progdetails/", "20261207", "5", "99"}
                                 << "orvane://progdetails/20261207/5/99";
        QTest::newRow("missing argument") << "a %@ b %d" << QVariantList{} << "a  b 0";
        QTest::newRow("unknown conversion") << "%k and %" << QVariantList{1} << "%k and %";
        QTest::newRow("cyrillic around") << "в %@" << QVariantList{"Москве"} << "в Москве";
    }
    void printfForms()
    {
        QFETCH(QString, format);
        QFETCH(QVariantList, arguments);
        QFETCH(QString, expected);
        QCOMPARE(Printf::format(format, arguments), expected);
    }

    void missingKeysAreTheirOwnText()
    {
        QVERIFY(StringTable::install({"ru"}) == QStringLiteral("ru"));
        QCOMPARE(StringTable::localized("A key nobody translated"),
                 QStringLiteral("A key nobody translated"));
        // Placeholders of a missing key are filled after the look-up.
        QCOMPARE(Printf::format(StringTable::localized("%0.f hours left in %@"), {2.0, "Kazan"}),
                 QStringLiteral("2 hours left in Kazan"));
    }

    void russianTableAndFallbacks()
    {
        QCOMPARE(StringTable::install({"de-DE", "ru-RU"}), QStringLiteral("ru"));
        QCOMPARE(StringTable::localized("Connection Error"), QStringLiteral("Ошибка соединения"));
        // Without any preferred table, the one table shipped is used, as a bundle would.
        QCOMPARE(StringTable::install({"C"}), QStringLiteral("ru"));
        QCOMPARE(StringTable::localized("Now"), QStringLiteral("Сейчас"));
        // English asks for the keys themselves: an empty table leaves everything readable.
        QCOMPARE(StringTable::install({"en-US", "ru"}), QString());
        QCOMPARE(StringTable::localized("Now"), QStringLiteral("Now"));
        QCOMPARE(StringTable::localized("Cannot connect to Orvane services. Check the connection."),
                 QStringLiteral("Cannot connect to Orvane services. Check the connection."));
    }

    // Every key the code looks up has a Russian value in the shipped table.
    void everyKeyInTheCodeHasARussianValue()
    {
        QTranslator russian;
        QVERIFY(russian.load(":/i18n/orvane_ru.qm"));
        const QRegularExpression lookup(QStringLiteral(
            R"re((?:StringTable::localized|ORVLocalizedString)\("((?:[^"\\]|\\.)*)"\)|QT_TRANSLATE_NOOP\("orv_localizable",\s*"((?:[^"\\]|\\.)*)"\))re"));
        QStringList missing;
        int keys = 0;
        QDirIterator files(QStringLiteral(ORVANE_SOURCE_DIR "/src"), {"*.cpp", "*.h"}, QDir::Files,
                           QDirIterator::Subdirectories);
        while (files.hasNext()) {
            QFile file(files.next());
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QString text = QString::fromUtf8(file.readAll());
            for (auto match = lookup.globalMatch(text); match.hasNext();) {
                const auto m = match.next();
                QString key = m.captured(1).isEmpty() ? m.captured(2) : m.captured(1);
                key.replace(QStringLiteral("\\\""), QStringLiteral("\""));
                ++keys;
                if (russian.translate(StringTable::Name, key.toUtf8().constData()).isEmpty())
                    missing << key;
            }
        }
        QVERIFY(keys > 5);
        QVERIFY2(missing.isEmpty(), qPrintable("without a Russian value: " + missing.join(" | ")));
    }
};

QTEST_GUILESS_MAIN(TestText)
#include "tst_text.moc"
