#include "platform/qt_platform.h"

#include <QGuiApplication>
#include <QMessageBox>

std::unique_ptr<QMessageBox> MakeMessageBox(const QString &text, const QString &title, QWidget *parent)
{
    return std::make_unique<QMessageBox>(QMessageBox::NoIcon, title.isEmpty() ? ProgramName : title, text,
                                         QMessageBox::Ok, parent);
}

void QtMessageBoxes::show(const QString &text, const QString &title)
{
    MakeMessageBox(text, title, parent_)->exec();
}

void QtMousePointer::busy()
{
    // Only one override at a time, so a single arrow() always restores the normal pointer.
    if (!overridden_)
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    overridden_ = true;
}

void QtMousePointer::arrow()
{
    if (overridden_)
        QGuiApplication::restoreOverrideCursor();
    overridden_ = false;
}

DesktopDocumentOpener::DesktopDocumentOpener(QString program) : program_(std::move(program))
{
    watch_.setInterval(100);
    connect(&watch_, &QTimer::timeout, this, &DesktopDocumentOpener::look);
}

void DesktopDocumentOpener::open(const QString &path)
{
    Outcome<StartedOpener> started = StartOpener(program_, path);
    if (!started) {
        if (failed)
            failed(path, started.reason());
        return;
    }
    watched_.push_back({std::move(started).value(), path, {}});
    watched_.last().since.start();
    watch_.start();
}

// An opener that outlives its patience is taken to have handed the page over; it is still
// collected when it ends, but no longer reported.
void DesktopDocumentOpener::look()
{
    for (qsizetype i = 0; i < watched_.size();) {
        const std::optional<Status> ended = OpenerEnded(watched_[i].opener);
        if (!ended) {
            ++i;
            continue;
        }
        const Watched done = watched_.takeAt(i);
        if (!ended->ok() && done.since.elapsed() < OpenerPatienceMs && failed)
            failed(done.path, ended->reason());
    }
    if (watched_.isEmpty())
        watch_.stop();
}
