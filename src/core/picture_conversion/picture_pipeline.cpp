#include "picture_conversion/picture_pipeline.h"

#include "picture_conversion/conversion_steps.h"
#include "picture_conversion/picture_loader.h"
#include "shared/output_names.h"
#include "shared/pause.h"

#include <QEventLoop>
#include <QFutureWatcher>
#include <QThread>
#include <algorithm>
#include <exception>

PreparedPicture PreparePicture(const QString &path, QSize size, const CanvasFill &fill)
{
    try {
        const Outcome<QImage> picture = LoadPicture(path, size);
        if (!picture)
            return Failure{PictureNotReadText(path, picture.reason())};
        const QImage canvas(size, QImage::Format_RGB32);
        if (canvas.isNull())
            return Failure{NotEnoughMemoryText(path)};
        Outcome<QImage> filled = StretchOntoCanvas(picture.value(), canvas, fill);
        if (!filled)
            return Failure{NotEnoughMemoryText(path)};
        return std::move(filled).value();
    } catch (const std::exception &) { // out of memory inside Qt or the standard library
        return Failure{NotEnoughMemoryText(path)};
    }
}

PicturePipeline::PicturePipeline(QStringList paths, QSize size, CanvasFill fill, int workers)
    : paths_(std::move(paths)), size_(size), fill_(std::move(fill))
{
    // One worker per core, two at most: with the window's thread that keeps a second core busy.
    workers_.setMaxThreadCount(workers > 0 ? workers : std::clamp(QThread::idealThreadCount(), 1, Ahead));
    startUpTo(Ahead);
}

PicturePipeline::~PicturePipeline()
{
    abandoned_->store(true);
    pending_.clear();
    workers_.waitForDone();
}

void PicturePipeline::startUpTo(qsizetype last)
{
    for (; started_ <= last && started_ < paths_.size(); ++started_) {
        // The worker gets copies of plain values; a picture abandoned before its turn is skipped.
        pending_.push_back(RunOnWorker(
            workers_, [abandoned = abandoned_, path = paths_[started_], size = size_, fill = fill_] {
                return abandoned->load()
                           ? PreparedPicture(Failure{QStringLiteral("the run ended before its turn")})
                           : PreparePicture(path, size, fill);
            }));
    }
}

std::optional<PreparedPicture> PicturePipeline::take(qsizetype index, PauseCancel *end)
{
    if (index != taken_ || pending_.empty())
        return std::nullopt;
    // The pictures after this one go on decoding while it is written and paced.
    startUpTo(index + Ahead);
    WorkerResult<PreparedPicture> next = std::move(pending_.front());
    pending_.pop_front();
    ++taken_;
    if (!next.isFinished()) {
        if (end && end->cancelled())
            return std::nullopt;
        QEventLoop loop;
        QFutureWatcher<void> watcher;
        QObject::connect(&watcher, &QFutureWatcherBase::finished, &loop, &QEventLoop::quit);
        watcher.setFuture(next.done());
        const PauseCancel::Waiting waiting(end, &loop);
        loop.exec();
        if (!next.isFinished())
            return std::nullopt;
    }
    return next.take();
}
