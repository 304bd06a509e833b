#pragma once
// Playing through the lists: what the player window asks of the list window when a file ends
// or the previous/next buttons are pressed, and the list side of the marks.
#include <functional>
#include <utility>
#include <vector>

#include "common/marks_list_link.h"
#include "common/player_list_link.h"

namespace lists {

class frmList;

class ListPlayer : public player::PlayerListLink, public marks::MarksListLink {
  public:
    explicit ListPlayer(frmList& window) : w_(window) {}

    // d +1 next, anything else previous; forced: a button press. decided hears the state
    // that follows before anything plays.
    void playNextItem(int d, bool forced, ContinueMode& state,
                      const std::function<void(ContinueMode)>& decided = {});
    // text "": the selected item of the source.
    void playCurrentItem(const QString& text = {});
    void selectRnd();

    // PlayerListLink
    ListPlayMode playMode() const override;
    bool carriesOn() const override;
    void advance(ContinueMode current, const std::function<void(ContinueMode)>& setMode) override {
        playNextItem(1, false, current, setMode);
    }
    QString currentItemText() override;
    void refreshButtons() override;
    void previousItem() override { buttonStep(-1); }
    void nextItem() override { buttonStep(1); }
    bool isForeground() const override;
    void showPlayList() override;
    void showFileList() override;

    // MarksListLink
    ListPlayMode listPlayMode() const override { return playMode(); }
    void setListPlayModeOnce() override;
    void showMarksListTab() override;
    void loadMark() override {
        if (editorLoadMark) editorLoadMark();
    }
    void refreshCopyNotes() override {
        if (editorRefreshNotes) editorRefreshNotes();
    }
    void checkCmdRng() override {
        if (editorCheckCmdRng) editorCheckCmdRng();
    }
    std::vector<std::pair<float, float>> editorSpans() override {
        return editorSpansOf ? editorSpansOf() : std::vector<std::pair<float, float>>{};
    }

    // The segment editor's side, wired by the application.
    std::function<void()> editorLoadMark;
    std::function<void()> editorCheckCmdRng;
    std::function<void()> editorRefreshNotes;
    std::function<std::vector<std::pair<float, float>>()> editorSpansOf;

  private:
    struct Source {
        int count = 0;
        int selected = -1;
    };
    Source source() const;
    void selectInSource(int index);
    void buttonStep(int d);

    frmList& w_;
};

}  // namespace lists
