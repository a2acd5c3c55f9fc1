#include "ORVNavigationController.h"

#include "ui/Images.h"
#include "ui/NavigationBar.h"

#include <QLabel>

ORVNavigationController::ORVNavigationController(ViewController* rootViewController, QObject* parent)
    : NavigationController(rootViewController, parent)
{}

void ORVNavigationController::loadView()
{
    NavigationController::loadView();
    navigationBar()->setTintColor(TintColor);
}

void ORVNavigationController::willShowViewController(ViewController* controller, bool animated)
{
    if (navigationBar())
        navigationBar()->setTintColor(TintColor);
    auto* logo = new QLabel;
    logo->setObjectName(QStringLiteral("logo"));
    logo->setPixmap(Images::named(QStringLiteral("logo.png")));
    logo->setAttribute(Qt::WA_TranslucentBackground);
    logo->setScaledContents(true); // the bar gives it its size, in proportion
    controller->navigationItem()->setTitleView(logo);
}

int ORVNavigationController::supportedInterfaceOrientations() const
{
    return NavigationController::supportedInterfaceOrientations();
}
