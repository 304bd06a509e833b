#pragma once
// H.264 frame numbers and picture order across a joint. A piece that starts at an I-picture
// that is not an IDR (an open group of pictures) leaves the decoder holding the previous
// piece's pictures and counts: its own frame numbers then read as lost frames, and its
// picture order counts fall below (or wrap around) the previous piece's, so its pictures come
// out scrambled or not at all. Renumbering the piece's slices until its first IDR, so that
// both counts go on from where the previous piece left them, makes the joint read as one
// stream. Both are fixed-width fields of the slice header, rewritten in place.
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <vector>

#include "flv/h264_sps.h"

namespace flv::avc {

namespace nal {
constexpr int kSlice = 1, kIdrSlice = 5, kSps = 7, kPps = 8;
}

inline int nalType(std::uint8_t header) { return header & 0x1F; }
inline bool isSlice(int type) { return type == nal::kSlice || type == nal::kIdrSlice; }

// What a slice header's layout takes from its picture parameter set.
struct PpsInfo {
    std::uint32_t spsId = 0;
    bool cabac = false;
    bool bottomFieldPicOrder = false;
    bool sliceGroups = false;
    bool deblockingControl = false;
    bool redundantPicCount = false;
};

// The parameter sets in force, from a configuration record and from the stream itself.
class ParamSets {
  public:
    // Takes an SPS or PPS NAL unit (header byte first, escaped); others are ignored.
    void add(std::span<const std::uint8_t> nal);
    // An AVCDecoderConfigurationRecord's sets; answers its NAL length size (1, 2 or 4), or
    // nothing for a record it cannot read.
    std::optional<int> addRecord(std::span<const std::uint8_t> record);
    const PpsInfo* pps(std::uint32_t id) const;
    const SpsInfo* forPps(std::uint32_t ppsId) const;

  private:
    std::map<std::uint32_t, SpsInfo> sps_;
    std::map<std::uint32_t, PpsInfo> pps_;
};

// A slice header as far as the picture order count, with the bit positions of the two
// counted fields in the RBSP after the NAL header byte.
struct SliceHeader {
    bool idr = false;
    bool reference = false;       // nal_ref_idc > 0
    bool firstInPicture = false;  // first_mb_in_slice == 0
    std::uint32_t frameNum = 0;
    std::size_t frameNumBit = 0;
    std::uint32_t pocLsb = 0;
    std::size_t pocLsbBit = 0;
    const SpsInfo* sps = nullptr;
    const PpsInfo* pps = nullptr;
};

// nal: a slice NAL unit (header byte first, escaped); nothing for another unit, an unknown
// PPS or a header cut short.
std::optional<SliceHeader> readSliceHeader(std::span<const std::uint8_t> nal,
                                           const ParamSets& sets);

// What a decoder derives from the pictures so far: the last reference picture's frame
// number and picture order, and the highest picture order since the last IDR.
struct OrderState {
    bool seen = false;
    std::uint32_t prevRefFrameNum = 0;
    std::int64_t prevRefPoc = 0;  // its msb plus its lsb
    std::uint32_t prevRefLsb = 0;
    std::int64_t maxPoc = 0;
};
// Takes a picture's first slice, in decoding order.
void advance(OrderState& state, const SliceHeader& first);

// Added to every frame_num and pic_order_cnt_lsb (modulo their ranges) of a piece's slices
// up to its first IDR.
struct Renumbering {
    std::uint32_t frameNumAdd = 0;
    std::uint32_t pocLsbAdd = 0;
};
// How a piece whose first picture is `first` goes on from `before`: its first picture gets
// the next frame number and is shown after every picture so far. Nothing where no renumbering
// is needed (no pictures before, an IDR first) or none can be made (the jump in picture order
// would exceed half its range).
std::optional<Renumbering> continueFrom(const OrderState& before, const SliceHeader& first);

// Rewrites the slice's two fields in place; false, with nal untouched, where the new bits
// would need emulation prevention bytes in other places than the old ones.
bool renumberSlice(std::span<std::uint8_t> nal, const SliceHeader& header,
                   const Renumbering& change);
// The header as renumberSlice leaves it.
SliceHeader renumbered(SliceHeader header, const Renumbering& change);

// An I-slice of a reference picture that is not an IDR (an open group's keyframe) rewritten
// as an IDR slice: frame number 0, its own idr_pic_id, no marking commands; the rest as it
// was. A decoder then starts a new sequence there, whatever came before. Nothing for another
// slice, or one whose stream uses slice groups or picture order count type 1.
std::optional<std::vector<std::uint8_t>> idrFromISlice(std::span<const std::uint8_t> nal,
                                                       const SliceHeader& header);

}  // namespace flv::avc
