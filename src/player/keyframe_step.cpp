#include "player/keyframe_step.h"

#include "keyframes/keyframe_indexer.h"
#include "media/mci.h"
#include "player/player_state.h"

namespace player {

std::optional<int32_t> KeyframeStep::target(int direction) const {
    const keyframes::KeyframeIndex* k = index_.find(state_.filePath());
    if (!k || k->keyTimesMs.empty()) return std::nullopt;
    const int32_t here = media_.getCurFrame();
    return keyframes::keyframeStep(*k, here, state_.secondsPerUnit(), direction).value_or(here);
}

}  // namespace player
