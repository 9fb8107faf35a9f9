#include "app/page_opener.h"

#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

extern char **environ;

namespace
{

// What an opener's exit status means, in the words xdg-open documents for it.
QString ExitReason(const QString &program, int status)
{
    if (WIFSIGNALED(status))
        return QStringLiteral("%1 was ended by signal %2").arg(program).arg(WTERMSIG(status));
    switch (WEXITSTATUS(status)) {
    case 1:
        return QStringLiteral("%1 did not understand its command line").arg(program);
    case 2:
        return QStringLiteral("%1 did not find the page").arg(program);
    case 3:
        return QStringLiteral("%1 found no program to show it").arg(program);
    case 4:
        return QStringLiteral("%1 could not show it").arg(program);
    default:
        return QStringLiteral("%1 ended with status %2").arg(program).arg(WEXITSTATUS(status));
    }
}

} // namespace

QString DefaultOpenerProgram()
{
    return QStringLiteral("xdg-open");
}

Outcome<StartedOpener> StartOpener(const QString &program, const QString &path)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    for (const int fd : {0, 1, 2})
        posix_spawn_file_actions_addopen(&actions, fd, "/dev/null", fd == 0 ? O_RDONLY : O_WRONLY, 0);
    const QByteArray file = QFile::encodeName(program);
    const QByteArray page = QFile::encodeName(path);
    char *argv[] = {const_cast<char *>(file.constData()), const_cast<char *>(page.constData()), nullptr};
    StartedOpener opener;
    opener.program = program;
    // posix_spawnp reports a program that cannot be run (missing, not executable) as its result.
    const int error = posix_spawnp(&opener.pid, file.constData(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0)
        return Failure{QStringLiteral("%1 could not be started: %2")
                           .arg(program, QString::fromLocal8Bit(std::strerror(error)))};
    return opener;
}

std::optional<Status> OpenerEnded(const StartedOpener &opener)
{
    int status = 0;
    pid_t ended;
    do
        ended = ::waitpid(opener.pid, &status, WNOHANG);
    while (ended < 0 && errno == EINTR);
    if (ended == 0)
        return std::nullopt;
    if (ended < 0) // collected elsewhere: nothing more can be known
        return Status();
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
        return Status();
    return Status(Failure{ExitReason(opener.program, status)});
}

Status OpenPageAndWait(const QString &path, const QString &program, int patienceMs)
{
    const Outcome<StartedOpener> opener = StartOpener(program, path);
    if (!opener)
        return opener.failure();
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        if (const std::optional<Status> ended = OpenerEnded(opener.value()))
            return *ended;
        if (waited.elapsed() >= patienceMs)
            return {}; // still at work: taken as handed over; it is left running
        QThread::msleep(20);
    }
}
