// The now board's decisions without a screen: which channels it lists in which order, which
// show is on air, what a periodic check moves or reloads, what the 900 s retry brings back,
// and which show the time line picks.
#include "model/PreferenceKeys.h"
#include "tablet/NowBoard.h"
#include "tablet/NowPriority.h"

#include <QTest>

namespace {

using PreferenceKeys::NowFavorPriority;
using PreferenceKeys::NowRatingPriority;
using PreferenceKeys::NowWatchedPriority;

QVariantMap priorities(int favour, int watched, int rating)
{
    return {{NowFavorPriority, favour}, {NowWatchedPriority, watched}, {NowRatingPriority, rating}};
}

const QDateTime T0 = QDateTime(QDate(2026, 12, 8), QTime(12, 0));

// A show from minutes after T0 to minutes after T0.
std::shared_ptr<Show> show(int from, int to, const QString& id = {})
{
    auto s = std::make_shared<Show>();
    s->startTime = T0.addSecs(qint64(from) * 60);
    s->endTime = T0.addSecs(qint64(to) * 60);
    s->showId = id.isEmpty() ? QString::number(from) : id;
    s->name = QStringLiteral("Show %1").arg(from);
    return s;
}

NowBoardEntry entry(const QString& id, QList<std::shared_ptr<Show>> shows, int currind)
{
    NowBoardEntry e;
    e.channid = id;
    e.showsarr = std::move(shows);
    e.currind = currind;
    return e;
}

// A programme answer as the content server sends it (seconds on the device's clock).
QVariantMap answer(const QString& id, const QList<std::pair<int, int>>& spans)
{
    QVariantMap map{{"id", id},
                    {"t", QString(QStringLiteral("Канал ") + id)},
                    {"ct", 1},
                    {"oim", 1},
                    {"i", QString(u'/' + id + QStringLiteral(".png"))}};
    int key = 1;
    for (const auto& [from, to] : spans)
        map.insert(QString::number(key++),
                   QVariantMap{{"name", "S"},
                               {"start_ts", double(T0.addSecs(from * 60).toSecsSinceEpoch())},
                               {"finish_ts", double(T0.addSecs(to * 60).toSecsSinceEpoch())},
                               {"ev", key}});
    return map;
}

} // namespace

