#include "flv/avc_joint.h"

#include <algorithm>

#include "flv/codec_headers.h"

namespace flv {

namespace {

// Calls f(offset, length) for each NAL unit of a picture from `at` on; false where the units
// do not fill the body.
template <typename F>
bool forEachNal(std::span<const std::uint8_t> body, std::size_t at, int lengthSize, F&& f) {
    while (at < body.size()) {
        if (body.size() - at < static_cast<std::size_t>(lengthSize)) return false;
        std::size_t n = 0;
        for (int i = 0; i < lengthSize; ++i) n = n << 8 | body[at + static_cast<std::size_t>(i)];
        at += static_cast<std::size_t>(lengthSize);
        if (n > body.size() - at) return false;
        if (!f(at, n)) return true;
        at += n;
    }
    return true;
}

std::optional<int> configure(avc::ParamSets& sets, std::span<const std::uint8_t> config,
                             std::size_t head) {
    if (config.size() <= head) return std::nullopt;
    return sets.addRecord(config.subspan(head));
}

}  // namespace

bool AvcJoint::startsOpen(std::span<const std::uint8_t> config,
                          std::span<const std::uint8_t> picture) const {
    avc::ParamSets sets;
    auto lengthSize = configure(sets, config, head_);
    if (!lengthSize) return false;
    bool open = false;
    forEachNal(picture, head_, *lengthSize, [&](std::size_t at, std::size_t n) {
        auto nal = picture.subspan(at, n);
        sets.add(nal);
        if (nal.empty() || !avc::isSlice(avc::nalType(nal[0]))) return true;
        auto h = avc::readSliceHeader(nal, sets);
        open = h && !h->idr;
        return false;
    });
    return open;
}

void AvcJoint::configuration(std::span<const std::uint8_t> body) {
    if (auto n = configure(sets_, body, head_)) lengthSize_ = *n;
}

void AvcJoint::startPiece() {
    pieceStarts_ = true;
    gaveUp_ = false;
}

std::optional<std::vector<std::uint8_t>> AvcJoint::restartAsIdr(
    std::span<const std::uint8_t> body) {
    pieceStarts_ = false;
    change_.reset();
    std::vector<std::uint8_t> out(
        body.begin(), body.begin() + static_cast<std::ptrdiff_t>(std::min(head_, body.size())));
    std::optional<avc::SliceHeader> first;
    bool failed = false;
    const bool framed = forEachNal(body, head_, lengthSize_, [&](std::size_t at, std::size_t n) {
        auto nal = body.subspan(at, n);
        sets_.add(nal);
        std::optional<std::vector<std::uint8_t>> idr;
        if (!nal.empty() && avc::isSlice(avc::nalType(nal[0]))) {
            auto h = avc::readSliceHeader(nal, sets_);
            if (h && !first) first = h;
            if (h) idr = avc::idrFromISlice(nal, *h);
            if (!idr) failed = true;
        }
        const auto unit = idr ? std::span<const std::uint8_t>(*idr) : nal;
        if (lengthSize_ < 4 && unit.size() >> (8 * lengthSize_)) failed = true;
        for (int i = lengthSize_ - 1; i >= 0; --i)
            out.push_back(static_cast<std::uint8_t>(unit.size() >> (8 * i)));
        out.insert(out.end(), unit.begin(), unit.end());
        return !failed;
    });
    if (!framed || failed || !first) return std::nullopt;
    const int bits = first->sps->log2MaxFrameNum;
    change_ = avc::Renumbering{(0 - first->frameNum) & ((std::uint32_t{1} << bits) - 1), 0};
    avc::SliceHeader idr = avc::renumbered(*first, *change_);
    idr.idr = true;
    advance(state_, idr);
    return out;
}

std::vector<AvcJoint::Patch> AvcJoint::picture(std::span<const std::uint8_t> body) {
    std::vector<std::uint8_t> copy;
    std::optional<avc::SliceHeader> first;
    bool failed = false;
    forEachNal(body, head_, lengthSize_, [&](std::size_t at, std::size_t n) {
        auto nal = body.subspan(at, n);
        sets_.add(nal);
        if (nal.empty() || !avc::isSlice(avc::nalType(nal[0]))) return true;
        auto h = avc::readSliceHeader(nal, sets_);
        if (!h) return true;
        if (!first) {
            first = h;
            if (pieceStarts_) change_ = avc::continueFrom(state_, *h);
            pieceStarts_ = false;
            if (h->idr) change_.reset();
        }
        if (change_) {
            if (copy.empty()) copy.assign(body.begin(), body.end());
            if (!avc::renumberSlice(std::span(copy).subspan(at, n), *h, *change_)) failed = true;
        }
        return !failed;
    });
    std::vector<Patch> patches;
    // Whole four-byte cells from the body's start; a change in a last, shorter cell cannot be
    // patched (headers lie at the start of long units, so it does not happen in practice).
    for (std::size_t at = 0; !copy.empty() && !failed && at < body.size(); at += 4) {
        const std::size_t n = std::min<std::size_t>(4, body.size() - at);
        if (std::equal(body.begin() + at, body.begin() + at + n, copy.begin() + at)) continue;
        if (n < 4) {
            failed = true;
            break;
        }
        Patch p{at, {}};
        std::copy_n(copy.begin() + at, 4, p.bytes.begin());
        patches.push_back(p);
    }
    if (failed) {
        // The piece goes on unrenumbered from here: an MP4 part is then left as it was (see
        // gaveUp), an FLV piece keeps the pictures renumbered before. Rare: it takes new
        // numbers that form 00 00 0x with the bytes around them.
        change_.reset();
        gaveUp_ = true;
        patches.clear();
    }
    if (first) advance(state_, change_ ? avc::renumbered(*first, *change_) : *first);
    return patches;
}

}  // namespace flv
