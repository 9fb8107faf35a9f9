#pragma once

#include <QObject>
#include <QString>
#include <QWidget>
#include <stdexcept>
#include <string>

// The child of `parent` whose objectName is `name`. A missing one ends the test with its name,
// since every control is found by its control name.
template <typename T = QWidget> T &FindChild(const QObject &parent, const QString &name)
{
    T *found = parent.findChild<T *>(name);
    if (!found)
        throw std::runtime_error("no control " + name.toStdString());
    return *found;
}

template <typename T = QWidget> T &FindChild(const QObject &parent, const char *name)
{
    return FindChild<T>(parent, QString::fromLatin1(name));
}
