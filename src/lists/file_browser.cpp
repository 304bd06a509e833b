#include "lists/file_browser.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QToolTip>
#include <QVBoxLayout>
#include <utility>

#include "common/paths.h"
#include "common/prompts.h"
#include "common/texts.h"
#include "lists/list_ops.h"
#include "lists/shown_lines.h"

namespace lists {

namespace {

const QString kSaveFolderTitle = QStringLiteral("請選取處理後新檔案的存取目錄");

template <typename F, typename... A>
void call(const F& f, A&&... args) {
    if (f) f(std::forward<A>(args)...);
}

bool carriesDrop(const QMimeData* data) { return data && (data->hasUrls() || data->hasText()); }

}  // namespace

FileBrowser::FileBrowser(QWidget* parent) : QWidget(parent) {
    Drv1_ = new QComboBox(this);
    Drv1_->setObjectName(QStringLiteral("Drv1"));
    Dir1_ = new QListWidget(this);
    Dir1_->setObjectName(QStringLiteral("Dir1"));
    Fn1_ = new QListWidget(this);
    Fn1_->setObjectName(QStringLiteral("Fn1"));
    txtSaveDir_ = new QLineEdit(this);
    txtSaveDir_->setObjectName(QStringLiteral("txtSaveDir"));
    txtSaveDir_->setReadOnly(true);
    cmdSaveDir_ = new QPushButton(QStringLiteral("選擇目錄"), this);
    cmdSaveDir_->setObjectName(QStringLiteral("cmdSaveDir"));
    cmdClearSaveDir_ = new QPushButton(QStringLiteral("清除"), this);
    cmdClearSaveDir_->setObjectName(QStringLiteral("cmdClearSaveDir"));
    chkDoneToFn_ =
        new QCheckBox(QStringLiteral("裁剪、分割、合併……等等處理後，配合指向此檔案列表"), this);
    chkDoneToFn_->setObjectName(QStringLiteral("chkDoneToFn"));

    auto* boxes = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addWidget(Drv1_);
    left->addWidget(Dir1_, 1);
    boxes->addLayout(left, 1);
    boxes->addWidget(Fn1_, 1);
    auto* saveRow = new QHBoxLayout;
    saveRow->addWidget(new QLabel(QStringLiteral("存取目錄："), this));
    saveRow->addWidget(txtSaveDir_, 1);
    saveRow->addWidget(cmdSaveDir_);
    saveRow->addWidget(cmdClearSaveDir_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(boxes, 1);
    layout->addLayout(saveRow);
    layout->addWidget(chkDoneToFn_);

    for (QWidget* w : {static_cast<QWidget*>(Drv1_), Dir1_->viewport(), Fn1_->viewport()}) {
        w->setAcceptDrops(true);
        w->installEventFilter(this);
    }

    connect(Drv1_, &QComboBox::activated, this, &FileBrowser::driveChosen);
    connect(Fn1_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (showing_) return;
        model_.select(row);
        notifyFiles();
    });
    connect(Fn1_, &QListWidget::itemDoubleClicked, this, [this] { playSelected(); });
    connect(cmdSaveDir_, &QPushButton::clicked, this, &FileBrowser::chooseSaveFolder);
    connect(cmdClearSaveDir_, &QPushButton::clicked, this, &FileBrowser::clearSaveFolder);

    if (!model_.setFolder(currentFolder())) model_.setFolder(QDir::homePath());
    showModel();
}

void FileBrowser::select(int index) {
    model_.select(index);
    showFiles();
}

void FileBrowser::playSelected() {
    const QString path = getFnFn(-1);
    if (!path.isEmpty()) call(host.playPath, path);
}

void FileBrowser::shown() {
    model_.refresh();
    showModel();
    notifyFiles();
}

bool FileBrowser::setFolder(const QString& folder) {
    const bool ok = model_.setFolder(folder);
    showModel();
    if (ok) notifyFiles();
    return ok;
}

bool FileBrowser::setDrive(const QString& root) {
    const bool ok = model_.setDrive(root);
    showModel();
    if (ok) notifyFiles();
    return ok;
}

void FileBrowser::showFile(const QString& path) {
    if (model_.showFile(path)) notifyFiles();
    showModel();
    call(host.showBrowserArea);
}

void FileBrowser::folderBoxClicked(int row, Qt::MouseButton button) {
    const QListWidgetItem* item = Dir1_->item(row);
    if (!item) return;
    const QString clicked = item->data(Qt::UserRole).toString();
    const FolderClick result =
        model_.folderClicked(clicked, button == Qt::RightButton, QDir::homePath());
    if (result == FolderClick::Vanished)
        prompts::msgBox(vanishedFolderText(addSlash(fixDriveLetter(clicked))), prompts::Buttons::Ok,
                        texts::kErrorTitle);
    showModel();
    if (result != FolderClick::Ignored) notifyFiles();
}

QString FileBrowser::fileToolTip(int row) const {
    if (row < 0 || row >= model_.fileCount()) return {};
    return itemToolTip(getFnFn(row));
}

void FileBrowser::applyValues(const ListWindowValues& values) {
    if (!values.browserFolder.isEmpty() && model_.setFolder(values.browserFolder))
        model_.select(values.browserIndex);
    setSaveFolder(values.saveFolder);
    setDoneToFn(values.doneToFn != 0);
    showModel();
}

void FileBrowser::collectValues(ListWindowValues& values) const {
    values.browserFolder = model_.folder();
    values.browserIndex = model_.selected();
    values.saveFolder = saveFolder();
    values.doneToFn = doneToFn() ? 1 : 0;
}

QString FileBrowser::saveFolder() const { return txtSaveDir_->text(); }

void FileBrowser::setSaveFolder(const QString& folder) {
    txtSaveDir_->setText(folder.isEmpty() ? QString() : addSlash(fixDriveLetter(folder)));
}

void FileBrowser::chooseSaveFolder() {
    prompts::FolderDialog d;
    d.title = kSaveFolderTitle;
    d.initialFolder = saveFolder().isEmpty() ? addSlash(model_.folder()) : saveFolder();
    d.owner = window();
    const QString chosen = prompts::current().folder(d);
    if (!chosen.isEmpty()) setSaveFolder(chosen);
}

bool FileBrowser::doneToFn() const { return chkDoneToFn_->isChecked(); }

void FileBrowser::setDoneToFn(bool on) { chkDoneToFn_->setChecked(on); }

bool FileBrowser::eventFilter(QObject* watched, QEvent* event) {
    const bool onDrive = watched == Drv1_;
    const bool onFolders = watched == Dir1_->viewport();
    const bool onFiles = watched == Fn1_->viewport();
    if (!onDrive && !onFolders && !onFiles) return QWidget::eventFilter(watched, event);
    switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* e = static_cast<QDragMoveEvent*>(event);
            if (!carriesDrop(e->mimeData())) return false;
            e->acceptProposedAction();
            return true;
        }
        case QEvent::Drop: {
            auto* e = static_cast<QDropEvent*>(event);
            if (!carriesDrop(e->mimeData())) return false;
            e->acceptProposedAction();
            dropHere(*e->mimeData());
            return true;
        }
        case QEvent::MouseButtonPress: {
            auto* e = static_cast<QMouseEvent*>(event);
            if (onFiles) {
                call(host.focusNeutral);
                return false;
            }
            if (onFolders) {
                const int row = Dir1_->indexAt(e->position().toPoint()).row();
                if (row < 0) return false;
                folderBoxClicked(row, e->button());
                return true;
            }
            return false;
        }
        case QEvent::ToolTip: {
            if (!onFiles) return false;
            auto* e = static_cast<QHelpEvent*>(event);
            const QString tip = fileToolTip(Fn1_->indexAt(e->pos()).row());
            if (tip.isEmpty())
                QToolTip::hideText();
            else
                QToolTip::showText(e->globalPos(), tip, Fn1_);
            return true;
        }
        default:
            return false;
    }
}

