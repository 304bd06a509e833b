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

// The pictures of the file's first keyframe that follow it in decoding order but are shown
// before it, where an edit list hides them (a copy cut from an open group's keyframe). The
// file on its own never shows them; joined after another piece, they would show with that
// piece's pictures as their references.
struct LeadingPictures {
    std::size_t pictures = 0;         // of the video track; 0 when it cannot be read
    std::vector<std::size_t> hidden;  // their places among them, in decoding order
};
LeadingPictures hiddenLeadingPictures(const QString& path);

}  // namespace save
