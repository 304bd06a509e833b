#pragma once
// What the segment editor needs of the player and its marks. The application wires an
// implementation in; the defaults behave as a player with nothing open.
#include <cstdint>
#include <vector>

#include "lists/segment_editor_lines.h"

namespace lists {

class SegmentEditorHost {
  public:
    virtual ~SegmentEditorHost() = default;

    // getTotalSeconds of the playback media.
    virtual double totalSeconds() const { return 0; }
    // secondsPerUnit of the current media; 0 or less: no time information.
    virtual float secondsPerUnit() const { return 0; }
    // The marks bar shows (at least one segment).
    virtual bool marksBarVisible() const { return false; }
    // rsFormat(i, style 3, no adjustment) start and end texts of every segment, in order.
    virtual std::vector<LineTimes> segmentTimes() const { return {}; }
    // The player's applyMark; it reads the lines back through SegmentEditor::editorSpans.
    virtual void applyMark() {}
    // The player's go-to-marks-list command (it ends with SegmentEditor::loadMark).
    virtual void goToMarksList() {}
    // rngCancel, shareBnStop, then playNextRS(0, 0, false, start, end, only this): the span
    // plays once and no other segment follows.
    virtual void playOnlySpan(int32_t start, int32_t end) {
        (void)start;
        (void)end;
    }
};

}  // namespace lists
