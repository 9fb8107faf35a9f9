#pragma once

#include <QString>
#include <QtGlobal>
#include <functional>

// Small platform pieces behind interfaces, so tests can stand in for them.

class MessageBoxes
{
  public:
    virtual ~MessageBoxes() = default;
    // One OK button, no icon; an empty title shows the program's name.
    virtual void show(const QString &text, const QString &title) = 0;
};

class MousePointer
{
  public:
    virtual ~MousePointer() = default;
    virtual void busy() = 0;
    virtual void arrow() = 0;
};

class DocumentOpener
{
  public:
    virtual ~DocumentOpener() = default;
    virtual void open(const QString &path) = 0;
    // Told, during open() or later, when the page could not be handed to a browser, with the reason.
    std::function<void(const QString &path, const QString &reason)> failed;
};

// Milliseconds from a monotonic clock.
class MonotonicClock
{
  public:
    virtual ~MonotonicClock() = default;
    virtual qint64 nowMs() const = 0;
};

// The real clock.

class SteadyClock final : public MonotonicClock
{
  public:
    qint64 nowMs() const override;
};

// The folder that holds the executable.
QString ApplicationFolder();

inline const QString ProgramName = QStringLiteral("Galvora");
