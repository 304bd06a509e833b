#include "flv/repair.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cerrno>

#include "flv/bytes.h"
#include "flv/clock.h"
#include "flv/codec_headers.h"
#include "flv/io.h"
#include "flv/scan.h"
#include "flv/tag_reader.h"

namespace flv {

namespace {

// Larger tags do not occur in practice; a size beyond this is damage.
constexpr std::uint32_t kMaxPlausibleTag = 16 * 1024 * 1024;
constexpr std::size_t kClassify = 16;

using Stream = ClockMender::Stream;

// A tag header read at some offset, before it is believed.
struct Candidate {
    TagHeader tag;
    std::uint8_t firstBodyByte = 0;
    // The PreviousTagSize after it, once read: whether it is right.
    bool trailerRead = false;
    bool trailerRight = false;
};

class Repairer {
  public:
    Repairer(int fd, std::uint64_t size) : fd_(fd), size_(size), source_(fd, size), in_(source_) {}

    Result<RepairOutcome> run(const std::string& output, const WriteOptions& options) {
        Layout layout(0);
        std::uint64_t pos = firstTagOffset();
        bool resyncing = pos == 0;
        Candidate tag;
        while (pos + kTagHeaderSize < size_) {
            auto found = chainedTagAt(pos, tag);
            if (!found) return found.error();
            if (!*found) {
                if (!resyncing) ++out_.resyncs;
                resyncing = true;
                needKey_ = true;
                ++pos;
                ++out_.skippedBytes;
                continue;
            }
            resyncing = false;
            FLV_TRY(take(tag, layout));
            pos = tag.tag.end();
        }
        if (pos < size_) out_.skippedBytes += size_ - pos;
        if (!audio_ && !video_) return diag(DiagCode::NotFlv, "no audio or video tag was found");
        out_.clockFixes = clock_.jumps().size();
        layout.setHeaderFlags(static_cast<std::uint8_t>((audio_ ? 4 : 0) | (video_ ? 1 : 0)));
        auto written = writeLayout(layout, output, options);
        if (!written) return written.error();
        out_.written = *written;
        return out_;
    }

  private:
    // After a sound header, the first tag; 0 when the header is unusable (then searched for).
    std::uint64_t firstTagOffset() {
        auto h = in_.read(0, 9);
        if (!h || size_ < 13) return 0;
        const auto& b = *h;
        const std::uint32_t dataOffset = be32(b.data() + 5);
        if (b[0] != 'F' || b[1] != 'L' || b[2] != 'V' || dataOffset < 9 || dataOffset > 1024)
            return 0;
        return std::uint64_t{dataOffset} + kPrevSizeSize;
    }

    // The tag header at pos when it looks like one: a known type, a size that fits the file,
    // stream id 0 and a first data byte that means something for its type. Filled in
    // place: this runs for every tag.
    Result<bool> plausibleAt(std::uint64_t pos, Candidate& c) {
        if (pos + kTagHeaderSize + 1 > size_) return false;
        auto h = in_.read(pos, kTagHeaderSize + 1);
        if (!h) return h.error();
        const auto& b = *h;
        c.trailerRead = false;
        c.tag.offset = pos;
        c.tag.type = b[0];
        c.tag.dataSize = be24(b.data() + 1);
        c.tag.timestamp = be24(b.data() + 4) | std::uint32_t{b[7]} << 24;
        c.firstBodyByte = b[11];
        const bool typeOk = c.tag.type == tagtype::kAudio || c.tag.type == tagtype::kVideo ||
                            c.tag.type == tagtype::kScript;
        if (!typeOk || c.tag.dataSize == 0 || c.tag.dataSize > kMaxPlausibleTag ||
            be24(b.data() + 8) != 0 || c.tag.bodyOffset() + c.tag.dataSize > size_)
            return false;
        const std::uint8_t f = c.firstBodyByte;
        bool bodyOk = true;
        if (c.tag.type == tagtype::kAudio) bodyOk = (f >> 4) != 12 && (f >> 4) != 13;
        if (c.tag.type == tagtype::kVideo)
            bodyOk = (f >> 4) >= 1 && (f >> 4) <= 5 && (f & 0x0F) >= 1 && (f & 0x0F) <= 7;
        if (c.tag.type == tagtype::kScript) bodyOk = f == 2;  // an AMF0 string: the name
        return bodyOk;
    }