class TestNowBoard : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void priorityComposition()
    {
        // Ratings: 1..100 rated by id, every other one listable; 5 is also a favourite, 7 watched.
        QVariantMap ratings;
        for (int id = 1; id <= 200; ++id)
            ratings.insert(QString::number(id), QVariantList{double(id % 100), id % 2 == 1 ? 1 : 0});
        const QList<int> favourites{5, 300};
        const QList<int> watched{7, 5, 400};

        // Favourites first, then watched (without the favourite), then at most 70 rated.
        const QList<int> byFavour = NowPriority::compose(ratings, favourites, watched, priorities(0, 1, 2));
        QCOMPARE(byFavour.mid(0, 4), (QList<int>{5, 300, 7, 400}));
        QCOMPARE(byFavour.size(), 4 + NowPriority::RatedLimit);
        QCOMPARE(byFavour.count(5), 1);
        QCOMPARE(byFavour.count(7), 1);
        // Best rated first (99, then 199 tie broken by id: 99 before 199), only listable ones.
        QCOMPARE(byFavour.at(4), 99);
        QCOMPARE(byFavour.at(5), 199);
        for (int id : byFavour.mid(4))
            QVERIFY2(ratings.value(QString::number(id)).toList().at(1).toInt() == 1,
                     qPrintable(QString::number(id)));

        // Ratings first: rated channels belong to the ratings, listed or not (5 and 7 are rated,
        // so the favourite and the watched lists lose them).
        const QList<int> byRating = NowPriority::compose(ratings, favourites, watched, priorities(2, 1, 0));
        QCOMPARE(byRating.size(), NowPriority::RatedLimit + 2);
        QCOMPARE(byRating.first(), 99);
        QCOMPARE(byRating.mid(NowPriority::RatedLimit), (QList<int>{400, 300}));

        // Watched above favourites.
        const QList<int> byWatched = NowPriority::compose(ratings, favourites, watched, priorities(1, 0, 2));
        QCOMPARE(byWatched.mid(0, 4), (QList<int>{7, 5, 400, 300}));

        // Unknown sources are ignored; a source without a rank is not used.
        const QList<int> onlyFavourites = NowPriority::compose(
            ratings, favourites, watched, {{NowFavorPriority, 0}, {QStringLiteral("now_moon_priority"), 1}});
        QCOMPARE(onlyFavourites, favourites);
        // Junk in the ratings answer is skipped.
        const QList<int> junk = NowPriority::compose(
            {{"x", QVariantList{9, 1}}, {"3", "y"}, {"4", QVariantList{1}}}, {}, {}, priorities(0, 1, 2));
        QVERIFY(junk.isEmpty());
        // Seventy from the favourites already: the ratings add none.
        QList<int> seventy;
        for (int id = 1000; id < 1070; ++id)
            seventy << id;
        QCOMPARE(NowPriority::compose(ratings, seventy, {}, priorities(0, 1, 2)), seventy);
    }

    void showOnAirAndAnswers()
    {
        const QList<std::shared_ptr<Show>> day{show(-60, 0), show(0, 30), show(30, 90)};
        QCOMPARE(NowBoard::currentIndex(day, T0), 1); // a show starts exactly now
        QCOMPARE(NowBoard::currentIndex(day, T0.addSecs(-1)), 0);
        QCOMPARE(NowBoard::currentIndex(day, T0.addSecs(90 * 60)), NowBoardEntry::NoShowOnAir);
        QCOMPARE(NowBoard::currentIndex(day, T0.addSecs(-61 * 60)), NowBoardEntry::StartsLater);
        // A gap: nothing on air between 30 and 40.
        const QList<std::shared_ptr<Show>> gap{show(0, 30), show(40, 90)};
        QCOMPARE(NowBoard::currentIndex(gap, T0.addSecs(35 * 60)), NowBoardEntry::NoShowOnAir);
        QCOMPARE(NowBoard::currentIndex({}, T0), NowBoardEntry::NoShowOnAir);

        // Answers: shows sorted, channel fields read; "nodata" and non-dictionaries give none.
        const auto read = NowBoard::entryFromAnswer(answer("12", {{30, 60}, {-30, 30}}), 0, T0, false);
        QVERIFY(read);
        QCOMPARE(read->channid, QStringLiteral("12"));
        QCOMPARE(read->showsarr.size(), 2);
        QVERIFY(read->showsarr[0]->startTime < read->showsarr[1]->startTime);
        QCOMPARE(read->currind, 0);
        QCOMPARE(read->showsarr[0]->channelId, QStringLiteral("12"));
        QVERIFY(read->istvsign && read->channscr);
        QCOMPARE(read->channimg, QStringLiteral("/12.png"));
        // The server's clock is ahead by an hour: shows are moved back onto the device's.
        const auto shifted = NowBoard::entryFromAnswer(answer("12", {{30, 90}}), -3600, T0, false);
        QCOMPARE(shifted->currind, 0);
        QVERIFY(!NowBoard::entryFromAnswer(QVariantMap{{"nodata", 1}, {"id", "3"}}, 0, T0, false));
        QVERIFY(!NowBoard::entryFromAnswer(QVariantList{1, 2}, 0, T0, false));
        QVERIFY(!NowBoard::entryFromAnswer(QVariantMap{{"1", QVariantMap{}}}, 0, T0, false));
        // Without "id" the request's own channel id serves.
        QVariantMap withoutId = answer("12", {{-10, 10}});
        withoutId.remove("id");
        withoutId.insert("channid", "44");
        QCOMPARE(NowBoard::entryFromAnswer(withoutId, 0, T0, false)->channid, QStringLiteral("44"));
        // On an update channels 16, 17 and 20 keep no show.
        for (const char* id : {"16", "17", "20"}) {
            QCOMPARE(NowBoard::entryFromAnswer(answer(id, {{-10, 10}}), 0, T0, true)->currind,
                     NowBoardEntry::NoShowOnAir);
            QCOMPARE(NowBoard::entryFromAnswer(answer(id, {{-10, 10}}), 0, T0, false)->currind, 0);
        }
    }

    void periodicCheck()
    {
        NowBoard board;
        board.setChannelsId({1, 2, 3, 4});
        board.addLoaded(entry("1", {show(-10, 10), show(10, 20), show(20, 200)}, 0));
        board.addLoaded(entry("2", {show(-10, 5)}, 0)); // its day runs out first
        board.addLoaded(entry("3", {show(-10, 100)}, 0));
        QCOMPARE(board.addLoaded(entry("4", {show(60, 90)}, NowBoardEntry::StartsLater)), -1);
        QCOMPARE(board.entries().size(), 3);
        QCOMPARE(board.disabledChannels().keys(), QStringList{"4"});
        board.setExpandedSection(0);

        // Nothing ended yet: nothing moves.
        NowBoard::Check check = board.checkShowBounds(T0.addSecs(4 * 60));
        QVERIFY(check.showUpdates.isEmpty() && check.programUpdates.isEmpty());

        // At +12: channel 1 moves to its second show (the expanded one, from index 0); channel 2
        // ran out and needs its next day; channel 3 stays.
        check = board.checkShowBounds(T0.addSecs(12 * 60));
        QCOMPARE(check.showUpdates, QList<int>{0});
        QCOMPARE(check.programUpdates, QList<int>{1});
        QVERIFY(check.expandedChanged);
        QCOMPARE(check.expandedOldIndex, 0);
        QCOMPARE(board.entries()[0].currind, 1);
        QCOMPARE(board.entries()[1].currind, 0); // stays until the answer

        // The clock jumps an hour: channel 1 skips the show that ended meanwhile.
        check = board.checkShowBounds(T0.addSecs(75 * 60));
        QCOMPARE(board.entries()[0].currind, 2);
        QVERIFY(check.programUpdates.contains(1));

        // The day after a programme ran out: the next day from its first show.
        QCOMPARE(NowBoard::nextProgrammeDate(T0.addSecs(-6 * 3600), T0), T0.addSecs(18 * 3600));
        QCOMPARE(NowBoard::nextProgrammeDate(T0.addDays(5), T0), T0.addDays(8));

        // Disabling the expanded channel collapses it; disabling one above it moves it up.
        board.setExpandedSection(2);
        QCOMPARE(board.disableChannels({2}), QList<int>{1});
        QCOMPARE(board.expandedSection(), 1);
        QCOMPARE(board.entries()[1].channid, QStringLiteral("3"));
        QCOMPARE(board.disableChannels({3, 99}), QList<int>{1});
        QCOMPARE(board.expandedSection(), -1);
        QCOMPARE(board.entries().size(), 1);
        QCOMPARE(board.disabledChannels().size(), 3);
    }

    void retryingDisabledChannels()
    {
        NowBoard board;
        board.setChannelsId({1, 2, 3, 4, 5});
        board.addLoaded(entry("5", {show(-10, 100)}, 0));
        board.addLoaded(entry("1", {show(30, 60)}, NowBoardEntry::StartsLater)); // starts later
        board.addLoaded(entry("2", {show(-60, -10), show(20, 60)}, NowBoardEntry::NoShowOnAir)); // a gap
        board.addLoaded(entry("3", {show(-60, -10)}, NowBoardEntry::NoShowOnAir));               // day over
        board.addLoaded(entry("16", {show(-60, 100)}, NowBoardEntry::NoShowOnAir)); // drops on update

        // Now: channel 1 still waits, 2 waits for its next show without a request, 3 reloads, and
        // 16, with a show of its loaded day on air, is back without a request.
        NowBoard::Retry retry = board.checkDisabled(T0);
        QCOMPARE(retry.reinstated, QList<QString>{"16"});
        QCOMPARE(retry.reload.size(), 1);
        QCOMPARE(retry.reload.first().channid, QStringLiteral("3"));
        QVERIFY(board.disabledChannels().contains("3")); // until its answer

        // Half an hour later 1 and 2 are on air: back on the board, in the board's order.
        retry = board.checkDisabled(T0.addSecs(35 * 60));
        QCOMPARE(retry.reinstated.size(), 2);
        QCOMPARE(board.entries().size(), 4);
        QCOMPARE(board.entries()[0].channid, QStringLiteral("1"));
        QCOMPARE(board.entries()[1].channid, QStringLiteral("2"));
        QCOMPARE(board.entries()[1].currind, 1);
        QCOMPARE(board.entries()[2].channid, QStringLiteral("5"));
        QCOMPARE(board.entries()[3].channid, QStringLiteral("16")); // not among the ids: last

        // A new order keeps the expanded channel expanded.
        board.setExpandedSection(2); // channel 5
        board.setChannelsId({5, 2, 1});
        board.resort();
        QCOMPARE(board.entries()[0].channid, QStringLiteral("5"));
        QCOMPARE(board.expandedSection(), 0);
    }

    void timeLine()
    {
        const NowBoardEntry e =
            entry("1", {show(-120, -60), show(-60, -30), show(-30, 0), show(0, 60), show(60, 120)}, 3);
        bool forward = false;
        // Within the show on air: unchanged.
        QCOMPARE(NowBoard::lineIndexAt(e, T0.addSecs(30 * 60)), -1);
        // At its very end: the next show, forward.
        QCOMPARE(NowBoard::lineIndexAt(e, T0.addSecs(3599), &forward), 4);
        QVERIFY(forward);
        // Later on: the show then on air; past the day's end: unchanged.
        QCOMPARE(NowBoard::lineIndexAt(e, T0.addSecs(90 * 60)), 4);
        QCOMPARE(NowBoard::lineIndexAt(e, T0.addSecs(300 * 60)), -1);
        // Earlier: every earlier show can be reached, the first ones too.
        QCOMPARE(NowBoard::lineIndexAt(e, T0.addSecs(-45 * 60), &forward), 1);
        QVERIFY(!forward);
        QCOMPARE(NowBoard::lineIndexAt(e, T0.addSecs(-100 * 60)), 0);
        QCOMPARE(NowBoard::lineIndexAt(e, T0.addSecs(-500 * 60)), -1);
        // One show only, or none on air: nothing to move.
        QCOMPARE(NowBoard::lineIndexAt(entry("2", {show(0, 60)}, 0), T0.addSecs(-30 * 60)), -1);
        QCOMPARE(NowBoard::lineIndexAt(entry("3", {show(0, 60), show(60, 90)}, -1), T0), -1);
        // The row draws the time line's choice while it lasts.
        NowBoardEntry chosen = e;
        chosen.lineIndex = 1;
        QCOMPARE(chosen.shown(), chosen.showsarr[1].get());
        QCOMPARE(chosen.current(), chosen.showsarr[3].get());
        QCOMPARE(chosen.nextShowRows(), 1);
    }
};

QTEST_MAIN(TestNowBoard)
#include "tst_nowboard.moc"
