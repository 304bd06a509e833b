#include "flv/h264_sps.h"

#include "flv/bit_reader.h"

namespace flv {

namespace {

bool hasChromaInfo(int profile) {
    switch (profile) {
        case 100:
        case 110:
        case 122:
        case 244:
        case 44:
        case 83:
        case 86:
        case 118:
        case 128:
        case 138:
        case 139:
        case 134:
        case 135:
            return true;
        default:
            return false;
    }
}

void skipScalingList(BitReader& br, int size) {
    std::int64_t last = 8, next = 8;
    for (int j = 0; j < size && !br.failed(); ++j) {
        if (next != 0) next = ((last + br.se()) % 256 + 256) % 256;
        last = next == 0 ? last : next;
    }
}

// Fields between seq_parameter_set_id and log2_max_frame_num of the high profiles.
void skipChromaInfo(BitReader& br, SpsInfo& info) {
    info.chromaFormatIdc = static_cast<int>(br.ue());
    bool separatePlanes = false;
    if (info.chromaFormatIdc == 3) separatePlanes = br.bit();
    info.separateColourPlanes = separatePlanes;
    if (separatePlanes) info.chromaFormatIdc = 0;  // each plane coded as monochrome
    br.ue();                                       // bit_depth_luma_minus8
    br.ue();                                       // bit_depth_chroma_minus8
    br.bit();                                      // qpprime_y_zero_transform_bypass_flag
    if (br.bit()) {                                // seq_scaling_matrix_present_flag
        int lists = (info.chromaFormatIdc == 3 || separatePlanes) ? 12 : 8;
        for (int i = 0; i < lists && !br.failed(); ++i)
            if (br.bit()) skipScalingList(br, i < 6 ? 16 : 64);
    }
}

void readPicOrderCount(BitReader& br, SpsInfo& info) {
    std::uint32_t type = br.ue();
    info.picOrderCountType = static_cast<int>(type);
    if (type == 0) {
        info.log2MaxPocLsb = static_cast<int>(br.ue()) + 4;
    } else if (type == 1) {
        br.bit();  // delta_pic_order_always_zero_flag
        br.se();   // offset_for_non_ref_pic
        br.se();   // offset_for_top_to_bottom_field
        std::uint32_t n = br.ue();
        for (std::uint32_t i = 0; i < n && !br.failed(); ++i) br.se();
    }
}

}  // namespace

std::vector<std::uint8_t> unescapeRbsp(std::span<const std::uint8_t> nal) {
    std::vector<std::uint8_t> out;
    out.reserve(nal.size());
    int zeros = 0;
    for (std::uint8_t b : nal) {
        if (zeros >= 2 && b == 3) {
            zeros = 0;
            continue;
        }
        zeros = b == 0 ? zeros + 1 : 0;
        out.push_back(b);
    }
    return out;
}

std::optional<SpsInfo> parseSps(std::span<const std::uint8_t> nal) {
    if (nal.size() < 4 || (nal[0] & 0x1F) != 7) return std::nullopt;
    auto rbsp = unescapeRbsp(nal.subspan(1));
    BitReader br(rbsp);
    SpsInfo info;
    info.profileIdc = static_cast<int>(br.bits(8));
    br.bits(8);  // constraint flags
    info.levelIdc = static_cast<int>(br.bits(8));
    info.id = br.ue();
    if (hasChromaInfo(info.profileIdc)) skipChromaInfo(br, info);
    info.log2MaxFrameNum = static_cast<int>(br.ue()) + 4;
    readPicOrderCount(br, info);
    info.maxRefFrames = br.ue();
    br.bit();  // gaps_in_frame_num_value_allowed_flag
    std::uint64_t widthMbs = std::uint64_t{br.ue()} + 1;
    std::uint64_t heightMapUnits = std::uint64_t{br.ue()} + 1;
    std::uint32_t frameMbsOnly = br.bit();
    info.frameMbsOnly = frameMbsOnly != 0;
    if (!frameMbsOnly) br.bit();  // mb_adaptive_frame_field_flag
    br.bit();                     // direct_8x8_inference_flag
    std::uint64_t cropLeft = 0, cropRight = 0, cropTop = 0, cropBottom = 0;
    if (br.bit()) {
        cropLeft = br.ue();
        cropRight = br.ue();
        cropTop = br.ue();
        cropBottom = br.ue();
    }
    if (br.failed() || info.id > 31 || info.log2MaxFrameNum > 16 || info.picOrderCountType > 2 ||
        info.log2MaxPocLsb > 16)
        return std::nullopt;
    // Crop units: chroma subsampling horizontally; vertically also doubled for fields.
    std::uint64_t unitX = 1, unitY = 2 - frameMbsOnly;
    if (info.chromaFormatIdc == 1) unitX = 2, unitY *= 2;
    if (info.chromaFormatIdc == 2) unitX = 2;
    std::uint64_t w = widthMbs * 16, h = heightMapUnits * 16 * (2 - frameMbsOnly);
    std::uint64_t cropW = unitX * (cropLeft + cropRight), cropH = unitY * (cropTop + cropBottom);
    if (cropW >= w || cropH >= h || w - cropW > 65535 || h - cropH > 65535) return std::nullopt;
    info.size = {static_cast<std::uint32_t>(w - cropW), static_cast<std::uint32_t>(h - cropH)};
    return info;
}

}  // namespace flv