    // A plausible tag that the file goes on from: its own PreviousTagSize is right, or another
    // plausible tag follows it, or the file ends there.
    Result<bool> chainedTagAt(std::uint64_t pos, Candidate& c) {
        auto plausible = plausibleAt(pos, c);
        if (!plausible || !*plausible) return plausible;
        const TagHeader& t = c.tag;
        const std::uint64_t bodyEnd = t.bodyOffset() + t.dataSize;
        if (bodyEnd + kPrevSizeSize >= size_) return true;
        auto prev = in_.read(bodyEnd, kPrevSizeSize);
        if (!prev) return prev.error();
        c.trailerRead = true;
        c.trailerRight = be32(prev->data()) == kTagHeaderSize + t.dataSize;
        if (c.trailerRight) return true;
        Candidate next;
        auto nextPlausible = plausibleAt(t.end(), next);
        if (!nextPlausible) return nextPlausible.error();
        return *nextPlausible || t.end() + kTagHeaderSize >= size_;
    }

    Status take(const Candidate& c, Layout& layout) {
        const TagHeader& t = c.tag;
        const std::uint64_t bodyEnd = t.bodyOffset() + t.dataSize;
        Stream stream = Stream::Script;
        if (t.type == tagtype::kAudio) stream = Stream::Audio;
        if (t.type == tagtype::kVideo) stream = Stream::Video;
        if (stream == Stream::Script) {
            auto body = in_.read(t.bodyOffset(), std::min<std::size_t>(t.dataSize, 64));
            if (!body) return body.error();
            ByteReader name(*body);
            auto n = decodeAmfName(name);
            if (n && *n == "onMetaData") return okStatus();  // rebuilt from the tags
        }
        bool config = false;
        if (stream == Stream::Video) {
            // Enough of the body to tell an AVC picture from its configuration.
            auto body = in_.read(t.bodyOffset(), std::min<std::size_t>(t.dataSize, kClassify));
            if (!body) return body.error();
            const VideoTagInfo info = classifyVideoTag(*body);
            config = info.kind == VideoKind::SequenceHeader;
            if (info.kind == VideoKind::Keyframe) needKey_ = false;
            if (needKey_ && info.countsAsFrame()) {
                ++out_.droppedFrames;
                return okStatus();
            }
            video_ = true;
        }
        if (stream == Stream::Audio) {
            audio_ = true;
            auto body = in_.read(t.bodyOffset(), std::min<std::size_t>(t.dataSize, 2));
            if (!body) return body.error();
            config = isAacSequenceHeader(*body);
        }
        // A decoder configuration is no frame: it follows the clock as script data does. A
        // writer stamps it 0 ahead of a recording that starts hours in, which is no jump.
        const Stream clock = config ? Stream::Script : stream;
        const std::int64_t ms = clock_.mend(
            clock, unwrap_[static_cast<std::size_t>(clock)].unwrap(t.timestamp), t.offset);
        const std::uint64_t trailerEnd = bodyEnd + kPrevSizeSize;
        Layout::Trailer trailer = Layout::Trailer::Appended;
        if (trailerEnd <= size_) {
            bool right = c.trailerRight;
            if (!c.trailerRead) {
                auto prev = in_.read(bodyEnd, kPrevSizeSize);
                if (!prev) return prev.error();
                right = be32(prev->data()) == kTagHeaderSize + t.dataSize;
            }
            trailer = right ? Layout::Trailer::Source : Layout::Trailer::Rewritten;
        }
        return layout.addTag(
            fd_, t, ms,
            [&](std::size_t n) {
                return in_.read(t.bodyOffset(), std::min<std::size_t>(n, t.dataSize));
            },
            trailer);
    }

    int fd_;
    std::uint64_t size_;
    FdSource source_;
    WindowReader in_;
    std::array<TimestampUnwrapper, 3> unwrap_;
    ClockMender clock_;
    bool needKey_ = true;
    bool audio_ = false, video_ = false;
    RepairOutcome out_;
};

}  // namespace

Result<RepairOutcome> repairFlv(const std::string& source, const std::string& output,
                                const WriteOptions& options) {
    if (sameFile(source, output))
        return diag(DiagCode::NotWritable, "the output is the source itself");
    auto src = openForReading(source);
    if (!src) return src.error();
    return Repairer(src->fd.get(), src->size).run(output, options);
}

}  // namespace flv
