#include "lists/list_player.h"

#include "common/paths.h"
#include "items/item_text.h"
#include "lists/frm_list.h"
#include "lists/list_ops.h"

namespace lists {

namespace {
// The list the player goes through: the current one, or in areas without a list (the marks
// list and the tools) the play list shown last, so a list that plays carries on while the
// user works in another area.
ShownList& playedList(frmList& w) {
    if (ShownList* l = w.currentList()) return *l;
    return w.playList(w.shownLast());
}
}  // namespace

ListPlayer::Source ListPlayer::source() const {
    auto& w = const_cast<frmList&>(w_);
    if (w.browserMode()) {
        const BrowserItems& b = w.browser;
        return {b.count ? b.count() : 0, b.selected ? b.selected() : -1};
    }
    const ShownList& l = playedList(w);
    return {l.count(), l.selected()};
}

void ListPlayer::selectInSource(int index) {
    if (w_.browserMode()) {
        if (w_.browser.select) w_.browser.select(index);
    } else {
        playedList(w_).select(index);
    }
    w_.refreshButtons();
}

void ListPlayer::playNextItem(int d, bool forced, ContinueMode& state,
                              const std::function<void(ContinueMode)>& decided) {
    if (w_.host.stopStatusTimer) w_.host.stopStatusTimer();
    const Source s = source();
    const AdvanceStep step = advanceStep(state, forced, w_.playMode(), s.count);
    state = step.state;
    if (decided) decided(state);
    switch (step.action) {
        case Advance::Nothing:
            break;
        case Advance::Replay:
            playCurrentItem();
            break;
        case Advance::Step: {
            const int next = stepIndex(d == 1 ? 1 : -1, s.selected, s.count);
            if (next >= 0) selectInSource(next);
            playCurrentItem();
            break;
        }
        case Advance::Random:
            selectRnd();
            playCurrentItem();
            break;
    }
}

void ListPlayer::buttonStep(int d) {
    ContinueMode state = w_.host.continueMode ? w_.host.continueMode() : ContinueMode::None;
    playNextItem(d, true, state);
    if (w_.host.setContinueMode) w_.host.setContinueMode(state);
    if (w_.host.focusPlayer) w_.host.focusPlayer();
}

void ListPlayer::playCurrentItem(const QString& text) {
    const QString item = text.isEmpty() ? currentItemText() : text;
    if (item.isEmpty()) return;
    const items::ItemParts parts = items::splitItemText(item);
    if (w_.host.newPlay) w_.host.newPlay(fixDriveLetter(parts.path), parts.marks);
}

void ListPlayer::selectRnd() {
    const int n = source().count;
    if (n > 0) selectInSource(randomIndex(n, listRandom()));
}

ListPlayMode ListPlayer::playMode() const { return w_.playMode(); }

bool ListPlayer::carriesOn() const {
    return w_.playMode() != ListPlayMode::Once && source().count > 0;
}

QString ListPlayer::currentItemText() {
    if (w_.browserMode()) return w_.browser.selectedPath ? w_.browser.selectedPath() : QString();
    return playedList(w_).itemText();
}

void ListPlayer::refreshButtons() { w_.refreshButtons(); }

bool ListPlayer::isForeground() const { return w_.isVisible() && w_.isActiveWindow(); }

void ListPlayer::showPlayList() { w_.showPlayLists(); }

void ListPlayer::showFileList() {
    if (w_.host.goToFiles)
        w_.host.goToFiles();
    else
        w_.showFileList();
}

void ListPlayer::setListPlayModeOnce() { w_.setPlayMode(ListPlayMode::Once); }

void ListPlayer::showMarksListTab() { w_.showOn(Area::MarksList); }

}  // namespace lists
