#pragma once

#include "ui/ViewController.h"

#include <QList>
#include <QPointer>
#include <QWidget>

class ORVRootController;
class QLabel;

// The base of the screens of the tablet's navigation pane: a centred light title in the
// navigation bar and, on the left, the menu button that slides the pane open or closed
// through the root pane.
class ORVViewController_iPad : public ViewController
{
    Q_OBJECT

public:
    explicit ORVViewController_iPad(const QString& nibName, QObject* parent = nullptr);
    // The screen's bar widgets go with it, wherever the navigation bar has put them.
    ~ORVViewController_iPad() override;

    void setRootDelegate(ORVRootController* root);
    ORVRootController* rootDelegate() const;
    void setTitleString(const QString& title);
    QString titleString() const;

protected:
    // Subclasses call this from their viewDidLoad before adding their own bar items.
    void viewDidLoad() override;
    // A widget for the navigation bar that this screen owns.
    template <typename T> T* barWidget(T* widget)
    {
        m_barWidgets.append(widget);
        return widget;
    }

private:
    QPointer<QObject> m_rootDelegate;
    QPointer<QLabel> m_navBarTitle;
    QList<QPointer<QWidget>> m_barWidgets;
};
