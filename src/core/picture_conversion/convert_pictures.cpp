#include "picture_conversion/convert_pictures.h"

#include "picture_conversion/bmp_to_jpeg.h"
#include "picture_conversion/conversion_steps.h"
#include "picture_conversion/picture_loader.h"
#include "picture_conversion/picture_pipeline.h"
#include "shared/file_writing.h"
#include "shared/host.h"
#include "shared/output_names.h"
#include "shared/paths.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <exception>

namespace
{

const QString ScratchName = QStringLiteral("mydummy.bmp");

QByteArray BmpBytes(const QImage &canvas)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly) || !canvas.save(&buffer, "BMP"))
        return QByteArray();
    return bytes;
}

// Converts the selection, picture after picture, into `pictureFolder`.
ProductionResult ConvertSelection(Host &host, const QString &folder, const QString &pictureFolder,
                                  std::int32_t width, std::int32_t height)
{
    const ProductionResult givenUp = ProductionResult::Abandoned(MapExistingText(folder));
    if (!CanvasSizeAllowed(width, height))
        return givenUp;
    QImage canvas(width, height, QImage::Format_RGB32);
    if (canvas.isNull())
        return givenUp;
    const QColor background = CanvasBackground();

    ProgramValues &values = host.values();
    const QString scratchPath = JoinPath(host.programFolder(), ScratchName);
    const QStringList paths = host.selectionPaths();
    const qsizetype count = paths.size();
    // The pictures are loaded and stretched ahead on worker threads; what the user sees stays here,
    // in order. Leaving this function abandons the pictures still pending.
    PicturePipeline pipeline(paths, canvas.size(), background);
    for (qsizetype i = 0; i < count; ++i) {
        if (host.closing()) // the program is ending: nothing more is converted
            return ProductionResult::Abandoned(QString());
        const QString &path = paths[i];
        const std::optional<PreparedPicture> picture = pipeline.take(i, host.endOfRun());
        if (!picture || host.closing())
            return ProductionResult::Abandoned(QString());
        if (picture->unreadable)
            return ProductionResult::Abandoned(PictureNotReadText(path, picture->error));
        if (i < qsizetype(values.PictureDates.size()))
            values.PictureDates[std::size_t(i)] = PictureDateText(QFileInfo(path).lastModified());

        canvas = picture->canvas;
        if (canvas.isNull())
            return givenUp;
        const QByteArray bmp = BmpBytes(canvas);
        if (bmp.isEmpty() || !WriteWholeFile(scratchPath, bmp, IfExists::Replace))
            return givenUp;

        const QString number = QString::number(i + 1);
        if (LookUpFileName(scratchPath) == ScratchName) {
            const QString jpegPath =
                JoinPath(pictureFolder, QStringLiteral("picture") + number + QStringLiteral(".jpg"));
            const bool written = BmpToJpeg(scratchPath, jpegPath, values.JpegQuality);
            if (!QFile::remove(scratchPath))
                return givenUp;
            // Unlike a missing scratch file, a failed encoding would otherwise pass unnoticed.
            if (!written)
                host.showMessage(NotSavedAsJpegText());
        } else {
            host.showMessage(NotSavedAsJpegText());
        }
        host.showStatus(QStringLiteral("Convert picture ") + number + QStringLiteral(" of ") +
                        QString::number(count));
        host.pause(0.2f);
    }
    return ProductionResult::Done();
}

} // namespace

ProductionResult ConvertPictures(Host &host, const QString &folder, const QString &fileName,
                                 std::int32_t width, std::int32_t height)
{
    const OutputFolder output = MakeOutputFolder(host.programFolder(), folder, fileName);
    switch (output.problem) {
    case OutputFolder::Problem::None:
        break;
    case OutputFolder::Problem::NameNotAllowed:
        host.setArrowPointer();
        return ProductionResult::Abandoned(output.message);
    case OutputFolder::Problem::PageExists:
        host.setArrowPointer();
        return ProductionResult::Abandoned(FolderExistingText(folder));
    case OutputFolder::Problem::FolderExists:
        return ProductionResult::Abandoned(MapExistingText(folder));
    case OutputFolder::Problem::NotMade:
        return ProductionResult::Abandoned(output.message);
    }
    try {
        return ConvertSelection(host, folder, output.pictureFolder, width, height);
    } catch (const std::exception &) { // out of memory inside Qt or the standard library
        return ProductionResult::Abandoned(MapExistingText(folder));
    }
}
