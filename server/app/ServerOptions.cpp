#include "ServerOptions.h"

#include "identification/RedisDeviceBook.h"
#include "store/StoreAddress.h"

#include <QDir>
#include <QHostAddress>
#include <QStandardPaths>
#include <cmath>

namespace {

// An integer from low to high into value; false (value untouched) otherwise.
bool readInt(const QString& text, int low, int high, int* value)
{
    bool ok = false;
    const int number = text.toInt(&ok);
    if (!ok || number < low || number > high)
        return false;
    *value = number;
    return true;
}

} // namespace

QString ServerOptions::defaultDatabase()
{
    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    if (data.isEmpty())
        data = QDir::homePath() + QStringLiteral("/.local/share");
    return data + QStringLiteral("/orvane-server/schedule.sqlite");
}

QString ServerOptions::usage()
{
    return QStringLiteral(
               "Usage:\n"
               "  orvane-server serve [--db PATH] [--bind ADDRESS] [--port N] [--id-port N] [--social-port "
               "N]\n"
               "                      [--channel ID=SOURCE]... [--config FILE] [--history-minutes N]\n"
               "                      [--max-ber X] [--min-margin X] [--max-connections N]\n"
               "                      [--max-connections-per-peer N] [--workers N]\n"
               "                      [--servers LIST] [--trusted-proxy ADDRESS]... [--device-state URL]\n"
               "      Serves the content server (/searchcontent/, default port 22222) and the\n"
               "      identification server (/searchfunctions/, default port 22223) and the microblog\n"
               "      service (OAuth 1.0a, REST under /1/ and /1.1/, default port 22224) until interrupted.\n"
               "      --bind ADDRESS   address to listen on (default 127.0.0.1; 0.0.0.0 for all)\n"
               "      --port N         content server port (0 picks a free one)\n"
               "      --id-port N      identification server port (0 picks a free one)\n"
               "      --social-port N  microblog service port (0 picks a free one)\n"
               "      --channel ID=SOURCE  a live channel's audio: file:PATH (a 16-bit 44100 Hz WAV\n"
               "                       looped in real time), pipe:COMMAND (s16le 44100 Hz mono PCM\n"
               "                       on the command's output), demo:N (demo programme N) or\n"
               "                       silence; repeatable\n"
               "      --config FILE    channels from a file, one ID=SOURCE per line (# comments)\n"
               "      --history-minutes N  audio kept per channel for matching (default 10)\n"
               "      --max-ber X      highest bit error rate of a match (default 0.31)\n"
               "      --min-margin X   how much better than any other channel a match must be\n"
               "                       (default 0.06); less is answered as ambiguous (-3)\n"
               "      --max-connections N  open connections per server (default 1024)\n"
               "      --max-connections-per-peer N  open connections per client address and server\n"
               "                       (default 64)\n"
               "      --workers N      threads per server running connections and requests (default: one\n"
               "                       per processor, at least 2)\n"
               "      --servers LIST   which to serve: content,identification,social (default all three)\n"
               "      --trusted-proxy ADDRESS  a reverse proxy (nginx) in front: its connections are\n"
               "                       not held to the per-peer cap, and its requests count as coming\n"
               "                       from the client its X-Forwarded-For names; repeatable\n"
               "      --device-state redis://HOST:PORT  keep the devices' uploads, rate limits and\n"
               "                       sightings in Redis, shared by several servers (default: in this\n"
               "                       process)\n"
               "  orvane-server import-xmltv FILE [--city ID] [--city-name NAME]\n"
               "                      [--city-location LAT,LON] [--db PATH]\n"
               "      Imports an XMLTV listing; its channels join the city (default 1). Importing again\n"
               "      updates what changed. A city that does not exist yet is created with NAME.\n"
               "      --city-location  where the city is (degrees), for finding it by location\n"
               "  orvane-server demo-data [--db PATH]\n"
               "      Fills the store with the demo data set for the week around today.\n"
               "  orvane-server demo-audio DIR\n"
               "      Writes DIR/channels.conf for --config: every demo channel airs its synthetic\n"
               "      programme (demo:ID); the application hears channel 1 with --audio-input\n"
               "      demo-room:1.\n"
               "  orvane-server --help\n"
               "\n"
               "  --db PATH   the schedule store: a SQLite file (default %1)\n"
               "              or postgresql://USER@HOST:PORT/DATABASE\n")
        .arg(defaultDatabase());
}

