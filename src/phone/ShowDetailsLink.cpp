#include "ShowDetailsLink.h"

#include "ShowDetailsViewController.h"

#include "model/Utilities.h"
#include "platform/Printf.h"
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

QString ShowDetailsLink::make(const QDateTime& day, const QString& channelId, const QString& showId)
{
    return Printf::format(QStringLiteral("%@%@/%@/%@"), {QStringLiteral("orvane://progdetails/"),
                                                         Utilities::stringFromDate(day), channelId, showId});
}

void ShowDetailsLink::openKept(QPointer<ShowDetailsViewController>& kept, QObject* owner,
                               NavigationController* stack, const QString& showUrl)
{
    if (!kept)
        kept = new ShowDetailsViewController(owner);
    kept->setShowUrl(showUrl);
    if (stack && !stack->viewControllers().contains(kept))
        stack->pushViewController(kept, true);
}
