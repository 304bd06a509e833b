#pragma once
// Cuts a span out of an FLV file at tag level: from the last video keyframe at or before the
// start (so the first picture decodes) up to, not including, the end: every picture shown
// before the end is kept, with the pictures decoded before it that it may refer to (with
// B-frames one or two of those are shown at or just past the end). Every kept tag's data
// is the source's, byte for byte; timestamps start again at 0; the codec configurations in
// force at the keyframe go first, and the new onMetaData is written in the same pass.
#include <cstdint>
#include <string>

#include "flv/diag.h"
#include "flv/layout.h"

namespace flv {

// fromMs and toMs count from the source's first frame, as a player shows positions. The source
// is only read; an output that is the source itself is refused.
Result<WriteOutcome> cutFlv(const std::string& source, std::int64_t fromMs, std::int64_t toMs,
                            const std::string& output, const WriteOptions& options = {});

}  // namespace flv
