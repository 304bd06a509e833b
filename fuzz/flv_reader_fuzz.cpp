// Any bytes as an FLV file: the scan must answer a value or a diagnostic, never crash,
// hang or read out of bounds; whatever it accepts must plan a rewrite.
#include <cstddef>
#include <cstdint>
#include <span>

#include "flv/amf0.h"
#include "flv/codec_headers.h"
#include "flv/h264_sps.h"
#include "flv/io.h"
#include "flv/plan.h"
#include "flv/scan.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::span<const std::uint8_t> bytes(data, size);
    flv::MemorySource src(bytes);
    auto scan = flv::scanFlv(src);
    if (scan) {
        auto plan = flv::planRewrite(*scan, {});
        if (plan && !plan->inPlace && plan->head.size() < 13) __builtin_trap();
    } else {
        (void)scan.error().text();
    }
    // The parsers on their own, on the raw bytes.
    flv::ByteReader in(bytes);
    (void)flv::decodeAmf(in);
    (void)flv::videoDimensions(bytes);
    (void)flv::audioFormat(bytes);
    (void)flv::parseSps(bytes);
    (void)flv::parseAudioSpecificConfig(bytes);
    return 0;
}
