#include "convert_dialog/convert_dialog.h"

#include "app/number_reading.h"
#include "forms/form.h"
#include "forms/option_keys.h"
#include "shared/platform.h"
#include "shared/production_kinds.h"

#include <QButtonGroup>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace
{

// How each option looks and what it says in the dialog; its caption and the preset of its size
// boxes are the kind's own (shared/production_kinds.h).
struct Option {
    int width, height; // twips
    const char *status;
    const char *heading; // Label4
};

// Indexed by page style; index 0 is unused.
const Option Options[9] = {
    {},
    {1335, 255, "Photoalbum with buttons", ""},
    {1545, 225, "Slide Show", "Delay between the pictures"},
    {1365, 255, "Make of your pictures or photo's little thumbnails.", "Resolution of the thumbnails"},
    {1545, 225, "Transition with blockeffect.", "Resolution of the pictures"},
    {1545, 255, "Photoalbum with buttons for Prevouis and Next.", "Resolution of the pictures"},
    {1365, 195, "Photoalbum with buttons Prevouis, Next and Transition effect.",
     "Resolution of the pictures"},
    {1485, 255, "Resize your pictures without making html page.", "Resize only your pictures"},
    {1365, 255, "A web album for phones and today's browsers.", "Largest size of the pictures"},
};

const QString PauseText = QString::number(Defaults::PauseSeconds);
const QString BlockText = QString::number(Defaults::BlockSize);

QLabel *MakeLabel(QWidget *parent, const char *name, const char *caption)
{
    auto *label = Named<QLabel>(parent, name);
    label->setText(QString::fromLatin1(caption));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

QLineEdit *MakeBox(QWidget *parent, const char *name, const QString &text, const char *tip)
{
    auto *box = Named<QLineEdit>(parent, name);
    box->setText(text);
    box->setToolTip(QString::fromLatin1(tip));
    SetColour(*box, QPalette::Base, LightGreyBackground);
    return box;
}

// Stores the box's text when it reads; the presets and self-correcting boxes always do.
void StoreInt32(const QLineEdit *box, std::int32_t &target)
{
    if (const auto value = ReadInt32(box->text()))
        target = *value;
}

void StoreByte(const QLineEdit *box, std::uint8_t &target)
{
    if (const auto value = ReadByte(box->text()))
        target = *value;
}

} // namespace

ConvertDialog::ConvertDialog(const ConvertSettings &shown, ConvertDialogReports reports, QWidget *parent)
    : FormDialog(parent), settings_(shown), reports_(std::move(reports))
{
    setObjectName(QStringLiteral("Convert"));
    setWindowTitle(QStringLiteral(" Convert your pictures to....."));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    // Every control has a fixed pixel size made for a narrow dialog font; the wider default
    // font of many desktops would clip the captions.
    setFont(DialogFont());
    CreateControls();
    Form_Load();
    FitCaptions(*this);

    // Wired after loading, so only real selections and text changes reach the handlers.
    connect(KnopGroup, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked)
            Knop_Click(id);
    });
    connect(PauzeText, &QLineEdit::textChanged, this, &ConvertDialog::PauzeText_Change);
    connect(BlokText, &QLineEdit::textChanged, this, &ConvertDialog::BlokText_Change);
    connect(OkKnop, &QPushButton::clicked, this, &ConvertDialog::OkKnop_Click);
    connect(CancelKnop, &QPushButton::clicked, this, &ConvertDialog::CancelKnop_Click);

    // The options are one Tab stop that the arrow keys choose in; the focus starts there.
    auto *optionKeys = new OptionKeys(QList<QAbstractButton *>(Knop.begin() + 1, Knop.end()), this);
    optionKeys->tabStop()->setFocus();
}

