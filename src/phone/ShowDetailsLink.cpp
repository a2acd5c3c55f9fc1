#include "ShowDetailsLink.h"

#include "ui/NavigationController.h"
#include "ui/PlaceholderViewController.h"

bool ShowDetailsLink::isShowLink(const QString& address)
{
    return address.contains(QStringLiteral("orvane://progdetails/"));
}

void ShowDetailsLink::open(ViewController* from, const QString& showUrl)
{
    // The details screen arrives with its own work; its stand-in carries the link.
    auto* details = new PlaceholderViewController(QStringLiteral("ShowDetailsViewController_iPhone"),
                                                  QStringLiteral("Details"), QStringLiteral("now_tab"));
    details->setProperty("showUrl", showUrl);
    details->setHidesBottomBarWhenPushed(true);
    if (NavigationController* stack = from->navigationController())
        stack->pushViewController(details, true);
    else
        details->deleteLater();
}
