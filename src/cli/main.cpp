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
#include "SettingsCommand.h"
#include "StatsCommand.h"
#include "StorageCommands.h"
#include "TweetsCommand.h"
#include "TwitterCommand.h"

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
        {QStringLiteral("server-time"), [&] { return ServerTimeCommand::run(options); }},
        {QStringLiteral("fingerprint"), [&] { return FingerprintCommand::run(options); }},
        {QStringLiteral("identify"), [&] { return IdentifyCommand(session).run(); }},
        {QStringLiteral("favorites"), [&] { return StorageCommands::favorites(session); }},
        {QStringLiteral("history"), [&] { return StorageCommands::history(session); }},
        {QStringLiteral("remind"), [&] { return StorageCommands::remind(session); }},
        {QStringLiteral("channels"), [&] { return ChannelsCommand::run(session); }},
        {QStringLiteral("program"), [&] { return ProgramCommand::run(session); }},
        {QStringLiteral("details"), [&] { return DetailsCommand::run(session); }},
        {QStringLiteral("search"), [&] { return SearchCommand::run(session); }},
        {QStringLiteral("cities"), [&] { return InfoCommands::cities(session); }},
        {QStringLiteral("ratings"), [&] { return InfoCommands::ratings(session); }},
        {QStringLiteral("maplist"), [&] { return InfoCommands::mapList(session); }},
        {QStringLiteral("status"), [&] { return InfoCommands::status(session); }},
        {QStringLiteral("tweets"), [&] { return TweetsCommand::run(session); }},
        {QStringLiteral("twitter"), [&] { return TwitterCommand::run(session); }},
        {QStringLiteral("settings"), [&] { return SettingsCommand::run(session); }},
        {QStringLiteral("stats"), [&] { return StatsCommand::run(session); }},
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
