#include "picture_conversion/convert_pictures.h"

#include "picture_conversion/bmp_to_jpeg.h"
#include "picture_conversion/conversion_steps.h"
#include "picture_conversion/picture_loader.h"
#include "shared/host.h"
#include "shared/paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QPalette>
#include <exception>

namespace
{

const QString ScratchName = QStringLiteral("mydummy.bmp");

// The colour the canvas is cleared to: the window background, so transparent parts of a GIF show it.
QColor CanvasBackground()
{
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return QGuiApplication::palette().color(QPalette::Window);
    return QColor(Qt::white);
}

// The canvas holding `picture` stretched over all of it, or a null image when memory ran out.
QImage StretchOntoCanvas(const QImage &picture, const QImage &canvas, const QColor &background)
{
    QImage stretched = picture.size() == canvas.size()
                           ? picture
                           : picture.scaled(canvas.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (stretched.isNull())
        return QImage();
    if (!stretched.hasAlphaChannel())
        return stretched.format() == QImage::Format_RGB32 ? stretched
                                                          : stretched.convertToFormat(QImage::Format_RGB32);
    QImage result = canvas;
    result.fill(background);
    if (result.isNull())
        return QImage();
    QPainter painter(&result);
    painter.drawImage(0, 0, stretched);
    return result;
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
        const QString &path = paths[i];
        const LoadedPicture picture = LoadPicture(path, canvas.size());
        if (!picture.ok())
            return false;
        if (i < qsizetype(values.PictureDates.size()))
            values.PictureDates[std::size_t(i)] = PictureDateText(QFileInfo(path).lastModified());

        canvas = StretchOntoCanvas(picture.image, canvas, background);
        if (canvas.isNull() || !canvas.save(scratchPath, "BMP"))
            return false;

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
        host.showMessage(QStringLiteral("Map ") + folder + QStringLiteral(" existing..."));
        host.values().PageStyle = PageStyles::Abandoned;
    }
}
