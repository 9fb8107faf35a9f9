#pragma once

#include <functional>

class MonotonicClock;

// Waits at least `seconds` while pending window events are processed.
// 0 or less returns at once without processing anything.
// `processEvents` defaults to QCoreApplication::processEvents plus a short yield of the core.
void Pause(float seconds, const MonotonicClock &clock, const std::function<void()> &processEvents = {});
