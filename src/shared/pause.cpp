#include "shared/pause.h"

#include "shared/platform.h"

#include <QCoreApplication>
#include <QThread>
#include <cmath>

void Pause(float seconds, const MonotonicClock &clock, const std::function<void()> &processEvents)
{
    if (!(seconds > 0.0f))
        return;
    const double waitMs = std::ceil(double(seconds) * 1000.0);
    const qint64 start = clock.nowMs();
    while (double(clock.nowMs() - start) < waitMs) {
        if (processEvents) {
            processEvents();
        } else {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            // Nothing to do yet: yield the core instead of spinning on it.
            QThread::msleep(1);
        }
    }
}
