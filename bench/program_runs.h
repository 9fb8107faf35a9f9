#pragma once

#include <QStringList>
#include <sys/types.h>
#include <vector>

// A benchmark's run of other programs: their wall time, the largest peak memory among them and
// their processor time. seconds is -1 where a program could not be started or did not end well.
struct ProgramRun {
    double seconds = -1;
    double peakMb = -1;
    double cpuSeconds = 0; // user and system time of all the programs
};

// Starts the programs at once (each a command line, the program's path first), waits for all and
// measures them. Their standard output is not the benchmark's and goes nowhere.
ProgramRun RunPrograms(const std::vector<QStringList> &commands);

// Starts `command` (the program's path first) with its standard output thrown away, and its
// standard error too where `quietErrors`. The child's process id, or -1 where it could not start.
pid_t SpawnQuiet(const QStringList &command, bool quietErrors = false);
