#pragma once

#include "shared/host.h"

#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>

// Stands in for the main window: records what a production shows and opens,
// and never waits or opens a browser.
class FakeHost : public Host
{
  public:
    struct Message {
        QString text;
        QString title;
    };

    ProgramValues state;
    QStringList names;
    QStringList paths;
    QString title = QStringLiteral("Default");
    QString folder; // the program folder; tests point it at a temporary folder

    QStringList statuses;          // every ShowStatus text, in order
    QVector<Message> messages;     // every message box, in order
    QVector<float> pauses;         // every Pause asked for
    QStringList opened;            // every OpenDocument path
    QStringList pointer;           // "busy" / "arrow", in order
    std::function<void()> onPause; // runs inside each Pause, to act "meanwhile"
    bool ended = false;            // closing(): set it (in onPause) to end the program meanwhile

    ProgramValues &values() override { return state; }
    QStringList selectionNames() const override { return names; }
    QStringList selectionPaths() const override { return paths; }
    QString pageTitle() const override { return title; }
    QString programFolder() const override { return folder; }

    void showStatus(const QString &text) override { statuses << text; }
    void pause(float seconds) override
    {
        pauses << seconds;
        if (onPause)
            onPause();
    }
    void showMessage(const QString &text, const QString &t = QString()) override
    {
        messages.push_back({text, t});
    }
    void setBusyPointer() override { pointer << QStringLiteral("busy"); }
    void setArrowPointer() override { pointer << QStringLiteral("arrow"); }
    void openDocument(const QString &path) override { opened << path; }
    bool closing() const override { return ended; }

    // Adds a picture to the selection the way the browser does.
    void select(const QString &fullPath)
    {
        paths << fullPath;
        names << fullPath.section(QLatin1Char('/'), -1);
    }
};
