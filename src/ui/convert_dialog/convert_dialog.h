#pragma once

#include <QDialog>
#include <array>

class Host;
class QButtonGroup;
class QFrame;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The conversion settings dialog "Convert": the user picks what Make produces (PageStyle,
// options 1..7) and the picture size, slide show pause, block size and JPEG quality.
// Results go to host.values() as they are chosen, never through a return value; option
// clicks and the pause and block boxes store at once, Ok stores every box, Cancel sets
// PageStyle to 99. Make a fresh one for every showing.
class ConvertDialog : public QDialog
{
    Q_OBJECT
  public:
    explicit ConvertDialog(Host &host, QWidget *parent = nullptr);

    // Everything that rejects the dialog (its frame's close box too) acts like Cancel.
    void reject() override;

  protected:
    // Enter and Escape do nothing: the dialog is left by Ok, Cancel or its frame only.
    void keyPressEvent(QKeyEvent *event) override;

  private:
    void CreateControls();
    void Form_Load();
    void HideParameters();
    void Knop_Click(int index);
    void PauzeText_Change();
    void BlokText_Change();
    void OkKnop_Click();
    void CancelKnop_Click();

    Host &host_;

    QFrame *Frame1 = nullptr;
    QLabel *Label1 = nullptr;
    std::array<QRadioButton *, 8> Knop{}; // Knop[1..7]; the index is the page style
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
    QLineEdit *Text1 = nullptr;
    QLabel *Label5 = nullptr;
    QLabel *Label3 = nullptr;
    QPushButton *CancelKnop = nullptr;
    QPushButton *OkKnop = nullptr;
};

// The Make command's way to ask for the settings: creates a fresh ConvertDialog over
// `parent`, shows it modally and returns once it is closed and destroyed. After Ok it then
// pauses one second through host.pause(1.0f), so window events go on meanwhile; after
// Cancel or a frame close it returns at once (PageStyle is 99 then).
void ShowConvertDialog(Host &host, QWidget *parent);
