#pragma once

#include <QString>
#include <cstdint>

class Host;

// One writer per page style. Each writes programFolder/folder/fileName.html
// and opens it through FinishPage; on failure the user is told and no page is opened.
void WritePictureShowPage(Host &host, const QString &folder, const QString &fileName);
void WriteThumbnailsPage(Host &host, const QString &folder, const QString &fileName, std::int32_t width,
                         std::int32_t height);
void WriteSlideShowPage(Host &host, const QString &folder, const QString &fileName, std::uint8_t pauseSeconds,
                        std::int32_t width, std::int32_t height);
void WriteBlockEffectPage(Host &host, const QString &folder, const QString &fileName, std::int32_t width,
                          std::int32_t height, std::uint8_t blockSize);
void WritePhotoalbumPage(Host &host, const QString &folder, const QString &fileName, std::int32_t width,
                         std::int32_t height, std::uint8_t albumKind);
