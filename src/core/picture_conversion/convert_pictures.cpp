#include "picture_conversion/convert_pictures.h"

#include "picture_conversion/conversion_steps.h"
#include "picture_conversion/picture_pipeline.h"
#include "shared/file_writing.h"
#include "shared/logging.h"
#include "shared/output_names.h"
#include "shared/paths.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <exception>

namespace
{

const QString ScratchName = QStringLiteral("mydummy.bmp");

Outcome<QByteArray> BmpBytes(const QImage &canvas, const QString &picturePath)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly) || !canvas.save(&buffer, "BMP") || bytes.isEmpty())
        return Failure{NotEnoughMemoryText(picturePath)};
    return bytes;
}

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
        try {
            return convert(size);
        } catch (const std::exception &) { // out of memory inside Qt or the standard library
            return ProductionResult::Abandoned(NotEnoughMemoryText(current_));
        }
    }

    // Whether a picture file was written: from then on what was made stays.
    bool wrotePicture() const { return wrotePicture_; }

  private:
    ProductionResult convert(QSize size)
    {
        ProductionResult result;
        const QStringList paths = request_.paths();
        const qsizetype count = paths.size();
        // The pictures are loaded and put on their canvas ahead on worker threads; what the user
        // sees stays here, in order. Leaving this function abandons the pictures still pending.
        PicturePipeline pipeline(
            paths, size, CanvasFill{request_.canvasBackground, request_.keepProportions, request_.pageColour},
            request_.workers);
        for (qsizetype i = 0; i < count; ++i) {
            if (host_.closing()) // the program is ending: nothing more is converted
                return ProductionResult::Abandoned(QString());
            current_ = paths[i];
            const std::optional<PreparedPicture> picture = pipeline.take(i, host_.endOfRun());
            if (!picture || host_.closing())
                return ProductionResult::Abandoned(QString());
            if (!picture->ok())
                return ProductionResult::Abandoned(picture->reason());
            result.PictureDates << PictureDateText(QFileInfo(current_).lastModified());

            const Outcome<QByteArray> bmp = BmpBytes(picture->value(), current_);
            if (!bmp)
                return ProductionResult::Abandoned(bmp.reason());
            if (const Status saved = WriteWholeFile(scratchPath_, bmp.value(), IfExists::Replace); !saved)
                return ProductionResult::Abandoned(FileNotWrittenText(scratchPath_, saved.reason()));

            const QString number = QString::number(i + 1);
            if (LookUpFileName(scratchPath_) == ScratchName) {
                const QString jpegPath =
                    JoinPath(pictureFolder_, QStringLiteral("picture") + number + QStringLiteral(".jpg"));
                const Outcome<QByteArray> jpeg = encode_(scratchPath_, request_.settings.JpegQuality);
                if (!QFile::remove(scratchPath_)) // the next picture replaces it, the run's end takes it
                    qCDebug(lcFiles) << "could not remove the scratch file" << scratchPath_;
                if (!jpeg) {
                    qCDebug(lcConvert) << current_ << jpeg.reason();
                    host_.showMessage(NotSavedAsJpegText());
                } else if (const Status written = WriteWholeFile(jpegPath, jpeg.value(), IfExists::Refuse);
                           !written) {
                    return ProductionResult::Abandoned(FileNotWrittenText(jpegPath, written.reason()));
                } else {
                    wrotePicture_ = true;
                }
            } else {
                host_.showMessage(NotSavedAsJpegText());
            }
            host_.showStatus(QStringLiteral("Convert picture ") + number + QStringLiteral(" of ") +
                             QString::number(count));
            host_.pause(0.2f);
        }
        return result;
    }

    const ProductionRequest &request_;
    Host &host_;
    const BmpEncoder &encode_;
    const QString pictureFolder_;
    const QString scratchPath_;
    QString current_; // the picture under way, for the message when memory runs out
    bool wrotePicture_ = false;
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
        QTemporaryDir scratch(JoinPath(album->path, QStringLiteral(".scratch-XXXXXX")));
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
