#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>

// A button of a navigation bar or a toolbar: a title or an image, or a custom view.
struct BarButtonItem
{
    QString title;
    QString imageName;
    QPointer<QWidget> customView;
    std::function<void()> action;
    bool enabled = true;
    int tag = 0;

    static BarButtonItem withTitle(const QString& title, std::function<void()> action)
    {
        BarButtonItem item;
        item.title = title;
        item.action = std::move(action);
        return item;
    }
    static BarButtonItem withImage(const QString& imageName, std::function<void()> action)
    {
        BarButtonItem item;
        item.imageName = imageName;
        item.action = std::move(action);
        return item;
    }
    static BarButtonItem withCustomView(QWidget* view)
    {
        BarButtonItem item;
        item.customView = view;
        return item;
    }
};
