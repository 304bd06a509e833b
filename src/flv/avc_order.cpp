#include "flv/avc_order.h"

#include <algorithm>
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

}  // namespace

void ParamSets::add(std::span<const std::uint8_t> nal) {
    if (nal.empty()) return;
    if (nalType(nal[0]) == nal::kSps) {
        if (auto sps = parseSps(nal)) sps_[sps->id] = *sps;
    } else if (nalType(nal[0]) == nal::kPps) {
        auto rbsp = unescapePrefix(nal.subspan(1), 8);
        BitReader br(rbsp.bytes);
        const std::uint32_t pps = br.ue(), sps = br.ue();
        if (!br.failed() && pps < 256 && sps < 32) ppsToSps_[pps] = sps;
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

const SpsInfo* ParamSets::forPps(std::uint32_t ppsId) const {
    auto p = ppsToSps_.find(ppsId);
    if (p == ppsToSps_.end()) return nullptr;
    auto s = sps_.find(p->second);
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
    h.sps = sets.forPps(br.ue());
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

}  // namespace flv::avc
