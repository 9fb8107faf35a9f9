#pragma once

// Two real ways to make writes fail as on a full disk: a file-size limit on this process, and a
// small tmpfs filled to the last byte.

#include <QByteArray>
#include <QDir>
#include <QString>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

// Limits the size of every file this process writes, for its lifetime; a write past the
// limit fails with EFBIG instead of raising SIGXFSZ.
class FileSizeLimit
{
  public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        applied_ = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;
    bool applied() const { return applied_; }

  private:
    rlimit saved_{};
    void (*previousHandler_)(int) = SIG_DFL;
    bool applied_ = false;
};

// A tmpfs of a few pages mounted on an empty folder, unmounted again at the end. Mounting needs
// root with CAP_SYS_ADMIN; where that is refused, problem() says why and nothing is mounted.
class SmallTmpfs
{
  public:
    explicit SmallTmpfs(const QString &folder) : folder_(folder)
    {
        QDir().mkpath(folder);
        const QByteArray path = QFile::encodeName(folder);
        if (::mount("galvora-test", path.constData(), "tmpfs", MS_NOSUID | MS_NODEV, "size=64k") == 0)
            mounted_ = true;
        else
            problem_ = std::string("cannot mount a tmpfs here (needs root with CAP_SYS_ADMIN): ") +
                       std::strerror(errno);
    }
    ~SmallTmpfs()
    {
        if (mounted_)
            ::umount2(QFile::encodeName(folder_).constData(), MNT_DETACH);
    }
    SmallTmpfs(const SmallTmpfs &) = delete;
    SmallTmpfs &operator=(const SmallTmpfs &) = delete;

    // Empty when mounted.
    const std::string &problem() const { return problem_; }

    // Fills what is left with one file, until the file system says it is full. True when it did.
    bool fill(const QString &fileName) const
    {
        const int fd = ::open(QFile::encodeName(QDir(folder_).filePath(fileName)).constData(),
                              O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (fd < 0)
            return false;
        const QByteArray block(4096, 'x');
        ssize_t written = 0;
        while ((written = ::write(fd, block.constData(), size_t(block.size()))) > 0) {
        }
        const bool full = written < 0 && errno == ENOSPC;
        ::close(fd);
        return full;
    }

  private:
    QString folder_;
    bool mounted_ = false;
    std::string problem_;
};
