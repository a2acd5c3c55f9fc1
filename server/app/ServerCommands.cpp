#include "ServerCommands.h"

#include "RequestLog.h"
#include "ServerOptions.h"

#include "content/ContentServer.h"
#include "content/ProgrammeDay.h"
#include "http/HttpServer.h"
#include "identification/ChannelFarm.h"
#include "identification/DemoAudioFiles.h"
#include "identification/DeviceBook.h"
#include "identification/IdentificationService.h"
#include "identification/Matcher.h"
#include "identification/RedisDeviceBook.h"
#include "importer/DemoData.h"
#include "importer/DemoSocial.h"
#include "importer/XmltvImporter.h"
#include "social/SocialServer.h"
#include "store/ScheduleStore.h"

#include <QDateTime>
#include <QTimeZone>
#include <sys/resource.h>

#include <memory>
#include <mutex>
#include <vector>

#include <csignal>
#include <cstdio>
#include <pthread.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

void say(const QString& text)
{
    std::fprintf(stderr, "%s\n", qPrintable(text));
}

// Progress on one terminal line, or a line every tenth when the output is not a terminal.
class ProgressLine
{
public:
    void show(int percent, const QString& text)
    {
        if (percent == m_percent)
            return;
        if (isatty(STDERR_FILENO)) {
            std::fprintf(stderr, "\r%3d%%  %s\x1b[K", percent, qPrintable(text));
            m_open = true;
        } else if (percent / 10 != m_percent / 10) {
            std::fprintf(stderr, "%3d%%  %s\n", percent, qPrintable(text));
        }
        m_percent = percent;
    }
    ~ProgressLine()
    {
        if (m_open)
            std::fprintf(stderr, "\n");
    }

private:
    int m_percent = -1;
    bool m_open = false;
};

bool openStore(ScheduleStore& store)
{
    if (store.isOpen())
        return true;
    say(QStringLiteral("orvane-server: cannot open the store %1: %2").arg(store.path(), store.error()));
    return false;
}

} // namespace

