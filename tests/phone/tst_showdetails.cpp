// Show details: the rules without painting (sections, stars, menu, calendar choices, shared
// text), and the screen over the reference content server with its demo data, down to a
// reminder written to the calendar folder.
#include "ServerFixture.h"
#include "TestHome.h"

#include "content/ProgrammeDay.h"
#include "core/AppDelegate.h"
#include "core/ORVNavigationController.h"
#include "model/Channel.h"
#include "model/Show.h"
#include "model/ShowDetailsLogic.h"
#include "phone/ShowDetailsViewController.h"
#include "platform/ServerConfig.h"
#include "ui/AlertView.h"
#include "ui/DatePickerOverlay.h"

#include <QTest>
#include <QTimeZone>

using namespace ShowDetailsLogic;

namespace {

Show showWith(const QVariantMap& rating, const QString& description)
{
    Show show;
    show.name = "Тихая гавань";
    show.rating = rating;
    show.description = description;
    return show;
}

} // namespace

class TestShowDetails : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void starsFollowTheRating()
    {
        const QString solid = "star_solid.png", half = "star_half.png", empty = "star_empty.png";
        QStringList seven(7, solid);
        QCOMPARE(starImages(7.0), seven + QStringList(3, empty));
        QCOMPARE(starImages(7.3), seven + QStringList{half} + QStringList(2, empty));
        QCOMPARE(starImages(10), QStringList(10, solid));
        QCOMPARE(starImages(0.5), QStringList{half} + QStringList(9, empty));
    }

    void sectionsAndHeightsFollowWhatTheShowHas()
    {
        QCOMPARE(rowsPerSection(showWith({}, {})), (QList<int>{1, 1, 1}));
        QCOMPARE(rowsPerSection(showWith({{"imdb_rating", 7.1}}, "Текст")), (QList<int>{1, 1, 2, 1}));
        QCOMPARE(ratingRowHeight({{"imdb_rating", 7.1}}), 44);
        QCOMPARE(ratingRowHeight({{"imdb_rating", 7.1}, {"kp_rating", 8.0}}), 52);
        Show show = showWith({}, {});
        show.subTitle = "Режиссёрская версия";
        QCOMPARE(headerText(ShowSection, show), QStringLiteral("Тихая гавань (Режиссёрская версия)"));
        QCOMPARE(headerText(ChannelSection, show), QString());
    }

    void theMenuDependsOnTheTimeLeft()
    {
        const QDateTime now = QDateTime::currentDateTime();
        QVERIFY(!offersCalendar(now.addSecs(4 * 60), now));
        QVERIFY(offersCalendar(now.addSecs(8 * 60), now));
        QCOMPARE(menuButtons(false, false), (QStringList{"Share a tweet", "Cancel"}));
        QCOMPARE(menuButtons(true, false), (QStringList{"Share a tweet", "Add to Calendar", "Cancel"}));
        QCOMPARE(menuButtons(true, true), (QStringList{"Share a tweet", "Delete from Calendar", "Cancel"}));
        QCOMPARE(calendarAction(false, now.addSecs(8 * 60), now, true), CalendarAction::AddNow);
        QCOMPARE(calendarAction(false, now.addSecs(20 * 60), now, true), CalendarAction::PickAlarm);
        QCOMPARE(calendarAction(false, now.addSecs(20 * 60), now, false), CalendarAction::AddNow);
        QCOMPARE(calendarAction(true, now.addSecs(20 * 60), now, true), CalendarAction::Delete);
        QCOMPARE(alarmLatest(now.addSecs(20 * 60)), now.addSecs(15 * 60));
        QCOMPARE(alarmEarliest(now), now.addSecs(5 * 60));

        // One format key for each place of the show against now (no string table here: the
        // keys are the texts), filled in its own order.
        Show show = showWith({}, {});
        const QDateTime evening(QDate(2026, 12, 7), QTime(20, 15));
        show.startTime = evening;
        show.endTime = evening.addSecs(3600);
        QCOMPARE(shareText("Первый", show, evening.addSecs(-600)),
                 QStringLiteral("Do not miss \"Первый\" - \"Тихая гавань\" at 20:15"));
        QCOMPARE(shareText("Первый", show, evening.addSecs(600)),
                 QStringLiteral("I'm watching \"Первый\" - \"Тихая гавань\""));
        QCOMPARE(shareText("Первый", show, evening.addSecs(7200)),
                 QStringLiteral("\"Первый\" - \"Тихая гавань\" at дек. 07, 20:15"));
        QVERIFY(shareText("Первый", show, evening.addSecs(3600)).isEmpty()); // an exact boundary
        QVERIFY(shareText("Первый", show, evening).isEmpty());
    }

    void aDemoShowIsShownAndRemindedOf()
    {
        TestHome home;
        ServerFixture server;
        ServerConfig::setContentHost(server.hostWithPort());
        AppDelegate app{AppSeams{}};
        app.setIsConnectionAvailable(true);

        // A show of channel 13 (films) starting 20 minutes or more from now.
        const qint64 now = QDateTime::currentSecsSinceEpoch();
        StoreProgramme later;
        for (const StoreProgramme& p : server.store().programmes(13, now + 1200, now + 86400)) {
            if (p.start >= now + 1200) {
                later = p;
                break;
            }
        }
        QVERIFY(later.id > 0);
        const QString day = ProgrammeDay(QTimeZone(server.store().timeZone().toUtf8())).dayOf(later.start);
        const QString link = QStringLiteral("orvane://progdetails/%1/13/%2").arg(day).arg(later.id);

        auto* details = new ShowDetailsViewController;
        details->setShowUrl(link);
        ORVNavigationController stack(details);
        stack.view()->resize(390, 760);
        stack.view()->show();
        stack.beginAppearance(true, false);
        stack.endAppearance(true, false);
        QTRY_VERIFY_WITH_TIMEOUT(details->isListShown(), 10000);
        QCOMPARE(details->show()->name, later.title);
        QCOMPARE(details->currentShowChannel()->name(), server.store().channel(13)->name);
        QVERIFY(details->currentShowChannel()->isSelectedManually());
        const QStringList headers = details->sectionHeaders();
        QVERIFY2(headers.size() >= 2 && headers[0].startsWith(later.title) && headers[1] == "Info",
                 qPrintable(headers.join(" | ")));
        QCOMPARE(details->ratingPanel(2) != nullptr, later.imdbRating > 0);
        QCOMPARE(details->numberOfSections(), later.description.isEmpty() ? 3 : 4);
        QCOMPARE(details->numberOfRowsInSection(InfoSection),
                 later.imdbRating > 0 || later.kpRating > 0 ? 2 : 1);
        QCOMPARE(details->heightForRow(InfoSection, 0), later.imdbRating > 0 && later.kpRating > 0 ? 52 : 44);
        if (!qEnvironmentVariableIsEmpty("ORVANE_SHOT"))
            stack.view()->grab().save(qEnvironmentVariable("ORVANE_SHOT"));

        // A show starting in 4 minutes would offer sharing only; this one offers the calendar.
        details->showMenuWithCalendar(false);
        QCOMPARE(details->sheet()->numberOfButtons(), 2);
        details->sheet()->dismissWithClickedButtonIndex(1, false); // cancel
        QVERIFY(!details->sheet());
        QCOMPARE(AlertView::visibleAlerts().size(), 0);

        // Add with an alarm chosen in the picker, then the entry deletes it.
        details->showMenuWithCalendar(true);
        QVERIFY(details->sheet());
        QCOMPARE(details->sheet()->numberOfButtons(), 3);
        QCOMPARE(details->sheet()->buttonTitleAtIndex(1), QStringLiteral("Add to Calendar"));
        QCOMPARE(details->sheet()->cancelButtonIndex(), 2);
        details->sheet()->dismissWithClickedButtonIndex(1, false);
        QVERIFY(details->datePicker());
        const QDateTime start = details->show()->startTime;
        QCOMPARE(details->datePicker()->date(), start.addSecs(-300));
        details->datePicker()->setDate(QDateTime::currentDateTime().addSecs(-3600));
        QVERIFY(details->datePicker()->date() >= QDateTime::currentDateTime().addSecs(299));
        QVERIFY(details->datePicker()->captionText().startsWith("Notify "));
        // Readable: white letters on the dark panel, not on the details screen's white.
        const QImage caption = details->datePicker()->captionImage();
        int white = 0;
        for (int y = 0; y < caption.height(); ++y) {
            for (int x = 0; x < caption.width(); ++x)
                white += caption.pixelColor(x, y).lightness() > 240 ? 1 : 0;
        }
        QVERIFY2(white < caption.width() * caption.height() / 2, qPrintable(QString::number(white)));
        QVERIFY(app.isBlockPortraitOrientation());
        details->datePicker()->done();
        QVERIFY(!app.isBlockPortraitOrientation());
        QTRY_COMPARE(AlertView::visibleAlerts().size(), 1);
        QCOMPARE(AlertView::visibleAlerts().first()->title(), QStringLiteral("Success!"));
        AlertView::visibleAlerts().first()->dismissWithClickedButtonIndex(0, false);
        QVERIFY(details->show()->checkDuplicateEventsWithChannelName(details->currentShowChannel()->name()));

        details->showMenuWithCalendar(true);
        QCOMPARE(details->sheet()->buttonTitleAtIndex(1), QStringLiteral("Delete from Calendar"));
        details->sheet()->dismissWithClickedButtonIndex(1, false);
        QTRY_COMPARE(AlertView::visibleAlerts().size(), 1);
        QCOMPARE(AlertView::visibleAlerts().first()->title(), QStringLiteral("Success delete!"));
        AlertView::visibleAlerts().first()->dismissWithClickedButtonIndex(0, false);
        QVERIFY(!details->show()->checkDuplicateEventsWithChannelName(details->currentShowChannel()->name()));

        // An unknown show: the error alert, the list stays hidden.
        details->setShowUrl(QStringLiteral("orvane://progdetails/%1/13/999999999").arg(day));
        QTRY_COMPARE(AlertView::visibleAlerts().size(), 1);
        QCOMPARE(AlertView::visibleAlerts().first()->title(), QStringLiteral("Error"));
        QVERIFY(!details->isListShown());
        AlertView::visibleAlerts().first()->dismissWithClickedButtonIndex(0, false);
        stack.beginAppearance(false, false);
        stack.endAppearance(false, false);
    }
};

QTEST_MAIN(TestShowDetails)
#include "tst_showdetails.moc"
