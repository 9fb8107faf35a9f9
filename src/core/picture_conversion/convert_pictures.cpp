#include "picture_conversion/convert_pictures.h"

#include "picture_conversion/conversion_steps.h"
#include "picture_conversion/picture_pipeline.h"
#include "shared/file_writing.h"
#include "shared/logging.h"
#include "shared/output_names.h"
#include "shared/paths.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <exception>

namespace
{

const QString ScratchName = QStringLiteral("mydummy.bmp");

// One run's conversion of the selection, picture after picture, through its own scratch file.
class Conversion
{
  public:
    Conversion(const ProductionRequest &request, Host &host, const BmpEncoder &encode, QString pictureFolder,
               QString scratchPath)
        : request_(request), host_(host), encode_(encode), pictureFolder_(std::move(pictureFolder)),
          scratchPath_(std::move(scratchPath))
    {
    }

    ProductionResult run(QSize size)
    {
        ProductionResult result;
        try {
            result = convert(size);
        } catch (const std::exception &) { // out of memory inside Qt or the standard library
            result = ProductionResult::Abandoned(NotEnoughMemoryText(current_));
        }
        result.leftOut = leftOut_;
        result.picturesMade = made_;
        return result;
    }

    // Whether a picture file was written: from then on what was made stays.
    bool wrotePicture() const { return made_ > 0; }

  private:
    ProductionResult convert(QSize size)
    {
        ProductionResult result;
        const QStringList paths = request_.paths();
        const qsizetype count = paths.size();
        // The pictures are converted ahead on worker threads; what the user sees stays here, in
        // order. Leaving this function abandons the pictures still pending.
        PicturePipeline pipeline(
            paths,
            PictureJob{size,
                       CanvasFill{request_.canvasBackground, request_.keepProportions, request_.pageColour},
                       request_.settings.JpegQuality},
            request_.workers);
        for (qsizetype i = 0; i < count; ++i) {
            if (host_.closing()) // the program is ending: nothing more is converted
                return ProductionResult::Abandoned(QString());
            current_ = paths[i];
            const std::optional<PreparedPicture> picture = pipeline.take(i, host_.endOfRun());
            if (!picture || host_.closing())
                return ProductionResult::Abandoned(QString());
            if (picture->ok()) {
                result.PictureDates << PictureDateText(QFileInfo(current_).lastModified());
                // Pictures left out take no number.
                const qsizetype number = i + 1 - leftOut_.size();
                if (const Status written = write(picture->value(), number); !written)
                    return ProductionResult::Abandoned(written.reason());
            } else if (request_.keepGoing) {
                leftOut_.push_back({current_, picture->reason()});
            } else {
                return ProductionResult::Abandoned(picture->reason());
            }
            host_.showStatus(QStringLiteral("Convert picture ") + QString::number(i + 1) +
                             QStringLiteral(" of ") + QString::number(count));
            host_.pause(0.2f);
        }
        return result;
    }

    // Saves the canvas as the scratch file and, while it is there, the JPEG as picture<number>.jpg.
    // The failure is the message that ends the run; a JPEG that cannot be made only loses its picture.
    Status write(const ConvertedPicture &picture, qsizetype number)
    {
        if (const Status saved = WriteWholeFile(scratchPath_, picture.bmp, IfExists::Replace); !saved)
            return Failure{FileNotWrittenText(scratchPath_, saved.reason())};
        if (LookUpFileName(scratchPath_) != ScratchName) {
            host_.showMessage(NotSavedAsJpegText());
            return {};
        }
        const QString jpegPath = JoinPath(
            pictureFolder_, QStringLiteral("picture") + QString::number(number) + QStringLiteral(".jpg"));
        const Outcome<QByteArray> jpeg =
            encode_ ? encode_(scratchPath_, request_.settings.JpegQuality) : picture.jpeg;
        if (!QFile::remove(scratchPath_)) // the next picture replaces it, the run's end takes it
            qCDebug(lcFiles) << "could not remove the scratch file" << scratchPath_;
        if (!jpeg) {
            qCDebug(lcConvert) << current_ << jpeg.reason();
            host_.showMessage(NotSavedAsJpegText());
            return {};
        }
        if (const Status written = WriteWholeFile(jpegPath, jpeg.value(), IfExists::Refuse); !written)
            return Failure{FileNotWrittenText(jpegPath, written.reason())};
        ++made_;
        return {};
    }

    const ProductionRequest &request_;
    Host &host_;
    const BmpEncoder &encode_;
    const QString pictureFolder_;
    const QString scratchPath_;
    QString current_; // the picture under way, for the message when memory runs out
    QList<ProductionResult::LeftOut> leftOut_;
    qsizetype made_ = 0;
};

} // namespace

ProductionResult ConvertPictures(const ProductionRequest &request, Host &host, std::int32_t width,
                                 std::int32_t height, const BmpEncoder &encode)
{
    if (const Status names = CheckAlbumNames(request.folder, request.fileName); !names) {
        host.setArrowPointer();
        return ProductionResult::Abandoned(names.reason());
    }
    if (PageFileExists(request.albumHome, request.folder, request.fileName)) {
        host.setArrowPointer();
        return ProductionResult::Abandoned(FolderExistingText(request.folder));
    }
    if (!CanvasSizeAllowed(width, height))
        return ProductionResult::Abandoned(CanvasSizeText(width, height));
    const Outcome<AlbumFolders> album = MakeOutputFolder(request.albumHome, request.folder);
    if (!album)
        return ProductionResult::Abandoned(album.reason());

    ProductionResult result;
    bool wrotePicture = false;
    {
        // The scratch file lives in a folder of this run's own, so that two runs never share it.
        QTemporaryDir scratch(JoinPath(album->path, ScratchFolderPrefix + QStringLiteral("XXXXXX")));
        if (!scratch.isValid()) {
            result = ProductionResult::Abandoned(
                FileNotWrittenText(JoinPath(album->path, ScratchName), scratch.errorString()));
        } else {
            Conversion conversion(request, host, encode, album->pictureFolder, scratch.filePath(ScratchName));
            result = conversion.run(QSize(width, height));
            wrotePicture = conversion.wrotePicture();
        }
    }
    if (!result.done() && !wrotePicture)
        RemoveEmptyAlbum(album.value());
    return result;
}
