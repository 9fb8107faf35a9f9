#include "picture_conversion/picture_pipeline.h"

#include "picture_conversion/bmp_to_jpeg.h"
#include "picture_conversion/conversion_steps.h"
#include "picture_conversion/picture_loader.h"
#include "shared/output_names.h"
#include "shared/pause.h"

#include <QBuffer>
#include <QEventLoop>
#include <QFutureWatcher>
#include <QThread>
#include <algorithm>
#include <exception>

Outcome<QImage> PreparePicture(const QString &path, QSize size, const CanvasFill &fill)
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

PreparedPicture ConvertPicture(const QString &path, const PictureJob &job)
{
    const Outcome<QImage> canvas = PreparePicture(path, job.size, job.fill);
    if (!canvas)
        return canvas.failure();
    try {
        QByteArray bmp;
        QBuffer buffer(&bmp);
        if (!buffer.open(QIODevice::WriteOnly) || !canvas->save(&buffer, "BMP") || bmp.isEmpty())
            return Failure{NotEnoughMemoryText(path)};
        // The canvas is what the BMP holds, pixel for pixel, so its JPEG is the encoder's of the BMP.
        return ConvertedPicture{std::move(bmp), EncodeJpeg(canvas.value(), job.quality)};
    } catch (const std::exception &) { // out of memory inside Qt or the standard library
        return Failure{NotEnoughMemoryText(path)};
    }
}

PicturePipeline::PicturePipeline(QStringList paths, PictureJob job, int workers)
    : paths_(std::move(paths)), job_(std::move(job))
{
    const int threads = workers > 0 ? workers : std::max(QThread::idealThreadCount(), 1);
    workers_.setMaxThreadCount(threads);
    inFlight_ = threads + Spare;
    startUpTo(inFlight_);
}

PicturePipeline::~PicturePipeline()
{
    abandoned_->store(true);
    pending_.clear();
    workers_.waitForDone();
}

void PicturePipeline::startUpTo(qsizetype end)
{
    for (; started_ < end && started_ < paths_.size(); ++started_) {
        // The worker gets copies of plain values; a picture abandoned before its turn is skipped.
        pending_.push_back(
            RunOnWorker(workers_, [abandoned = abandoned_, path = Unshared(paths_[started_]), job = job_] {
                return abandoned->load()
                           ? PreparedPicture(Failure{QStringLiteral("the run ended before its turn")})
                           : ConvertPicture(path, job);
            }));
    }
}

std::optional<PreparedPicture> PicturePipeline::take(qsizetype index, PauseCancel *end)
{
    if (index != taken_ || pending_.empty())
        return std::nullopt;
    // The pictures after this one go on converting while it is written and paced: this one and
    // those after it make up the pictures in flight.
    startUpTo(index + inFlight_);
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
