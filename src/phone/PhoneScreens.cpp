#include "PhoneScreens.h"

#include "CSelectorViewController.h"
#include "NowViewController.h"
#include "ProgramViewController.h"

#include "core/AppDelegate.h"
#include "ui/PlaceholderViewController.h"

namespace {

// A stand-in screen that shows the offline line while the content server is unreachable.
PlaceholderViewController* placeholder(const QString& nibName, const QString& titleKey,
                                       const QString& imageName)
{
    auto* screen = new PlaceholderViewController(nibName, titleKey, imageName);
    if (AppDelegate* app = AppDelegate::shared())
        screen->setOffline(!app->isConnectionAvailable());
    return screen;
}

} // namespace

ViewController* PhoneScreens::createRoot(PhoneTab tab)
{
    // The tab screens arrive one by one; until then each tab shows its title and icon.
    switch (tab) {
    case PhoneTab::Now:
        return new NowViewController;
    case PhoneTab::Program:
        return new ProgramViewController;
    case PhoneTab::Twitter:
        return placeholder(phoneTabNibName(tab),
                           QStringLiteral(QT_TRANSLATE_NOOP("orv_localizable", "Twitter")),
                           QStringLiteral("twitter_tab"));
    case PhoneTab::Profile:
        return placeholder(phoneTabNibName(tab),
                           QStringLiteral(QT_TRANSLATE_NOOP("orv_localizable", "Profile")),
                           QStringLiteral("profile_tab"));
    case PhoneTab::Settings:
        return placeholder(phoneTabNibName(tab),
                           QStringLiteral(QT_TRANSLATE_NOOP("orv_localizable", "Settings")),
                           QStringLiteral("settings_tab"));
    }
    return nullptr;
}

ViewController* PhoneScreens::createCityChooser(int)
{
    return placeholder(QStringLiteral("CityChooseViewController"),
                       QStringLiteral(QT_TRANSLATE_NOOP("orv_localizable", "City")),
                       QStringLiteral("settings_tab"));
}

ViewController* PhoneScreens::createChannelSelector()
{
    return new CSelectorViewController;
}