ServerOptions ServerOptions::parse(const QStringList& arguments)
{
    ServerOptions options;
    options.database = defaultDatabase();
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        const QString value = hasValue ? arguments[i + 1] : QString();
        auto needValue = [&]() {
            if (!hasValue)
                options.error = QStringLiteral("%1 needs a value").arg(argument);
            ++i;
            return hasValue;
        };
        if (argument == u"--help" || argument == u"-h") {
            options.help = true;
        } else if (argument == u"--db") {
            QString reason;
            if (needValue() && !StoreAddress::parse(value, &reason))
                options.error = QStringLiteral("--db: %1").arg(reason);
            options.database = value;
        } else if (argument == u"--bind") {
            if (needValue())
                options.bind = value;
        } else if (argument == u"--port" || argument == u"--id-port" || argument == u"--social-port") {
            int* port = argument == u"--port"      ? &options.port
                        : argument == u"--id-port" ? &options.idPort
                                                   : &options.socialPort;
            if (needValue() && !readInt(value, 0, 65535, port))
                options.error = QStringLiteral("%1 takes a port number 0 to 65535").arg(argument);
        } else if (argument == u"--city") {
            bool ok = false;
            if (needValue())
                options.city = value.toInt(&ok);
            if (hasValue && (!ok || options.city < 1))
                options.error = QStringLiteral("--city takes a positive city id");
        } else if (argument == u"--channel") {
            if (needValue()) {
                QString reason;
                if (const std::optional<ChannelSource> spec = ChannelSource::parse(value, &reason))
                    options.channels.append(*spec);
                else
                    options.error = QStringLiteral("--channel: %1").arg(reason);
            }
        } else if (argument == u"--config") {
            if (needValue()) {
                QString reason;
                if (const auto specs = ChannelSource::parseFile(value, &reason))
                    options.channels += *specs;
                else
                    options.error = QStringLiteral("--config: %1").arg(reason);
            }
        } else if (argument == u"--history-minutes") {
            if (needValue() && !readInt(value, 1, 240, &options.historyMinutes))
                options.error = QStringLiteral("--history-minutes takes 1 to 240");
        } else if (argument == u"--workers") {
            if (needValue() && !readInt(value, 1, 256, &options.workers))
                options.error = QStringLiteral("--workers takes 1 to 256");
        } else if (argument == u"--max-connections" || argument == u"--max-connections-per-peer") {
            int* limit =
                argument == u"--max-connections" ? &options.maxConnections : &options.maxConnectionsPerPeer;
            if (needValue() && !readInt(value, 1, 1000000, limit))
                options.error = QStringLiteral("%1 takes 1 to 1000000").arg(argument);
        } else if (argument == u"--max-ber" || argument == u"--min-margin") {
            bool ok = false;
            const double number = hasValue ? value.toDouble(&ok) : 0;
            if (needValue() && (!ok || number < 0 || number > 0.5))
                options.error = QStringLiteral("%1 takes a number from 0 to 0.5").arg(argument);
            (argument == u"--max-ber" ? options.maxBer : options.minMargin) = number;
        } else if (argument == u"--city-location") {
            const QStringList parts = hasValue ? value.split(u',') : QStringList();
            bool latOk = false, lonOk = false;
            const double latitude = parts.value(0).trimmed().toDouble(&latOk);
            const double longitude = parts.value(1).trimmed().toDouble(&lonOk);
            if (needValue() && (parts.size() != 2 || !latOk || !lonOk || std::abs(latitude) > 90 ||
                                std::abs(longitude) > 180))
                options.error = QStringLiteral("--city-location takes LATITUDE,LONGITUDE in degrees");
            options.cityLatitude = latitude;
            options.cityLongitude = longitude;
        } else if (argument == u"--trusted-proxy") {
            const QHostAddress address(value);
            if (needValue() && address.isNull())
                options.error = QStringLiteral("--trusted-proxy takes an IP address");
            options.trustedProxies.append(address.toString());
        } else if (argument == u"--device-state") {
            QString reason;
            if (needValue() && !RedisDeviceBook::parse(value, &reason))
                options.error = QStringLiteral("--device-state: %1").arg(reason);
            options.deviceState = value;
        } else if (argument == u"--servers") {
            static const QStringList known = {QStringLiteral("content"), QStringLiteral("identification"),
                                              QStringLiteral("social")};
            options.servers = value.split(u',', Qt::SkipEmptyParts);
            bool ok = needValue() && !options.servers.isEmpty();
            for (const QString& server : std::as_const(options.servers))
                ok = ok && known.contains(server);
            if (hasValue && !ok)
                options.error = QStringLiteral("--servers takes a list of content, identification, social");
        } else if (argument == u"--city-name") {
            if (needValue())
                options.cityName = value;
        } else if (argument.startsWith(u'-')) {
            options.error = QStringLiteral("unknown option %1").arg(argument);
        } else if (options.command.isEmpty()) {
            options.command = argument;
        } else if ((options.command == u"import-xmltv" || options.command == u"demo-audio") &&
                   options.file.isEmpty()) {
            options.file = argument;
        } else {
            options.error = QStringLiteral("unexpected argument %1").arg(argument);
        }
        if (!options.error.isEmpty())
            return options;
    }
    static const QStringList commands = {QStringLiteral("serve"), QStringLiteral("import-xmltv"),
                                         QStringLiteral("demo-data"), QStringLiteral("demo-audio")};
    if (options.help)
        return options;
    if (options.command.isEmpty())
        options.error = QStringLiteral("no command given");
    else if (!commands.contains(options.command))
        options.error = QStringLiteral("unknown command %1").arg(options.command);
    else if (options.command == u"import-xmltv" && options.file.isEmpty())
        options.error = QStringLiteral("import-xmltv needs the file to import");
    else if (options.command == u"demo-audio" && options.file.isEmpty())
        options.error = QStringLiteral("demo-audio needs the folder to write to");
    return options;
}
