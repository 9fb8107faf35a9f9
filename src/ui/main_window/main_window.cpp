#include "main_window/main_window.h"

#include "app/help_text.h"
#include "app/settings_file.h"
#include "colour_dialog/colorform.h"
#include "convert_dialog/convert_dialog.h"
#include "forms/form.h"
#include "main_window/artwork.h"
#include "main_window/clickable_label.h"
#include "main_window/decoration_line.h"
#include "main_window/keyboard.h"
#include "main_window/picture_browser.h"
#include "main_window/selection.h"
#include "main_window/spread_caption.h"
#include "platform/qt_platform.h"
#include "shared/logging.h"
#include "shared/output_names.h"
#include "shared/pause.h"

#include <QAbstractItemView>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QEvent>
#include <QFontMetricsF>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QVector>
#include <utility>

namespace
{

const QColor HelpBackground(240, 240, 255);

// Where the hidden helpers go: right of the client area, never on screen.
constexpr int OutsideX = MainWindow::ClientWidth + 100;

// Labels sized to their text follow their text: whenever one of them asks for a new geometry
// (a new text while shown) or the frame is shown, each is resized to its size hint again.
class AutoSizeLabels : public QObject
{
  public:
    AutoSizeLabels(QObject *parent) : QObject(parent) {}
    void add(QLabel *label)
    {
        labels_ << label;
        SizeToText(*label);
        label->parentWidget()->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::LayoutRequest || event->type() == QEvent::Show) {
            for (QLabel *label : std::as_const(labels_))
                if (label->parent() == watched && label->size() != label->sizeHint())
                    SizeToText(*label);
        }
        return false;
    }

  private:
    QVector<QLabel *> labels_;
};

// The page background colour the user mixed.
QColor BackColour(const ProgramValues &values)
{
    return QColor(values.BackRed, values.BackGreen, values.BackBlue);
}

// A text box keeps one line break per CR LF only when it gets a bare LF.
QString ToDisplayLineBreaks(QString text)
{
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

template <class T> T *Make(QWidget *parent, const char *name, const QRect &geometry)
{
    auto *widget = Named<T>(parent, name);
    widget->setGeometry(geometry);
    return widget;
}

QLabel *BlackBox(QWidget *parent, const char *name, const QRect &geometry)
{
    auto *box = Make<QLabel>(parent, name, geometry);
    PaintBackground(*box, Qt::black);
    box->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    return box;
}

QPushButton *Button(QWidget *parent, const char *name, const QRect &geometry, const QString &caption,
                    const QString &toolTip = QString())
{
    auto *button = Make<QPushButton>(parent, name, geometry);
    button->setText(caption);
    button->setToolTip(toolTip);
    if (caption.isEmpty())
        button->setAccessibleName(toolTip.trimmed());
    return button;
}

QLineEdit *TextBox(QWidget *parent, const char *name, const QRect &geometry, const QString &text,
                   const QString &accessibleName)
{
    auto *box = Make<QLineEdit>(parent, name, geometry);
    box->setText(text);
    box->setAccessibleName(accessibleName);
    SetColour(*box, QPalette::Base, LightGreyBackground);
    SetColour(*box, QPalette::Text, DarkGreyText);
    return box;
}

template <class T = QLabel>
T *Caption(QWidget *parent, const char *name, QPoint position, const QString &text, AutoSizeLabels *sizer)
{
    auto *label = Make<T>(parent, name, QRect(position, QSize(1, 1)));
    label->setText(text);
    SetColour(*label, QPalette::WindowText, DarkGreyText);
    sizer->add(label);
    return label;
}

QListWidget *ListBox(QWidget *parent, const char *name, const QRect &geometry, const QString &accessibleName)
{
    auto *list = Make<QListWidget>(parent, name, geometry);
    list->setAccessibleName(accessibleName);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    return list;
}

} // namespace

