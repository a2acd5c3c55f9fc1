#include "ScreenOpener.h"

#include "core/AppDelegate.h"
#include "core/PhoneTab.h"
#include "phone/CSelectorViewController.h"
#include "phone/NowViewController.h"
#include "phone/ShowDetailsLink.h"
#include "platform/Device.h"
#include "service/ContentAddresses.h"
#include "service/ServiceCalls.h"
#include "social/ORVTwitterService.h"
#include "tablet/KTPhotoScrollViewController.h"
#include "tablet/ORVRootController.h"
#include "tablet/ORVTwitterViewController.h"
#include "tablet/Photos.h"
#include "ui/NavigationController.h"
#include "ui/TabBarController.h"
#include "widgets/StackedPanesController.h"

#include <QLineEdit>
#include <QPointer>
#include <QTimer>

namespace {

constexpr int PollMs = 100;

} // namespace

ScreenOpener::ScreenOpener(AppDelegate* app, const QString& screen, const QString& argument, QObject* parent)
    : QObject(parent), m_app(app), m_screen(screen), m_argument(argument), m_poll(new QTimer(this))
{
    m_poll->setInterval(PollMs);
    connect(m_poll, &QTimer::timeout, this, [this] {
        m_waitedMs += PollMs;
        if (m_app->isConnectionAvailable() || m_waitedMs >= WaitForConnectionMs) {
            m_poll->stop();
            open();
        }
    });
}

void ScreenOpener::start()
{
    m_poll->start();
}

void ScreenOpener::open()
{
    if (Device::isTablet())
        openTabletScreen();
    else
        openPhoneScreen();
    Q_EMIT opened();
    deleteLater();
}

void ScreenOpener::openTabletScreen()
{
    StackedPanesController* stack = m_app->stackController();
    if (m_screen == u"expanded") {
        if (stack)
            stack->expandStack(false);
    } else if (m_screen == u"photos") {
        // The channel's live pictures of the last quarter of an hour, as the board opens them.
        Photos* live = Photos::initWithTimeStamp(0, m_app);
        live->updateTimeStamp();
        for (int d = 0; d < 15; ++d)
            live->pushPhotoUrl(ContentAddresses::showPicture(m_argument, d).toString());
        auto* browser = new KTPhotoScrollViewController(live, {}, 0, stack ? stack->view() : nullptr);
        browser->show();
    } else if (m_screen == u"program" || m_screen == u"details" || m_screen == u"selector" ||
               m_screen == u"settings" || m_screen == u"search" || m_screen == u"special") {
        auto* root = stack ? qobject_cast<ORVRootController*>(stack->rootViewController()) : nullptr;
        if (root && m_screen == u"selector")
            root->didSelectMenuRow(1);
        else if (root && m_screen == u"settings")
            root->settingsTouch();
        else if (root && m_screen == u"search")
            root->showSearch(m_argument);
        else if (root && m_screen == u"special")
            root->showSpecialContentWithUrl(m_argument);
        else if (root && m_screen == u"program")
            root->showProgramForChannel(m_argument);
        else if (root && !root->openShowLink(m_argument))
            qInfo("--show details:%s: not a show link", qPrintable(m_argument));
    } else if (m_screen == u"talk" || m_screen == u"tweet" || m_screen == u"profile") {
        openTabletTalk(stack ? qobject_cast<ORVRootController*>(stack->rootViewController()) : nullptr);
    } else if (m_screen != u"root" && m_screen != u"board") {
        qInfo("--show %s: not a tablet screen yet; showing the start screen", qPrintable(m_screen));
    }
}

void ScreenOpener::openTabletTalk(ORVRootController* root)
{
    if (!root)
        return;
    root->didSelectMenuRow(2);
    auto* talk = qobject_cast<ORVTwitterViewController*>(root->menuScreen(2));
    if (!talk || m_screen == u"talk")
        return;
    // The tweet or the user as Twitter has them, then their panel; nothing without an account.
    QPointer<ORVTwitterViewController> screen(talk);
    const auto failed = [](const Error& error) {
        qInfo("--show: Twitter did not answer: %s", qPrintable(error.localizedDescription()));
    };
    ORVTwitterService& service = ORVTwitterService::sharedManager();
    if (m_screen == u"tweet") {
        service.tweetWithId(
            m_argument, talk,
            [screen](const QVariant& answer) {
                if (screen && answer.toMap().contains(QStringLiteral("id_str")))
                    screen->openDetails(Tweet::initWithDictionaryFromTwitter(answer.toMap()));
            },
            failed);
        return;
    }
    const auto answered = [screen](const QVariant& answer) {
        if (screen && answer.toMap().contains(QStringLiteral("id_str")))
            screen->openProfile(answer.toMap());
    };
    bool numeric = false;
    m_argument.toLongLong(&numeric);
    if (numeric)
        service.twitterProfileWithId(m_argument, talk, answered, failed);
    else
        service.twitterProfileWithScreenName(m_argument, talk, answered, failed);
}

ViewController* ScreenOpener::selectTab(int index)
{
    TabBarController* tabs = m_app->tabBarController();
    if (!tabs)
        return nullptr;
    tabs->setSelectedIndex(index);
    auto* stack = qobject_cast<NavigationController*>(tabs->selectedViewController());
    return stack && !stack->viewControllers().isEmpty() ? stack->viewControllers().first()
                                                        : tabs->selectedViewController();
}

void ScreenOpener::openPhoneScreen()
{
    const auto tab = [](PhoneTab t) { return int(t); };
    if (m_screen == u"now") {
        selectTab(tab(PhoneTab::Now));
    } else if (m_screen == u"program") {
        bool numeric = false;
        const int channelId = m_argument.toInt(&numeric);
        if (numeric && channelId > 0)
            chooseChannelThenShowProgram(channelId);
        else
            selectTab(tab(PhoneTab::Program));
    } else if (m_screen == u"selector") {
        m_app->showProgramSelectorWithDelegate(selectTab(tab(PhoneTab::Now)));
    } else if (m_screen == u"search") {
        if (auto* now = qobject_cast<NowViewController*>(selectTab(tab(PhoneTab::Now)))) {
            now->showSearchController();
            now->searchViewController()->searchBar()->setText(m_argument);
            now->searchViewController()->searchBarSearchButtonClicked();
        }
    } else if (m_screen == u"details") {
        if (ViewController* now = selectTab(tab(PhoneTab::Now)))
            ShowDetailsLink::open(now, m_argument);
    } else if (m_screen == u"talk") {
        selectTab(tab(PhoneTab::Twitter));
    } else if (m_screen == u"profile") {
        selectTab(tab(PhoneTab::Profile));
    } else if (m_screen == u"settings") {
        selectTab(tab(PhoneTab::Settings));
    } else if (m_screen == u"city") {
        selectTab(tab(PhoneTab::Settings));
        m_app->showCitySelector();
    }
}

void ScreenOpener::chooseChannelThenShowProgram(int channelId)
{
    // As a tap in the channel selector does: the channel's live data, then chosen by hand.
    AppDelegate* app = m_app;
    ServiceCalls::sharedManager().getChannelInfoDinamicWithChannelId(
        channelId,
        Reply(
            app,
            [app, channelId](const QVariant& answer) {
                if (auto channel = CSelectorViewController::channelFromDynamicInfo(answer, channelId))
                    app->setSelectedChannel(channel);
                if (TabBarController* tabs = app->tabBarController())
                    tabs->setSelectedIndex(int(PhoneTab::Program));
            },
            [](const Error& error) {
                qWarning("--show program: %s", qPrintable(error.localizedDescription()));
            }));
}
