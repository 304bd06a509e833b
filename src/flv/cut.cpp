#include "flv/cut.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <optional>
#include <vector>

#include "flv/bytes.h"
#include "flv/codec_headers.h"
#include "flv/scan.h"

namespace flv {

namespace {

// Timestamps past the end that may still belong before it: audio and video are interleaved
// by their decoding times, which run up to this far apart in practice.
constexpr std::int64_t kInterleaveSlackMs = 1000;
constexpr std::size_t kPrefix = 64;
constexpr std::uint32_t kMaxOldMetadata = 4 * 1024 * 1024;
constexpr int kOriginFrames = 64;

enum class TagRole { Media, Config, Metadata, OtherScript };

// How much later than its decoding time an AVC picture is shown (a tag's timestamp is its
// decoding time); 0 for other codecs.
std::int64_t compositionOffset(const VideoTagInfo& info, std::span<const std::uint8_t> body) {
    if (info.codecId != videocodec::kAvc || body.size() < 5) return 0;
    std::int32_t v = static_cast<std::int32_t>(be24(body.data() + 2));
    if (v & 0x800000) v -= 0x1000000;
    return v;
}

using Source = OpenFile;

// Where the cut begins: the keyframe, and the configurations in force there.
struct Start {
    std::optional<TagHeader> key;
    std::int64_t keyMs = 0;
    std::optional<TagHeader> videoConfig, audioConfig;
    std::optional<AmfValue> oldMetadata;
};

class Cutter {
  public:
    Cutter(Source& src, std::int64_t fromMs, std::int64_t toMs)
        : src_(src), fromMs_(fromMs), toMs_(toMs) {}

    Result<WriteOutcome> run(const std::string& output, WriteOptions options) {
        auto origin = clockOrigin();
        if (!origin) return origin.error();
        fromMs_ += *origin;
        toMs_ += *origin;
        auto start = findStart();
        if (!start) return start.error();
        Layout layout(0);
        FLV_TRY(collect(*start, layout));
        if (!anyMedia_)
            return diag(DiagCode::NothingInRange, "no audio or video between " +
                                                      std::to_string(fromMs_) + " and " +
                                                      std::to_string(toMs_) + " ms");
        layout.setHeaderFlags(static_cast<std::uint8_t>((audio_ ? 4 : 0) | (video_ ? 1 : 0)));
        if (!options.oldMetadata) options.oldMetadata = start->oldMetadata;
        return writeLayout(layout, output, options);
    }

  private:
    Result<TagRole> roleOf(TagReader& reader, const TagHeader& tag) {
        auto body = reader.bodyPrefix(tag, kPrefix);
        if (!body) return body.error();
        if (tag.type == tagtype::kScript) {
            ByteReader in(*body);
            auto name = decodeAmfName(in);
            return name && *name == "onMetaData" ? TagRole::Metadata : TagRole::OtherScript;
        }
        if (tag.type == tagtype::kVideo) {
            const VideoTagInfo info = classifyVideoTag(*body);
            if (info.kind == VideoKind::SequenceHeader) return TagRole::Config;
            if (info.kind == VideoKind::Keyframe) lastWasKey_ = true;
            lastCts_ = compositionOffset(info, *body);
            return TagRole::Media;
        }
        lastCts_ = 0;
        return isAacSequenceHeader(*body) ? TagRole::Config : TagRole::Media;
    }

    // Reads the tags from offset (0: the first) and hands each with its role to visit, which
    // answers whether to go on.
    template <class Visit>
    Status walk(std::uint64_t offset, Visit visit) {
        FdSource source(src_.fd.get(), src_.size);
        WindowReader window(source);
        TagReader reader(window);
        auto header = reader.readHeader();
        if (!header) return header.error();
        if (offset) reader.seek(offset);
        for (;;) {
            auto next = reader.next();
            if (!next) return next.error();
            if (!next->has_value()) return okStatus();
            const TagHeader tag = **next;
            lastWasKey_ = false;
            auto role = roleOf(reader, tag);
            if (!role) return role.error();
            auto goOn = visit(tag, *role, window, reader);
            if (!goOn) return goOn.error();
            if (!*goOn) return okStatus();
        }
    }

    Status readOldMetadata(WindowReader& window, const TagHeader& tag, Start& s) {
        if (s.oldMetadata || tag.dataSize > kMaxOldMetadata) return okStatus();
        std::vector<std::uint8_t> body(tag.dataSize);
        FLV_TRY(window.readInto(tag.bodyOffset(), body));
        s.oldMetadata = decodeMetadataBody(body);
        return okStatus();
    }

    // Where the file's clock starts: its earliest frame among the first ones (audio and video
    // interleave by decoding time, so the earliest is not always the first). Positions count
    // from there, as a player shows them.
    Result<std::int64_t> clockOrigin() {
        TimestampUnwrapper clock;
        std::optional<std::int64_t> origin;
        int frames = 0;
        FLV_TRY(walk(
            0, [&](const TagHeader& tag, TagRole role, WindowReader&, TagReader&) -> Result<bool> {
                if (role != TagRole::Media) return true;
                const std::int64_t ms = clock.unwrap(tag.timestamp) + lastCts_;
                origin = origin ? std::min(*origin, ms) : ms;
                return ++frames < kOriginFrames;
            }));
        return origin.value_or(0);
    }

