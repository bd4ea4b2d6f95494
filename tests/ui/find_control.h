#pragma once

#include <QObject>
#include <QString>
#include <QtGlobal>

// The control of a window by its object name; a missing one ends the test
// run, since every later check would be meaningless.
template <typename T>
T* findControl(const QObject& window, const char* name)
{
    T* control = window.findChild<T*>(QString::fromLatin1(name));
    if (control == nullptr) qFatal("no control named %s", name);
    return control;
}
