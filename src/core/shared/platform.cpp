#include "shared/platform.h"

#include <QCoreApplication>
#include <QElapsedTimer>

qint64 SteadyClock::nowMs() const
{
    static QElapsedTimer timer = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return timer.elapsed();
}

QString ApplicationFolder()
{
    return QCoreApplication::applicationDirPath();
}
