#pragma once

#include "shared/host.h"
#include "shared/production_request.h"
#include "shared/program_values.h"

#include <QColor>
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>

// The production's feedback for tests: records what it shows and opens, never waits or opens a
// browser. Beside it, the inputs a test asks for (request()) and, in `state`, what the window
// keeps of a result (finish()), so the logic's tests read as the window's.
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
    QString folder; // the album home; tests point it at a temporary folder

    QStringList statuses;          // every ShowStatus text, in order
    QVector<Message> messages;     // every message box, in order
    QVector<float> pauses;         // every Pause asked for
    QStringList opened;            // every OpenDocument path
    QStringList pointer;           // "busy" / "arrow", in order
    std::function<void()> onPause; // runs inside each Pause, to act "meanwhile"
    bool ended = false;            // closing(): set it (in onPause) to end the program meanwhile

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

    // The request the window would build from these inputs.
    ProductionRequest request(const QString &albumFolder, const QString &fileName) const
    {
        ProductionRequest r;
        for (qsizetype i = 0; i < paths.size(); ++i)
            r.selection.push_back({names.value(i), paths[i]});
        r.folder = albumFolder;
        r.fileName = fileName;
        r.title = title;
        r.settings = state;
        r.pageColour = QColor(state.BackRed, state.BackGreen, state.BackBlue);
        r.albumHome = folder;
        return r;
    }

    // What the window does with a result: shows its message, stores PageStyle 99 for an abandoned
    // run and keeps what the production found.
    void finish(const ProductionResult &result)
    {
        if (!result.message.isEmpty())
            showMessage(result.message);
        if (result.abandoned())
            state.PageStyle = PageStyles::Abandoned;
        if (!result.PictureDates.isEmpty())
            state.PictureDates = result.PictureDates;
        if (!result.PageColour.isEmpty())
            state.PageColour = result.PageColour;
    }
};
