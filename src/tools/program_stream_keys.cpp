#include "tools/program_stream_keys.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "flv/io.h"

namespace save {
namespace {

constexpr int64_t kTicks = 90000;  // program stream clocks count 90 kHz
constexpr int64_t kNoTime = INT64_MIN;
constexpr size_t kScanChunk = size_t{1} << 20;
constexpr size_t kSyncChunk = size_t{64} << 10;
constexpr int64_t kSyncBytes = int64_t{256} << 10;  // a pack header is looked for this far
// Where every stream has shown its first timestamp (ffmpeg's own start time
// reads as far).
constexpr int64_t kHeadBytes = int64_t{2} << 20;
// A part's keyframe is this far from where its search began at most; beyond it,
// the probe.
constexpr int64_t kScanLimit = int64_t{256} << 20;

flv::OpenFile openedOrNone(const std::string& path) {
    auto opened = flv::openForReading(path);
    return opened ? std::move(*opened) : flv::OpenFile{};
}

// A file read with plain positioned reads, a chunk at a time.
class PsFile {
  public:
    explicit PsFile(const std::string& path)
        : file_(openedOrNone(path)), source_(file_.fd.get(), file_.size), reader_(source_) {}

    bool ok() const { return file_.fd.valid() && file_.size > 0; }
    int64_t size() const { return static_cast<int64_t>(file_.size); }
    void setChunk(size_t bytes) { chunk_ = bytes; }
    // n bytes at pos, or nullptr when the file ends before them or cannot be
    // read.
    const uint8_t* at(int64_t pos, size_t n) {
        const auto want = static_cast<int64_t>(n);
        if (pos < 0 || pos + want > size()) return nullptr;
        if (pos < base_ || pos + want > base_ + static_cast<int64_t>(buf_.size())) {
            buf_.resize(static_cast<size_t>(
                std::min<int64_t>(std::max(want, static_cast<int64_t>(chunk_)), size() - pos)));
            if (!reader_.readInto(static_cast<uint64_t>(pos), buf_)) {
                buf_.clear();
                return nullptr;
            }
            base_ = pos;
        }
        return buf_.data() + (pos - base_);
    }

