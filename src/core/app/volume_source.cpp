#include "app/volume_source.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>
#include <algorithm>

bool IsPseudoFileSystem(const QByteArray &type)
{
    // Memory-backed tmpfs mounts are left out too: whatever lies there is still reachable
    // through the folders of the root volume.
    static const QList<QByteArray> pseudo = {
        "autofs",   "binfmt_misc", "bpf",        "cgroup",    "cgroup2", "configfs", "debugfs", "devpts",
        "devtmpfs", "efivarfs",    "fusectl",    "hugetlbfs", "mqueue",  "nsfs",     "proc",    "pstore",
        "ramfs",    "rpc_pipefs",  "securityfs", "selinuxfs", "sysfs",   "tmpfs",    "tracefs",
    };
    return pseudo.contains(type.toLower());
}

QStringList MountedVolumes::volumes() const
{
    QStringList roots;
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid() || IsPseudoFileSystem(volume.fileSystemType()))
            continue;
        const QString root = volume.rootPath();
        if (!roots.contains(root))
            roots << root;
    }
    const QString systemRoot = QDir::rootPath();
    if (!roots.contains(systemRoot))
        roots.prepend(systemRoot);
    std::sort(roots.begin(), roots.end());
    return roots;
}

bool MountedVolumes::canList(const QString &root) const
{
    const QFileInfo info(root);
    return info.exists() && info.isDir() && info.isReadable();
}
