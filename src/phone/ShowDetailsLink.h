#pragma once

#include <QString>

class ViewController;

// Show links ("orvane://progdetails/DAY/CHANNEL/SHOW") in pages, and the show details
// screen they open, pushed over the tab bar onto the stack of the screen that met the link.
namespace ShowDetailsLink {

bool isShowLink(const QString& address);
void open(ViewController* from, const QString& showUrl);

} // namespace ShowDetailsLink
