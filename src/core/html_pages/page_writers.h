#pragma once

#include "shared/host.h"

#include <QString>
#include <cstdint>

// One writer per page style. Each writes programFolder/folder/fileName.html
// and opens it through FinishPage. On failure no page is opened; the result carries the
// message for the user and whether the run was abandoned (the Make command acts on both).
ProductionResult WritePictureShowPage(Host &host, const QString &folder, const QString &fileName);
ProductionResult WriteThumbnailsPage(Host &host, const QString &folder, const QString &fileName,
                                     std::int32_t width, std::int32_t height);
ProductionResult WriteSlideShowPage(Host &host, const QString &folder, const QString &fileName,
                                    std::uint8_t pauseSeconds, std::int32_t width, std::int32_t height);
ProductionResult WriteBlockEffectPage(Host &host, const QString &folder, const QString &fileName,
                                      std::int32_t width, std::int32_t height, std::uint8_t blockSize);
ProductionResult WritePhotoalbumPage(Host &host, const QString &folder, const QString &fileName,
                                     std::int32_t width, std::int32_t height, std::uint8_t albumKind);
