#include "AppOptions.h"

#include <QUrl>

#include "platform/AudioInputSource.h"
#include "platform/Location.h"
#include "platform/ServerAddress.h"
#include "platform/ServerConfig.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <algorithm>

AppOptions::Outcome AppOptions::parse(const QStringList& arguments, AppOptions* options, QString* message)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Orvane, the TV programme guide."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Show the version."));
    const QCommandLineOption idiom(
        QStringLiteral("idiom"),
        QStringLiteral("Screen tree: phone (390x844, default) or tablet (1024x768)."),
        QStringLiteral("phone|tablet"), QStringLiteral("phone"));
    const QCommandLineOption contentHost(
        QStringLiteral("content-host"),
        QStringLiteral("Host of the content server, with an optional port (default localhost, port 22222)."),
        QStringLiteral("HOST"), QStringLiteral("localhost"));
    const QCommandLineOption idHost(
        QStringLiteral("id-host"),
        QStringLiteral(
            "Host of the identification server, with an optional port (default localhost, port 22223)."),
        QStringLiteral("HOST"), QStringLiteral("localhost"));
    const QCommandLineOption audioInput(
        QStringLiteral("audio-input"),
        QStringLiteral(
            "What the identification listens to: default (the microphone), none (silence), "
            "file:PATH (a 16-bit 44100 Hz WAV played in a loop), demo:ID (a demo channel as it airs) "
            "or demo-room:ID (the same heard across a room)."),
        QStringLiteral("INPUT"), QStringLiteral("default"));
    const QCommandLineOption calendarDir(
        QStringLiteral("calendar-dir"),
        QStringLiteral("Folder of the calendars that reminders go to (a vdir tree, as khal reads; default: "
                       "calendars in the data folder)."),
        QStringLiteral("DIR"));
    const QCommandLineOption screenshot(
        QStringLiteral("screenshot"),
        QStringLiteral("Render the window to a PNG once start-up has settled, then exit."),
        QStringLiteral("FILE"));
    const QCommandLineOption after(
        QStringLiteral("after"),
        QStringLiteral("With --screenshot: take the picture this many seconds after start (and once "
                       "loads have settled), for example after an identification."),
        QStringLiteral("SECONDS"));
    const QCommandLineOption language(
        QStringLiteral("language"),
        QStringLiteral("Language of the texts (ru, or en for the plain keys); default: the system's."),
        QStringLiteral("LANG"));
    const QCommandLineOption location(
        QStringLiteral("location"),
        QStringLiteral("The device's position for finding the city (degrees), instead of the system's."),
        QStringLiteral("LAT,LON"));
    const QCommandLineOption twitterApi(
        QStringLiteral("twitter-api"),
        QStringLiteral(
            "The microblog service for Twitter sign-in and posting (default http://localhost:22224/)."),
        QStringLiteral("URL"));
    const QCommandLineOption show(
        QStringLiteral("show"),
        QStringLiteral(
            "Open a screen after start-up, as a user would reach it. Phone: now, "
            "program[:CHANNEL], selector, search:TEXT, details:LINK, talk, profile, settings, city. "
            "Tablet: board, root, expanded, photos:CHANNEL, program:CHANNEL, details:LINK, selector, "
            "settings, search:TEXT, special:URL, talk, tweet:ID, profile:USER (an id or a screen name)."),
        QStringLiteral("SCREEN[:ARG]"));
    parser.addOptions({help, version, idiom, contentHost, idHost, audioInput, calendarDir, screenshot, after,
                       language, location, twitterApi, show});

    if (!parser.parse(arguments)) {
        *message = parser.errorText();
        return Outcome::ExitError;
    }
    if (parser.isSet(help)) {
        *message = parser.helpText();
        return Outcome::ExitOk;
    }
    if (parser.isSet(version)) {
        *message = QStringLiteral("orvane ") + QCoreApplication::applicationVersion();
        return Outcome::ExitOk;
    }
    if (!parser.positionalArguments().isEmpty()) {
        *message = QStringLiteral("Unexpected argument: ") + parser.positionalArguments().first();
        return Outcome::ExitError;
    }
    const QString idiomText = parser.value(idiom);
    if (idiomText == u"phone") {
        options->idiom = Device::Idiom::Phone;
    } else if (idiomText == u"tablet") {
        options->idiom = Device::Idiom::Tablet;
    } else {
        *message = QStringLiteral("Unknown idiom \"%1\": use phone or tablet.").arg(idiomText);
        return Outcome::ExitError;
    }
    options->contentHost = parser.value(contentHost);
    if (!ServerAddress::parse(options->contentHost, ServerConfig::ContentPort).isValid()) {
        *message = QStringLiteral("Not a host: \"%1\".").arg(options->contentHost);
        return Outcome::ExitError;
    }
    options->idHost = parser.value(idHost);
    if (!ServerAddress::parse(options->idHost, ServerConfig::IdentificationPort).isValid()) {
        *message = QStringLiteral("Not a host: \"%1\".").arg(options->idHost);
        return Outcome::ExitError;
    }
    options->audioInput = parser.value(audioInput);
    if (!AudioInputSource::isSpec(options->audioInput.toStdString())) {
        *message = QStringLiteral("Unknown audio input \"%1\": use %2.")
                       .arg(options->audioInput, QString::fromLatin1(AudioInputSource::SpecForms));
        return Outcome::ExitError;
    }
    options->calendarDir = parser.value(calendarDir);
    options->screenshotFile = parser.value(screenshot);
    if (parser.isSet(after)) {
        bool ok = false;
        options->screenshotAfterSeconds = parser.value(after).toDouble(&ok);
        if (!ok || options->screenshotAfterSeconds < 0 || options->screenshotAfterSeconds > 600) {
            *message = QStringLiteral("--after takes seconds from 0 to 600.");
            return Outcome::ExitError;
        }
    }
    options->language = parser.value(language);
    if (parser.isSet(location)) {
        options->location = parser.value(location);
        if (!Location::parse(options->location)) {
            *message =
                QStringLiteral("--location takes LATITUDE,LONGITUDE in degrees, for example 55.75,37.62.");
            return Outcome::ExitError;
        }
    }
    if (parser.isSet(twitterApi)) {
        options->twitterApi = parser.value(twitterApi);
        const QUrl url(options->twitterApi);
        if (!url.isValid() || (url.scheme() != u"http" && url.scheme() != u"https") || url.host().isEmpty()) {
            *message = QStringLiteral(
                "--twitter-api takes an http(s) address, for example http://localhost:22224/.");
            return Outcome::ExitError;
        }
    }
    if (parser.isSet(show)) {
        const QString value = parser.value(show);
        const qsizetype colon = value.indexOf(u':');
        options->showScreen = colon < 0 ? value : value.left(colon);
        options->showArgument = colon < 0 ? QString() : value.mid(colon + 1);
        const auto screens = showableScreens(options->idiom);
        const auto known = std::find_if(screens.begin(), screens.end(), [&](const auto& screen) {
            return screen.first == options->showScreen;
        });
        QStringList names;
        for (const auto& screen : screens)
            names << screen.first;
        if (known == screens.end()) {
            *message = QStringLiteral("Unknown screen \"%1\" for --show: use one of %2.")
                           .arg(options->showScreen, names.join(QStringLiteral(", ")));
            return Outcome::ExitError;
        }
        if (known->second == Argument::Required && options->showArgument.isEmpty()) {
            *message = QStringLiteral("--show %1 needs an argument: %1:VALUE.").arg(options->showScreen);
            return Outcome::ExitError;
        }
        if (known->second == Argument::None && colon >= 0) {
            *message = QStringLiteral("--show %1 takes no argument.").arg(options->showScreen);
            return Outcome::ExitError;
        }
    }
    return Outcome::Run;
}

