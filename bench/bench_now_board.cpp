// The tablet's now board with 300 channels: computing the board's order from the city's
// ratings, favourites and viewing; one 20 s refresh tick on the main thread (every channel
// moved to its current show, the rows on screen painted again); the memory of 300 channels'
// days; and a scroll frame, which paints rows without a widget per row.
#include "tablet/NowBoard.h"
#include "tablet/NowPriority.h"
#include "tablet/ORVNowViewController.h"

#include "model/PreferenceKeys.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QScrollBar>

#include <benchmark/benchmark.h>

#include <algorithm>

#include <malloc.h>

namespace {

constexpr int Channels = 300;
constexpr int ShowsPerDay = 40;

// Bytes the heap has handed out and not taken back (glibc).
qint64 heapInUse()
{
    return qint64(mallinfo2().uordblks);
}

// A channel's day as the content server answers it: 40 shows of 36 minutes from 6 hours ago.
QVariantMap dayAnswer(int channel, const QDateTime& now)
{
    QVariantMap answer{{"id", QString::number(channel)},
                       {"t", QStringLiteral("Канал %1").arg(channel)},
                       {"ct", 1},
                       {"oim", channel % 3 == 0 ? 1 : 0},
                       {"i", QStringLiteral("/%1.png").arg(channel)}};
    const qint64 start = now.toSecsSinceEpoch() - 6 * 3600;
    for (int i = 0; i < ShowsPerDay; ++i) {
        answer.insert(QString::number(i + 1),
                      QVariantMap{{"name", QStringLiteral("Передача %1 канала %2").arg(i).arg(channel)},
                                  {"description", QStringLiteral("Описание передачи, ").repeated(8)},
                                  {"start_ts", double(start + i * 2160)},
                                  {"finish_ts", double(start + (i + 1) * 2160)},
                                  {"ev", channel * 1000 + i},
                                  {"image", QStringLiteral("shows/%1.png").arg(channel * 1000 + i)}});
    }
    return answer;
}

void fill(NowBoard& board, const QDateTime& now)
{
    QList<int> ids;
    for (int channel = 1; channel <= Channels; ++channel) {
        ids << channel;
        board.addLoaded(*NowBoard::entryFromAnswer(dayAnswer(channel, now), 0, now, false));
    }
    board.setChannelsId(ids);
    board.resort();
}

void BM_BoardOrder(benchmark::State& state)
{
    QVariantMap ratings;
    for (int id = 1; id <= Channels; ++id)
        ratings.insert(QString::number(id), QVariantList{double((id * 37) % 101), id % 4 ? 1 : 0});
    QList<int> favourites;
    QList<int> watched;
    for (int id = 1; id <= 20; ++id)
        favourites << id * 7;
    for (int id = 1; id <= 30; ++id)
        watched << id * 5;
    const QVariantMap priorities{{PreferenceKeys::NowFavorPriority, 1},
                                 {PreferenceKeys::NowWatchedPriority, 2},
                                 {PreferenceKeys::NowRatingPriority, 0}};
    for (auto _ : state)
        benchmark::DoNotOptimize(NowPriority::compose(ratings, favourites, watched, priorities));
}
BENCHMARK(BM_BoardOrder)->Unit(benchmark::kMillisecond);

void BM_RefreshTick(benchmark::State& state)
{
    const QDateTime now = QDateTime::currentDateTime();
    ORVNowViewController board;
    board.view()->resize(724, 768);
    board.view()->show();
    fill(board.board(), now);
    board.resortChannels();
    QApplication::processEvents();
    // Each tick is 20 s later; the loaded days cover the whole run, so no tick asks the server.
    int tick = 0;
    int loads = 0;
    for (auto _ : state) {
        const QDateTime at = now.addSecs(qint64(++tick % 500) * 20);
        board.checkShowBounds(at);
        loads += board.isUpdateComplete() ? 0 : 1;
        QApplication::processEvents(); // the repaint of the rows on screen
    }
    state.counters["server_requests"] = loads;
}
BENCHMARK(BM_RefreshTick)->Unit(benchmark::kMillisecond);

void BM_BoardMemory(benchmark::State& state)
{
    for (auto _ : state) {
        const qint64 before = heapInUse();
        {
            NowBoard board;
            fill(board, QDateTime::currentDateTime());
            state.counters["MB_for_300_days"] = double(heapInUse() - before) / (1024 * 1024);
            benchmark::DoNotOptimize(board.entries().size());
        }
    }
}
BENCHMARK(BM_BoardMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_BoardScrollFrame(benchmark::State& state)
{
    ORVNowViewController board;
    board.view()->resize(724, 768);
    board.view()->show();
    fill(board.board(), QDateTime::currentDateTime());
    board.resortChannels();
    QApplication::processEvents();
    QImage frame(board.view()->size(), QImage::Format_ARGB32_Premultiplied);
    QScrollBar* bar = board.table()->verticalScrollBar();
    std::vector<double> frames;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        bar->setValue(bar->value() + 150 > bar->maximum() ? 0 : bar->value() + 150);
        board.view()->render(&frame);
        frames.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(frames.begin(), frames.end());
    state.counters["median_ms"] = frames.empty() ? 0 : frames[frames.size() / 2];
    state.counters["worst_ms"] = frames.empty() ? 0 : frames.back();
    // Widgets on the rows: the details row only (built once), none per channel.
    state.counters["row_widgets"] =
        double(board.table()->viewport()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly).size());
}
BENCHMARK(BM_BoardScrollFrame)->Unit(benchmark::kMillisecond)->Iterations(200);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
