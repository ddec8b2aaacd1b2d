#pragma once
// Helper objects that live as child objects of a widget (its align engine, docking state,
// frame) and are found again by their type. They have no meta-object of their own, so the
// search is by C++ type rather than Qt's findChild.

#include <QObject>

template <class T>
T* FindChildObject(const QObject* parent)
{
    if (!parent)
        return nullptr;
    for (QObject* child : parent->children())
        if (auto* found = dynamic_cast<T*>(child))
            return found;
    return nullptr;
}
