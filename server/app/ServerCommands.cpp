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
#include "importer/DemoData.h"
#include "importer/DemoSocial.h"
#include "importer/XmltvImporter.h"
#include "social/SocialServer.h"
#include "store/ScheduleStore.h"

#include <QDateTime>
#include <QTimeZone>
#include <sys/resource.h>

#include <mutex>

#include <csignal>
#include <cstdio>
#include <pthread.h>
#include <unistd.h>

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
    RequestLog log;
    std::mutex sayLock;
    ChannelFarm farm(options.channels, options.historyMinutes, [&sayLock](const QString& line) {
        std::lock_guard guard(sayLock);
        say(QStringLiteral("orvane-server: ") + line);
    });
    Matcher matcher(farm.index(), Matcher::Settings{options.maxBer, options.minMargin});
    DeviceBook devices;
    IdentificationService identification(matcher, devices, &store);

    ContentServer content(store);
    content.setIdentificationHealth([&farm] { return farm.healthy(QDateTime::currentMSecsSinceEpoch()); });
    content.setRepeatingChannels([&farm] { return farm.repeating(); });
    HttpServer::Limits contentLimits;
    contentLimits.maxConnections = options.maxConnections;
    contentLimits.maxConnectionsPerPeer = options.maxConnectionsPerPeer;
    contentLimits.workers = options.workers;
    HttpServer contentHttp([&content](const HttpRequest& request) { return content.handle(request); },
                           contentLimits);
    contentHttp.setLogger(log.logger(QStringLiteral("content")));
    HttpServer::Limits idLimits = contentLimits;
    idLimits.maxBodyBytes = 16 * 1024; // a block is 2048 bytes with its form
    HttpServer idHttp(
        [&identification](const HttpRequest& request) { return identification.handle(request); }, idLimits);
    idHttp.setLogger(log.logger(QStringLiteral("identification")));
    SocialServer social(store);
    HttpServer::Limits socialLimits = contentLimits;
    socialLimits.maxBodyBytes = SocialServer::MaxBodyBytes;
    HttpServer socialHttp([&social](const HttpRequest& request) { return social.handle(request); },
                          socialLimits);
    socialHttp.setLogger(log.logger(QStringLiteral("social")));
    QString error;
    if (!contentHttp.listen(options.bind, quint16(options.port), &error, QStringLiteral("content"))) {
        say(QStringLiteral("orvane-server: content server on %1:%2: %3")
                .arg(options.bind)
                .arg(options.port)
                .arg(error));
        return 1;
    }
    if (!idHttp.listen(options.bind, quint16(options.idPort), &error, QStringLiteral("identification"))) {
        say(QStringLiteral("orvane-server: identification server on %1:%2: %3")
                .arg(options.bind)
                .arg(options.idPort)
                .arg(error));
        return 1;
    }
    if (!socialHttp.listen(options.bind, quint16(options.socialPort), &error, QStringLiteral("social"))) {
        say(QStringLiteral("orvane-server: microblog service on %1:%2: %3")
                .arg(options.bind)
                .arg(options.socialPort)
                .arg(error));
        return 1;
    }
    say(QStringLiteral("orvane-server: store %1 (%2 programmes)")
            .arg(store.path())
            .arg(store.programmeCount()));
    say(QStringLiteral("orvane-server: content server on http://%1:%2/searchcontent/")
            .arg(options.bind)
            .arg(contentHttp.port()));
    say(QStringLiteral(
            "orvane-server: identification server on http://%1:%2/searchfunctions/ (%3 live channels, "
            "%4 minutes kept, max BER %5, margin %6)")
            .arg(options.bind)
            .arg(idHttp.port())
            .arg(farm.channels())
            .arg(options.historyMinutes)
            .arg(options.maxBer)
            .arg(options.minMargin));
    say(QStringLiteral("orvane-server: microblog service on http://%1:%2/ (OAuth 1.0a)")
            .arg(options.bind)
            .arg(socialHttp.port()));
    std::fflush(stderr);
    farm.start();

    int received = 0;
    sigwait(&signals, &received);
    say(QStringLiteral("orvane-server: stopping"));
    contentHttp.stop();
    idHttp.stop();
    socialHttp.stop();
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
