#include "html_pages/page_file.h"

#include "shared/file_writing.h"

#include <array>

namespace
{

// Unicode code points of the windows-1252 bytes 0x80..0x9F; 0 where the byte is unassigned.
constexpr std::array<char16_t, 32> HighControls = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

int Windows1252Byte(char32_t cp)
{
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF))
        return int(cp);
    for (int i = 0; i < int(HighControls.size()); ++i)
        if (HighControls[i] != 0 && HighControls[i] == cp)
            return 0x80 + i;
    return -1;
}

} // namespace

QByteArray EncodePageText(const QString &text)
{
    QByteArray out;
    out.reserve(text.size());
    for (char32_t cp : text.toUcs4()) {
        const int byte = Windows1252Byte(cp);
        if (byte >= 0)
            out.append(char(byte));
        else
            out.append("&#" + QByteArray::number(quint32(cp)) + ';');
    }
    return out;
}

Status WritePageFile(const QString &path, const QStringList &lines)
{
    QByteArray bytes;
    for (const QString &line : lines) {
        bytes += EncodePageText(line);
        bytes += "\r\n";
    }
    // The page goes into the album's own new folder: nothing already there is written over.
    return WriteWholeFile(path, bytes, IfExists::Refuse);
}
