// A disk that fills up while pictures and pages are written (a file-size limit stands in for
// it): the production ends with a message, and no cut-off file passes for a finished one.
#include "app/make_command.h"
#include "html_pages/page_writers.h"
#include "picture_conversion/picture_loader.h"
#include "productions.h"
#include "support/fake_host.h"
#include "support/picture_test_files.h"
#include "support/test_pictures.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

namespace
{

// Limits the size of every file this process writes, for its lifetime; a write past the
// limit fails with EFBIG instead of raising SIGXFSZ.
class FileSizeLimit
{
  public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        applied_ = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    bool applied() const { return applied_; }

  private:
    rlimit saved_{};
    void (*previousHandler_)(int) = SIG_DFL;
    bool applied_ = false;
};

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
    EXPECT_FALSE(QFile::exists(host.folder + "/mydummy.bmp")) << "no cut-off scratch file stays";
    // Whatever stayed on disk is whole: the pictures decode, the page ends as a page ends.
    for (const QString &file : limited.files) {
        const QString path = host.folder + "/Album/" + file;
        if (file.endsWith(".html"))
            EXPECT_TRUE(PictureFiles::ReadBytes(path).endsWith("</html>\r\n")) << qPrintable(file);
        else
            EXPECT_TRUE(LoadPicture(path).ok())
                << qPrintable(file) << ": " << qPrintable(LoadPicture(path).error);
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
