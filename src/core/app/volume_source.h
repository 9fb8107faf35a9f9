#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The volumes the drive list offers. Tests replace it to play drives that are not ready.
class VolumeSource
{
  public:
    virtual ~VolumeSource() = default;
    // Root paths of the volumes, in the order the drive list shows them.
    virtual QStringList volumes() const = 0;
    // Whether the volume's root folder can be listed now; one that cannot is a drive that is not ready.
    virtual bool canList(const QString &root) const = 0;
};

// The mounted volumes of this machine, pseudo file systems left out.
class MountedVolumes final : public VolumeSource
{
  public:
    QStringList volumes() const override;
    bool canList(const QString &root) const override;
};

// File system types that hold no user files (proc, sysfs, tmpfs, cgroup ...).
bool IsPseudoFileSystem(const QByteArray &type);
