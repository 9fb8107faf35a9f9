#pragma once

#include "shared/platform.h"

#include <QString>
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

class DesktopDocumentOpener final : public DocumentOpener
{
  public:
    void open(const QString &path) override;
};
