#pragma once
// Rebuilds the onMetaData of one FLV file where it lies. The original stays untouched until
// the complete new file, flushed and with the original's mode and owner, is renamed over
// it; the in-place path writes only the metadata tag's body and moves no offset.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "flv/clock.h"
#include "flv/diag.h"

namespace flv {

struct UpdateOptions {
    double nowMs = -1;  // metadatadate; negative: the current time
    bool allowInPlace = true;
    // Runs when the new file is complete and flushed, just before it replaces the original.
    std::function<void()> beforeRename;
};

struct UpdateOutcome {
    std::string target;  // the file rewritten (a symbolic link's target)
    bool inPlace = false;
    bool unchanged = false;  // the metadata on disk was already right: nothing was written
    std::size_t keyframes = 0;
    double duration = 0;
    std::uint64_t fileSize = 0;
    // Kept as they are (the metadata describes the file as it is); worth a warning.
    std::vector<ClockJump> clockJumps;
};

// The warning for one clock jump: "E110 the clock jumps ahead 3600.000 s at byte 1234".
Diag clockJumpDiag(const ClockJump& jump);

Result<UpdateOutcome> updateMetadata(const std::string& path, const UpdateOptions& options = {});

}  // namespace flv
