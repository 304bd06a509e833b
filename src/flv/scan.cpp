#include "flv/scan.h"

#include <algorithm>
#include <string_view>

namespace flv {

namespace {

constexpr std::size_t kVideoPrefix = 64;
constexpr std::size_t kAudioPrefix = 16;
constexpr std::size_t kScriptNamePrefix = 64;
static_assert(kVideoPrefix <= ScanBuilder::kHeadBytes && kAudioPrefix <= ScanBuilder::kHeadBytes &&
              kScriptNamePrefix <= ScanBuilder::kHeadBytes &&
              ScanBuilder::kHeadBytes <= TagReader::kKeptPrefix);

std::span<const std::uint8_t> upTo(std::span<const std::uint8_t> head, std::size_t n) {
    return head.first(std::min(n, head.size()));
}
// Old metadata bigger than this is replaced without keeping its other keys.
constexpr std::uint32_t kMaxOldMetadataDecode = 4 * 1024 * 1024;

[[gnu::always_inline]] inline void addFrame(StreamStats& s, std::int64_t ms, std::int64_t shownMs) {
    if (s.frames == 0) {
        s.firstMs = s.lastMs = ms;
        s.firstShownMs = s.lastShownMs = shownMs;
    }
    s.firstMs = std::min(s.firstMs, ms);
    s.lastMs = std::max(s.lastMs, ms);
    s.firstShownMs = std::min(s.firstShownMs, shownMs);
    s.lastShownMs = std::max(s.lastShownMs, shownMs);
    ++s.frames;
}

class Scanner {
  public:
    explicit Scanner(ByteSource& src) : window_(src), reader_(window_) {}

    Result<ScanResult> run() {
        auto header = reader_.readHeader();
        if (!header) return header.error();
        builder_.setFile(*header, window_.size());
        TagHeader tag;
        const ScanBuilder::Prefix more = [&](std::size_t n) { return reader_.bodyPrefix(tag, n); };
        for (;;) {
            const auto frame = [&](const TagHeader& t, std::span<const std::uint8_t> head) {
                return builder_.addFrameTag(t, head);
            };
            if (!reader_.nextHeldExcept(tag, frame)) {
                auto next = reader_.next();
                if (!next) return next.error();
                if (!next->has_value()) break;
                tag = **next;
            }
            auto metadata = builder_.add(tag, reader_.keptPrefix(), more);
            if (!metadata) return metadata.error();
            if (*metadata && !builder_.hasOldMetadata()) FLV_TRY(decodeOldMetadata(tag));
        }
        return builder_.finish();
    }

  private:
    Status decodeOldMetadata(const TagHeader& tag) {
        if (tag.dataSize > kMaxOldMetadataDecode) return okStatus();
        std::vector<std::uint8_t> body(tag.dataSize);
        FLV_TRY(window_.readInto(tag.bodyOffset(), body));
        builder_.setOldMetadata(decodeMetadataBody(body));
        return okStatus();
    }

