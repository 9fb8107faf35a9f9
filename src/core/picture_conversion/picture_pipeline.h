#pragma once

#include "picture_conversion/conversion_steps.h"
#include "shared/outcome.h"
#include "shared/thread_handoff.h"

#include <QByteArray>
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

// Loads the picture at `path` for a canvas of `size` and puts it on the canvas as `fill` says.
// The failure is the message the user sees ("Picture <path> could not be read: <reason>", or not
// enough memory). Plain values in and out: it runs on any thread.
Outcome<QImage> PreparePicture(const QString &path, QSize size, const CanvasFill &fill);

// One picture's whole work, ready to be written: its canvas as the scratch BMP file holds it, and
// the JPEG the encoder makes of that BMP (the same bytes, made from the canvas itself).
struct ConvertedPicture {
    QByteArray bmp;
    Outcome<QByteArray> jpeg; // the failure: why the encoder gave up
};

// A converted picture, or the message that says why its picture could not be made.
using PreparedPicture = Outcome<ConvertedPicture>;

// What every picture of a conversion is turned into.
struct PictureJob {
    QSize size;
    CanvasFill fill;
    int quality = 75;
};

// Reads, decodes, puts on its canvas and encodes the picture at `path`. Runs on any thread.
PreparedPicture ConvertPicture(const QString &path, const PictureJob &job);

// Converts the pictures of a conversion on worker threads, while the conversion writes them one after
// another in order. At most `inFlight()` pictures are started and not yet written (the workers' own and
// a few finished ones waiting their turn), so memory stays bounded however long the selection. The
// workers get paths and sizes and give back bytes; they touch nothing else.
class PicturePipeline
{
  public:
    // Pictures finished beyond those the workers are on, so that the writing never waits for one
    // while the workers go on.
    static constexpr int Spare = 2;

    // The first pictures start at once on `workers` threads (0: one per core).
    PicturePipeline(QStringList paths, PictureJob job, int workers = 0);
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
    // The workers plus the spare pictures.
    int inFlight() const { return inFlight_; }

  private:
    void startUpTo(qsizetype end);

    const QStringList paths_;
    const PictureJob job_;
    std::shared_ptr<std::atomic<bool>> abandoned_ = std::make_shared<std::atomic<bool>>(false);
    QThreadPool workers_;
    int inFlight_ = 0;
    std::deque<WorkerResult<PreparedPicture>> pending_; // pictures taken_ .. started_ - 1
    qsizetype started_ = 0;
    qsizetype taken_ = 0;
};
