#pragma once
// Where the stream-copy cut of each part of an MPEG program stream begins, read from the file
// itself instead of by a keyframe probe: starting ffmpeg costs more than the few megabytes
// this reads. Only packs near each part's start are read, found by their clock references.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tools/save_plan.h"

namespace save {

// One CutStart per S (whole seconds from the media start), the one the keyframe probe of a
// program stream would give: the last I-picture of the video whose picture time is at or
// before S, with the times of the PES header that carries it. And one copy end per end, as
// parseCopyEnds gives them (CutTimes::copyToMs; 0 when the copy needs none or this reader
// cannot tell). nullopt whenever the file holds anything this reader does not know for sure
// (other video than MPEG-1/2, field pictures, keyframes without their own times, a stream it
// does not know, a read error): then the probe decides.
std::optional<FileCuts> programStreamCuts(const std::string& path,
                                          const std::vector<int64_t>& starts,
                                          const std::vector<int64_t>& ends = {});

}  // namespace save
