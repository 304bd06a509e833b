#pragma once
// What the marks need of the list window. The player's marks declare it and the lists
// implement it; it lives here so that neither of the two sibling rooms includes the other.
// Until one is wired in, nothing happens there.
#include <utility>
#include <vector>

#include "common/player_values.h"

namespace marks {

class MarksListLink {
  public:
    virtual ~MarksListLink() = default;
    virtual ListPlayMode listPlayMode() const { return ListPlayMode::Once; }
    virtual void setListPlayModeOnce() {}  // select "單次播放檔案"
    virtual void showMarksListTab() {}     // changeToTab to the segment editor
    virtual void loadMark() {}
    virtual void refreshCopyNotes() {}  // the copy starts became known
    virtual void checkCmdRng() {}
    // The segment editor's lines as position units (getStartEnd with conversion), -1 for an
    // unreadable line.
    virtual std::vector<std::pair<float, float>> editorSpans() { return {}; }
};

}  // namespace marks
