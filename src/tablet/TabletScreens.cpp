#include "TabletScreens.h"

#include "core/AppDelegate.h"
#include "ui/PlaceholderViewController.h"

ViewController* TabletScreens::createRoot()
{
    // The root pane's menu arrives with the tablet screens; until then it shows the logo title.
    auto* screen = new PlaceholderViewController(QStringLiteral("ORVRootController"),
                                                 QStringLiteral(QT_TRANSLATE_NOOP("orv_localizable", "Now")),
                                                 QStringLiteral("now_tab"));
    if (AppDelegate* app = AppDelegate::shared())
        screen->setOffline(!app->isConnectionAvailable());
    return screen;
}