MainWindow::MainWindow(MainWindowServices services, QWidget *parent)
    : QWidget(parent), services_(std::move(services))
{
    if (services_.albumHome.isEmpty())
        services_.albumHome = ApplicationFolder();
    if (services_.settingsFolder.isEmpty())
        services_.settingsFolder = services_.albumHome;
    if (!services_.messages) {
        ownMessages_ = std::make_unique<QtMessageBoxes>(this);
        services_.messages = ownMessages_.get();
    }
    if (!services_.pointer) {
        ownPointer_ = std::make_unique<QtMousePointer>();
        services_.pointer = ownPointer_.get();
    }
    if (!services_.opener) {
        ownOpener_ = std::make_unique<DesktopDocumentOpener>();
        services_.opener = ownOpener_.get();
    }
    services_.opener->failed = [this](const QString &path, const QString &reason) {
        pageNotOpened(PageNotOpenedText(path, reason));
    };
    if (!services_.clock) {
        ownClock_ = std::make_unique<SteadyClock>();
        services_.clock = ownClock_.get();
    }
    if (!services_.pause) {
        MonotonicClock *clock = services_.clock;
        services_.pause = [this, clock](float seconds) { Pause(seconds, *clock, {}, &endOfRun_); };
    }
    // exit() rather than quit(): it also ends a modal dialog's or a pause's event loop under way.
    if (!services_.quit)
        services_.quit = [] { QCoreApplication::exit(0); };

    buildLayout();
    SetUpKeyboard(ui_);
    startUp();

    connect(ui_.ExitKnop, &QPushButton::clicked, this, &MainWindow::ExitKnop_Click);
    connect(ui_.HelpKnop, &QPushButton::clicked, this, &MainWindow::HelpKnop_Click);

    const BrowserControls browsing{*ui_.Drive1,     *ui_.Dir1,       *ui_.File1,        *ui_.List1,
                                   *ui_.List2,      *ui_.FotoAantal, *ui_.SelectAantal, *ui_.Image1,
                                   *ui_.KnopRechts, *ui_.ClearKnop,  *ui_.ClearAll};
    browser_ = std::make_unique<PictureBrowser>(browsing, *services_.messages, *services_.pointer,
                                                services_.volumes);
    browser_->setParent(this); // findable among the window's children; browser_ deletes it first
    browser_->setSelectionLock([this] { return productionRunning_; });
    connect(ui_.KleurLabel, &ClickableLabel::clicked, this, &MainWindow::KleurLabel_Click);
    connect(ui_.MakeKnop, &QPushButton::clicked, this, &MainWindow::MakeKnop_Click);
}

MainWindow::~MainWindow() = default;

