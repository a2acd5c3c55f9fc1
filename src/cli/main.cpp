#include "ChannelsCommand.h"
#include "CliContext.h"
#include "CliOptions.h"
#include "CliSession.h"
#include "DetailsCommand.h"
#include "FingerprintCommand.h"
#include "IdentifyCommand.h"
#include "InfoCommands.h"
#include "ProgramCommand.h"
#include "SearchCommand.h"
#include "ServerTimeCommand.h"
#include "StorageCommands.h"
#include "TweetsCommand.h"

#include "platform/EventStore.h"
#include "platform/ServerConfig.h"
#include "platform/Services.h"
#include "platform/StringTable.h"

#include <QCoreApplication>
#include <QLocale>
#include <QLoggingCategory>

#include <cstdio>
#include <functional>
#include <map>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("orvane"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ORVANE_VERSION));

    CliOptions options;
    QString message;
    switch (CliOptions::parse(QCoreApplication::arguments(), &options, &message)) {
    case CliOptions::Outcome::ExitOk:
        std::printf("%s\n", qPrintable(message));
        return 0;
    case CliOptions::Outcome::ExitError:
        std::fprintf(stderr, "%s\n", qPrintable(message));
        return 2;
    case CliOptions::Outcome::Run:
        break;
    }

    // The shared services and their threads; stopped (the cache writes finished) on return.
    Services services;
    if (!options.verbose)
        QLoggingCategory::setFilterRules(QStringLiteral("orvane.*.info=false\norvane.*.warning=false"));
    ServerConfig::setContentHost(options.contentHost);
    EventStore::setDefaultRoot(options.calendarDir);
    StringTable::install(QLocale::system().uiLanguages());
    CliContext context(options.cityId);
    AppContext::setCurrent(&context);

    CliSession session(options);
    const std::map<QString, std::function<int()>> commands = {
        {"server-time", [&] { return ServerTimeCommand::run(options); }},
        {"fingerprint", [&] { return FingerprintCommand::run(options); }},
        {"identify", [&] { return IdentifyCommand(session).run(); }},
        {"favorites", [&] { return StorageCommands::favorites(session); }},
        {"history", [&] { return StorageCommands::history(session); }},
        {"remind", [&] { return StorageCommands::remind(session); }},
        {"channels", [&] { return ChannelsCommand::run(session); }},
        {"program", [&] { return ProgramCommand::run(session); }},
        {"details", [&] { return DetailsCommand::run(session); }},
        {"search", [&] { return SearchCommand::run(session); }},
        {"cities", [&] { return InfoCommands::cities(session); }},
        {"ratings", [&] { return InfoCommands::ratings(session); }},
        {"maplist", [&] { return InfoCommands::mapList(session); }},
        {"status", [&] { return InfoCommands::status(session); }},
        {"tweets", [&] { return TweetsCommand::run(session); }},
    };
    int status = 2;
    if (auto command = commands.find(options.command); command != commands.end()) {
        status = command->second();
    } else {
        std::fprintf(stderr, "orvane-cli: unknown command \"%s\"\n\n%s", qPrintable(options.command),
                     qPrintable(CliOptions::usage()));
    }
    services.shutdown();
    AppContext::setCurrent(nullptr);
    return status;
}
