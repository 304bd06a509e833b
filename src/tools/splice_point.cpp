#include "tools/splice_point.h"

#include <QFile>
#include <QtEndian>
#include <algorithm>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "flv/avc_joint.h"

namespace save {
namespace {

constexpr int kCra = 21;     // HEVC NAL unit types
constexpr int kBlaWLp = 16;  // a broken link whose leading pictures a decoder may skip
constexpr qint64 kMaxMoov = qint64{256} << 20;

quint32 u32(const QByteArray& d, qint64 at) {
    return qFromBigEndian<quint32>(reinterpret_cast<const uchar*>(d.constData() + at));
}
quint64 u64(const QByteArray& d, qint64 at) {
    return qFromBigEndian<quint64>(reinterpret_cast<const uchar*>(d.constData() + at));
}

// A box whose header begins at `at` of d, with room bytes left for it: its body runs from
// body to end (offsets in d's frame). nullopt when the header does not fit its room.
struct Box {
    qint64 body = 0, end = 0;
};
std::optional<Box> boxAt(const QByteArray& d, qint64 at, qint64 room) {
    if (room < 8 || at + 8 > d.size()) return std::nullopt;
    qint64 size = u32(d, at), header = 8;
    if (size == 1) {
        if (room < 16 || at + 16 > d.size()) return std::nullopt;
        size = static_cast<qint64>(u64(d, at + 8));
        header = 16;
    } else if (size == 0) {  // up to the end of what holds it
        size = room;
    }
    if (size < header || size > room) return std::nullopt;
    return Box{at + header, at + size};
}

// The first box of type inside [from, to) of d, skipping the first `skip` boxes of that type.
std::optional<Box> child(const QByteArray& d, qint64 from, qint64 to, const char* type,
                         int skip = 0) {
    for (qint64 at = from; at + 8 <= to;) {
        const std::optional<Box> b = boxAt(d, at, to - at);
        if (!b) return std::nullopt;
        if (d.mid(at + 4, 4) == type && skip-- == 0) return b;
        at = b->end;
    }
    return std::nullopt;
}

std::optional<Box> path(const QByteArray& d, Box in, std::initializer_list<const char*> types) {
    std::optional<Box> b = in;
    for (const char* t : types) {
        b = child(d, b->body, b->end, t);
        if (!b) return std::nullopt;
    }
    return b;
}

// The movie header of the file, read whole.
std::optional<QByteArray> readMoov(QFile& f) {
    for (qint64 at = 0; at + 8 <= f.size();) {
        if (!f.seek(at)) return std::nullopt;
        const QByteArray h = f.read(16);
        const std::optional<Box> b = boxAt(h, 0, f.size() - at);
        if (!b) return std::nullopt;
        if (h.mid(4, 4) == "moov") {
            const qint64 size = b->end;
            if (size > kMaxMoov || !f.seek(at)) return std::nullopt;
            const QByteArray moov = f.read(size);
            return moov.size() == size ? std::optional<QByteArray>(moov) : std::nullopt;
        }
        at += b->end;
    }
    return std::nullopt;
}

struct Sample {
    qint64 offset = 0, size = 0;
};

// The video track: its codec, how its NAL units are framed, and where its first `wanted`
// samples lie.
struct VideoTrack {
    enum class Codec { Other, Hevc, Avc } codec = Codec::Other;
    int lengthSize = 4;
    QByteArray avcRecord;  // the AVCDecoderConfigurationRecord
    std::vector<Sample> samples;
};

// Sizes from stsz, chunks from stco or co64, samples per chunk from stsc.
std::optional<std::vector<Sample>> samples(const QByteArray& moov, Box stbl, std::size_t wanted) {
    const std::optional<Box> stsz = child(moov, stbl.body, stbl.end, "stsz");
    const std::optional<Box> stsc = child(moov, stbl.body, stbl.end, "stsc");
    if (!stsz || stsz->body + 12 > stsz->end || !stsc || stsc->body + 8 > stsc->end)
        return std::nullopt;
    const quint32 fixedSize = u32(moov, stsz->body + 4);
    const qint64 count = u32(moov, stsz->body + 8);
    if (fixedSize == 0 && stsz->body + 12 + 4 * count > stsz->end) return std::nullopt;
    std::vector<qint64> chunks;
    if (const std::optional<Box> stco = child(moov, stbl.body, stbl.end, "stco")) {
        const qint64 n = stco->body + 8 <= stco->end ? u32(moov, stco->body + 4) : -1;
        if (n < 0 || stco->body + 8 + 4 * n > stco->end) return std::nullopt;
        for (qint64 i = 0; i < n; ++i) chunks.push_back(u32(moov, stco->body + 8 + 4 * i));
    } else if (const std::optional<Box> co64 = child(moov, stbl.body, stbl.end, "co64")) {
        const qint64 n = co64->body + 8 <= co64->end ? u32(moov, co64->body + 4) : -1;
        if (n < 0 || co64->body + 8 + 8 * n > co64->end) return std::nullopt;
        for (qint64 i = 0; i < n; ++i)
            chunks.push_back(static_cast<qint64>(u64(moov, co64->body + 8 + 8 * i)));
    } else {
        return std::nullopt;
    }
    const qint64 runs = u32(moov, stsc->body + 4);
    if (stsc->body + 8 + 12 * runs > stsc->end) return std::nullopt;
    std::vector<Sample> out;
    wanted = std::min<std::size_t>(wanted, static_cast<std::size_t>(count));
    for (qint64 r = 0; r < runs && out.size() < wanted; ++r) {
        const qint64 at = stsc->body + 8 + 12 * r;
        const qint64 first = u32(moov, at), perChunk = u32(moov, at + 4);
        const qint64 last =
            r + 1 < runs ? qint64{u32(moov, at + 12)} - 1 : static_cast<qint64>(chunks.size());
        if (first < 1 || last > static_cast<qint64>(chunks.size())) return std::nullopt;
        for (qint64 c = first; c <= last && out.size() < wanted; ++c) {
            qint64 offset = chunks[static_cast<std::size_t>(c - 1)];
            for (qint64 k = 0; k < perChunk && out.size() < wanted; ++k) {
                const qint64 size =
                    fixedSize ? fixedSize
                              : u32(moov, stsz->body + 12 + 4 * static_cast<qint64>(out.size()));
                out.push_back({offset, size});
                offset += size;
            }
        }
    }
    return out;
}

std::optional<VideoTrack> videoTrack(const QByteArray& moov, std::size_t wanted) {
    const std::optional<Box> whole = boxAt(moov, 0, moov.size());
    if (!whole) return std::nullopt;
    for (int k = 0;; ++k) {
        const std::optional<Box> trak = child(moov, whole->body, whole->end, "trak", k);
        if (!trak) return std::nullopt;
        const std::optional<Box> hdlr = path(moov, *trak, {"mdia", "hdlr"});
        if (!hdlr || hdlr->body + 12 > hdlr->end || moov.mid(hdlr->body + 8, 4) != "vide") continue;
        const std::optional<Box> stbl = path(moov, *trak, {"mdia", "minf", "stbl"});
        if (!stbl) return std::nullopt;
        VideoTrack t;
        // stsd: version and flags, entry count, then the first sample entry as a box.
        const std::optional<Box> stsd = child(moov, stbl->body, stbl->end, "stsd");
        if (!stsd || stsd->body + 16 > stsd->end) return std::nullopt;
        const QByteArray entry = moov.mid(stsd->body + 12, 4);
        if (entry == "hvc1" || entry == "hev1")
            t.codec = VideoTrack::Codec::Hevc;
        else if (entry == "avc1" || entry == "avc3")
            t.codec = VideoTrack::Codec::Avc;
        else
            return t;
        // A visual sample entry's own fields take 78 bytes before its child boxes.
        const qint64 entryBody = stsd->body + 16;
        const qint64 entryEnd = stsd->body + 8 + u32(moov, stsd->body + 8);
        if (entryEnd > stsd->end) return std::nullopt;
        const bool hevc = t.codec == VideoTrack::Codec::Hevc;
        const std::optional<Box> config =
            child(moov, entryBody + 78, entryEnd, hevc ? "hvcC" : "avcC");
        // The NAL length size sits in the low bits of hvcC's 22nd byte, of avcC's 5th.
        const qint64 lengthAt = hevc ? 21 : 4;
        if (!config || config->body + lengthAt + 1 > config->end) return std::nullopt;
        t.lengthSize = (static_cast<uchar>(moov[config->body + lengthAt]) & 3) + 1;
        if (!hevc) t.avcRecord = moov.mid(config->body, config->end - config->body);
        auto s = samples(moov, *stbl, wanted);
        if (!s || s->empty()) return std::nullopt;
        t.samples = std::move(*s);
        return t;
    }
}

std::optional<QByteArray> readSample(QFile& f, const Sample& s) {
    if (s.size <= 0 || s.offset + s.size > f.size() || !f.seek(s.offset)) return std::nullopt;
    const QByteArray d = f.read(s.size);
    return d.size() == s.size ? std::optional<QByteArray>(d) : std::nullopt;
}

std::span<const std::uint8_t> bytes(const QByteArray& d) {
    return {reinterpret_cast<const std::uint8_t*>(d.constData()),
            static_cast<std::size_t>(d.size())};
}

SpliceMark markCra(QFile& f, const VideoTrack& t) {
    const Sample& s = t.samples.front();
    if (s.size <= 0 || s.offset + s.size > f.size()) return SpliceMark::Unreadable;
    // Every unit of the sample first, so that nothing is written into a sample that turns
    // out not to be framed as the header says.
    std::vector<std::pair<qint64, uchar>> cra;  // each CRA unit's first header byte, and where
    for (qint64 at = s.offset; at < s.offset + s.size;) {
        if (!f.seek(at)) return SpliceMark::Unreadable;
        const QByteArray h = f.read(t.lengthSize + 2);
        if (h.size() != t.lengthSize + 2) return SpliceMark::Unreadable;
        qint64 length = 0;
        for (int i = 0; i < t.lengthSize; ++i) length = length << 8 | static_cast<uchar>(h[i]);
        const qint64 next = at + t.lengthSize + length;
        if (length < 2 || next > s.offset + s.size) return SpliceMark::Unreadable;
        const auto first = static_cast<uchar>(h[t.lengthSize]);
        if (((first >> 1) & 0x3F) == kCra) cra.emplace_back(at + t.lengthSize, first);
        at = next;
    }
    if (cra.empty()) return SpliceMark::NotNeeded;
    for (const auto& [at, first] : cra) {
        const auto bla = static_cast<char>((first & 0x81) | kBlaWLp << 1);
        if (!f.seek(at) || !f.putChar(bla)) return SpliceMark::Unreadable;
    }
    return f.flush() ? SpliceMark::Marked : SpliceMark::Unreadable;
}

// H.264: the part's pictures up to its first IDR renumbered to go on from the previous part.
// Only a part that starts open has its sample table read whole, and the part before it.
SpliceMark continueAvc(QFile& f, const QByteArray& moov, const VideoTrack& start,
                       const QString& previousPath) {
    flv::AvcJoint joint(0);
    const std::optional<QByteArray> first = readSample(f, start.samples.front());
    if (!first) return SpliceMark::Unreadable;
    if (!joint.startsOpen(bytes(start.avcRecord), bytes(*first))) return SpliceMark::NotNeeded;
    const std::optional<VideoTrack> whole = videoTrack(moov, SIZE_MAX);
    if (!whole) return SpliceMark::Unreadable;
    const VideoTrack& t = *whole;
    QFile prev(previousPath);
    if (!prev.open(QIODevice::ReadOnly)) return SpliceMark::Unreadable;
    const std::optional<QByteArray> prevMoov = readMoov(prev);
    const std::optional<VideoTrack> before =
        prevMoov ? videoTrack(*prevMoov, SIZE_MAX) : std::nullopt;
    if (!before || before->codec != VideoTrack::Codec::Avc) return SpliceMark::Unreadable;
    joint.configuration(bytes(before->avcRecord));
    for (const Sample& s : before->samples) {
        const std::optional<QByteArray> d = readSample(prev, s);
        if (!d) return SpliceMark::Unreadable;
        joint.picture(bytes(*d));
    }
    // Every change first, so that a part that cannot be renumbered whole is left as it was.
    joint.configuration(bytes(t.avcRecord));
    joint.startPiece();
    std::vector<std::pair<qint64, flv::AvcJoint::Patch>> changes;
    for (const Sample& s : t.samples) {
        if (!joint.renumbering()) break;
        const std::optional<QByteArray> d = readSample(f, s);
        if (!d) return SpliceMark::Unreadable;
        for (const flv::AvcJoint::Patch& p : joint.picture(bytes(*d)))
            changes.emplace_back(s.offset, p);
        if (joint.gaveUp()) return SpliceMark::Unreadable;
    }
    if (changes.empty()) return SpliceMark::NotNeeded;
    for (const auto& [at, p] : changes) {
        if (!f.seek(at + static_cast<qint64>(p.offset)) ||
            f.write(reinterpret_cast<const char*>(p.bytes.data()), 4) != 4)
            return SpliceMark::Unreadable;
    }
    return f.flush() ? SpliceMark::Marked : SpliceMark::Unreadable;
}

}  // namespace

SpliceMark markSplicePoint(const QString& previous, const QString& filePath) {
    QFile f(filePath);
    if (!f.open(QIODevice::ReadWrite)) return SpliceMark::Unreadable;
    const std::optional<QByteArray> moov = readMoov(f);
    if (!moov) return SpliceMark::Unreadable;
    const std::optional<VideoTrack> t = videoTrack(*moov, 1);
    if (!t) return SpliceMark::Unreadable;
    switch (t->codec) {
        case VideoTrack::Codec::Hevc:
            return markCra(f, *t);
        case VideoTrack::Codec::Avc:
            return continueAvc(f, *moov, *t, previous);
        case VideoTrack::Codec::Other:
            break;
    }
    return SpliceMark::NotNeeded;
}

}  // namespace save
