#pragma once
// Where the stream-copy cut of each part of an MP4, MOV or 3GP file begins, read from the
// file's own sample table instead of by a keyframe probe: the table holds every picture's
// times and keyframes, and starting ffmpeg to list them costs more than reading it.
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

#include "tools/save_plan.h"

namespace save {

// The answers of the keyframe probe, for the first video track, on the clock ffmpeg gives the
// file (seconds from its media start). nullopt whenever the file is not such a movie, or holds
// what this reader does not follow as ffmpeg does (a fragmented file, edit lists other than
// one plain edit, negative composition offsets, a picture shown before the first): then the
// probe decides.
std::optional<FileCuts> movieCuts(const QString& path, const std::vector<int64_t>& starts,
                                  const std::vector<int64_t>& ends = {});

}  // namespace save
