#include "support/tool_pictures.h"

#include <QBuffer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtEndian>
#include <cstring>
#include <functional>
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

// A big-endian TIFF block: the header, one directory with one entry (the orientation), no next
// directory.
QByteArray ExifWithOrientation(int orientation)
{
    return QByteArray::fromHex("4d4d002a00000008"
                               "0001"
                               "011200030000000100") +
           char(orientation) + QByteArray(6, '\0');
}

// `stored` as a libheif picture of `bitDepth` bits: interleaved RGB(A), or for "400" a luma
// (BT.601) and maybe an alpha plane. Samples deeper than 8 bits are scaled to their range.
heif_image *HeifImageOf(const QImage &stored, int bitDepth, bool monochrome)
{
    const bool alpha = stored.hasAlphaChannel();
    const QImage rgba = stored.convertToFormat(QImage::Format_RGBA8888);
    const int width = rgba.width(), height = rgba.height(), top = (1 << bitDepth) - 1;
    auto scaled = [&](int value8) { return (value8 * top + 127) / 255; };
    const bool deep = bitDepth > 8;
    heif_image *image = nullptr;
    const heif_chroma chroma =
        monochrome ? heif_chroma_monochrome
        : deep     ? (alpha ? heif_chroma_interleaved_RRGGBBAA_BE : heif_chroma_interleaved_RRGGBB_BE)
                   : (alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB);
    if (heif_image_create(width, height, monochrome ? heif_colorspace_monochrome : heif_colorspace_RGB,
                          chroma, &image)
            .code != heif_error_Ok)
        return nullptr;
    // Writes a sample of `bitDepth` bits: one byte, or two (big-endian when interleaved).
    auto put = [&](uint8_t *at, int value, bool bigEndian) {
        if (!deep) {
            *at = uint8_t(value);
        } else if (bigEndian) {
            at[0] = uint8_t(value >> 8);
            at[1] = uint8_t(value);
        } else {
            const uint16_t sample = uint16_t(value);
            std::memcpy(at, &sample, 2);
        }
    };
    const int bytes = deep ? 2 : 1;
    auto fill = [&](heif_channel channel, int samples,
                    const std::function<int(const uchar *pixel, int)> &value) {
        if (heif_image_add_plane(image, channel, width, height, bitDepth).code != heif_error_Ok)
            return false;
        int stride = 0;
        uint8_t *plane = heif_image_get_plane(image, channel, &stride);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                for (int s = 0; s < samples; ++s)
                    put(plane + qsizetype(y) * stride + (x * samples + s) * bytes,
                        scaled(value(rgba.constScanLine(y) + 4 * x, s)), channel == heif_channel_interleaved);
        return true;
    };
    const bool filled =
        monochrome
            ? fill(heif_channel_Y, 1,
                   [](const uchar *p, int) { return qRound(0.299 * p[0] + 0.587 * p[1] + 0.114 * p[2]); }) &&
                  (!alpha || fill(heif_channel_Alpha, 1, [](const uchar *p, int) { return int(p[3]); }))
            : fill(heif_channel_interleaved, alpha ? 4 : 3, [](const uchar *p, int s) { return int(p[s]); });
    if (!filled) {
        heif_image_release(image);
        return nullptr;
    }
    return image;
}
} // namespace

