#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>

// The values a production takes unless the user chooses others: the quality, the page colour,
// the Slide Show's pause and the Block effect's block. Written here only.
namespace Defaults
{
constexpr std::uint8_t JpegQuality = 75;
constexpr std::uint8_t BackRed = 224;
constexpr std::uint8_t BackGreen = 240;
constexpr std::uint8_t BackBlue = 224;
constexpr std::uint8_t PauseSeconds = 3;
constexpr std::uint8_t BlockSize = 15;
} // namespace Defaults

// Page styles chosen in the conversion dialog (shared/production_kinds.h lists what each makes).
// The window stores 99 after a cancelled or abandoned run; the productions never see it.
namespace PageStyles
{
constexpr std::uint8_t None = 0;
constexpr std::uint8_t PictureShow = 1;
constexpr std::uint8_t SlideShow = 2;
constexpr std::uint8_t Thumbnails = 3;
constexpr std::uint8_t BlockEffect = 4;
constexpr std::uint8_t Photoalbum1 = 5;
constexpr std::uint8_t Photoalbum2 = 6;
constexpr std::uint8_t ResizePictures = 7;
constexpr std::uint8_t WebAlbum = 8;
constexpr std::uint8_t Abandoned = 99;
} // namespace PageStyles

// What the Convert dialog shows and stores: the part of the program values it owns.
struct ConvertSettings {
    std::uint8_t PageStyle = 0;
    std::int32_t PictureWidth = 0;
    std::int32_t PictureHeight = 0;
    std::uint8_t PauseSeconds = 0;
    std::uint8_t BlockSize = 0;
    std::uint8_t JpegQuality = Defaults::JpegQuality;
};

// The values the windows and the productions share for the whole run.
// One instance lives in the main window; tests make their own.
struct ProgramValues : ConvertSettings {
    std::uint8_t BackRed = Defaults::BackRed;
    std::uint8_t BackGreen = Defaults::BackGreen;
    std::uint8_t BackBlue = Defaults::BackBlue;
    std::int32_t StartCount = 0;
    QStringList PictureDates; // of the last production, one per picture
    QString PageColour;
};