    // The last video keyframe at or before the start (the first one when none is), or for a
    // file without video the last audio frame at or before it.
    Result<Start> findStart() {
        Start s, best, audioBest;
        TimestampUnwrapper clock;
        bool sawVideoKey = false;
        FLV_TRY(walk(0,
                     [&](const TagHeader& tag, TagRole role, WindowReader& window,
                         TagReader&) -> Result<bool> {
                         if (role == TagRole::Metadata) {
                             FLV_TRY(readOldMetadata(window, tag, s));
                             return true;
                         }
                         if (role == TagRole::OtherScript) return true;
                         const std::int64_t ms = clock.unwrap(tag.timestamp);
                         if (role == TagRole::Config) {
                             (tag.type == tagtype::kVideo ? s.videoConfig : s.audioConfig) = tag;
                             return true;
                         }
                         // For a file without video: the last audio frame at or before the start,
                         // else the first one.
                         if (tag.type == tagtype::kAudio && !sawVideoKey &&
                             (!audioBest.key || ms <= fromMs_)) {
                             audioBest = s;
                             audioBest.key = tag;
                             audioBest.keyMs = ms;
                         }
                         if (!lastWasKey_) return true;
                         // The keyframe whose picture is shown at or before the start.
                         const std::int64_t shown = ms + lastCts_;
                         if (sawVideoKey && shown > fromMs_) return false;
                         sawVideoKey = true;
                         best = s;
                         best.key = tag;
                         best.keyMs = ms;
                         return shown <=
                                fromMs_;  // else no keyframe before the start: the first one
                     }));
        if (best.key) {
            best.oldMetadata = s.oldMetadata;
            return best;
        }
        // No video keyframe at all: audio frames are their own sync points.
        if (!audioBest.key) return diag(DiagCode::NothingInRange, "the file holds no frame");
        audioBest.oldMetadata = s.oldMetadata;
        return audioBest;
    }

    Status collect(const Start& s, Layout& layout) {
        TimestampUnwrapper clock;
        std::optional<std::int64_t> base;
        bool configsAdded = false;
        return walk(s.key->offset,
                    [&](const TagHeader& tag, TagRole role, WindowReader&,
                        TagReader& reader) -> Result<bool> {
                        if (!configsAdded) {
                            configsAdded = true;
                            // The configurations in force at the keyframe go first.
                            if (s.videoConfig && s.key->type == tagtype::kVideo)
                                FLV_TRY(add(layout, reader, *s.videoConfig, 0, false, false));
                            if (s.audioConfig)
                                FLV_TRY(add(layout, reader, *s.audioConfig, 0, false, false));
                        }
                        if (role == TagRole::Metadata) return true;
                        const std::int64_t ms = clock.unwrap(tag.timestamp);
                        if (!base) base = ms - s.keyMs;  // the two passes' clocks, lined up
                        const std::int64_t at = ms - *base;
                        if (at >= toMs_ + kInterleaveSlackMs) return false;
                        const bool media = role == TagRole::Media;
                        if (at >= toMs_ || (media && at < s.keyMs)) return true;
                        FLV_TRY(add(layout, reader, tag, std::max<std::int64_t>(0, at - s.keyMs),
                                    media, media && at >= fromMs_));
                        return true;
                    });
    }

    // inRange: a frame at or after the start, which a cut must hold at least one of.
    // The header flags name the streams that have frames in the cut, not just a configuration,
    // so a cut without a picture says so.
    Status add(Layout& layout, TagReader& reader, const TagHeader& tag, std::int64_t ms, bool frame,
               bool inRange) {
        FLV_TRY(layout.addTag(src_.fd.get(), tag, ms,
                              [&](std::size_t n) { return reader.bodyPrefix(tag, n); }));
        if (frame && tag.type == tagtype::kVideo) video_ = true;
        if (frame && tag.type == tagtype::kAudio) audio_ = true;
        if (inRange) anyMedia_ = true;
        return okStatus();
    }

    Source& src_;
    std::int64_t fromMs_, toMs_;
    bool lastWasKey_ = false;
    std::int64_t lastCts_ = 0;  // of the last video tag classified
    bool video_ = false, audio_ = false, anyMedia_ = false;
};

}  // namespace

Result<WriteOutcome> cutFlv(const std::string& source, std::int64_t fromMs, std::int64_t toMs,
                            const std::string& output, const WriteOptions& options) {
    if (toMs <= fromMs)
        return diag(DiagCode::NothingInRange, "the end " + std::to_string(toMs) +
                                                  " ms is not after the start " +
                                                  std::to_string(fromMs) + " ms");
    if (sameFile(source, output))
        return diag(DiagCode::NotWritable, "the output is the source itself");
    auto src = openForReading(source);
    if (!src) return src.error();
    return Cutter(*src, fromMs, toMs).run(output, options);
}

}  // namespace flv
