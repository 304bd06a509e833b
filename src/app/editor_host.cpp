#include "app/editor_host.h"

#include "player/frm_main.h"
#include "player/marks/player_marks.h"
#include "player/playback_controller.h"

namespace app {

double PlayerEditorHost::totalSeconds() const { return w_.media().getTotalSeconds(); }

float PlayerEditorHost::secondsPerUnit() const {
    return w_.media().FileName().isEmpty() ? 0.0f : w_.marks().secondsPerUnit();
}

bool PlayerEditorHost::marksBarVisible() const { return w_.marks().controller().barVisible(); }

std::vector<lists::LineTimes> PlayerEditorHost::segmentTimes() const {
    const marks::MarksController& m = w_.marks().controller();
    std::vector<lists::LineTimes> out;
    for (int i = 0; i < m.segments().count(); ++i) {
        const marks::SegmentTimes t = m.rsFormat(i, 3);
        out.push_back({t.startText, t.endText});
    }
    return out;
}

void PlayerEditorHost::applyMark() { w_.marks().controller().applyMark(); }

void PlayerEditorHost::goToMarksList() { w_.marks().goToMarksList(); }

void PlayerEditorHost::playOnlySpan(int32_t start, int32_t end) {
    w_.media().rngCancel();
    w_.marks().shareBnStop();
    w_.marks().controller().playNextRS(0, 0, false, start, end, true);
}

}  // namespace app
