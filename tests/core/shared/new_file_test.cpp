#include "shared/new_file.h"
#include "support/picture_test_files.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace PictureFiles;

namespace
{

TEST(WriteNewFileTest, WritesANewFileButNothingOverAFileOrFolderAlreadyThere)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString fresh = dir.filePath("picture1.jpg");
    ASSERT_TRUE(WriteNewFile(fresh, "new bytes"));
    EXPECT_EQ(ReadBytes(fresh), QByteArray("new bytes"));

    QString error;
    EXPECT_FALSE(WriteNewFile(fresh, "other bytes", &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(ReadBytes(fresh), QByteArray("new bytes"));

    ASSERT_TRUE(QDir(dir.path()).mkdir("taken"));
    EXPECT_FALSE(WriteNewFile(dir.filePath("taken"), "bytes"));
    EXPECT_TRUE(QFileInfo(dir.filePath("taken")).isDir());

    error.clear();
    EXPECT_FALSE(WriteNewFile(dir.filePath("absent/page.html"), "bytes", &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"picture1.jpg"});
}

} // namespace
