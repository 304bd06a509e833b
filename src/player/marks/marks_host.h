#pragma once
// What the marks need of the player window (the list window's side: MarksListLink).
#include <cstdint>
#include <optional>

#include "common/button_state.h"
#include "common/marks_list_link.h"
#include "common/player_values.h"

class MCI;

namespace marks {

enum class MarkButton { Start, End };

class MarksHost {
  public:
    virtual ~MarksHost() = default;

    // The playback media object and the player values of the current media.
    virtual MCI& media() = 0;
    virtual int32_t totalUnits() const = 0;
    virtual float secondsPerUnit() const = 0;
    virtual float barScale() const = 0;
    virtual PlayState playState() const = 0;
    virtual double totalSeconds() const = 0;  // the length the player shows
    virtual bool positionBarEnabled() const = 0;

    // The State of the two mark buttons.
    virtual ButtonState markButtonState(MarkButton b) const = 0;
    virtual void setMarkButtonState(MarkButton b, ButtonState state) = 0;

    // Player operations.
    virtual void pausePrFn() = 0;
    virtual void shareBnStop() = 0;  // the stop routine with its plain arguments
    virtual void stopMedia() = 0;    // stop before the list play mode changes
    virtual void failPlay() = 0;
    // A segment play has started: the player shows it playing (look, status timer);
    // fromStopped when it started from the stopped state.
    virtual void segmentPlayStarted(bool fromStopped) = 0;
    virtual void repaintNow() {}
    // Where a tag-level save of a segment marked from markSeconds really starts (the keyframe
    // it must begin at); nothing while that is not known.
    virtual std::optional<double> copyStartSeconds(double markSeconds) const {
        (void)markSeconds;
        return std::nullopt;
    }
};

}  // namespace marks
