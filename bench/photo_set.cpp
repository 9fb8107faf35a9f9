#include "photo_set.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <cmath>
#include <cstdio>
#include <memory>
#include <turbojpeg.h>
#include <vector>

namespace PhotoSet
{

namespace
{

// A small, fast, deterministic noise source.
struct Lcg {
    std::uint32_t state;
    int next(int range) // -range .. range
    {
        state = state * 1664525u + 1013904223u;
        return int((state >> 16) % std::uint32_t(2 * range + 1)) - range;
    }
};

int Clamp8(int v)
{
    return v < 0 ? 0 : (v > 255 ? 255 : v);
}

} // namespace

QImage PhotoLike(int width, int height, std::uint32_t seed, int grain)
{
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull())
        return image;
    const double phase = seed * 0.7;
    // Separable light fields keep the generation quick; their sum still reads like a scene.
    std::vector<int> colR(width), colG(width), colB(width), rowR(height), rowG(height), rowB(height);
    for (int x = 0; x < width; ++x) {
        const double u = double(x) / width;
        colR[x] = int(60 * std::sin(3.1 * u + phase) + 12 * std::sin(x / 9.0 + phase));
        colG[x] = int(50 * std::cos(2.3 * u + phase * 0.5) + 10 * std::sin(x / 23.0));
        colB[x] = int(70 * std::sin(1.7 * u + 1.0 + phase) + 8 * std::cos(x / 5.0));
    }
    for (int y = 0; y < height; ++y) {
        const double v = double(y) / height;
        rowR[y] = int(110 + 50 * std::cos(2.9 * v + phase) + 10 * std::sin(y / 11.0));
        rowG[y] = int(120 + 60 * std::sin(3.7 * v) + 9 * std::cos(y / 7.0 + phase));
        rowB[y] = int(100 + 40 * std::cos(1.3 * v + phase) + 11 * std::sin(y / 17.0));
    }
    Lcg noise{seed * 2654435761u + 1};
    for (int y = 0; y < height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const int n = noise.next(grain);
            // Diagonal structure, as edges and objects have, on top of the separable light.
            const int edge = ((x + 2 * y + int(seed) * 97) / 211) % 3 * 14;
            line[x] = qRgb(Clamp8(colR[x] + rowR[y] + n + edge), Clamp8(colG[x] + rowG[y] + n),
                           Clamp8(colB[x] + rowB[y] + n - edge));
        }
    }
    return image;
}

bool WriteJpeg(const QImage &source, const QString &path, int quality)
{
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    std::unique_ptr<void, int (*)(tjhandle)> handle(tjInitCompress(), tjDestroy);
    if (!handle)
        return false;
    unsigned char *raw = nullptr;
    unsigned long size = 0;
    const int pixelFormat = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? TJPF_BGRX : TJPF_XRGB;
    const int rc = tjCompress2(handle.get(), image.constBits(), image.width(), int(image.bytesPerLine()),
                               image.height(), pixelFormat, &raw, &size, TJSAMP_420, quality, 0);
    std::unique_ptr<unsigned char, void (*)(unsigned char *)> jpeg(raw, tjFree);
    if (rc != 0)
        return false;
    QFile file(path);
    return file.open(QIODevice::WriteOnly) &&
           file.write(reinterpret_cast<const char *>(jpeg.get()), qint64(size)) == qint64(size);
}

namespace
{

// Variable-width LZW as GIF wants it: codes packed from the lowest bit up.
class LzwWriter
{
  public:
    explicit LzwWriter(int minCodeSize) : minCodeSize_(minCodeSize) { reset(); }

    QByteArray encode(const std::vector<unsigned char> &indices)
    {
        put(clearCode());
        int prefix = -1;
        for (unsigned char c : indices) {
            if (prefix < 0) {
                prefix = c;
                continue;
            }
            const int key = (prefix << 8) | c;
            const int found = table_[std::size_t(key)];
            if (found >= 0) {
                prefix = found;
                continue;
            }
            put(prefix);
            if (nextCode_ < 4096) {
                table_[std::size_t(key)] = nextCode_++;
                // The decoder widens one code later than the encoder adds the entry.
                if (nextCode_ > (1 << codeSize_) && codeSize_ < 12)
                    ++codeSize_;
            } else {
                put(clearCode());
                reset();
            }
            prefix = c;
        }
        if (prefix >= 0)
            put(prefix);
        put(clearCode() + 1);
        if (bits_ > 0)
            out_.append(char(acc_ & 0xff));
        return out_;
    }

  private:
    int clearCode() const { return 1 << minCodeSize_; }
    void reset()
    {
        table_.assign(4096 * 256, -1);
        codeSize_ = minCodeSize_ + 1;
        nextCode_ = clearCode() + 2;
    }
    void put(int code)
    {
        acc_ |= std::uint32_t(code) << bits_;
        bits_ += codeSize_;
        while (bits_ >= 8) {
            out_.append(char(acc_ & 0xff));
            acc_ >>= 8;
            bits_ -= 8;
        }
    }

    int minCodeSize_;
    int codeSize_ = 0;
    int nextCode_ = 0;
    std::vector<int> table_;
    QByteArray out_;
    std::uint32_t acc_ = 0;
    int bits_ = 0;
};

void Le16(QByteArray &b, int v)
{
    b.append(char(v & 0xff)).append(char((v >> 8) & 0xff));
}

} // namespace

bool WriteGif(const QImage &source, const QString &path)
{
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    const int w = image.width(), h = image.height();
    static const int bayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    std::vector<unsigned char> indices(std::size_t(w) * std::size_t(h));
    for (int y = 0; y < h; ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            const int d = bayer[y & 3][x & 3] - 8;
            const int r = Clamp8(qRed(line[x]) + d * 3) * 5 / 255;
            const int g = Clamp8(qGreen(line[x]) + d * 3) * 6 / 255;
            const int b = Clamp8(qBlue(line[x]) + d * 3) * 5 / 255;
            indices[std::size_t(y) * std::size_t(w) + std::size_t(x)] =
                static_cast<unsigned char>((r * 7 + g) * 6 + b);
        }
    }
    QByteArray gif("GIF89a");
    Le16(gif, w);
    Le16(gif, h);
    gif.append(char(0xF7)).append('\0').append('\0'); // global table of 256 entries
    for (int i = 0; i < 256; ++i) {
        const int r = i / 42, g = (i / 6) % 7, b = i % 6;
        gif.append(char(i < 252 ? r * 255 / 5 : 0))
            .append(char(i < 252 ? g * 255 / 6 : 0))
            .append(char(i < 252 ? b * 255 / 5 : 0));
    }
    gif.append(',');
    Le16(gif, 0);
    Le16(gif, 0);
    Le16(gif, w);
    Le16(gif, h);
    gif.append('\0');
    gif.append(char(8));
    const QByteArray data = LzwWriter(8).encode(indices);
    for (qsizetype pos = 0; pos < data.size(); pos += 255) {
        const QByteArray chunk = data.mid(pos, 255);
        gif.append(char(chunk.size()));
        gif.append(chunk);
    }
    gif.append('\0').append(';');
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(gif) == gif.size();
}

bool GenerateInChildProcess(const QString &folder, const QStringList &more)
{
    if (QProcess::execute(QCoreApplication::applicationFilePath(),
                          QStringList{QStringLiteral("--generate"), folder} + more) == 0)
        return true;
    std::fprintf(stderr, "could not generate the pictures\n");
    return false;
}

} // namespace PhotoSet
