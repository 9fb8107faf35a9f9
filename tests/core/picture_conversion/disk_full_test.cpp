// A disk that fills up while pictures and pages are written (a file-size limit stands in for
// it): the production ends with a message, and no cut-off file passes for a finished one.
#include "app/make_command.h"
#include "app/production.h"
#include "html_pages/page_writers.h"
#include "picture_conversion/picture_loader.h"
#include "productions.h"
#include "support/fake_host.h"
#include "support/full_disk.h"
#include "support/picture_test_files.h"
#include "support/scratch_files.h"
#include "support/test_pictures.h"
#include "tree_snapshot.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <optional>
#include <sys/resource.h>
#include <unistd.h>

namespace
{

struct Outcome {
    bool failed = false;
    QStringList files; // every file in the output folder, relative
    qint64 largest = 0;
};

class DiskFullTest : public ::testing::TestWithParam<std::tuple<Production, double>>
{
  protected:
    QTemporaryDir dir;

    // Runs the production in a fresh program folder under the given file-size limit (0: none).
    Outcome run(const Production &production, const QString &name, rlim_t limit, FakeHost &host)
    {
        Outcome outcome;
        const QDir root(dir.path());
        EXPECT_TRUE(root.mkpath(name + "/program"));
        host.folder = root.filePath(name + "/program");
        host.state.PageStyle = PageStyles::Thumbnails;
        for (int i = 0; i < 3; ++i) {
            const QString picture = root.filePath(name + QString("/p%1.jpg").arg(i));
            EXPECT_TRUE(TestPictures::WriteJpeg(TestPictures::Quadrants(120 + 40 * i, 90), picture));
            host.select(picture);
        }
        {
            const FileSizeLimit guard(limit ? limit : RLIM_INFINITY);
            EXPECT_TRUE(guard.applied());
            production.run(host, "Album", "index");
        }
        outcome.failed = !host.messages.isEmpty();
        const QString output = host.folder + "/Album";
        QDirIterator it(output, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            outcome.files << QDir(output).relativeFilePath(path);
            outcome.largest = qMax(outcome.largest, QFileInfo(path).size());
        }
        return outcome;
    }
};

TEST_P(DiskFullTest, EndsWithAMessageAndLeavesNoCutOffFile)
{
    const auto &[production, fraction] = GetParam();
    FakeHost unlimitedHost;
    const Outcome unlimited = run(production, "unlimited", 0, unlimitedHost);
    ASSERT_FALSE(unlimited.failed);
    // Converting productions also write the scratch picture (a 48 x 36 BMP) outside the output folder.
    const bool converts = std::string(production.name) != "PictureShow";
    const qint64 largest = converts ? qMax<qint64>(unlimited.largest, 54 + 48 * 3 * 36) : unlimited.largest;
    const auto limit = rlim_t(double(largest) * fraction);

    FakeHost host;
    const Outcome limited = run(production, "limited", limit, host);

    if (fraction < 1.0) {
        EXPECT_TRUE(limited.failed) << "a file of " << largest << " bytes cannot be written under " << limit;
        EXPECT_TRUE(host.opened.isEmpty()) << "no page is opened after a failure";
    } else {
        EXPECT_FALSE(limited.failed) << qPrintable(host.messages.value(0).text);
        EXPECT_EQ(limited.files, unlimited.files);
    }
    EXPECT_FALSE(ScratchLeftBelow(host.folder)) << "no cut-off scratch file stays";
    // Whatever stayed on disk is whole: the pictures decode, the page ends as a page ends.
    for (const QString &file : limited.files) {
        const QString path = host.folder + "/Album/" + file;
        if (file.endsWith(".html"))
            EXPECT_TRUE(PictureFiles::ReadBytes(path).endsWith("</html>\r\n")) << qPrintable(file);
        else
            EXPECT_TRUE(LoadPicture(path).ok())
                << qPrintable(file) << ": " << qPrintable(LoadPicture(path).reason());
    }
}

INSTANTIATE_TEST_SUITE_P(Limits, DiskFullTest,
                         ::testing::Combine(::testing::ValuesIn(AllProductions()),
                                            ::testing::Values(0.02, 0.4, 0.9, 2.0)),
                         [](const auto &row) {
                             return std::string(std::get<0>(row.param).name) + "_" +
                                    std::to_string(int(std::get<1>(row.param) * 100)) + "Percent";
                         });

} // namespace

