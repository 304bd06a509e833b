#include "flv/join.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <optional>

#include "flv/bytes.h"
#include "flv/io.h"
#include "flv/scan.h"
#include "flv/tag_reader.h"

namespace flv {

namespace {

constexpr std::size_t kFlushAt = 1 << 20;
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

// One input: its descriptor, its scan and where its timeline begins and ends.
struct Piece {
    std::string path;
    UniqueFd fd;
    std::uint64_t size = 0;
    ScanResult scan;
    std::int64_t startMs = 0;
    std::int64_t lengthMs = 0;
};

std::int64_t streamEnd(const StreamStats& s) {
    return s.lastMs + static_cast<std::int64_t>(std::llround(s.frameDurationMs()));
}

Result<Piece> openPiece(const std::string& path) {
    Piece p;
    p.path = path;
    p.fd = UniqueFd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!p.fd.valid()) return ioDiag("cannot open " + path, errno);
    struct stat st {};
    if (::fstat(p.fd.get(), &st) != 0) return ioDiag("stat " + path, errno);
    if (!S_ISREG(st.st_mode))
        return diag(DiagCode::NotRegularFile, path + " is not a regular file");
    p.size = static_cast<std::uint64_t>(st.st_size);
    FdSource src(p.fd.get(), p.size);
    auto scan = scanFlv(src);
    if (!scan) return scan.error();
    p.scan = std::move(*scan);
    const StreamStats& v = p.scan.video;
    const StreamStats& a = p.scan.audio;
    if (!v.present() && !a.present())
        return diag(DiagCode::StreamsDiffer, path + " holds no audio or video frame");
    std::int64_t start = INT64_MAX, end = INT64_MIN;
    for (const StreamStats* s : {&v, &a}) {
        if (!s->present()) continue;
        start = std::min(start, s->firstMs);
        end = std::max(end, streamEnd(*s));
    }
    p.startMs = start;
    p.lengthMs = std::max<std::int64_t>(1, end - start);
    return p;
}

// Appends to the output through a large buffer: a few big writes instead of three per tag.
class OutputFile {
  public:
    explicit OutputFile(int fd) : fd_(fd) {}
    Status append(std::span<const std::uint8_t> bytes) {
        buf_.insert(buf_.end(), bytes.begin(), bytes.end());
        return buf_.size() >= kFlushAt ? flush() : okStatus();
    }
    Status flush() {
        FLV_TRY(writeAllAt(fd_, buf_, at_, "write"));
        at_ += buf_.size();
        buf_.clear();
        return okStatus();
    }
    std::uint64_t size() const { return at_ + buf_.size(); }

  private:
    int fd_;
    std::vector<std::uint8_t> buf_;
    std::uint64_t at_ = 0;
};

class Joiner {
  public:
    Joiner(std::vector<Piece>& pieces, OutputFile& out) : pieces_(pieces), out_(out) {}

    Result<JoinOutcome> run() {
        FLV_TRY(writeHeader());
        std::int64_t base = 0;
        for (Piece& p : pieces_) {
            FLV_TRY(copyPiece(p, base));
            base += p.lengthMs;
        }
        FLV_TRY(out_.flush());
        JoinOutcome o;
        o.tags = tags_;
        o.durationMs = base;
        o.fileSize = out_.size();
        return o;
    }

  private:
    Status writeHeader() {
        const ScanResult& s = pieces_.front().scan;
        ByteWriter w;
        w.text("FLV");
        w.u8(1);
        w.u8(static_cast<std::uint8_t>((s.hasAudio() ? 4 : 0) | (s.hasVideo() ? 1 : 0)));
        w.u32(9);
        w.u32(0);
        return out_.append(w.data());
    }

    Status copyPiece(Piece& p, std::int64_t base) {
        FdSource src(p.fd.get(), p.size);
        WindowReader window(src);
        TagReader reader(window);
        auto header = reader.readHeader();
        if (!header) return header.error();
        TimestampUnwrapper clock;
        for (;;) {
            auto tag = reader.next();
            if (!tag) return tag.error();
            if (!tag->has_value()) break;
            const TagHeader& t = **tag;
            body_.resize(t.dataSize);
            FLV_TRY(window.readInto(t.bodyOffset(), body_));
            if (!keep(t)) continue;
            // Script tags carry no clock of their own worth unwrapping against the media.
            const std::int64_t ms =
                t.type == tagtype::kScript ? p.startMs : clock.unwrap(t.timestamp);
            FLV_TRY(writeTag(t.type, std::max(base, ms - p.startMs + base)));
        }
        return okStatus();
    }

    // Old metadata goes; a codec configuration equal to the one in force is not repeated.
    bool keep(const TagHeader& t) {
        if (t.type == tagtype::kScript) {
            ByteReader in(
                std::span<const std::uint8_t>(body_).first(std::min(body_.size(), kNamePrefix)));
            auto name = decodeAmfName(in);
            return !(name && *name == "onMetaData");
        }
        if (t.type == tagtype::kVideo) {
            if (classifyVideoTag(body_).kind != VideoKind::SequenceHeader) return true;
            return changed(videoConfig_);
        }
        if (!isAacSequenceHeader(body_)) return true;
        return changed(audioConfig_);
    }

    bool changed(std::optional<std::vector<std::uint8_t>>& current) {
        if (current && *current == body_) return false;
        current = body_;
        return true;
    }

    Status writeTag(std::uint8_t type, std::int64_t ms) {
        const auto ts = static_cast<std::uint32_t>(ms);
        ByteWriter h;
        h.u8(type);
        h.u24(static_cast<std::uint32_t>(body_.size()));
        h.u24(ts & 0xFFFFFF);
        h.u8(static_cast<std::uint8_t>(ts >> 24));
        h.u24(0);
        FLV_TRY(out_.append(h.data()));
        FLV_TRY(out_.append(body_));
        ByteWriter prev;
        prev.u32(static_cast<std::uint32_t>(kTagHeaderSize + body_.size()));
        ++tags_;
        return out_.append(prev.data());
    }

    std::vector<Piece>& pieces_;
    OutputFile& out_;
    std::vector<std::uint8_t> body_;
    std::optional<std::vector<std::uint8_t>> videoConfig_, audioConfig_;
    std::uint64_t tags_ = 0;
};

bool sameFile(const std::string& a, const std::string& b) {
    struct stat sa {
    }, sb{};
    if (::stat(a.c_str(), &sa) != 0 || ::stat(b.c_str(), &sb) != 0) return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

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

Result<JoinOutcome> joinFlv(const std::vector<std::string>& inputs, const std::string& output) {
    auto pieces = openPieces(inputs, output);
    if (!pieces) return pieces.error();
    UniqueFd fd(::open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (!fd.valid()) return ioDiag("cannot create " + output, errno);
    OutputFile out(fd.get());
    auto result = Joiner(*pieces, out).run();
    Status closed = result ? fd.close("close") : Status(okStatus());
    if (!result || !closed) {
        fd = UniqueFd();
        ::unlink(output.c_str());
        return result ? closed.error() : result.error();
    }
    return result;
}

}  // namespace flv