    WindowReader window_;
    TagReader reader_;
    ScanBuilder builder_;
};

}  // namespace

bool ScanBuilder::addFrameTag(const TagHeader& tag, std::span<const std::uint8_t> head) {
    if (first_) return false;
    if (tag.type == tagtype::kAudio) {
        onAudio(tag, head);
        return true;
    }
    if (tag.type != tagtype::kVideo) return false;
    const auto body = upTo(head, kVideoPrefix);
    const auto info = classifyVideoTag(body);
    if (!r_.dimensions && info.kind == VideoKind::SequenceHeader) return false;
    countVideo(tag, body, info);
    return true;
}

Result<bool> ScanBuilder::add(const TagHeader& tag, const Prefix& prefix) {
    auto head = prefix(kHeadBytes);
    if (!head) return head.error();
    return add(tag, *head, prefix);
}

Result<bool> ScanBuilder::add(const TagHeader& tag, std::span<const std::uint8_t> head,
                              const Prefix& more) {
    if (addFrameTag(tag, head)) return false;
    const bool first = first_;
    first_ = false;
    switch (tag.type) {
        case tagtype::kVideo:
            FLV_TRY(onVideo(tag, head, more));
            return false;
        case tagtype::kAudio:
            onAudio(tag, head);
            return false;
        default: {
            const bool metadata = onScript(tag, head);
            if (metadata && first) r_.firstTagMetadataBody = tag.dataSize;
            return metadata;
        }
    }
}

Status ScanBuilder::onVideo(const TagHeader& tag, std::span<const std::uint8_t> head,
                            const Prefix& more) {
    const auto body = upTo(head, kVideoPrefix);
    const auto info = classifyVideoTag(body);
    // A sequence header carries the picture size deep inside its parameter sets.
    if (!r_.dimensions && info.kind == VideoKind::SequenceHeader) {
        auto whole = more(WindowReader::kWindow);
        if (!whole) return whole.error();
        r_.dimensions = videoDimensions(*whole);
    }
    countVideo(tag, body, info);
    return okStatus();
}

void ScanBuilder::countVideo(const TagHeader& tag, std::span<const std::uint8_t> body,
                             const VideoTagInfo& info) {
    r_.video.tagBytes += kTagHeaderSize + tag.dataSize;
    r_.video.bodyBytes += tag.dataSize;
    if (!body.empty() && !r_.videoCodecId) r_.videoCodecId = info.codecId;
    if (!r_.dimensions && info.kind != VideoKind::SequenceHeader)
        r_.dimensions = videoDimensions(body);
    if (!info.countsAsFrame()) return;
    std::int64_t ms = clock_.unwrap(tag.timestamp);
    addFrame(r_.video, ms, ms + info.compositionMs);
    jumps_.mend(ClockMender::Stream::Video, ms, tag.offset);
    bool key = info.kind == VideoKind::Keyframe;
    r_.lastVideoIsKeyframe = key;
    if (key && (r_.keyframes.empty() || r_.keyframes.back().timeMs != ms))
        r_.keyframes.push_back({tag.offset, ms});
}

void ScanBuilder::onAudio(const TagHeader& tag, std::span<const std::uint8_t> head) {
    r_.audio.tagBytes += kTagHeaderSize + tag.dataSize;
    r_.audio.bodyBytes += tag.dataSize;
    const auto body = upTo(head, kAudioPrefix);
    bool config = isAacSequenceHeader(body);
    if (!r_.audioFormatFromConfig && (config || !r_.audioFormat)) {
        if (auto fmt = audioFormat(body)) {
            r_.audioFormat = fmt;
            r_.audioFormatFromConfig = config;
        }
    }
    if (config || body.size() < 2) return;
    const std::int64_t ms = clock_.unwrap(tag.timestamp);
    addFrame(r_.audio, ms, ms);
    jumps_.mend(ClockMender::Stream::Audio, ms, tag.offset);
}

bool ScanBuilder::onScript(const TagHeader& tag, std::span<const std::uint8_t> head) {
    ByteReader nameReader(upTo(head, kScriptNamePrefix));
    auto decoded = decodeAmfName(nameReader);
    if (decoded && *decoded == "onMetaData") {
        r_.metadataTags.push_back({tag.offset, tag.totalSize()});
        return true;
    }
    r_.keptScriptBytes += kTagHeaderSize + tag.dataSize;
    if (decoded && *decoded == "onCuePoint") r_.hasCuePoints = true;
    return false;
}

double StreamStats::frameDurationMs() const {
    if (frames < 2) return 0;
    return static_cast<double>(lastMs - firstMs) / static_cast<double>(frames - 1);
}

double ScanResult::durationSeconds() const {
    bool any = false;
    double start = 0, end = 0;
    for (const StreamStats* s : {&video, &audio}) {
        if (!s->present()) continue;
        double first = static_cast<double>(s->firstMs);
        double last = static_cast<double>(s->lastMs) + s->frameDurationMs();
        start = any ? std::min(start, first) : first;
        end = any ? std::max(end, last) : last;
        any = true;
    }
    return any ? (end - start) / 1000.0 : 0.0;
}

std::int64_t ScanResult::lastTimestampMs() const {
    std::int64_t t = 0;
    if (video.present()) t = video.lastMs;
    if (audio.present()) t = std::max(t, audio.lastMs);
    return t;
}

Result<ScanResult> scanFlv(ByteSource& src) { return Scanner(src).run(); }

std::optional<AmfValue> decodeMetadataBody(std::span<const std::uint8_t> body) {
    ByteReader in(body);
    decodeAmfName(in);
    auto value = decodeAmf(in);
    if (value && value->isObjectLike()) return std::move(*value);
    return std::nullopt;
}

}  // namespace flv
