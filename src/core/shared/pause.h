#pragma once

#include <QList>
#include <functional>

class MonotonicClock;
class QEventLoop;

// Ends pauses and other waits early. The main window holds one and cancels it at Exit: a Pause
// now waiting on it returns at once, and so does every later one.
class PauseCancel
{
  public:
    void cancel();
    bool cancelled() const { return cancelled_; }

    // Registers an event loop for as long as it lives: cancel() quits it.
    class Waiting
    {
      public:
        Waiting(PauseCancel *cancel, QEventLoop *loop);
        ~Waiting();
        Waiting(const Waiting &) = delete;
        Waiting &operator=(const Waiting &) = delete;

      private:
        PauseCancel *cancel_;
        QEventLoop *loop_;
    };

  private:
    bool cancelled_ = false;
    QList<QEventLoop *> waiting_;
};

// Waits at least `seconds` while pending window events are processed: an event loop runs until
// a timer ends it, so the wait costs no processor time while nothing happens. 0 or less returns
// at once without processing anything; so does a cancelled pause, and a wait that the program's
// end breaks off returns as soon as it is broken off.
// `processEvents` (for tests) takes the event loop's place: it is called again and again until
// `clock` shows that the time has passed.
void Pause(float seconds, const MonotonicClock &clock, const std::function<void()> &processEvents = {},
           PauseCancel *cancel = nullptr);
