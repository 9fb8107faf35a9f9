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

    QString error;
    EXPECT_FALSE(WriteWholeFile(fresh, "other bytes", IfExists::Refuse, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(ReadBytes(fresh), QByteArray("new bytes"));

    ASSERT_TRUE(QDir(dir.path()).mkdir("taken"));
    EXPECT_FALSE(WriteWholeFile(dir.filePath("taken"), "bytes", IfExists::Refuse));
    EXPECT_TRUE(QFileInfo(dir.filePath("taken")).isDir());

    error.clear();
    EXPECT_FALSE(WriteWholeFile(dir.filePath("absent/page.html"), "bytes", IfExists::Refuse, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"picture1.jpg"});
}

} // namespace
