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

void DesktopDocumentOpener::open(const QString &path)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}