// The controls as designed: kind, caption, tip, colours and visibility. Created in this
// order so the two bordered labels lie beneath the controls they frame.
void ConvertDialog::CreateControls()
{
    Frame1 = Named<QFrame>(this, "Frame1");
    Frame1->setFrameStyle(QFrame::Box | QFrame::Sunken);

    Label1 = MakeLabel(Frame1, "Label1", "");
    Label1->setFrameStyle(QFrame::Box | QFrame::Plain);

    KnopGroup = new QButtonGroup(this);
    for (const ProductionKind &kind : ProductionKinds()) {
        const int index = kind.pageStyle;
        QRadioButton *button = Named<QRadioButton>(Frame1, ("Knop" + QByteArray::number(index)).constData());
        button->setText(QString::fromLatin1(kind.caption));
        button->resize(Px(Options[index].width), Px(Options[index].height));
        KnopGroup->addButton(button, index);
        Knop[index] = button;
    }

    Label2 = MakeLabel(Frame1, "Label2", "Click on one of these optionbuttons and then Ok.");
    Place(Label2, 150, 1860, 3480, 195);
    SetColour(*Label2, QPalette::WindowText, DarkGreyText);

    Label4 = MakeLabel(Frame1, "Label4", "");
    Label4->setWordWrap(true); // the headings take two lines
    SetColour(*Label4, QPalette::WindowText, DarkGreyText);

    BrText = MakeBox(Frame1, "BrText", QStringLiteral("0"), " Picture Width ");
    PauzeText = MakeBox(Frame1, "PauzeText", PauseText, " 1..9 ");
    Wlabel = MakeLabel(Frame1, "Wlabel", "Width");
    HoText = MakeBox(Frame1, "HoText", QStringLiteral("0"), " Picture Height ");
    Hlabel = MakeLabel(Frame1, "Hlabel", "Height");
    BlokText = MakeBox(Frame1, "BlokText", BlockText, " 2..99  ");
    BlLabel = MakeLabel(Frame1, "BlLabel", "Block");
    HideParameters();

    QualityText = MakeBox(Frame1, "Text1", QString(), " 75..100 ");
    SetColour(*QualityText, QPalette::Text, DarkGreyText);
    Label5 = MakeLabel(Frame1, "Label5", "Jpg Compress Quality in %");
    SetColour(*Label5, QPalette::WindowText, DarkGreyText);

    Label3 = MakeLabel(Frame1, "Label3", "");
    Label3->setFrameStyle(QFrame::Box | QFrame::Plain);
    Label3->setAutoFillBackground(true);
    SetColour(*Label3, QPalette::Window, Qt::black);
    Place(Label3, 3600, 2220, 1275, 375);

    CancelKnop = Named<QPushButton>(Frame1, "CancelKnop");
    CancelKnop->setText(QStringLiteral("Cancel"));
    Place(CancelKnop, 3630, 2250, 735, 315);
    OkKnop = Named<QPushButton>(Frame1, "OkKnop");
    OkKnop->setText(QStringLiteral("Ok"));
    Place(OkKnop, 4380, 2250, 465, 315);
    setOkAndCancel(OkKnop, CancelKnop);
}

void ConvertDialog::Form_Load()
{
    // The outer 5220 x 3105 twips less a 4-pixel border on each side and a 21-pixel caption.
    setFixedSize(Px(5220) - 2 * 4, Px(3105) - 2 * 4 - 21);
    Place(Frame1, 60, -30, 5025, 2715); // its top edge lies above the client area
    Place(Label1, 120, 210, 3465, 1605);

    // Five options down the first column, the rest in a second column.
    int left = 300;
    int top = 360;
    for (const ProductionKind &kind : ProductionKinds()) {
        const int index = kind.pageStyle;
        Knop[std::size_t(index)]->move(Px(left), Px(top));
        top += 270;
        if (index == 5) {
            left += 1680;
            top = 360;
        }
    }

    Place(BrText, 3720, 750, 585, 285);
    Place(HoText, 3720, 1080, 585, 285);
    Place(Wlabel, 4380, 810, 420, 195);
    Place(Hlabel, 4380, 1140, 465, 195);
    Place(Label4, 3720, 240, 1125, 465);
    Label4->clear();
    Place(BlokText, 3720, 1410, 585, 285);
    Place(BlLabel, 4380, 1470, 405, 195);
    Place(PauzeText, 3720, 750, 585, 285); // shares its place with BrText
    Place(QualityText, 150, 2220, 450, 315);

    QualityText->setText(QString::number(settings_.JpegQuality));

    Place(Label5, 720, 2280, 1845, 195);
}

void ConvertDialog::HideParameters()
{
    for (QWidget *parameter :
         std::initializer_list<QWidget *>{BrText, HoText, PauzeText, Wlabel, Hlabel, BlokText, BlLabel})
        parameter->hide();
}

