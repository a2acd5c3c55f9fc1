// The tablet's root pane on the offscreen platform: the navigation pane sliding over a root
// pane whose strip holds 20 widget channels (each frame moves the panes and paints the whole
// window, as a real frame does; median and worst frame reported), and an image-cache hit of
// the picture loader (from the request to the picture in the caller's hands).
#include "tablet/ChannSelectorViewController_iPad.h"
#include "tablet/ORVRootController.h"
#include "ui/NavigationController.h"
#include "ui/PlaceholderViewController.h"
#include "widgets/AsyncImageView.h"
#include "widgets/StackedPanesController.h"

#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QImage>
#include <QScrollBar>
#include <QTcpServer>
#include <QTcpSocket>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <algorithm>

namespace {

QVariantMap twentyChannels(QList<int>* ids)
{
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    QVariantMap answer{{"c", 20}};
    for (int id = 1; id <= 20; ++id) {
        ids->append(id);
        answer.insert(QString::number(id),
                      QVariantList{QVariantMap{{"t", QStringLiteral("Передача %1").arg(id)},
                                               {"ts", now - 600},
                                               {"tf", now + 1200},
                                               {"pid", id},
                                               {"cl", QStringLiteral("Канал %1").arg(id)}}});
    }
    return answer;
}

void BM_PaneSlideFrame(benchmark::State& state)
{
    auto* root = new ORVRootController;
    root->view()->setGeometry(0, 0, ORVRootController::Width, 768);
    StackedPanesController stack(root);
    stack.setLeftInset(0);
    stack.setLargeLeftInset(300);
    stack.setEnableDraggingPastInsets(false);
    stack.view()->resize(1024, 768);
    auto* board =
        new PlaceholderViewController(QStringLiteral("ORVNowViewController"), QStringLiteral("Сейчас"), {});
    auto* pane = new NavigationController(board);
    pane->view()->resize(724, 768);
    stack.pushViewController(pane, nullptr, false);
    QList<int> ids;
    root->slideScreensView()->addChannelsWithId({});
    const QVariantMap shows = twentyChannels(&ids);
    root->slideScreensView()->addChannelsWithId(ids);
    root->slideScreensView()->onGetShowsDone(shows);
    stack.view()->show();
    QApplication::processEvents();

    std::vector<double> frames;
    int step = 15; // a 250 ms slide over 300 points at 60 frames a second moves ~20 points a frame
    // Frames are painted into one buffer, as a window's backing store is reused frame to frame.
    QImage frame(stack.view()->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        stack.dragStackBy(step);
        stack.view()->render(&frame);
        benchmark::DoNotOptimize(frame.constBits());
        frames.push_back(double(timer.nsecsElapsed()) / 1e6);
        if (stack.stackOffset() >= 300 || stack.stackOffset() <= 0)
            step = -step;
    }
    std::sort(frames.begin(), frames.end());
    state.counters["median_ms"] = frames.empty() ? 0 : frames[frames.size() / 2];
    state.counters["worst_ms"] = frames.empty() ? 0 : frames.back();
}
BENCHMARK(BM_PaneSlideFrame)->Unit(benchmark::kMillisecond)->Iterations(200);

// A picture already loaded: the request hands it over on the next turn of the event loop.
void BM_ImageCacheHit(benchmark::State& state)
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost);
    QImage picture(96, 96, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    QByteArray png;
    QBuffer buffer(&png);
    picture.save(&buffer, "PNG");
    QObject::connect(&server, &QTcpServer::newConnection, [&] {
        QTcpSocket* socket = server.nextPendingConnection();
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket, png] {
            socket->readAll();
            socket->write("HTTP/1.1 200 OK\r\nContent-Type: image/png\r\nContent-Length: " +
                          QByteArray::number(png.size()) + "\r\nConnection: close\r\n\r\n" + png);
            socket->disconnectFromHost();
        });
    });
    const QUrl url(QStringLiteral("http://127.0.0.1:%1/p.png").arg(server.serverPort()));
    QObject context;
    bool got = false;
    AsyncImageView::loadImage(url, {}, &context, [&](const QImage&, const QVariantMap&) { got = true; });
    while (!got)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    for (auto _ : state) {
        got = false;
        AsyncImageView::loadImage(url, {}, &context, [&](const QImage&, const QVariantMap&) { got = true; });
        while (!got)
            QApplication::processEvents();
    }
}
BENCHMARK(BM_ImageCacheHit)->Unit(benchmark::kMicrosecond);

// The channel list answer of a city with 1,000 channels in 20 categories, a third of them radio.
QVariantMap thousandChannels()
{
    QVariantList categories{QVariantList{QString(), 0}};
    for (int c = 1; c <= 20; ++c)
        categories.append(QVariant(QVariantList{QStringLiteral("Категория %1").arg(c), c}));
    QVariantMap answer{{"cc", categories}};
    for (int id = 1; id <= 1000; ++id)
        answer.insert(QString::number(id),
                      QVariantList{QStringLiteral("Канал %1").arg(id), QString(), id % 3 ? 1 : 0, 1 + id % 20,
                                   id % 5 == 0 ? 1 : 0, QString()});
    return answer;
}

ChannSelectorViewController_iPad* loadedSelector()
{
    auto* selector = new ChannSelectorViewController_iPad;
    selector->view()->resize(724, 768);
    selector->view()->show();
    selector->onGetChannelInfoDone(thousandChannels());
    while (selector->lists().adjustedResponse().isEmpty())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    return selector;
}

// All 1,000 channels in the grid at once (search mode, a name every channel has): the grid's
// layout, and a scroll frame, which paints only the tiles on screen.
void BM_SelectorGridLayout(benchmark::State& state)
{
    ChannSelectorViewController_iPad* selector = loadedSelector();
    selector->searchMode(true, QStringLiteral("канал"));
    GridView* grid = selector->grid();
    for (auto _ : state) {
        grid->reloadData();
        grid->doItemsLayout();
        benchmark::DoNotOptimize(grid->rectForItem(999));
    }
    state.counters["cells"] = grid->numberOfItems();
    QImage frame(selector->view()->size(), QImage::Format_ARGB32_Premultiplied);
    QElapsedTimer timer;
    timer.start();
    grid->verticalScrollBar()->setValue(grid->verticalScrollBar()->maximum() / 2);
    selector->view()->render(&frame);
    state.counters["scroll_frame_ms"] = double(timer.nsecsElapsed()) / 1e6;
    state.counters["cell_widgets"] = double(grid->viewport()->findChildren<QWidget*>().size());
    delete selector;
}
BENCHMARK(BM_SelectorGridLayout)->Unit(benchmark::kMillisecond);

// A change of the TV/radio filter over 1,000 channels: lists rebuilt, carousel and grid reloaded.
void BM_SelectorFilterChange(benchmark::State& state)
{
    ChannSelectorViewController_iPad* selector = loadedSelector();
    int segment = 0;
    for (auto _ : state) {
        segment = (segment + 1) % 3;
        selector->segmentCategory()->setSelectedSegmentIndex(segment);
        selector->segmentChanged(segment);
        selector->grid()->doItemsLayout();
    }
    delete selector;
}
BENCHMARK(BM_SelectorFilterChange)->Unit(benchmark::kMillisecond);

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
