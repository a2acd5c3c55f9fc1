#include "ShowDetailsLink.h"

#include "ShowDetailsViewController.h"

#include "ui/NavigationController.h"

bool ShowDetailsLink::isShowLink(const QString& address)
{
    return address.contains(QStringLiteral("orvane://progdetails/"));
}

void ShowDetailsLink::open(ViewController* from, const QString& showUrl)
{
    auto* details = new ShowDetailsViewController;
    details->setShowUrl(showUrl);
    if (NavigationController* stack = from->navigationController())
        stack->pushViewController(details, true);
    else
        details->deleteLater();
}
