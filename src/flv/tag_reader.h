#pragma once
// Walks an FLV file tag by tag, checking every tag's framing (type, size against the end
// of the file, the PreviousTagSize after it) without reading the bodies.
#include <array>
#include <cstdint>
#include <optional>
#include <span>

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
    // Continues at the tag header at offset (one that next() returned earlier).
    void seek(std::uint64_t offset) { pos_ = offset; }
    // Up to maxBytes of the body's beginning (maxBytes <= WindowReader::kWindow).
    Result<std::span<const std::uint8_t>> bodyPrefix(const TagHeader& tag, std::size_t maxBytes);

    // Bytes of each body kept by next(), so the usual prefix reads cost no system call
    // after the window has moved on to the PreviousTagSize.
    static constexpr std::size_t kKeptPrefix = 64;

  private:
    WindowReader& in_;
    std::uint64_t pos_ = 0;
    std::uint64_t keptFor_ = UINT64_MAX;  // body offset the kept prefix belongs to
    std::array<std::uint8_t, kKeptPrefix> kept_{};
    std::size_t keptLen_ = 0;
};

}  // namespace flv
