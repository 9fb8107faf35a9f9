#include "support/tool_pictures.h"

#include <QBuffer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cstring>
#include <libheif/heif.h>

namespace ToolPictures
{

bool Installed(const QString &program)
{
    return !QStandardPaths::findExecutable(program).isEmpty();
}

QByteArray Made(const QString &program, const QByteArray &input, const QString &inputSuffix,
                const QStringList &arguments, const QString &outputSuffix)
{
    QTemporaryDir dir;
    if (!Installed(program) || !dir.isValid())
        return QByteArray();
    const QString in = dir.filePath("in." + inputSuffix), out = dir.filePath("out." + outputSuffix);
    QFile inFile(in);
    if (!inFile.open(QIODevice::WriteOnly) || inFile.write(input) != input.size())
        return QByteArray();
    inFile.close();
    QStringList args;
    for (const QString &argument : arguments)
        args << (argument == "IN" ? in : argument == "OUT" ? out : argument);
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStandardPaths::findExecutable(program), args);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        qWarning("%s failed: %s", qPrintable(program), process.readAll().constData());
        return QByteArray();
    }
    QFile outFile(out);
    return outFile.open(QIODevice::ReadOnly) ? outFile.readAll() : QByteArray();
}

QByteArray PngBytes(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QByteArray Heic(const QImage &image, int thumbnailSide)
{
    QStringList arguments{"-q", "90"};
    if (thumbnailSide > 0)
        arguments << "-t" << QString::number(thumbnailSide);
    return Made("heif-enc", PngBytes(image), "png",
                arguments << "-o"
                          << "OUT"
                          << "IN",
                "heic");
}

QByteArray Avif(const QImage &image, const QStringList &extra)
{
    return Made("avifenc", PngBytes(image), "png",
                QStringList{"-s", "10", "--min", "0", "--max", "4", "-y", "444"} + extra +
                    QStringList{"IN", "OUT"},
                "avif");
}

QByteArray WebP(const QImage &image)
{
    return Made("cwebp", PngBytes(image), "png", {"-quiet", "-q", "90", "IN", "-o", "OUT"}, "webp");
}

namespace
{
heif_error AppendTo(heif_context *, const void *data, size_t size, void *userdata)
{
    static_cast<QByteArray *>(userdata)->append(static_cast<const char *>(data), qsizetype(size));
    return heif_error{heif_error_Ok, heif_suberror_Unspecified, "ok"};
}
} // namespace

QByteArray LibheifHeic(const QImage &stored, const HeicCoding &coding)
{
    const QImage rgb = stored.convertToFormat(QImage::Format_RGB888);
    heif_context *context = heif_context_alloc();
    heif_encoder *encoder = nullptr;
    heif_image *image = nullptr;
    heif_image_handle *handle = nullptr;
    heif_encoding_options *options = heif_encoding_options_alloc();
    heif_color_profile_nclx *nclx = heif_nclx_color_profile_alloc();
    QByteArray bytes;
    heif_writer writer{1, &AppendTo};
    auto ok = [](heif_error error) { return error.code == heif_error_Ok; };
    if (ok(heif_context_get_encoder_for_format(context, heif_compression_HEVC, &encoder)) &&
        ok(heif_encoder_set_lossy_quality(encoder, coding.quality)) &&
        ok(heif_encoder_set_parameter_string(encoder, "chroma", coding.chroma)) &&
        ok(heif_image_create(rgb.width(), rgb.height(), heif_colorspace_RGB, heif_chroma_interleaved_RGB,
                             &image)) &&
        ok(heif_image_add_plane(image, heif_channel_interleaved, rgb.width(), rgb.height(), 8)) &&
        ok(heif_nclx_color_profile_set_matrix_coefficients(nclx, uint16_t(coding.matrix)))) {
        int stride = 0;
        uint8_t *plane = heif_image_get_plane(image, heif_channel_interleaved, &stride);
        for (int y = 0; y < rgb.height(); ++y)
            std::memcpy(plane + qsizetype(y) * stride, rgb.constScanLine(y), std::size_t(rgb.width()) * 3);
        nclx->full_range_flag = coding.fullRange ? 1 : 0;
        options->output_nclx_profile = nclx;
        options->image_orientation = heif_orientation(coding.orientation);
        if (!ok(heif_context_encode_image(context, image, encoder, options, &handle)) ||
            (coding.thumbnailSide > 0 &&
             !ok(heif_context_encode_thumbnail(context, image, handle, encoder, options, coding.thumbnailSide,
                                               nullptr))) ||
            !ok(heif_context_write(context, &writer, &bytes)))
            bytes.clear();
    }
    heif_nclx_color_profile_free(nclx);
    heif_encoding_options_free(options);
    heif_image_handle_release(handle);
    heif_image_release(image);
    if (encoder)
        heif_encoder_release(encoder);
    heif_context_free(context);
    return bytes;
}

QByteArray PngWithExifOrientation(const QImage &stored, int orientation)
{
    // A big-endian TIFF block: the header, one directory with one entry, no next directory.
    const QByteArray exif = QByteArray::fromHex("4d4d002a00000008"
                                                "0001"
                                                "011200030000000100") +
                            char(orientation) + QByteArray(6, '\0');
    QByteArray chunk = QByteArray("eXIf") + exif;
    quint32 crc = 0xffffffffu; // the PNG chunk CRC (CRC-32 of type and data)
    for (const char byte : chunk) {
        crc ^= quint8(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    crc = ~crc;
    auto bigEndian = [](quint32 value) {
        const char bytes[] = {char(value >> 24), char(value >> 16), char(value >> 8), char(value)};
        return QByteArray(bytes, 4);
    };
    chunk = bigEndian(quint32(exif.size())) + chunk + bigEndian(crc);
    QByteArray png = PngBytes(stored);
    return png.insert(8 + 25, chunk); // after the signature and the IHDR chunk
}

QByteArray HeicWithOrientation(const QImage &stored, int orientation)
{
    HeicCoding coding;
    coding.orientation = orientation;
    return LibheifHeic(stored, coding);
}

} // namespace ToolPictures
