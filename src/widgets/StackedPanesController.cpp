#include "StackedPanesController.h"

#include "PaneShadow.h"

#include "platform/NotificationCenter.h"
#include "ui/LivePointers.h"

#include <QMouseEvent>
#include <QVariantAnimation>
#include <QWidget>

StackedPanesController::StackedPanesController(ViewController* rootViewController, QObject* parent)
    : ViewController(QString(), parent), m_root(rootViewController)
{
    if (rootViewController)
        rootViewController->setParentViewController(this);
}

void StackedPanesController::loadView()
{
    auto* view = new QWidget;
    view->setObjectName(QStringLiteral("stackedPanes"));
    view->setAutoFillBackground(true);
    QPalette palette = view->palette();
    palette.setColor(QPalette::Window, QColor(38, 40, 52));
    view->setPalette(palette);
    if (m_root) {
        QWidget* menu = m_root->view();
        const QRect frame = menu->geometry();
        menu->setParent(view);
        menu->setGeometry(frame);
    }
    view->installEventFilter(this);
    setView(view);
    for (const auto& pane : m_panes)
        adopt(pane->view());
    layoutPanes();
}

void StackedPanesController::setLeftInset(int inset)
{
    m_leftInset = inset;
    layoutPanes();
}

void StackedPanesController::setLargeLeftInset(int inset)
{
    m_largeLeftInset = inset;
    m_offset = inset;
    layoutPanes();
}

void StackedPanesController::setEnableShadows(bool enable)
{
    m_shadows = enable;
    for (const auto& pane : m_panes) {
        if (pane && pane->isViewLoaded())
            applyShadow(pane->view());
    }
}

void StackedPanesController::setDefaultShadowAlpha(qreal alpha)
{
    m_shadowAlpha = alpha;
    setEnableShadows(m_shadows);
}

void StackedPanesController::setDefaultShadowWidth(qreal width)
{
    m_shadowWidth = width;
    setEnableShadows(m_shadows);
}

void StackedPanesController::applyShadow(QWidget* pane)
{
    QPointer<PaneShadow>& shadow = m_shadowOf[pane];
    if (!m_shadows || m_shadowWidth <= 0 || m_shadowAlpha <= 0) {
        delete shadow;
        m_shadowOf.remove(pane);
        return;
    }
    if (!shadow)
        shadow = new PaneShadow(m_shadowAlpha, view());
    shadow->setAlpha(m_shadowAlpha);
    shadow->attach(pane, int(m_shadowWidth));
}

QList<ViewController*> StackedPanesController::viewControllers() const
{
    return livePointers(m_panes);
}

ViewController* StackedPanesController::topViewController() const
{
    return m_panes.isEmpty() ? nullptr : m_panes.last().data();
}

void StackedPanesController::pushViewController(ViewController* controller,
                                                ViewController* fromViewController, bool animated)
{
    if (!controller)
        return;
    if (fromViewController && m_panes.contains(fromViewController)) {
        while (topViewController() != fromViewController)
            popViewControllerAnimated(false);
    }
    controller->setParentViewController(this);
    m_panes.append(controller);
    if (!isViewLoaded())
        return;
    const bool visible = isVisible();
    if (visible)
        controller->beginAppearance(true, animated);
    QWidget* pane = controller->view();
    adopt(pane);
    layoutPanes();
    pane->show();
    if (visible)
        controller->endAppearance(true, animated);
}

ViewController* StackedPanesController::popViewControllerAnimated(bool animated)
{
    if (m_panes.isEmpty())
        return nullptr;
    ViewController* pane = m_panes.takeLast();
    if (pane && pane->isViewLoaded()) {
        const bool visible = pane->isVisible();
        if (visible)
            pane->beginAppearance(false, animated);
        pane->view()->removeEventFilter(this);
        delete m_shadowOf.take(pane->view());
        pane->view()->hide();
        pane->view()->setParent(nullptr);
        if (visible)
            pane->endAppearance(false, animated);
    }
    layoutPanes();
    return pane;
}

void StackedPanesController::popToRootViewControllerAnimated(bool animated)
{
    while (!m_panes.isEmpty())
        popViewControllerAnimated(animated);
}

