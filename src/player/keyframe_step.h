#pragma once
// Ctrl+← and Ctrl+→: where the previous or next keyframe of the open file lies, as a
// position to jump to (the transport's frame jump then goes there and pauses).
#include <cstdint>
#include <optional>

class MCI;

namespace keyframes {
class KeyframeIndexer;
}

namespace player {

class PlayerState;

class KeyframeStep {
  public:
    KeyframeStep(MCI& media, const PlayerState& state, const keyframes::KeyframeIndexer& index)
        : media_(media), state_(state), index_(index) {}

    // Nothing while the file's keyframes are unknown; the current position when there is no
    // keyframe that way (the jump then only pauses).
    std::optional<int32_t> target(int direction) const;

  private:
    MCI& media_;
    const PlayerState& state_;
    const keyframes::KeyframeIndexer& index_;
};

}  // namespace player