void MainWindow::buildLayout()
{
    setObjectName(QStringLiteral("Main"));
    setWindowTitle(QStringLiteral(" ") + ProgramName);
    setWindowIcon(QIcon(WindowIconPicture()));
    setFixedSize(ClientWidth, ClientHeight);
    setFont(ArialFont(8));
    auto *sizer = new AutoSizeLabels(this);

    // Frame1 lies under the browser and the selection lists, which sit on the window itself.
    ui_.Frame1 = Make<QFrame>(this, "Frame1", Twips(75, -30, 8580, 5040));
    ui_.Frame1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    QFrame *frame1 = ui_.Frame1;

    ui_.Drive1 = Make<QComboBox>(this, "Drive1", QRect());
    ui_.Drive1->setGeometry(Px(210), Px(225), Px(1980), ui_.Drive1->sizeHint().height());
    ui_.Drive1->setAccessibleName(QStringLiteral("Drive"));
    SetColour(*ui_.Drive1, QPalette::Base, LightGreyBackground);
    SetColour(*ui_.Drive1, QPalette::Button, LightGreyBackground);

    ui_.Dir1 = ListBox(this, "Dir1", Twips(210, 660, 1980, 2340), QStringLiteral("Folders"));
    SetColour(*ui_.Dir1, QPalette::Base, LightGreyBackground);

    ui_.File1 =
        ListBox(this, "File1", Twips(2370, 210, 2700, 2430), QStringLiteral("Pictures in the folder"));
    ui_.File1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ui_.File1->setProperty("pattern", PictureFilePatterns.join(QLatin1Char(';')));
    SetColour(*ui_.File1, QPalette::Base, LightGreyBackground);

    ui_.List1 = ListBox(this, "List1", Twips(5910, 225, 2565, 2400), QStringLiteral("Selected pictures"));
    SetColour(*ui_.List1, QPalette::Base, SelectionBackground);

    ui_.List2 =
        ListBox(this, "List2", QRect(OutsideX, 0, Px(2565), Px(2400)), QStringLiteral("Selected paths"));
    ui_.List2->hide();

    ui_.TumPic = Make<QLabel>(this, "TumPic", QRect(OutsideX, 200, Px(2400), Px(1800)));
    ui_.TumPic->hide();
    ui_.Picture1 = Make<QLabel>(this, "Picture1", QRect(OutsideX, 400, Px(2400), Px(1800)));
    ui_.Picture1->hide();

    // Created last of the window's own controls, so it covers File1 and List1 when shown.
    ui_.HelpLabel = Make<QPlainTextEdit>(this, "HelpLabel", Twips(2385, 225, 6090, 2790));
    ui_.HelpLabel->setPlainText(QStringLiteral("Help"));
    ui_.HelpLabel->setReadOnly(true);
    ui_.HelpLabel->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    ui_.HelpLabel->setFont(ArialFont(9));
    ui_.HelpLabel->setAccessibleName(QStringLiteral("Help"));
    SetColour(*ui_.HelpLabel, QPalette::Base, HelpBackground);
    ui_.HelpLabel->hide();

    // Frame1's controls.
    ui_.InfoBalk = Make<QLabel>(frame1, "InfoBalk", Twips(150, 4650, 6300, 285));
    ui_.InfoBalk->setText(
        QStringLiteral("Make a selection of the different pictures or photo's on your computer..."));
    ui_.InfoBalk->setFont(ArialFont(8));

    ui_.Label7 = BlackBox(frame1, "Label7", Twips(6450, 4605, 1980, 330));
    ui_.HelpKnop = Button(frame1, "HelpKnop", Twips(7140, 4635, 630, 270), QStringLiteral("Help"));
    ui_.ExitKnop = Button(frame1, "ExitKnop", Twips(7785, 4635, 615, 270), QStringLiteral("Exit"),
                          QStringLiteral(" Close Program "));

    ui_.FotoAantal = Caption(frame1, "FotoAantal", QPoint(Px(5070), Px(300)), QStringLiteral("0"), sizer);
    ui_.FotoAantal->setFont(ArialFont(8, true));
    ui_.FotoAantal->adjustSize();
    ui_.SelectAantal =
        Caption(frame1, "SelectAantal", QPoint(Px(5640), Px(2400)), QStringLiteral("0"), sizer);
    ui_.SelectAantal->setFont(ArialFont(8, true));
    ui_.SelectAantal->adjustSize();
    // List1 lies over Frame1 just right of it: a longer count grows to the left.
    ui_.SelectAantal->setAlignment(Qt::AlignRight | Qt::AlignTop);

    ui_.Label1 = BlackBox(frame1, "Label1", Twips(6720, 2730, 1680, 315));
    ui_.ClearKnop = Button(frame1, "ClearKnop", Twips(6750, 2760, 705, 255), QStringLiteral("Delete"),
                           QStringLiteral(" Delete picture "));
    ui_.ClearAll = Button(frame1, "ClearAll", Twips(7470, 2760, 900, 255), QStringLiteral("Delete All"),
                          QStringLiteral(" Delete all pictures "));

    ui_.Label2 = BlackBox(frame1, "Label2", Twips(5190, 1260, 465, 435));
    ui_.KnopRechts = Button(frame1, "KnopRechts", Twips(5220, 1290, 405, 375), QStringLiteral(">"),
                            QStringLiteral(" Export pictures to the list "));
    ui_.KnopRechts->setFont(ArialFont(12, true));

    // The arrow runs left from the Delete buttons' box, then up, and points at List1's bottom edge
    // (List1 ends 2 pixels above Frame1's y = 177 line).
    using Dir = DecorationLine::Direction;
    const QRect deleteBox = ui_.Label1->geometry();
    const int shaftX = deleteBox.left() - 32, midY = deleteBox.center().y(), tipY = 177;
    ui_.Line1 = new DecorationLine(Dir::Horizontal, frame1);
    ui_.Line1->setGeometry(shaftX - 1, midY - 1, deleteBox.left() - shaftX + 1, 2);
    ui_.Line2 = new DecorationLine(Dir::Vertical, frame1);
    ui_.Line2->setGeometry(shaftX - 1, tipY, 2, midY - tipY + 1);
    ui_.Line3 = new DecorationLine(Dir::DownLeft, frame1);
    ui_.Line3->setGeometry(shaftX - 6, tipY, 7, 7);
    ui_.Line4 = new DecorationLine(Dir::DownRight, frame1);
    ui_.Line4->setGeometry(shaftX - 1, tipY, 7, 7);
    const char *lineNames[] = {"Line1", "Line2", "Line3", "Line4"};
    DecorationLine *lines[] = {ui_.Line1, ui_.Line2, ui_.Line3, ui_.Line4};
    for (int i = 0; i < 4; ++i)
        lines[i]->setObjectName(QLatin1String(lineNames[i]));

    ui_.Image1 = Make<QLabel>(frame1, "Image1", Twips(135, 3240, 1980, 1260));
    ui_.Image1->setFrameStyle(QFrame::Box | QFrame::Plain);
    ui_.Image1->setScaledContents(true);
    ui_.Image1->setPixmap(PlaceholderPicture());
    ui_.Image1->setAccessibleName(QStringLiteral("Preview"));

    // Frame2's controls: the output names, the colour swatch and the Make button.
    ui_.Frame2 = Make<QFrame>(frame1, "Frame2", Twips(2310, 3150, 6120, 1365));
    ui_.Frame2->setFrameStyle(QFrame::Box | QFrame::Sunken);
    QFrame *frame2 = ui_.Frame2;
    ui_.MapText = TextBox(frame2, "MapText", Twips(90, 195, 2565, 285), QStringLiteral("Photomap"),
                          QStringLiteral("Folder"));
    ui_.FileText = TextBox(frame2, "FileText", Twips(90, 585, 2565, 285), QStringLiteral("Default"),
                           QStringLiteral("Html Filename"));
    ui_.Naam = TextBox(frame2, "Naam", Twips(90, 975, 2565, 285), QStringLiteral("Default"),
                       QStringLiteral("Html Title"));

    ui_.Label5 = Caption<SpreadCaption>(
        frame2, "Label5", QPoint(Px(2760), Px(255)),
        QStringLiteral("Folder") + QString(27, QLatin1Char(' ')) + QStringLiteral("Color"), sizer);
    ui_.Label4 = Caption(frame2, "Label4", QPoint(Px(2760), Px(645)), QStringLiteral("Html Filename"), sizer);
    ui_.Label6 = Caption<SpreadCaption>(
        frame2, "Label6", QPoint(Px(2760), Px(1020)),
        QStringLiteral("Html Title") + QString(43, QLatin1Char(' ')) + QStringLiteral("Convert"), sizer);
    ui_.Label4->setBuddy(ui_.FileText);

    ui_.KleurLabel = Make<ClickableLabel>(frame2, "KleurLabel", Twips(3900, 195, 435, 285));
    ui_.KleurLabel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    ui_.KleurLabel->setToolTip(QStringLiteral(" Click for change backgroundcolor Html page "));
    ui_.KleurLabel->setAccessibleName(ui_.KleurLabel->toolTip().trimmed());

    ui_.Label3 = BlackBox(frame2, "Label3", Twips(5265, 195, 765, 765));
    ui_.MakeKnop = Button(frame2, "MakeKnop", Twips(5295, 225, 705, 705), QString(),
                          QStringLiteral(" Make Html photopage "));
    ui_.MakeKnop->setIcon(QIcon(MakeButtonPicture()));
    ui_.MakeKnop->setIconSize(QSize(32, 32));

    // "Color" stands beside the swatch, "Convert" centred under the Make button.
    const QRect swatch = ui_.KleurLabel->geometry(), make = ui_.MakeKnop->geometry();
    SpreadCaption *label5 = ui_.Label5, *label6 = ui_.Label6;
    label5->setLastWordX(swatch.right() + 7 - label5->x());
    const qreal convertWidth = QFontMetricsF(label6->font()).horizontalAdvance(QStringLiteral("Convert"));
    label6->setLastWordX(make.left() + (make.width() - convertWidth) / 2 - label6->x());
    label5->adjustSize();
    label6->adjustSize();
    ui_.KleurLabel->raise();

    ui_.Frame1->lower();
    FitCaptions(*this);
}

