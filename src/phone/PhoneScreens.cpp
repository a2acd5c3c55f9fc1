#include "PhoneScreens.h"

#include "CSelectorViewController.h"
#include "CityChooseViewController.h"
#include "NowViewController.h"
#include "ProfileViewController.h"
#include "ProgramViewController.h"
#include "SettingsViewController.h"

#include "core/AppDelegate.h"
#include "social/TWViewController.h"

ViewController* PhoneScreens::createRoot(PhoneTab tab)
{
    switch (tab) {
    case PhoneTab::Now:
        return new NowViewController;
    case PhoneTab::Program:
        return new ProgramViewController;
    case PhoneTab::Twitter:
        return new TWViewController;
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
