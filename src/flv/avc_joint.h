#pragma once
// Carries H.264 frame numbers and picture order from one joined FLV piece into the next (see
// avc_order.h): fed every AVC configuration and picture tag body in the order they are
// written, it renumbers a piece that starts at an open group's I-picture, up to its first IDR.
#include <array>
#include <cstdint>
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

    // The first picture tag body (whole) of a piece, with the configuration before it:
    // whether the piece starts at an I-picture that is not an IDR.
    static bool startsOpen(std::span<const std::uint8_t> config,
                           std::span<const std::uint8_t> picture);

    void configuration(std::span<const std::uint8_t> body);
    // The next piece's tags follow.
    void startPiece() { pieceStarts_ = true; }
    // A picture tag body (whole, as it will be written); answers the bytes that change in it.
    std::vector<Patch> picture(std::span<const std::uint8_t> body);

  private:
    avc::ParamSets sets_;
    int lengthSize_ = 4;
    avc::OrderState state_;
    bool pieceStarts_ = false;
    std::optional<avc::Renumbering> change_;  // in force until the piece's first IDR
};

}  // namespace flv
