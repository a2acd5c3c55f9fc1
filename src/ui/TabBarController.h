#pragma once

#include "ViewController.h"

#include <QList>

class QStackedLayout;
class TabBar;

// Screens side by side, one shown at a time, chosen by the tab bar at the bottom. The tab
// bar hides while the shown navigation stack's top screen asks for it.
class TabBarController : public ViewController
{
    Q_OBJECT

public:
    explicit TabBarController(QObject* parent = nullptr);

    void setViewControllers(const QList<ViewController*>& controllers);
    QList<ViewController*> viewControllers() const;
    int selectedIndex() const { return m_selected; }
    void setSelectedIndex(int index);
    ViewController* selectedViewController() const;
    TabBar* tabBar();
    bool isTabBarHidden() const;

    QList<ViewController*> visibleChildViewControllers() const override;

protected:
    void loadView() override;

private:
    void updateTabBarVisibility();
    void refreshItems();

    QList<QPointer<ViewController>> m_controllers;
    int m_selected = 0;
    TabBar* m_tabBar = nullptr;
    QStackedLayout* m_content = nullptr;
};
