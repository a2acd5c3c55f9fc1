// The tablet's show details from details answers: the sections a show gets, the reminder in
// the calendar (at once, with an alarm time, removed, refused once started), the tweet by the
// show's times, the ratings block, links without a connection, and an answer without data.
#include "TestHome.h"

#include "tablet/MovieRatingView.h"
#include "tablet/Photos.h"
#include "tablet/ProgramDetailsController.h"
#include "ui/AlertView.h"

#include <QSignalSpy>
#include <QTest>

namespace {

struct Spec
{
    qint64 startsIn = 3600; // seconds from now
    int oim = 0;
    QStringList gallery;
    QVariantMap rating;
    QString description = QStringLiteral("Описание.");
    bool facts = true;
    int tv = 1;
};

QVariantMap answerFor(const Spec& spec)
{
    const qint64 start = QDateTime::currentSecsSinceEpoch() + spec.startsIn;
    QVariantMap show{{"title", "Матч дня"},
                     {"ev", 77},
                     {"start_ts", double(start)},
                     {"finish_ts", double(start + 5400)},
                     {"pd", 20261208},
                     {"image_g", QVariant(QVariantList(spec.gallery.begin(), spec.gallery.end()))}};
    if (!spec.description.isEmpty())
        show.insert("info", spec.description);
    if (spec.facts)
        show.insert("type_str", "Спорт");
    if (!spec.rating.isEmpty())
        show.insert("rating", QVariantList{spec.rating});
    return {{"title", "Спорт-1"}, {"t", spec.tv}, {"ct", spec.tv}, {"id", 5}, {"oim", spec.oim}, {"0", show}};
}

QStringList alertTitles()
{
    QStringList titles;
    for (AlertView* alert : AlertView::visibleAlerts())
        titles << alert->title();
    return titles;
}

void dismissAlerts()
{
    for (AlertView* alert : AlertView::visibleAlerts())
        alert->dismissWithClickedButtonIndex(0, false);
}

} // namespace

