#pragma once

#include "ServerFixture.h"
#include "TestHome.h"

#include "core/AppDelegate.h"

#include <memory>

class ORVRootController;

// A tablet application in a fresh home, started against the demo content server on loopback
// (or against another host, a dead one for instance). The idiom goes back to the phone's and
// open alerts are dismissed when it goes. Each starts the Twitter account service afresh.
class TabletApp
{
public:
    TabletApp();
    explicit TabletApp(const QString& contentHost);
    ~TabletApp();

    AppDelegate& app() { return *m_app; }
    ServerFixture& server() { return *m_server; }
    ORVRootController* root() const;
    // Waits for the connection and the navigation pane; false when they did not come.
    bool waitUntilReady(int timeoutMs = 10000);

    static void dismissAlerts();

private:
    void launch();

    TestHome m_home;
    std::unique_ptr<ServerFixture> m_server;
    std::unique_ptr<AppDelegate> m_app;
};
