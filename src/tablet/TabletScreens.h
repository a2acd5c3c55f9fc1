#pragma once

class ViewController;

// The tablet's screens, as the application controller asks for them.
class TabletScreens
{
public:
    // The root pane (the menu on the left).
    static ViewController* createRoot();
};