  private:
    flv::OpenFile file_;
    flv::FdSource source_;
    flv::WindowReader reader_;  // its window stays empty: only readInto, a loop of reads
    int64_t base_ = 0;
    size_t chunk_ = kScanChunk;
    std::vector<uint8_t> buf_;
};

// A 33-bit time in the five-byte layout of PES headers and MPEG-1 packs;
// kNoTime when a marker bit is wrong.
int64_t psTime(const uint8_t* p) {
    if (!(p[0] & 1) || !(p[2] & 1) || !(p[4] & 1)) return kNoTime;
    return (int64_t{p[0]} >> 1 & 7) << 30 | int64_t{p[1]} << 22 | (int64_t{p[2]} >> 1) << 15 |
           int64_t{p[3]} << 7 | int64_t{p[4]} >> 1;
}

// One packet of the multiplex: a pack header, a system header, a PES packet or
// the end code.
struct Packet {
    size_t length = 0;  // 0: not a packet
    uint8_t code = 0;   // 0xBA pack, 0xB9 end, 0xBB system header, else the stream id
    int64_t scr = kNoTime;
};

Packet packetAt(PsFile& f, int64_t pos) {
    const uint8_t* p = f.at(pos, 6);
    if (!p || p[0] || p[1] || p[2] != 1) return {};
    const uint8_t code = p[3];
    if (code == 0xB9) return {4, code};
    if (code == 0xBA) {
        if (!(p = f.at(pos, 12))) return {};
        if ((p[4] & 0xF1) == 0x21 && (p[9] & 0x80) && (p[11] & 1))  // MPEG-1
            return {12, code, psTime(p + 4)};
        if ((p[4] & 0xC4) != 0x44 || !(p = f.at(pos, 14))) return {};
        if (!(p[6] & 4) || !(p[8] & 4) || !(p[9] & 1)) return {};
        const int64_t scr = (int64_t{p[4]} >> 3 & 7) << 30 | int64_t{p[4] & 3} << 28 |
                            int64_t{p[5]} << 20 | (int64_t{p[6]} >> 3) << 15 |
                            int64_t{p[6] & 3} << 13 | int64_t{p[7]} << 5 | int64_t{p[8]} >> 3;
        return {14 + static_cast<size_t>(p[13] & 7), code, scr};
    }
    if (code < 0xBB) return {};
    return {6 + static_cast<size_t>(p[4] << 8 | p[5]), code};
}

// What a PES packet carries: its stream (the id, or 0x100 + the substream of
// private stream 1; -1 for padding and navigation packets, which have no times)
// and its times.
struct Pes {
    int stream = -1;
    int64_t pts = kNoTime, dts = kNoTime;
    size_t payload = 0;  // where its payload begins in the packet
};

// nullopt: a stream ffmpeg reads otherwise (subtitles, VC-1, a stream map, ...)
// or a broken header.
std::optional<Pes> pesAt(const uint8_t* p, size_t len) {
    const uint8_t id = p[3];
    Pes r;
    if (id == 0xBB || id == 0xBE || id == 0xBF) return r;
    if (id != 0xBD && (id < 0xC0 || id > 0xEF)) return std::nullopt;
    size_t i = 6;
    bool pts = false, dts = false;
    if (len > 8 && (p[6] & 0xC0) == 0x80) {  // MPEG-2
        pts = p[7] & 0x80;
        dts = (p[7] & 0xC0) == 0xC0;
        i = 9 + size_t{p[8]};
        if ((p[7] & 0xC0) == 0x40 || p[8] < (dts ? 10 : pts ? 5 : 0) || i > len)
            return std::nullopt;
        if (pts) r.pts = psTime(p + 9);
        if (dts) r.dts = psTime(p + 14);
    } else {  // MPEG-1
        while (i < len && p[i] == 0xFF && i < 6 + 16) ++i;
        if (i < len && (p[i] & 0xC0) == 0x40) i += 2;
        if (i >= len) return std::nullopt;
        pts = (p[i] & 0xE0) == 0x20;
        dts = (p[i] & 0xF0) == 0x30;
        if (!pts && p[i] != 0x0F) return std::nullopt;
        if (i + (dts ? 10 : pts ? 5 : 1) > len) return std::nullopt;
        if (pts) r.pts = psTime(p + i);
        if (dts) r.dts = psTime(p + i + 5);
        i += dts ? 10 : pts ? 5 : 1;
    }
    if (i > len || (pts && r.pts == kNoTime) || (dts && r.dts == kNoTime)) return std::nullopt;
    if (!dts) r.dts = r.pts;
    r.stream = id;
    if (id == 0xBD) {
        // AC-3, DTS and LPCM sound, as DVDs carry it; subtitles have start times of
        // their own.
        if (i >= len || !((p[i] >= 0x80 && p[i] <= 0x8F) || (p[i] >= 0xA0 && p[i] <= 0xAF)))
            return std::nullopt;
        r.stream = 0x100 + p[i];
    }
    r.payload = i;
    return r;
}

struct KeyPicture {
    int64_t pts = kNoTime, dts = kNoTime;
};

// Every picture, as a stream copy stops at them: by decoding time.
struct PictureAt {
    bool reference = false;  // I or P: shown when the next one is decoded
    int64_t dts = kNoTime;   // kNoTime: ffmpeg guesses it
};

// MPEG-1/2 frame_rate_code as the duration of one frame, in 90 kHz ticks (0: not known).
double framePeriod(int code) {
    static const double periods[] = {0, 3753.75, 3750, 3600, 3003, 3000, 1800, 1501.5, 1500};
    return code > 0 && code < 9 ? periods[code] : 0;
}

// The pictures of the video stream, followed across its PES packets by their
// start codes. A picture begins at the first start code after the previous
// picture's slices (a sequence header, a group header or the picture header
// itself), and the times of a PES header are those of the first picture that
// begins in its payload. An I-picture is a keyframe.
class PictureScan {
  public:
    // fromStart: the scan begins at the first byte of the stream, so its first
    // start code begins a picture; elsewhere the first picture counted is the one
    // after the first slice.
    explicit PictureScan(bool fromStart) : synced_(fromStart), afterSlices_(fromStart) {}

    bool bad = false;
    std::vector<KeyPicture> keys;     // in decoding order
    std::vector<PictureAt> pictures;  // every one, in decoding order
    double period = 0;                // of the last sequence header

