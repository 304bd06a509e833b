#pragma once
// Walks an FLV file tag by tag, checking every tag's framing (type, size against the end
// of the file, the PreviousTagSize after it) without reading the bodies.
#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <optional>
#include <span>
#include <utility>

#include "flv/bytes.h"
#include "flv/diag.h"
#include "flv/io.h"

namespace flv {

namespace tagtype {
constexpr std::uint8_t kAudio = 8, kVideo = 9, kScript = 18;
}

constexpr std::uint32_t kTagHeaderSize = 11;
constexpr std::uint32_t kPrevSizeSize = 4;
constexpr std::uint32_t kMaxTagDataSize = 0xFFFFFF;

struct FileHeader {
    std::uint8_t version = 1;
    std::uint8_t flags = 0;  // 4: audio, 1: video
    std::uint32_t dataOffset = 9;
    std::uint32_t prevTagSize0 = 0;
    std::uint64_t firstTagOffset() const { return std::uint64_t{dataOffset} + kPrevSizeSize; }
};

struct TagHeader {
    std::uint64_t offset = 0;  // of the tag header in the file
    std::uint8_t type = 0;
    std::uint32_t dataSize = 0;
    std::uint32_t timestamp = 0;  // 24 bits plus the extended byte
    std::uint64_t bodyOffset() const { return offset + kTagHeaderSize; }
    // Header, body and the PreviousTagSize that follows.
    std::uint64_t totalSize() const {
        return std::uint64_t{kTagHeaderSize} + dataSize + kPrevSizeSize;
    }
    std::uint64_t end() const { return offset + totalSize(); }
};

class TagReader {
  public:
    explicit TagReader(WindowReader& in) : in_(in) {}
    Result<FileHeader> readHeader();
    // The next tag, or nullopt at a clean end of file.
    Result<std::optional<TagHeader>> next();
    // The next tag when it lies whole in the window and is sound, without a system call or
    // a diagnostic to build: the common case of a walk, inline. False leaves next() to take
    // it (or to say what is wrong with it).
    bool nextHeld(TagHeader& tag) {
        return nextHeldExcept(
            tag, [](const TagHeader&, std::span<const std::uint8_t>) { return false; });
    }
    // The same over a run of tags: each one held whole and sound goes to
    // taken(tag, keptPrefix) first, and the walk goes on past every tag it answers true for,
    // all in local variables. Answers true with the first tag it declines in tag (and its
    // prefix kept), false when no held tag is left.
    template <class Taken>
    [[gnu::always_inline]] bool nextHeldExcept(TagHeader& tag, Taken&& taken) {
        const auto held = in_.held(pos_);
        const std::uint8_t* h = held.data();
        const std::uint8_t* const end = h + held.size();
        std::uint64_t pos = pos_;
        for (;;) {
            if (static_cast<std::size_t>(end - h) < kTagHeaderSize) break;
            const std::uint32_t typeAndSize = be32(h);
            const auto type = static_cast<std::uint8_t>(typeAndSize >> 24);
            const std::uint32_t dataSize = typeAndSize & 0xFFFFFF;
            if (type != tagtype::kAudio && type != tagtype::kVideo && type != tagtype::kScript)
                break;
            const std::uint64_t total = std::uint64_t{kTagHeaderSize} + dataSize + kPrevSizeSize;
            if (total > static_cast<std::size_t>(end - h) ||
                be32(h + kTagHeaderSize + dataSize) != kTagHeaderSize + dataSize)
                break;
            tag.offset = pos;
            tag.type = type;
            tag.dataSize = dataSize;
            // 24 bits, then the extended byte above them.
            tag.timestamp = std::rotr(be32(h + 4), 8);
            const std::span<const std::uint8_t> prefix(
                h + kTagHeaderSize, std::min<std::size_t>(kKeptPrefix, dataSize));
            h += total;
            pos += total;
            if (!taken(std::as_const(tag), prefix)) {
                pos_ = pos;
                prefix_ = prefix;
                prefixInWindow_ = true;
                windowGen_ = in_.generation();
                keptFor_ = tag.bodyOffset();
                return true;
            }
        }
        pos_ = pos;
        return false;
    }
    // The first kKeptPrefix bytes of the body of the tag just taken (fewer if it is shorter),
    // valid until the window moves.
    std::span<const std::uint8_t> keptPrefix() const { return prefix_; }
    // Continues at the tag header at offset (one that next() returned earlier).
    void seek(std::uint64_t offset) { pos_ = offset; }
    // Up to maxBytes of the body's beginning (maxBytes <= WindowReader::kWindow).
    Result<std::span<const std::uint8_t>> bodyPrefix(const TagHeader& tag, std::size_t maxBytes);

    // Bytes of each body kept by next(), so the usual prefix reads cost no system call
    // after the window has moved on to the PreviousTagSize.
    static constexpr std::size_t kKeptPrefix = 64;

  private:
    static constexpr std::uint32_t kLargeBody = 16 * 1024;
    static constexpr std::size_t kAfterLargeBody = 4 * 1024;

    WindowReader& in_;
    std::uint64_t pos_ = 0;
    std::uint64_t keptFor_ = UINT64_MAX;  // body offset the kept prefix belongs to
    // The kept prefix: in kept_, or in the window while its generation is windowGen_.
    std::span<const std::uint8_t> prefix_;
    bool prefixInWindow_ = false;
    std::uint64_t windowGen_ = 0;
    std::array<std::uint8_t, kKeptPrefix> kept_{};
};

}  // namespace flv
