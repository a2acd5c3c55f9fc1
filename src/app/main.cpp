#include "AppOptions.h"
#include "ScreenOpener.h"
#include "ScreenshotTaker.h"
#include "widgets/TwitterSession.h"

#include "core/AppDelegate.h"
#include "fingerprint/AudioCallback.h"
#include "fingerprint/SearchCalls.h"
#include "phone/PhoneScreens.h"
#include "platform/Device.h"
#include "platform/EventStore.h"
#include "platform/Location.h"
#include "platform/ServerConfig.h"
#include "platform/Services.h"
#include "platform/StringTable.h"
#include "tablet/TabletScreens.h"
#include "ui/Window.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLocale>
#include <QTimer>

#include <cstdio>

namespace {

// ORVANE_EXIT_AFTER_FIRST_PAINT=1 (start-up benchmark): print "first-paint" once the window
// (any of its widgets) has been painted, then quit.
class FirstPaintProbe : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            QTimer::singleShot(0, [] {
                std::printf("first-paint\n");
                std::fflush(stdout);
                QCoreApplication::exit(0);
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool m_seen = false;
};

AppSeams applicationSeams()
{
    AppSeams seams;
    seams.createPhoneRoot = &PhoneScreens::createRoot;
    seams.createTabletRoot = &TabletScreens::createRoot;
    seams.createCityChooser = &PhoneScreens::createCityChooser;
    seams.createChannelSelector = &PhoneScreens::createChannelSelector;
    seams.startIdentification = [] { SearchCalls::sharedManager(); };
    return seams;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication::setApplicationName(QStringLiteral("orvane"));
    QApplication::setApplicationVersion(QStringLiteral(ORVANE_VERSION));

    // The command line is read before the window system is reached, so that --help and
    // mistakes are answered on a machine without a display too.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    AppOptions options;
    QString message;
    switch (AppOptions::parse(arguments, &options, &message)) {
    case AppOptions::Outcome::ExitOk:
        std::printf("%s\n", qPrintable(message));
        return 0;
    case AppOptions::Outcome::ExitError:
        std::fprintf(stderr, "orvane: %s\n", qPrintable(message));
        return 2;
    case AppOptions::Outcome::Run:
        break;
    }

    QApplication app(argc, argv);
    // The shared services and their threads: made first, stopped in reverse order once the
    // event loop has returned, while the screens that observe them still exist.
    Services services;
    Device::setIdiom(options.idiom);
    ServerConfig::setContentHost(options.contentHost);
    ServerConfig::setIdentificationHost(options.idHost);
    AudioCallback::setInputSpec(options.audioInput.toStdString());
    EventStore::setDefaultRoot(options.calendarDir);
    if (!options.location.isEmpty())
        Location::setFixed(Location::parse(options.location));
    if (!options.twitterApi.isEmpty())
        TwitterSession::setApiBase(QUrl(options.twitterApi));
    StringTable::install(options.language.isEmpty() ? QLocale::system().uiLanguages()
                                                    : QStringList{options.language});

    AppDelegate delegate(applicationSeams());
    delegate.applicationDidFinishLaunchingWithOptions();

    FirstPaintProbe probe;
    if (qEnvironmentVariableIntValue("ORVANE_EXIT_AFTER_FIRST_PAINT") == 1)
        app.installEventFilter(&probe);

    ScreenOpener* opener = nullptr;
    if (!options.showScreen.isEmpty()) {
        opener = new ScreenOpener(&delegate, options.showScreen, options.showArgument, &app);
        opener->start();
    }
    if (!options.screenshotFile.isEmpty()) {
        auto* taker = new ScreenshotTaker(delegate.window(), options.screenshotFile, &app);
        const int afterMs = int(options.screenshotAfterSeconds * 1000);
        const auto startTaker = [taker, afterMs] {
            if (afterMs > 0)
                taker->start(afterMs, afterMs + 5000);
            else
                taker->start();
        };
        // With a screen to open, the picture waits until it was opened.
        if (opener)
            QObject::connect(opener, &ScreenOpener::opened, taker, startTaker);
        else
            startTaker();
    }
    const int status = app.exec();
    services.shutdown();
    return status;
}
