#pragma once

#include <QObject>
#include <QString>

class AppDelegate;
class ORVRootController;
class QTimer;
class ViewController;

// Opens one screen after start-up the way a user reaches it (tabs, bar buttons, a channel
// chosen by hand), for demos, screenshots and checks. It waits for the first connectivity
// answer (at most a few seconds), acts once and deletes itself.
class ScreenOpener : public QObject
{
    Q_OBJECT

public:
    static constexpr int WaitForConnectionMs = 5000;

    ScreenOpener(AppDelegate* app, const QString& screen, const QString& argument, QObject* parent = nullptr);
    void start();

Q_SIGNALS:
    // After the screen was asked for (its data may still be loading).
    void opened();

private:
    void open();
    void openPhoneScreen();
    void openTabletScreen();
    // The talk screen, and for "tweet" and "profile" the panel of the argument's tweet or user.
    void openTabletTalk(ORVRootController* root);
    // The root screen of a phone tab, selecting the tab.
    ViewController* selectTab(int index);
    void chooseChannelThenShowProgram(int channelId);

    AppDelegate* m_app;
    QString m_screen;
    QString m_argument;
    QTimer* m_poll;
    int m_waitedMs = 0;
};
