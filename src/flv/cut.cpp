#include "flv/cut.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <optional>
#include <vector>

#include "flv/bytes.h"
#include "flv/codec_headers.h"
#include "flv/cut_rules.h"
#include "flv/cut_start.h"
#include "flv/scan.h"

namespace flv {

namespace {

enum class TagRole { Media, Config, Metadata, OtherScript };

using Source = OpenFile;

// Where the cut begins: the keyframe, and the configurations in force there.
struct Start {
    std::optional<TagHeader> key;
    std::int64_t keyMs = 0;
    std::int64_t keyShownMs = 0;  // when the keyframe's picture is shown
    // Sound before the first picture (a recording whose picture starts late): kept from this
    // audio frame when the cut starts before that picture.
    std::optional<TagHeader> soundFrom;
    std::int64_t soundFromMs = 0;
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
        auto body = reader.bodyPrefix(tag, kCutBodyPrefix);
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
            lastCts_ = info.compositionMs;
            return TagRole::Media;
        }
        lastCts_ = 0;
        return isAacSequenceHeader(*body) ? TagRole::Config : TagRole::Media;
    }

    // Reads the tags from offset (0: the first) and hands each with its role to visit, which
    // answers whether to go on; then finish, with the reader, however the walk ended.
    template <class Visit, class Finish>
    Status walk(std::uint64_t offset, Visit visit, Finish finish) {
        FdSource source(src_.fd.get(), src_.size);
        WindowReader window(source);
        TagReader reader(window);
        auto header = reader.readHeader();
        if (!header) return header.error();
        if (offset) reader.seek(offset);
        for (;;) {
            auto next = reader.next();
            if (!next) return next.error();
            if (!next->has_value()) return finish(reader);
            const TagHeader tag = **next;
            lastWasKey_ = false;
            auto role = roleOf(reader, tag);
            if (!role) return role.error();
            auto goOn = visit(tag, *role, window, reader);
            if (!goOn) return goOn.error();
            if (!*goOn) return finish(reader);
        }
    }
    template <class Visit>
    Status walk(std::uint64_t offset, Visit visit) {
        return walk(offset, visit, [](TagReader&) { return okStatus(); });
    }

    Status readOldMetadata(WindowReader& window, const TagHeader& tag, Start& s) {
        if (s.oldMetadata || tag.dataSize > kCutMaxOldMetadata) return okStatus();
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
                return ++frames < kCutOriginFrames;
            }));
        return origin.value_or(0);
    }

    // The last video keyframe at or before the start (the first one when none is), or for a
    // file without video the last audio frame at or before it.
    Result<Start> findStart() {
        Start s, audioBest;
        std::vector<Start> keys;  // each video keyframe up to the first shown past the start
        std::vector<std::int64_t> keyTimes;  // when each is shown
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
                         sawVideoKey = true;
                         const std::int64_t shown = ms + lastCts_;
                         keyTimes.push_back(shown);
                         keys.push_back(s);
                         keys.back().key = tag;
                         keys.back().keyMs = ms;
                         // Keyframes past the start cannot be the one: the first of them is
                         // only taken when no keyframe comes before.
                         return shown <= fromMs_;
                     }));
        if (!keys.empty()) {
            // The keyframe whose picture is shown at or before the start, else the first.
            const auto at = keyframeAtOrBefore(keyTimes, fromMs_);
            const std::size_t i =
                at ? static_cast<std::size_t>(
                         keyTimes.rend() - std::find(keyTimes.rbegin(), keyTimes.rend(), *at) - 1)
                   : 0;
            Start best = keys[i];
            best.keyShownMs = keyTimes[i];
            best.oldMetadata = s.oldMetadata;
            // Only a span that reaches the picture: one without any stays refused.
            if (!at && toMs_ > best.keyShownMs && audioBest.key && audioBest.keyMs < best.keyMs &&
                audioBest.key->offset < best.key->offset) {
                best.soundFrom = audioBest.key;
                best.soundFromMs = audioBest.keyMs;
            }
            return best;
        }
        // No video keyframe at all: audio frames are their own sync points.
        if (!audioBest.key) return diag(DiagCode::NothingInRange, "the file holds no frame");
        audioBest.oldMetadata = s.oldMetadata;
        return audioBest;
    }

    // Video is decoded in another order than it is shown: a picture shown before the end may
    // come after pictures shown at or past it. Those are held back until a picture shown
    // before the end needs them (as references) or the span is over (then left out), with
    // the audio and script tags that came between, so the interleaving stays the source's.
    // A reference picture kept past the end is shown too, so every picture shown before it
    // is kept as well: a hole there would show as a jump.
    struct Held {
        TagHeader tag;
        std::int64_t ms, shown;
        bool frame, inRange, video;
    };

    Status collect(const Start& s, Layout& layout) {
        TimestampUnwrapper clock;
        std::optional<std::int64_t> base;
        bool configsAdded = false;
        std::vector<Held> held;
        std::int64_t lastShown = toMs_;  // pictures shown before this are kept
        auto keep = [&](TagReader& reader, const Held& h) -> Status {
            if (h.video && h.frame) lastShown = std::max(lastShown, h.shown + 1);
            return add(layout, reader, h.tag, h.ms, h.frame, h.inRange);
        };
        auto release = [&](TagReader& reader, bool withVideo) -> Status {
            for (const Held& h : held)
                if (withVideo || !h.video) FLV_TRY(keep(reader, h));
            held.clear();
            return okStatus();
        };
        // The output's clock starts at the keyframe, or at the sound kept before it.
        const std::int64_t zeroMs = s.soundFrom ? s.soundFromMs : s.keyMs;
        const auto isFirstConfig = [&](const TagHeader& tag) {
            return (s.videoConfig && tag.offset == s.videoConfig->offset) ||
                   (s.audioConfig && tag.offset == s.audioConfig->offset);
        };
        return walk(
            s.soundFrom ? s.soundFrom->offset : s.key->offset,
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
                if (role == TagRole::Metadata || (role == TagRole::Config && isFirstConfig(tag)))
                    return true;
                const std::int64_t ms = clock.unwrap(tag.timestamp);
                if (!base) base = ms - zeroMs;  // the two passes' clocks, lined up
                const std::int64_t at = ms - *base;
                if (at >= toMs_ + kCutSlackMs) return false;
                const bool media = role == TagRole::Media;
                const bool video = media && tag.type == tagtype::kVideo;
                const std::int64_t shown = video ? at + lastCts_ : at;
                if (media && at < (video ? s.keyMs : zeroMs)) return true;
                // After a keyframe of an open group, the pictures shown before it refer to the
                // group before, which the cut does not hold.
                if (video && shown < s.keyShownMs) return true;
                if (!video && at >= toMs_) return true;
                Held h{tag,   std::max<std::int64_t>(0, at - zeroMs),     shown,
                       media, media && shown >= fromMs_ && shown < toMs_, video};
                if (video && shown >= lastShown) {
                    held.push_back(h);
                    return true;
                }
                if (video) FLV_TRY(release(reader, true));
                if (!held.empty()) {
                    held.push_back(h);
                    return true;
                }
                FLV_TRY(keep(reader, h));
                return true;
            },
            // Pictures shown at or past the end that no earlier one needed are left out.
            [&](TagReader& reader) { return release(reader, false); });
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
