#include "picture_conversion/picture_metadata.h"

#include "picture_conversion/picture_loader.h"

#include <QFile>
#include <QFileInfo>
#include <QTimeZone>
#include <exiv2/exiv2.hpp>
#include <libheif/heif.h>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace
{

// An EXIF or XMP block larger than this is no metadata a camera or a program wrote.
constexpr std::size_t MaxBlockBytes = 16 << 20;

std::mutex XmpToolkitMutex;

void LockXmpToolkit(void *mutex, bool lock)
{
    if (lock)
        static_cast<std::mutex *>(mutex)->lock();
    else
        static_cast<std::mutex *>(mutex)->unlock();
}

// Exiv2 is reentrant for EXIF, but its XMP toolkit must be initialised once before several threads
// use it, with a lock for the namespaces it registers while parsing. Its log would only repeat, on
// the terminal, what a damaged file makes us fall back from.
void PrepareExiv2()
{
    static std::once_flag prepared;
    std::call_once(prepared, [] {
        Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
        Exiv2::XmpParser::initialize(LockXmpToolkit, &XmpToolkitMutex);
    });
}

// EXIF text is meant to be ASCII; cameras write UTF-8 and older ones Latin-1.
QString ExifText(const std::string &text)
{
    QString decoded = QString::fromUtf8(text.data(), qsizetype(text.size()));
    if (decoded.contains(QChar::ReplacementCharacter))
        decoded = QString::fromLatin1(text.data(), qsizetype(text.size()));
    return decoded.trimmed();
}

int OrientationOf(const Exiv2::ExifData &exif)
{
    const auto datum = exif.findKey(Exiv2::ExifKey("Exif.Image.Orientation"));
    // One SHORT, as the standard has it; anything else is damage.
    if (datum == exif.end() || datum->typeId() != Exiv2::unsignedShort || datum->count() < 1)
        return 1;
    const long value = datum->toLong(0);
    return value >= 1 && value <= 8 ? int(value) : 1;
}

// Seconds east of UTC in an offset of the form "+01:00" or "-05:30"; false when it is none.
bool OffsetSeconds(const QString &text, int &seconds)
{
    if (text.size() != 6 || (text[0] != u'+' && text[0] != u'-') || text[3] != u':')
        return false;
    for (const int at : {1, 2, 4, 5})
        if (!text[at].isDigit())
            return false;
    const int hours = text[1].digitValue() * 10 + text[2].digitValue(),
              minutes = text[4].digitValue() * 10 + text[5].digitValue();
    if (hours > 14 || minutes > 59)
        return false;
    seconds = (hours * 60 + minutes) * 60 * (text[0] == u'-' ? -1 : 1);
    return true;
}

QDateTime TakenAt(const Exiv2::ExifData &exif)
{
    const auto original = exif.findKey(Exiv2::ExifKey("Exif.Photo.DateTimeOriginal"));
    if (original == exif.end())
        return {};
    // "YYYY:MM:DD HH:MM:SS"; cameras without a clock write blanks or zeros, which do not parse.
    const QDateTime local =
        QDateTime::fromString(ExifText(original->toString()), QStringLiteral("yyyy:MM:dd HH:mm:ss"));
    if (!local.isValid())
        return {};
    const auto offset = exif.findKey(Exiv2::ExifKey("Exif.Photo.OffsetTimeOriginal"));
    int seconds = 0;
    if (offset != exif.end() && OffsetSeconds(ExifText(offset->toString()), seconds))
        return QDateTime(local.date(), local.time(), QTimeZone(seconds));
    return local;
}

QString DescriptionOf(const Exiv2::ExifData &exif, const Exiv2::XmpData &xmp)
{
    const auto exifText = exif.findKey(Exiv2::ExifKey("Exif.Image.ImageDescription"));
    if (exifText != exif.end() && exifText->typeId() == Exiv2::asciiString)
        if (const QString text = ExifText(exifText->toString()); !text.isEmpty())
            return text;
    const auto xmpText = xmp.findKey(Exiv2::XmpKey("Xmp.dc.description"));
    if (xmpText == xmp.end())
        return {};
    // A list of alternatives by language: the default one, else the first that says something.
    if (const auto *languages = dynamic_cast<const Exiv2::LangAltValue *>(&xmpText->value())) {
        const auto byDefault = languages->value_.find("x-default");
        if (byDefault != languages->value_.end())
            if (const QString text = QString::fromStdString(byDefault->second).trimmed(); !text.isEmpty())
                return text;
        for (const auto &[language, text] : languages->value_)
            if (const QString trimmed = QString::fromStdString(text).trimmed(); !trimmed.isEmpty())
                return trimmed;
        return {};
    }
    return QString::fromStdString(xmpText->toString()).trimmed();
}

// What `read` finds, or `fallback` where Exiv2 throws on a damaged value.
template <typename T, typename Read> T OrElse(T fallback, Read read)
{
    try {
        return read();
    } catch (...) {
        return fallback;
    }
}

// Each piece on its own, so that a damaged description costs no orientation.
PictureMetadata Gathered(const Exiv2::ExifData &exif, const Exiv2::XmpData &xmp)
{
    PictureMetadata metadata;
    metadata.orientation = OrElse(1, [&] { return OrientationOf(exif); });
    metadata.taken = OrElse(QDateTime(), [&] { return TakenAt(exif); });
    metadata.description = OrElse(QString(), [&] { return DescriptionOf(exif, xmp); });
    return metadata;
}

PictureMetadata FromExiv2(Exiv2::Image &image)
{
    image.readMetadata();
    return Gathered(image.exifData(), image.xmpData());
}

using HeifContext = std::unique_ptr<heif_context, void (*)(heif_context *)>;
using HeifHandle = std::unique_ptr<heif_image_handle, void (*)(const heif_image_handle *)>;

// The EXIF and XMP blocks of a HEIF's primary picture, read by libheif.
PictureMetadata FromHeif(heif_context *context)
{
    heif_image_handle *rawHandle = nullptr;
    if (heif_context_get_primary_image_handle(context, &rawHandle).code != heif_error_Ok)
        return {};
    const HeifHandle handle(rawHandle, heif_image_handle_release);
    const int count = heif_image_handle_get_number_of_metadata_blocks(handle.get(), nullptr);
    if (count <= 0)
        return {};
    std::vector<heif_item_id> ids(std::size_t(count), 0);
    heif_image_handle_get_list_of_metadata_block_IDs(handle.get(), nullptr, ids.data(), count);

    Exiv2::ExifData exif;
    Exiv2::XmpData xmp;
    for (const heif_item_id id : ids) {
        const char *typeText = heif_image_handle_get_metadata_type(handle.get(), id);
        const char *contentText = heif_image_handle_get_metadata_content_type(handle.get(), id);
        const std::string type = typeText ? typeText : "", contentType = contentText ? contentText : "";
        const bool isExif = type == "Exif", isXmp = type == "mime" && contentType == "application/rdf+xml";
        const std::size_t size = heif_image_handle_get_metadata_size(handle.get(), id);
        if ((!isExif && !isXmp) || size == 0 || size > MaxBlockBytes)
            continue;
        std::vector<Exiv2::byte> block(size);
        if (heif_image_handle_get_metadata(handle.get(), id, block.data()).code != heif_error_Ok)
            continue;
        if (isXmp) {
            Exiv2::XmpParser::decode(xmp, std::string(block.begin(), block.end()));
            continue;
        }
        // The block starts with the offset of the TIFF header that follows those four bytes.
        if (size < 4)
            continue;
        const std::size_t offset = std::size_t(block[0]) << 24 | std::size_t(block[1]) << 16 |
                                   std::size_t(block[2]) << 8 | std::size_t(block[3]);
        if (offset < size - 4)
            Exiv2::ExifParser::decode(exif, block.data() + 4 + offset, uint32_t(size - 4 - offset));
    }
    PictureMetadata metadata = Gathered(exif, xmp);
    metadata.orientation = 1; // libheif applies the file's rotation and mirror boxes
    return metadata;
}

bool ReadByExiv2(PictureKind kind)
{
    return kind == PictureKind::Jpeg || kind == PictureKind::Png || kind == PictureKind::WebP ||
           kind == PictureKind::Tiff;
}

bool ReadByLibheif(PictureKind kind)
{
    return kind == PictureKind::Heic || kind == PictureKind::Avif;
}

PictureMetadata ReadFromBytes(const QByteArray &bytes)
{
    const PictureKind kind =
        PictureKindOf(QByteArray::fromRawData(bytes.constData(), qMin(bytes.size(), 64)));
    if (ReadByExiv2(kind)) {
        PrepareExiv2();
        const Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(
            reinterpret_cast<const Exiv2::byte *>(bytes.constData()), long(bytes.size()));
        return FromExiv2(*image);
    }
    if (ReadByLibheif(kind)) {
        PrepareExiv2();
        const HeifContext context(heif_context_alloc(), heif_context_free);
        if (!context || heif_context_read_from_memory_without_copy(context.get(), bytes.constData(),
                                                                   std::size_t(bytes.size()), nullptr)
                                .code != heif_error_Ok)
            return {};
        return FromHeif(context.get());
    }
    return {};
}

PictureMetadata ReadFromFile(const QString &path)
{
    // Only regular files: a pipe or a device could keep a reader waiting.
    if (!QFileInfo(path).isFile())
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const PictureKind kind = PictureKindOf(file.read(64));
    file.close();
    const std::string name = QFile::encodeName(path).toStdString();
    // Both libraries read the file's structure as they go, skipping the picture data.
    if (ReadByExiv2(kind)) {
        PrepareExiv2();
        const Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(name, false);
        return FromExiv2(*image);
    }
    if (ReadByLibheif(kind)) {
        PrepareExiv2();
        const HeifContext context(heif_context_alloc(), heif_context_free);
        if (!context ||
            heif_context_read_from_file(context.get(), name.c_str(), nullptr).code != heif_error_Ok)
            return {};
        return FromHeif(context.get());
    }
    return {};
}

} // namespace

PictureMetadata ReadPictureMetadata(const QByteArray &bytes)
{
    try {
        return ReadFromBytes(bytes);
    } catch (...) { // Exiv2 reports damage by throwing; memory may run out anywhere
        return {};
    }
}

PictureMetadata ReadPictureMetadataFile(const QString &path)
{
    try {
        return ReadFromFile(path);
    } catch (...) {
        return {};
    }
}
