#pragma once
// H.264 sequence parameter set: enough to know the cropped picture size and to read a slice
// header's frame number and picture order, for every profile (high profiles carry chroma
// format, bit depths and scaling lists first).
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "flv/codec_headers.h"

namespace flv {

struct SpsInfo {
    int profileIdc = 0;
    int levelIdc = 0;
    int chromaFormatIdc = 1;
    Dimensions size;
    // What a slice header's layout depends on.
    std::uint32_t id = 0;
    bool separateColourPlanes = false;
    int log2MaxFrameNum = 4;
    int picOrderCountType = 0;
    int log2MaxPocLsb = 4;  // picture order count type 0 only
    std::uint32_t maxRefFrames = 0;
    bool frameMbsOnly = true;
};

// nal: a whole SPS NAL unit including its one-byte header, with emulation prevention.
std::optional<SpsInfo> parseSps(std::span<const std::uint8_t> nal);

// Removes emulation prevention bytes (00 00 03 -> 00 00).
std::vector<std::uint8_t> unescapeRbsp(std::span<const std::uint8_t> nal);

}  // namespace flv
