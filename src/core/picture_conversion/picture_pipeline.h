#pragma once

#include "picture_conversion/conversion_steps.h"
#include "shared/outcome.h"
#include "shared/thread_handoff.h"

#include <QColor>
#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QThreadPool>
#include <atomic>
#include <deque>
#include <memory>
#include <optional>

class PauseCancel;

// One picture of a conversion on its canvas, or the message that says why it could not be made
// ("Picture <path> could not be read: <reason>", or not enough memory).
using PreparedPicture = Outcome<QImage>;

// Loads the picture at `path` for a canvas of `size` and puts it on the canvas as `fill` says.
// Plain values in and out: it runs on any thread.
PreparedPicture PreparePicture(const QString &path, QSize size, const CanvasFill &fill);

// Prepares the pictures of a conversion ahead of it on worker threads, at most `Ahead` beyond the
// one the conversion takes, so the decoding happens while the window writes and pauses. The
// workers get paths and sizes and give back pictures; they touch nothing else.
class PicturePipeline
{
  public:
    static constexpr int Ahead = 2;

    // The first pictures start decoding at once, on `workers` threads (0: one per core, two at most).
    PicturePipeline(QStringList paths, QSize size, CanvasFill fill, int workers = 0);
    // Abandons what is pending: pictures not begun are skipped, and the one under way on each
    // worker is waited for, so no worker outlives the pipeline.
    ~PicturePipeline();
    PicturePipeline(const PicturePipeline &) = delete;
    PicturePipeline &operator=(const PicturePipeline &) = delete;

    // Picture `index`; the pictures are taken in order from 0, each once. Waits for it while the
    // window's events are processed. Empty when the wait was broken off: `end` was cancelled or
    // the program is ending.
    std::optional<PreparedPicture> take(qsizetype index, PauseCancel *end);

    // How many pictures have been handed to the workers so far.
    qsizetype started() const { return started_; }

  private:
    void startUpTo(qsizetype last);

    const QStringList paths_;
    const QSize size_;
    const CanvasFill fill_;
    std::shared_ptr<std::atomic<bool>> abandoned_ = std::make_shared<std::atomic<bool>>(false);
    QThreadPool workers_;
    std::deque<WorkerResult<PreparedPicture>> pending_; // pictures taken_ .. started_ - 1
    qsizetype started_ = 0;
    qsizetype taken_ = 0;
};
