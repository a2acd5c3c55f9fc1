// Time from process start to the first painted window, for both idioms. Each iteration
// starts the application on the offscreen platform with an empty home and no content
// server, and stops the clock when the application reports its first paint.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>

namespace {

QString deadHost()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    return QStringLiteral("127.0.0.1:%1").arg(probe.serverPort()); // closed again on return
}

void startToFirstPaint(benchmark::State& state, const char* idiom)
{
    const QString program = QStringLiteral(ORVANE_APP);
    const QString host = deadHost();
    for (auto _ : state) {
        QTemporaryDir home;
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("ORVANE_HOME", home.path());
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("ORVANE_EXIT_AFTER_FIRST_PAINT", "1");
        process.setProcessEnvironment(environment);
        QElapsedTimer clock;
        clock.start();
        process.start(program, {"--idiom", idiom, "--content-host", host});
        bool painted = false;
        while (!painted && process.waitForReadyRead(10000))
            painted = process.readAllStandardOutput().contains("first-paint");
        const double seconds = double(clock.nsecsElapsed()) / 1e9;
        process.waitForFinished(10000);
        if (!painted) {
            state.SkipWithError("the application did not report a first paint");
            break;
        }
        state.SetIterationTime(seconds);
    }
}

} // namespace

BENCHMARK_CAPTURE(startToFirstPaint, phone, "phone")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(startToFirstPaint, tablet, "tablet")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
