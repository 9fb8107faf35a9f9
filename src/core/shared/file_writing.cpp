#include "shared/file_writing.h"

#include "shared/logging.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

Failure SystemFailure(int error)
{
    return Failure{qt_error_string(error)};
}

// A file descriptor closed when it goes out of scope.
class OpenFile
{
  public:
    explicit OpenFile(int fd) : fd_(fd) {}
    ~OpenFile() { close(); }
    OpenFile(const OpenFile &) = delete;
    OpenFile &operator=(const OpenFile &) = delete;
    int fd() const { return fd_; }
    // The close's own error: a file system that allocates late reports a full disk here.
    int close()
    {
        const int error = fd_ >= 0 && ::close(fd_) != 0 ? errno : 0;
        fd_ = -1;
        return error;
    }

  private:
    int fd_;
};

// Creates a new, empty file named TemporaryFilePrefix + the final name + "-" and six random
// letters, in the final file's folder, with the permissions a new file of the user gets.
// Gives the descriptor and fills `temporary`; -1 with errno set where none could be made.
int CreateTemporaryFile(const QString &path, QByteArray &temporary)
{
    const QFileInfo final(path);
    // Names are at most 255 bytes: a long final name is shortened in the temporary one.
    const QByteArray stem = QFile::encodeName(final.path()) + '/' + QFile::encodeName(TemporaryFilePrefix) +
                            QFile::encodeName(final.fileName()).left(200) + '-';
    static const char Letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = stem;
        for (int i = 0; i < 6; ++i)
            temporary += Letters[QRandomGenerator::global()->bounded(int(sizeof(Letters) - 1))];
        const int fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// Writes all of `bytes`; a short write is tried again for the rest. 0, or the error that stopped it.
int WriteAll(int fd, const QByteArray &bytes)
{
    for (qsizetype written = 0; written < bytes.size();) {
        const ssize_t step = ::write(fd, bytes.constData() + written, size_t(bytes.size() - written));
        if (step < 0 && errno == EINTR)
            continue;
        if (step <= 0)
            return step < 0 ? errno : ENOSPC;
        written += step;
    }
    return 0;
}

// Gives the temporary file the final name where no file bears it yet. 0, or the error.
int RenameWithoutReplacing(const char *temporary, const char *final)
{
    if (::renameat2(AT_FDCWD, temporary, AT_FDCWD, final, RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
        return errno;
    // A file system that cannot rename so: a hard link refuses an existing name just as well.
    if (::link(temporary, final) == 0) {
        ::unlink(temporary);
        return 0;
    }
    if (errno != EPERM && errno != EOPNOTSUPP && errno != ENOSYS)
        return errno;
    // No hard links either (FAT): look, then rename. Only this run writes in its album folder.
    struct stat existing {
    };
    if (::lstat(final, &existing) == 0)
        return EEXIST;
    return ::rename(temporary, final) == 0 ? 0 : errno;
}

} // namespace

Status WriteWholeFile(const QString &path, const QByteArray &bytes, IfExists ifExists)
{
    const QByteArray final = QFile::encodeName(path);
    if (ifExists == IfExists::Refuse) { // fail early, before anything is written
        struct stat existing {
        };
        if (::lstat(final.constData(), &existing) == 0)
            return SystemFailure(EEXIST);
    }
    QByteArray temporary;
    OpenFile file(CreateTemporaryFile(path, temporary));
    if (file.fd() < 0)
        return SystemFailure(errno);

    int error = WriteAll(file.fd(), bytes);
    // The bytes start on their way to the disk before the file takes its name, without waiting
    // for them: ext4 in its default data=ordered mode then commits no rename before the data it
    // allocated, as it does by itself for a file renamed over another, so a power cut leaves the
    // file whole or absent there too. A full sync would hold the window up (see the header).
    if (error == 0 && ifExists == IfExists::Refuse &&
        ::sync_file_range(file.fd(), 0, 0, SYNC_FILE_RANGE_WRITE) != 0 && errno != ESPIPE && errno != EINVAL)
        error = errno;
    if (const int closeError = file.close(); error == 0)
        error = closeError;
    if (error == 0)
        error = ifExists == IfExists::Refuse
                    ? RenameWithoutReplacing(temporary.constData(), final.constData())
                    : (::rename(temporary.constData(), final.constData()) == 0 ? 0 : errno);
    if (error == 0)
        return {};
    if (::unlink(temporary.constData()) != 0) // what the failure left must not stay
        qCDebug(lcFiles) << "could not remove the temporary file" << temporary << qt_error_string(errno);
    return SystemFailure(error);
}
