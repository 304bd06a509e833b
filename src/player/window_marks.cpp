#include "player/window_marks.h"

#include "player/player_view.h"

namespace player {

namespace {
PanelButton panelButton(marks::MarkButton b) {
    return b == marks::MarkButton::Start ? PanelButton::RngStart : PanelButton::RngEnd;
}
}  // namespace

WindowMarks::WindowMarks(MCI& media, PlayerState& state, PlayerView& view, MarksCommands commands)
    : media_(media), state_(state), view_(view), commands_(std::move(commands)) {
    marks_ = std::make_unique<marks::MarksController>(*this);
}

WindowMarks::~WindowMarks() = default;

int32_t WindowMarks::totalUnits() const { return state_.length(); }
float WindowMarks::secondsPerUnit() const { return state_.secondsPerUnit(); }
float WindowMarks::barScale() const { return view_.barScale(); }
PlayState WindowMarks::playState() const { return state_.playState(); }
double WindowMarks::totalSeconds() const { return state_.totalSeconds(); }
bool WindowMarks::positionBarEnabled() const { return state_.barEnabled(); }

ButtonState WindowMarks::markButtonState(marks::MarkButton b) const {
    return view_.buttonLook(panelButton(b));
}

void WindowMarks::setMarkButtonState(marks::MarkButton b, ButtonState state) {
    state_.setButton(panelButton(b), state);
}

void WindowMarks::pausePrFn() { commands_.pausePrFn(); }
void WindowMarks::shareBnStop() { commands_.shareBnStop(); }
void WindowMarks::stopMedia() { media_.stopMCI(QString(), 0); }
void WindowMarks::failPlay() { commands_.failPlay(); }
void WindowMarks::segmentPlayStarted(bool fromStopped) {
    commands_.segmentPlayStarted(fromStopped);
}
void WindowMarks::repaintNow() { view_.repaintMarks(); }

std::optional<double> WindowMarks::copyStartSeconds(double markSeconds) const {
    return commands_.copyStartSeconds ? commands_.copyStartSeconds(markSeconds) : std::nullopt;
}

}  // namespace player
