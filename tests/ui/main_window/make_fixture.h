#pragma once

#include "picture_browser_fixture.h"
#include "shared/paths.h"
#include "support/find_child.h"
#include "support/golden.h"
#include "support/test_pictures.h"

#include <QApplication>
#include <QDateTime>
#include <QDialog>
#include <QImageReader>
#include <QLineEdit>
#include <QRadioButton>
#include <QTimer>
#include <deque>
#include <functional>
#include <utility>
#include <vector>

using Golden::ExpectedPage;

// The real main window, recording every status text on its way to the status line.
class StatusRecordingWindow : public MainWindow
{
  public:
    using MainWindow::MainWindow;
    QStringList statuses;
    void showStatus(const QString &text) override
    {
        statuses << text;
        MainWindow::showStatus(text);
    }
};

// Answers the Convert dialogs as they appear. The dialog is modal and made anew for every
// Make, so a timer looks for it inside the dialog's own event loop. A dialog nobody planned
// for is counted and cancelled, so a faulty run cannot hang the test.
class ConvertDialogDriver : public QObject
{
  public:
    using Answer = std::function<void(QDialog &)>;

    int shown = 0;
    int unplanned = 0;

    ConvertDialogDriver()
    {
        timer_.setInterval(0);
        QObject::connect(&timer_, &QTimer::timeout, this, [this] { look(); });
        timer_.start();
    }

    void plan(Answer answer) { answers_.push_back(std::move(answer)); }
    bool allAnswered() const { return answers_.empty(); }

    // Option `index` (Knop1 .. Knop7), then the boxes typed over, then Ok.
    static Answer Choose(int index, std::vector<std::pair<const char *, QString>> boxes = {})
    {
        return [index, boxes](QDialog &dialog) {
            Find<QRadioButton>(dialog, "Knop" + std::to_string(index)).click();
            for (const auto &[name, text] : boxes) {
                auto &box = Find<QLineEdit>(dialog, name);
                box.selectAll();
                QTest::keyClicks(&box, text);
            }
            Find<QPushButton>(dialog, "OkKnop").click();
        };
    }
    static Answer OkWithoutOption()
    {
        return [](QDialog &dialog) { Find<QPushButton>(dialog, "OkKnop").click(); };
    }
    static Answer Cancel()
    {
        return [](QDialog &dialog) { Find<QPushButton>(dialog, "CancelKnop").click(); };
    }

  private:
    template <typename T> static T &Find(QDialog &dialog, const std::string &name)
    {
        return FindChild<T>(dialog, QString::fromStdString(name));
    }

    void look()
    {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dialog || dialog->objectName() != QStringLiteral("Convert") || !dialog->isVisible() ||
            dialog->property("answered").toBool())
            return;
        dialog->setProperty("answered", true);
        ++shown;
        if (answers_.empty()) {
            ++unplanned;
            dialog->reject();
            return;
        }
        const Answer answer = answers_.front();
        answers_.pop_front();
        try {
            answer(*dialog);
        } catch (const std::exception &e) {
            ADD_FAILURE() << e.what();
        }
        if (dialog->isVisible()) {
            ADD_FAILURE() << "the Convert dialog stayed open after its answer";
            dialog->reject();
        }
    }

    QTimer timer_;
    std::deque<Answer> answers_;
};

// The whole program over a made-up drive: pictures chosen in the browser, names typed,
// Make pressed and the dialog answered. The pause only records, then runs `onPause`,
// which lets a test act while a production is under way.
class MakeTest : public BrowserTest
{
  protected:
    ConvertDialogDriver dialogs;
    std::function<void(float)> onPause;
    DocumentOpener *openerInUse = nullptr; // null: the recording opener
    MessageBoxes *messagesInUse = nullptr; // null: the recording message boxes

    void SetUp() override
    {
        BrowserTest::SetUp();
        ASSERT_TRUE(drive.isValid());
        volumes.roots = {drive.path()};
    }

    void openWindow()
    {
        MainWindowServices s = services();
        s.volumes = &volumes;
        if (openerInUse)
            s.opener = openerInUse;
        if (messagesInUse)
            s.messages = messagesInUse;
        s.pause = [this](float seconds) {
            pauses << seconds;
            if (onPause)
                onPause(seconds);
        };
        window = std::make_unique<StatusRecordingWindow>(s);
        window->show();
        chooseDrive(drive.path());
    }

    StatusRecordingWindow &main() { return static_cast<StatusRecordingWindow &>(*window); }
    QStringList &statuses() { return main().statuses; }
    QString statusLine() { return control<QLabel>("InfoBalk").text(); }

    // A file below the drive, with its folders.
    QString onDrive(const QString &relative) const { return drive.filePath(relative); }

    // A picture of the four coloured quadrants, in the format its extension names,
    // dated `stamp` so each picture's date can be told apart on a page.
    void writePicture(const QString &relative, const QDateTime &stamp = QDateTime())
    {
        const QString path = onDrive(relative);
        ASSERT_TRUE(TestPictures::WritePictureFile(path, TestPictures::Quadrants(64, 48), stamp))
            << path.toStdString();
    }

    // Enters a folder of the drive through the folder list, as a user does.
    void enterFolder(const QString &name)
    {
        const QList<QListWidgetItem *> found = dir1().findItems(name, Qt::MatchExactly);
        ASSERT_FALSE(found.isEmpty()) << name.toStdString();
        dir1().setCurrentItem(found.first());
        QTest::keyClick(&dir1(), Qt::Key_Return);
    }

    // Marks the named files in File1 and presses ">".
    void exportFiles(const QStringList &names)
    {
        file1().clearSelection();
        for (const QString &name : names) {
            const QList<QListWidgetItem *> found = file1().findItems(name, Qt::MatchExactly);
            ASSERT_EQ(found.size(), 1) << name.toStdString();
            found.first()->setSelected(true);
        }
        press("KnopRechts");
    }

    // Clears the box and types `text` into it.
    void type(const char *box, const QString &text)
    {
        auto &edit = control<QLineEdit>(box);
        edit.clear();
        QTest::keyClicks(&edit, text);
        ASSERT_EQ(edit.text(), text) << box;
    }

    void typeNames(const QString &folderName, const QString &fileName, const QString &title)
    {
        type("MapText", folderName);
        type("FileText", fileName);
        type("Naam", title);
    }

    // Presses Make with the dialog answered by `answer` (none: no dialog is expected).
    void make(ConvertDialogDriver::Answer answer = {})
    {
        const int before = dialogs.shown;
        const bool planned = bool(answer);
        if (planned)
            dialogs.plan(std::move(answer));
        press("MakeKnop");
        EXPECT_TRUE(dialogs.allAnswered()) << "the Convert dialog was not shown";
        EXPECT_EQ(dialogs.shown - before, planned ? 1 : 0);
    }

    // Forgets what earlier presses recorded.
    void forget()
    {
        statuses().clear();
        messages.texts.clear();
        messages.titles.clear();
        pointer.calls.clear();
        opener.opened.clear();
        pauses.clear();
    }

    QString inProgram(const QString &relative) const { return JoinPath(folder.path(), relative); }

    // The folders a production made in the program folder.
    QStringList outputFolders() const
    {
        return QDir(folder.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    }
    QStringList filesIn(const QString &relative) const
    {
        return QDir(inProgram(relative)).entryList(QDir::Files, QDir::Name);
    }
    static QSize PictureSize(const QString &path) { return QImageReader(path).size(); }
};
