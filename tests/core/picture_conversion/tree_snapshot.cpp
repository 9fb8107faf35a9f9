#include "tree_snapshot.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

TreeSnapshot TreeSnapshot::Of(const QString &root, const QString &skipRelative)
{
    TreeSnapshot snapshot;
    const QDir base(root);
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString relative = base.relativeFilePath(path);
        if (!skipRelative.isEmpty() &&
            (relative == skipRelative || relative.startsWith(skipRelative + QLatin1Char('/'))))
            continue;
        const QFileInfo info(path);
        QString description;
        if (info.isSymLink()) {
            description = QStringLiteral("link -> ") + info.symLinkTarget();
        } else if (info.isDir()) {
            description = QStringLiteral("dir");
        } else {
            QFile file(path);
            QCryptographicHash hash(QCryptographicHash::Sha1);
            if (file.open(QIODevice::ReadOnly))
                hash.addData(&file);
            description =
                QString::number(info.size()) + QLatin1Char(' ') + QString::fromLatin1(hash.result().toHex());
        }
        snapshot.entries.insert(relative, description);
    }
    return snapshot;
}

QStringList TreeSnapshot::differencesFrom(const TreeSnapshot &before) const
{
    QStringList differences;
    for (auto it = entries.cbegin(); it != entries.cend(); ++it) {
        if (!before.entries.contains(it.key()))
            differences << QStringLiteral("+") + it.key();
        else if (before.entries.value(it.key()) != it.value())
            differences << QStringLiteral("~") + it.key();
    }
    for (auto it = before.entries.cbegin(); it != before.entries.cend(); ++it)
        if (!entries.contains(it.key()))
            differences << QStringLiteral("-") + it.key();
    return differences;
}
