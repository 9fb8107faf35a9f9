// Settings files of random bytes: reading never fails unsoundly, and start-up leaves a file
// that reads back as exactly the values the program goes on with.
#include "app/settings_file.h"
#include "shared/program_values.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace
{

// Random bytes, half the time drawn mostly from the characters a settings file is made of.
QByteArray RandomSettingsBytes(QRandomGenerator &random)
{
    static const QByteArray Alphabet("0123456789 ,\r\n-+\t");
    const int length = int(random.bounded(40));
    const bool textLike = random.bounded(2) == 0;
    QByteArray bytes;
    for (int i = 0; i < length; ++i)
        bytes.append(textLike && random.bounded(8) != 0
                         ? Alphabet[qsizetype(random.bounded(int(Alphabet.size())))]
                         : char(random.bounded(256)));
    return bytes;
}

struct Reading {
    bool ok;
    std::int32_t startCount;
    std::uint8_t quality;
};

Reading Read(const QByteArray &bytes)
{
    Reading reading{false, 0, 75};
    reading.ok = ReadSettings(bytes, reading.startCount, reading.quality).ok();
    return reading;
}

TEST(SettingsFileFuzz, AcceptedValuesSurviveAWriteAndAReadBack)
{
    QRandomGenerator random(20240611);
    int accepted = 0;
    for (int i = 0; i < 20000; ++i) {
        const QByteArray bytes = RandomSettingsBytes(random);
        const Reading first = Read(bytes);
        EXPECT_EQ(Read(bytes).ok, first.ok) << "the same bytes read alike";
        if (!first.ok)
            continue;
        ++accepted;
        const Reading again = Read(SettingsBytes(first.startCount, first.quality));
        ASSERT_TRUE(again.ok) << bytes.toHex().constData();
        EXPECT_EQ(again.startCount, first.startCount) << bytes.toHex().constData();
        EXPECT_EQ(again.quality, first.quality) << bytes.toHex().constData();
    }
    // The generator must reach the accepting paths too, or the loop proves little.
    EXPECT_GT(accepted, 200);
}

TEST(SettingsFileFuzz, StartUpWithARandomFileLeavesAReadableOne)
{
    QRandomGenerator random(77);
    int recovered = 0, counted = 0;
    for (int i = 0; i < 300; ++i) {
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        const QByteArray bytes = RandomSettingsBytes(random);
        {
            QFile file(SettingsFilePath(dir.path()));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        }
        const Reading before = Read(bytes);
        ProgramValues values;

        const bool wasCounted = LoadSettingsAtStart(dir.path(), values);

        QFile file(SettingsFilePath(dir.path()));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray after = file.readAll();
        if (wasCounted) {
            ++counted;
            EXPECT_TRUE(before.ok);
            EXPECT_EQ(values.StartCount, before.startCount + 1);
            EXPECT_EQ(values.JpegQuality, before.quality);
            EXPECT_EQ(after, bytes) << "a readable file is left as it was";
        } else {
            ++recovered;
            EXPECT_EQ(after, SettingsBytes(values.StartCount, values.JpegQuality))
                << "an unreadable file is written anew from the values in use";
        }
    }
    EXPECT_GT(recovered, 0);
    EXPECT_GT(counted, 0);
}

} // namespace
