#pragma once

#include <QObject>

#include <functional>

class QWidget;

// Makes a plain widget a tap target: a left click that is released over it calls the action.
// The filter belongs to the widget.
class TapFilter : public QObject
{
public:
    static void install(QWidget* widget, std::function<void()> action);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TapFilter(QWidget* widget, std::function<void()> action);

    std::function<void()> m_action;
};
