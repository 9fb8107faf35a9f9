#pragma once

#include "shared/host.h"
#include "shared/production_request.h"

#include <cstdint>

// One writer per page style. Each writes albumHome/folder/fileName.html from the request and
// opens it through FinishPage. On failure no page is opened; the result carries the message for
// the user and whether the run was abandoned (the caller acts on both).
ProductionResult WritePictureShowPage(const ProductionRequest &request, Host &host);
ProductionResult WriteThumbnailsPage(const ProductionRequest &request, Host &host, std::int32_t width,
                                     std::int32_t height);
ProductionResult WriteSlideShowPage(const ProductionRequest &request, Host &host, std::uint8_t pauseSeconds,
                                    std::int32_t width, std::int32_t height);
ProductionResult WriteBlockEffectPage(const ProductionRequest &request, Host &host, std::int32_t width,
                                      std::int32_t height, std::uint8_t blockSize);
ProductionResult WritePhotoalbumPage(const ProductionRequest &request, Host &host, std::int32_t width,
                                     std::int32_t height, std::uint8_t albumKind);