    void pes(const uint8_t* data, size_t n, int64_t pts, int64_t dts) {
        ++pesIndex_;
        pesPts_ = pts;
        pesDts_ = dts;
        pesTaken_ = false;
        for (size_t j = 0; j < n && !bad; ++j) byte(data[j], j);
    }

  private:
    void byte(uint8_t b, size_t j) {
        if (want_ > 0) {
            header_[got_++] = b;
            if (got_ == want_) headerDone();
        }
        state_ = state_ << 8 | b;
        if ((state_ & 0xFFFFFF00) != 0x100) return;
        const bool whole = j >= 3;  // the start code lies in this PES packet
        const uint8_t code = b;
        const bool slice = code >= 0x01 && code <= 0xAF;
        if (slice) {
            synced_ = afterSlices_ = true;
            return;
        }
        if (afterSlices_ && synced_) {  // a picture begins here
            afterSlices_ = false;
            auPes_ = whole ? pesIndex_ : -2;  // not known
            auPts_ = auDts_ = kNoTime;
            if (whole && !pesTaken_) {
                auPts_ = pesPts_;
                auDts_ = pesDts_;
            }
            if (whole) pesTaken_ = true;
        }
        if (code == 0x00 || code == 0xB5) {  // picture header, extension: a few bytes more
            code_ = code;
            want_ = code == 0x00 ? 2 : 3;
            got_ = 0;
            // ffmpeg takes the times of the PES packet the picture header begins in when the
            // picture began there too, or, when the header lies inside the next packet and that
            // one has none, of the one the picture began in.
            const int64_t headerPes = whole ? pesIndex_ : pesIndex_ - 1;
            pictureTimed_ =
                headerPes == auPes_ || (headerPes == auPes_ + 1 && j >= 4 && pesPts_ == kNoTime);
        } else if (code == 0xB3) {  // sequence header: its frame rate
            code_ = code;
            want_ = 4;
            got_ = 0;
        } else if (code == 0xB7) {  // sequence end: the next start code begins a picture
            afterSlices_ = true;
        }
    }

    void headerDone() {
        want_ = 0;
        if (code_ == 0xB3) {
            period = framePeriod(header_[3] & 0x0F);
            return;
        }
        if (code_ == 0xB5) {
            // A picture coding extension of a field picture: ffmpeg keys a frame of
            // two fields by the type of the second, which this reader does not
            // follow.
            if (header_[0] >> 4 == 8 && (header_[2] & 3) != 3) bad = true;
            return;
        }
        if (!synced_) return;
        const int type = (header_[1] >> 3) & 7;
        if (type != 1) {
            // ffmpeg shows a B-picture as it decodes it (decoding time = its own time); a P
            // picture needs a decoding time before its picture time, else ffmpeg guesses one.
            const bool timed = pictureTimed_ && auPts_ != kNoTime;
            int64_t dts = kNoTime;
            if (type == 3 && timed) dts = auPts_;
            if (type == 2 && timed && auDts_ < auPts_) dts = auDts_;
            pictures.push_back({type != 3, dts});
            return;
        }
        // ffmpeg guesses the times of a picture that has none of its own, and takes
        // a decoding time equal to the picture time for a missing one (MPEG-1/2
        // video counts as reordered): what it guesses depends on where it began to
        // read.
        if (!pictureTimed_ || auPts_ == kNoTime || auDts_ >= auPts_) {
            bad = true;
            return;
        }
        keys.push_back({auPts_, auDts_});
        pictures.push_back({true, auDts_});
    }