void ConvertDialog::Knop_Click(int index)
{
    ConvertSettings &values = settings_;
    values.PageStyle = std::uint8_t(index);
    HideParameters();
    Label4->clear();

    const Option &option = Options[index];
    const ProductionKind &kind = *KindOfPageStyle(std::uint8_t(index));
    announce(QString::fromLatin1(option.status));

    if (kind.takesDelay) {
        Label4->setText(QString::fromLatin1(option.heading));
        PauzeText->show();
        PauzeText->setText(PauseText); // may run the pause check, which stores the same
        Wlabel->show();
        Wlabel->setText(QStringLiteral("Sec."));
        StoreByte(PauzeText, values.PauseSeconds);
        FitCaptions(*this);
        emit stored(settings_);
        return;
    }
    if (!kind.takesSize()) {
        FitCaptions(*this);
        emit stored(settings_);
        return;
    }

    // Each click presets the sizes again; the block size typed earlier stays.
    BrText->show();
    BrText->setText(QString::number(kind.presetWidth));
    HoText->show();
    HoText->setText(QString::number(kind.presetHeight));
    Wlabel->show();
    Wlabel->setText(QStringLiteral("Width"));
    Hlabel->show();
    StoreInt32(BrText, values.PictureWidth);
    StoreInt32(HoText, values.PictureHeight);
    Label4->setText(QString::fromLatin1(option.heading));
    if (kind.takesBlock) {
        BlokText->show();
        BlLabel->show();
        StoreByte(BlokText, values.BlockSize);
    }
    FitCaptions(*this);
    emit stored(settings_);
}

// Resetting the text raises this handler once more, nested; that run stores the 0.
void ConvertDialog::PauzeText_Change()
{
    const std::optional<double> number = ReadNumber(PauzeText->text());
    if (!number) {
        PauzeText->setText(QStringLiteral("0"));
        return;
    }
    if (*number > 9)
        PauzeText->setText(QStringLiteral("0"));
    if (const auto seconds = ReadByte(PauzeText->text())) {
        settings_.PauseSeconds = *seconds;
        emit stored(settings_);
    } else
        PauzeText->setText(QStringLiteral("0"));
}

// Resetting the text raises this handler once more, nested; that run stores the 15.
void ConvertDialog::BlokText_Change()
{
    const std::optional<double> number = ReadNumber(BlokText->text());
    if (!number) {
        BlokText->setText(BlockText);
        return;
    }
    if (*number > 99)
        BlokText->setText(BlockText);
    const std::optional<double> again = ReadNumber(BlokText->text());
    if (!again || *again < 2)
        BlokText->setText(BlockText);
    StoreByte(BlokText, settings_.BlockSize);
    emit stored(settings_);
}

void ConvertDialog::OkKnop_Click()
{
    const auto pause = ReadByte(PauzeText->text());
    auto width = ReadInt32(BrText->text());
    auto height = ReadInt32(HoText->text());
    const auto block = ReadByte(BlokText->text());
    const auto quality = ReadByte(QualityText->text());

    // A size box the chosen style hides is not used by it: what cannot be read there is 0.
    if (!width && BrText->isHidden())
        width = 0;
    if (!height && HoText->isHidden())
        height = 0;

    // A shown box that cannot be read keeps the dialog open with its text selected and says
    // what the box takes; nothing of this Ok is stored, so no half-taken settings reach the
    // production. The pause and block boxes correct themselves, so they always read.
    struct Check {
        bool readable;
        QLineEdit *box;
        const char *message;
    };
    const Check checks[] = {
        {pause.has_value(), PauzeText, "The delay must be a whole number of seconds from 0 to 9."},
        {width.has_value(), BrText, "Width must be a whole number."},
        {height.has_value(), HoText, "Height must be a whole number."},
        {block.has_value(), BlokText, "Block must be a whole number from 2 to 99."},
        {quality.has_value(), QualityText, "Jpg Compress Quality must be a whole number from 0 to 255."}};
    for (const Check &check : checks) {
        if (!check.readable) {
            check.box->setFocus(Qt::OtherFocusReason);
            check.box->selectAll();
            if (reports_.showMessage)
                reports_.showMessage(QString::fromLatin1(check.message), ProgramName);
            return;
        }
    }

    settings_.PauseSeconds = *pause;
    settings_.PictureWidth = *width;
    settings_.PictureHeight = *height;
    settings_.BlockSize = *block;
    settings_.JpegQuality = *quality;
    emit stored(settings_);
    announce(QStringLiteral("Ready..."));
    accept();
}

void ConvertDialog::CancelKnop_Click()
{
    settings_.PageStyle = PageStyles::Abandoned;
    emit stored(settings_);
    announce(QStringLiteral("Ready..."));
    QDialog::reject();
}

void ConvertDialog::reject()
{
    CancelKnop_Click();
}

void ConvertDialog::announce(const QString &status)
{
    if (reports_.showStatus)
        reports_.showStatus(status);
}
