#include "platform/qt_platform.h"

#include <QDesktopServices>
#include <QGuiApplication>
#include <QMessageBox>
#include <QUrl>

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
