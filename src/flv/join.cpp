#include "flv/join.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <optional>

#include "flv/avc_joint.h"
#include "flv/bytes.h"
#include "flv/codec_headers.h"
#include "flv/io.h"
#include "flv/layout.h"
#include "flv/scan.h"
#include "flv/tag_reader.h"

namespace flv {

namespace {

constexpr std::size_t kNamePrefix = 64;

// What must agree between the files: the kinds of stream and their codecs.
struct StreamSignature {
    bool video = false;
    int videoCodec = -1;
    bool audio = false;
    int audioCodec = -1;
    double sampleRate = 0;
    bool stereo = false;
    bool operator==(const StreamSignature&) const = default;

    std::string text() const {
        std::string s;
        s += video ? "video codec " + std::to_string(videoCodec) : "no video";
        s += ", ";
        s += audio ? "audio codec " + std::to_string(audioCodec) + " at " +
                         std::to_string(static_cast<long>(sampleRate)) + " Hz" +
                         (stereo ? " stereo" : " mono")
                   : "no audio";
        return s;
    }
};

StreamSignature signatureOf(const ScanResult& s) {
    StreamSignature g;
    g.video = s.hasVideo();
    if (g.video) g.videoCodec = s.videoCodecId.value_or(-1);
    g.audio = s.hasAudio();
    if (g.audio && s.audioFormat) {
        g.audioCodec = s.audioFormat->codecId;
        g.sampleRate = s.audioFormat->sampleRate;
        g.stereo = s.audioFormat->stereo;
    }
    return g;
}

// One input: its descriptor, its scan and where its timeline begins and ends, both as its
// tags are decoded and as its frames are shown (AVC pictures are shown later than decoded).
struct Piece {
    std::string path;
    UniqueFd fd;
    std::uint64_t size = 0;
    ScanResult scan;
    std::int64_t firstMs = 0, lastMs = 0;         // decoding times of its frames
    std::int64_t shownFromMs = 0, shownToMs = 0;  // first frame shown; end of the last one
};

Result<Piece> openPiece(const std::string& path) {
    Piece p;
    p.path = path;
    auto file = openForReading(path);
    if (!file) return file.error();
    p.fd = std::move(file->fd);
    p.size = file->size;
    FdSource src(p.fd.get(), p.size);
    auto scan = scanFlv(src);
    if (!scan) return scan.error();
    p.scan = std::move(*scan);
    const StreamStats& v = p.scan.video;
    const StreamStats& a = p.scan.audio;
    if (!v.present() && !a.present())
        return diag(DiagCode::StreamsDiffer, path + " holds no audio or video frame");
    p.firstMs = p.shownFromMs = INT64_MAX;
    p.lastMs = p.shownToMs = INT64_MIN;
    for (const StreamStats* s : {&v, &a}) {
        if (!s->present()) continue;
        p.firstMs = std::min(p.firstMs, s->firstMs);
        p.lastMs = std::max(p.lastMs, s->lastMs);
        p.shownFromMs = std::min(p.shownFromMs, s->firstShownMs);
        const auto length = static_cast<std::int64_t>(std::llround(s->frameDurationMs()));
        p.shownToMs = std::max(p.shownToMs, s->lastShownMs + length);
    }
    p.shownToMs = std::max(p.shownToMs, p.shownFromMs + 1);
    return p;
}

// Lays the pieces end to end: each continues where the one before it ended.
class Joiner {
  public:
    explicit Joiner(std::vector<Piece>& pieces) : pieces_(pieces) {}