void FileBrowser::driveChosen(int index) {
    call(host.focusNeutral);
    const QString root = Drv1_->itemData(index).toString();
    // A drive that cannot be read leaves the browser where it was, without a word.
    if (!setDrive(root)) showModel();
}

void FileBrowser::dropHere(const QMimeData& data) {
    call(host.dropped, data);
    const QString playing = host.playingFile ? host.playingFile() : QString();
    if (!playing.isEmpty()) showFile(playing);
}

void FileBrowser::notifyFiles() { call(host.filesChanged); }

void FileBrowser::showModel() {
    showing_ = true;
    // Drive box
    Drv1_->clear();
    QStringList drives = model_.drives();
    if (!model_.drive().isEmpty() && !drives.contains(model_.drive())) drives << model_.drive();
    for (const QString& d : drives) Drv1_->addItem(d, d);
    Drv1_->setCurrentIndex(int(drives.indexOf(model_.drive())));
    // Folder box
    Dir1_->clear();
    int currentRow = -1;
    for (const FolderEntry& e : folderBoxEntries(model_.folder())) {
        auto* item = new QListWidgetItem(QString(e.depth * 2, QLatin1Char(' ')) + e.name, Dir1_);
        item->setData(Qt::UserRole, e.path);
        if (e.current) currentRow = Dir1_->count() - 1;
    }
    Dir1_->setCurrentRow(currentRow);
    showing_ = false;
    showFiles();
}

void FileBrowser::showFiles() {
    showing_ = true;
    showLines(*Fn1_, model_.files(), model_.selected());
    showing_ = false;
}

BrowserItems browserItems(FileBrowser& browser) {
    BrowserItems items;
    items.count = [&browser] { return browser.fileCount(); };
    items.selected = [&browser] { return browser.selectedIndex(); };
    items.select = [&browser](int i) { browser.select(i); };
    items.selectedPath = [&browser] { return browser.getFnFn(-1); };
    items.play = [&browser] { browser.playSelected(); };
    return items;
}

}  // namespace lists
