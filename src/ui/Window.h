#pragma once

#include <QList>
#include <QPointer>
#include <QWidget>

#include "ViewController.h"

// The application's one window: the root screen fills it; screens presented modally cover
// it, newest on top; alerts and pop-ups float over everything as overlays.
class Window : public QWidget
{
    Q_OBJECT

public:
    explicit Window(const QSize& size, QWidget* parent = nullptr);
    ~Window() override;

    // The window made key last, or null.
    static Window* keyWindow();

    // The window takes ownership of the root screen.
    void setRootViewController(ViewController* controller);
    ViewController* rootViewController() const { return m_root; }
    void makeKeyAndVisible();

    // Modal presentation; a screen without a parent object becomes the window's and is
    // deleted once dismissed.
    void presentModal(ViewController* controller, bool animated);
    void dismissModal(ViewController* controller, bool animated);
    QList<ViewController*> modalViewControllers() const;
    // The top modal screen, or the root.
    ViewController* topViewController() const;

    // Floats a widget over everything, filling the window unless keepGeometry is set.
    void addOverlay(QWidget* overlay, bool keepGeometry = false);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QPointer<ViewController> m_root;
    QList<QPointer<ViewController>> m_modals;
    QList<QPointer<ViewController>> m_adopted;
};
