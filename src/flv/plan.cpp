#include "flv/plan.h"

#include "flv/bytes.h"
#include "flv/metadata.h"

namespace flv {

namespace {

constexpr std::uint64_t kNewHeaderBytes = 9 + kPrevSizeSize;

std::uint64_t removedBytes(const ScanResult& scan) {
    std::uint64_t n = 0;
    for (const auto& r : scan.metadataTags) n += r.length;
    return n;
}

bool canGoInPlace(const ScanResult& scan, std::size_t bodyLen) {
    const auto& h = scan.header;
    return h.dataOffset == 9 && h.prevTagSize0 == 0 && h.flags == headerFlags(scan) &&
           scan.metadataTags.size() == 1 && scan.metadataTags[0].offset == kNewHeaderBytes &&
           scan.firstTagMetadataBody >= bodyLen + kPaddingOverhead;
}

// The kept tags: everything after the FLV header except the old onMetaData tags.
std::vector<ByteRange> keptRanges(const ScanResult& scan) {
    std::vector<ByteRange> out;
    std::uint64_t at = scan.header.firstTagOffset();
    for (const auto& r : scan.metadataTags) {
        if (r.offset > at) out.push_back({at, r.offset - at});
        at = r.end();
    }
    if (scan.fileSize > at) out.push_back({at, scan.fileSize - at});
    return out;
}

std::vector<std::uint8_t> fullHead(const ScanResult& scan, std::vector<std::uint8_t> body) {
    ByteWriter w;
    w.text("FLV");
    w.u8(1);
    w.u8(headerFlags(scan));
    w.u32(9);
    w.u32(0);
    w.u8(tagtype::kScript);
    w.u24(static_cast<std::uint32_t>(body.size()));
    w.u24(0);  // timestamp
    w.u8(0);   // extended timestamp
    w.u24(0);  // stream id
    w.bytes(body);
    w.u32(static_cast<std::uint32_t>(kTagHeaderSize + body.size()));
    return std::move(w.data());
}

}  // namespace

std::uint8_t headerFlags(const ScanResult& scan) {
    return static_cast<std::uint8_t>((scan.hasAudio() ? 4 : 0) | (scan.hasVideo() ? 1 : 0));
}

Result<RewritePlan> planRewrite(const ScanResult& scan, const PlanOptions& options) {
    // The body's length does not depend on the layout, so measure it with a blank one.
    std::size_t bodyLen = encodeMetadataBody(scan, NewLayout{}, options.nowMs, {}).size();
    RewritePlan plan;
    plan.inPlace = options.allowInPlace && canGoInPlace(scan, bodyLen);
    std::uint64_t bodySize =
        plan.inPlace ? scan.firstTagMetadataBody : bodyLen + kPaddingOverhead + kMetadataReserve;
    if (bodySize > kMaxTagDataSize) {
        bodySize = bodyLen + kPaddingOverhead;  // without the reserve it may still fit
        if (bodySize > kMaxTagDataSize)
            return diag(DiagCode::MetadataTooLarge, "the new onMetaData (" +
                                                        std::to_string(bodyLen) +
                                                        " bytes) is larger than a tag can hold");
    }
    NewLayout layout;
    layout.metadataTagBytes = kTagHeaderSize + bodySize + kPrevSizeSize;
    layout.keptStart = kNewHeaderBytes + layout.metadataTagBytes;
    layout.fileSize =
        layout.keptStart + (scan.fileSize - scan.header.firstTagOffset() - removedBytes(scan));
    auto nulls = static_cast<std::uint32_t>(bodySize - bodyLen - kPaddingOverhead);
    auto body = encodeMetadataBody(scan, layout, options.nowMs, nulls);
    if (body.size() != bodySize)
        return diag(DiagCode::Io, "internal: onMetaData size changed between passes");
    plan.newFileSize = layout.fileSize;
    plan.keyframes = scan.keyframes.size();
    plan.duration = scan.durationSeconds();
    if (plan.inPlace) {
        plan.head = std::move(body);
        plan.headOffset = kNewHeaderBytes + kTagHeaderSize;
    } else {
        plan.head = fullHead(scan, std::move(body));
        plan.copies = keptRanges(scan);
    }
    return plan;
}

}  // namespace flv
