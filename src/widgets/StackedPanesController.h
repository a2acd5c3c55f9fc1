#pragma once

#include "ui/ViewController.h"

#include <QHash>
#include <QList>
#include <QPointer>

class PaneShadow;
class QVariantAnimation;
class QWidget;

// The tablet's root container: a root screen on the left (the menu) under a stack of panes
// that slide over it. The stack rests at largeLeftInset (menu visible) or at leftInset
// (collapsed over the menu) and can be dragged horizontally between the two.
// Posts "stackExpand" and "stackCollapse" when it settles in either position.
class StackedPanesController : public ViewController
{
    Q_OBJECT

public:
    static constexpr int SlideMs = 250;

    explicit StackedPanesController(ViewController* rootViewController, QObject* parent = nullptr);

    ViewController* rootViewController() const { return m_root; }

    int leftInset() const { return m_leftInset; }
    void setLeftInset(int inset);
    int largeLeftInset() const { return m_largeLeftInset; }
    void setLargeLeftInset(int inset);
    bool enableBounces() const { return m_bounces; }
    void setEnableBounces(bool enable) { m_bounces = enable; }
    bool enableDraggingPastInsets() const { return m_draggingPastInsets; }
    void setEnableDraggingPastInsets(bool enable) { m_draggingPastInsets = enable; }
    bool enableShadows() const { return m_shadows; }
    void setEnableShadows(bool enable);
    qreal defaultShadowAlpha() const { return m_shadowAlpha; }
    void setDefaultShadowAlpha(qreal alpha);
    qreal defaultShadowWidth() const { return m_shadowWidth; }
    void setDefaultShadowWidth(qreal width);

    QList<ViewController*> viewControllers() const;
    ViewController* topViewController() const;
    // Pushes a pane; panes above fromViewController (when given and on the stack) are popped first.
    void pushViewController(ViewController* controller, ViewController* fromViewController, bool animated);
    ViewController* popViewControllerAnimated(bool animated);
    void popToRootViewControllerAnimated(bool animated);

    // Where the first pane's left edge rests now.
    int stackOffset() const { return m_offset; }
    bool isExpanded() const { return m_offset >= m_largeLeftInset; }
    bool isSliding() const { return m_slide != nullptr; }
    // Animated: the stack slides there over SlideMs and tells its new state when it rests.
    void expandStack(bool animated);
    void collapseStack(bool animated);
    // Moves the stack by a drag of dx points, within the insets unless dragging past them is on.
    void dragStackBy(int dx);
    // Ends a drag: settles at the nearer inset.
    void endDrag();

    QList<ViewController*> visibleChildViewControllers() const override;

protected:
    void loadView() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void adopt(QWidget* pane);
    void layoutPanes();
    void applyShadow(QWidget* pane);
    void settle(int offset);
    void slideTo(int offset);

    QPointer<ViewController> m_root;
    QList<QPointer<ViewController>> m_panes;
    QHash<const QWidget*, QPointer<PaneShadow>> m_shadowOf;
    int m_leftInset = 60;
    int m_largeLeftInset = 200;
    bool m_bounces = true;
    bool m_draggingPastInsets = true;
    bool m_shadows = true;
    qreal m_shadowAlpha = 0.5;
    qreal m_shadowWidth = 20;
    int m_offset = 200;
    int m_dragStartX = -1;
    QVariantAnimation* m_slide = nullptr;
    int m_restingOffset = 0;
};
