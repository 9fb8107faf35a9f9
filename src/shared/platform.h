#pragma once

#include <QString>
#include <QtGlobal>
#include <memory>

class QMessageBox;
class QWidget;

// Small platform pieces behind interfaces, so tests can stand in for them.

class MessageBoxes
{
  public:
    virtual ~MessageBoxes() = default;
    // One OK button, no icon; an empty title shows the program's name.
    virtual void show(const QString &text, const QString &title) = 0;
};

class MousePointer
{
  public:
    virtual ~MousePointer() = default;
    virtual void busy() = 0;
    virtual void arrow() = 0;
};

class DocumentOpener
{
  public:
    virtual ~DocumentOpener() = default;
    virtual void open(const QString &path) = 0;
};

// Milliseconds from a monotonic clock.
class MonotonicClock
{
  public:
    virtual ~MonotonicClock() = default;
    virtual qint64 nowMs() const = 0;
};

// The real ones.

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
    int depth_ = 0;
};

class DesktopDocumentOpener final : public DocumentOpener
{
  public:
    void open(const QString &path) override;
};

class SteadyClock final : public MonotonicClock
{
  public:
    qint64 nowMs() const override;
};

// The folder that holds the executable.
QString ApplicationFolder();

inline const QString ProgramName = QStringLiteral("Galvora");