void MainWindow::startUp()
{
    ui_.HelpLabel->setPlainText(ToDisplayLineBreaks(BuildHelpText()));

    values_.BackRed = Defaults::BackRed;
    values_.BackGreen = Defaults::BackGreen;
    values_.BackBlue = Defaults::BackBlue;
    PaintBackground(*ui_.KleurLabel, BackColour(values_));

    if (LoadSettingsAtStart(services_.settingsFolder, values_))
        setWindowTitle(QStringLiteral(" %1 / %2").arg(ProgramName).arg(values_.StartCount));
}

QList<SelectedPicture> MainWindow::selection() const
{
    QList<SelectedPicture> pictures;
    for (int i = 0; i < ui_.List1->count(); ++i) {
        const QListWidgetItem *item = ui_.List1->item(i);
        pictures.push_back({item->text(), item->data(SelectedPathRole).toString()});
    }
    return pictures;
}

void MainWindow::showStatus(const QString &text)
{
    ui_.InfoBalk->setText(text);
}

void MainWindow::pause(float seconds)
{
    if (!closing())
        services_.pause(seconds);
}

void MainWindow::showMessage(const QString &text, const QString &title)
{
    if (!closing())
        services_.messages->show(text, title);
}

void MainWindow::setBusyPointer()
{
    services_.pointer->busy();
}

