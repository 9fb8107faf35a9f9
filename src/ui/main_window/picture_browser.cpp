#include "main_window/picture_browser.h"

#include "app/volume_source.h"
#include "picture_conversion/picture_loader.h"
#include "shared/logging.h"
#include "shared/paths.h"
#include "shared/platform.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDropEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTimer>
#include <utility>

namespace
{

constexpr int PathRole = Qt::UserRole;
constexpr int LevelRole = Qt::UserRole + 1;
constexpr int IndentPixels = 10;

// Indents each folder by its level, the way a folder tree reads.
class FolderIndentDelegate final : public QStyledItemDelegate
{
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem indented(option);
        indented.rect.adjust(indent(index), 0, 0, 0);
        QStyledItemDelegate::paint(painter, indented, index);
    }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        return QStyledItemDelegate::sizeHint(option, index) + QSize(indent(index), 0);
    }

  private:
    static int indent(const QModelIndex &index) { return index.data(LevelRole).toInt() * IndentPixels; }
};

QString CleanAbsolute(const QString &folder)
{
    return QDir::cleanPath(QDir(folder).absolutePath());
}

bool IsInside(const QString &folder, const QString &root)
{
    if (folder == root)
        return true;
    const QString prefix = root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/');
    return folder.startsWith(prefix);
}

} // namespace

QList<FolderEntry> FolderListEntries(const QString &folder)
{
    QList<FolderEntry> entries;
    QStringList chain;
    QDir dir(CleanAbsolute(folder));
    chain.prepend(dir.absolutePath());
    while (dir.cdUp())
        chain.prepend(dir.absolutePath());

    for (int level = 0; level < chain.size(); ++level) {
        const QString &path = chain[level];
        const QString name = level == 0 ? QDir::toNativeSeparators(path) : QFileInfo(path).fileName();
        entries.append({name, path, level, true});
    }
    const QFileInfoList subFolders =
        QDir(chain.last()).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo &sub : subFolders)
        entries.append({sub.fileName(), CleanAbsolute(sub.absoluteFilePath()), int(chain.size()), false});
    return entries;
}

QStringList PictureFiles(const QString &folder)
{
    // Without QDir::CaseSensitive the name filters ignore letter case: PHOTO.JPG matches. A JPEG's
    // other usual name, .jpeg, is a JPEG all the same.
    return QDir(folder).entryList(PictureFilePatterns, QDir::Files, QDir::Name | QDir::IgnoreCase);
}

