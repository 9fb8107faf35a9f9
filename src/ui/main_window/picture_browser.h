#pragma once

#include "main_window/selection.h"
#include "shared/outcome.h"
#include "shared/thread_handoff.h"

#include <QDir>
#include <QFutureWatcher>
#include <QHash>
#include <QImage>
#include <QList>
#include <QObject>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QThreadPool>
#include <QUrl>
#include <functional>
#include <memory>
#include <optional>

class MessageBoxes;
class QAbstractButton;
class MousePointer;
class QComboBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class VolumeSource;

// One line of the folder list.
struct FolderEntry {
    QString name;        // as shown: the root path for the root, else the folder's own name
    QString path;        // absolute, clean
    int level = 0;       // indentation: 0 for the root
    bool onPath = false; // the root, the folders above the current one, and the current one
};

// What the folder list shows for `folder`: the path from the root down to it,
// then its sub-folders sorted by name.
QList<FolderEntry> FolderListEntries(const QString &folder);

// The names the file list shows: JPEG, GIF and BMP files.
inline const QStringList PictureFilePatterns{QStringLiteral("*.jpg"), QStringLiteral("*.jpeg"),
                                             QStringLiteral("*.gif"), QStringLiteral("*.bmp")};

// The files of `folder` that match PictureFilePatterns in any letter case, sorted by name.
QStringList PictureFiles(const QString &folder);

// Reads a picture for a preview box of `box` pixels, the right way up. A large picture is
// decoded at the box size, never whole. The failure says why it cannot be decoded.
Outcome<QImage> LoadPreviewImage(const QString &path, const QSize &box);

// The main window's controls that the browser works with.
struct BrowserControls {
    QComboBox &Drive1;
    QListWidget &Dir1;
    QListWidget &File1;
    QListWidget &List1;
    QListWidget &List2;
    QLabel &FotoAantal;
    QLabel &SelectAantal;
    QLabel &Image1;
    QAbstractButton &KnopRechts;
    QAbstractButton &ClearKnop;
    QAbstractButton &ClearAll;
};

// The drive, folder and file lists of the main window, the preview and the selection buttons.
// Handles their events.
class PictureBrowser : public QObject
{
    Q_OBJECT
  public:
    // `volumes` null: the mounted volumes of this machine.
    PictureBrowser(const BrowserControls &controls, MessageBoxes &messages, MousePointer &pointer,
                   VolumeSource *volumes = nullptr, const QString &startFolder = QDir::currentPath());
    ~PictureBrowser() override;

    QString folder() const { return folder_; }

    // Pictures named on the command line: added to the selection in the given order, and the
    // browser shows the folder of the first one added. One message names the paths not added.
    void openPictures(const QStringList &paths);

    // While `locked` answers true (a production runs), ">", a double-click in the file list,
    // Delete and Delete All do nothing.
    void setSelectionLock(std::function<bool()> locked) { selectionLocked_ = std::move(locked); }

    // At the program's end: a preview being decoded is dropped and no further one is started.
    // The decoding itself ends with the browser at the latest (no thread outlives it).
    void abandonPreview();
    // True while a preview is being decoded or waits to be: what a test waits for to end.
    bool previewUnderWay() const { return nextPreview_.has_value() || decoding_; }

  protected:
    // Enter in the file list adds the marked files, as ">" does. Files and folders dropped on the
    // selection are added as well.
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    void Drive1_Change(int index);
    void Dir1_Activated(QListWidgetItem *item);
    void Dir1_Change();
    // A click on a file, or the current file changed by the keyboard: the file is previewed.
    void File1_Click(QListWidgetItem *item);
    void KnopRechts_Click();
    void ClearKnop_Click();
    void ClearAll_Click();
    bool selectionLocked() const { return selectionLocked_ && selectionLocked_(); }
    // A drag over List1 or a drop on it; true when the event was List1's to take.
    bool List1_Drag(QEvent *event);
    // A dropped folder stands for the pictures the file list shows of it, in the same order.
    void List1_Drop(const QList<QUrl> &urls);
    // The one way paths join the selection: those that are pictures are added, the others named.
    QStringList addPictures(const QStringList &paths);

    // Makes `folder` the current folder; false (and nothing changes) when it cannot be listed.
    bool setFolder(const QString &folder);
    void showFolders();
    void showFiles();
    int driveIndexOf(const QString &folder) const;
    // Starts decoding the newest preview asked for, unless one is being decoded.
    void startPreview();
    void previewDecoded();

    MessageBoxes &messages_;
    MousePointer &pointer_;
    std::unique_ptr<VolumeSource> ownVolumes_;
    VolumeSource &volumes_;
    QComboBox &drive1_;
    QListWidget &dir1_;
    QListWidget &file1_;
    QListWidget &list1_;
    QLabel &fotoAantal_;
    QLabel &image1_;
    Selection selection_;
    QString folder_;                     // the folder list's path; the file list shows the same folder
    QHash<QString, QString> lastFolder_; // per drive root: the folder last shown on it
    std::function<bool()> selectionLocked_;

    // The preview is decoded on a thread of its own, one picture at a time; of the clicks made
    // meanwhile only the newest is decoded next, and a result that a newer click overtook is dropped.
    struct PreviewRequest {
        QString path;
        QSize box;
    };
    std::optional<PreviewRequest> nextPreview_;
    QString newestPreview_; // the path asked for last
    bool previewAbandoned_ = false;
    QThreadPool previewThread_;
    QFutureWatcher<void> previewDecoding_;
    WorkerResult<Outcome<QImage>> previewPicture_; // what previewDecoding_ watches
    // From the start of a decoding until its result is handled. The future itself is finished a
    // little earlier, while its "finished" is still on its way to this thread.
    bool decoding_ = false;
};
