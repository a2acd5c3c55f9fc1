#pragma once

#include "ViewController.h"

#include <QList>

class NavigationBar;
class QStackedLayout;

// A stack of screens under a navigation bar. Pushed screens that have no owner belong to the
// controller; screens with an owner of their own are only shown and survive it.
class NavigationController : public ViewController
{
    Q_OBJECT

public:
    explicit NavigationController(ViewController* rootViewController, QObject* parent = nullptr);
    // Screens owned elsewhere (kept by their creator) get their views back and are let go.
    ~NavigationController() override;

    QList<ViewController*> viewControllers() const;
    ViewController* topViewController() const;
    ViewController* visibleViewController() const;
    NavigationBar* navigationBar();

    void pushViewController(ViewController* controller, bool animated);
    ViewController* popViewControllerAnimated(bool animated);
    void popToRootViewControllerAnimated(bool animated);
    // Pops the screens above controller (one in this stack); the top one leaves animated.
    void popToViewController(ViewController* controller, bool animated);

    int supportedInterfaceOrientations() const override;
    QList<ViewController*> visibleChildViewControllers() const override;

Q_SIGNALS:
    // After the top screen changed (push or pop).
    void topChanged();

protected:
    void loadView() override;
    // Called before a screen is shown as the top of the stack.
    virtual void willShowViewController(ViewController* controller, bool animated) {}
    virtual void didShowViewController(ViewController* controller, bool animated) {}

private:
    void show(ViewController* incoming, ViewController* outgoing, bool animated);

    QList<QPointer<ViewController>> m_stack;
    NavigationBar* m_bar = nullptr;
    QStackedLayout* m_content = nullptr;
};
