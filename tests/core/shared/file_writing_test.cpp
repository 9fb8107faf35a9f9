#include "shared/file_writing.h"
#include "support/full_disk.h"
#include "support/picture_test_files.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace PictureFiles;

namespace
{

// Every entry of the folder, hidden ones (a temporary file left behind) included.
QStringList Entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

TEST(WriteWholeFileTest, WritesANewFileButNothingOverAFileOrFolderAlreadyThere)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString fresh = dir.filePath("picture1.jpg");
    ASSERT_TRUE(WriteWholeFile(fresh, "new bytes", IfExists::Refuse));
    EXPECT_EQ(ReadBytes(fresh), QByteArray("new bytes"));

    const Status again = WriteWholeFile(fresh, "other bytes", IfExists::Refuse);
    EXPECT_FALSE(again);
    EXPECT_FALSE(again.reason().isEmpty());
    EXPECT_EQ(ReadBytes(fresh), QByteArray("new bytes"));

    ASSERT_TRUE(QDir(dir.path()).mkdir("taken"));
    EXPECT_FALSE(WriteWholeFile(dir.filePath("taken"), "bytes", IfExists::Refuse));
    EXPECT_TRUE(QFileInfo(dir.filePath("taken")).isDir());

    const Status absent = WriteWholeFile(dir.filePath("absent/page.html"), "bytes", IfExists::Refuse);
    EXPECT_FALSE(absent);
    EXPECT_FALSE(absent.reason().isEmpty());
    EXPECT_EQ(Entries(dir.path()), (QStringList{"picture1.jpg", "taken"}));
}

TEST(WriteWholeFileTest, ReplacesAScratchFileAndGivesEveryFileTheUsersPermissions)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString scratch = dir.filePath("mydummy.bmp");
    ASSERT_TRUE(WriteWholeFile(scratch, "first picture, longer", IfExists::Replace));
    ASSERT_TRUE(WriteWholeFile(scratch, "second", IfExists::Replace));
    EXPECT_EQ(ReadBytes(scratch), QByteArray("second"));
    ASSERT_TRUE(WriteWholeFile(dir.filePath("page.html"), "<html>", IfExists::Refuse));

    // As a file made by open(..., 0666) is: readable by the web server an album is uploaded to.
    const mode_t mask = ::umask(022);
    ::umask(mask);
    for (const char *name : {"mydummy.bmp", "page.html"}) {
        struct stat made {
        };
        ASSERT_EQ(::stat(QFile::encodeName(dir.filePath(name)).constData(), &made), 0);
        EXPECT_EQ(made.st_mode & 0777, 0666 & ~mask) << name;
    }
    EXPECT_EQ(Entries(dir.path()), (QStringList{"mydummy.bmp", "page.html"}));
}

// A write cut short (the file-size limit stands in for a full disk) says why, leaves no file under
// the final name and no temporary file; a file that was there before stays whole.
TEST(WriteWholeFileTest, AWriteCutShortLeavesNeitherTheFileNorItsTemporaryFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(WriteWholeFile(dir.filePath("mydummy.bmp"), "whole", IfExists::Replace));
    const QByteArray large(64 * 1024, 'x');
    Status page, scratch;
    {
        const FileSizeLimit limit(4096);
        ASSERT_TRUE(limit.applied());
        page = WriteWholeFile(dir.filePath("page.html"), large, IfExists::Refuse);
        scratch = WriteWholeFile(dir.filePath("mydummy.bmp"), large, IfExists::Replace);
    }
    EXPECT_EQ(page.reason(), QStringLiteral("File too large"));
    EXPECT_EQ(scratch.reason(), QStringLiteral("File too large"));
    EXPECT_EQ(ReadBytes(dir.filePath("mydummy.bmp")), QByteArray("whole"));
    EXPECT_EQ(Entries(dir.path()), QStringList{"mydummy.bmp"});
}

} // namespace
