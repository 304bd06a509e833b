#pragma once
// Makes a new, playable FLV out of a damaged one, without touching it: a broken file header
// is rebuilt from the tags, PreviousTagSize values are not trusted but rewritten, garbage and
// zeroed stretches are skipped by finding the next plausible tag, a truncated last tag is
// dropped, timestamps that jump back, start again or leap ahead are made continuous, and the
// metadata is rebuilt. After a stretch was skipped, video waits for its next keyframe, so the
// picture never decodes from a missing reference.
#include <cstdint>
#include <string>

#include "flv/diag.h"
#include "flv/layout.h"

namespace flv {

struct RepairOutcome {
    WriteOutcome written;
    std::uint64_t skippedBytes = 0;  // garbage between tags, and a truncated last tag
    std::size_t resyncs = 0;         // places where the tag chain was found again
    std::size_t droppedFrames = 0;   // video frames without a keyframe before them
    std::size_t clockFixes = 0;      // places where the clock jumped and was carried on
};

Result<RepairOutcome> repairFlv(const std::string& source, const std::string& output,
                                const WriteOptions& options = {});

}  // namespace flv
