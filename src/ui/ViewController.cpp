#include "ViewController.h"

#include "NavigationController.h"
#include "TabBarController.h"
#include "ViewTag.h"
#include "Window.h"

#include <QWidget>

ViewController::ViewController(const QString& nibName, QObject* parent) : QObject(parent), m_nibName(nibName)
{
    if (!nibName.isEmpty())
        setObjectName(nibName);
}

ViewController::~ViewController()
{
    delete m_view.data();
}

QWidget* ViewController::view()
{
    if (!m_view && !m_loading) {
        m_loading = true;
        loadView();
        if (!m_view)
            setView(new QWidget);
        m_loading = false;
        viewDidLoad();
    }
    return m_view;
}

void ViewController::loadView()
{
    setView(new QWidget);
}

void ViewController::setView(QWidget* view)
{
    m_view = view;
    if (view && view->objectName().isEmpty())
        view->setObjectName(objectName().isEmpty() ? QString::fromLatin1(metaObject()->className())
                                                   : objectName());
}

QWidget* ViewController::viewWithTag(int tag)
{
    return ViewTag::find(view(), tag);
}

void ViewController::setTitle(const QString& title)
{
    m_title = title;
    m_navigationItem.setTitle(title);
    Q_EMIT titleChanged();
}

void ViewController::setParentViewController(ViewController* parent)
{
    m_parent = parent;
    // A container owns the screens nobody else owns; a screen its creator keeps (made once
    // and shown again and again) stays its creator's.
    if (parent && !QObject::parent())
        setParent(parent);
}

NavigationController* ViewController::navigationController() const
{
    for (ViewController* node = m_parent; node; node = node->m_parent) {
        if (auto* navigation = qobject_cast<NavigationController*>(node))
            return navigation;
    }
    return nullptr;
}

TabBarController* ViewController::tabBarController() const
{
    for (ViewController* node = m_parent; node; node = node->m_parent) {
        if (auto* tabs = qobject_cast<TabBarController*>(node))
            return tabs;
    }
    return nullptr;
}

void ViewController::presentModalViewController(ViewController* controller, bool animated)
{
    if (!controller || m_presented)
        return;
    Window* window = Window::keyWindow();
    if (!window)
        return;
    m_presented = controller;
    controller->m_presenting = this;
    window->presentModal(controller, animated);
}

void ViewController::dismissModalViewControllerAnimated(bool animated)
{
    ViewController* target = m_presented ? m_presented.data() : this;
    ViewController* presenter = target->m_presenting;
    if (!presenter)
        return;
    if (Window* window = Window::keyWindow())
        window->dismissModal(target, animated);
    presenter->m_presented = nullptr;
    target->m_presenting = nullptr;
}

void ViewController::beginAppearance(bool appearing, bool animated)
{
    if (appearing == m_visible)
        return;
    view();
    if (appearing)
        viewWillAppear(animated);
    else
        viewWillDisappear(animated);
    for (ViewController* child : visibleChildViewControllers())
        child->beginAppearance(appearing, animated);
}

void ViewController::endAppearance(bool appearing, bool animated)
{
    if (appearing == m_visible)
        return;
    m_visible = appearing;
    if (appearing)
        viewDidAppear(animated);
    else
        viewDidDisappear(animated);
    for (ViewController* child : visibleChildViewControllers())
        child->endAppearance(appearing, animated);
}
