#include "player/capture/frm_cap.h"

#include <QAction>
#include <QFileInfo>
#include <QHideEvent>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QPixmap>

#include "common/dialog_folders.h"
#include "common/paths.h"
#include "common/prompts.h"
#include "common/texts.h"
#include "common/window_helpers.h"
#include "media/video_surface.h"
#include "player/capture/capture_picture.h"

using namespace player::capture;

frmCap::frmCap(QWidget* parent) : QMainWindow(parent, Qt::Window) {
    setObjectName(QStringLiteral("frmCap"));
    setWindowTitle(QStringLiteral(" Lumba.FLV 擷取到的畫面"));
    mnuSaveCap_ = menuBar()->addAction(QStringLiteral("另存畫面"));
    mnuSaveCap_->setObjectName(QStringLiteral("mnuSaveCap"));
    connect(mnuSaveCap_, &QAction::triggered, this, &frmCap::mnuSaveCap_Click);

    picShow_ = new QLabel(this);
    picShow_->setObjectName(QStringLiteral("picShow"));
    picShow_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    picShow_->setContentsMargins(0, 0, 0, 0);
    setCentralWidget(picShow_);
    placed_ = placeFromTwips(place_);
}

void frmCap::showCapture(const QString& mediaPath, VideoSurface& source, const QRect& area) {
    const QSize video = area.size().expandedTo(QSize(0, 0));
    picture_ =
        composePanel(source.paintedArea(area), video, picShow_->palette().color(QPalette::Window));
    picShow_->setPixmap(QPixmap::fromImage(picture_));
    // The panel fixes the client area; the window takes its size from it.
    picShow_->setFixedSize(picture_.size());
    if (layout()) layout()->activate();
    adjustSize();
    if (!isVisible()) {
        placed_ = placeFromTwips(place_);
        move(placeOnScreen(QRect(placed_, size()), screenAreas()));
    }
    show();
    raise();
    mediaPath_ = mediaPath;
    defaultName_ = player::capture::defaultSaveName(mediaPath);
}

void frmCap::mnuSaveCap_Click() {
    const SaveDialogSettings s = saveDialogSettings(defaultName_, getSaveFolder(mediaPath_));
    prompts::FileDialog d;
    d.kind = prompts::FileDialog::Save;
    d.owner = this;
    d.qtFilter = s.filter;
    d.filterIndex = s.filterIndex;
    d.defaultExt = s.defaultExt;
    d.fileName = s.fileName;
    d.initialFolder = s.initDir;
    const QStringList paths = prompts::current().file(d).paths;
    if (paths.isEmpty()) return;
    const QString chosen = paths.first();
    // The next media dialog starts where the picture went.
    dialogFolders().media = addSlash(QFileInfo(chosen).absolutePath());
    // A failed write keeps any earlier file and is never reported as a finished save.
    if (const auto failure = writePicture(picture_, chosen)) {
        prompts::msgBox(QStringLiteral("無法寫入這個圖檔") + texts::kCrLf + texts::kCrLf + chosen,
                        prompts::Buttons::Ok, texts::kErrorTitle, prompts::Icon::Critical);
        return;
    }
    if (doneAfterSave) doneAfterSave(chosen);
}

void frmCap::setPlace(const Twips& twips) {
    place_ = twips;
    placed_ = placeFromTwips(place_);
    if (isVisible()) move(placeOnScreen(QRect(placed_, size()), screenAreas()));
}

Twips frmCap::place() const { return isVisible() ? twipsToKeep(pos(), place_, placed_) : place_; }

void frmCap::keepPlace() {
    place_ = twipsToKeep(pos(), place_, placed_);
    placed_ = placeFromTwips(place_);
}

void frmCap::hideEvent(QHideEvent* e) {
    // A minimised window keeps standing where it was.
    if (!e->spontaneous()) keepPlace();
    QMainWindow::hideEvent(e);
}
