#include "test_pictures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <turbojpeg.h>

namespace TestPictures
{

QImage Quadrants(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    QPainter p(&image);
    const int hw = width / 2, hh = height / 2;
    p.fillRect(0, 0, hw, hh, Qt::red);
    p.fillRect(hw, 0, width - hw, hh, Qt::green);
    p.fillRect(0, hh, hw, height - hh, Qt::blue);
    p.fillRect(hw, hh, width - hw, height - hh, Qt::yellow);
    return image;
}

bool WriteJpeg(const QImage &source, const QString &path, int quality)
{
    const QImage image = source.convertToFormat(QImage::Format_RGB888);
    tjhandle handle = tjInitCompress();
    if (!handle)
        return false;
    unsigned char *buffer = nullptr;
    unsigned long size = 0;
    const int rc = tjCompress2(handle, image.constBits(), image.width(), int(image.bytesPerLine()),
                               image.height(), TJPF_RGB, &buffer, &size, TJSAMP_420, quality, 0);
    bool ok = rc == 0;
    if (ok) {
        QFile file(path);
        ok = file.open(QIODevice::WriteOnly) &&
             file.write(reinterpret_cast<const char *>(buffer), qint64(size)) == qint64(size);
    }
    tjFree(buffer);
    tjDestroy(handle);
    return ok;
}

bool WriteWithQt(const QImage &image, const QString &path, const char *format)
{
    return image.save(path, format);
}

bool WriteTinyGif(const QString &path, int width, int height, QColor colour)
{
    QByteArray g("GIF89a");
    auto le16 = [&g](int v) {
        g.append(char(v & 0xff));
        g.append(char((v >> 8) & 0xff));
    };
    le16(width);
    le16(height);
    g.append(char(0x80)); // global colour table, 2 entries
    g.append(char(0));
    g.append(char(0));
    g.append(char(colour.red())).append(char(colour.green())).append(char(colour.blue()));
    g.append(char(0)).append(char(0)).append(char(0));
    g.append(',');
    le16(0);
    le16(0);
    le16(width);
    le16(height);
    g.append(char(0));
    // LZW with minimum code size 2: emit clear, then index 0 for every pixel, then end.
    // Codes stay 3 bits wide by sending a clear code before the table would grow.
    const int minCode = 2, clear = 4, end = 5;
    QByteArray data;
    quint32 acc = 0;
    int bits = 0;
    auto put = [&](int code, int codeWidth) {
        acc |= quint32(code) << bits;
        bits += codeWidth;
        while (bits >= 8) {
            data.append(char(acc & 0xff));
            acc >>= 8;
            bits -= 8;
        }
    };
    put(clear, 3);
    const long pixels = long(width) * height;
    int sinceClear = 0;
    for (long i = 0; i < pixels; ++i) {
        put(0, 3);
        if (++sinceClear == 2) { // the table grows by one entry per code after the first
            put(clear, 3);
            sinceClear = 0;
        }
    }
    put(end, 3);
    if (bits > 0)
        data.append(char(acc & 0xff));
    g.append(char(minCode));
    for (int pos = 0; pos < data.size(); pos += 255) {
        const QByteArray chunk = data.mid(pos, 255);
        g.append(char(chunk.size()));
        g.append(chunk);
    }
    g.append(char(0));
    g.append(';');
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(g) == g.size();
}

QColor ColourAround(const QImage &image, int x, int y, int radius)
{
    long r = 0, g = 0, b = 0, n = 0;
    for (int yy = y - radius; yy <= y + radius; ++yy)
        for (int xx = x - radius; xx <= x + radius; ++xx)
            if (image.valid(xx, yy)) {
                const QColor c = image.pixelColor(xx, yy);
                r += c.red();
                g += c.green();
                b += c.blue();
                ++n;
            }
    if (n == 0)
        return {};
    return QColor(int(r / n), int(g / n), int(b / n));
}

bool WritePictureFile(const QString &path, const QImage &image, const QDateTime &modified)
{
    QDir().mkpath(QFileInfo(path).path());
    const QString suffix = QFileInfo(path).suffix().toLower();
    const bool written = suffix == QStringLiteral("jpg") ? WriteJpeg(image, path)
                         : suffix == QStringLiteral("gif")
                             ? WriteTinyGif(path, image.width(), image.height(), Qt::red)
                             : WriteWithQt(image, path, "BMP");
    if (!written || !modified.isValid())
        return written;
    QFile file(path);
    return file.open(QIODevice::ReadWrite) && file.setFileTime(modified, QFileDevice::FileModificationTime);
}

bool Near(QColor a, QColor b, int tolerance)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

QByteArray EncodeGrey16()
{
    const QByteArray pixels(16 * 16, char(128));
    tjhandle handle = tjInitCompress();
    unsigned char *buffer = nullptr;
    unsigned long size = 0;
    const int rc = tjCompress2(handle, reinterpret_cast<const unsigned char *>(pixels.constData()), 16, 16,
                               16, TJPF_GRAY, &buffer, &size, TJSAMP_GRAY, 90, 0);
    const QByteArray jpeg =
        rc == 0 ? QByteArray(reinterpret_cast<const char *>(buffer), qsizetype(size)) : QByteArray();
    tjFree(buffer);
    tjDestroy(handle);
    return jpeg;
}

// A uniform mid-grey JPEG of any size without holding its pixels: at level 128 each 8 x 8 block
// has DC difference 0 and no AC terms, coded "00" then end-of-block "1010" by the standard tables.
// The headers are the encoder's own for 16 x 16, with the frame size patched.
QByteArray ComposeGreyJpeg(int width, int height)
{
    const QByteArray tiny = EncodeGrey16();
    QByteArray out = tiny.left(2);
    for (qsizetype pos = 2; pos + 4 <= tiny.size();) {
        const auto marker = quint8(tiny[pos + 1]);
        QByteArray segment = tiny.mid(pos, 2 + ((quint8(tiny[pos + 2]) << 8) | quint8(tiny[pos + 3])));
        if (marker == 0xC0) // start of frame: height, then width
            segment.replace(
                5, 4,
                QByteArray::fromHex(
                    QByteArray::number(quint64(height) << 16 | quint64(width), 16).rightJustified(8, '0')));
        out += segment;
        pos += segment.size();
        if (marker == 0xDA) // start of scan: the coded blocks follow
            break;
    }
    const qint64 blocks = qint64((width + 7) / 8) * ((height + 7) / 8);
    quint32 acc = 0;
    int bits = 0;
    for (qint64 i = 0; i < blocks; ++i) {
        acc = (acc << 6) | 0b001010;
        for (bits += 6; bits >= 8; bits -= 8)
            out.append(char(acc >> (bits - 8))); // never 0xFF, so nothing to stuff
    }
    if (bits > 0) // pad with one bits
        out.append(char((acc << (8 - bits)) | ((1u << (8 - bits)) - 1)));
    return out + QByteArray::fromHex("ffd9");
}

} // namespace TestPictures