namespace
{

// A page that does not fit is reported and not opened, and never left cut off as if written.
TEST(DiskFull, PageThatDoesNotFitIsReportedAndNotLeftCutOff)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid() && QDir(dir.path()).mkpath("program"));
    FakeHost host;
    host.folder = dir.filePath("program");
    for (int i = 0; i < 3; ++i) {
        const QString picture = dir.filePath(QString("p%1.gif").arg(i));
        ASSERT_TRUE(PictureFiles::WriteBytes(picture, PictureFiles::SingleColourGif(2, 2, Qt::red, false)));
        host.select(picture);
    }
    {
        // The pictures are a few dozen bytes; the page is well over a kilobyte.
        const FileSizeLimit guard(600);
        ASSERT_TRUE(guard.applied());
        host.finish(WritePictureShowPage(host.request("Album", "index"), host));
    }
    EXPECT_EQ(host.messages.size(), 1);
    EXPECT_TRUE(host.opened.isEmpty());
    const QString page = dir.filePath("program/Album/index.html");
    EXPECT_TRUE(!QFile::exists(page) || PictureFiles::ReadBytes(page).endsWith("</html>\r\n"));
}

} // namespace

namespace
{

// Memory in use by this process, in bytes of address space.
rlim_t AddressSpaceInUse()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    return rlim_t(statm.readAll().split(' ').value(0).toULongLong()) * rlim_t(getpagesize());
}

// Limits the address space of this process to what it uses now plus `headroom`.
class MemoryLimit
{
  public:
    explicit MemoryLimit(rlim_t headroom)
    {
        getrlimit(RLIMIT_AS, &saved_);
        const rlim_t inUse = AddressSpaceInUse();
        rlimit limit = saved_;
        limit.rlim_cur = inUse + headroom;
        applied_ = inUse > 0 && setrlimit(RLIMIT_AS, &limit) == 0;
    }
    ~MemoryLimit() { setrlimit(RLIMIT_AS, &saved_); }
    bool applied() const { return applied_; }

  private:
    rlimit saved_{};
    bool applied_ = false;
};

struct FaultRow {
    const char *name;
    std::uint8_t style;
    QSize canvas;
    rlim_t fileSizeLimit = 0;        // 0: none
    bool blockSecondPicture = false; // a folder takes the place of picture2.jpg after picture 1
    rlim_t memoryHeadroom = 0;       // 0: none
    const char *message; // its start; "@ALBUM@" stands for the album folder, "@DIR@" for the pictures' folder
    QStringList left;    // the album's files afterwards; empty: no album folder at all
};
void PrintTo(const FaultRow &row, std::ostream *os)
{
    *os << row.name;
}

class FaultTest : public ::testing::TestWithParam<FaultRow>
{
};

