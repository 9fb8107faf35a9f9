#pragma once

#include "main_window/main_window.h"
#include "shared/platform.h"

#include <QStringList>
#include <QTemporaryDir>
#include <QVector>
#include <gtest/gtest.h>
#include <memory>

// Stand-ins for the platform, recording what the main window asks of it.
struct RecordingMessages : MessageBoxes {
    QStringList texts, titles;
    void show(const QString &text, const QString &title) override
    {
        texts << text;
        titles << title;
    }
};

struct RecordingPointer : MousePointer {
    QStringList calls;
    void busy() override { calls << QStringLiteral("busy"); }
    void arrow() override { calls << QStringLiteral("arrow"); }
};

struct RecordingOpener : DocumentOpener {
    QStringList opened;
    void open(const QString &path) override { opened << path; }
};

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
        s.programFolder = folder.path();
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
