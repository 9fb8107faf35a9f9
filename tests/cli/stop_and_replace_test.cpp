// `galvora make` stopped by a signal, and making an album again with --replace: through the built
// program, checked on disk.

#include "galvora_process.h"
#include "support/picture_test_files.h"
#include "support/test_pictures.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QImageReader>
#include <QMap>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>

namespace
{

constexpr int Copies = 60; // the large picture, named this many times: a run of several seconds

class StopAndReplaceTest : public ::testing::Test
{
  protected:
    QTemporaryDir work;

    void SetUp() override
    {
        ASSERT_TRUE(work.isValid());
        ASSERT_TRUE(TestPictures::WriteJpeg(TestPictures::Quadrants(3000, 2000), path("large.jpg")));
        for (const char *name : {"a.jpg", "b.jpg"})
            ASSERT_TRUE(TestPictures::WriteJpeg(TestPictures::Quadrants(64, 48), path(name)));
    }

    QString path(const char *relative) const { return work.filePath(QLatin1String(relative)); }

    // Starts a long run (the large picture again and again, each converted at its full size) and
    // returns once the first picture has been made (its progress line).
    void startLongRun(QProcess &process, const char *head, QString &err)
    {
        QStringList arguments = Words(head) + Words("-s 3000x2000 -j 1");
        for (int i = 0; i < Copies; ++i)
            arguments << QStringLiteral("large.jpg");
        StartGalvora(process, arguments, work.path());
        process.setReadChannel(QProcess::StandardError);
        while (!err.contains(QStringLiteral("Convert picture 1 of")) && process.waitForReadyRead(20000))
            err += QString::fromLocal8Bit(process.readAllStandardError());
        ASSERT_TRUE(err.contains(QStringLiteral("Convert picture 1 of"))) << err.toStdString();
    }

    // Every file below `folder` with its bytes.
    QMap<QString, QByteArray> Snapshot(const QString &folder) const
    {
        QMap<QString, QByteArray> files;
        for (QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
             it.hasNext();) {
            const QString file = it.next();
            files.insert(file, PictureFiles::ReadBytes(file));
        }
        return files;
    }

    // What a run must never leave: scratch folders and temporary files, anywhere below the work folder.
    QStringList Leftovers() const
    {
        return Tree(work.path()).filter(QRegularExpression(QStringLiteral("(^|/)\\.(scratch|galvora)-")));
    }
};

struct StopRow {
    const char *name;
    int signal;
    int status;
};

class StopSignalTest : public StopAndReplaceTest, public ::testing::WithParamInterface<StopRow>
{
};

TEST_P(StopSignalTest, EndsWithinASecondLeavingWholePicturesAndNoScratch)
{
    const StopRow &row = GetParam();
    QProcess process;
    QString err;
    startLongRun(process, "make resize -o out", err);
    QElapsedTimer stopping;
    stopping.start();
    ASSERT_EQ(::kill(pid_t(process.processId()), row.signal), 0);
    ASSERT_TRUE(process.waitForFinished(10000));
    const qint64 took = stopping.elapsed();
    err += QString::fromLocal8Bit(process.readAllStandardError());

    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), row.status);
    EXPECT_LT(took, 1000) << "ms from the signal to the end";
    EXPECT_EQ(Leftovers(), QStringList());
    const QStringList pictures = QDir(path("out/images")).entryList(QDir::Files, QDir::Name);
    EXPECT_LT(pictures.size(), Copies);
    for (const QString &picture : pictures) {
        EXPECT_EQ(QImage(path("out/images/") + picture).size(), QSize(3000, 2000)) << picture.toStdString();
        EXPECT_TRUE(PictureFiles::ReadBytes(path("out/images/") + picture).endsWith("\xFF\xD9"))
            << picture.toStdString() << " is cut off";
    }
    EXPECT_TRUE(err.trimmed().endsWith(
        QStringLiteral("Stopped: %1 of %2 pictures made").arg(pictures.size()).arg(Copies)))
        << err.toStdString();
    EXPECT_TRUE(process.readAllStandardOutput().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Signals, StopSignalTest,
                         ::testing::Values(StopRow{"SIGINT", SIGINT, 130}, StopRow{"SIGTERM", SIGTERM, 143},
                                           StopRow{"SIGHUP", SIGHUP, 143}),
                         [](const auto &row) { return std::string(row.param.name); });

TEST_F(StopAndReplaceTest, ReplaceMakesTheAlbumAgainWithNothingOfTheOldOneLeft)
{
    const Finished first = RunGalvora(Words("make thumbnails -o out -n old a.jpg b.jpg"), work.path());
    ASSERT_EQ(first.status, 0) << first.err.toStdString();
    const Finished replaced = RunGalvora(Words("make photoalbum-1 -o out b.jpg --replace"), work.path());
    ASSERT_EQ(replaced.status, 0) << replaced.err.toStdString();
    EXPECT_EQ(replaced.out, path("out/index.html") + QLatin1Char('\n'));
    EXPECT_EQ(Tree(path("out")), Words("images images/picture1.jpg index.html"));
    EXPECT_EQ(QImageReader(path("out/images/picture1.jpg")).size(), QSize(360, 270));
    EXPECT_EQ(Leftovers(), QStringList());
}

TEST_F(StopAndReplaceTest, AReplaceStoppedByCtrlCLeavesTheOldAlbumAsItWas)
{
    const Finished first = RunGalvora(Words("make thumbnails -o out a.jpg b.jpg"), work.path());
    ASSERT_EQ(first.status, 0) << first.err.toStdString();
    const QMap<QString, QByteArray> before = Snapshot(path("out"));

    QProcess process;
    QString err;
    startLongRun(process, "make resize --replace -o out", err);
    ASSERT_EQ(::kill(pid_t(process.processId()), SIGINT), 0);
    ASSERT_TRUE(process.waitForFinished(10000));
    EXPECT_EQ(process.exitCode(), 130);
    EXPECT_EQ(Snapshot(path("out")), before);
    EXPECT_EQ(Leftovers(), QStringList());
}

// A replace killed outright leaves its half album beside the old one, and a run before it left
// scratch in the old one: the next replace takes all of it away.
TEST_F(StopAndReplaceTest, AReplaceAfterAKilledRunTakesItsLeftoversAway)
{
    const Finished first = RunGalvora(Words("make thumbnails -o out a.jpg"), work.path());
    ASSERT_EQ(first.status, 0) << first.err.toStdString();
    ASSERT_TRUE(QDir(work.path()).mkpath(QStringLiteral("out/.scratch-Ab12Cd")));
    for (const char *leftover : {"out/.scratch-Ab12Cd/mydummy.bmp", "out/images/.galvora-picture2.jpg-x1"})
        ASSERT_TRUE(PictureFiles::WriteBytes(path(leftover), "half"));
    QProcess process;
    QString err;
    startLongRun(process, "make resize --replace -o out", err);
    process.kill();
    ASSERT_TRUE(process.waitForFinished(10000));
    ASSERT_FALSE(Leftovers().isEmpty()) << "the killed run left its half album";

    const Finished replaced = RunGalvora(Words("make thumbnails --replace -o out b.jpg"), work.path());
    ASSERT_EQ(replaced.status, 0) << replaced.err.toStdString();
    EXPECT_EQ(Leftovers(), QStringList());
    EXPECT_EQ(Tree(path("out")), Words("images images/picture1.jpg index.html"));
}

} // namespace
