#pragma once
// The marks of the player window: the segment list with its operations, the mark commands,
// segment play, the questions around them, and the enabling of the marks menus. No widgets:
// the marks bar and the menus draw what this holds and hear changed().
#include <QObject>
#include <QString>
#include <optional>

#include "player/marks/marks_host.h"
#include "player/marks/playback_marks.h"
#include "player/marks/segments.h"

namespace marks {

// Enabled state of the marks menus.
struct MarksMenuState {
    bool rngEdit = true;    // mnuRngEdit  "前往標記清單"
    bool rngClear = false;  // mnuRngClear "清除所有標記"
    bool rngPlay = false;   // both mnuRngPlay elements
    bool saveRng = false;   // mnuSaveRng "另存裁剪"
    bool saveCut = false;   // mnuSaveCut "另存分割"
};

class MarksController : public QObject, public PlaybackMarks {
    Q_OBJECT
  public:
    explicit MarksController(MarksHost& host, QObject* parent = nullptr);

    MarksHost& host() const { return host_; }
    // nullptr: no list window (the defaults of MarksListLink).
    void setListLink(MarksListLink* link) { list_ = link ? link : &noList_; }
    MarksListLink& listLink() const { return *list_; }

    // State
    const SegmentList& segments() const { return segs_; }
    int lastSegment() const { return lastSegment_; }
    int playingSegment() const override { return playingSegment_; }
    int lastIndex() const override { return segs_.lastIndex(); }
    bool marksEdited() const override { return marksEdited_; }
    bool barVisible() const { return barVisible_; }
    QString barToolTip() const;  // the total line while the bar shows
    const MarksMenuState& menus() const { return menus_; }
    bool autoAddMark() const { return autoAddMark_; }
    void setAutoAddMark(bool on);
    // Saving cuts each segment where it is marked, re-encoding only the pictures up to its
    // first keyframe, instead of from the keyframe before the mark.
    bool exactCut() const { return exactCut_; }
    void setExactCut(bool on);
    bool lastIsOpen() const override { return segs_.lastIsOpen(); }
    // Tag of mnuRngEdit, kept for the playback controller.
    RngEditTag rngEditTag() const override { return rngEditTag_; }
    void setRngEditTag(RngEditTag t) override { rngEditTag_ = t; }

    // Commands
    void markStart() override;  // mbRngStart, "["
    void markEnd() override;    // mbRngEnd, "]"
    void segmentClicked(int index);
    void clearCommand();                 // mnuRngClear
    void playMarksCommand(int element);  // mnuRngPlay(element), Enter
    void playMarksForModifiers(
        int mask) override;         // Enter with a modifier mask (Shift 1, Ctrl 2, Alt 4)
    void goToMarksList() override;  // mnuRngEdit, F2

    // Operations
    // false when the end was refused and its segment removed
    bool setMark(int32_t start, int32_t end);
    bool checkSegmentWidth(bool check, int32_t end);
    void deleteSegment(int index);
    void clearAllMarks() override;
    QString segmentSummary(int index) const;
    // The keyframes of the file became known: every closed segment's copy start and summary
    // again.
    void refreshCopyStarts();
    SegmentTimes rsFormat(int index, int style, double startAdjust = 0, double endAdjust = 0) const;
    void updateMarksTotal();
    void updateSaveMenus();
    bool checkDealRng() const override;
    void playNextRS(SegmentRepeat repeat, int index, bool keepState, int32_t start, int32_t end,
                    bool onlyThis);
    void playNextSegment(SegmentRepeat repeat, int index) override {
        playNextRS(repeat, index, false, -1, -1, false);
    }
    void leaveListPlayMode(bool stopInsteadOfPause, std::optional<int> playIndex);
    void leaveListModeAfterEditing() override { leaveListPlayMode(true, std::nullopt); }
    void applyMark();  // from the segment editor's lines (MarksHost::editorSpans)
    void applyMarkSpans(const std::vector<std::pair<float, float>>& spans);

    // On every status tick at which the position changed: the open segment reaches it.
    void stretchOpenSegment(int32_t position) override;

    // Marks text and item text
    void applyMarksText(const QString& marksText);  // right after every open
    void applyMarksText(MCI& /*the host's*/, const QString& marksText) override {
        applyMarksText(marksText);
    }
    QString marksText() const;                  // of all elements, an open one included
    QString itemTextWithMarks(bool skipMarks);  // "" = cancelled

  signals:
    void changed();
    void autoAddMarkChanged(bool on);
    void exactCutChanged(bool on);

  private:
    // The segment play itself; reportFailure false leaves the failure to the caller.
    bool startSegmentPlay(SegmentRepeat repeat, int index, bool keepState, int32_t start,
                          int32_t end, bool onlyThis, bool reportFailure);
    void playWholeMedia();
    void setEndButton(ButtonState state) { host_.setMarkButtonState(MarkButton::End, state); }
    // The summary and copy start of segment i (none while it is open).
    void describe(int i);

    MarksHost& host_;
    MarksListLink noList_;
    MarksListLink* list_ = &noList_;
    SegmentList segs_;
    int lastSegment_ = 0;
    int playingSegment_ = 0;
    bool marksEdited_ = false;
    bool barVisible_ = false;
    bool autoAddMark_ = false;
    bool exactCut_ = false;
    MarksMenuState menus_;
    RngEditTag rngEditTag_ = RngEditTag::Empty;
};

// Message texts.
QString segmentQuestionText(const QString& summary);
QString attachMarksQuestionText(const QString& marksText);
inline constexpr const char* kClearMarksQuestion = "確定要清除所有的標記？";
QString leaveListPlayModeText();

}  // namespace marks