    Status run(Layout& layout) {
        auto open = opensAnyJoint();
        if (!open) return open.error();
        if (*open) joint_.emplace();
        const ScanResult& s = pieces_.front().scan;
        layout.setHeaderFlags(
            static_cast<std::uint8_t>((s.hasAudio() ? 4 : 0) | (s.hasVideo() ? 1 : 0)));
        // Each piece is moved so that its first frame is shown after the last frame of the
        // one before has had its time, and decoding times go on rising: continuing from the
        // last decoding time would show a B-frame piece's first pictures before the previous
        // piece's last ones. Pictures go on in the previous piece's steps: off that grid by
        // about half a frame (against the file's first sound), ffmpeg rounds two pictures to
        // one time and drops or repeats pictures when it converts the file.
        std::int64_t shownTo = 0, lastMs = -1;
        std::optional<double> lastPicture, pictureStep;
        for (std::size_t i = 0; i < pieces_.size(); ++i) {
            const Piece& p = pieces_[i];
            const StreamStats& v = p.scan.video;
            const std::int64_t least =
                i == 0 ? -p.firstMs : std::max(shownTo - p.shownFromMs, lastMs + 1 - p.firstMs);
            std::int64_t move = least;
            if (lastPicture && *pictureStep > 0 && v.present()) {
                const double step = *pictureStep;
                const auto at = [&](double n) {
                    return std::llround(*lastPicture + n * step) - v.firstShownMs;
                };
                double n = std::max(
                    1.0,
                    std::ceil(static_cast<double>(v.firstShownMs + least - *lastPicture) / step));
                move = at(n);
                while (move < least) move = at(++n);
            }
            FLV_TRY(addPiece(pieces_[i], move, layout));
            shownTo = p.shownToMs + move;
            lastMs = p.lastMs + move;
            if (v.present()) {
                lastPicture = static_cast<double>(v.lastShownMs + move);
                pictureStep = v.frameDurationMs();
            }
            if (i == 0) durationMs_ = -(p.shownFromMs + move);
        }
        durationMs_ += shownTo;
        return okStatus();
    }
    std::int64_t durationMs() const { return durationMs_; }

  private:
    // Whether a piece after the first starts at an open group's I-picture, which the joint
    // must renumber; only then are the pictures' slice headers read.
    Result<bool> opensAnyJoint() {
        for (std::size_t i = 1; i < pieces_.size(); ++i) {
            Piece& p = pieces_[i];
            if (p.scan.videoCodecId != videocodec::kAvc) continue;
            FdSource src(p.fd.get(), p.size);
            WindowReader window(src);
            TagReader reader(window);
            auto header = reader.readHeader();
            if (!header) return header.error();
            std::vector<std::uint8_t> config;
            for (;;) {
                auto tag = reader.next();
                if (!tag) return tag.error();
                if (!tag->has_value()) break;
                const TagHeader& t = **tag;
                if (t.type != tagtype::kVideo) continue;
                auto prefix = reader.bodyPrefix(t, 6);
                if (!prefix) return prefix.error();
                const VideoTagInfo info = classifyVideoTag(*prefix);
                if (info.kind != VideoKind::SequenceHeader && !info.countsAsFrame()) continue;
                std::vector<std::uint8_t> body(t.dataSize);
                FLV_TRY(window.readInto(t.bodyOffset(), body));
                if (info.kind == VideoKind::SequenceHeader) {
                    config = std::move(body);
                    continue;
                }
                if (AvcJoint().startsOpen(config, body)) return true;
                break;
            }
        }
        return false;
    }

    // Feeds the joint a video tag's body; answers the bytes to change in it.
    Result<std::vector<AvcJoint::Patch>> renumber(TagReader& reader, WindowReader& window,
                                                  const TagHeader& t) {
        std::vector<AvcJoint::Patch> none;
        if (!joint_ || t.type != tagtype::kVideo) return none;
        auto prefix = reader.bodyPrefix(t, 6);
        if (!prefix) return prefix.error();
        const VideoTagInfo info = classifyVideoTag(*prefix);
        if (info.codecId != videocodec::kAvc ||
            (info.kind != VideoKind::SequenceHeader && !info.countsAsFrame()))
            return none;
        std::vector<std::uint8_t> body(t.dataSize);
        FLV_TRY(window.readInto(t.bodyOffset(), body));
        if (info.kind == VideoKind::SequenceHeader) {
            joint_->configuration(body);
            return none;
        }
        return joint_->picture(body);
    }