QList<std::pair<QString, AppOptions::Argument>> AppOptions::showableScreens(Device::Idiom idiom)
{
    if (idiom == Device::Idiom::Tablet)
        return {
            {QStringLiteral("board"), Argument::None},       {QStringLiteral("root"), Argument::None},
            {QStringLiteral("expanded"), Argument::None},    {QStringLiteral("photos"), Argument::Required},
            {QStringLiteral("program"), Argument::Required}, {QStringLiteral("details"), Argument::Required},
            {QStringLiteral("selector"), Argument::None},    {QStringLiteral("settings"), Argument::None},
            {QStringLiteral("search"), Argument::Required},  {QStringLiteral("special"), Argument::Required},
            {QStringLiteral("talk"), Argument::None},        {QStringLiteral("tweet"), Argument::Required},
            {QStringLiteral("profile"), Argument::Required}};
    return {{QStringLiteral("now"), Argument::None},         {QStringLiteral("program"), Argument::Optional},
            {QStringLiteral("selector"), Argument::None},    {QStringLiteral("search"), Argument::Required},
            {QStringLiteral("details"), Argument::Required}, {QStringLiteral("talk"), Argument::None},
            {QStringLiteral("profile"), Argument::None},     {QStringLiteral("settings"), Argument::None},
            {QStringLiteral("city"), Argument::None}};
}
