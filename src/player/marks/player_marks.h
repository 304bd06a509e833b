#pragma once
// The marks of the main window: the segment controller, the marks bar on picRngBk and the
// marks menus, joined to frmMain both ways (the playback controller's MarksHooks, the
// marks' MarksHost). Compiled into lumba_player; lumba_marks itself knows no window.
#include <QObject>
#include <memory>

#include "player/marks/marks_actions.h"
#include "player/marks/marks_bar.h"
#include "player/marks/marks_controller.h"
#include "player/marks_hooks.h"

class frmMain;

namespace player {

class PlayerMarks : public QObject, public MarksHooks, public marks::MarksHost {
    Q_OBJECT
  public:
    explicit PlayerMarks(frmMain& window);
    ~PlayerMarks() override;

    marks::MarksController& controller() { return *marks_; }
    marks::MarksBar& bar() { return *bar_; }
    marks::MarksActions& actions() { return *actions_; }
    // Setting AutoAddMark (the check of mnuAutoAddMark).
    bool autoAddMark() const { return marks_->autoAddMark(); }
    void setAutoAddMark(bool on) { marks_->setAutoAddMark(on); }
    // not owned; nullptr: no list window
    void setListLink(marks::MarksListLink* link) { marks_->setListLink(link); }

    // MarksHooks
    bool checkDealRng() const override { return marks_->checkDealRng(); }
    void clearAllMarks() override { marks_->clearAllMarks(); }
    bool lastIsOpen() const override { return marks_->lastIsOpen(); }
    void closeOpenSegment() override { marks_->markEnd(); }
    void stretchOpenSegment(int32_t position) override { marks_->stretchOpenSegment(position); }
    int lastIndex() const override { return marks_->segments().lastIndex(); }
    int playingSegment() const override { return marks_->playingSegment(); }
    void playNextRS(int repeatMode, int index) override {
        marks_->playNextRS(repeatMode, index, false, -1, -1, false);
    }
    bool marksEdited() const override { return marks_->marksEdited(); }
    void leaveListModeAfterEditing() override { marks_->leaveListPlayMode(true, std::nullopt); }
    void applyMarksText(MCI& media, const QString& marksText) override;
    void markStart() override { marks_->markStart(); }
    void markEnd() override { marks_->markEnd(); }
    void playMarksForModifiers(int mask) override { marks_->playMarksForModifiers(mask); }
    void goToMarksList() override { marks_->goToMarksList(); }
    RngEditTag rngEditTag() const override { return marks_->rngEditTag(); }
    void setRngEditTag(RngEditTag t) override { marks_->setRngEditTag(t); }

    // MarksHost
    MCI& media() override;
    int32_t totalUnits() const override;
    float secondsPerUnit() const override;
    float barScale() const override;
    PlayState playState() const override;
    double totalSeconds() const override;
    bool positionBarEnabled() const override;
    ButtonState markButtonState(marks::MarkButton b) const override;
    void setMarkButtonState(marks::MarkButton b, ButtonState state) override;
    void pausePrFn() override;
    void shareBnStop() override;
    void stopMedia() override;
    void failPlay() override;
    void segmentPlayStarted(bool fromStopped) override;
    void repaintNow() override;

  private:
    frmMain& w_;
    std::unique_ptr<marks::MarksController> marks_;
    std::unique_ptr<marks::MarksBar> bar_;
    std::unique_ptr<marks::MarksActions> actions_;
};

}  // namespace player
