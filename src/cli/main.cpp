#include "CliContext.h"
#include "CliOptions.h"
#include "ServerTimeCommand.h"

#include "platform/ServerConfig.h"
#include "platform/StringTable.h"

#include <QCoreApplication>
#include <QLocale>
#include <QLoggingCategory>

#include <cstdio>

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

    if (!options.verbose)
        QLoggingCategory::setFilterRules(QStringLiteral("orvane.*.info=false\norvane.*.warning=false"));
    ServerConfig::setContentHost(options.contentHost);
    StringTable::install(QLocale::system().uiLanguages());
    CliContext context(options.cityId);
    AppContext::setCurrent(&context);

    int status = 2;
    if (options.command == u"server-time") {
        status = ServerTimeCommand::run(options);
    } else {
        std::fprintf(stderr, "orvane-cli: unknown command \"%s\"\n\n%s", qPrintable(options.command),
                     qPrintable(CliOptions::usage()));
    }
    AppContext::setCurrent(nullptr);
    return status;
}
