#pragma once

#include "shared/paths.h"
#include "support/fake_host.h"
#include "support/golden.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <utility>
#include <vector>

// A program folder in a temporary folder, the default colour and a fixed title,
// as every page test starts from.
class PageTest : public ::testing::Test
{
  protected:
    QTemporaryDir dir;
    FakeHost host;

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        host.folder = dir.path();
        host.title = QStringLiteral("Holiday album");
    }

    QString pathIn(const QString &relative) const { return JoinPath(dir.path(), relative); }

    QByteArray pageBytes(const QString &folder, const QString &fileName) const
    {
        return Golden::ReadBytes(pathIn(folder + QLatin1Char('/') + fileName + QStringLiteral(".html")));
    }

    // A source file with exactly `bytes` as its content, below the program folder.
    QString sourceFile(const QString &relative, const QByteArray &bytes) const
    {
        const QString path = pathIn(relative);
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            ADD_FAILURE() << "cannot write " << path.toStdString();
        return path;
    }
};

using Golden::ExpectedPage;
