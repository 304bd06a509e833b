#include "flv/avc_order.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "flv/bit_reader.h"
#include "flv/bytes.h"

namespace flv::avc {

namespace {

// RBSP bytes past the last one a rewrite touches that decide where emulation prevention goes.
constexpr std::size_t kEscapeReach = 3;

std::uint32_t mask(int bits) { return (std::uint32_t{1} << bits) - 1; }

// The first `want` RBSP bytes of an escaped NAL payload, and how many escaped bytes they took.
struct RbspPrefix {
    std::vector<std::uint8_t> bytes;
    std::vector<std::size_t> escapes;  // positions of the 03 bytes in the escaped form
    std::size_t escapedLength = 0;
};

RbspPrefix unescapePrefix(std::span<const std::uint8_t> in, std::size_t want) {
    RbspPrefix p;
    int zeros = 0;
    std::size_t i = 0;
    for (; i < in.size() && p.bytes.size() < want; ++i) {
        if (zeros >= 2 && in[i] == 3) {
            p.escapes.push_back(i);
            zeros = 0;
            continue;
        }
        zeros = in[i] == 0 ? zeros + 1 : 0;
        p.bytes.push_back(in[i]);
    }
    p.escapedLength = i;
    return p;
}

std::vector<std::uint8_t> escape(std::span<const std::uint8_t> rbsp,
                                 std::vector<std::size_t>& escapes) {
    std::vector<std::uint8_t> out;
    out.reserve(rbsp.size() + 4);
    int zeros = 0;
    for (std::uint8_t b : rbsp) {
        if (zeros >= 2 && b <= 3) {
            escapes.push_back(out.size());
            out.push_back(3);
            zeros = 0;
        }
        zeros = b == 0 ? zeros + 1 : 0;
        out.push_back(b);
    }
    return out;
}

void putBits(std::vector<std::uint8_t>& rbsp, std::size_t at, int bits, std::uint32_t v) {
    for (int i = 0; i < bits; ++i) {
        const std::size_t p = at + static_cast<std::size_t>(i);
        const auto bit = static_cast<std::uint8_t>(0x80 >> (p % 8));
        if ((v >> (bits - 1 - i)) & 1)
            rbsp[p / 8] |= bit;
        else
            rbsp[p / 8] &= static_cast<std::uint8_t>(~bit);
    }
}

std::int64_t decodedPoc(const OrderState& s, const SliceHeader& h) {
    if (h.sps->picOrderCountType != 0) return 0;
    const std::int64_t range = std::int64_t{1} << h.sps->log2MaxPocLsb;
    const std::int64_t prevLsb = h.idr ? 0 : s.prevRefLsb;
    const std::int64_t prevMsb = h.idr ? 0 : s.prevRefPoc - s.prevRefLsb;
    const std::int64_t lsb = h.pocLsb;
    std::int64_t msb = prevMsb;
    if (lsb < prevLsb && prevLsb - lsb >= range / 2)
        msb += range;
    else if (lsb > prevLsb && lsb - prevLsb > range / 2)
        msb -= range;
    return msb + lsb;
}

// MSB first, with Exp-Golomb codes.
class BitWriter {
  public:
    void bit(std::uint32_t b) {
        if (bits_ % 8 == 0) out_.push_back(0);
        if (b) out_.back() |= static_cast<std::uint8_t>(0x80 >> (bits_ % 8));
        ++bits_;
    }
    void bits(std::uint32_t v, int n) {
        for (int i = n - 1; i >= 0; --i) bit((v >> i) & 1);
    }
    void ue(std::uint32_t v) {
        const std::uint64_t x = std::uint64_t{v} + 1;
        int len = 0;
        while (x >> (len + 1)) ++len;
        bits(0, len);
        for (int i = len; i >= 0; --i) bit(static_cast<std::uint32_t>((x >> i) & 1));
    }
    void se(std::int32_t v) {
        ue(v > 0 ? static_cast<std::uint32_t>(2 * std::int64_t{v} - 1)
                 : static_cast<std::uint32_t>(-2 * std::int64_t{v}));
    }
    bool aligned() const { return bits_ % 8 == 0; }
    std::vector<std::uint8_t>& bytes() { return out_; }