// Each place a production writes, and memory: the message the user reads, PageStyle 99, no cut-off
// file, what was made before the fault kept (or nothing at all when nothing was written), and
// nothing outside the album folder changed.
TEST_P(FaultTest, SaysWhatHappenedAndLeavesOnlyWholeFiles)
{
    const FaultRow &row = GetParam();
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    if (row.memoryHeadroom)
        GTEST_SKIP() << "a sanitizer reserves more address space than any limit leaves";
#endif
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid() && QDir(dir.path()).mkpath("home"));
    FakeHost host;
    host.folder = dir.filePath("home");
    host.state.PageStyle = row.style;
    host.state.PictureWidth = row.canvas.width();
    host.state.PictureHeight = row.canvas.height();
    for (int i = 0; i < 3; ++i) {
        const QString picture = dir.filePath(QString("p%1.gif").arg(i));
        ASSERT_TRUE(PictureFiles::WriteBytes(picture, PictureFiles::SingleColourGif(4, 3, Qt::red, false)));
        host.select(picture);
    }
    const QString albumFolder = dir.filePath("home/Album");
    if (row.blockSecondPicture)
        host.onPause = [&] { QDir().mkpath(albumFolder + "/images/picture2.jpg"); };
    const TreeSnapshot before = TreeSnapshot::Of(dir.path());
    {
        const FileSizeLimit files(row.fileSizeLimit ? row.fileSizeLimit : RLIM_INFINITY);
        ASSERT_TRUE(files.applied());
        std::optional<MemoryLimit> memory;
        if (row.memoryHeadroom) {
            memory.emplace(row.memoryHeadroom);
            ASSERT_TRUE(memory->applied());
        }
        host.finish(Produce(host.request("Album", "index"), host));
    }

    ASSERT_EQ(host.messages.size(), 1);
    const QString expected =
        QString::fromUtf8(row.message).replace("@ALBUM@", albumFolder).replace("@DIR@", dir.path());
    EXPECT_TRUE(host.messages[0].text.startsWith(expected))
        << host.messages[0].text.toStdString() << " / " << expected.toStdString();
    EXPECT_TRUE(host.messages[0].title.isEmpty()) << "titled with the program's name";
    EXPECT_EQ(host.state.PageStyle, PageStyles::Abandoned);
    EXPECT_TRUE(host.opened.isEmpty());
    QStringList left;
    QDirIterator it(albumFolder, QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (QFileInfo(path).isFile() && !QFileInfo(path).isSymLink())
            left << QDir(albumFolder).relativeFilePath(path);
    }
    left.sort();
    EXPECT_EQ(left, row.left);
    EXPECT_EQ(QFileInfo::exists(albumFolder), !row.left.isEmpty())
        << "a run that wrote nothing leaves nothing";
    for (const QString &file : left)
        EXPECT_TRUE(LoadPicture(albumFolder + "/" + file).ok()) << file.toStdString() << " is whole";
    QStringList outside;
    for (const QString &change : TreeSnapshot::Of(dir.path()).differencesFrom(before))
        if (!change.mid(1).startsWith("home/Album"))
            outside << change;
    EXPECT_TRUE(outside.isEmpty()) << outside.join(' ').toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Faults, FaultTest,
    ::testing::Values(
        // The scratch picture (a 48 x 36 BMP, over 5 kB) does not fit; the JPEG pictures would.
        FaultRow{
            "ScratchPicture", PageStyles::Thumbnails, {48, 36}, 3000, false, 0, "File @ALBUM@/.scratch-", {}},
        // The second picture cannot be written: the run stops, the first picture stays.
        FaultRow{"Picture",
                 PageStyles::Thumbnails,
                 {48, 36},
                 0,
                 true,
                 0,
                 "File @ALBUM@/images/picture2.jpg could not be written: ",
                 {"images/picture1.jpg"}},
        // Picture Show copies pictures of a few dozen bytes; its page is over a kilobyte.
        FaultRow{"Page",
                 PageStyles::PictureShow,
                 {0, 0},
                 600,
                 false,
                 0,
                 "File @ALBUM@/index.html could not be written: File too large",
                 {"images/picture1.gif", "images/picture2.gif", "images/picture3.gif"}},
        // A canvas of 7000 x 7000 pixels (196 MB) with 64 MB of memory left.
        FaultRow{"Memory",
                 PageStyles::ResizePictures,
                 {7000, 7000},
                 0,
                 false,
                 64 << 20,
                 "Picture @DIR@/p0.gif could not be converted: not enough memory",
                 {}},
        FaultRow{"CanvasOfNoWidth",
                 PageStyles::Thumbnails,
                 {0, 36},
                 0,
                 false,
                 0,
                 "Pictures of 0 x 36 pixels cannot be made.",
                 {}}),
    [](const auto &row) { return std::string(row.param.name); });

} // namespace
