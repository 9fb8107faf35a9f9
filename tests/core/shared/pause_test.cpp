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

TEST(PauseTest, RealClockWaitsAtLeastTheTimeAsked)
{
    SteadyClock clock;
    QElapsedTimer measured;
    measured.start();
    Pause(0.05f, clock);
    EXPECT_GE(measured.elapsed(), 50);
    EXPECT_LT(measured.elapsed(), 5000);
}

} // namespace
