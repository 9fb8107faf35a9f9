#include "cli/make_command_line.h"

#include "app/production.h"
#include "cli/make_options.h"
#include "shared/host.h"

#include <QFileInfo>
#include <QProcess>
#include <QTextStream>
#include <unistd.h>

namespace
{

// The feedback of a production on a terminal: progress on one updating line (a line each when
// standard error is no terminal), messages as lines of their own, no pauses, no pointer.
class TerminalFeedback : public Host
{
  public:
    TerminalFeedback(QTextStream &err, bool quiet, bool open)
        : err_(err), quiet_(quiet), open_(open), terminal_(isatty(STDERR_FILENO) == 1)
    {
    }
    ~TerminalFeedback() override { endProgressLine(); }

    void showStatus(const QString &text) override
    {
        if (quiet_)
            return;
        if (terminal_) {
            err_ << "\r\033[K" << text;
            progressShown_ = true;
        } else {
            err_ << text << '\n';
        }
        err_.flush();
    }
    void pause(float) override {}
    void showMessage(const QString &text, const QString & = QString()) override
    {
        endProgressLine();
        err_ << text << '\n';
        err_.flush();
    }
    void setBusyPointer() override {}
    void setArrowPointer() override {}
    void openDocument(const QString &path) override
    {
        if (open_)
            QProcess::startDetached(QStringLiteral("xdg-open"), {path});
    }

  private:
    void endProgressLine()
    {
        if (!progressShown_)
            return;
        err_ << '\n';
        err_.flush();
        progressShown_ = false;
    }

    QTextStream &err_;
    const bool quiet_, open_, terminal_;
    bool progressShown_ = false;
};

ProductionRequest RequestOf(const MakeOptions &options)
{
    ProductionRequest request;
    for (const QString &path : options.pictures)
        request.selection.push_back({QFileInfo(path).fileName(), path});
    const QFileInfo output(options.output);
    request.albumHome = output.path();
    request.folder = output.fileName();
    request.fileName = options.name;
    request.title = options.title;
    request.settings.PageStyle = options.pageStyle;
    request.settings.PictureWidth = options.width;
    request.settings.PictureHeight = options.height;
    request.settings.PauseSeconds = options.delay;
    request.settings.BlockSize = options.block;
    request.settings.JpegQuality = options.quality;
    request.pageColour = options.colour;
    request.canvasBackground = options.colour;
    request.workers = options.jobs;
    request.keepProportions = options.keepProportions;
    request.sortByDate = options.sortByDate;
    return request;
}

} // namespace

int MakeAlbum(const MakeOptions &options, QTextStream &out, QTextStream &err)
{
    TerminalFeedback feedback(err, options.quiet, options.open);
    const ProductionResult result = Produce(RequestOf(options), feedback);
    if (!result.message.isEmpty())
        feedback.showMessage(result.message);
    if (result.end != ProductionResult::End::Done)
        return 1;
    // What a script goes on with: the page, or the album folder where no page is made.
    out << (result.pagePath.isEmpty() ? options.output : result.pagePath) << '\n';
    return 0;
}