void MainWindow::setArrowPointer()
{
    services_.pointer->arrow();
}

void MainWindow::openDocument(const QString &path)
{
    if (!closing())
        services_.opener->open(path);
}

void MainWindow::openPictures(const QStringList &paths)
{
    browser_->openPictures(paths);
}

void MainWindow::ExitKnop_Click()
{
    if (closing())
        return;
    // A folder that cannot be written keeps its old file; the program ends all the same.
    if (const Status saved = SaveSettings(services_.settingsFolder, values_); !saved)
        qCDebug(lcFiles) << "settings not saved at Exit:" << saved.reason();
    endRun();
    close();
    services_.quit();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
    if (closing())
        return;
    endRun();
    services_.quit();
}

void MainWindow::endRun()
{
    endOfRun_.cancel();
    browser_->abandonPreview();
    for (QDialog *dialog : findChildren<QDialog *>())
        if (dialog->isVisible())
            dialog->reject();
}

void MainWindow::HelpKnop_Click()
{
    ui_.HelpLabel->setHidden(!ui_.HelpLabel->isHidden());
}

void MainWindow::MakeKnop_Click()
{
    // Pause lets clicks through while a production runs; a second run would disturb
    // the first one's numbering, folders and lists.
    if (productionRunning_)
        return;
    // An installed program's album folder is made when the first production needs it.
    QDir().mkpath(services_.albumHome);
    RunMakeCommand(*this, *this);
}

