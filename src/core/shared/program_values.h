#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>

// Page styles chosen in the conversion dialog; 99 marks a cancelled or abandoned run.
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
    std::uint8_t JpegQuality = 75;
};

// The values the windows and the productions share for the whole run.
// One instance lives in the main window; tests make their own.
struct ProgramValues : ConvertSettings {
    std::uint8_t BackRed = 224;
    std::uint8_t BackGreen = 240;
    std::uint8_t BackBlue = 224;
    std::int32_t StartCount = 0;
    QStringList PictureDates; // of the last production, one per picture
    QString PageColour;
};
