#include "TabletScreens.h"

#include "ORVRootController.h"

ViewController* TabletScreens::createRoot()
{
    return new ORVRootController;
}
