#pragma once

#include "NavigationItem.h"
#include "TabBarItem.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

class NavigationController;
class TabBarController;
class QWidget;

// A screen: owns its view, created on first use (loadView, then viewDidLoad), and is told
// when it appears and disappears. Containers (navigation, tab bar, panes, the window's
// modal layer) own the screens they hold and forward appearance to the visible ones.
class ViewController : public QObject
{
    Q_OBJECT

public:
    enum Orientation
    {
        Portrait = 1,
        PortraitUpsideDown = 2,
        LandscapeLeft = 4,
        LandscapeRight = 8
    };
    static constexpr int AllOrientations = Portrait | PortraitUpsideDown | LandscapeLeft | LandscapeRight;

    explicit ViewController(const QString& nibName = {}, QObject* parent = nullptr);
    ~ViewController() override;

    const QString& nibName() const { return m_nibName; }

    QWidget* view();
    bool isViewLoaded() const { return !m_view.isNull(); }
    // The view's first sub-view (or the view) with the tag.
    QWidget* viewWithTag(int tag);

    QString title() const { return m_title; }
    void setTitle(const QString& title);
    TabBarItem& tabBarItem() { return m_tabBarItem; }
    NavigationItem* navigationItem() { return &m_navigationItem; }
    bool hidesBottomBarWhenPushed() const { return m_hidesBottomBarWhenPushed; }
    void setHidesBottomBarWhenPushed(bool hides) { m_hidesBottomBarWhenPushed = hides; }

    ViewController* parentViewController() const { return m_parent; }
    // The container showing this screen. It becomes the screen's owner only when the screen
    // has none; a screen with an owner outlives the containers that show it.
    void setParentViewController(ViewController* parent);
    NavigationController* navigationController() const;
    TabBarController* tabBarController() const;

    // Presents a screen over the whole window; this screen stays its presenter.
    void presentModalViewController(ViewController* controller, bool animated);
    // Dismisses the screen this one presents, or, when it presents none, itself.
    void dismissModalViewControllerAnimated(bool animated);
    ViewController* modalViewController() const { return m_presented; }
    ViewController* presentingViewController() const { return m_presenting; }

    virtual int supportedInterfaceOrientations() const { return Portrait; }

    bool isVisible() const { return m_visible; }
    // Appearance calls, made by containers: this screen, then the children it shows.
    void beginAppearance(bool appearing, bool animated);
    void endAppearance(bool appearing, bool animated);
    // The child screens whose views are shown now (containers override).
    virtual QList<ViewController*> visibleChildViewControllers() const { return {}; }

Q_SIGNALS:
    void titleChanged();

protected:
    virtual void loadView();
    virtual void viewDidLoad() {}
    virtual void viewWillAppear(bool animated) {}
    virtual void viewDidAppear(bool animated) {}
    virtual void viewWillDisappear(bool animated) {}
    virtual void viewDidDisappear(bool animated) {}
    void setView(QWidget* view);

private:
    friend class Window;

    QString m_nibName;
    QPointer<QWidget> m_view;
    QString m_title;
    TabBarItem m_tabBarItem;
    NavigationItem m_navigationItem;
    bool m_hidesBottomBarWhenPushed = false;
    QPointer<ViewController> m_parent;
    QPointer<ViewController> m_presented;
    QPointer<ViewController> m_presenting;
    bool m_visible = false;
    bool m_loading = false;
};
