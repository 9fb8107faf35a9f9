#include "cli/make_command_line.h"

#include "app/album_replacement.h"
#include "app/page_opener.h"
#include "app/production.h"
#include "cli/make_options.h"
#include "cli/stop_signals.h"
#include "shared/host.h"
#include "shared/output_names.h"
#include "shared/paths.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace
{

// The feedback of a production on a terminal: progress on one updating line (a line each when
// standard error is no terminal), messages as lines of their own, no pauses, no pointer. A stop
// signal ends the production as the window's Exit does.
class TerminalFeedback : public Host
{
  public:
    TerminalFeedback(QTextStream &err, bool quiet, StopSignals &stop)
        : err_(err), quiet_(quiet), terminal_(isatty(STDERR_FILENO) == 1), stop_(stop)
    {
    }
    ~TerminalFeedback() override { endProgressLine(); }

    void showStatus(const QString &text) override
    {
        if (quiet_ || closing())
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
    // The page is opened once the album is in its place, not where the production writes it.
    void openDocument(const QString &) override {}
    bool closing() const override { return stop_.caught() != 0; }
    PauseCancel *endOfRun() override { return stop_.endOfRun(); }

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
    const bool quiet_, terminal_;
    StopSignals &stop_;
    bool progressShown_ = false;
};

ProductionRequest RequestOf(const MakeOptions &options, const QString &albumHome, const QString &folder)
{
    ProductionRequest request;
    for (const QString &path : options.pictures)
        request.selection.push_back({QFileInfo(path).fileName(), path});
    request.albumHome = albumHome;
    request.folder = folder;
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
    request.keepGoing = options.keepGoing;
    request.sortByDate = options.sortByDate;
    return request;
}

// The picture files an album folder holds whole under their own names.
qsizetype PicturesIn(const QString &album)
{
    return QDir(JoinPath(album, QStringLiteral("images")))
        .entryList({QStringLiteral("picture*")}, QDir::Files)
        .size();
}

} // namespace

int MakeAlbum(const MakeOptions &options, QTextStream &out, QTextStream &err)
{
    StopSignals stop;
    TerminalFeedback feedback(err, options.quiet, stop);

    // --replace: an album made before stays until the new one, made beside it, is whole.
    const QFileInfo output(options.output);
    const bool replacing = options.replace && (output.exists() || output.isSymLink());
    QString folder = output.fileName();
    if (replacing) {
        if (!output.isDir() || output.isSymLink()) {
            // Not a folder: there is no album to replace, and none can be made there.
            feedback.showMessage(
                FolderNotMadeText(options.output, QString::fromLocal8Bit(std::strerror(EEXIST))));
            return 1;
        }
        if (const Status onlyOurs = CheckHoldsOnlyAlbumFiles(options.output); !onlyOurs) {
            feedback.showMessage(onlyOurs.reason());
            return 1;
        }
        RemoveStaleStaging(options.output);
        folder = StagingName(options.output);
    }
    const QString made = JoinPath(output.path(), folder);

    const ProductionResult result = Produce(RequestOf(options, output.path(), folder), feedback);
    if (const int signal = stop.caught()) {
        const qsizetype pictures = PicturesIn(made);
        if (replacing)
            RemoveTree(made);
        else
            RemoveRunLeftovers(made);
        feedback.showMessage(PicturesStoppedText(pictures, options.pictures.size()));
        return StoppedExitStatus(signal);
    }
    if (!result.message.isEmpty())
        feedback.showMessage(result.message);
    if (!result.done()) {
        if (replacing)
            RemoveTree(made);
        return 1;
    }
    if (replacing) {
        if (const Status swapped = SwapIntoPlace(made, options.output); !swapped) {
            RemoveTree(made);
            feedback.showMessage(swapped.reason());
            return 1;
        }
    }

    for (const ProductionResult::LeftOut &left : result.leftOut)
        feedback.showMessage(left.message);
    // What a script goes on with: the page, or the album folder where no page is made.
    const QString page = result.pagePath.isEmpty()
                             ? QString()
                             : JoinPath(options.output, QFileInfo(result.pagePath).fileName());
    const QString where = page.isEmpty() ? options.output : page;
    if (!options.quiet)
        feedback.showMessage(AlbumMadeText(where));
    if (options.open && !page.isEmpty())
        if (const Status opened = OpenPageAndWait(page); !opened)
            feedback.showMessage(PageNotOpenedText(page, opened.reason()));
    out << where << '\n';
    return result.leftOut.isEmpty() ? 0 : 1;
}
