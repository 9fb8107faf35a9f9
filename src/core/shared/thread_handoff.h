#pragma once

#include <QFuture>
#include <QPromise>
#include <QRunnable>
#include <QString>
#include <QThreadPool>
#include <exception>
#include <memory>
#include <optional>
#include <type_traits>
#include <utility>

// Qt's thread pool and futures hand a task to a worker and its result back under locks inside Qt,
// which is not built with ThreadSanitizer, so the sanitizer cannot see that the two threads took
// turns. HandOff and TakeOver tell it where the turns are: everything a thread did before it hands
// off at a point is seen by the thread that takes over at the same point. They compile to nothing
// in any other build. A point is any address both threads know that stays valid while they use it.

#if defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define GALVORA_THREAD_SANITIZER 1
#endif
#endif
#if defined(__SANITIZE_THREAD__)
#define GALVORA_THREAD_SANITIZER 1
#endif

#ifdef GALVORA_THREAD_SANITIZER
#include <sanitizer/tsan_interface.h>
#endif

// On the thread giving: before the task is started, or after the result is made.
inline void HandOff([[maybe_unused]] const void *point)
{
#ifdef GALVORA_THREAD_SANITIZER
    __tsan_release(const_cast<void *>(point));
#endif
}

// On the thread taking: first thing in the task, or once the task is done and before its result is read.
inline void TakeOver([[maybe_unused]] const void *point)
{
#ifdef GALVORA_THREAD_SANITIZER
    __tsan_acquire(const_cast<void *>(point));
#endif
}

// A copy of `text` that shares no storage with it, for a worker. A QString shared between threads
// is let go of inside Qt at times (its assignment), where the sanitizer cannot see the order.
inline QString Unshared(QString text)
{
    text.detach();
    return text;
}

// What a worker makes for the thread that started it: `done` finishes when it is made.
template <typename Result> class WorkerResult
{
  public:
    WorkerResult() = default;
    WorkerResult(QFuture<void> done, std::shared_ptr<std::optional<Result>> result)
        : done_(std::move(done)), result_(std::move(result))
    {
    }

    const QFuture<void> &done() const { return done_; }
    bool isFinished() const { return done_.isFinished(); }

    // Once done: the result; an exception thrown by the work is thrown here. Taken once.
    Result take()
    {
        done_.waitForFinished();
        TakeOver(result_.get());
        return std::move(**result_);
    }

  private:
    QFuture<void> done_;
    std::shared_ptr<std::optional<Result>> result_;
};

namespace thread_handoff_detail
{

// Made whole on the starting thread before the pool sees it, so that the worker's first step, the
// take-over at the task, comes before anything it reads (QtConcurrent::run builds its task after
// any hand-off its caller could mark). The result goes into a slot the two threads share by
// a std::shared_ptr (whose count the sanitizer sees), not into Qt's future, so whichever side lets
// go of it last, the sanitizer sees the order.
template <typename Work, typename Result> class Task final : public QRunnable
{
  public:
    Task(Work work, std::shared_ptr<std::optional<Result>> result)
        : work_(std::move(work)), result_(std::move(result))
    {
        promise_.start();
    }

    QFuture<void> future() { return promise_.future(); }

    void run() override
    {
        TakeOver(this);
        try {
            result_->emplace(work_());
        } catch (...) {
            promise_.setException(std::current_exception());
        }
        HandOff(result_.get());
        promise_.finish();
    }

  private:
    Work work_;
    std::shared_ptr<std::optional<Result>> result_;
    QPromise<void> promise_;
};

} // namespace thread_handoff_detail

// Runs `work` (a callable taking nothing, holding copies of plain values) on `pool`, as
// QtConcurrent::run does, with the hand-offs to the worker and back marked for the sanitizer.
template <typename Work> WorkerResult<std::invoke_result_t<Work &>> RunOnWorker(QThreadPool &pool, Work work)
{
    using Result = std::invoke_result_t<Work &>;
    auto result = std::make_shared<std::optional<Result>>();
    auto *task = new thread_handoff_detail::Task<Work, Result>(std::move(work), result);
    WorkerResult<Result> handed(task->future(), result);
    HandOff(task);
    pool.start(task);
    return handed;
}
