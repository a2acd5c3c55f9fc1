#include "CliOptions.h"

#include "widgets/TwitterSession.h"

#include <QUrl>

#include "platform/ServerAddress.h"
#include "platform/ServerConfig.h"

#include <QCoreApplication>

QString CliOptions::usage()
{
    return QStringLiteral(
        "Usage: orvane-cli [global options] COMMAND [arguments]\n"
        "\n"
        "The Orvane TV guide in a terminal.\n"
        "\n"
        "Global options:\n"
        "  --content-host HOST[:PORT]  content server (default localhost, port 22222)\n"
        "  --city ID                   city id (default: the stored city, else 1)\n"
        "  --json                      print the answers as JSON\n"
        "  --twitter-api URL           the microblog service (default http://localhost:22224/)\n"
        "  --verbose                   log requests and failures on stderr\n"
        "  --calendar-dir DIR          the calendars reminders go to (default: calendars in the data "
        "folder)\n"
        "  -h, --help                  show this help\n"
        "  -v, --version               show the version\n"
        "\n"
        "Commands:\n"
        "  channels                    the city's channels by category, TV and radio marked\n"
        "  program CHANNEL [--date YYYY-MM-DD]\n"
        "                              a channel's programme for a day, the show on air marked\n"
        "  details LINK                the details of a show (orvane://progdetails/DAY/CHANNEL/SHOW)\n"
        "  search TEXT                 the shows of the city's schedule that match\n"
        "  cities                      the cities the server knows\n"
        "  ratings                     the channels of the city by rating\n"
        "  maplist                     the city's channel-id map\n"
        "  status                      whether the identification service works\n"
        "  tweets CHANNEL [--limit N]  viewers' messages about a channel\n"
        "  twitter login [--pin] | logout | whoami | timeline | mentions | post TEXT [--reply-to ID]\n"
        "          | retweet ID | delete ID   the microblog account (timeline, mentions: [--count N]\n"
        "                              [--max-id ID])\n"
        "  server-time                 the server's time and the device clock's offset from it\n"
        "  fingerprint FILE.wav [--every SECONDS] [--bytes]\n"
        "                              the sub-fingerprints of a 16-bit PCM WAV at 44100 Hz\n"
        "  identify [--audio-input default|none|file:PATH|demo-room:ID] [--id-host HOST] [--results N]\n"
        "           [--timeout SECONDS] [--start-delay SECONDS] [--tick SECONDS]\n"
        "                              identify the channel being heard, as the application does\n"
        "  favorites [add ID | remove ID]\n"
        "                              the favourite channels\n"
        "  history [--clear]           the shows watched, oldest first\n"
        "  remind LINK [--alarm \"YYYY-MM-DD HH:MM\"] | --delete LINK | --clear-all | --clear-past\n"
        "                              reminders of shows in the calendar\n"
        "  settings [city ID|NAME]     the stored city and the switches; choose the city\n"
        "  stats                       this device's viewing statistics from the server\n");
}

CliOptions::Outcome CliOptions::parse(const QStringList& arguments, CliOptions* options, QString* message)
{
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        auto value = [&](QString* out) {
            if (i + 1 >= arguments.size()) {
                *message = QStringLiteral("%1 needs a value.").arg(argument);
                return false;
            }
            *out = arguments[++i];
            return true;
        };
        if (!options->command.isEmpty()) {
            if (argument == u"--json")
                options->json = true;
            else
                options->arguments << argument;
            continue;
        }
        if (argument == u"-h" || argument == u"--help") {
            *message = usage();
            return Outcome::ExitOk;
        }
        if (argument == u"-v" || argument == u"--version") {
            *message = QStringLiteral("orvane-cli ") + QCoreApplication::applicationVersion();
            return Outcome::ExitOk;
        }
        if (argument == u"--json") {
            options->json = true;
        } else if (argument == u"--verbose") {
            options->verbose = true;
        } else if (argument == u"--twitter-api") {
            QString base;
            if (!value(&base))
                return Outcome::ExitError;
            const QUrl url(base);
            if (!url.isValid() || (url.scheme() != u"http" && url.scheme() != u"https") ||
                url.host().isEmpty()) {
                *message = QStringLiteral("Not an http(s) address: \"%1\".").arg(base);
                return Outcome::ExitError;
            }
            TwitterSession::setApiBase(url);
        } else if (argument == u"--calendar-dir") {
            if (!value(&options->calendarDir))
                return Outcome::ExitError;
        } else if (argument == u"--content-host") {
            if (!value(&options->contentHost))
                return Outcome::ExitError;
            if (!ServerAddress::parse(options->contentHost, ServerConfig::ContentPort).isValid()) {
                *message = QStringLiteral("Not a host: \"%1\".").arg(options->contentHost);
                return Outcome::ExitError;
            }
        } else if (argument == u"--city") {
            QString text;
            if (!value(&text))
                return Outcome::ExitError;
            bool ok = false;
            options->cityId = text.toInt(&ok);
            if (!ok || options->cityId <= 0) {
                *message = QStringLiteral("Not a city id: \"%1\".").arg(text);
                return Outcome::ExitError;
            }
        } else if (argument.startsWith(u'-')) {
            *message = QStringLiteral("Unknown option %1.\n\n").arg(argument) + usage();
            return Outcome::ExitError;
        } else {
            options->command = argument;
        }
    }
    if (options->command.isEmpty()) {
        *message = usage();
        return Outcome::ExitError;
    }
    return Outcome::Run;
}
