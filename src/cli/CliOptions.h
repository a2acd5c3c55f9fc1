#pragma once

#include <QString>
#include <QStringList>

// The terminal tool's global options and its command with the command's own arguments.
struct CliOptions
{
    QString contentHost = QStringLiteral("localhost");
    int cityId = 0; // 0: the stored city
    bool json = false;
    bool verbose = false;
    QString calendarDir;
    QString command;
    QStringList arguments;

    enum class Outcome
    {
        Run,
        ExitOk,
        ExitError
    };
    static Outcome parse(const QStringList& arguments, CliOptions* options, QString* message);
    static QString usage();
};
