#pragma once

#include <QDirIterator>
#include <QString>

// Whether anything of a run's scratch work (its folder .scratch-*, or a mydummy.bmp anywhere) is
// left below `folder`.
inline bool ScratchLeftBelow(const QString &folder)
{
    QDirIterator it(folder, {QStringLiteral("mydummy.bmp"), QStringLiteral(".scratch-*")},
                    QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    return it.hasNext();
}
