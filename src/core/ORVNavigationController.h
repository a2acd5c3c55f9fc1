#pragma once

#include "ui/NavigationController.h"

#include <QPointer>

// The navigation stack of every phone tab and of the modal selectors: a bar tinted
// (91, 102, 171) and the logo image as the title view of every screen it shows.
class ORVNavigationController : public NavigationController
{
    Q_OBJECT

public:
    static inline const QColor TintColor = QColor::fromRgbF(91 / 255.0, 102 / 255.0, 171 / 255.0, 1.0);

    explicit ORVNavigationController(ViewController* rootViewController, QObject* parent = nullptr);

    ViewController* currentViewController() const { return m_currentViewController; }
    void setCurrentViewController(ViewController* controller) { m_currentViewController = controller; }

    // Always allows rotation; the top screen decides the orientations.
    int supportedInterfaceOrientations() const override;

protected:
    void loadView() override;
    void willShowViewController(ViewController* controller, bool animated) override;

private:
    QPointer<ViewController> m_currentViewController;
};
