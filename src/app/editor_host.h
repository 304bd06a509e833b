#pragma once
// The segment editor's view of the player: the open media's length and units, the segments
// as times, and applying or playing them.
#include "lists/segment_editor_host.h"

class frmMain;

namespace app {

class PlayerEditorHost : public lists::SegmentEditorHost {
  public:
    explicit PlayerEditorHost(frmMain& window) : w_(window) {}

    double totalSeconds() const override;
    float secondsPerUnit() const override;
    bool marksBarVisible() const override;
    std::vector<lists::LineTimes> segmentTimes() const override;
    void applyMark() override;
    void goToMarksList() override;
    void playOnlySpan(int32_t start, int32_t end) override;

  private:
    frmMain& w_;
};

}  // namespace app
