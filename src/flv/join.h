#pragma once
// Joins FLV files end to end at tag level: every audio and video tag is kept byte for byte,
// only its timestamp moves so that each file continues where the one before it ended: its
// first picture is shown after the last one of the file before (with B-frames, pictures are
// shown in another order than decoded). Streams
// are told apart by tag type, never by the order in which a file first shows them, so files
// whose first tag is audio join cleanly with files whose first tag is video.
//
// The files must carry the same kinds of stream with the same codecs (they are pieces of one
// source); otherwise nothing is written. Old onMetaData tags give way to one new onMetaData,
// written in the same pass, and a repeated codec configuration tag that matches the one in
// force is left out (a changed one is kept where it changes).
#include <cstdint>
#include <string>
#include <vector>

#include "flv/diag.h"
#include "flv/layout.h"

namespace flv {

struct JoinOutcome {
    std::uint64_t tags = 0;  // audio, video and script tags written after the metadata
    std::size_t keyframes = 0;
    std::int64_t durationMs = 0;  // from the first frame shown to the end of the last
    std::uint64_t fileSize = 0;
};

// Writes the joined file at output through a temporary name (an existing output is replaced
// only when the new file is complete).
Result<JoinOutcome> joinFlv(const std::vector<std::string>& inputs, const std::string& output,
                            const WriteOptions& options = {});

}  // namespace flv
