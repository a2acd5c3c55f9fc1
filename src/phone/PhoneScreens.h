#pragma once

#include "core/PhoneTab.h"

class ViewController;

// The phone's screens, as the application controller asks for them.
class PhoneScreens
{
public:
    // The root screen of a tab, titled and iconed as the tab bar shows it.
    static ViewController* createRoot(PhoneTab tab);
    static ViewController* createCityChooser(int lastCityId);
    static ViewController* createChannelSelector();
};
