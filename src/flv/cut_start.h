#pragma once
// Where a cut can start and end on a stream of pictures, and which pictures an exact cut must
// rebuild. Plain data in, plain data out: the cut, the exact cut and the player's keyframe
// awareness all ask these same functions, so what the player shows is what a save does.
//
// Pictures are given in decoding order (the order of their tags), each with the time it is
// shown (pts) and its keyframe flag. No picture shown after a keyframe refers to one decoded
// before it. Most groups are closed (x264's and ffmpeg's defaults): nothing decoded after the
// keyframe is shown before it. An open group's leading pictures are decoded after its keyframe
// and shown before it, and refer to the group before: they belong with that group. All times
// are in one clock, milliseconds.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace flv {

struct Picture {
    std::int64_t ptsMs = 0;  // when it is shown
    std::int64_t dtsMs = 0;  // when it is decoded (informational: the list order is decoding)
    bool keyframe = false;
};

// A start mark on a stream. Indices are into the picture list (decoding order).
struct CutStart {
    // The keyframe shown at or before the mark, where a tag-level copy starts; the first
    // keyframe when none is at or before it; nothing when the stream holds no keyframe.
    std::optional<std::size_t> copyFrom;
    // The first keyframe shown at or after the mark, where an exact cut resumes copying
    // (the same as copyFrom when the mark is on a keyframe). Nothing past the last keyframe:
    // an exact cut then rebuilds up to the segment's end.
    std::optional<std::size_t> resumeAt;
    // The pictures an exact cut rebuilds: shown at or after the mark, before resumeAt (and
    // before the end given), in the order they are shown. Empty when the mark is on a keyframe
    // or when no keyframe comes before them (such pictures cannot be decoded at all).
    std::vector<std::size_t> rebuild;
    // Decoding the rebuilt pictures takes the pictures [decodeFrom, decodeTo) in decoding
    // order; decodeFrom is the keyframe before the mark. Both 0 when nothing is rebuilt.
    std::size_t decodeFrom = 0;
    std::size_t decodeTo = 0;

    bool exact() const { return rebuild.empty(); }
};

// endMs: the segment's end mark (pictures shown at or after it are never rebuilt); nothing
// for the end of the stream.
CutStart cutStart(const std::vector<Picture>& pictures, std::int64_t markMs,
                  std::optional<std::int64_t> endMs = std::nullopt);

// An end mark on a stream. A tag-level copy ends after the last picture it needs in decoding
// order; with B-frames that may take pictures shown at or past the end (references of
// pictures shown before it).
struct CutEnd {
    // The last keyframe shown before the end mark; nothing when none is.
    std::optional<std::size_t> lastKey;
    // One past the last picture, in decoding order, that a copy must take so that every
    // picture shown before the end is there.
    std::size_t copyTo = 0;
    // A copy up to copyTo holds pictures shown at or after the end mark.
    bool showsPastEnd = false;
    // When showsPastEnd: the pictures of the last group (from lastKey) shown before the end,
    // in the order they are shown, which an exact cut rebuilds instead of copying that group;
    // the decoding then takes [lastKey, copyTo). Empty otherwise.
    std::vector<std::size_t> rebuild;
};

CutEnd cutEnd(const std::vector<Picture>& pictures, std::int64_t endMs);

// On a sorted list of keyframe times (shown times): the last at or before ms, else nothing.
std::optional<std::int64_t> keyframeAtOrBefore(const std::vector<std::int64_t>& keyTimes,
                                               std::int64_t ms);
// The first after ms / the last before ms (strictly), else nothing: for stepping.
std::optional<std::int64_t> keyframeAfter(const std::vector<std::int64_t>& keyTimes,
                                          std::int64_t ms);
std::optional<std::int64_t> keyframeBefore(const std::vector<std::int64_t>& keyTimes,
                                           std::int64_t ms);

}  // namespace flv