namespace ServerCommands {

int serve(const ServerOptions& options)
{
    // Every connection is a descriptor: take all the hard limit allows, as web servers do.
    rlimit files{};
    if (getrlimit(RLIMIT_NOFILE, &files) == 0 && files.rlim_cur < files.rlim_max) {
        files.rlim_cur = files.rlim_max;
        setrlimit(RLIMIT_NOFILE, &files);
    }
    // Signals are taken by sigwait below, not by whichever thread they would interrupt.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    ScheduleStore store(options.database);
    if (!openStore(store))
        return 1;
    DeviceBook localDevices;
    std::unique_ptr<RedisDeviceBook> sharedDevices;
    DeviceState* devices = &localDevices;
    if (!options.deviceState.isEmpty()) {
        sharedDevices = std::make_unique<RedisDeviceBook>(*RedisDeviceBook::parse(options.deviceState));
        QString error;
        if (!sharedDevices->reachable(&error)) {
            say(QStringLiteral("orvane-server: cannot reach the device state at %1: %2")
                    .arg(RedisDeviceBook::parse(options.deviceState)->display(), error));
            return 1;
        }
        devices = sharedDevices.get();
    }
    const bool serveContent = options.servers.contains(u"content"_s);
    const bool serveIdentification = options.servers.contains(u"identification"_s);
    const bool serveSocial = options.servers.contains(u"social"_s);

    RequestLog log;
    std::mutex sayLock;
    ChannelFarm farm(serveIdentification ? options.channels : QList<ChannelSource>(), options.historyMinutes,
                     [&sayLock](const QString& line) {
                         std::lock_guard guard(sayLock);
                         say(QStringLiteral("orvane-server: ") + line);
                     });
    Matcher matcher(farm.index(), Matcher::Settings{options.maxBer, options.minMargin});
    IdentificationService identification(matcher, *devices, &store);
    ContentServer content(store);
    if (serveIdentification) {
        content.setIdentificationHealth(
            [&farm] { return farm.healthy(QDateTime::currentMSecsSinceEpoch()); });
        content.setRepeatingChannels([&farm] { return farm.repeating(); });
    }
    if (sharedDevices)
        content.setDeviceState(sharedDevices.get());
    SocialServer social(store);

    HttpServer::Limits limits;
    limits.maxConnections = options.maxConnections;
    limits.maxConnectionsPerPeer = options.maxConnectionsPerPeer;
    limits.workers = options.workers;
    limits.trustedProxies = options.trustedProxies;
    HttpServer::Limits idLimits = limits;
    idLimits.maxBodyBytes = 16 * 1024; // a block is 2048 bytes with its form
    HttpServer::Limits socialLimits = limits;
    socialLimits.maxBodyBytes = SocialServer::MaxBodyBytes;

    struct Served
    {
        QString name;
        QString what;
        int port;
        QString path;
        std::unique_ptr<HttpServer> http;
    };
    std::vector<Served> served;
    if (serveContent)
        served.push_back(
            {u"content"_s, u"content server"_s, options.port, u"searchcontent/"_s,
             std::make_unique<HttpServer>(
                 [&content](const HttpRequest& request) { return content.handle(request); }, limits)});
    if (serveIdentification)
        served.push_back(
            {u"identification"_s, u"identification server"_s, options.idPort, u"searchfunctions/"_s,
             std::make_unique<HttpServer>(
                 [&identification](const HttpRequest& request) { return identification.handle(request); },
                 idLimits)});
    if (serveSocial)
        served.push_back(
            {u"social"_s, u"microblog service"_s, options.socialPort, QString(),
             std::make_unique<HttpServer>(
                 [&social](const HttpRequest& request) { return social.handle(request); }, socialLimits)});
    for (Served& server : served) {
        server.http->setLogger(log.logger(server.name));
        QString error;
        if (!server.http->listen(options.bind, quint16(server.port), &error, server.name)) {
            say(QStringLiteral("orvane-server: %1 on %2:%3: %4")
                    .arg(server.what, options.bind)
                    .arg(server.port)
                    .arg(error));
            return 1;
        }
    }
    say(QStringLiteral("orvane-server: store %1 (%2 programmes)")
            .arg(store.path())
            .arg(store.programmeCount()));
    if (sharedDevices)
        say(QStringLiteral("orvane-server: device state in %1")
                .arg(RedisDeviceBook::parse(options.deviceState)->display()));
    for (const Served& server : served) {
        QString line = QStringLiteral("orvane-server: %1 on http://%2:%3/%4")
                           .arg(server.what, options.bind)
                           .arg(server.http->port())
                           .arg(server.path);
        if (server.name == u"identification")
            line += QStringLiteral(" (%1 live channels, %2 minutes kept, max BER %3, margin %4)")
                        .arg(farm.channels())
                        .arg(options.historyMinutes)
                        .arg(options.maxBer)
                        .arg(options.minMargin);
        if (server.name == u"social")
            line += QStringLiteral(" (OAuth 1.0a)");
        say(line);
    }
    if (!options.trustedProxies.isEmpty())
        say(QStringLiteral("orvane-server: trusted proxies %1").arg(options.trustedProxies.join(u", "_s)));
    std::fflush(stderr);
    farm.start();

    int received = 0;
    sigwait(&signals, &received);
    say(QStringLiteral("orvane-server: stopping"));
    for (Served& server : served)
        server.http->stop();
    farm.stop();
    return 0;
}

int importXmltv(const ServerOptions& options)
{
    ScheduleStore store(options.database);
    if (!openStore(store))
        return 1;
    const bool newCity = !store.city(options.city);
    const QTimeZone zone(store.timeZone().toUtf8());
    const int offset = zone.isValid() ? zone.offsetFromUtc(QDateTime::currentDateTimeUtc()) / 60 : 180;
    const QString name =
        options.cityName.isEmpty() ? QStringLiteral("Город %1").arg(options.city) : options.cityName;
    ProgressLine line;
    XmltvImporter importer(store, options.city);
    importer.setCityIfMissing({options.city, name, offset, options.cityLatitude, options.cityLongitude});
    if (!newCity && options.cityLatitude) {
        StoreCity placed = *store.city(options.city);
        placed.latitude = options.cityLatitude;
        placed.longitude = options.cityLongitude;
        store.upsertCity(placed);
    }
    importer.setLog([](const QString& text) { say(QStringLiteral("orvane-server: import: ") + text); });
    const XmltvImporter::Summary summary =
        importer.importFile(options.file, [&line](qint64 read, qint64 total, qint64 programmes) {
            const int percent = total > 0 ? int(std::min<qint64>(100, read * 100 / total)) : 0;
            line.show(percent, QStringLiteral("%1 programmes").arg(programmes));
        });
    if (!summary.ok) {
        say(QStringLiteral("orvane-server: %1: %2").arg(options.file, summary.error));
        return 1;
    }
    if (newCity)
        say(QStringLiteral("orvane-server: created the city %1 \"%2\"").arg(options.city).arg(name));
    say(QStringLiteral("orvane-server: imported %1 channels and %2 programmes into city %3 (%4 skipped)")
            .arg(summary.channels)
            .arg(summary.programmes)
            .arg(options.city)
            .arg(summary.skipped));
    if (summary.capped > 0)
        say(QStringLiteral("orvane-server: %1 limits applied (logged above)").arg(summary.capped));
    if (summary.remoteIcons > 0)
        say(QStringLiteral(
                "orvane-server: %1 icons on other hosts were not fetched; the server draws those pictures")
                .arg(summary.remoteIcons));
    return 0;
}

int demoData(const ServerOptions& options)
{
    ScheduleStore store(options.database);
    if (!openStore(store))
        return 1;
    ProgressLine line;
    DemoData demo(store);
    // Today's programme day in the store's zone (before the day boundary it is yesterday's).
    const QTimeZone zone(store.timeZone().toUtf8());
    const ProgrammeDay days(zone.isValid() ? zone : QTimeZone::systemTimeZone());
    const QDate today = QDate::fromString(days.dayOf(QDateTime::currentSecsSinceEpoch()), u"yyyyMMdd");
    const DemoData::Summary summary = demo.generate(today, [&line](int done, int total) {
        line.show(done * 100 / total, QStringLiteral("%1 of %2 channels").arg(done).arg(total));
    });
    if (!summary.ok) {
        say(QStringLiteral("orvane-server: the demo data could not be stored in %1").arg(store.path()));
        return 1;
    }
    say(QStringLiteral(
            "orvane-server: demo data in %1: %2 cities, %3 channels, %4 programmes, %5 new messages")
            .arg(store.path())
            .arg(summary.cities)
            .arg(summary.channels)
            .arg(summary.programmes)
            .arg(summary.messages));
    if (DemoSocial(store).ensure() < 0) {
        say(QStringLiteral("orvane-server: the demo microblog users could not be stored in %1")
                .arg(store.path()));
        return 1;
    }
    say(QStringLiteral("orvane-server: demo microblog account: %1 / %2")
            .arg(DemoSocial::DemoScreenName, DemoSocial::DemoPassword));
    return 0;
}

int demoAudio(const ServerOptions& options)
{
    ProgressLine line;
    QString error;
    const bool written = DemoAudioFiles::write(options.file, &error, [&line](int done, int total) {
        line.show(done * 100 / total, QStringLiteral("%1 of %2 files").arg(done).arg(total));
    });
    if (!written) {
        say(QStringLiteral("orvane-server: %1").arg(error));
        return 1;
    }
    say(QStringLiteral("orvane-server: demo audio in %1: serve --config %1/channels.conf; the application's "
                       "microphone: --audio-input demo-room:%2")
            .arg(options.file)
            .arg(DemoAudioFiles::MicrophoneChannel));
    return 0;
}

} // namespace ServerCommands
