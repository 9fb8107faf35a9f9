#include "app/make_command.h"
#include "html_pages/page_writers.h"
#include "html_pages/picture_show_page.h"

#include "page_file_test_support.h"

#include "support/bad_input_files.h"
#include "support/test_pictures.h"
#include "support/tool_pictures.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>

namespace
{

const QString Trip = QStringLiteral("Trip");
const QString Default = QStringLiteral("Default");

class PictureShowTest : public PageTest
{
  protected:
    // Selects pictures from a "Fotos" folder; each file holds its own name as bytes,
    // so a copy is recognised by its content.
    void selectPictures(const QStringList &names)
    {
        for (const QString &name : names)
            host.select(writeFile(QStringLiteral("Fotos/") + name, "bytes of " + name.toUtf8()));
    }
    QString picture(const QString &name) const { return pathIn(Trip + QStringLiteral("/images/") + name); }
};

struct GoldenRow {
    const char *name;
    QStringList pictures;
    QStringList copies; // the expected names in the picture folder, in list order
    const char *expected;
};
void PrintTo(const GoldenRow &row, std::ostream *os)
{
    *os << row.name;
}

class PictureShowGoldenTest : public PictureShowTest, public ::testing::WithParamInterface<GoldenRow>
{
};

TEST_P(PictureShowGoldenTest, CopiesEveryPictureAndWritesThePage)
{
    const GoldenRow &row = GetParam();
    host.state.PageStyle = 1;
    selectPictures(row.pictures);

    host.finish(WritePictureShowPage(host.request(Trip, Default), host));

    EXPECT_SAME_PAGE(pageBytes(Trip, Default), ExpectedPage(row.expected));
    QStringList statuses;
    QVector<float> pauses;
    for (int k = 1; k <= row.pictures.size(); ++k) {
        statuses << QStringLiteral("Convert picture %1 of %2").arg(k).arg(row.pictures.size());
        pauses << 0.2f;
        EXPECT_EQ(PictureFiles::ReadBytes(picture(row.copies[k - 1])),
                  "bytes of " + row.pictures[k - 1].toUtf8())
            << row.copies[k - 1].toStdString();
    }
    statuses << QStringLiteral("Convert pictures ready, open html page....");
    EXPECT_EQ(host.statuses, statuses);
    EXPECT_EQ(host.pauses, pauses << 1.0f);
    EXPECT_EQ(host.opened, QStringList{pathIn(QStringLiteral("Trip/Default.html"))});
    EXPECT_TRUE(host.messages.isEmpty());
    EXPECT_EQ(host.state.PageStyle, 1);
    EXPECT_EQ(host.state.PageColour, QStringLiteral("#E0F0E0"));
}

INSTANTIATE_TEST_SUITE_P(
    Pages, PictureShowGoldenTest,
    ::testing::Values(GoldenRow{"OnePicture",
                                {QStringLiteral("Sunset.jpg")},
                                {QStringLiteral("picture1.jpg")},
                                "picture_show_1.html"},
                      // Beach.GIF at list position 2 becomes picture3.gif; the big picture is picture1.gif.
                      GoldenRow{"ThreePicturesFirstAGif",
                                {QStringLiteral("Dunes.gif"), QStringLiteral("Harbour.BMP"),
                                 QStringLiteral("Beach.GIF")},
                                {QStringLiteral("picture1.gif"), QStringLiteral("picture2.bmp"),
                                 QStringLiteral("picture3.gif")},
                                "picture_show_3.html"}),
    [](const auto &row) { return std::string(row.param.name); });

struct TitleRow {
    const char *name;
    QString title;
    QByteArray line8;
};
void PrintTo(const TitleRow &row, std::ostream *os)
{
    *os << row.name;
}

class PictureShowTitleTest : public PictureShowTest, public ::testing::WithParamInterface<TitleRow>
{
};

TEST_P(PictureShowTitleTest, TitleIsWrittenAsTyped)
{
    host.title = GetParam().title;
    selectPictures({QStringLiteral("a.jpg")});
    host.finish(WritePictureShowPage(host.request(Trip, Default), host));
    const QList<QByteArray> lines = pageBytes(Trip, Default).split('\n');
    ASSERT_GT(lines.size(), 15 + 8);
    EXPECT_EQ(lines[15 + 7], "<td><SPAN class=titel>" + GetParam().line8 + "</SPAN></td>\r");
}

INSTANTIATE_TEST_SUITE_P(
    Titles, PictureShowTitleTest,
    ::testing::Values(TitleRow{"MarkupStays", QStringLiteral("<i>Sea</i> & Sand"),
                               QByteArray("<i>Sea</i> & Sand")},
                      TitleRow{"CyrillicAsReferences", QStringLiteral("\u0416\u0443\u043a"),
                               QByteArray("&#1046;&#1091;&#1082;")},
                      TitleRow{"LatinAsReferences", QStringLiteral("Caf\u00e9 \u00c6r\u00f8"),
                               QByteArray("Caf&#233; &#198;r&#248;")}),
    [](const auto &row) { return std::string(row.param.name); });

// The suffix of a listed name reaches the page: it is kept only where it is one its content is known by.
TEST(PictureShowFileNameTest, KeepsOnlyAPlainPictureSuffixOfTheContentsKind)
{
    const struct {
        const char *listed;
        PictureKind kind;
        const char *name;
    } rows[] = {
        {"Beach.GIF", PictureKind::Gif, "picture3.gif"},
        {"download.JPEG", PictureKind::Jpeg, "picture3.jpeg"},
        {"scan.tif", PictureKind::Tiff, "picture3.jpg"},       // converted
        {"phone.heic", PictureKind::Heic, "picture3.jpg"},     // converted
        {"named wrong.jpg", PictureKind::Png, "picture3.png"}, // by its content
        {"no suffix", PictureKind::WebP, "picture3.webp"},
        {"a.jp\"><script>alert(1)<'x", PictureKind::Jpeg, "picture3.jpg"},
        {"a.jpg\n", PictureKind::Jpeg, "picture3.jpg"},
        {"unknown.avif", PictureKind::Unknown, "picture3.avif"}, // copied as it is: any picture suffix stays
        {"unknown.html", PictureKind::Unknown, "picture3.jpg"},
    };
    for (const auto &row : rows)
        EXPECT_EQ(PictureShowFileName(3, QString::fromUtf8(row.listed), row.kind), QLatin1String(row.name))
            << row.listed;
}

TEST_F(PictureShowTest, LowerCaseImagesFolderResolvesAlsoAfterMovingTheOutput)
{
    selectPictures({QStringLiteral("Beach.GIF")});
    host.finish(WritePictureShowPage(host.request(Trip, Default), host));
    ASSERT_TRUE(QDir(dir.path()).rename(Trip, QStringLiteral("Moved")));
    EXPECT_EQ(PictureFiles::ReadBytes(pathIn(QStringLiteral("Moved/images/picture1.gif"))),
              "bytes of Beach.GIF");
}

TEST_F(PictureShowTest, AnExistingPageFileStopsBeforeAnythingIsMade)
{
    host.state.PageStyle = 1;
    selectPictures({QStringLiteral("a.jpg")});
    const QString page = writeFile(QStringLiteral("Trip/Default.html"), "earlier page");

    host.finish(WritePictureShowPage(host.request(Trip, Default), host));

    ASSERT_EQ(host.messages.size(), 1);
    EXPECT_EQ(host.messages[0].text, QStringLiteral("Map Trip existing..."));
    EXPECT_TRUE(host.messages[0].title.isEmpty()); // the program's name
    EXPECT_EQ(host.state.PageStyle, 1);
    EXPECT_EQ(PictureFiles::ReadBytes(page), "earlier page");
    EXPECT_FALSE(QFileInfo::exists(pathIn(QStringLiteral("Trip/images"))));
    EXPECT_TRUE(host.statuses.isEmpty());
    EXPECT_TRUE(host.opened.isEmpty());
}

TEST_F(PictureShowTest, APageFileInOtherLetterCaseIsNoMatchSoTheExistingFolderAbandonsTheRun)
{
    host.state.PageStyle = 1;
    selectPictures({QStringLiteral("a.jpg")});
    writeFile(QStringLiteral("Trip/default.HTML"), "other");

    host.finish(WritePictureShowPage(host.request(Trip, Default), host));

    ASSERT_EQ(host.messages.size(), 1);
    EXPECT_EQ(host.messages[0].text, QStringLiteral("Map Trip existing..."));
    EXPECT_EQ(host.state.PageStyle, 99);
    EXPECT_FALSE(QFileInfo::exists(pathIn(QStringLiteral("Trip/Default.html"))));
    EXPECT_TRUE(host.statuses.isEmpty());
    EXPECT_TRUE(host.opened.isEmpty());
}

TEST_F(PictureShowTest, ASecondRunWithTheSameFolderWritesNoPage)
{
    selectPictures({QStringLiteral("a.jpg"), QStringLiteral("b.jpg")});
    host.finish(WritePictureShowPage(host.request(Trip, Default), host));
    ASSERT_TRUE(host.messages.isEmpty());
    const QByteArray firstPage = pageBytes(Trip, Default);

    host.finish(WritePictureShowPage(host.request(Trip, QStringLiteral("Other")), host));

    ASSERT_EQ(host.messages.size(), 1);
    EXPECT_EQ(host.messages[0].text, QStringLiteral("Map Trip existing..."));
    EXPECT_EQ(host.state.PageStyle, 99);
    EXPECT_FALSE(QFileInfo::exists(pathIn(QStringLiteral("Trip/Other.html"))));
    EXPECT_EQ(pageBytes(Trip, Default), firstPage);
    EXPECT_EQ(host.opened.size(), 1);
}

TEST_F(PictureShowTest, AMissingSourceStopsTheCopyingAndKeepsWhatWasCopied)
{
    host.state.PageStyle = 1;
    selectPictures({QStringLiteral("a.jpg")});
    host.select(pathIn(QStringLiteral("Fotos/gone.gif")));
    selectPictures({QStringLiteral("c.bmp")});

    host.finish(WritePictureShowPage(host.request(Trip, Default), host));

    ASSERT_EQ(host.messages.size(), 1);
    EXPECT_TRUE(host.messages[0].text.startsWith(QStringLiteral("Picture ") +
                                                 pathIn(QStringLiteral("Fotos/gone.gif")) +
                                                 QStringLiteral(" could not be read: ")))
        << host.messages[0].text.toStdString();
    EXPECT_EQ(host.state.PageStyle, 99);
    EXPECT_EQ(PictureFiles::ReadBytes(picture(QStringLiteral("picture1.jpg"))), "bytes of a.jpg");
    EXPECT_FALSE(QFileInfo::exists(picture(QStringLiteral("picture2.gif"))));
    EXPECT_FALSE(QFileInfo::exists(picture(QStringLiteral("picture3.bmp"))));
    EXPECT_EQ(host.statuses, (QStringList{QStringLiteral("Convert picture 1 of 3"),
                                          QStringLiteral("Convert picture 2 of 3")}));
    EXPECT_FALSE(QFileInfo::exists(pathIn(QStringLiteral("Trip/Default.html"))));
    EXPECT_TRUE(host.opened.isEmpty());
}

// Pictures as phones and browsers make them: the kinds browsers show keep their bytes and their
// suffix (in lower case), HEIC and TIFF become JPEGs of their own size, and the page names each
// file as it was written.
TEST_F(PictureShowTest, KeepsWhatBrowsersShowAndTurnsHeicAndTiffIntoJpegs)
{
    const QImage quadrants = TestPictures::Quadrants(64, 48);
    QByteArray tiff;
    {
        QBuffer buffer(&tiff);
        ASSERT_TRUE(buffer.open(QIODevice::WriteOnly) && quadrants.save(&buffer, "TIFF"));
    }
    struct Row {
        const char *source;
        QByteArray bytes;
        const char *written;
        bool converted;
    };
    const Row rows[] = {
        {"phone.HEIC", ToolPictures::Heic(quadrants), "picture1.jpg", true},
        {"web.webp", ToolPictures::WebP(quadrants), "picture2.webp", false},
        {"screen.PNG", ToolPictures::PngBytes(quadrants), "picture3.png", false},
        {"download.jpeg", BadInputFiles::Jpeg(quadrants, BadInputFiles::JpegKind::Baseline), "picture4.jpeg",
         false},
        {"scan.tif", tiff, "picture5.jpg", true},
    };
    for (const Row &row : rows) {
        if (row.bytes.isEmpty())
            GTEST_SKIP() << "cannot make " << row.source << " here (heif-enc and cwebp come with the setup)";
        host.select(writeFile(QStringLiteral("Fotos/") + QLatin1String(row.source), row.bytes));
    }
    host.state.JpegQuality = 90;

    host.finish(WritePictureShowPage(host.request(Trip, Default), host));
    ASSERT_TRUE(host.messages.isEmpty()) << host.messages.first().text.toStdString();

    QStringList written;
    for (const Row &row : rows) {
        SCOPED_TRACE(row.source);
        written << QLatin1String(row.written);
        const QByteArray bytes = PictureFiles::ReadBytes(picture(QLatin1String(row.written)));
        if (!row.converted) {
            EXPECT_EQ(bytes, row.bytes) << "copied unchanged";
            continue;
        }
        EXPECT_TRUE(bytes.startsWith("\xFF\xD8\xFF")) << "a JPEG";
        const QImage jpeg = QImage::fromData(bytes);
        ASSERT_EQ(jpeg.size(), quadrants.size()) << "of its own size";
        for (const QPoint at : {QPoint(16, 12), QPoint(48, 12), QPoint(16, 36), QPoint(48, 36)})
            EXPECT_TRUE(TestPictures::Near(jpeg.pixelColor(at), quadrants.pixelColor(at), 24))
                << at.x() << "," << at.y();
    }
    EXPECT_EQ(QDir(pathIn(Trip + QStringLiteral("/images"))).entryList(QDir::Files, QDir::Name), written);
    const QByteArray page = pageBytes(Trip, Default);
    EXPECT_TRUE(page.contains("src=\"images/picture1.jpg\" name=\"x1\""));
    for (int k = 1; k <= int(written.size()); ++k)
        EXPECT_TRUE(page.contains("<Option value=\"images/" + written[k - 1].toUtf8() + "\"> Picture " +
                                  QByteArray::number(k) + " "))
            << written[k - 1].toStdString();
}

} // namespace