  private:
    std::vector<std::uint8_t> out_;
    std::size_t bits_ = 0;
};

bool bitAt(std::span<const std::uint8_t> d, std::size_t p) { return (d[p / 8] >> (7 - p % 8)) & 1; }

}  // namespace

void ParamSets::add(std::span<const std::uint8_t> nal) {
    if (nal.empty()) return;
    if (nalType(nal[0]) == nal::kSps) {
        if (auto sps = parseSps(nal)) sps_[sps->id] = *sps;
    } else if (nalType(nal[0]) == nal::kPps) {
        auto rbsp = unescapePrefix(nal.subspan(1), 64);
        BitReader br(rbsp.bytes);
        const std::uint32_t id = br.ue();
        PpsInfo p;
        p.spsId = br.ue();
        p.cabac = br.bit();
        p.bottomFieldPicOrder = br.bit();
        p.sliceGroups = br.ue() > 0;
        if (!p.sliceGroups) {
            br.ue();     // num_ref_idx_l0_default_active_minus1
            br.ue();     // num_ref_idx_l1_default_active_minus1
            br.bits(3);  // weighted_pred_flag, weighted_bipred_idc
            br.se();     // pic_init_qp_minus26
            br.se();     // pic_init_qs_minus26
            br.se();     // chroma_qp_index_offset
            p.deblockingControl = br.bit();
            br.bit();  // constrained_intra_pred_flag
            p.redundantPicCount = br.bit();
        }
        if (!br.failed() && id < 256 && p.spsId < 32) pps_[id] = p;
    }
}

std::optional<int> ParamSets::addRecord(std::span<const std::uint8_t> record) {
    ByteReader in(record);
    in.take(4);  // version, profile, compatibility, level
    const int lengthSize = (in.u8() & 3) + 1;
    for (int lists = 0; lists < 2 && !in.failed(); ++lists) {
        const int count = lists == 0 ? in.u8() & 0x1F : in.u8();
        for (int i = 0; i < count && !in.failed(); ++i) {
            auto nal = in.take(in.u16());
            if (!in.failed()) add(nal);
        }
    }
    if (in.failed() || lengthSize == 3) return std::nullopt;
    return lengthSize;
}

const PpsInfo* ParamSets::pps(std::uint32_t id) const {
    auto p = pps_.find(id);
    return p == pps_.end() ? nullptr : &p->second;
}

const SpsInfo* ParamSets::forPps(std::uint32_t ppsId) const {
    const PpsInfo* p = pps(ppsId);
    if (!p) return nullptr;
    auto s = sps_.find(p->spsId);
    return s == sps_.end() ? nullptr : &s->second;
}

std::optional<SliceHeader> readSliceHeader(std::span<const std::uint8_t> nal,
                                           const ParamSets& sets) {
    if (nal.size() < 2 || !isSlice(nalType(nal[0]))) return std::nullopt;
    // Everything up to the picture order count fits in 32 bytes.
    auto rbsp = unescapePrefix(nal.subspan(1), 32);
    BitReader br(rbsp.bytes);
    SliceHeader h;
    h.idr = nalType(nal[0]) == nal::kIdrSlice;
    h.reference = (nal[0] & 0x60) != 0;
    h.firstInPicture = br.ue() == 0;
    br.ue();  // slice_type
    const std::uint32_t ppsId = br.ue();
    h.pps = sets.pps(ppsId);
    h.sps = sets.forPps(ppsId);
    if (!h.sps) return std::nullopt;
    if (h.sps->separateColourPlanes) br.bits(2);
    h.frameNumBit = br.position();
    h.frameNum = br.bits(h.sps->log2MaxFrameNum);
    if (!h.sps->frameMbsOnly && br.bit()) br.bit();  // field_pic_flag, bottom_field_flag
    if (h.idr) br.ue();                              // idr_pic_id
    if (h.sps->picOrderCountType == 0) {
        h.pocLsbBit = br.position();
        h.pocLsb = br.bits(h.sps->log2MaxPocLsb);
    }
    if (br.failed()) return std::nullopt;
    return h;
}

void advance(OrderState& state, const SliceHeader& first) {
    const std::int64_t poc = decodedPoc(state, first);
    if (first.idr || !state.seen) state.maxPoc = poc;
    state.maxPoc = std::max(state.maxPoc, poc);
    if (first.reference || !state.seen) {
        state.prevRefFrameNum = first.frameNum;
        state.prevRefPoc = poc;
        state.prevRefLsb = first.sps->picOrderCountType == 0 ? first.pocLsb : 0;
    }
    state.seen = true;
}

std::optional<Renumbering> continueFrom(const OrderState& before, const SliceHeader& first) {
    if (!before.seen || first.idr) return std::nullopt;
    const SpsInfo& sps = *first.sps;
    Renumbering r;
    // A gap of as many frame numbers as the decoder keeps references: it fills the gap with
    // stand-ins, which push the previous piece's pictures out of its references and take the
    // frame numbers that the piece's own marking commands name (an encoder drops the
    // references from before an open group's I-picture right after it). Only the numbers
    // matter: the piece never shows or predicts from them.
    const std::uint32_t gap =
        std::min<std::uint32_t>(sps.maxRefFrames, mask(sps.log2MaxFrameNum) / 2);
    r.frameNumAdd = (before.prevRefFrameNum + 1 + gap - first.frameNum) & mask(sps.log2MaxFrameNum);
    if (sps.picOrderCountType == 0) {
        // Shown one frame (two steps) after every picture so far, and after the stand-ins,
        // which a decoder may count on from the last reference picture in such steps; the
        // decoder only sees that if the count moves less than half its range from there.
        const std::int64_t range = std::int64_t{1} << sps.log2MaxPocLsb;
        const std::int64_t step =
            std::max(before.maxPoc, before.prevRefPoc + 2 * std::int64_t{gap}) + 2 -
            before.prevRefPoc;
        if (step >= range / 2) return std::nullopt;
        const auto lsb = static_cast<std::uint32_t>((before.prevRefLsb + step) & (range - 1));
        r.pocLsbAdd = (lsb - first.pocLsb) & mask(sps.log2MaxPocLsb);
    }
    return r;
}

SliceHeader renumbered(SliceHeader header, const Renumbering& change) {
    header.frameNum = (header.frameNum + change.frameNumAdd) & mask(header.sps->log2MaxFrameNum);
    if (header.sps->picOrderCountType == 0)
        header.pocLsb = (header.pocLsb + change.pocLsbAdd) & mask(header.sps->log2MaxPocLsb);
    return header;
}

bool renumberSlice(std::span<std::uint8_t> nal, const SliceHeader& header,
                   const Renumbering& change) {
    const SpsInfo& sps = *header.sps;
    const bool poc = sps.picOrderCountType == 0;
    const std::size_t lastBit =
        poc ? header.pocLsbBit + static_cast<std::size_t>(sps.log2MaxPocLsb)
            : header.frameNumBit + static_cast<std::size_t>(sps.log2MaxFrameNum);
    const std::size_t want = (lastBit + 7) / 8 + kEscapeReach;
    auto payload = nal.subspan(1);
    RbspPrefix old = unescapePrefix(payload, want);
    if (old.bytes.size() * 8 < lastBit) return false;
    const SliceHeader next = renumbered(header, change);
    std::vector<std::uint8_t> rbsp = old.bytes;
    putBits(rbsp, header.frameNumBit, sps.log2MaxFrameNum, next.frameNum);
    if (poc) putBits(rbsp, header.pocLsbBit, sps.log2MaxPocLsb, next.pocLsb);
    std::vector<std::size_t> escapes;
    auto escaped = escape(rbsp, escapes);
    // The prefix ends kEscapeReach bytes past the change, so an escape it would need is
    // inside it; one that only the original needed there moves bytes too.
    if (escapes != old.escapes || escaped.size() != old.escapedLength) return false;
    std::copy(escaped.begin(), escaped.end(), payload.begin());
    return true;
}

std::optional<std::vector<std::uint8_t>> idrFromISlice(std::span<const std::uint8_t> nal,
                                                       const SliceHeader& header) {
    if (header.idr || !header.reference || !header.sps || !header.pps || nal.size() < 2)
        return std::nullopt;
    const SpsInfo& sps = *header.sps;
    const PpsInfo& pps = *header.pps;
    if (sps.picOrderCountType == 1 || pps.sliceGroups) return std::nullopt;
    const std::vector<std::uint8_t> rbsp = unescapeRbsp(nal.subspan(1));
    BitReader br(rbsp);
    BitWriter out;
    out.ue(br.ue());  // first_mb_in_slice
    const std::uint32_t sliceType = br.ue();
    if (sliceType % 5 != 2) return std::nullopt;  // I only: no reference lists or weights
    out.ue(sliceType);
    out.ue(br.ue());  // pic_parameter_set_id
    if (sps.separateColourPlanes) out.bits(br.bits(2), 2);
    br.bits(sps.log2MaxFrameNum);
    out.bits(0, sps.log2MaxFrameNum);
    bool field = false;
    if (!sps.frameMbsOnly) {
        field = br.bit();
        out.bit(field);
        if (field) out.bit(br.bit());
    }
    out.ue(1);  // idr_pic_id: unlike an IDR just before (an encoder's starts with 0)
    if (sps.picOrderCountType == 0) {
        out.bits(br.bits(sps.log2MaxPocLsb), sps.log2MaxPocLsb);
        if (pps.bottomFieldPicOrder && !field) out.se(br.se());
    }
    if (pps.redundantPicCount) out.ue(br.ue());
    // The marking commands go: an IDR drops every reference anyway.
    if (br.bit()) {
        for (std::uint32_t op = br.ue(); op != 0 && !br.failed(); op = br.ue()) {
            if (op == 1 || op == 3) br.ue();  // difference_of_pic_nums_minus1
            if (op == 2) br.ue();             // long_term_pic_num
            if (op == 3 || op == 6) br.ue();  // long_term_frame_idx
            if (op == 4) br.ue();             // max_long_term_frame_idx_plus1
        }
    }
    out.bits(0, 2);   // no_output_of_prior_pics_flag, long_term_reference_flag
    out.se(br.se());  // slice_qp_delta
    if (pps.deblockingControl) {
        const std::uint32_t filter = br.ue();
        out.ue(filter);
        if (filter != 1) {
            out.se(br.se());
            out.se(br.se());
        }
    }
    if (br.failed()) return std::nullopt;
    std::vector<std::uint8_t>& bytes = out.bytes();
    if (pps.cabac) {
        // The coded data starts on a byte boundary, after cabac_alignment_one_bits.
        while (br.position() % 8)
            if (!br.bit()) return std::nullopt;
        while (!out.aligned()) out.bit(1);
        bytes.insert(bytes.end(), rbsp.begin() + static_cast<std::ptrdiff_t>(br.position() / 8),
                     rbsp.end());
    } else {
        // The data bits move with the header's end, up to the stop bit.
        std::size_t stop = rbsp.size() * 8;
        while (stop > 0 && !bitAt(rbsp, stop - 1)) --stop;
        if (stop == 0 || stop - 1 < br.position()) return std::nullopt;
        for (std::size_t p = br.position(); p < stop - 1; ++p) out.bit(bitAt(rbsp, p));
        out.bit(1);
        while (!out.aligned()) out.bit(0);
    }
    std::vector<std::size_t> escapes;
    std::vector<std::uint8_t> result = escape(bytes, escapes);
    result.insert(result.begin(), static_cast<std::uint8_t>((nal[0] & 0xE0) | nal::kIdrSlice));
    return result;
}

}  // namespace flv::avc