QByteArray LibheifHeic(const QImage &stored, const HeicCoding &coding, QString *why)
{
    const bool monochrome = std::strcmp(coding.chroma, "400") == 0;
    heif_context *context = heif_context_alloc();
    heif_encoder *encoder = nullptr;
    heif_image *image = HeifImageOf(stored, coding.bitDepth, monochrome);
    heif_image_handle *handle = nullptr;
    heif_encoding_options *options = heif_encoding_options_alloc();
    heif_color_profile_nclx *nclx = heif_nclx_color_profile_alloc();
    QByteArray bytes;
    heif_writer writer{1, &AppendTo};
    heif_error error{heif_error_Usage_error, heif_suberror_Unspecified, "the picture could not be made"};
    auto ok = [&](heif_error result) {
        error = result;
        return result.code == heif_error_Ok;
    };
    const QByteArray exif = ExifWithOrientation(coding.exifOrientation);
    if (image && ok(heif_context_get_encoder_for_format(context, heif_compression_HEVC, &encoder)) &&
        ok(heif_encoder_set_lossy_quality(encoder, coding.quality)) &&
        (monochrome || ok(heif_encoder_set_parameter_string(encoder, "chroma", coding.chroma))) &&
        (!coding.preset || ok(heif_encoder_set_parameter_string(encoder, "preset", coding.preset))) &&
        ok(heif_nclx_color_profile_set_matrix_coefficients(nclx, uint16_t(coding.matrix)))) {
        nclx->full_range_flag = coding.fullRange ? 1 : 0;
        options->output_nclx_profile = nclx;
        options->image_orientation = heif_orientation(coding.orientation);
        if (!ok(heif_context_encode_image(context, image, encoder, options, &handle)) ||
            (coding.thumbnailSide > 0 &&
             !ok(heif_context_encode_thumbnail(context, image, handle, encoder, options, coding.thumbnailSide,
                                               nullptr))) ||
            (coding.exifOrientation > 0 &&
             !ok(heif_context_add_exif_metadata(context, handle, exif.constData(), int(exif.size())))) ||
            !ok(heif_context_write(context, &writer, &bytes)))
            bytes.clear();
    }
    if (bytes.isEmpty() && why)
        *why = QString::fromUtf8(error.message);
    heif_nclx_color_profile_free(nclx);
    heif_encoding_options_free(options);
    heif_image_handle_release(handle);
    heif_image_release(image);
    if (encoder)
        heif_encoder_release(encoder);
    heif_context_free(context);
    return bytes;
}

namespace
{

QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray bytes;
    for (const int value : values)
        bytes.append(char(value));
    return bytes;
}

QByteArray Be16(quint32 value)
{
    return Bytes({int(value >> 8) & 0xff, int(value & 0xff)});
}

QByteArray Be32(quint32 value)
{
    return Be16(value >> 16) + Be16(value & 0xffff);
}

QByteArray Box(const char *type, const QByteArray &body)
{
    return Be32(quint32(8 + body.size())) + type + body;
}

QByteArray FullBox(const char *type, int version, int flags, const QByteArray &body)
{
    return Box(type, char(version) + Be32(quint32(flags)).mid(1) + body);
}

// The boxes of `file` from `from` to `to`, by type, with their headers; the first of each type.
QByteArray BoxIn(const QByteArray &file, qsizetype from, qsizetype to, const char *type)
{
    for (qsizetype at = from; at + 8 <= to;) {
        const qsizetype size = qFromBigEndian<quint32>(file.constData() + at);
        if (size < 8)
            break;
        if (file.mid(at + 4, 4) == type)
            return file.mid(at, size);
        at += size;
    }
    return QByteArray();
}

// The first box of `type` anywhere in `bytes` (inside other boxes too), with its header.
QByteArray NestedBox(const QByteArray &bytes, const char *type)
{
    const qsizetype at = bytes.indexOf(type);
    return at < 4 ? QByteArray() : bytes.mid(at - 4, qFromBigEndian<quint32>(bytes.constData() + at - 4));
}

// What a one-picture HEIF holds of its coded picture: the HEVC configuration, the colour box (if
// any) and the coded data (the file's only item, so all of "mdat").
struct CodedTile {
    QByteArray config, colour, data;
};

CodedTile TileOf(const QByteArray &heif)
{
    const QByteArray meta = BoxIn(heif, 0, heif.size(), "meta"), mdat = BoxIn(heif, 0, heif.size(), "mdat");
    return {NestedBox(meta, "hvcC"), NestedBox(meta, "colr"), mdat.mid(8)};
}

} // namespace