Outcome<QImage> LoadPreviewImage(const QString &path, const QSize &box)
{
    // The same loading as the conversion: its size limits, its refusals, the EXIF
    // orientation, and a large JPEG decoded at a reduced size that still covers the box.
    Outcome<QImage> image = LoadPicture(path, box);
    if (!image || !box.isValid() || image->size() == box)
        return image;
    return image->scaled(box, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

PictureBrowser::PictureBrowser(const BrowserControls &controls, MessageBoxes &messages, MousePointer &pointer,
                               VolumeSource *volumes, const QString &startFolder)
    : messages_(messages), pointer_(pointer),
      ownVolumes_(volumes ? nullptr : std::make_unique<MountedVolumes>()),
      volumes_(volumes ? *volumes : *ownVolumes_), drive1_(controls.Drive1), dir1_(controls.Dir1),
      file1_(controls.File1), list1_(controls.List1), fotoAantal_(controls.FotoAantal),
      image1_(controls.Image1), selection_(controls.List1, controls.List2, controls.SelectAantal),
      folder_(CleanAbsolute(startFolder))
{
    dir1_.setItemDelegate(new FolderIndentDelegate(&dir1_));
    dir1_.setIconSize(QSize(16, 16));
    file1_.setSelectionMode(QAbstractItemView::ExtendedSelection);
    {
        const QSignalBlocker quiet(drive1_);
        drive1_.clear();
        const QIcon driveIcon = drive1_.style()->standardIcon(QStyle::SP_DriveHDIcon);
        for (const QString &root : volumes_.volumes())
            drive1_.addItem(driveIcon, QDir::toNativeSeparators(root), root);
        // The drive holding the start folder; none shown when no listed volume holds it.
        const int drive = driveIndexOf(folder_);
        drive1_.setCurrentIndex(drive);
        if (drive >= 0)
            lastFolder_.insert(drive1_.itemData(drive).toString(), folder_);
    }
    // The lists show the start folder, but the file count stays "0" until the first folder change.
    showFolders();
    showFiles();

    connect(&drive1_, &QComboBox::currentIndexChanged, this, &PictureBrowser::Drive1_Change);
    connect(&dir1_, &QListWidget::itemActivated, this, &PictureBrowser::Dir1_Activated);
    connect(&file1_, &QListWidget::itemClicked, this, &PictureBrowser::File1_Click);
    // The preview follows the current file also when the keys move it.
    connect(&file1_, &QListWidget::currentItemChanged, this, &PictureBrowser::File1_Click);
    file1_.installEventFilter(this);
    // A drop lands on the list's viewport.
    list1_.setAcceptDrops(true);
    list1_.viewport()->setAcceptDrops(true);
    list1_.viewport()->installEventFilter(this);
    previewThread_.setMaxThreadCount(1);
    connect(&previewDecoding_, &QFutureWatcher<void>::finished, this, &PictureBrowser::previewDecoded);
    connect(&file1_, &QListWidget::itemDoubleClicked, this, &PictureBrowser::KnopRechts_Click);
    connect(&controls.KnopRechts, &QAbstractButton::clicked, this, &PictureBrowser::KnopRechts_Click);
    connect(&controls.ClearKnop, &QAbstractButton::clicked, this, &PictureBrowser::ClearKnop_Click);
    connect(&controls.ClearAll, &QAbstractButton::clicked, this, &PictureBrowser::ClearAll_Click);
}

// The preview thread's pool waits for a decoding under way before it goes.
PictureBrowser::~PictureBrowser() = default;

void PictureBrowser::Drive1_Change(int index)
{
    if (index < 0)
        return;
    const QString root = drive1_.itemData(index).toString();
    // The drive's own current folder when it is still there, else its root.
    if (volumes_.canList(root) && (setFolder(lastFolder_.value(root, root)) || setFolder(root)))
        return;
    // The drive list keeps showing the new drive; the other lists keep the old folder.
    messages_.show(QStringLiteral("Drive niet aanwezig...."), QStringLiteral(" Drive-Error"));
}

void PictureBrowser::Dir1_Activated(QListWidgetItem *item)
{
    if (!item)
        return;
    // A folder that has vanished or cannot be read is not entered; the list is read again.
    if (!setFolder(item->data(PathRole).toString()))
        showFolders();
}

bool PictureBrowser::setFolder(const QString &folder)
{
    const QString clean = CleanAbsolute(folder);
    const QFileInfo info(clean);
    if (!info.isDir() || !info.isReadable())
        return false;
    if (clean == folder_)
        return true;
    folder_ = clean;
    showFolders();
    Dir1_Change();

    const int drive = driveIndexOf(folder_);
    if (drive >= 0) {
        const QSignalBlocker quiet(drive1_);
        drive1_.setCurrentIndex(drive);
        lastFolder_.insert(drive1_.itemData(drive).toString(), folder_);
    }
    return true;
}

void PictureBrowser::Dir1_Change()
{
    showFiles();
    fotoAantal_.setText(QString::number(file1_.count()));
    fotoAantal_.adjustSize(); // the label is sized to its text
}

void PictureBrowser::showFolders()
{
    dir1_.clear();
    const QIcon open = dir1_.style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = dir1_.style()->standardIcon(QStyle::SP_DirIcon);
    int current = -1;
    for (const FolderEntry &entry : FolderListEntries(folder_)) {
        auto *item = new QListWidgetItem(entry.onPath ? open : closed, entry.name, &dir1_);
        item->setData(PathRole, entry.path);
        item->setData(LevelRole, entry.level);
        if (entry.onPath)
            current = dir1_.count() - 1;
    }
    dir1_.setCurrentRow(current);
}

void PictureBrowser::showFiles()
{
    file1_.clear();
    file1_.addItems(PictureFiles(folder_));
}

int PictureBrowser::driveIndexOf(const QString &folder) const
{
    int best = -1;
    qsizetype bestLength = -1;
    for (int i = 0; i < drive1_.count(); ++i) {
        const QString root = CleanAbsolute(drive1_.itemData(i).toString());
        if (IsInside(folder, root) && root.size() > bestLength) {
            best = i;
            bestLength = root.size();
        }
    }
    return best;
}

void PictureBrowser::File1_Click(QListWidgetItem *item)
{
    if (!item || previewAbandoned_)
        return;
    // A click that made the file current has asked for it already, on the press.
    const QString path = JoinPath(folder_, item->text());
    const bool outstanding = previewUnderWay();
    if (outstanding && path == newestPreview_)
        return;
    // The busy pointer shows from the first click until the newest picture is shown.
    if (!outstanding)
        pointer_.busy();
    newestPreview_ = path;
    nextPreview_ = PreviewRequest{path, image1_.contentsRect().size()};
    startPreview();
}

bool PictureBrowser::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == &file1_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            KnopRechts_Click();
            return true;
        }
    }
    if (watched == list1_.viewport() && List1_Drag(event))
        return true;
    return QObject::eventFilter(watched, event);
}

