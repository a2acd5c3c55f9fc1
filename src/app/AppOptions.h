#pragma once

#include "platform/Device.h"

#include <QString>
#include <QStringList>

#include <utility>

// The command line of the application.
struct AppOptions
{
    Device::Idiom idiom = Device::Idiom::Phone;
    QString contentHost = QStringLiteral("localhost");
    QString idHost = QStringLiteral("localhost");
    QString audioInput = QStringLiteral("default");
    QString calendarDir;
    QString screenshotFile;
    double screenshotAfterSeconds = 0; // at the earliest; 0: once start-up has settled
    QString language;
    // --location LAT,LON: the device's position, fixed.
    QString location;
    // --twitter-api URL: the microblog service; empty for the default.
    QString twitterApi;
    // --show SCREEN[:ARG]: the screen to open after start-up, and its argument.
    QString showScreen;
    QString showArgument;

    // The screens --show knows in an idiom, and whether each takes an argument (required,
    // optional or none).
    enum class Argument
    {
        None,
        Optional,
        Required
    };
    static QList<std::pair<QString, Argument>> showableScreens(Device::Idiom idiom);

    enum class Outcome
    {
        Run,
        ExitOk,
        ExitError
    };
    // Parses arguments (program name first). Help and version texts and errors are
    // written to *message; the outcome says whether to run or to exit.
    static Outcome parse(const QStringList& arguments, AppOptions* options, QString* message);
};
