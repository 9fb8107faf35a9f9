#pragma once

#include "main_window/main_window.h"
#include "shared/platform.h"
#include "support/platform_fakes.h"

#include <QStringList>
#include <QTemporaryDir>
#include <QVector>
#include <gtest/gtest.h>
#include <memory>

// A main window whose program folder is a temporary folder and whose pause and quit only record.
class WindowTest : public ::testing::Test
{
  protected:
    QTemporaryDir folder;
    RecordingMessages messages;
    RecordingPointer pointer;
    RecordingOpener opener;
    QVector<float> pauses;
    int quits = 0;

    void SetUp() override { ASSERT_TRUE(folder.isValid()); }

    MainWindowServices services()
    {
        MainWindowServices s;
        s.albumHome = folder.path();
        s.messages = &messages;
        s.pointer = &pointer;
        s.opener = &opener;
        s.pause = [this](float seconds) { pauses << seconds; };
        s.quit = [this] { ++quits; };
        return s;
    }

    std::unique_ptr<MainWindow> start() { return std::make_unique<MainWindow>(services()); }

    QString settingsPath() const { return folder.filePath(QStringLiteral("Galvora.ini")); }
};
