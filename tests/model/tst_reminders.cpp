#include "TestHome.h"

#include "model/Show.h"
#include "model/ShowEvent.h"
#include "model/Utilities.h"
#include "platform/EventStore.h"
#include "platform/Preferences.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <QThread>

namespace {

std::shared_ptr<Show> show(const QString& name, const QDateTime& start, int minutes = 60)
{
    auto s = std::make_shared<Show>();
    s->name = name;
    s->startTime = start;
    s->endTime = start.addSecs(minutes * 60);
    return s;
}

QDateTime inAnHour()
{
    // Whole seconds: the calendar keeps seconds.
    return QDateTime::fromSecsSinceEpoch(QDateTime::currentSecsSinceEpoch() + 3600);
}

QStringList icsFiles(const QString& folder)
{
    return QDir(folder).entryList({"*.ics"}, QDir::Files);
}

QString calendarFolder(const QString& home, const QString& id)
{
    return home + "/calendars/" + id;
}

} // namespace

class TestReminders : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestHome> home;

private Q_SLOTS:
    void init()
    {
        home = std::make_unique<TestHome>();
        EventStore::setDefaultRoot({});
    }
    void cleanup() { home.reset(); }

    void theCalendarIsMadeOnceAndRemembered()
    {
        EventStore store;
        QCOMPARE(store.root(), home->path() + "/calendars");
        QVERIFY(store.checkAccess(nullptr));
        const auto calendar = Utilities::getORVCalendarWithStore(store);
        QVERIFY(calendar);
        QCOMPARE(calendar->title, QStringLiteral("Orvane"));
        QCOMPARE(calendar->color, QStringLiteral("#FF8000"));
        QCOMPARE(Preferences::standard().string("orvcalendar"), calendar->calendarIdentifier);
        QFile name(calendarFolder(home->path(), calendar->calendarIdentifier) + "/displayname");
        QVERIFY(name.open(QIODevice::ReadOnly));
        QCOMPARE(name.readAll().trimmed(), QByteArray("Orvane"));
        QCOMPARE(Utilities::getORVCalendarWithStore(store)->calendarIdentifier, calendar->calendarIdentifier);
        QCOMPARE(store.calendars().size(), 1);
        // Found by its title when the preference is gone.
        Preferences::standard().remove("orvcalendar");
        QCOMPARE(Utilities::getORVCalendarWithStore(store)->calendarIdentifier, calendar->calendarIdentifier);
        QCOMPARE(store.calendars().size(), 1);
    }

    void addingWritesAnICalendarFileWithAlarms()
    {
        auto news = show("Новости", inAnHour());
        news->description = "Главное за день.";
        const QDateTime alarm = news->startTime.addSecs(-600);
        QVERIFY(news->addToCalendarWithChanName("Первый", alarm));
        QVERIFY(news->checkDuplicateEventsWithChannelName("Первый"));
        QVERIFY(!news->addToCalendarWithChanName("Первый", alarm)); // the same show again
        const QString folder = calendarFolder(home->path(), Preferences::standard().string("orvcalendar"));
        QCOMPARE(icsFiles(folder).size(), 1);
        QFile file(folder + "/" + icsFiles(folder).first());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(file.readAll());
        for (const QString& line :
             {QString("SUMMARY:Новости (Первый)"), QString("DESCRIPTION:Главное за день."),
              QString("ACTION:DISPLAY"),
              QString("DTSTART:" + news->startTime.toUTC().toString("yyyyMMdd'T'HHmmss'Z'")),
              QString("TRIGGER;VALUE=DATE-TIME:" + alarm.toUTC().toString("yyyyMMdd'T'HHmmss'Z'")),
              QString("DTSTAMP:"), QString("UID:")})
            QVERIFY2(text.contains(line), qPrintable(line));
        QCOMPARE(text.count("BEGIN:VALARM"), 2);
        const auto stored = EventStore::fromICalendar(text.toUtf8());
        QVERIFY(stored);
        QCOMPARE(stored->alarms, (QList<QDateTime>{news->startTime, alarm}));

        // The same show on another channel is another reminder.
        QVERIFY(news->addToCalendarWithChanName("Второй"));
        QCOMPARE(icsFiles(folder).size(), 2);
        QVERIFY(news->deleteFromCalendarWithChanName("Первый"));
        QVERIFY(!news->deleteFromCalendarWithChanName("Первый"));
        QVERIFY(!news->checkDuplicateEventsWithChannelName("Первый"));
        QCOMPARE(icsFiles(folder).size(), 1);
    }

    void notes()
    {
        QCOMPARE(ShowEvent::notes(QString()), QString());
        const QString short249 = QString(248, u'a') + u'.';
        QCOMPARE(ShowEvent::notes(short249), short249);
        const QString words = QString(200, u'a') + " " + QString(60, u'b');
        QCOMPARE(ShowEvent::notes(words), QString(200, u'a') + "...");
        QCOMPARE(ShowEvent::notes(QString(250, u'c')), QString(250, u'c') + "...");
        QCOMPARE(ShowEvent::notes(QString(249, u'd') + " tail"), QString(249, u'd') + "...");
    }

    void aDeletedCalendarIsReplaced()
    {
        QVERIFY(show("Раз", inAnHour())->addToCalendarWithChanName("Ч"));
        const QString first = Preferences::standard().string("orvcalendar");
        QVERIFY(QDir(calendarFolder(home->path(), first)).removeRecursively()); // the user deleted it
        // The first add after that looks the calendar up once: the remembered one is gone, so
        // it is forgotten and, this once, the default calendar takes the reminder (its
        // duplicate check looked there too).
        QVERIFY(show("Два", inAnHour())->addToCalendarWithChanName("Ч"));
        QVERIFY(Preferences::standard().string("orvcalendar").isEmpty());
        QCOMPARE(icsFiles(calendarFolder(home->path(), "default")).size(), 1);
        // The next add makes a new "Orvane" calendar and remembers it.
        QVERIFY(show("Три", inAnHour())->addToCalendarWithChanName("Ч"));
        const QString second = Preferences::standard().string("orvcalendar");
        QVERIFY(!second.isEmpty());
        EventStore store;
        QCOMPARE(store.calendarWithIdentifier(second)->title, QStringLiteral("Orvane"));
        QCOMPARE(icsFiles(calendarFolder(home->path(), second)).size(), 1);
        QCOMPARE(icsFiles(calendarFolder(home->path(), "default")).size(), 1);
    }

    void remindersMatchAtWholeSeconds()
    {
        // The server's times may carry fractions of a second; the calendar keeps whole ones.
        const QDateTime start = inAnHour().addMSecs(500);
        auto film = show("Фильм", start);
        QVERIFY(film->addToCalendarWithChanName("Ч", start.addSecs(-900).addMSecs(250)));
        QVERIFY(film->checkDuplicateEventsWithChannelName("Ч"));
        QVERIFY(!film->addToCalendarWithChanName("Ч")); // not added twice
        const QString folder = calendarFolder(home->path(), Preferences::standard().string("orvcalendar"));
        QCOMPARE(icsFiles(folder).size(), 1);
        QVERIFY(film->deleteFromCalendarWithChanName("Ч")); // and it can be deleted
        QVERIFY(icsFiles(folder).isEmpty());
    }

    void pastEventsAndEverything()
    {
        const QDateTime now = QDateTime::fromSecsSinceEpoch(QDateTime::currentSecsSinceEpoch());
        QVERIFY(show("40 минут назад", now.addSecs(-2400))->addToCalendarWithChanName("Ч"));
        QVERIFY(show("20 минут назад", now.addSecs(-1200))->addToCalendarWithChanName("Ч"));
        QVERIFY(show("Давно", now.addDays(-1200))->addToCalendarWithChanName("Ч"));
        QVERIFY(show("Завтра", now.addDays(1))->addToCalendarWithChanName("Ч"));
        Utilities::deletePastORVEvents();
        EventStore store;
        QStringList left;
        for (const CalendarEvent& event : store.eventsMatching(now.addDays(-2000), now.addDays(10)))
            left << event.title;
        left.sort();
        QCOMPARE(left, (QStringList{"20 минут назад (Ч)", "Давно (Ч)", "Завтра (Ч)"}));
        Utilities::deleteAllORVEvents();
        QVERIFY(store.eventsMatching(now.addDays(-2000), now.addDays(10)).isEmpty());
        QVERIFY(Preferences::standard().string("orvcalendar").isEmpty());
        QVERIFY(store.calendars().isEmpty());
    }

    void foreignAndBrokenFilesAreLeftAlone()
    {
        EventStore store;
        const auto calendar = Utilities::getORVCalendarWithStore(store);
        const QString folder = calendarFolder(home->path(), calendar->calendarIdentifier);
        const QByteArray broken = "BEGIN:VCALENDAR\nBEGIN:VEVENT\nSUMMARY:half";
        const QByteArray foreign = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//khal//EN\r\nBEGIN:VEVENT\r\n"
                                   "UID:foreign-1\r\nDTSTART;VALUE=DATE:20301224\r\nSUMMARY:Праздник\r\n"
                                   "END:VEVENT\r\nEND:VCALENDAR\r\n";
        for (const auto& [name, bytes] : {std::pair{"broken.ics", broken}, std::pair{"foreign.ics", foreign},
                                          std::pair{"binary.ics", QByteArray("\x00\xff\x01", 3)}}) {
            QFile file(folder + "/" + name);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(bytes);
        }
        auto film = show("Фильм", inAnHour());
        QVERIFY(film->addToCalendarWithChanName("Ч"));
        QVERIFY(film->deleteFromCalendarWithChanName("Ч"));
        QCOMPARE(store
                     .eventsMatching(QDateTime(QDate(2030, 12, 23), QTime()),
                                     QDateTime(QDate(2030, 12, 26), QTime()))
                     .size(),
                 1);
        QFile foreignFile(folder + "/foreign.ics");
        QVERIFY(foreignFile.open(QIODevice::ReadOnly));
        QCOMPARE(foreignFile.readAll(), foreign);
        QFile brokenFile(folder + "/broken.ics");
        QVERIFY(brokenFile.open(QIODevice::ReadOnly));
        QCOMPARE(brokenFile.readAll(), broken);
    }

    void anUnwritableCalendarFolderRefusesAccess()
    {
        const QString blocked = home->path() + "/not-a-folder";
        QFile file(blocked);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        EventStore::setDefaultRoot(blocked + "/calendars");
        bool grantedCalled = false;
        Error refusal;
        QThread* answeredOn = nullptr;
        QObject delegate;
        Utilities::eventStoreRequestAccessWithDelegate(
            &delegate, [&] { grantedCalled = true; },
            [&](const Error& error) {
                refusal = error;
                answeredOn = QThread::currentThread();
            });
        QTRY_VERIFY(!refusal.isNull());
        QVERIFY(!grantedCalled);
        QCOMPARE(answeredOn, QThread::currentThread());
        QVERIFY(!show("Никуда", inAnHour())->addToCalendarWithChanName("Ч"));
        EventStore::setDefaultRoot({});

        bool granted = false;
        Utilities::eventStoreRequestAccessWithDelegate(
            &delegate, [&] { granted = true; }, [](const Error&) {});
        QTRY_VERIFY(granted);
    }

    void aReminderThatCannotBeWrittenIsNotAdded()
    {
        EventStore store;
        const auto calendar = Utilities::getORVCalendarWithStore(store);
        const QString folder = calendarFolder(home->path(), calendar->calendarIdentifier);
        // The calendar's folder now leads somewhere nothing can be written, whoever asks.
        QVERIFY(QDir(folder).removeRecursively());
        QVERIFY(QFile::link("/proc/self", folder));
        QVERIFY(store.calendarWithIdentifier(calendar->calendarIdentifier));
        QVERIFY(!show("Поздно", inAnHour())->addToCalendarWithChanName("Ч"));
        QFile::remove(folder);
    }
};

QTEST_GUILESS_MAIN(TestReminders)
#include "tst_reminders.moc"
