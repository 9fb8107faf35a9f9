#include "program_runs.h"

#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

pid_t SpawnQuiet(const QStringList &command, bool quietErrors)
{
    std::vector<QByteArray> bytes;
    for (const QString &word : command)
        bytes.push_back(QFile::encodeName(word));
    std::vector<char *> argv;
    for (QByteArray &word : bytes)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    if (quietErrors)
        posix_spawn_file_actions_addopen(&quiet, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &quiet, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&quiet);
    return spawned == 0 ? pid : -1;
}

ProgramRun RunPrograms(const std::vector<QStringList> &commands)
{
    QElapsedTimer timer;
    timer.start();
    std::vector<pid_t> children;
    for (const QStringList &command : commands) {
        // The programs' own output (galvora names the page it made) is not the benchmark's.
        const pid_t pid = SpawnQuiet(command);
        if (pid < 0)
            return {};
        children.push_back(pid);
    }
    ProgramRun run{0, 0, 0};
    for (pid_t pid : children) {
        int status = 0;
        rusage usage{};
        if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
            return {};
        run.peakMb = std::max(run.peakMb, double(usage.ru_maxrss) / 1024.0);
        run.cpuSeconds += double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                          double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    }
    run.seconds = double(timer.nsecsElapsed()) / 1e9;
    return run;
}
