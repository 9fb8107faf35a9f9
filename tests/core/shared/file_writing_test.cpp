#include "shared/file_writing.h"
#include "support/picture_test_files.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace PictureFiles;

namespace
{

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
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"picture1.jpg"});
}

} // namespace
