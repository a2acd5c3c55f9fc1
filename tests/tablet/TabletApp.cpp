#include "TabletApp.h"

#include "platform/Device.h"
#include "platform/ServerConfig.h"
#include "social/ORVTwitterService.h"
#include "tablet/ORVRootController.h"
#include "tablet/TabletScreens.h"
#include "ui/AlertView.h"
#include "widgets/StackedPanesController.h"

#include <QTest>

TabletApp::TabletApp() : m_server(std::make_unique<ServerFixture>())
{
    ServerConfig::setContentHost(m_server->hostWithPort());
    launch();
}

TabletApp::TabletApp(const QString& contentHost)
{
    ServerConfig::setContentHost(contentHost);
    launch();
}

TabletApp::~TabletApp()
{
    dismissAlerts();
    m_app.reset();
    ORVTwitterService::resetSharedManager();
    Device::setIdiom(Device::Idiom::Phone);
}

void TabletApp::launch()
{
    Device::setIdiom(Device::Idiom::Tablet);
    // A fresh process as far as the Twitter account service knows.
    ORVTwitterService::resetSharedManager();
    AppSeams seams;
    seams.createTabletRoot = &TabletScreens::createRoot;
    m_app = std::make_unique<AppDelegate>(seams);
    m_app->applicationDidFinishLaunchingWithOptions();
}

ORVRootController* TabletApp::root() const
{
    StackedPanesController* stack = m_app->stackController();
    return stack ? qobject_cast<ORVRootController*>(stack->rootViewController()) : nullptr;
}

bool TabletApp::waitUntilReady(int timeoutMs)
{
    return QTest::qWaitFor(
        [this] { return m_app->isConnectionAvailable() && root() && root()->navController(); }, timeoutMs);
}

void TabletApp::dismissAlerts()
{
    for (AlertView* alert : AlertView::visibleAlerts())
        alert->dismissWithClickedButtonIndex(0, false);
}
