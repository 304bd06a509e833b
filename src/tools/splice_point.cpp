#include "tools/splice_point.h"

#include <QFile>
#include <algorithm>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "flv/avc_joint.h"
#include "tools/movie_box.h"

namespace save {
namespace {

using movie::Box;
using movie::boxPath;
using movie::child;
using movie::readMoov;
using movie::Sample;
using movie::u32;

constexpr int kCra = 21;     // HEVC NAL unit types
constexpr int kBlaWLp = 16;  // a broken link whose leading pictures a decoder may skip

// The video track: its codec, how its NAL units are framed, and where its first `wanted`
// samples lie.
struct VideoTrack {
    enum class Codec { Other, Hevc, Avc } codec = Codec::Other;
    int lengthSize = 4;
    QByteArray avcRecord;  // the AVCDecoderConfigurationRecord
    std::vector<Sample> samples;
};

std::optional<VideoTrack> videoTrack(const QByteArray& moov, qint64 fileSize, std::size_t wanted) {
    const std::optional<Box> trak = movie::videoTrak(moov);
    if (!trak) return std::nullopt;
    const std::optional<Box> stbl = boxPath(moov, *trak, {"mdia", "minf", "stbl"});
    if (!stbl) return std::nullopt;
    VideoTrack t;
    // stsd: version and flags, entry count, then the first sample entry as a box.
    const std::optional<Box> stsd = child(moov, *stbl, "stsd");
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
    const std::optional<Box> config = child(moov, entryBody + 78, entryEnd, hevc ? "hvcC" : "avcC");
    // The NAL length size sits in the low bits of hvcC's 22nd byte, of avcC's 5th.
    const qint64 lengthAt = hevc ? 21 : 4;
    if (!config || config->body + lengthAt + 1 > config->end) return std::nullopt;
    t.lengthSize = (static_cast<uchar>(moov[config->body + lengthAt]) & 3) + 1;
    if (!hevc) t.avcRecord = moov.mid(config->body, config->end - config->body);
    auto s = movie::samples(moov, *stbl, fileSize, wanted);
    if (!s || s->empty()) return std::nullopt;
    t.samples = std::move(*s);
    return t;
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
    const std::optional<VideoTrack> whole = videoTrack(moov, f.size(), SIZE_MAX);
    if (!whole) return SpliceMark::Unreadable;
    const VideoTrack& t = *whole;
    QFile prev(previousPath);
    if (!prev.open(QIODevice::ReadOnly)) return SpliceMark::Unreadable;
    const std::optional<QByteArray> prevMoov = readMoov(prev);
    const std::optional<VideoTrack> before =
        prevMoov ? videoTrack(*prevMoov, prev.size(), SIZE_MAX) : std::nullopt;
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
    const std::optional<VideoTrack> t = videoTrack(*moov, f.size(), 1);
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
