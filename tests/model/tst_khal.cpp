// The reminders' files open in another calendar program: khal lists a reminder the
// application wrote.
#include "TestHome.h"

#include "model/Show.h"
#include "platform/Preferences.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

class TestKhal : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void khalListsAReminder()
    {
        const QString khal = QStandardPaths::findExecutable("khal");
        QVERIFY2(!khal.isEmpty(), "khal is installed by scripts/install-deps.sh");
        TestHome home;
        auto show = std::make_shared<Show>();
        show->name = "Вечерние новости";
        show->description = "Главное за день.";
        show->startTime = QDateTime(QDate(2031, 3, 14), QTime(18, 0), Qt::UTC);
        show->endTime = show->startTime.addSecs(1800);
        QVERIFY(show->addToCalendarWithChanName("Первый", show->startTime.addSecs(-300)));
        const QString folder = home.path() + "/calendars/" + Preferences::standard().string("orvcalendar");

        QFile config(home.file("khal.conf"));
        QVERIFY(config.open(QIODevice::WriteOnly));
        config.write("[calendars]\n[[orvane]]\npath = " + folder.toUtf8() +
                     "\ntype = calendar\n"
                     "[locale]\ntimeformat = %H:%M\ndateformat = %Y-%m-%d\nlongdateformat = %Y-%m-%d\n"
                     "datetimeformat = %Y-%m-%d %H:%M\nlongdatetimeformat = %Y-%m-%d %H:%M\n"
                     "local_timezone = UTC\ndefault_timezone = UTC\n");
        config.close();

        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_DATA_HOME", home.file("xdg-data"));
        environment.insert("XDG_CONFIG_HOME", home.file("xdg-config"));
        environment.insert("LANG", "C.UTF-8");
        environment.insert("LC_ALL", "C.UTF-8");
        process.setProcessEnvironment(environment);
        process.start(khal, {"-c", home.file("khal.conf"), "list", "2031-03-14", "2d"});
        QVERIFY(process.waitForFinished(60000));
        const QString out = QString::fromUtf8(process.readAllStandardOutput());
        QVERIFY2(process.exitCode() == 0, qPrintable(QString::fromUtf8(process.readAllStandardError())));
        QVERIFY2(out.contains("18:00-18:30 Вечерние новости (Первый)"), qPrintable(out));
    }
};

QTEST_GUILESS_MAIN(TestKhal)
#include "tst_khal.moc"
