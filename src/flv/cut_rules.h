#pragma once
// What every cut of an FLV file agrees on, so that the copy cut, the exact cut and the
// picture walk of the player find the same clock origin and the same end.
#include <cstddef>
#include <cstdint>

namespace flv {

// As many first frames as a cut looks at for its clock origin: audio and video interleave by
// decoding time, so the earliest shown frame is not always the first.
inline constexpr int kCutOriginFrames = 64;
// Timestamps past the end that may still belong before it: audio and video are interleaved
// by their decoding times, which run up to this far apart in practice.
inline constexpr std::int64_t kCutSlackMs = 1000;
// The first bytes of a body that tell its codec and frame kind.
inline constexpr std::size_t kCutBodyPrefix = 64;
// An old onMetaData larger than this is not read for its keys.
inline constexpr std::uint32_t kCutMaxOldMetadata = 4 * 1024 * 1024;

}  // namespace flv