    // move: what is added to each of the piece's timestamps.
    Status addPiece(Piece& p, std::int64_t move, Layout& layout) {
        FdSource src(p.fd.get(), p.size);
        WindowReader window(src);
        TagReader reader(window);
        auto header = reader.readHeader();
        if (!header) return header.error();
        if (joint_) joint_->startPiece();
        TimestampUnwrapper clock;
        for (;;) {
            auto tag = reader.next();
            if (!tag) return tag.error();
            if (!tag->has_value()) break;
            const TagHeader& t = **tag;
            auto patches = renumber(reader, window, t);
            if (!patches) return patches.error();
            auto kept = keep(reader, window, t);
            if (!kept) return kept.error();
            if (!*kept) continue;
            // Script tags carry no clock of their own worth unwrapping against the media;
            // configurations may carry 0 whatever the clock.
            const std::int64_t ms =
                t.type == tagtype::kScript ? p.firstMs : clock.unwrap(t.timestamp);
            FLV_TRY(layout.addTag(p.fd.get(), t, std::max(p.firstMs, ms) + move,
                                  [&](std::size_t n) { return reader.bodyPrefix(t, n); }));
            for (const AvcJoint::Patch& patch : *patches)
                layout.patchLastBody(patch.offset, patch.bytes);
        }
        return okStatus();
    }

    // Old metadata goes; a codec configuration equal to the one in force is not repeated.
    Result<bool> keep(TagReader& reader, WindowReader& window, const TagHeader& t) {
        auto prefix = reader.bodyPrefix(t, kNamePrefix);
        if (!prefix) return prefix.error();
        if (t.type == tagtype::kScript) {
            ByteReader in(*prefix);
            auto name = decodeAmfName(in);
            return !(name && *name == "onMetaData");
        }
        const bool config = t.type == tagtype::kVideo
                                ? classifyVideoTag(*prefix).kind == VideoKind::SequenceHeader
                                : isAacSequenceHeader(*prefix);
        if (!config) return true;
        std::vector<std::uint8_t> body(t.dataSize);
        FLV_TRY(window.readInto(t.bodyOffset(), body));
        auto& current = t.type == tagtype::kVideo ? videoConfig_ : audioConfig_;
        if (current && *current == body) return false;
        current = std::move(body);
        return true;
    }

    std::vector<Piece>& pieces_;
    std::optional<AvcJoint> joint_;
    std::optional<std::vector<std::uint8_t>> videoConfig_, audioConfig_;
    std::int64_t durationMs_ = 0;
};

Result<std::vector<Piece>> openPieces(const std::vector<std::string>& inputs,
                                      const std::string& output) {
    if (inputs.empty()) return diag(DiagCode::StreamsDiffer, "nothing to join");
    std::vector<Piece> pieces;
    for (const std::string& path : inputs) {
        if (sameFile(path, output))
            return diag(DiagCode::NotWritable, path + " is both an input and the output");
        auto p = openPiece(path);
        if (!p) return p.error();
        pieces.push_back(std::move(*p));
    }
    const StreamSignature first = signatureOf(pieces.front().scan);
    for (const Piece& p : pieces) {
        const StreamSignature s = signatureOf(p.scan);
        if (!(s == first))
            return diag(DiagCode::StreamsDiffer, p.path + " has " + s.text() + ", " +
                                                     pieces.front().path + " has " + first.text());
    }
    return pieces;
}

}  // namespace

Result<JoinOutcome> joinFlv(const std::vector<std::string>& inputs, const std::string& output,
                            const WriteOptions& options) {
    auto pieces = openPieces(inputs, output);
    if (!pieces) return pieces.error();
    Layout layout(0);
    Joiner joiner(*pieces);
    FLV_TRY(joiner.run(layout));
    auto written = writeLayout(layout, output, options);
    if (!written) return written.error();
    JoinOutcome o;
    o.tags = written->tags;
    o.durationMs = joiner.durationMs();
    o.fileSize = written->fileSize;
    o.keyframes = written->keyframes;
    return o;
}

}  // namespace flv