void StackedPanesController::adopt(QWidget* pane)
{
    pane->setParent(view());
    pane->installEventFilter(this);
    pane->raise();
    applyShadow(pane);
}

void StackedPanesController::layoutPanes()
{
    if (!isViewLoaded())
        return;
    QWidget* host = view();
    // Panes sit side by side from the stack offset; when they do not fit, they all slide
    // left, each never further than the left inset, so earlier panes go under later ones.
    int total = 0;
    for (const auto& pane : m_panes) {
        if (pane)
            total += pane->view()->width();
    }
    const int shift = std::max(0, m_offset + total - host->width());
    int natural = m_offset;
    for (const auto& pane : m_panes) {
        if (!pane)
            continue;
        QWidget* widget = pane->view();
        widget->setGeometry(std::max(m_leftInset, natural - shift), 0, widget->width(), host->height());
        if (PaneShadow* shadow = m_shadowOf.value(widget))
            shadow->follow(widget, int(m_shadowWidth));
        natural += widget->width();
    }
}

void StackedPanesController::expandStack(bool animated)
{
    animated ? slideTo(m_largeLeftInset) : settle(m_largeLeftInset);
}

void StackedPanesController::collapseStack(bool animated)
{
    animated ? slideTo(m_leftInset) : settle(m_leftInset);
}

void StackedPanesController::slideTo(int target)
{
    if (m_slide)
        m_slide->stop();
    else
        m_restingOffset = m_offset; // where a slide that is cut short started from
    if (target == m_offset) {
        settle(target);
        return;
    }
    m_slide = new QVariantAnimation(this);
    m_slide->setDuration(SlideMs);
    m_slide->setEasingCurve(QEasingCurve::OutCubic);
    m_slide->setStartValue(m_offset);
    m_slide->setEndValue(target);
    connect(m_slide, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        m_offset = value.toInt();
        layoutPanes();
    });
    connect(m_slide, &QVariantAnimation::finished, this, [this, target] {
        m_slide->deleteLater();
        m_slide = nullptr;
        // Settle from where the slide began, so that the state change is told once.
        m_offset = m_restingOffset;
        settle(target);
    });
    m_slide->start();
}

void StackedPanesController::settle(int offset)
{
    const bool wasExpanded = isExpanded();
    m_offset = offset;
    layoutPanes();
    if (isExpanded() != wasExpanded)
        NotificationCenter::defaultCenter().post(isExpanded() ? Notifications::StackExpand
                                                              : Notifications::StackCollapse);
}

void StackedPanesController::dragStackBy(int dx)
{
    int offset = m_offset + dx;
    if (!m_draggingPastInsets)
        offset = std::clamp(offset, m_leftInset, m_largeLeftInset);
    m_offset = offset;
    layoutPanes();
}

void StackedPanesController::endDrag()
{
    const int middle = (m_leftInset + m_largeLeftInset) / 2;
    const bool wasExpanded = isExpanded();
    const int target = m_offset >= middle ? m_largeLeftInset : m_leftInset;
    m_offset = wasExpanded ? m_largeLeftInset : m_leftInset; // the resting state before the drag
    settle(target);
}

bool StackedPanesController::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == view() && event->type() == QEvent::Resize) {
        layoutPanes();
        return false;
    }
    const bool onPane = std::any_of(m_panes.begin(), m_panes.end(), [watched](const auto& pane) {
        return pane && pane->isViewLoaded() && pane->view() == watched;
    });
    if (!onPane)
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        m_dragStartX = static_cast<QMouseEvent*>(event)->globalPosition().toPoint().x();
        return false;
    case QEvent::MouseMove:
        if (m_dragStartX >= 0) {
            const int x = static_cast<QMouseEvent*>(event)->globalPosition().toPoint().x();
            dragStackBy(x - m_dragStartX);
            m_dragStartX = x;
        }
        return false;
    case QEvent::MouseButtonRelease:
        if (m_dragStartX >= 0)
            endDrag();
        m_dragStartX = -1;
        return false;
    default:
        return false;
    }
}

QList<ViewController*> StackedPanesController::visibleChildViewControllers() const
{
    QList<ViewController*> list;
    if (m_root)
        list.append(m_root);
    list.append(viewControllers());
    return list;
}
