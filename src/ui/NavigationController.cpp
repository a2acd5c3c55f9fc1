#include "NavigationController.h"

#include "LivePointers.h"
#include "NavigationBar.h"

#include <QStackedLayout>
#include <QVBoxLayout>
#include <QWidget>

NavigationController::NavigationController(ViewController* rootViewController, QObject* parent)
    : ViewController(QString(), parent)
{
    if (rootViewController) {
        rootViewController->setParentViewController(this);
        m_stack.append(rootViewController);
    }
}

NavigationController::~NavigationController()
{
    for (const QPointer<ViewController>& controller : std::as_const(m_stack)) {
        if (!controller || controller->parent() == this)
            continue;
        // Its view is a child of this controller's view: taken out before that goes.
        if (controller->isViewLoaded()) {
            if (m_content)
                m_content->removeWidget(controller->view());
            controller->view()->hide();
            controller->view()->setParent(nullptr);
        }
        controller->setParentViewController(nullptr);
    }
}

void NavigationController::loadView()
{
    auto* view = new QWidget;
    auto* layout = new QVBoxLayout(view);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_bar = new NavigationBar(view);
    layout->addWidget(m_bar);
    auto* content = new QWidget(view);
    m_content = new QStackedLayout(content);
    layout->addWidget(content, 1);
    connect(m_bar, &NavigationBar::backRequested, this, [this] { popViewControllerAnimated(true); });
    setView(view);
    if (ViewController* top = topViewController())
        show(top, nullptr, false);
}

QList<ViewController*> NavigationController::viewControllers() const
{
    return livePointers(m_stack);
}

ViewController* NavigationController::topViewController() const
{
    return m_stack.isEmpty() ? nullptr : m_stack.last().data();
}

ViewController* NavigationController::visibleViewController() const
{
    ViewController* top = topViewController();
    return top && top->modalViewController() ? top->modalViewController() : top;
}

NavigationBar* NavigationController::navigationBar()
{
    view();
    return m_bar;
}

void NavigationController::pushViewController(ViewController* controller, bool animated)
{
    if (!controller || m_stack.contains(controller))
        return;
    ViewController* outgoing = topViewController();
    controller->setParentViewController(this);
    m_stack.append(controller);
    if (isViewLoaded())
        show(controller, outgoing, animated);
}

ViewController* NavigationController::popViewControllerAnimated(bool animated)
{
    if (m_stack.size() < 2)
        return nullptr;
    ViewController* outgoing = m_stack.takeLast();
    if (isViewLoaded())
        show(topViewController(), outgoing, animated);
    return outgoing;
}

void NavigationController::popToRootViewControllerAnimated(bool animated)
{
    if (m_stack.size() < 2)
        return;
    ViewController* outgoing = topViewController();
    while (m_stack.size() > 1)
        m_stack.removeLast();
    if (isViewLoaded())
        show(topViewController(), outgoing, animated);
}

void NavigationController::popToViewController(ViewController* controller, bool animated)
{
    if (!viewControllers().contains(controller) || topViewController() == controller)
        return;
    ViewController* outgoing = topViewController();
    while (topViewController() != controller)
        m_stack.removeLast();
    if (isViewLoaded())
        show(controller, outgoing, animated);
}

void NavigationController::show(ViewController* incoming, ViewController* outgoing, bool animated)
{
    const bool visible = isVisible();
    willShowViewController(incoming, animated);
    if (outgoing && visible)
        outgoing->beginAppearance(false, animated);
    if (visible)
        incoming->beginAppearance(true, animated);

    QWidget* page = incoming->view();
    if (m_content->indexOf(page) < 0)
        m_content->addWidget(page);
    m_content->setCurrentWidget(page);
    if (outgoing && !m_stack.contains(outgoing))
        m_content->removeWidget(outgoing->view());

    const int depth = int(m_stack.size());
    const QString backTitle = depth > 1 ? m_stack[depth - 2]->title() : QString();
    m_bar->showItem(incoming->navigationItem(), backTitle);

    if (outgoing && visible)
        outgoing->endAppearance(false, animated);
    if (visible)
        incoming->endAppearance(true, animated);
    didShowViewController(incoming, animated);
    Q_EMIT topChanged();
}

int NavigationController::supportedInterfaceOrientations() const
{
    ViewController* top = topViewController();
    return top ? top->supportedInterfaceOrientations() : Portrait;
}

QList<ViewController*> NavigationController::visibleChildViewControllers() const
{
    ViewController* top = topViewController();
    return top ? QList<ViewController*>{top} : QList<ViewController*>{};
}
