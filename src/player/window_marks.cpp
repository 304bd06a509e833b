#include "player/window_marks.h"

#include <QAction>
#include <QMenu>

#include "player/frm_main.h"
#include "player/media_opener.h"
#include "player/playback_controller.h"
#include "player/player_view.h"

namespace player {

WindowMarks::WindowMarks(frmMain& window, PlayerUi& ui) : w_(window), ui_(ui) {
    marks_ = std::make_unique<marks::MarksController>(*this);
    bar_ = std::make_unique<marks::MarksBar>(ui_.picRngBk, *marks_);
    marks::MarksMenuItems items;
    items.mnuRngEdit = ui_.mnuRngEdit;
    items.mnuRngClear = ui_.mnuRngClear;
    items.mnuRngPlay[0] = ui_.mnuRngPlay[0];
    items.mnuRngPlay[1] = ui_.mnuRngPlay[1];
    items.mnuSaveRng = ui_.mnuSaveRng;
    items.mnuSaveCut = ui_.mnuSaveCut;
    // In the window's object tree, owned by its menu.
    QObject* owner = ui_.mnuMarks ? static_cast<QObject*>(ui_.mnuMarks) : &w_;
    items.mnuAutoAddMark = new QAction(owner);
    items.mnuAutoAddMark->setObjectName(QStringLiteral("mnuAutoAddMark"));
    items.mnuExactCut = new QAction(owner);
    items.mnuExactCut->setObjectName(QStringLiteral("mnuExactCut"));
    if (ui_.mnuMarks) {
        ui_.mnuMarks->addSeparator();
        ui_.mnuMarks->addAction(items.mnuAutoAddMark);
        ui_.mnuMarks->addAction(items.mnuExactCut);
    }
    actions_ = std::make_unique<marks::MarksActions>(*marks_, items);
}

WindowMarks::~WindowMarks() = default;

MCI& WindowMarks::media() { return w_.media(); }
int32_t WindowMarks::totalUnits() const { return w_.state().length(); }
float WindowMarks::secondsPerUnit() const { return w_.state().secondsPerUnit(); }
float WindowMarks::barScale() const { return w_.view().barScale(); }
PlayState WindowMarks::playState() const { return w_.state().playState(); }
double WindowMarks::totalSeconds() const { return w_.state().totalSeconds(); }
bool WindowMarks::positionBarEnabled() const { return ui_.picHsb->isEnabled(); }

ButtonState WindowMarks::markButtonState(marks::MarkButton b) const {
    return (b == marks::MarkButton::Start ? ui_.mbRngStart : ui_.mbRngEnd)->State();
}

void WindowMarks::setMarkButtonState(marks::MarkButton b, ButtonState state) {
    w_.state().setButton(
        b == marks::MarkButton::Start ? PanelButton::RngStart : PanelButton::RngEnd, state);
}

void WindowMarks::pausePrFn() { w_.playback().pausePrFn(); }
void WindowMarks::shareBnStop() { w_.playback().shareBnStop({}); }
void WindowMarks::stopMedia() { w_.media().stopMCI(QString(), 0); }
void WindowMarks::failPlay() { w_.opener().failPlay(QString()); }
void WindowMarks::segmentPlayStarted(bool fromStopped) {
    w_.playback().segmentPlayStarted(fromStopped);
}
void WindowMarks::repaintNow() { ui_.picRngBk->repaint(); }

}  // namespace player
