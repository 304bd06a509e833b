#include "app/editor_host.h"

#include "player/frm_main.h"
#include "player/marks/marks_controller.h"
#include "player/playback_controller.h"

namespace app {

double PlayerEditorHost::totalSeconds() const { return w_.media().getTotalSeconds(); }

float PlayerEditorHost::secondsPerUnit() const {
    return w_.media().FileName().isEmpty() ? 0.0f : w_.state().secondsPerUnit();
}

bool PlayerEditorHost::marksBarVisible() const { return w_.marks().barVisible(); }

std::vector<lists::LineTimes> PlayerEditorHost::segmentTimes() const {
    const marks::MarksController& m = w_.marks();
    std::vector<lists::LineTimes> out;
    for (int i = 0; i < m.segments().count(); ++i) {
        const marks::SegmentTimes t = m.rsFormat(i, 3);
        out.push_back({t.startText, t.endText, t.copyStartText});
    }
    return out;
}

void PlayerEditorHost::applyMark() { w_.marks().applyMark(); }

void PlayerEditorHost::goToMarksList() { w_.marks().goToMarksList(); }

void PlayerEditorHost::playOnlySpan(int32_t start, int32_t end) {
    w_.media().rngCancel();
    w_.playback().shareBnStop({});
    w_.marks().playNextRS(marks::SegmentRepeat::Once, 0, false, start, end, true);
}

}  // namespace app
