#pragma once
// Decides how a file gets its new onMetaData: in place, when the first tag is an onMetaData
// with room for the new one (same size, so no offset moves), or by a full rewrite that puts
// the new tag first, drops every old one and copies all other tags unchanged.
#include <cstdint>
#include <vector>

#include "flv/diag.h"
#include "flv/scan.h"

namespace flv {

// Room left in every onMetaData written by a full rewrite, so later runs go in place.
inline constexpr std::uint32_t kMetadataReserve = 1024;

struct RewritePlan {
    bool inPlace = false;
    // In place: the new metadata body, to be written at headOffset.
    // Full rewrite: FLV header, PreviousTagSize0 and the whole metadata tag, at 0.
    std::vector<std::uint8_t> head;
    std::uint64_t headOffset = 0;
    std::vector<ByteRange> copies;  // full rewrite: source ranges appended after head
    std::uint64_t newFileSize = 0;
    std::size_t keyframes = 0;
    double duration = 0;
};

struct PlanOptions {
    double nowMs = 0;  // metadatadate
    bool allowInPlace = true;
};

Result<RewritePlan> planRewrite(const ScanResult& scan, const PlanOptions& options);

// Header flags for what the scan found: 4 for audio, 1 for video.
std::uint8_t headerFlags(const ScanResult& scan);

}  // namespace flv
