#pragma once

#include "app/volume_source.h"
#include "shared/platform.h"

#include <QFileInfo>
#include <QStringList>

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

// Volumes the test makes up: any folder can play a drive, and a listed drive can be "not ready".
struct FakeVolumes : VolumeSource {
    QStringList roots, notReady;
    QStringList volumes() const override { return roots; }
    bool canList(const QString &root) const override
    {
        return !notReady.contains(root) && QFileInfo(root).isDir();
    }
};
