#pragma once

class QWidget;

// Integer tags on widgets, by which screens find their sub-views again.
class ViewTag
{
public:
    static void set(QWidget* widget, int tag);
    static int of(const QWidget* widget);
    // The widget itself or its first descendant (depth first) with the tag; null if none.
    static QWidget* find(QWidget* root, int tag);
};
