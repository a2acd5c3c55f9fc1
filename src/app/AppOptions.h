#pragma once

#include "platform/Device.h"

#include <QString>
#include <QStringList>

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
