#include "html_pages/page_file.h"

#include "shared/file_writing.h"

QByteArray EncodePageText(const QString &text)
{
    QByteArray out;
    out.reserve(text.size());
    for (char32_t cp : text.toUcs4()) {
        if (cp < 0x80)
            out.append(char(cp));
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
