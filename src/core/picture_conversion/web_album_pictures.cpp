#include "picture_conversion/web_album_pictures.h"

#include "picture_conversion/bmp_to_jpeg.h"
#include "picture_conversion/conversion_steps.h"
#include "picture_conversion/picture_loader.h"
#include "picture_conversion/picture_metadata.h"
#include "shared/file_writing.h"
#include "shared/logging.h"
#include "shared/output_names.h"
#include "shared/paths.h"
#include "shared/pause.h"
#include "shared/thread_handoff.h"

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QImageReader>
#include <QThread>
#include <QThreadPool>
#include <algorithm>
#include <atomic>
#include <deque>
#include <exception>
#include <memory>
#include <numeric>
#include <optional>
#include <vector>

namespace
{

// What a picture file says about itself, read once.
struct PictureFacts {
    WebAlbumCaption caption;
    int orientation = 1;
};

PictureFacts ReadFacts(const QString &path)
{
    const PictureMetadata metadata = ReadPictureMetadataFile(path);
    return PictureFacts{
        WebAlbumCaption{metadata.taken.isValid() ? metadata.taken : QFileInfo(path).lastModified(),
                        metadata.description},
        metadata.orientation};
}

// A picture made on a worker: both JPEG files' bytes, ready to be written.
struct MadePicture {
    QByteArray large, small;
    QSize largeSize, smallSize;
    WebAlbumCaption caption;
    bool encoded = true; // false: the encoder failed on it
};
using MadeOutcome = Outcome<MadePicture>;

// The size to decode at: the fitted picture, upright, so that a JPEG is decoded at 1/2, 1/4 or 1/8
// of its size where that is enough. Where the header says nothing (HEIF), the longer side of the
// box covers any fitted picture.
QSize DecodeCover(const QString &path, QSize box, int orientation)
{
    QImageReader reader(path);
    const QSize stored = reader.size();
    if (!stored.isValid() || stored.isEmpty()) {
        const int side = std::max(box.width(), box.height());
        return QSize(side, side);
    }
    return FitInside(orientation >= 5 ? stored.transposed() : stored, box); // 5 to 8 turn it sideways
}

// Area-averaging reduction (Qt's smooth scaling averages every source pixel for large reductions).
QImage Shrunk(const QImage &picture, QSize size)
{
    if (picture.size() == size)
        return picture;
    return picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

// `orientation` where the metadata was read already (its caption stays with the caller); else the
// metadata is read here, once.
MadeOutcome MakePicture(const QString &path, std::optional<int> orientation, QSize box,
                        const QColor &background, int quality)
{
    try {
        MadePicture made;
        PictureFacts facts;
        if (orientation)
            facts.orientation = *orientation;
        else
            facts = ReadFacts(path);
        made.caption = std::move(facts.caption);
        QImage large;
        QSize smallSize;
        {
            const Outcome<QImage> loaded = LoadPicture(path, DecodeCover(path, box, facts.orientation));
            if (!loaded)
                return Failure{PictureNotReadText(path, loaded.reason())};
            large = Shrunk(Opaque(loaded.value(), background), FitInside(loaded->size(), box));
        }
        const QImage small =
            Shrunk(large, FitInside(large.size(), QSize(WebAlbumSmallSide, WebAlbumSmallSide)));
        if (large.isNull() || small.isNull())
            return Failure{NotEnoughMemoryText(path)};
        made.largeSize = large.size();
        made.smallSize = small.size();
        Outcome<QByteArray> largeJpeg = EncodeJpeg(large, quality);
        // The grid's pictures are what a phone fetches first; the large ones go one at a time.
        Outcome<QByteArray> smallJpeg = EncodeJpeg(small, quality, JpegCoding::Progressive);
        if (!largeJpeg || !smallJpeg) {
            qCDebug(lcConvert) << path << largeJpeg.reason() << smallJpeg.reason();
            made.encoded = false;
            return made;
        }
        made.large = std::move(largeJpeg).value();
        made.small = std::move(smallJpeg).value();
        return made;
    } catch (const std::exception &) { // out of memory inside Qt or the standard library
        return Failure{NotEnoughMemoryText(path)};
    }
}

// Waits for a worker's result while the window's events are processed. Empty when the wait was
// broken off: `end` was cancelled.
template <typename Result> std::optional<Result> Await(WorkerResult<Result> &pending, PauseCancel *end)
{
    if (!pending.isFinished()) {
        if (end && end->cancelled())
            return std::nullopt;
        QEventLoop loop;
        QFutureWatcher<void> watcher;
        QObject::connect(&watcher, &QFutureWatcherBase::finished, &loop, &QEventLoop::quit);
        watcher.setFuture(pending.done());
        const PauseCancel::Waiting waiting(end, &loop);
        loop.exec();
        if (!pending.isFinished())
            return std::nullopt;
    }
    return pending.take();
}

// One run's pictures: made ahead on the workers, written here in album order.
class WebAlbumRun
{
  public:
    WebAlbumRun(const ProductionRequest &request, Host &host, QSize box, AlbumFolders album,
                QString smallFolder)
        : request_(request), host_(host), box_(box), album_(std::move(album)),
          smallFolder_(std::move(smallFolder))
    {
        const int workers = request.workers > 0 ? request.workers : QThread::idealThreadCount();
        workers_.setMaxThreadCount(std::max(workers, 1));
        ahead_ = 2 * workers_.maxThreadCount();
    }

    ~WebAlbumRun()
    {
        abandoned_->store(true);
        pending_.clear();
        workers_.waitForDone();
    }
    WebAlbumRun(const WebAlbumRun &) = delete;
    WebAlbumRun &operator=(const WebAlbumRun &) = delete;

    WebAlbumPictures run()
    {
        WebAlbumPictures made;
        try {
            made.result = makeAll(made.pictures);
        } catch (const std::exception &) { // out of memory inside Qt or the standard library
            made.result = ProductionResult::Abandoned(NotEnoughMemoryText(current_));
        }
        made.result.leftOut = leftOut_;
        made.result.picturesMade = made_;
        return made;
    }

    bool wrotePicture() const { return made_ > 0; }

  private:
    ProductionResult makeAll(QList<WebAlbumPicture> &pictures)
    {
        const QStringList paths = request_.paths();
        order_.resize(std::size_t(paths.size()));
        std::iota(order_.begin(), order_.end(), qsizetype(0));
        facts_.assign(order_.size(), std::nullopt);
        if (request_.sortByDate && !sortByDate(paths))
            return ProductionResult::Abandoned(QString());

        ProductionResult result;
        const qsizetype count = paths.size();
        for (qsizetype n = 0; n < count; ++n) {
            if (host_.closing()) // the program is ending: nothing more is made
                return ProductionResult::Abandoned(QString());
            current_ = paths[order_[std::size_t(n)]];
            startUpTo(n + ahead_);
            WorkerResult<MadeOutcome> next = std::move(pending_.front());
            pending_.pop_front();
            std::optional<MadeOutcome> picture = Await(next, host_.endOfRun());
            if (!picture || host_.closing())
                return ProductionResult::Abandoned(QString());
            if (picture->ok()) {
                // Pictures left out take no number.
                const std::optional<PictureFacts> &known = facts_[std::size_t(order_[std::size_t(n)])];
                const MadePicture &made = picture->value();
                if (const Status placed = place(made, known ? known->caption : made.caption,
                                                n + 1 - leftOut_.size(), pictures, result.PictureDates);
                    !placed)
                    return ProductionResult::Abandoned(placed.reason());
            } else if (request_.keepGoing) {
                leftOut_.push_back({current_, picture->reason()});
            } else {
                return ProductionResult::Abandoned(picture->reason());
            }
            host_.showStatus(QStringLiteral("Convert picture ") + QString::number(n + 1) +
                             QStringLiteral(" of ") + QString::number(count));
            host_.pause(0.2f);
        }
        return result;
    }

    // Writes the picture under way as album place `number` and adds it to the page's list. The
    // failure is the message that ends the run; a JPEG that could not be made only loses its picture.
    Status place(const MadePicture &made, const WebAlbumCaption &caption, qsizetype number,
                 QList<WebAlbumPicture> &pictures, QStringList &dates)
    {
        dates << PictureDateText(QFileInfo(current_).lastModified());
        const QString file = QStringLiteral("picture") + QString::number(number) + QStringLiteral(".jpg");
        pictures << WebAlbumPicture{QFileInfo(current_).fileName(), made.largeSize, made.smallSize,
                                    made.encoded, caption};
        if (!made.encoded) {
            host_.showMessage(NotSavedAsJpegText());
            return {};
        }
        for (const auto &[folder, bytes] :
             {std::pair{album_.pictureFolder, &made.large}, std::pair{smallFolder_, &made.small}}) {
            const QString path = JoinPath(folder, file);
            if (const Status written = WriteWholeFile(path, *bytes, IfExists::Refuse); !written)
                return Failure{FileNotWrittenText(path, written.reason())};
        }
        ++made_;
        return {};
    }

    // Reads every caption on the workers and orders the album by date taken, stably. False when
    // the wait was broken off.
    bool sortByDate(const QStringList &paths)
    {
        std::vector<WorkerResult<PictureFacts>> reading;
        for (const QString &path : paths)
            reading.push_back(RunOnWorker(workers_, [path = Unshared(path)] { return ReadFacts(path); }));
        for (std::size_t i = 0; i < reading.size(); ++i) {
            std::optional<PictureFacts> facts = Await(reading[i], host_.endOfRun());
            if (!facts || host_.closing())
                return false;
            facts_[i] = std::move(facts);
        }
        std::stable_sort(order_.begin(), order_.end(), [this](qsizetype a, qsizetype b) {
            return facts_[std::size_t(a)]->caption.taken < facts_[std::size_t(b)]->caption.taken;
        });
        return true;
    }

    // Hands the pictures up to album place `last` to the workers.
    void startUpTo(qsizetype last)
    {
        for (; started_ <= last && started_ < qsizetype(order_.size()); ++started_) {
            const std::size_t source = std::size_t(order_[std::size_t(started_)]);
            pending_.push_back(RunOnWorker(
                workers_,
                [abandoned = abandoned_, path = Unshared(request_.selection[qsizetype(source)].path),
                 orientation =
                     facts_[source] ? std::optional<int>(facts_[source]->orientation) : std::nullopt,
                 box = box_, background = request_.canvasBackground,
                 quality = int(request_.settings.JpegQuality)] {
                    return abandoned->load()
                               ? MadeOutcome(Failure{QStringLiteral("the run ended before its turn")})
                               : MakePicture(path, orientation, box, background, quality);
                }));
        }
    }

    const ProductionRequest &request_;
    Host &host_;
    const QSize box_;
    const AlbumFolders album_;
    const QString smallFolder_;
    std::vector<qsizetype> order_;                   // album place -> selection index
    std::vector<std::optional<PictureFacts>> facts_; // by selection index, where read ahead
    std::shared_ptr<std::atomic<bool>> abandoned_ = std::make_shared<std::atomic<bool>>(false);
    QThreadPool workers_;
    std::deque<WorkerResult<MadeOutcome>> pending_; // album places taken .. started_ - 1
    qsizetype started_ = 0;
    qsizetype ahead_ = 2;
    QString current_;
    QList<ProductionResult::LeftOut> leftOut_;
    qsizetype made_ = 0; // pictures written, both sizes
};

} // namespace

QSize FitInside(QSize size, QSize box)
{
    if (size.isEmpty() || box.isEmpty())
        return QSize(1, 1);
    if (size.width() <= box.width() && size.height() <= box.height())
        return size;
    const double scale = std::min(double(box.width()) / size.width(), double(box.height()) / size.height());
    return QSize(std::max(1, qRound(size.width() * scale)), std::max(1, qRound(size.height() * scale)));
}

WebAlbumCaption ReadWebAlbumCaption(const QString &path)
{
    return ReadFacts(path).caption;
}

WebAlbumPictures MakeWebAlbumPictures(const ProductionRequest &request, Host &host, QSize box)
{
    WebAlbumPictures made;
    if (const Status names = CheckAlbumNames(request.folder, request.fileName); !names) {
        host.setArrowPointer();
        made.result = ProductionResult::Abandoned(names.reason());
        return made;
    }
    if (PageFileExists(request.albumHome, request.folder, request.fileName)) {
        host.setArrowPointer();
        made.result = ProductionResult::Abandoned(FolderExistingText(request.folder));
        return made;
    }
    if (!CanvasSizeAllowed(box.width(), box.height())) {
        made.result = ProductionResult::Abandoned(CanvasSizeText(box.width(), box.height()));
        return made;
    }
    const Outcome<AlbumFolders> album = MakeOutputFolder(request.albumHome, request.folder);
    if (!album) {
        made.result = ProductionResult::Abandoned(album.reason());
        return made;
    }
    const QString smallFolder = JoinPath(album->pictureFolder, QStringLiteral("small"));
    if (!QDir().mkdir(smallFolder)) {
        RemoveEmptyAlbum(album.value());
        made.result = ProductionResult::Abandoned(
            FolderNotMadeText(smallFolder, QStringLiteral("it could not be made")));
        return made;
    }
    bool wrotePicture = false;
    {
        WebAlbumRun run(request, host, box, album.value(), smallFolder);
        made = run.run();
        wrotePicture = run.wrotePicture();
    }
    if (!made.result.done() && !wrotePicture) {
        if (!QDir().rmdir(smallFolder))
            qCDebug(lcFiles) << "could not remove the folder" << smallFolder;
        RemoveEmptyAlbum(album.value());
    }
    return made;
}
