#include "shared/pause.h"

#include "shared/platform.h"

#include <QEventLoop>
#include <QTimer>
#include <cmath>

PauseCancel::Waiting::Waiting(PauseCancel *cancel, QEventLoop *loop) : cancel_(cancel), loop_(loop)
{
    if (cancel_)
        cancel_->waiting_ << loop_;
}

PauseCancel::Waiting::~Waiting()
{
    if (cancel_)
        cancel_->waiting_.removeOne(loop_);
}

void PauseCancel::cancel()
{
    cancelled_ = true;
    for (QEventLoop *loop : waiting_)
        loop->quit();
}

void Pause(float seconds, const MonotonicClock &clock, const std::function<void()> &processEvents,
           PauseCancel *cancel)
{
    if (!(seconds > 0.0f))
        return;
    const qint64 start = clock.nowMs();
    // Seconds in single precision, as the callers give them: 200 ms is a pause of 0.2 s.
    auto elapsed = [&] { return float(clock.nowMs() - start) / 1000.0f; };
    for (float done = elapsed(); done < seconds; done = elapsed()) {
        if (cancel && cancel->cancelled())
            return;
        if (processEvents) {
            processEvents();
            continue;
        }
        QEventLoop loop;
        QTimer timer;
        timer.setSingleShot(true);
        timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
        timer.start(std::max(1, int(std::ceil((seconds - done) * 1000.0f))));
        const PauseCancel::Waiting waiting(cancel, &loop);
        loop.exec();
        // Ended before its time: cancelled, or the program is ending (its event loops are told
        // to stop and a new one would stop at once).
        if (timer.isActive())
            return;
    }
}