QString MainWindow::folderText() const
{
    return ui_.MapText->text();
}

QString MainWindow::fileNameText() const
{
    return ui_.FileText->text();
}

void MainWindow::focusFolder()
{
    ui_.MapText->setFocus();
}

void MainWindow::focusFileName()
{
    ui_.FileText->setFocus();
}

void MainWindow::setSelectionBackground(const QColor &colour)
{
    SetColour(*ui_.List1, QPalette::Base, colour);
}

qsizetype MainWindow::selectionCount() const
{
    return ui_.List1->count();
}

std::optional<ConvertSettings> MainWindow::showConvertDialog()
{
    // A fresh dialog for every showing, modal to this window. What it stores is stored here at
    // once. Guarded: should this window go away during exec(), it takes the dialog with it.
    ConvertDialogReports reports{
        [this](const QString &text) { showStatus(text); },
        [this](const QString &text, const QString &title) { showMessage(text, title); }};
    QPointer<ConvertDialog> dialog = new ConvertDialog(values_, std::move(reports), this);
    connect(dialog, &ConvertDialog::stored, this,
            [this](const ConvertSettings &settings) { static_cast<ConvertSettings &>(values_) = settings; });
    const int result = dialog->exec();
    const ConvertSettings settings = dialog ? dialog->settings() : ConvertSettings(values_);
    delete dialog;
    if (result != QDialog::Accepted)
        return std::nullopt;
    // After Ok the production waits one second, so window events go on meanwhile.
    pause(1.0f);
    if (settings.PageStyle == PageStyles::Abandoned) // no option chosen since a cancelled run
        return std::nullopt;
    return settings;
}

ProductionRequest MainWindow::productionRequest(const ConvertSettings &settings) const
{
    ProductionRequest request;
    request.selection = selection();
    request.folder = folderText();
    request.fileName = fileNameText();
    request.title = ui_.Naam->text();
    request.settings = settings;
    request.pageColour = BackColour(values_);
    request.canvasBackground = QGuiApplication::palette().color(QPalette::Window);
    request.albumHome = services_.albumHome;
    return request;
}

void MainWindow::rememberAbandoned()
{
    values_.PageStyle = PageStyles::Abandoned;
}

void MainWindow::keepResult(const ProductionResult &result)
{
    if (!result.PictureDates.isEmpty())
        values_.PictureDates = result.PictureDates;
    if (!result.PageColour.isEmpty())
        values_.PageColour = result.PageColour;
}

void MainWindow::KleurLabel_Click()
{
    // While a production runs the page keeps the colour the run started with.
    if (productionRunning_)
        return;
    // A fresh dialog for every showing, starting from the shared colour. Each finished change
    // is stored at once; Ok repaints the swatch. The modality alone makes the window wait.
    auto *form = new Colorform(BackColour(values_), this);
    connect(form, &Colorform::colourChanged, this, [this](const QColor &colour) {
        values_.BackRed = std::uint8_t(colour.red());
        values_.BackGreen = std::uint8_t(colour.green());
        values_.BackBlue = std::uint8_t(colour.blue());
    });
    connect(form, &QDialog::accepted, this,
            [this] { PaintBackground(*ui_.KleurLabel, BackColour(values_)); });
    connect(form, &QDialog::finished, form, &QObject::deleteLater);
    form->open();
}

void MainWindow::setProductionRunning(bool running)
{
    productionRunning_ = running;
    // The Make command has said "Ready..." by now: a page it could not open is told after it.
    if (!running)
        for (const QString &text : std::exchange(notOpened_, {}))
            showMessage(text);
}

void MainWindow::pageNotOpened(const QString &text)
{
    if (productionRunning_)
        notOpened_ << text;
    else
        showMessage(text);
}
