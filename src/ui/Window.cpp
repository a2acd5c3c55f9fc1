#include "Window.h"

#include "LivePointers.h"
#include "ViewController.h"

namespace {
QPointer<Window>& keyWindowPointer()
{
    static QPointer<Window> window;
    return window;
}
} // namespace

Window::Window(const QSize& size, QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("window"));
    setFixedSize(size);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::black);
    setPalette(palette);
}

Window::~Window()
{
    if (keyWindowPointer() == this)
        keyWindowPointer() = nullptr;
}

Window* Window::keyWindow()
{
    return keyWindowPointer();
}

void Window::setRootViewController(ViewController* controller)
{
    if (m_root == controller)
        return;
    if (m_root) {
        if (m_root->isVisible())
            m_root->beginAppearance(false, false);
        m_root->view()->hide();
        if (m_root->isVisible())
            m_root->endAppearance(false, false);
    }
    m_root = controller;
    if (!controller)
        return;
    controller->setParent(this);
    QWidget* view = controller->view();
    view->setParent(this);
    view->setGeometry(rect());
    view->lower();
    if (isVisible()) {
        controller->beginAppearance(true, false);
        view->show();
        controller->endAppearance(true, false);
    }
}

void Window::makeKeyAndVisible()
{
    keyWindowPointer() = this;
    if (m_root)
        m_root->beginAppearance(true, false);
    show();
    if (m_root) {
        m_root->view()->show();
        m_root->endAppearance(true, false);
    }
}

ViewController* Window::topViewController() const
{
    for (auto it = m_modals.crbegin(); it != m_modals.crend(); ++it) {
        if (*it)
            return *it;
    }
    return m_root;
}

QList<ViewController*> Window::modalViewControllers() const
{
    return livePointers(m_modals);
}

void Window::presentModal(ViewController* controller, bool animated)
{
    ViewController* covered = topViewController();
    if (!controller->parent()) {
        controller->setParent(this);
        m_adopted.append(controller);
    }
    QWidget* view = controller->view();
    if (covered)
        covered->beginAppearance(false, animated);
    controller->beginAppearance(true, animated);
    view->setParent(this);
    view->setGeometry(rect());
    view->show();
    view->raise();
    m_modals.append(controller);
    if (covered)
        covered->endAppearance(false, animated);
    controller->endAppearance(true, animated);
}

void Window::dismissModal(ViewController* controller, bool animated)
{
    const qsizetype index = m_modals.indexOf(controller);
    if (index < 0)
        return;
    m_modals.removeAt(index);
    ViewController* uncovered = topViewController();
    controller->beginAppearance(false, animated);
    if (uncovered)
        uncovered->beginAppearance(true, animated);
    controller->view()->hide();
    controller->view()->setParent(nullptr);
    controller->endAppearance(false, animated);
    if (uncovered)
        uncovered->endAppearance(true, animated);
    if (m_adopted.removeAll(controller) > 0)
        controller->deleteLater();
}

void Window::addOverlay(QWidget* overlay, bool keepGeometry)
{
    overlay->setParent(this);
    if (!keepGeometry)
        overlay->setGeometry(rect());
    overlay->show();
    overlay->raise();
}

void Window::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (m_root && m_root->isViewLoaded())
        m_root->view()->setGeometry(rect());
    for (const auto& controller : m_modals) {
        if (controller && controller->isViewLoaded())
            controller->view()->setGeometry(rect());
    }
}