    uint32_t state_ = 0xFFFFFFFF;
    bool synced_, afterSlices_;
    int64_t pesIndex_ = 0, auPes_ = -1;
    int64_t pesPts_ = kNoTime, pesDts_ = kNoTime, auPts_ = kNoTime, auDts_ = kNoTime;
    bool pesTaken_ = false, pictureTimed_ = false;
    uint8_t code_ = 0, header_[4] = {};
    int want_ = 0, got_ = 0;
};

struct PackAt {
    int64_t pos = 0, scr = 0;
};

// Two whole packets follow the one at pos (or the file ends): pos is a real
// packet boundary.
bool packetsFollow(PsFile& f, int64_t pos) {
    for (int k = 0; k < 3 && pos < f.size(); ++k) {
        const Packet p = packetAt(f, pos);
        if (!p.length) return false;
        pos += static_cast<int64_t>(p.length);
    }
    return pos <= f.size();
}

// The first pack header at or after pos that begins a run of whole packets.
std::optional<PackAt> packFrom(PsFile& f, int64_t pos) {
    f.setChunk(kSyncChunk);
    const int64_t end = std::min(f.size(), pos + kSyncBytes);
    for (int64_t q = pos; q + 4 <= end; ++q) {
        const uint8_t* p = f.at(q, 4);
        if (!p) return std::nullopt;
        if (p[0] || p[1] || p[2] != 1 || p[3] != 0xBA) continue;
        const Packet k = packetAt(f, q);
        if (k.length && k.scr != kNoTime && packetsFollow(f, q)) return PackAt{q, k.scr};
    }
    return std::nullopt;
}

// A pack whose clock is at most goal and at most a second before it (or the one
// before the first pack past goal when they are further apart): packs are read
// where the clocks of the bracket [lo, hi] say goal lies, and the bracket
// narrowed, as a seek would.
std::optional<int64_t> packBefore(PsFile& f, int64_t goal, PackAt lo, PackAt hi) {
    if (goal >= hi.scr) return hi.pos;
    bool halve = false;  // the last guess overshot: the next one halves the bracket
    for (int i = 0; i < 64 && goal - lo.scr > kTicks && hi.pos - lo.pos > kSyncBytes; ++i) {
        const double share =
            static_cast<double>(goal - kTicks / 2 - lo.scr) / static_cast<double>(hi.scr - lo.scr);
        int64_t guess =
            halve ? lo.pos + (hi.pos - lo.pos) / 2
                  : lo.pos + static_cast<int64_t>(share * static_cast<double>(hi.pos - lo.pos));
        guess = std::clamp(guess, lo.pos + 1, hi.pos - 1);
        const auto mid = packFrom(f, guess);
        if (!mid) return std::nullopt;
        if (mid->pos >= hi.pos) break;
        if (mid->scr < lo.scr || mid->scr > hi.scr) return std::nullopt;  // not one clock
        halve = mid->scr > goal;
        (halve ? hi : lo) = *mid;
    }
    return lo.pos;
}

// What a scan from one pack found: the last I-picture whose picture time is at
// most target, among those seen whole.
struct Scan {
    bool bad = false;
    std::optional<KeyPicture> key;
};

// Feeds the video's PES packets, from the pack at pos on, to pictures until done(header)
// says so after one of them or the file ends. False when a packet cannot be read, the search
// runs too far, or the pictures are beyond this reader.
template <class Done>
bool scanVideo(PsFile& f, int64_t pos, int video, PictureScan& pictures, Done done) {
    f.setChunk(kScanChunk);
    const int64_t limit = pos + kScanLimit;
    while (pos < f.size()) {
        const Packet k = packetAt(f, pos);
        const uint8_t* p = k.length ? f.at(pos, k.length) : nullptr;
        if (!p || pos > limit) return false;
        pos += static_cast<int64_t>(k.length);
        if (k.code == 0xBA || k.code == 0xB9) continue;
        const std::optional<Pes> h = pesAt(p, k.length);
        if (!h) return false;
        if (h->stream != video) continue;
        pictures.pes(p + h->payload, k.length - h->payload, h->pts, h->dts);
        if (pictures.bad) return false;
        if (done(*h)) return true;
    }
    return true;
}

// Reads from the pack at pos until the video's decoding times pass target
// (every picture after that is shown later) or an I-picture shown after target
// comes.
Scan scanFrom(PsFile& f, int64_t pos, int video, int64_t target) {
    PictureScan pictures(pos == 0);
    Scan r;
    const bool read = scanVideo(f, pos, video, pictures, [&](const Pes& h) {
        for (const KeyPicture& key : pictures.keys) {
            if (key.pts > target) return true;
            r.key = key;
        }
        pictures.keys.clear();
        pictures.pictures.clear();
        return h.dts != kNoTime && h.dts > target;
    });
    if (!read) return {true, {}};
    return r;
}

// The pictures decoded around target: read from a pack a second before it (a picture's data
// comes before its decoding time) until the video's decoding times are half a second past it,
// more than a run of B-pictures lasts.
struct Around {
    bool bad = false;
    std::vector<PictureAt> pictures;
    double period = 0;  // 0: no sequence header on the way
};
Around unreadable() {
    Around a;
    a.bad = true;
    return a;
}

Around picturesAround(PsFile& f, int64_t pos, int video, int64_t target) {
    PictureScan scan(pos == 0);
    if (!scanVideo(f, pos, video, scan,
                   [&](const Pes& h) { return h.dts != kNoTime && h.dts > target + kTicks / 2; }))
        return unreadable();
    return {false, scan.pictures, scan.period};
}

// Where a stream copy should stop (a decoding time on the file's clock) instead of at the first
// picture decoded at or after target: a copy that stops at a B-picture leaves out the
// B-pictures shown before the last I- or P-picture it kept, so it runs on to the next I- or
// P-picture. kNoTime when there is no gap, or when ffmpeg's decoding times cannot be told:
// the pictures without times of their own are counted a frame apart, as ffmpeg counts them,
// which holds only where every timed picture keeps that step.
int64_t closedStop(const std::vector<PictureAt>& pictures, double period, int64_t target) {
    if (period <= 0) return kNoTime;
    size_t first = 0;
    while (first < pictures.size() && pictures[first].dts == kNoTime) ++first;
    std::vector<double> dts(pictures.size(), 0);
    size_t stop = pictures.size();
    for (size_t i = first; i < pictures.size(); ++i) {
        double d = i == first ? static_cast<double>(pictures[i].dts) : dts[i - 1] + period;
        if (pictures[i].dts != kNoTime) {
            if (std::abs(static_cast<double>(pictures[i].dts) - d) > 2) return kNoTime;
            d = static_cast<double>(pictures[i].dts);
        }
        dts[i] = d;
        if (stop == pictures.size() && d >= static_cast<double>(target)) stop = i;
    }
    if (stop <= first || stop == pictures.size() || pictures[stop].reference) return kNoTime;
    size_t next = stop;
    while (next < pictures.size() && !pictures[next].reference) ++next;
    if (next == pictures.size()) return kNoTime;
    return std::llround((dts[next - 1] + dts[next]) / 2);
}

// What the start of the file tells: the video stream, the media start as ffmpeg
// counts it (the smallest first time over the streams) and the first keyframe.
struct Head {
    int video = -1;
    int64_t start = kNoTime, videoStart = kNoTime;
    KeyPicture firstKey;
    PackAt firstPack;
    double period = 0;  // of the first sequence header
};

std::optional<Head> readHead(PsFile& f) {
    Head h;
    const auto first = packFrom(f, 0);
    if (!first || first->pos != 0) return std::nullopt;
    h.firstPack = *first;
    f.setChunk(kScanChunk);
    std::map<int, int64_t> firstTimes;
    PictureScan pictures(true);
    for (int64_t pos = 0; pos < std::min(f.size(), kHeadBytes);) {
        const Packet k = packetAt(f, pos);
        const uint8_t* p = k.length ? f.at(pos, k.length) : nullptr;
        if (!p) return std::nullopt;
        pos += static_cast<int64_t>(k.length);
        if (k.code == 0xBA || k.code == 0xB9) continue;
        const std::optional<Pes> pes = pesAt(p, k.length);
        if (!pes) return std::nullopt;
        if (pes->stream < 0) continue;
        if (!firstTimes.count(pes->stream)) {
            if (pes->pts == kNoTime) return std::nullopt;
            firstTimes[pes->stream] = pes->pts;
        }
        const bool isVideo = pes->stream >= 0xE0 && pes->stream <= 0xEF;
        if (isVideo && h.video < 0) {
            // MPEG-1/2 video begins with a sequence header; anything else is left to
            // ffmpeg.
            const uint8_t* es = p + pes->payload;
            if (k.length - pes->payload < 4 || es[0] || es[1] || es[2] != 1 || es[3] != 0xB3)
                return std::nullopt;
            h.video = pes->stream;
        } else if (isVideo && pes->stream != h.video) {
            return std::nullopt;  // which one is first is ffmpeg's to say
        }
        if (pes->stream != h.video || h.firstKey.pts != kNoTime) continue;
        pictures.pes(p + pes->payload, k.length - pes->payload, pes->pts, pes->dts);
        if (pictures.bad) return std::nullopt;
        if (!pictures.keys.empty()) h.firstKey = pictures.keys.front();
        h.period = pictures.period;
    }
    if (h.video < 0 || h.firstKey.pts == kNoTime) return std::nullopt;
    for (const auto& [stream, t] : firstTimes)
        if (h.start == kNoTime || t < h.start) h.start = t;
    h.videoStart = firstTimes[h.video];
    for (const auto& [stream, t] : firstTimes)
        if (t - h.start > 60 * kTicks) return std::nullopt;  // a clock about to wrap
    return h;
}

}  // namespace

std::optional<FileCuts> programStreamCuts(const std::string& path,
                                          const std::vector<int64_t>& starts,
                                          const std::vector<int64_t>& ends) {
    PsFile f(path);
    if (!f.ok()) return std::nullopt;
    const std::optional<Head> head = readHead(f);
    if (!head) return std::nullopt;
    const auto last = packFrom(f, std::max<int64_t>(0, f.size() - kSyncBytes));
    if (!last || last->scr < head->firstPack.scr) return std::nullopt;
    // The last keyframe shown at or before target; nullopt when none, or when
    // unsure.
    std::optional<std::optional<KeyPicture>> known;
    int64_t knownTarget = kNoTime;
    const auto lastKey = [&](int64_t target) -> std::optional<std::optional<KeyPicture>> {
        if (known && knownTarget == target) return known;
        // A keyframe's data comes before its decoding time, a few seconds at most:
        // search from that far back, then further while none comes before target.
        for (int64_t back = 2 * kTicks;; back *= 4) {
            const int64_t goal = target - back;
            const std::optional<int64_t> pos =
                goal <= head->firstPack.scr ? 0 : packBefore(f, goal, head->firstPack, *last);
            if (!pos) return std::nullopt;
            const Scan scan = scanFrom(f, *pos, head->video, target);
            if (scan.bad) return std::nullopt;
            if (scan.key || *pos == 0) {
                knownTarget = target;
                known = scan.key;
                return known;
            }
        }
    };
    FileCuts found;
    for (const int64_t S : starts) {
        // The probe's windows, widened until one shows a keyframe at or before S.
        // The probe maps the video alone, and ffmpeg then counts times from the
        // later of its own seek point and the video's first picture.
        CutStart cs;  // none at or before S: the cut reads from the beginning
        for (double w = firstProbeWindow(S, tools::ToolKind::Mpeg);;
             w = widerProbeWindow(w, S).value_or(0)) {
            const int64_t seek = std::llround(w * 1000) * (kTicks / 1000);
            const int64_t origin = std::max(head->start + seek, head->videoStart);
            const auto key = lastKey(origin - seek + S * kTicks);
            if (!key) return std::nullopt;
            if (*key && (*key)->pts >= origin) {
                const KeyPicture& k = **key;
                cs.keyTime = w + static_cast<double>(k.pts - origin) / kTicks;
                cs.keyDecodeTime = w + static_cast<double>(k.dts - origin) / kTicks;
                cs.fromFileStart =
                    (w <= 0 && k.pts == head->firstKey.pts) || cs.keyDecodeTime <= 0.001;
                break;
            }
            if (w <= 0) break;
        }
        found.starts.push_back(cs);
    }
    // A copy's times count from the media start, the earliest of every stream's first time.
    for (const int64_t end : ends) {
        const int64_t target = head->start + end * kTicks;
        const int64_t goal = target - kTicks;
        const std::optional<int64_t> pos =
            goal <= head->firstPack.scr ? 0 : packBefore(f, goal, head->firstPack, *last);
        const Around around = pos ? picturesAround(f, *pos, head->video, target) : unreadable();
        const int64_t stop =
            around.bad ? kNoTime
                       : closedStop(around.pictures,
                                    around.period > 0 ? around.period : head->period, target);
        found.copyEnds.push_back(
            stop == kNoTime ? 0 : std::llround(static_cast<double>(stop - head->start) / 90));
    }
    return found;
}

}  // namespace save
