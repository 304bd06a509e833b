#include "flv/tag_reader.h"

#include <algorithm>
#include <string>

#include "flv/bytes.h"

namespace flv {

Result<FileHeader> TagReader::readHeader() {
    std::uint64_t size = in_.size();
    if (size < 3) return diagAt(DiagCode::NotFlv, 0, "not an FLV file (no FLV signature)");
    auto sig = in_.read(0, 3);
    if (!sig) return sig.error();
    if ((*sig)[0] != 'F' || (*sig)[1] != 'L' || (*sig)[2] != 'V')
        return diagAt(DiagCode::NotFlv, 0, "not an FLV file (no FLV signature)");
    if (size < 13) return diagAt(DiagCode::TruncatedTag, size, "file ends inside the FLV header");
    auto h = in_.read(0, 9);
    if (!h) return h.error();
    FileHeader fh;
    fh.version = (*h)[3];
    fh.flags = (*h)[4];
    fh.dataOffset = be32(h->data() + 5);
    if (fh.dataOffset < 9 || fh.dataOffset > 1024 * 1024)
        return diagAt(DiagCode::BadHeader, 5,
                      "FLV header data offset " + std::to_string(fh.dataOffset) + " is invalid");
    if (fh.firstTagOffset() > size)
        return diagAt(DiagCode::TruncatedTag, size, "file ends inside the FLV header");
    auto p = in_.read(fh.dataOffset, kPrevSizeSize);
    if (!p) return p.error();
    fh.prevTagSize0 = be32(p->data());
    pos_ = fh.firstTagOffset();
    return fh;
}

Result<std::optional<TagHeader>> TagReader::next() {
    TagHeader held;
    if (nextHeld(held)) return std::optional<TagHeader>{held};
    const std::uint64_t size = in_.size();
    if (pos_ == size) return std::optional<TagHeader>{};
    if (size - pos_ < kTagHeaderSize)
        return diagAt(DiagCode::TruncatedTag, pos_, "file ends inside a tag header");
    auto h = in_.read(pos_, kTagHeaderSize);
    if (!h) return h.error();
    TagHeader tag;
    tag.offset = pos_;
    tag.type = (*h)[0];
    tag.dataSize = be24(h->data() + 1);
    tag.timestamp = be24(h->data() + 4) | std::uint32_t{(*h)[7]} << 24;
    if (tag.type != tagtype::kAudio && tag.type != tagtype::kVideo && tag.type != tagtype::kScript)
        return diagAt(DiagCode::UnknownTagType, pos_,
                      "unknown tag type " + std::to_string(tag.type));
    if (tag.bodyOffset() + tag.dataSize > size)
        return diagAt(
            DiagCode::TagPastEnd, pos_,
            "tag data (" + std::to_string(tag.dataSize) + " bytes) runs past the end of the file");
    const std::size_t keptLen = std::min<std::size_t>(kKeptPrefix, tag.dataSize);
    auto prefix = in_.read(tag.bodyOffset(), keptLen);
    if (!prefix) return prefix.error();
    std::copy(prefix->begin(), prefix->end(), kept_.begin());
    prefix_ = std::span<const std::uint8_t>(kept_.data(), keptLen);
    prefixInWindow_ = false;
    keptFor_ = tag.bodyOffset();
    std::uint64_t prevAt = tag.bodyOffset() + tag.dataSize;
    if (size - prevAt < kPrevSizeSize)
        return diagAt(DiagCode::TruncatedTag, prevAt, "file ends before a PreviousTagSize");
    // After a large body the walk reads little: the next tags are as likely large, and their
    // bodies need not pass through memory at all.
    auto p = in_.read(prevAt, kPrevSizeSize,
                      tag.dataSize > kLargeBody ? kAfterLargeBody : WindowReader::kBlock);
    if (!p) return p.error();
    std::uint32_t prev = be32(p->data());
    if (prev != kTagHeaderSize + tag.dataSize)
        return diagAt(DiagCode::PrevTagSizeMismatch, prevAt,
                      "PreviousTagSize " + std::to_string(prev) + " does not match the tag size " +
                          std::to_string(kTagHeaderSize + tag.dataSize));
    pos_ = tag.end();
    return std::optional<TagHeader>{tag};
}

Result<std::span<const std::uint8_t>> TagReader::bodyPrefix(const TagHeader& tag,
                                                            std::size_t maxBytes) {
    std::size_t n = std::min<std::size_t>(maxBytes, tag.dataSize);
    if (tag.bodyOffset() == keptFor_ && n <= prefix_.size() &&
        (!prefixInWindow_ || windowGen_ == in_.generation()))
        return prefix_.first(n);
    return in_.read(tag.bodyOffset(), n);
}

}  // namespace flv
