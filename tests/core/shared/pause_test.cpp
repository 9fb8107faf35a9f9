#include "shared/pause.h"
#include "shared/platform.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <string>

namespace
{

// A clock that moves only when told, or a fixed step at every reading.
struct FakeClock : MonotonicClock {
    mutable qint64 now = 1000;
    qint64 stepPerReading = 0;
    qint64 nowMs() const override
    {
        const qint64 t = now;
        now += stepPerReading;
        return t;
    }
};

struct StepRow {
    const char *name;
    float seconds;
    qint64 stepMs;      // the clock advances this much while events are processed
    int expectedRounds; // rounds of event processing until the time has passed
};

class PauseStepTest : public ::testing::TestWithParam<StepRow>
{
};

TEST_P(PauseStepTest, ProcessesEventsUntilTheTimeHasPassed)
{
    const StepRow row = GetParam();
    FakeClock clock;
    const qint64 start = clock.now;
    int rounds = 0;
    Pause(row.seconds, clock, [&] {
        ++rounds;
        clock.now += row.stepMs;
    });
    EXPECT_EQ(rounds, row.expectedRounds);
    EXPECT_GE(double(clock.now - start), std::floor(double(row.seconds) * 1000.0));
}

INSTANTIATE_TEST_SUITE_P(Steps, PauseStepTest,
                         ::testing::Values(StepRow{"FifthOfASecondIn50msSteps", 0.2f, 50, 4},
                                           StepRow{"FifthOfASecondIn30msSteps", 0.2f, 30, 7},
                                           StepRow{"OneSecondIn999msSteps", 1.0f, 999, 2},
                                           StepRow{"OneMillisecond", 0.001f, 1, 1}),
                         [](const auto &row) { return std::string(row.param.name); });

TEST(PauseTest, ZeroOrLessReturnsAtOnceWithoutProcessingEvents)
{
    for (const float seconds : {0.0f, -1.0f, std::numeric_limits<float>::quiet_NaN()}) {
        FakeClock clock;
        int rounds = 0;
        bool timerRan = false;
        QTimer::singleShot(0, [&] { timerRan = true; });
        Pause(seconds, clock, [&] { ++rounds; });
        Pause(seconds, clock); // the real event processing
        EXPECT_EQ(rounds, 0) << seconds;
        EXPECT_FALSE(timerRan) << seconds;
        QCoreApplication::processEvents(); // leave no timer behind
    }
}

TEST(PauseTest, HandlesPendingEventsMeanwhile)
{
    FakeClock clock;
    clock.stepPerReading = 10; // 10 ms pass at every reading, so 5 readings make 50 ms
    bool timerRan = false;
    int posted = 0;
    QTimer::singleShot(0, [&] { timerRan = true; });
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [&] { ++posted; }, Qt::QueuedConnection);
    Pause(0.05f, clock);
    EXPECT_TRUE(timerRan);
    EXPECT_EQ(posted, 1);
}

// The real clock, counting how often it is read.
struct CountingClock : MonotonicClock {
    SteadyClock steady;
    mutable int readings = 0;
    qint64 nowMs() const override
    {
        ++readings;
        return steady.nowMs();
    }
};

TEST(PauseTest, RealClockWaitsAtLeastTheTimeAskedWithoutPolling)
{
    CountingClock clock;
    QElapsedTimer measured;
    measured.start();
    Pause(0.1f, clock);
    EXPECT_GE(measured.elapsed(), 100);
    EXPECT_LT(measured.elapsed(), 5000);
    // It sleeps until a timer ends the wait: a polling loop would read the clock every few ms.
    EXPECT_LE(clock.readings, 6);
}

TEST(PauseTest, CancelEndsTheWaitAndEveryLaterOne)
{
    SteadyClock clock;
    PauseCancel cancel;
    QTimer::singleShot(20, [&] { cancel.cancel(); });
    QElapsedTimer measured;
    measured.start();
    Pause(30.0f, clock, {}, &cancel);
    EXPECT_LT(measured.elapsed(), 5000);
    EXPECT_TRUE(cancel.cancelled());

    int rounds = 0;
    FakeClock fake;
    Pause(
        1.0f, fake, [&] { ++rounds; }, &cancel);
    Pause(30.0f, clock, {}, &cancel);
    EXPECT_EQ(rounds, 0);
    EXPECT_LT(measured.elapsed(), 5000);
}

} // namespace
