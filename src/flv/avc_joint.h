#pragma once
// Carries H.264 frame numbers and picture order from one joined piece into the next (see
// avc_order.h): fed every configuration and picture in the order they are written, it
// renumbers a piece that starts at an open group's I-picture, up to its first IDR. Pictures
// come as FLV tag bodies or MP4 samples: NAL units, each behind its length, after a head.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "flv/avc_order.h"

namespace flv {

class AvcJoint {
  public:
    // Four changed bytes of a tag body, at offset from its first byte.
    struct Patch {
        std::size_t offset = 0;
        std::array<std::uint8_t, 4> bytes{};
    };

    // head: the bytes before the configuration record or the first NAL unit; an FLV tag
    // body's five (frame type and codec, packet type, composition time), or none.
    explicit AvcJoint(std::size_t head = kFlvHead) : head_(head) {}
    static constexpr std::size_t kFlvHead = 5;

    // A piece's first picture (whole), with the configuration before it: whether the piece
    // starts at an I-picture that is not an IDR.
    bool startsOpen(std::span<const std::uint8_t> config,
                    std::span<const std::uint8_t> picture) const;

    void configuration(std::span<const std::uint8_t> body);
    // The next piece's tags follow.
    void startPiece();
    // Instead of going on from the pieces before: the piece's first picture, an open group's
    // I-picture, made an IDR picture (see avc::idrFromISlice), so that it starts a new
    // sequence; picture() then renumbers the piece's later pictures from it. Answers the new
    // picture, or nothing where it is an IDR already or cannot be rewritten (and then nothing
    // is renumbered).
    std::optional<std::vector<std::uint8_t>> restartAsIdr(std::span<const std::uint8_t> body);

    // A picture (whole, as it will be written); answers the bytes that change in it.
    std::vector<Patch> picture(std::span<const std::uint8_t> body);
    // Whether the current piece's pictures are still being renumbered (or may be: before its
    // first picture).
    bool renumbering() const { return pieceStarts_ || change_.has_value(); }
    // Whether a piece's renumbering was given up because a picture could not be rewritten in
    // place (its pictures from there on, and the ones before, are then not all alike).
    bool gaveUp() const { return gaveUp_; }

  private:
    std::size_t head_;
    avc::ParamSets sets_;
    int lengthSize_ = 4;
    avc::OrderState state_;
    bool pieceStarts_ = false;
    std::optional<avc::Renumbering> change_;  // in force until the piece's first IDR
    bool gaveUp_ = false;
};

}  // namespace flv
