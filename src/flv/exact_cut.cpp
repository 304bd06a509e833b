#include "flv/exact_cut.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <optional>
#include <set>
#include <vector>

#include "flv/avc_joint.h"
#include "flv/bit_reader.h"
#include "flv/bytes.h"
#include "flv/codec_headers.h"
#include "flv/cut.h"
#include "flv/cut_rules.h"
#include "flv/cut_start.h"
#include "flv/h264_sps.h"
#include "flv/scan.h"

namespace flv {

namespace {

constexpr int kMaxParameterSetId = 31;  // x264 numbers its sets 0..31

struct VideoConfig {
    TagHeader tag;
    std::vector<std::uint8_t> body;
    std::size_t fromPicture = 0;  // in force from this picture on
};

// What the source holds from its start to just past the span.
struct SourceWalk {
    OpenFile file;
    std::int64_t origin = 0;
    std::optional<int> videoCodec;
    std::vector<Picture> pictures;  // decoding order
    std::vector<TagHeader> pictureTags;
    std::vector<std::pair<TagHeader, std::int64_t>> audio;  // frames and their times
    std::optional<TagHeader> audioConfig;
    std::vector<VideoConfig> videoConfigs;
    std::optional<AmfValue> oldMetadata;

    const VideoConfig* configAt(std::size_t picture) const {
        const VideoConfig* found = nullptr;
        for (const VideoConfig& c : videoConfigs)
            if (c.fromPicture <= picture) found = &c;
        return found;
    }
};

Result<SourceWalk> walkSource(const std::string& path, std::int64_t toMs) {
    SourceWalk w;
    auto file = openForReading(path);
    if (!file) return file.error();
    w.file = std::move(*file);
    FdSource src(w.file.fd.get(), w.file.size);
    WindowReader window(src);
    TagReader reader(window);
    auto header = reader.readHeader();
    if (!header) return header.error();
    TimestampUnwrapper clock;
    std::optional<std::int64_t> origin;
    int frames = 0;
    for (;;) {
        auto next = reader.next();
        if (!next) return next.error();
        if (!next->has_value()) break;
        const TagHeader tag = **next;
        auto prefix = reader.bodyPrefix(tag, kCutBodyPrefix);
        if (!prefix) return prefix.error();
        if (tag.type == tagtype::kScript) {
            ByteReader in(*prefix);
            auto name = decodeAmfName(in);
            if (name && *name == "onMetaData" && !w.oldMetadata &&
                tag.dataSize <= kCutMaxOldMetadata) {
                std::vector<std::uint8_t> body(tag.dataSize);
                FLV_TRY(window.readInto(tag.bodyOffset(), body));
                w.oldMetadata = decodeMetadataBody(body);
            }
            continue;
        }
        const std::int64_t ms = clock.unwrap(tag.timestamp);
        std::int64_t shown = ms;
        if (tag.type == tagtype::kVideo) {
            const VideoTagInfo info = classifyVideoTag(*prefix);
            if (!w.videoCodec && info.codecId) w.videoCodec = info.codecId;
            if (info.kind == VideoKind::SequenceHeader) {
                VideoConfig c{tag, std::vector<std::uint8_t>(tag.dataSize), w.pictures.size()};
                FLV_TRY(window.readInto(tag.bodyOffset(), c.body));
                w.videoConfigs.push_back(std::move(c));
                continue;
            }
            if (!info.countsAsFrame()) continue;
            shown = ms + info.compositionMs;
            w.pictures.push_back({shown, ms, info.kind == VideoKind::Keyframe});
            w.pictureTags.push_back(tag);
        } else {
            if (isAacSequenceHeader(*prefix)) {
                if (!w.audioConfig) w.audioConfig = tag;
                continue;
            }
            w.audio.emplace_back(tag, ms);
        }
        if (frames < kCutOriginFrames) {
            ++frames;
            origin = origin ? std::min(*origin, shown) : shown;
        }
        // The origin only comes down as frames come in, so this limit is never too early.
        if (ms >= toMs + *origin + kCutSlackMs) break;
    }
    w.origin = origin.value_or(0);
    return w;
}

ExactCodec codecOf(const SourceWalk& w) {
    if (w.videoCodec == videocodec::kAvc) return ExactCodec::Avc;
    if (w.videoCodec == videocodec::kH263) return ExactCodec::H263;
    return ExactCodec::None;
}

// The SPS and PPS ids an AVCDecoderConfigurationRecord uses.
std::set<int> parameterSetIds(std::span<const std::uint8_t> record) {
    std::set<int> ids;
    std::size_t at = 5;
    for (int kind = 0; kind < 2; ++kind) {
        if (at >= record.size()) break;
        const int count = kind == 0 ? (record[at] & 0x1F) : record[at];
        ++at;
        for (int i = 0; i < count && at + 2 <= record.size(); ++i) {
            const std::size_t len = std::size_t{record[at]} << 8 | record[at + 1];
            at += 2;
            if (at + len > record.size()) break;
            const std::vector<std::uint8_t> rbsp = unescapeRbsp(record.subspan(at, len));
            BitReader bits(rbsp);
            bits.skip(8 + (kind == 0 ? 24 : 0));  // NAL header; profile, flags, level
            const std::uint32_t id = bits.ue();
            if (!bits.failed()) ids.insert(static_cast<int>(id));
            at += len;
        }
    }
    return ids;
}

double frameSpacing(const std::vector<Picture>& pictures) {
    if (pictures.size() < 2) return 40;
    std::int64_t lo = pictures.front().ptsMs, hi = lo;
    for (const Picture& p : pictures) {
        lo = std::min(lo, p.ptsMs);
        hi = std::max(hi, p.ptsMs);
    }
    return static_cast<double>(hi - lo) / static_cast<double>(pictures.size() - 1);
}

// Which pictures of the span are rebuilt and which copied, in decoding order.
struct SpanShape {
    CutStart start;
    std::vector<std::size_t> head;  // rebuilt from the mark, in shown order
    std::size_t copyFrom = 0, copyTo = 0;
    std::vector<std::size_t> tail;  // the last group's pictures before the end, rebuilt
};

SpanShape shapeOf(const SourceWalk& w, std::int64_t from, std::int64_t to) {
    SpanShape s;
    s.start = cutStart(w.pictures, from, to);
    const CutEnd end = cutEnd(w.pictures, to);
    s.head = s.start.rebuild;
    s.copyTo = end.copyTo;
    s.copyFrom = s.start.resumeAt.value_or(s.copyTo);
    if (!s.start.copyFrom) s.copyFrom = s.copyTo;
    if (s.copyFrom >= s.copyTo) {
        s.copyFrom = s.copyTo = 0;
        return s;
    }
    // A copy of the last group would show its references past the end: that group is
    // rebuilt from its keyframe instead.
    if (end.showsPastEnd && end.lastKey && *end.lastKey >= s.copyFrom) {
        // Less the leading pictures of an open group that the head already rebuilds.
        for (std::size_t i : end.rebuild)
            if (std::find(s.head.begin(), s.head.end(), i) == s.head.end()) s.tail.push_back(i);
        s.copyTo = *end.lastKey;
    }
    return s;
}

ExactPlan planFrom(const SourceWalk& w, std::int64_t fromMs, std::int64_t toMs) {
    ExactPlan plan;
    const SpanShape shape = shapeOf(w, fromMs + w.origin, toMs + w.origin);
    if (shape.start.copyFrom) plan.copyFromMs = w.pictures[*shape.start.copyFrom].ptsMs - w.origin;
    plan.codec = codecOf(w);
    plan.frameMs = frameSpacing(w.pictures);
    if (plan.codec == ExactCodec::None || (shape.head.empty() && shape.tail.empty())) return plan;
    if (plan.codec == ExactCodec::Avc) {
        const VideoConfig* config = w.configAt(shape.start.copyFrom.value_or(0));
        // Without its configuration the copied pictures could not be decoded anyway.
        if (!config || config->body.size() < 6 + 5) return plan;
        const std::span<const std::uint8_t> record(config->body.data() + 5,
                                                   config->body.size() - 5);
        plan.profileIdc = record[1];
        plan.levelIdc = record[3];
        const std::set<int> used = parameterSetIds(record);
        plan.freeId = -1;
        for (int id = 1; id <= kMaxParameterSetId && plan.freeId < 0; ++id)
            if (!used.count(id)) plan.freeId = id;
        if (plan.freeId < 0) return plan;
    }
    if (!shape.head.empty()) {
        plan.headFromMs = w.pictures[shape.head.front()].ptsMs - w.origin;
        plan.headFrames = shape.head.size();
    }
    if (!shape.tail.empty()) {
        plan.tailFromMs = w.pictures[shape.tail.front()].ptsMs - w.origin;
        plan.tailFrames = shape.tail.size();
    }
    return plan;
}

// The head's pictures, each with its body, in the order the encoder wrote them.
struct HeadPicture {
    std::vector<std::uint8_t> body;
    bool keyframe = false;
};

Result<std::vector<HeadPicture>> readHead(const std::string& path) {
    auto file = openForReading(path);
    if (!file) return file.error();
    FdSource src(file->fd.get(), file->size);
    WindowReader window(src);
    TagReader reader(window);
    auto header = reader.readHeader();
    if (!header) return header.error();
    std::vector<HeadPicture> out;
    for (;;) {
        auto next = reader.next();
        if (!next) return next.error();
        if (!next->has_value()) break;
        const TagHeader tag = **next;
        if (tag.type != tagtype::kVideo) continue;
        HeadPicture p;
        p.body.resize(tag.dataSize);
        FLV_TRY(window.readInto(tag.bodyOffset(), p.body));
        const VideoTagInfo info = classifyVideoTag(p.body);
        if (!info.countsAsFrame()) continue;
        p.keyframe = info.kind == VideoKind::Keyframe;
        out.push_back(std::move(p));
    }
    return out;
}

void putU24(std::uint8_t* at, std::uint32_t v) {
    at[0] = static_cast<std::uint8_t>(v >> 16);
    at[1] = static_cast<std::uint8_t>(v >> 8);
    at[2] = static_cast<std::uint8_t>(v);
}

// The rebuilt pictures as a little FLV in memory, for the layout to copy from.
Result<UniqueFd> headFile(const std::vector<HeadPicture>& head) {
    UniqueFd fd(::memfd_create("flv-head", MFD_CLOEXEC));
    if (!fd.valid()) return ioDiag("memfd_create", errno);
    std::vector<std::uint8_t> bytes = {'F', 'L', 'V', 1, 1, 0, 0, 0, 9, 0, 0, 0, 0};
    for (const HeadPicture& p : head) {
        const auto size = static_cast<std::uint32_t>(p.body.size());
        std::uint8_t tag[11] = {tagtype::kVideo};
        putU24(tag + 1, size);
        bytes.insert(bytes.end(), tag, tag + 11);
        bytes.insert(bytes.end(), p.body.begin(), p.body.end());
        const std::uint32_t prev = size + 11;
        const std::uint8_t trailer[4] = {
            static_cast<std::uint8_t>(prev >> 24), static_cast<std::uint8_t>(prev >> 16),
            static_cast<std::uint8_t>(prev >> 8), static_cast<std::uint8_t>(prev)};
        bytes.insert(bytes.end(), trailer, trailer + 4);
    }
    FLV_TRY(writeAllAt(fd.get(), bytes, 0, "the rebuilt head"));
    return fd;
}

// One tag of the new file: where it comes from and when it is decoded there.
struct SpliceTag {
    int fd;
    TagHeader tag;
    std::int64_t ms;
    TagReader* reader;
};

}  // namespace

Result<ExactPlan> planExactCut(const std::string& source, std::int64_t fromMs, std::int64_t toMs) {
    auto walk = walkSource(source, toMs);
    if (!walk) return walk.error();
    return planFrom(*walk, fromMs, toMs);
}

std::string exactPlanText(const ExactPlan& p) {
    const char* codec = p.codec == ExactCodec::Avc    ? "avc"
                        : p.codec == ExactCodec::H263 ? "h263"
                                                      : "none";
    return std::string("codec=") + codec + "\ncopy_from_ms=" + std::to_string(p.copyFromMs) +
           "\nhead_from_ms=" + std::to_string(p.headFromMs) +
           "\nhead_frames=" + std::to_string(p.headFrames) +
           "\ntail_from_ms=" + std::to_string(p.tailFromMs) +
           "\ntail_frames=" + std::to_string(p.tailFrames) +
           "\nframe_us=" + std::to_string(static_cast<long long>(p.frameMs * 1000)) +
           "\nprofile=" + std::to_string(p.profileIdc) + "\nlevel=" + std::to_string(p.levelIdc) +
           "\nfree_id=" + std::to_string(p.freeId) + "\n";
}

Result<WriteOutcome> spliceExactCut(const std::string& source, std::int64_t fromMs,
                                    std::int64_t toMs, const std::string& head,
                                    const std::string& tail, const std::string& output,
                                    const WriteOptions& options) {
    if (toMs <= fromMs)
        return diag(DiagCode::NothingInRange, "the end " + std::to_string(toMs) +
                                                  " ms is not after the start " +
                                                  std::to_string(fromMs) + " ms");
    if (sameFile(source, output) || (!head.empty() && sameFile(head, output)) ||
        (!tail.empty() && sameFile(tail, output)))
        return diag(DiagCode::NotWritable, "the output is one of the inputs");
    auto walked = walkSource(source, toMs);
    if (!walked) return walked.error();
    SourceWalk& w = *walked;
    const ExactPlan plan = planFrom(w, fromMs, toMs);
    const std::int64_t from = fromMs + w.origin, to = toMs + w.origin;
    const SpanShape shape = shapeOf(w, from, to);
    // Nothing to rebuild still starts at the first keyframe shown at or after the mark (a
    // mark just before a keyframe shows no picture of the group before it), which a copy
    // cut, starting at the keyframe before, would not.
    if (plan.headFrames == 0 && plan.tailFrames == 0 &&
        (plan.codec == ExactCodec::None || shape.copyFrom >= shape.copyTo))
        return cutFlv(source, fromMs, toMs, output, options);
    std::vector<HeadPicture> rebuilt;
    for (const auto& [path, count] : {std::pair{head, plan.headFrames}, {tail, plan.tailFrames}}) {
        if (count == 0) continue;
        auto pictures = readHead(path);
        if (!pictures) return pictures.error();
        if (pictures->size() != count)
            return diag(DiagCode::NothingInRange,
                        path + " holds " + std::to_string(pictures->size()) + " pictures, " +
                            std::to_string(count) + " were to be rebuilt");
        for (HeadPicture& p : *pictures) rebuilt.push_back(std::move(p));
    }

    // The video in decoding order: the head, the copy, the tail. Rebuilt pictures are decoded
    // as late as the copy's delay allows (each is shown when decoded plus its composition
    // time), so the decoding times rise throughout. The first picture is decoded when it is
    // shown, so the span's clock (and its length) begins with it; the next few close the gap
    // a millisecond apart.
    struct VideoEntry {
        std::optional<std::size_t> copied;  // else the next rebuilt picture
        std::int64_t ms = 0;
    };
    const bool avc = plan.codec == ExactCodec::Avc;
    const std::int64_t delay =
        shape.copyFrom < shape.copyTo && avc
            ? w.pictures[shape.copyFrom].ptsMs - w.pictures[shape.copyFrom].dtsMs
            : 0;
    std::vector<VideoEntry> order;
    std::int64_t last = INT64_MIN;
    std::size_t r = 0;
    auto addRebuilt = [&](const std::vector<std::size_t>& list) {
        for (std::size_t i : list) {
            const std::int64_t pts = w.pictures[i].ptsMs;
            const std::int64_t ms =
                last == INT64_MIN ? pts : std::min(pts, std::max(pts - delay, last + 1));
            if (avc) putU24(&rebuilt[r].body[2], static_cast<std::uint32_t>(pts - ms));
            ++r;
            order.push_back({std::nullopt, ms});
            last = ms;
        }
    };
    addRebuilt(shape.head);
    for (std::size_t i = shape.copyFrom; i < shape.copyTo; ++i) {
        // An open group's leading pictures are the group before's: rebuilt, or before the mark.
        if (w.pictures[i].ptsMs < w.pictures[shape.copyFrom].ptsMs) continue;
        order.push_back({i, w.pictures[i].dtsMs});
        last = w.pictures[i].dtsMs;
    }
    addRebuilt(shape.tail);
    // A copy from an open group's I-picture, after rebuilt pictures, starts a new sequence
    // there: that picture is made an IDR picture (written with the rebuilt ones), and the
    // copy's pictures up to its next IDR count their frame numbers from it.
    std::optional<AvcJoint> joint;
    const VideoConfig* config = avc ? w.configAt(shape.start.copyFrom.value_or(0)) : nullptr;
    const auto firstCopied = std::find_if(order.begin(), order.end(),
                                          [](const VideoEntry& e) { return e.copied.has_value(); });
    if (config && !shape.head.empty() && firstCopied != order.end()) {
        std::vector<std::uint8_t> body(config->tag.dataSize);
        FLV_TRY(readFully(w.file.fd.get(), config->tag.bodyOffset(), body));
        joint.emplace().configuration(body);
        const TagHeader& key = w.pictureTags[*firstCopied->copied];
        body.resize(key.dataSize);
        FLV_TRY(readFully(w.file.fd.get(), key.bodyOffset(), body));
        if (auto idr = joint->restartAsIdr(body)) {
            rebuilt.insert(rebuilt.begin() + static_cast<std::ptrdiff_t>(shape.head.size()),
                           HeadPicture{std::move(*idr), true});
            firstCopied->copied.reset();
        } else {
            joint.reset();
        }
    }
    auto headFd = headFile(rebuilt);
    if (!headFd) return headFd.error();

    // Audio from the frame that holds the start mark, moved (by less than a frame) to begin
    // with the first picture, and up to the last frame that ends with the last picture: the
    // span then lasts exactly as long as its pictures, and joined spans meet without a gap.
    // A mark before the file's first picture (a recording whose picture starts late) keeps
    // the sound before that picture where it is, as a copy cut does.
    std::size_t audioFrom = 0;
    for (std::size_t i = 0; i < w.audio.size(); ++i)
        if (w.audio[i].second <= from) audioFrom = i;
    std::int64_t firstShown = INT64_MAX, lastShown = INT64_MIN;
    for (const std::vector<std::size_t>* list : {&shape.head, &shape.tail})
        for (std::size_t i : *list) {
            firstShown = std::min(firstShown, w.pictures[i].ptsMs);
            lastShown = std::max(lastShown, w.pictures[i].ptsMs);
        }
    for (std::size_t i = shape.copyFrom; i < shape.copyTo; ++i) {
        if (w.pictures[i].ptsMs < w.pictures[shape.copyFrom].ptsMs) continue;
        firstShown = std::min(firstShown, w.pictures[i].ptsMs);
        lastShown = std::max(lastShown, w.pictures[i].ptsMs);
    }
    const auto videoEnd = lastShown + static_cast<std::int64_t>(plan.frameMs + 0.5);
    const bool markBeforePictures = std::none_of(w.pictures.begin(), w.pictures.end(),
                                                 [&](const Picture& p) { return p.ptsMs <= from; });
    const std::int64_t lead =
        audioFrom < w.audio.size() && !markBeforePictures
            ? std::max<std::int64_t>(0, firstShown - w.audio[audioFrom].second)
            : 0;
    const std::int64_t audioFrame = w.audio.size() > 1
                                        ? (w.audio.back().second - w.audio.front().second) /
                                              static_cast<std::int64_t>(w.audio.size() - 1)
                                        : 0;

    FdSource headSource(headFd->get(),
                        static_cast<std::uint64_t>(::lseek(headFd->get(), 0, SEEK_END)));
    WindowReader headWindow(headSource);
    TagReader headReader(headWindow);
    FdSource src(w.file.fd.get(), w.file.size);
    WindowReader srcWindow(src);
    TagReader srcReader(srcWindow);
    auto h = headReader.readHeader();
    if (!h) return h.error();

    std::vector<SpliceTag> video, audio;
    for (const VideoEntry& e : order) {
        if (e.copied) {
            video.push_back({w.file.fd.get(), w.pictureTags[*e.copied], e.ms, &srcReader});
            continue;
        }
        auto tag = headReader.next();
        if (!tag) return tag.error();
        if (!tag->has_value()) return diag(DiagCode::TruncatedTag, "the rebuilt pictures");
        video.push_back({headFd->get(), **tag, e.ms, &headReader});
    }
    constexpr std::int64_t kRoundingMs = 2;  // timestamps are whole milliseconds
    for (std::size_t i = audioFrom; i < w.audio.size(); ++i) {
        const std::int64_t ms = w.audio[i].second + lead;
        if (ms + audioFrame > videoEnd + kRoundingMs) break;
        audio.push_back({w.file.fd.get(), w.audio[i].first, ms, &srcReader});
    }
    std::int64_t base = video.front().ms;
    if (!audio.empty()) base = std::min(base, audio.front().ms);

    Layout layout(static_cast<std::uint8_t>((audio.empty() ? 0 : 4) | 1));
    auto add = [&](const SpliceTag& p, std::int64_t ms) {
        return layout.addTag(p.fd, p.tag, ms,
                             [&](std::size_t n) { return p.reader->bodyPrefix(p.tag, n); });
    };
    // The source's configurations go first; the rebuilt pictures carry their own in band.
    if (const VideoConfig* c = avc ? w.configAt(shape.start.copyFrom.value_or(0)) : nullptr)
        FLV_TRY(add(SpliceTag{w.file.fd.get(), c->tag, 0, &srcReader}, 0));
    if (w.audioConfig && !audio.empty())
        FLV_TRY(add(SpliceTag{w.file.fd.get(), *w.audioConfig, 0, &srcReader}, 0));
    std::size_t v = 0, a = 0;
    while (v < video.size() || a < audio.size()) {
        const bool takeAudio = v == video.size() || (a < audio.size() && audio[a].ms < video[v].ms);
        const SpliceTag& p = takeAudio ? audio[a++] : video[v++];
        FLV_TRY(add(p, std::max<std::int64_t>(0, p.ms - base)));
        if (takeAudio || !joint || !joint->renumbering() || p.fd != w.file.fd.get()) continue;
        std::vector<std::uint8_t> body(p.tag.dataSize);
        FLV_TRY(readFully(p.fd, p.tag.bodyOffset(), body));
        for (const AvcJoint::Patch& patch : joint->picture(body))
            layout.patchLastBody(patch.offset, patch.bytes);
    }
    WriteOptions o = options;
    if (!o.oldMetadata) o.oldMetadata = w.oldMetadata;
    return writeLayout(layout, output, o);
}

}  // namespace flv
