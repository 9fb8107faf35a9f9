#pragma once

#include "shared/pause.h"

#include <QObject>
#include <memory>

class QSocketNotifier;

// SIGINT, SIGTERM and SIGHUP ask the run to stop, for as long as this object lives. The handler
// only notes the signal and writes a byte to a pipe; the pipe's notifier then ends the waits of
// the production on the event loop. One object at a time.
class StopSignals : public QObject
{
  public:
    StopSignals();
    ~StopSignals() override;
    StopSignals(const StopSignals &) = delete;
    StopSignals &operator=(const StopSignals &) = delete;

    // The signal that asked to stop; 0 while none has.
    int caught() const;
    // What ends the production's waits once a signal has come.
    PauseCancel *endOfRun() { return &cancel_; }

  private:
    int pipe_[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> notifier_;
    PauseCancel cancel_;
};

// The exit status of a run stopped by `signal`: 130 for SIGINT, 143 otherwise.
int StoppedExitStatus(int signal);