class TestTabletDetails : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { dismissAlerts(); }

    void sectionsByWhatTheShowHas()
    {
        TestHome home;
        ProgramDetailsController bare;
        bare.view();
        Spec nothing;
        nothing.description.clear();
        nothing.facts = false;
        bare.onGetShowInfoDone(answerFor(nothing));
        QCOMPARE(bare.tableSections(), 3);
        QVERIFY(!bare.cellExists("Info-Brief") && !bare.cellExists("Description"));

        ProgramDetailsController facts;
        facts.view();
        Spec onlyFacts = nothing;
        onlyFacts.facts = true;
        facts.onGetShowInfoDone(answerFor(onlyFacts));
        QCOMPARE(facts.tableSections(), 4);
        QVERIFY(facts.cellExists("Info-Brief"));

        // A gallery (no live screens), both ratings, facts and a description.
        ProgramDetailsController full;
        full.view();
        Spec all;
        all.gallery = QStringList{"shows/1.png", "shows/2.png"};
        all.rating = {
            {"kp_rating", 7.5}, {"kp_votes", 120}, {"kp_index", 42}, {"imdb_rating", 7.0}, {"imdb_votes", 9}};
        full.onGetShowInfoDone(answerFor(all));
        QCOMPARE(full.tableSections(), 6);
        QVERIFY(full.isHaveGallery());
        QVERIFY(!full.isActualShow());
        QCOMPARE(full.screensView()->imageSource()->numberOfPhotos(), 2);
        QVERIFY(!full.screensView()->imageSource()->isScreensPhotos());
        QCOMPARE(full.ratingView()->preferredHeight(), 75);
        QCOMPARE(full.ratingView()->lines(),
                 (QStringList{MovieRatingView::siteName() + " 7.500 (120)", QStringLiteral("IMDB 7.0 (9)")}));
        QCOMPARE(full.headerText(), QStringLiteral("Матч дня"));

        // Live screens and a gallery: the gallery is not offered; on air, the live screens are.
        ProgramDetailsController live;
        live.view();
        Spec onAir = all;
        onAir.oim = 1;
        onAir.startsIn = -600;
        live.onGetShowInfoDone(answerFor(onAir));
        QVERIFY(!live.isHaveGallery());
        QVERIFY(live.isActualShow());
        QCOMPARE(live.screensView()->imageSource()->numberOfPhotos(), ProgramDetailsController::LivePictures);
        QVERIFY(live.screensView()->imageSource()->isScreensPhotos());

        // No data: an alert, nothing shown.
        ProgramDetailsController none;
        none.view();
        none.onGetShowInfoDone(QVariantMap{{"nodata", 1}});
        QVERIFY(!none.channelInfo());
        QCOMPARE(none.tableSections(), 0);
        QVERIFY(alertTitles().contains(QStringLiteral("Error")));
    }

    void ratingsBlock()
    {
        MovieRatingView view;
        view.resize(500, 75);
        view.setRating({{"imdb_rating", -1}, {"imdb_votes", 3}});
        QCOMPARE(view.preferredHeight(), 25);
        QCOMPARE(view.lines(), QStringList{"IMDB 0.0 (3)"}); // negative: not rated yet
        view.setRating({});
        QCOMPARE(view.preferredHeight(), 0);
        QVERIFY(view.isHidden());
        view.setRating({{"kp_rating", 8.25}, {"kp_votes", 5}, {"kp_index", 301}});
        QSignalSpy taps(&view, &MovieRatingView::movieSiteTapped);
        view.grab();
        QTest::mouseClick(&view, Qt::LeftButton, {}, QPoint(20, 10));
        QCOMPARE(taps.size(), 1);
        QVERIFY(taps.first().first().toUrl().toString().contains(QStringLiteral("301")));
    }

    void reminders()
    {
        TestHome home;
        const QDateTime now = QDateTime::currentDateTime();

        // Within ten minutes: added at once, without asking for an alarm time; again: removed.
        ProgramDetailsController soon;
        soon.view();
        Spec inFive;
        inFive.startsIn = 5 * 60;
        soon.onGetShowInfoDone(answerFor(inFive));
        soon.calendarChangeAccessGranted(now);
        QVERIFY(!soon.alarmPicker());
        const Show& show = *soon.channelInfo()->show;
        QVERIFY(show.checkDuplicateEventsWithChannelName(QStringLiteral("Спорт-1")));
        QVERIFY(soon.isCalendarChecked());
        QVERIFY(alertTitles().contains(QStringLiteral("Success!")));
        dismissAlerts();
        soon.calendarChangeAccessGranted(now);
        QVERIFY(!show.checkDuplicateEventsWithChannelName(QStringLiteral("Спорт-1")));
        QVERIFY(!soon.isCalendarChecked());
        QVERIFY(alertTitles().contains(QStringLiteral("Success delete!")));
        dismissAlerts();

        // Later on: the alarm time is asked for first, from 320 s on; Done adds it.
        ProgramDetailsController later;
        later.view();
        later.onGetShowInfoDone(answerFor(Spec{}));
        QVERIFY(!later.calendarButton()->isHidden());
        later.calendarChangeAccessGranted(now);
        QVERIFY(later.alarmPicker());
        QVERIFY(later.alarmPicker()->date() >= now.addSecs(300));
        later.alarmPicker()->done();
        QVERIFY(later.channelInfo()->show->checkDuplicateEventsWithChannelName(QStringLiteral("Спорт-1")));
        dismissAlerts();

        // Started: refused; the calendar button is not offered at all.
        ProgramDetailsController started;
        started.view();
        Spec begun;
        begun.startsIn = -60;
        started.onGetShowInfoDone(answerFor(begun));
        QVERIFY(started.calendarButton()->isHidden());
        started.calendarChangeAccessGranted(QDateTime::currentDateTime());
        QVERIFY(alertTitles().contains(QStringLiteral("Уже началось")));
        QVERIFY(!started.channelInfo()->show->checkDuplicateEventsWithChannelName(QStringLiteral("Спорт-1")));
    }

    void tweetsAndLinks()
    {
        TestHome home;
        ProgramDetailsController details;
        details.view();
        QVERIFY(details.tweetText().isEmpty()); // nothing loaded
        Spec radio;
        radio.tv = 0;
        details.onGetShowInfoDone(answerFor(radio));
        const QDateTime start = details.channelInfo()->show->startTime;
        const QString before = details.tweetText(start.addSecs(-60));
        const QString during = details.tweetText(start.addSecs(60));
        const QString after = details.tweetText(start.addSecs(6000));
        for (const QString& text : {before, during, after}) {
            QVERIFY2(text.contains(QStringLiteral("Спорт-1")) && text.contains(QStringLiteral("Матч дня")),
                     qPrintable(text));
        }
        QVERIFY(before != during && during != after && before != after);
        QVERIFY(during.contains(QStringLiteral("radio")) || during.contains(QStringLiteral("радио")));
        // Without a connection the facts' links open nothing; "about:blank" is never opened.
        QVERIFY(!details.openInfoLink(QUrl(QStringLiteral("https://example.org/film"))));
        QVERIFY(!details.openInfoLink(QUrl(QStringLiteral("about:blank"))));
    }
};

QTEST_MAIN(TestTabletDetails)
#include "tst_tabletdetails.moc"
