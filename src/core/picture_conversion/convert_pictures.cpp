#include "picture_conversion/convert_pictures.h"

#include "picture_conversion/bmp_to_jpeg.h"
#include "picture_conversion/conversion_steps.h"
#include "picture_conversion/picture_loader.h"
#include "shared/host.h"
#include "shared/output_names.h"
#include "shared/paths.h"

#include <QBuffer>
#include <QDir>
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

// Writes all of `bytes` or reports failure; unbuffered, so that a full disk cannot go unnoticed.
bool WriteWholeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (bytes.isEmpty() || !file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        return false;
    const bool written = file.write(bytes) == bytes.size();
    file.close();
    return written && file.error() == QFileDevice::NoError;
}

// Everything from the creation of the output folder on. False means the run was given up.
bool ConvertSelection(Host &host, const QString &outputFolder, std::int32_t width, std::int32_t height)
{
    if (QFileInfo::exists(outputFolder) || !QDir().mkdir(outputFolder))
        return false;
    const QString pictureFolder = JoinPath(outputFolder, QStringLiteral("Images"));
    if (!QDir().mkdir(pictureFolder))
        return false;
    // The pages name the folder "images"; where links are possible both spellings resolve.
    QFile::link(QStringLiteral("Images"), JoinPath(outputFolder, QStringLiteral("images")));

    if (!CanvasSizeAllowed(width, height))
        return false;
    QImage canvas(width, height, QImage::Format_RGB32);
    if (canvas.isNull())
        return false;
    const QColor background = CanvasBackground();

    ProgramValues &values = host.values();
    const QString scratchPath = JoinPath(host.programFolder(), ScratchName);
    const QStringList paths = host.selectionPaths();
    const qsizetype count = paths.size();
    for (qsizetype i = 0; i < count; ++i) {
        if (host.closing()) // the program is ending: nothing more is converted
            return false;
        const QString &path = paths[i];
        const LoadedPicture picture = LoadPicture(path, canvas.size());
        if (!picture.ok())
            return false;
        if (i < qsizetype(values.PictureDates.size()))
            values.PictureDates[std::size_t(i)] = PictureDateText(QFileInfo(path).lastModified());

        canvas = StretchOntoCanvas(picture.image, canvas, background);
        if (canvas.isNull())
            return false;
        if (!WriteWholeFile(scratchPath, BmpBytes(canvas))) {
            // A disk that filled up mid-write leaves a cut-off scratch file: it is of no use to anyone.
            QFile::remove(scratchPath);
            return false;
        }

        const QString number = QString::number(i + 1);
        if (LookUpFileName(scratchPath) == ScratchName) {
            const QString jpegPath =
                JoinPath(pictureFolder, QStringLiteral("picture") + number + QStringLiteral(".jpg"));
            const bool written = BmpToJpeg(scratchPath, jpegPath, values.JpegQuality);
            if (!QFile::remove(scratchPath))
                return false;
            // Unlike a missing scratch file, a failed encoding would otherwise pass unnoticed.
            if (!written)
                host.showMessage(QStringLiteral("Bestand niet als JPG opgeslagen!"));
        } else {
            host.showMessage(QStringLiteral("Bestand niet als JPG opgeslagen!"));
        }
        host.showStatus(QStringLiteral("Convert picture ") + number + QStringLiteral(" of ") +
                        QString::number(count));
        host.pause(0.2f);
    }
    return true;
}

} // namespace

void ConvertPictures(Host &host, const QString &folder, const QString &fileName, std::int32_t width,
                     std::int32_t height)
{
    // Refused before anything is looked up or made: such a name could reach outside the program folder.
    const QString refusal = !IsPlainName(folder)
                                ? FolderNotAllowedText(folder)
                                : (!IsPlainName(fileName) ? FileNameNotAllowedText(fileName) : QString());
    if (!refusal.isEmpty()) {
        host.setArrowPointer();
        host.showMessage(refusal);
        host.values().PageStyle = PageStyles::Abandoned;
        return;
    }

    const QString outputFolder = JoinPath(host.programFolder(), folder);
    const QString pageName = fileName + QStringLiteral(".html");
    if (LookUpFileName(JoinPath(outputFolder, pageName)) == pageName) {
        host.setArrowPointer();
        host.showMessage(QStringLiteral("Folder ") + folder + QStringLiteral(" existing..."));
        host.values().PageStyle = PageStyles::Abandoned;
        return;
    }

    bool completed = false;
    try {
        completed = ConvertSelection(host, outputFolder, width, height);
    } catch (const std::exception &) {
        completed = false; // out of memory inside Qt or the standard library: the same failure path
    }
    if (!completed) {
        if (!host.closing())
            host.showMessage(QStringLiteral("Map ") + folder + QStringLiteral(" existing..."));
        host.values().PageStyle = PageStyles::Abandoned;
    }
}
