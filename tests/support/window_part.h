#pragma once
// A window's widget or menu item found by its object name, as a screen reader finds it; the
// player window hands out no widgets.
#include <gtest/gtest.h>

#include <QObject>
#include <QString>

namespace testmedia {

template <typename T>
T* part(QObject& window, const char* name) {
    T* found = window.findChild<T*>(QString::fromLatin1(name));
    if (!found) ADD_FAILURE() << "no " << name;
    return found;
}

}  // namespace testmedia
