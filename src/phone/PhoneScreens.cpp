#include "PhoneScreens.h"

#include "CSelectorViewController.h"
#include "CityChooseViewController.h"
#include "NowViewController.h"
#include "ProfileViewController.h"
#include "ProgramViewController.h"
#include "SettingsViewController.h"

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
        return new ProfileViewController;
    case PhoneTab::Settings:
        return new SettingsViewController;
    }
    return nullptr;
}

ViewController* PhoneScreens::createCityChooser(int lastCityId)
{
    return new CityChooseViewController(lastCityId);
}

ViewController* PhoneScreens::createChannelSelector()
{
    return new CSelectorViewController;
}
