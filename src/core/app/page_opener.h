#pragma once

#include "shared/outcome.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <sys/types.h>

// The desktop's opener of a page ("xdg-open PAGE"), started with nothing of ours attached: its
// output goes nowhere, so a browser it starts never holds our terminal or pipes.
struct StartedOpener {
    pid_t pid = -1;
    QString program;
};

// How long an opener may take to hand the page over. One still running then is taken to have
// done so: some browsers keep it waiting until they close.
constexpr int OpenerPatienceMs = 5000;

QString DefaultOpenerProgram(); // "xdg-open"

// Starts `program PATH`; the failure says why it could not be started.
Outcome<StartedOpener> StartOpener(const QString &program, const QString &path);

// Whether the opener has ended: nothing while it runs, else how (a failure with its reason).
// Collects the ended process.
std::optional<Status> OpenerEnded(const StartedOpener &opener);

// Opens the page and waits at most `patienceMs` for the opener to say whether it could.
Status OpenPageAndWait(const QString &path, const QString &program = DefaultOpenerProgram(),
                       int patienceMs = OpenerPatienceMs);
