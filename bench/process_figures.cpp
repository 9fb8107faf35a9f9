#include "process_figures.h"

#include <QByteArray>
#include <QFile>

namespace
{

// A "<Field>:  <kB> kB" line of /proc/self/status, in megabytes.
double StatusMb(const QByteArray &field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly))
        for (const QByteArray &line : status.readAll().split('\n'))
            if (line.startsWith(field + ':'))
                return line.mid(field.size() + 1).trimmed().split(' ').first().toDouble() / 1024.0;
    return -1;
}

} // namespace

double PeakResidentMb()
{
    return StatusMb("VmHWM");
}

double CurrentResidentMb()
{
    return StatusMb("VmRSS");
}

void ResetPeak()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}
