#include "shared/pause.h"

#include "shared/platform.h"

#include <QCoreApplication>
#include <QThread>

void Pause(float seconds, const MonotonicClock &clock, const std::function<void()> &processEvents)
{
    if (!(seconds > 0.0f))
        return;
    const qint64 start = clock.nowMs();
    // Seconds in single precision, as the callers give them: 200 ms is a pause of 0.2 s.
    auto elapsed = [&] { return float(clock.nowMs() - start) / 1000.0f; };
    while (elapsed() < seconds) {
        if (processEvents) {
            processEvents();
        } else {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            // Nothing to do yet: yield the core instead of spinning on it.
            QThread::msleep(1);
        }
    }
}
