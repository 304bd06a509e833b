#pragma once
// The marks of the main window: the segment controller with the window's answers to what
// the marks ask of it (MarksHost). The marks folder knows no window; the window reaches the
// controller directly, and MarksView shows it.
#include <functional>
#include <memory>
#include <optional>

#include "player/marks/marks_controller.h"
#include "player/player_state.h"

namespace player {

class PlayerView;

// The player's commands the marks call, wired by the window.
struct MarksCommands {
    std::function<void()> pausePrFn;
    std::function<void()> shareBnStop;  // the stop routine with its plain arguments
    std::function<void()> failPlay;
    std::function<void(bool fromStopped)> segmentPlayStarted;
    // Where a save of a segment marked from markSeconds really starts, once the file's
    // keyframes are known.
    std::function<std::optional<double>(double markSeconds)> copyStartSeconds;
};

class WindowMarks : public marks::MarksHost {
  public:
    WindowMarks(MCI& media, PlayerState& state, PlayerView& view, MarksCommands commands);
    ~WindowMarks() override;

    marks::MarksController& controller() { return *marks_; }
    // MarksHost
    MCI& media() override { return media_; }
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
    MCI& media_;
    PlayerState& state_;
    PlayerView& view_;
    MarksCommands commands_;
    std::unique_ptr<marks::MarksController> marks_;
};

}  // namespace player
