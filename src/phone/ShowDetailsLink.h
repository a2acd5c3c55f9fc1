#pragma once

#include <QDateTime>
#include <QPointer>
#include <QString>

class NavigationController;
class QObject;
class ShowDetailsViewController;
class ViewController;

// Show links ("orvane://progdetails/DAY/CHANNEL/SHOW") in pages, and the show details
// screen they open, pushed over the tab bar onto the stack of the screen that met the link.
namespace ShowDetailsLink {

bool isShowLink(const QString& address);
void open(ViewController* from, const QString& showUrl);
// "orvane://progdetails/" + the day of a moment ("yyyyMMdd") + "/CHANNEL/SHOW".
QString make(const QDateTime& day, const QString& channelId, const QString& showId);
// Shows the link in a screen's one kept details screen (made on first use, owned by owner),
// pushed onto the stack unless it is there already.
void openKept(QPointer<ShowDetailsViewController>& kept, QObject* owner, NavigationController* stack,
              const QString& showUrl);

} // namespace ShowDetailsLink
