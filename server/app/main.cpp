#include "ServerCommands.h"
#include "ServerOptions.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include <unistd.h>

#include <cstdio>

int main(int argc, char** argv)
{
    // The server draws pictures without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // A service has no session: give the platform plugin the private folder it expects.
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QByteArray runtime =
            QDir::tempPath().toUtf8() + "/orvane-server-runtime-" + QByteArray::number(getuid());
        if (QDir().mkpath(QString::fromUtf8(runtime)) &&
            QFile::setPermissions(QString::fromUtf8(runtime),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner))
            qputenv("XDG_RUNTIME_DIR", runtime);
    }
    QGuiApplication app(argc, argv);
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    const ServerOptions options = ServerOptions::parse(arguments);
    if (options.help) {
        std::fprintf(stdout, "%s", qPrintable(ServerOptions::usage()));
        return 0;
    }
    if (!options.error.isEmpty()) {
        std::fprintf(stderr, "orvane-server: %s\n\n%s", qPrintable(options.error),
                     qPrintable(ServerOptions::usage()));
        return 2;
    }
    if (options.command == u"serve")
        return ServerCommands::serve(options);
    if (options.command == u"import-xmltv")
        return ServerCommands::importXmltv(options);
    if (options.command == u"demo-audio")
        return ServerCommands::demoAudio(options);
    return ServerCommands::demoData(options);
}
