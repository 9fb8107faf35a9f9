#pragma once

#include <QString>

// folder + separator + name; a folder that already ends in a separator gets no second one.
QString JoinPath(const QString &folder, const QString &name);
