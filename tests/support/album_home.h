#pragma once

#include "shared/paths.h"
#include "support/fake_host.h"
#include "support/picture_test_files.h"
#include "support/test_pictures.h"

#include <QByteArray>
#include <QDir>
#include <QFileInfo>
#include <QSize>
#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// A temporary folder, an album home in it and a FakeHost whose album home it is: where the
// logic's tests of a production start. Pictures and other source files go beside the home.
class AlbumHome
{
  public:
    QTemporaryDir dir;
    FakeHost host;

    // Makes `home` below the temporary folder (the temporary folder itself when empty) and
    // gives it to the host. False where it could not be made.
    [[nodiscard]] bool makeHome(const QString &home = QStringLiteral("program"))
    {
        host.folder = home.isEmpty() ? dir.path() : pathIn(home);
        return dir.isValid() && QDir().mkpath(host.folder);
    }

    QString pathIn(const QString &relative) const { return JoinPath(dir.path(), relative); }

    // A file with exactly `bytes` as its content at `relative` below the temporary folder.
    QString writeFile(const QString &relative, const QByteArray &bytes) const
    {
        const QString path = pathIn(relative);
        QDir().mkpath(QFileInfo(path).path());
        EXPECT_TRUE(PictureFiles::WriteBytes(path, bytes)) << "cannot write " << path.toStdString();
        return path;
    }

    // A JPEG of the four coloured quadrants at `relative`, added to the selection.
    QString selectJpeg(const QString &relative, QSize size = QSize(64, 48))
    {
        const QString path = pathIn(relative);
        QDir().mkpath(QFileInfo(path).path());
        EXPECT_TRUE(TestPictures::WriteJpeg(TestPictures::Quadrants(size.width(), size.height()), path))
            << path.toStdString();
        host.select(path);
        return path;
    }

    // The page file albumHome/folder/fileName.html as written.
    QByteArray pageBytes(const QString &folder, const QString &fileName) const
    {
        return PictureFiles::ReadBytes(
            JoinPath(JoinPath(host.folder, folder), fileName + QStringLiteral(".html")));
    }
};
