#include "app/settings_file.h"

#include "shared/logging.h"
#include "shared/paths.h"
#include "shared/program_values.h"

#include <QFile>
#include <QSaveFile>
#include <cerrno>
#include <limits>
#include <optional>
#include <unistd.h>

namespace
{

// Far more than two numbers need; a huge file at that path is not read whole into memory.
constexpr qint64 MaxSettingsBytes = 64 * 1024;

// Walks the file's fields one after the other.
class FieldReader
{
  public:
    explicit FieldReader(const QByteArray &bytes) : bytes_(bytes) {}

    // The next value without its surrounding blanks; nothing at the end of the data.
    std::optional<QByteArray> next()
    {
        while (pos_ < bytes_.size() && bytes_[pos_] == ' ')
            ++pos_;
        if (pos_ >= bytes_.size())
            return std::nullopt;
        const qsizetype start = pos_;
        while (pos_ < bytes_.size() && !isEnd(bytes_[pos_]))
            ++pos_;
        QByteArray field = bytes_.mid(start, pos_ - start);
        skipTerminator();
        while (field.endsWith(' '))
            field.chop(1);
        return field;
    }

  private:
    static bool isEnd(char c) { return c == ',' || c == '\r' || c == '\n'; }

    void skipTerminator()
    {
        if (pos_ >= bytes_.size())
            return;
        const char c = bytes_[pos_++];
        if (c == '\r' && pos_ < bytes_.size() && bytes_[pos_] == '\n')
            ++pos_;
    }

    const QByteArray &bytes_;
    qsizetype pos_ = 0;
};

// A decimal integer with an optional sign, nothing else, within [low, high].
std::optional<qint64> ParseInteger(const QByteArray &text, qint64 low, qint64 high)
{
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i == text.size())
        return std::nullopt;
    qint64 magnitude = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c < '0' || c > '9')
            return std::nullopt;
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > high + 1 - low) // already out of any range we accept; stops overflow
            return std::nullopt;
    }
    const qint64 value = negative ? -magnitude : magnitude;
    if (value < low || value > high)
        return std::nullopt;
    return value;
}

} // namespace

QString SettingsFilePath(const QString &programFolder)
{
    return JoinPath(programFolder, SettingsFileName);
}

Status ReadSettings(const QByteArray &bytes, std::int32_t &startCount, std::uint8_t &jpegQuality)
{
    FieldReader reader(bytes);
    const auto countField = reader.next();
    if (!countField)
        return Failure{QStringLiteral("the start count is missing")};
    const auto count = ParseInteger(*countField, std::numeric_limits<std::int32_t>::min(),
                                    std::numeric_limits<std::int32_t>::max());
    if (!count)
        return Failure{QStringLiteral("the start count is no whole number of 32 bits")};
    startCount = std::int32_t(*count);

    const auto qualityField = reader.next();
    if (!qualityField)
        return Failure{QStringLiteral("the JPEG quality is missing")};
    const auto quality = ParseInteger(*qualityField, 0, 255);
    if (!quality)
        return Failure{QStringLiteral("the JPEG quality is no whole number from 0 to 255")};
    jpegQuality = std::uint8_t(*quality);
    return {};
}

QByteArray SettingsBytes(std::int32_t startCount, std::uint8_t jpegQuality)
{
    return QByteArray::number(startCount) + "\r\n" + QByteArray::number(jpegQuality) + "\r\n";
}

Status WriteSettingsFile(const QString &path, std::int32_t startCount, std::uint8_t jpegQuality)
{
    // Unbuffered, so every write reaches the temporary file at once and a full disk shows here:
    // a buffered write would only fail at the flush inside commit(), which does not refuse it
    // in every Qt version, and an empty file would replace the old one.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return Failure{file.errorString()};
    const QByteArray bytes = SettingsBytes(startCount, jpegQuality);
    // A short write is tried again for the rest; the write that writes nothing names the reason.
    // Without a commit the temporary file is removed and the old file stays as it was.
    for (qint64 written = 0; written < bytes.size();) {
        const qint64 step = file.write(bytes.constData() + written, bytes.size() - written);
        if (step <= 0)
            return Failure{file.errorString()};
        written += step;
    }
    // A file system that allocates late (network, copy-on-write) reports a full disk here.
    if (::fsync(file.handle()) != 0)
        return Failure{qt_error_string(errno)};
    if (!file.commit())
        return Failure{file.errorString()};
    return {};
}

bool LoadSettingsAtStart(const QString &programFolder, ProgramValues &values)
{
    values.StartCount = 0;
    values.JpegQuality = Defaults::JpegQuality;
    const QString path = SettingsFilePath(programFolder);

    bool counted = false;
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        const QByteArray bytes = file.read(MaxSettingsBytes);
        file.close();
        const Status parsed = ReadSettings(bytes, values.StartCount, values.JpegQuality);
        if (!parsed) {
            qCDebug(lcFiles) << "settings file" << path << "not read:" << parsed.reason();
        } else if (values.StartCount < std::numeric_limits<std::int32_t>::max()) {
            ++values.StartCount;
            counted = true;
        }
    }
    if (!counted) {
        // Recovery: a folder that cannot be written only means the file stays as it is.
        const Status written = WriteSettingsFile(path, values.StartCount, values.JpegQuality);
        if (!written)
            qCDebug(lcFiles) << "settings file" << path << "not rewritten at start-up:" << written.reason();
    }
    return counted;
}

Status SaveSettings(const QString &programFolder, const ProgramValues &values)
{
    return WriteSettingsFile(SettingsFilePath(programFolder), values.StartCount, values.JpegQuality);
}
