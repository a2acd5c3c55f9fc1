#include "TabBarController.h"

#include "LivePointers.h"
#include "NavigationController.h"
#include "TabBar.h"

#include <QStackedLayout>
#include <QVBoxLayout>
#include <QWidget>

TabBarController::TabBarController(QObject* parent) : ViewController(QString(), parent) {}

void TabBarController::loadView()
{
    auto* view = new QWidget;
    auto* layout = new QVBoxLayout(view);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* content = new QWidget(view);
    m_content = new QStackedLayout(content);
    layout->addWidget(content, 1);
    m_tabBar = new TabBar(view);
    layout->addWidget(m_tabBar);
    connect(m_tabBar, &TabBar::tabClicked, this, &TabBarController::setSelectedIndex);
    setView(view);
    for (const auto& controller : m_controllers)
        m_content->addWidget(controller->view());
    refreshItems();
    if (!m_controllers.isEmpty())
        m_content->setCurrentIndex(m_selected);
    updateTabBarVisibility();
}

void TabBarController::setViewControllers(const QList<ViewController*>& controllers)
{
    m_controllers.clear();
    for (ViewController* controller : controllers) {
        controller->setParentViewController(this);
        m_controllers.append(controller);
        if (auto* navigation = qobject_cast<NavigationController*>(controller))
            connect(navigation, &NavigationController::topChanged, this,
                    &TabBarController::updateTabBarVisibility);
        if (isViewLoaded())
            m_content->addWidget(controller->view());
    }
    m_selected = 0;
    if (isViewLoaded()) {
        refreshItems();
        updateTabBarVisibility();
    }
}

QList<ViewController*> TabBarController::viewControllers() const
{
    return livePointers(m_controllers);
}

ViewController* TabBarController::selectedViewController() const
{
    return m_selected < m_controllers.size() ? m_controllers[m_selected].data() : nullptr;
}

TabBar* TabBarController::tabBar()
{
    view();
    return m_tabBar;
}

void TabBarController::refreshItems()
{
    QList<TabBarItem> items;
    for (const auto& controller : m_controllers) {
        // A navigation stack shows its root screen's tab item.
        ViewController* source = controller;
        if (auto* navigation = qobject_cast<NavigationController*>(controller.data())) {
            if (!navigation->viewControllers().isEmpty())
                source = navigation->viewControllers().first();
        }
        items.append(source->tabBarItem());
    }
    m_tabBar->setItems(items);
    m_tabBar->setSelectedIndex(m_selected);
}

void TabBarController::setSelectedIndex(int index)
{
    if (index < 0 || index >= m_controllers.size())
        return;
    if (index == m_selected) {
        if (auto* navigation = qobject_cast<NavigationController*>(selectedViewController()))
            navigation->popToRootViewControllerAnimated(true);
        return;
    }
    ViewController* outgoing = selectedViewController();
    ViewController* incoming = m_controllers[index];
    const bool visible = isVisible();
    if (visible) {
        outgoing->beginAppearance(false, false);
        incoming->beginAppearance(true, false);
    }
    m_selected = index;
    if (isViewLoaded()) {
        m_content->setCurrentWidget(incoming->view());
        m_tabBar->setSelectedIndex(index);
        updateTabBarVisibility();
    }
    if (visible) {
        outgoing->endAppearance(false, false);
        incoming->endAppearance(true, false);
    }
}

bool TabBarController::isTabBarHidden() const
{
    return m_tabBar && m_tabBar->isHidden();
}

void TabBarController::updateTabBarVisibility()
{
    if (!m_tabBar)
        return;
    bool hide = false;
    if (auto* navigation = qobject_cast<NavigationController*>(selectedViewController())) {
        const QList<ViewController*> stack = navigation->viewControllers();
        for (ViewController* controller : stack) {
            if (controller != stack.first() && controller->hidesBottomBarWhenPushed())
                hide = true;
        }
    }
    m_tabBar->setVisible(!hide);
}

QList<ViewController*> TabBarController::visibleChildViewControllers() const
{
    ViewController* selected = selectedViewController();
    return selected ? QList<ViewController*>{selected} : QList<ViewController*>{};
}
