#pragma once

#include <QList>
#include <QPointer>

// The objects of a list of guarded pointers that still exist, in order.
template <typename T> QList<T*> livePointers(const QList<QPointer<T>>& pointers)
{
    QList<T*> alive;
    alive.reserve(pointers.size());
    for (const QPointer<T>& pointer : pointers) {
        if (pointer)
            alive.append(pointer.data());
    }
    return alive;
}
