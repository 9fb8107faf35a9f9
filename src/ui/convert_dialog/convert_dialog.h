#pragma once

#include "forms/form.h"
#include "shared/program_values.h"

#include <array>
#include <cstdint>
#include <functional>

class QButtonGroup;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// How the dialog speaks to the user outside its own window.
struct ConvertDialogReports {
    std::function<void(const QString &text)> showStatus;                        // the status line
    std::function<void(const QString &text, const QString &title)> showMessage; // a message box
};

// The conversion settings dialog "Convert": the user picks what Make produces (PageStyle,
// options 1..7) and the picture size, slide show pause, block size and JPEG quality.
// Settings are stored as they are chosen: option clicks and the pause and block boxes store
// at once, Ok stores every box, Cancel sets PageStyle to 99; each store is announced by
// stored(), and settings() holds them all. Make a fresh one for every showing.
class ConvertDialog : public FormDialog
{
    Q_OBJECT
  public:
    ConvertDialog(const ConvertSettings &shown, ConvertDialogReports reports, QWidget *parent = nullptr);

    // What the dialog has stored so far; the values it was built from where nothing changed.
    const ConvertSettings &settings() const { return settings_; }

    // Everything that rejects the dialog (its frame's close box too) acts like Cancel.
    void reject() override;

  signals:
    // After every store, with everything stored so far.
    void stored(const ConvertSettings &settings);

  private:
    void CreateControls();
    void Form_Load();
    void HideParameters();
    void Knop_Click(int index);
    void PauzeText_Change();
    void BlokText_Change();
    void OkKnop_Click();
    void CancelKnop_Click();
    void announce(const QString &status);

    ConvertSettings settings_;
    ConvertDialogReports reports_;

    QFrame *Frame1 = nullptr;
    QLabel *Label1 = nullptr;
    std::array<QRadioButton *, 9> Knop{}; // Knop[1..8]; the index is the page style
    QButtonGroup *KnopGroup = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label4 = nullptr;
    QLineEdit *BrText = nullptr;
    QLineEdit *PauzeText = nullptr;
    QLabel *Wlabel = nullptr;
    QLineEdit *HoText = nullptr;
    QLabel *Hlabel = nullptr;
    QLineEdit *BlokText = nullptr;
    QLabel *BlLabel = nullptr;
    QLineEdit *QualityText = nullptr; // the JPEG quality box, Text1
    QLabel *Label5 = nullptr;
    QLabel *Label3 = nullptr;
    QPushButton *CancelKnop = nullptr;
    QPushButton *OkKnop = nullptr;
};
