#include "ViewTag.h"

#include <QVariant>
#include <QWidget>

namespace {
constexpr const char* TagProperty = "orvaneTag";
}

void ViewTag::set(QWidget* widget, int tag)
{
    widget->setProperty(TagProperty, tag);
}

int ViewTag::of(const QWidget* widget)
{
    return widget->property(TagProperty).toInt();
}

QWidget* ViewTag::find(QWidget* root, int tag)
{
    if (!root)
        return nullptr;
    if (root->property(TagProperty).isValid() && of(root) == tag)
        return root;
    for (QObject* child : root->children()) {
        if (auto* widget = qobject_cast<QWidget*>(child)) {
            if (QWidget* found = find(widget, tag))
                return found;
        }
    }
    return nullptr;
}
