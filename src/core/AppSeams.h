#pragma once

#include "PhoneTab.h"

#include <functional>

class AppDelegate;
class QObject;
class ViewController;

// The application controller's calls into parts that are built elsewhere: the programs
// wire them (the application's main, tests). A missing seam is skipped with a log line.
struct AppSeams
{
    // Starts the identification loop (and with it the microphone capture).
    std::function<void()> startIdentification;
    // The root screen of each phone tab.
    std::function<ViewController*(PhoneTab)> createPhoneRoot;
    // The tablet's root pane.
    std::function<ViewController*()> createTabletRoot;
    // The city chooser, told the last city id; it reports to the controller's cityHasChoosed().
    std::function<ViewController*(int lastCityId)> createCityChooser;
    // The phone channel selector; it has a "delegate" property.
    std::function<ViewController*()> createChannelSelector;
};
