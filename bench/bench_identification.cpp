// The identification path: from the loop's decision to send to the upload being on the wire
// (block extraction plus request building and sending), and the main thread's longest
// stall while the loop runs at full speed against a local server.
#include <benchmark/benchmark.h>

#include "fingerprint/AcFpInfo.h"
#include "fingerprint/AudioCallback.h"
#include "fingerprint/FpExtract.h"
#include "fingerprint/SearchCalls.h"
#include "fingerprint/popRequest.h"
#include "platform/ServerConfig.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

// A minimal server that answers every request at once with {"Result": 7}, and notes when
// each request's first bytes arrived.
class InstantServer
{
public:
    InstantServer()
    {
        m_fd = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
        listen(m_fd, 64);
        socklen_t length = sizeof address;
        getsockname(m_fd, reinterpret_cast<sockaddr*>(&address), &length);
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([this] {
            for (;;) {
                const int client = accept(m_fd, nullptr, nullptr);
                if (client < 0)
                    return;
                char buffer[8192];
                const ssize_t got = recv(client, buffer, sizeof buffer, 0);
                if (got > 0)
                    m_arrived = std::chrono::steady_clock::now().time_since_epoch().count();
                // Read the rest of the upload before answering.
                while (recv(client, buffer, sizeof buffer, MSG_DONTWAIT) > 0) {
                }
                const char answer[] =
                    "HTTP/1.1 200 OK\r\nContent-Length: 13\r\nConnection: close\r\n\r\n{\"Result\": 7}";
                send(client, answer, sizeof answer - 1, MSG_NOSIGNAL);
                close(client);
            }
        });
    }
    ~InstantServer()
    {
        shutdown(m_fd, SHUT_RDWR);
        close(m_fd);
        m_thread.join();
    }
    int port() const { return m_port; }
    int64_t arrived() const { return m_arrived.load(); }

private:
    int m_fd;
    int m_port = 0;
    std::thread m_thread;
    std::atomic<int64_t> m_arrived{0};
};

void decisionToWire(benchmark::State& state)
{
    InstantServer server;
    ServerConfig::setIdentificationHost(QStringLiteral("127.0.0.1:%1").arg(server.port()));
    AcFpInfo info;
    fp_info_init(&info);
    fp_info_reset(&info, 512, 64);
    std::vector<int16_t> noise(44100 * 7);
    uint32_t seed = 1;
    for (auto& v : noise) {
        seed = seed * 1664525u + 1013904223u;
        v = int16_t(seed >> 16);
    }
    fp_decimate_samples(&info, noise.data(), int32_t(noise.size()));
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        vec32 block;
        fp_extract_block(&info, &block);
        QByteArray data(reinterpret_cast<const char*>(block.data), block.datasize * 4);
        popRequest request(data, QStringLiteral("i06bench"));
        request.getStationIdResident();
        const auto arrived =
            std::chrono::steady_clock::time_point(std::chrono::steady_clock::duration(server.arrived()));
        state.SetIterationTime(std::chrono::duration<double>(arrived - start).count());
    }
}
BENCHMARK(decisionToWire)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(50);

void mainThreadStall(benchmark::State& state)
{
    InstantServer server;
    ServerConfig::setIdentificationHost(QStringLiteral("127.0.0.1:%1").arg(server.port()));
    AudioCallback::setInputSpec("none");
    SearchCalls::setTiming({0, 20});
    QTemporaryDir home;
    qputenv("ORVANE_HOME", home.path().toUtf8());
    for (auto _ : state) {
        SearchCalls loop;
        loop.fp_init();
        // A 1 ms timer on the main thread; the longest gap between its firings is the stall.
        QElapsedTimer clock;
        clock.start();
        qint64 last = 0;
        qint64 longest = 0;
        QTimer tick;
        tick.setTimerType(Qt::PreciseTimer);
        QObject::connect(&tick, &QTimer::timeout, [&] {
            const qint64 now = clock.nsecsElapsed();
            if (last)
                longest = std::max(longest, now - last);
            last = now;
        });
        tick.start(1);
        QTimer::singleShot(3000, [] { QCoreApplication::exit(); });
        QCoreApplication::exec();
        loop.stop();
        state.SetIterationTime(double(longest) / 1e9);
    }
}
BENCHMARK(mainThreadStall)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
