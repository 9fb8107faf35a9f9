#pragma once

#include "app/page_opener.h"
#include "shared/platform.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>
#include <memory>

class QMessageBox;
class QWidget;

// The real message boxes, pointer and opener.

// The box QtMessageBoxes shows: no icon, one OK button, the title or the program's name.
std::unique_ptr<QMessageBox> MakeMessageBox(const QString &text, const QString &title, QWidget *parent);

class QtMessageBoxes final : public MessageBoxes
{
  public:
    explicit QtMessageBoxes(QWidget *parent = nullptr) : parent_(parent) {}
    void show(const QString &text, const QString &title) override;

  private:
    QWidget *parent_;
};

class QtMousePointer final : public MousePointer
{
  public:
    void busy() override;
    void arrow() override;

  private:
    bool overridden_ = false;
};

// Hands the page to the desktop's opener and watches it for a while without holding the window up:
// one that cannot be started, or ends with a failure, is reported through `failed`.
class DesktopDocumentOpener final : public QObject, public DocumentOpener
{
  public:
    explicit DesktopDocumentOpener(QString program = DefaultOpenerProgram());
    void open(const QString &path) override;

  private:
    void look();

    struct Watched {
        StartedOpener opener;
        QString path;
        QElapsedTimer since;
    };
    const QString program_;
    QList<Watched> watched_;
    QTimer watch_;
};
