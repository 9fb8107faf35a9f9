#include "shared/platform.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QMessageBox>
#include <QUrl>

void QtMessageBoxes::show(const QString &text, const QString &title)
{
    QMessageBox box(QMessageBox::NoIcon, title.isEmpty() ? ProgramName : title, text,
                    QMessageBox::Ok, parent_);
    box.exec();
}

void QtMousePointer::busy()
{
    // Only one override at a time, so a single arrow() always restores the normal pointer.
    if (depth_ == 0)
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    depth_ = 1;
}

void QtMousePointer::arrow()
{
    if (depth_ > 0)
        QGuiApplication::restoreOverrideCursor();
    depth_ = 0;
}

void DesktopDocumentOpener::open(const QString &path)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

qint64 SteadyClock::nowMs() const
{
    static QElapsedTimer timer = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return timer.elapsed();
}

QString ApplicationFolder()
{
    return QCoreApplication::applicationDirPath();
}
