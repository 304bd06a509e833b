#pragma once
// One pass over the tag headers of an FLV file, reading only the first bytes of audio and
// video bodies (and the sequence headers): everything the new onMetaData needs, and where
// the old onMetaData tags are. Memory grows with the number of keyframes only.
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <optional>
#include <vector>

#include "flv/amf0.h"
#include "flv/clock.h"
#include "flv/codec_headers.h"
#include "flv/diag.h"
#include "flv/io.h"
#include "flv/tag_reader.h"

namespace flv {

struct Keyframe {
    std::uint64_t offset = 0;  // of the video tag in the scanned file
    std::int64_t timeMs = 0;   // unwrapped timestamp
};

struct ByteRange {
    std::uint64_t offset = 0;
    std::uint64_t length = 0;
    std::uint64_t end() const { return offset + length; }
};

struct StreamStats {
    std::uint64_t tagBytes = 0;   // tag headers and bodies
    std::uint64_t bodyBytes = 0;  // bodies only
    std::uint64_t frames = 0;     // coded frames (video) or audio data tags
    std::int64_t firstMs = 0;     // decoding times
    std::int64_t lastMs = 0;
    // When the frames are shown: later than decoded for AVC pictures, in another order.
    std::int64_t firstShownMs = 0;
    std::int64_t lastShownMs = 0;
    bool present() const { return frames > 0; }
    // Mean spacing of the frames: the length given to the last one.
    double frameDurationMs() const;
};

struct ScanResult {
    FileHeader header;
    std::uint64_t fileSize = 0;
    StreamStats video;
    StreamStats audio;
    std::optional<int> videoCodecId;
    std::optional<Dimensions> dimensions;
    std::optional<AudioFormat> audioFormat;
    bool audioFormatFromConfig = false;  // taken from an AAC AudioSpecificConfig
    std::vector<Keyframe> keyframes;
    bool lastVideoIsKeyframe = false;
    std::vector<ByteRange> metadataTags;  // every onMetaData tag (all are replaced)
    std::optional<AmfValue> oldMetadata;  // the first one that decodes
    std::uint64_t keptScriptBytes = 0;    // other script tags (headers and bodies)
    bool hasCuePoints = false;
    std::uint32_t firstTagMetadataBody = 0;  // body size when the first tag is onMetaData
    std::vector<ClockJump> clockJumps;       // the file keeps them; a repair mends them

    bool hasVideo() const { return video.present() || videoCodecId.has_value(); }
    bool hasAudio() const { return audio.present() || audioFormat.has_value(); }
    // From the first frame to the end of the last, over both streams.
    double durationSeconds() const;
    std::int64_t lastTimestampMs() const;
};

Result<ScanResult> scanFlv(ByteSource& src);

// Unwraps timestamps written without the extended byte (a 24-bit wrap after 16777.216 s):
// each value is taken as the one nearest to the previous, modulo 2^24.
class TimestampUnwrapper {
  public:
    std::int64_t unwrap(std::uint32_t raw) {
        std::int64_t t = std::int64_t{raw} + offset_;
        if (started_) {
            if (t < last_ - kWrap24 / 2) {
                const std::int64_t wrap = wrapOf(last_ - t);
                offset_ += wrap;
                t += wrap;
                lastWrap_ = wrap;
            } else if (t > last_ + kWrap24 / 2 && lastWrap_ != 0 && offset_ >= lastWrap_) {
                t -= lastWrap_;  // a late tag from before the wrap
            }
        }
        started_ = true;
        last_ = t;
        return t;
    }

  private:
    static constexpr std::int64_t kWrap24 = std::int64_t{1} << 24;
    // Writers wrap where their field ends: 24 bits without the extended byte, 31 where the
    // extended byte is masked to keep the value signed (ffmpeg), 32 with the whole byte. The
    // one nearest the step back is the one that happened.
    static std::int64_t wrapOf(std::int64_t back) {
        std::int64_t best = kWrap24;
        for (const std::int64_t w : {std::int64_t{1} << 31, std::int64_t{1} << 32})
            if (std::abs(back - w) < std::abs(back - best)) best = w;
        return best;
    }
    bool started_ = false;
    std::int64_t last_ = 0;
    std::int64_t offset_ = 0;
    std::int64_t lastWrap_ = 0;
};

// The scan's bookkeeping, fed one tag at a time. scanFlv feeds it from a file; a new file
// being assembled feeds it as each tag is chosen, so its metadata is known without reading
// the new file back.
class ScanBuilder {
  public:
    // Up to maxBytes (<= WindowReader::kWindow) of the body's beginning.
    using Prefix = std::function<Result<std::span<const std::uint8_t>>(std::size_t maxBytes)>;

    // tag as it lies in the scanned file (its offset and timestamp there). Answers whether it
    // is an onMetaData tag; decoding an old one is left to the caller (setOldMetadata).
    Result<bool> add(const TagHeader& tag, const Prefix& prefix);
    // The same with the body's first kHeadBytes (fewer when it is shorter) given; more is
    // asked only for a sequence header that carries the picture size.
    static constexpr std::size_t kHeadBytes = 64;
    Result<bool> add(const TagHeader& tag, std::span<const std::uint8_t> head, const Prefix& more);
    // The usual tag, an audio or video frame, which needs nothing beyond head and cannot
    // fail: taken without building a result. False leaves the tag to add() (the first tag,
    // script data, a sequence header that has the picture size to give). Inlined into the
    // file scan's loop beside it, its only caller.
    [[gnu::always_inline]] inline bool addFrameTag(const TagHeader& tag,
                                                   std::span<const std::uint8_t> head);
    void setOldMetadata(std::optional<AmfValue> value) { r_.oldMetadata = std::move(value); }
    bool hasOldMetadata() const { return r_.oldMetadata.has_value(); }
    void setFile(const FileHeader& header, std::uint64_t size) {
        r_.header = header;
        r_.fileSize = size;
    }
    // What the tags added so far describe.
    ScanResult result() const {
        ScanResult r = r_;
        r.clockJumps = jumps_.jumps();
        return r;
    }
    // The same, when no tag follows.
    ScanResult finish() {
        r_.clockJumps = jumps_.jumps();
        return std::move(r_);
    }

  private:
    Status onVideo(const TagHeader& tag, std::span<const std::uint8_t> head, const Prefix& more);
    // Inlined in the scan's loop: they run for every tag.
    [[gnu::always_inline]] inline void countVideo(const TagHeader& tag,
                                                  std::span<const std::uint8_t> body,
                                                  const VideoTagInfo& info);
    [[gnu::always_inline]] inline void onAudio(const TagHeader& tag,
                                               std::span<const std::uint8_t> head);
    bool onScript(const TagHeader& tag, std::span<const std::uint8_t> head);

    TimestampUnwrapper clock_;
    ClockMender jumps_;
    ScanResult r_;  // its clockJumps are the mender's, copied when it is handed out
    bool first_ = true;
};

// The value of an onMetaData tag body when it decodes to an object; a torn or foreign one
// gives nothing (the metadata is then rebuilt without its old keys).
std::optional<AmfValue> decodeMetadataBody(std::span<const std::uint8_t> body);

}  // namespace flv
