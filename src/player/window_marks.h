#pragma once
// The marks of the main window: the segment controller, the marks bar on picRngBk and the
// marks menus, with the window's answers to what the marks ask of it (MarksHost). The
// marks folder knows no window; the window reaches the controller directly.
#include <memory>

#include "player/marks/marks_actions.h"
#include "player/marks/marks_bar.h"
#include "player/marks/marks_controller.h"
#include "player/player_ui.h"

class frmMain;

namespace player {

class WindowMarks : public marks::MarksHost {
  public:
    WindowMarks(frmMain& window, PlayerUi& ui);
    ~WindowMarks() override;

    marks::MarksController& controller() { return *marks_; }
    marks::MarksBar& bar() { return *bar_; }
    marks::MarksActions& actions() { return *actions_; }
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
    std::optional<double> copyStartSeconds(double markSeconds) const override;

  private:
    frmMain& w_;
    PlayerUi& ui_;
    std::unique_ptr<marks::MarksController> marks_;
    std::unique_ptr<marks::MarksBar> bar_;
    std::unique_ptr<marks::MarksActions> actions_;
};

}  // namespace player