bool PictureBrowser::List1_Drag(QEvent *event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop: {
        auto *drop = static_cast<QDropEvent *>(event);
        // Always a copy: a source told "moved" might delete the user's file.
        if (selectionLocked() || !drop->mimeData()->hasUrls() ||
            !(drop->possibleActions() & Qt::CopyAction)) {
            drop->ignore();
            return true;
        }
        drop->setDropAction(Qt::CopyAction);
        drop->accept();
        if (event->type() == QEvent::Drop)
            List1_Drop(drop->mimeData()->urls());
        return true;
    }
    case QEvent::DragLeave:
        return true;
    default:
        return false;
    }
}

void PictureBrowser::List1_Drop(const QList<QUrl> &urls)
{
    QStringList paths;
    for (const QUrl &url : urls) {
        // Only local files can be pictures; anything else is named as not added.
        const QString path = url.isLocalFile() ? url.toLocalFile() : url.toString();
        if (url.isLocalFile() && QFileInfo(path).isDir()) {
            for (const QString &name : PictureFiles(path))
                paths << JoinPath(path, name);
        } else {
            paths << path;
        }
    }
    addPictures(paths);
}

QStringList PictureBrowser::addPictures(const QStringList &paths)
{
    const QStringList refused = selection_.addPictures(paths);
    // Shown once the event under way has ended: a message box opened inside a drop would keep
    // the file manager waiting for the drop's end.
    if (!refused.isEmpty()) {
        QTimer::singleShot(0, this,
                           [this, text = NotPicturesMessage(refused)] { messages_.show(text, ProgramName); });
    }
    return refused;
}

void PictureBrowser::openPictures(const QStringList &paths)
{
    const QStringList refused = addPictures(paths);
    for (const QString &path : paths) {
        if (!refused.contains(path)) {
            setFolder(QFileInfo(path).absolutePath());
            return;
        }
    }
}

void PictureBrowser::startPreview()
{
    if (decoding_ || !nextPreview_ || previewAbandoned_)
        return;
    const PreviewRequest request = *std::exchange(nextPreview_, std::nullopt);
    decoding_ = true;
    previewPicture_ = RunOnWorker(previewThread_, [path = Unshared(request.path), box = request.box] {
        return LoadPreviewImage(path, box);
    });
    previewDecoding_.setFuture(previewPicture_.done());
}

void PictureBrowser::previewDecoded()
{
    decoding_ = false;
    if (previewAbandoned_)
        return;
    // A newer click waiting means this picture is no longer wanted. A picture that cannot be
    // decoded leaves the old preview in place.
    if (!nextPreview_) {
        const Outcome<QImage> picture = previewPicture_.take();
        if (picture)
            image1_.setPixmap(QPixmap::fromImage(picture.value()));
        else
            qCDebug(lcConvert) << "no preview:" << picture.reason();
        pointer_.arrow();
        return;
    }
    startPreview();
}

void PictureBrowser::abandonPreview()
{
    if (previewAbandoned_)
        return;
    previewAbandoned_ = true;
    const bool busy = previewUnderWay();
    nextPreview_.reset();
    if (busy)
        pointer_.arrow();
}

void PictureBrowser::KnopRechts_Click()
{
    if (!selectionLocked())
        selection_.exportMarked(file1_, folder_);
}

void PictureBrowser::ClearKnop_Click()
{
    if (!selectionLocked())
        selection_.removeFirstMarked();
}

void PictureBrowser::ClearAll_Click()
{
    if (!selectionLocked())
        selection_.removeAll();
}