QByteArray GridHeic(const QImage &stored, int tileSide, int quarterTurns, int quality)
{
    const int columns = (stored.width() + tileSide - 1) / tileSide,
              rows = (stored.height() + tileSide - 1) / tileSide, tiles = columns * rows;
    if (tiles > 255 * 255 || stored.width() > 0xffff || stored.height() > 0xffff)
        return QByteArray();
    HeicCoding coding;
    coding.quality = quality;
    coding.preset = "veryfast";
    QList<CodedTile> coded;
    for (int row = 0; row < rows; ++row)
        for (int column = 0; column < columns; ++column) {
            // Beyond the picture a tile is black; the output size cuts that off.
            const QImage tile = stored.copy(column * tileSide, row * tileSide, tileSide, tileSide);
            coded.append(TileOf(LibheifHeic(tile.convertToFormat(QImage::Format_RGB32), coding)));
            if (coded.last().config.isEmpty() || coded.last().data.isEmpty())
                return QByteArray();
        }
    // Item 1 is the grid, items 2 on its tiles in rows. Each property is stored once and
    // associated by its 1-based index; the high bit marks those a reader must understand.
    QList<QByteArray> properties;
    auto property = [&](const QByteArray &box, bool essential) {
        qsizetype index = properties.indexOf(box);
        if (index < 0) {
            index = properties.size();
            properties.append(box);
        }
        return (essential ? 0x80 : 0) | int(index + 1);
    };
    auto associated = [](quint32 id, const QList<int> &indexes) {
        QByteArray entry = Be16(id) + char(indexes.size());
        for (const int index : indexes)
            entry += char(index);
        return entry;
    };
    auto size = [](int width, int height) {
        return FullBox("ispe", 0, 0, Be32(quint32(width)) + Be32(quint32(height)));
    };
    QList<int> gridProperties{property(size(stored.width(), stored.height()), false)};
    if (!coded.first().colour.isEmpty())
        gridProperties.append(property(coded.first().colour, false));
    if (quarterTurns % 4)
        gridProperties.append(property(Box("irot", QByteArray(1, char(quarterTurns & 3))), true));
    QByteArray associations = Be32(quint32(1 + tiles)) + associated(1, gridProperties);
    QByteArray references = Be16(1) + Be16(quint32(tiles)),
               entries = FullBox("infe", 2, 0, Be16(1) + Be16(0) + "grid" + '\0');
    for (int tile = 0; tile < tiles; ++tile) {
        const quint32 id = quint32(tile + 2);
        associations +=
            associated(id, {property(coded[tile].config, true), property(size(tileSide, tileSide), false)});
        references += Be16(id);
        entries += FullBox("infe", 2, 1, Be16(id) + Be16(0) + "hvc1" + '\0');
    }
    if (properties.size() > 127)
        return QByteArray();
    // The grid's description: 16-bit sizes, rows and columns less one, the output size.
    const QByteArray grid =
        Bytes({0, 0, rows - 1, columns - 1}) + Be16(quint32(stored.width())) + Be16(quint32(stored.height()));
    const QByteArray fileType = Box("ftyp", QByteArray("heic") + Be32(0) + "mif1heic");
    // Item locations: offsets and lengths of 4 bytes, no base offset, one extent each.
    auto meta = [&](quint32 dataStart) {
        QByteArray locations = Bytes({0x44, 0}) + Be16(quint32(1 + tiles));
        quint32 at = dataStart;
        auto locate = [&](quint32 id, qsizetype length) {
            locations += Be16(id) + Be16(0) + Be16(1) + Be32(at) + Be32(quint32(length));
            at += quint32(length);
        };
        locate(1, grid.size());
        for (int tile = 0; tile < tiles; ++tile)
            locate(quint32(tile + 2), coded[tile].data.size());
        return FullBox("meta", 0, 0,
                       FullBox("hdlr", 0, 0, Be32(0) + "pict" + QByteArray(13, '\0')) +
                           FullBox("pitm", 0, 0, Be16(1)) + FullBox("iloc", 0, 0, locations) +
                           FullBox("iinf", 0, 0, Be16(quint32(1 + tiles)) + entries) +
                           FullBox("iref", 0, 0, Box("dimg", references)) +
                           Box("iprp", Box("ipco", properties.join()) + FullBox("ipma", 0, 0, associations)));
    };
    const qsizetype metaSize = meta(0).size();
    QByteArray data = grid;
    for (const CodedTile &tile : coded)
        data += tile.data;
    return fileType + meta(quint32(fileType.size() + metaSize + 8)) + Box("mdat", data);
}

QByteArray PngWithExifOrientation(const QImage &stored, int orientation)
{
    const QByteArray exif = ExifWithOrientation(orientation);
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
