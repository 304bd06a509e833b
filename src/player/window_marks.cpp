#include "player/window_marks.h"

#include <QAction>
#include <QMenu>

#include "player/frm_main.h"
#include "player/media_opener.h"
#include "player/playback_controller.h"
#include "player/time_labels.h"

namespace player {

WindowMarks::WindowMarks(frmMain& window) : w_(window) {
    marks_ = std::make_unique<marks::MarksController>(*this);
    PlayerUi& ui = w_.ui();
    bar_ = std::make_unique<marks::MarksBar>(ui.picRngBk, *marks_);
    marks::MarksMenuItems items;
    items.mnuRngEdit = ui.mnuRngEdit;
    items.mnuRngClear = ui.mnuRngClear;
    items.mnuRngPlay[0] = ui.mnuRngPlay[0];
    items.mnuRngPlay[1] = ui.mnuRngPlay[1];
    items.mnuSaveRng = ui.mnuSaveRng;
    items.mnuSaveCut = ui.mnuSaveCut;
    // In the window's object tree, owned by its menu.
    QObject* owner = ui.mnuMarks ? static_cast<QObject*>(ui.mnuMarks) : &w_;
    items.mnuAutoAddMark = new QAction(owner);
    items.mnuAutoAddMark->setObjectName(QStringLiteral("mnuAutoAddMark"));
    if (ui.mnuMarks) {
        ui.mnuMarks->addSeparator();
        ui.mnuMarks->addAction(items.mnuAutoAddMark);
    }
    actions_ = std::make_unique<marks::MarksActions>(*marks_, items);
}

WindowMarks::~WindowMarks() = default;

MCI& WindowMarks::media() { return w_.media(); }
int32_t WindowMarks::totalUnits() const { return w_.state().length(); }
float WindowMarks::secondsPerUnit() const { return w_.state().secondsPerUnit(); }
float WindowMarks::barScale() const { return w_.labels().barScale(); }
PlayState WindowMarks::playState() const { return w_.state().playState(); }
double WindowMarks::totalSeconds() const { return w_.state().totalSeconds(); }
bool WindowMarks::positionBarEnabled() const { return w_.ui().picHsb->isEnabled(); }

ButtonState WindowMarks::markButtonState(marks::MarkButton b) const {
    const PlayerUi& ui = w_.ui();
    return (b == marks::MarkButton::Start ? ui.mbRngStart : ui.mbRngEnd)->State();
}

void WindowMarks::setMarkButtonState(marks::MarkButton b, ButtonState state) {
    PlayerUi& ui = w_.ui();
    (b == marks::MarkButton::Start ? ui.mbRngStart : ui.mbRngEnd)->setState(state);
}

void WindowMarks::pausePrFn() { w_.playback().pausePrFn(); }
void WindowMarks::shareBnStop() { w_.playback().shareBnStop({}); }
void WindowMarks::stopMedia() { w_.media().stopMCI(QString(), 0); }
void WindowMarks::failPlay() { w_.opener().failPlay(QString()); }
void WindowMarks::segmentPlayStarted(bool fromStopped) {
    w_.playback().segmentPlayStarted(fromStopped);
}
void WindowMarks::repaintNow() { w_.ui().picRngBk->repaint(); }

}  // namespace player
