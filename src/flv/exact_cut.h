#pragma once
// An FLV span cut where it is marked instead of at the keyframe before the mark. The pictures
// shown from the start mark up to the next keyframe are rebuilt by an encoder (another
// program, run between the two calls here: planExactCut says what to encode, spliceExactCut
// puts the encoded head in front of the copy); everything from that keyframe on is copied
// tag for tag, as cutFlv copies. The source's one AVC configuration stays the file's only
// one: the head carries its own parameter sets in band, under ids the source does not use.
#include <cstdint>
#include <string>

#include "flv/diag.h"
#include "flv/layout.h"

namespace flv {

enum class ExactCodec {
    None,  // no picture codec an exact cut can rebuild (VP6, screen video, no video)
    Avc,
    H263,  // Sorenson H.263
};

struct ExactPlan {
    ExactCodec codec = ExactCodec::None;
    // Where a copy cut starts: the keyframe shown at or before the mark, from the clock origin.
    std::int64_t copyFromMs = 0;
    // The first picture to rebuild, from the clock origin as a player (and an encoder's
    // seek) counts, and how many pictures follow it in the order they are shown. 0 pictures:
    // the mark is on a keyframe or nothing can be rebuilt, so a copy cut is already exact.
    std::int64_t headFromMs = 0;
    std::size_t headFrames = 0;
    // The end's group of pictures when a copy of it would show pictures past the end mark:
    // rebuilt from its keyframe to the end in the same way. 0 pictures: the copy ends clean.
    std::int64_t tailFromMs = 0;
    std::size_t tailFrames = 0;
    double frameMs = 40;  // the spacing of the pictures there
    // AVC: the source's profile and level, and an SPS and PPS id it does not use.
    int profileIdc = 0;
    int levelIdc = 0;
    int freeId = 1;
};

// fromMs and toMs as cutFlv takes them.
Result<ExactPlan> planExactCut(const std::string& source, std::int64_t fromMs, std::int64_t toMs);

// head and tail: FLVs holding exactly the plan's headFrames and tailFrames pictures, in the
// order they are shown, without B-frames (each decoded when shown); "" where the plan has
// none. Their own configuration tags and audio are left out. Without pictures to rebuild
// this is cutFlv.
Result<WriteOutcome> spliceExactCut(const std::string& source, std::int64_t fromMs,
                                    std::int64_t toMs, const std::string& head,
                                    const std::string& tail, const std::string& output,
                                    const WriteOptions& options = {});

// The lines flvmdi prints for a plan ("codec=avc", "head_from_ms=12360", ...).
std::string exactPlanText(const ExactPlan& plan);

}  // namespace flv
