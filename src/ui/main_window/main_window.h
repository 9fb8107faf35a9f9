#pragma once

#include "app/make_command.h"
#include "shared/host.h"
#include "shared/pause.h"
#include "shared/program_values.h"

#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <memory>

class ClickableLabel;
class DecorationLine;
class MessageBoxes;
class MonotonicClock;
class DocumentOpener;
class MousePointer;
class PictureBrowser;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class SpreadCaption;
class VolumeSource;

// What the main window uses of the platform. Anything left empty or null is the real thing;
// tests pass a temporary program folder, recording message boxes and a pause that does not wait.
struct MainWindowServices {
    QString albumHome;                // empty: the folder of the executable; the albums are made in it
    QString settingsFolder;           // empty: the album home; holds Galvora.ini
    MessageBoxes *messages = nullptr; // null: Qt message boxes
    MousePointer *pointer = nullptr;  // null: the application's override cursor
    DocumentOpener *opener = nullptr; // null: the desktop's default application
    MonotonicClock *clock = nullptr;  // null: a steady clock
    VolumeSource *volumes = nullptr;  // null: the mounted volumes (the picture browser's choice)
    std::function<void(float)> pause; // empty: Pause on `clock`, processing events
    std::function<void()> quit;       // empty: QCoreApplication::quit
};

// Every control of the main window; each one's objectName is its name here.
struct MainControls {
    QComboBox *Drive1 = nullptr;
    QListWidget *Dir1 = nullptr;
    QListWidget *File1 = nullptr;
    QListWidget *List1 = nullptr;
    QListWidget *List2 = nullptr;
    QPlainTextEdit *HelpLabel = nullptr;
    QLabel *TumPic = nullptr;
    QLabel *Picture1 = nullptr;
    QFrame *Frame1 = nullptr;
    QLabel *InfoBalk = nullptr;
    QLabel *Label7 = nullptr;
    QPushButton *HelpKnop = nullptr;
    QPushButton *ExitKnop = nullptr;
    QLabel *FotoAantal = nullptr;
    QLabel *SelectAantal = nullptr;
    QLabel *Label1 = nullptr;
    QPushButton *ClearKnop = nullptr;
    QPushButton *ClearAll = nullptr;
    QPushButton *KnopRechts = nullptr;
    QLabel *Label2 = nullptr;
    DecorationLine *Line1 = nullptr;
    DecorationLine *Line2 = nullptr;
    DecorationLine *Line3 = nullptr;
    DecorationLine *Line4 = nullptr;
    QLabel *Image1 = nullptr;
    QFrame *Frame2 = nullptr;
    QLineEdit *MapText = nullptr;
    QLineEdit *FileText = nullptr;
    QLineEdit *Naam = nullptr;
    SpreadCaption *Label5 = nullptr;
    QLabel *Label4 = nullptr;
    SpreadCaption *Label6 = nullptr;
    ClickableLabel *KleurLabel = nullptr;
    QLabel *Label3 = nullptr;
    QPushButton *MakeKnop = nullptr;
};

// The one main window, Main. It holds the program-wide values, builds the request of every
// production from its controls and is the production's feedback.
class MainWindow : public QWidget, public Host, public MakeWindow
{
    Q_OBJECT
  public:
    // The client area is 578 x 334 pixels.
    static constexpr int ClientWidth = 578;
    static constexpr int ClientHeight = 334;

    explicit MainWindow(MainWindowServices services = {}, QWidget *parent = nullptr);
    ~MainWindow() override;

    const MainControls &controls() const { return ui_; }
    const MainWindowServices &services() const { return services_; }

    // The program-wide values.
    ProgramValues &values() { return values_; }
    // The selection as List1 holds it: the names as listed, each with its full path.
    QList<SelectedPicture> selection() const;

    // Host
    void showStatus(const QString &text) override;
    void pause(float seconds) override;
    void showMessage(const QString &text, const QString &title = QString()) override;
    void setBusyPointer() override;
    void setArrowPointer() override;
    void openDocument(const QString &path) override;
    bool closing() const override { return endOfRun_.cancelled(); }
    PauseCancel *endOfRun() override { return &endOfRun_; }

    // Starts with pictures named on the command line (a relative path is taken from the current
    // folder): they join the selection in the given order and the browser shows the first one's
    // folder. One message names the paths that are not pictures Galvora reads.
    void openPictures(const QStringList &paths);

    // Saves the settings, closes the window and ends the program, also in the middle of a production.
    void ExitKnop_Click();
    // Shows the help panel when it is hidden, hides it when it is shown.
    void HelpKnop_Click();
    // Checks the input, asks for the production and runs it. Does nothing while one runs.
    void MakeKnop_Click();
    // True from the Convert dialog of a Make until its production has ended.
    bool productionRunning() const { return productionRunning_; }

    // MakeWindow
    QString folderText() const override;
    QString fileNameText() const override;
    qsizetype selectionCount() const override;
    void focusFolder() override;
    void focusFileName() override;
    void setSelectionBackground(const QColor &colour) override;
    std::optional<ConvertSettings> showConvertDialog() override;
    ProductionRequest productionRequest(const ConvertSettings &settings) const override;
    void rememberAbandoned() override;
    void keepResult(const ProductionResult &result) override;
    void setProductionRunning(bool running) override;

  protected:
    // Closing the window by its frame ends the program as Exit does, without saving the settings.
    void closeEvent(QCloseEvent *event) override;

  private:
    void buildLayout();
    void KleurLabel_Click();
    void startUp();
    // Stops whatever runs: pauses end, open dialogs close, the preview is dropped.
    void endRun();
    // A page that could not be handed to a browser: told now, or once the production has ended.
    void pageNotOpened(const QString &text);

    MainWindowServices services_;
    std::unique_ptr<MessageBoxes> ownMessages_;
    std::unique_ptr<MousePointer> ownPointer_;
    std::unique_ptr<DocumentOpener> ownOpener_;
    std::unique_ptr<MonotonicClock> ownClock_;
    ProgramValues values_;
    MainControls ui_;
    std::unique_ptr<PictureBrowser> browser_;
    bool productionRunning_ = false;
    QStringList notOpened_; // messages waiting for the production's end
    PauseCancel endOfRun_;
};
