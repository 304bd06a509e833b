#include "tools/splice_point.h"

#include <QFile>
#include <algorithm>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "flv/avc_joint.h"
#include "tools/movie_box.h"
#include "tools/save_plan.h"

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

// HEVC: the CRA units of the sample (of a track whose NAL units follow lengths of
// lengthSize bytes) made BLA units, in place.
SpliceMark markCra(QFile& f, int lengthSize, const Sample& s) {
    if (s.size <= 0 || s.offset + s.size > f.size()) return SpliceMark::Unreadable;
    // Every unit of the sample first, so that nothing is written into a sample that turns
    // out not to be framed as the header says.
    std::vector<std::pair<qint64, uchar>> cra;  // each CRA unit's first header byte, and where
    for (qint64 at = s.offset; at < s.offset + s.size;) {
        if (!f.seek(at)) return SpliceMark::Unreadable;
        const QByteArray h = f.read(lengthSize + 2);
        if (h.size() != lengthSize + 2) return SpliceMark::Unreadable;
        qint64 length = 0;
        for (int i = 0; i < lengthSize; ++i) length = length << 8 | static_cast<uchar>(h[i]);
        const qint64 next = at + lengthSize + length;
        if (length < 2 || next > s.offset + s.size) return SpliceMark::Unreadable;
        const auto first = static_cast<uchar>(h[lengthSize]);
        if (((first >> 1) & 0x3F) == kCra) cra.emplace_back(at + lengthSize, first);
        at = next;
    }
    if (cra.empty()) return SpliceMark::NotNeeded;
    for (const auto& [at, first] : cra) {
        const auto bla = static_cast<char>((first & 0x81) | kBlaWLp << 1);
        if (!f.seek(at) || !f.putChar(bla)) return SpliceMark::Unreadable;
    }
    return f.flush() ? SpliceMark::Marked : SpliceMark::Unreadable;
}

// The H.264 pictures of one piece: samples of a file, read with their configuration record.
struct Piece {
    QFile* file = nullptr;
    QByteArray record;
    std::span<const Sample> samples;
};

// The piece's pictures up to its first IDR renumbered, in its file, to go on from the piece
// before: all of them, or none when one cannot be rewritten in place.
SpliceMark continueFrom(const Piece& before, const Piece& piece) {
    flv::AvcJoint joint(0);
    const std::optional<QByteArray> first =
        piece.samples.empty() ? std::nullopt : readSample(*piece.file, piece.samples.front());
    if (!first) return SpliceMark::Unreadable;
    if (!joint.startsOpen(bytes(piece.record), bytes(*first))) return SpliceMark::NotNeeded;
    joint.configuration(bytes(before.record));
    for (const Sample& s : before.samples) {
        const std::optional<QByteArray> d = readSample(*before.file, s);
        if (!d) return SpliceMark::Unreadable;
        joint.picture(bytes(*d));
    }
    joint.configuration(bytes(piece.record));
    joint.startPiece();
    std::vector<std::pair<qint64, flv::AvcJoint::Patch>> changes;
    for (const Sample& s : piece.samples) {
        if (!joint.renumbering()) break;
        const std::optional<QByteArray> d = readSample(*piece.file, s);
        if (!d) return SpliceMark::Unreadable;
        for (const flv::AvcJoint::Patch& p : joint.picture(bytes(*d)))
            changes.emplace_back(s.offset, p);
        if (joint.gaveUp()) return SpliceMark::Unreadable;
    }
    if (changes.empty()) return SpliceMark::NotNeeded;
    for (const auto& [at, p] : changes) {
        if (!piece.file->seek(at + static_cast<qint64>(p.offset)) ||
            piece.file->write(reinterpret_cast<const char*>(p.bytes.data()), 4) != 4)
            return SpliceMark::Unreadable;
    }
    return piece.file->flush() ? SpliceMark::Marked : SpliceMark::Unreadable;
}

// H.264: a part that starts open goes on from the previous part. Only then are the part's
// sample table read whole, and the part before it.
SpliceMark continueAvc(QFile& f, const QByteArray& moov, const VideoTrack& start,
                       const QString& previousPath) {
    const std::optional<QByteArray> first = readSample(f, start.samples.front());
    if (!first) return SpliceMark::Unreadable;
    if (!flv::AvcJoint(0).startsOpen(bytes(start.avcRecord), bytes(*first)))
        return SpliceMark::NotNeeded;
    const std::optional<VideoTrack> whole = videoTrack(moov, f.size(), SIZE_MAX);
    if (!whole) return SpliceMark::Unreadable;
    QFile prev(previousPath);
    if (!prev.open(QIODevice::ReadOnly)) return SpliceMark::Unreadable;
    const std::optional<QByteArray> prevMoov = readMoov(prev);
    const std::optional<VideoTrack> before =
        prevMoov ? videoTrack(*prevMoov, prev.size(), SIZE_MAX) : std::nullopt;
    if (!before || before->codec != VideoTrack::Codec::Avc) return SpliceMark::Unreadable;
    return continueFrom({&prev, before->avcRecord, before->samples},
                        {&f, whole->avcRecord, whole->samples});
}

// The video track of a file, its whole sample table.
std::optional<VideoTrack> wholeTrack(QFile& f) {
    const std::optional<QByteArray> moov = readMoov(f);
    return moov ? videoTrack(*moov, f.size(), SIZE_MAX) : std::nullopt;
}

}  // namespace

bool joinsAsMovie(const QString& ext) {
    const QString mux = muxerFor(ext);
    return mux == QLatin1String("mp4") || mux == QLatin1String("mov") ||
           mux == QLatin1String("3gp");
}

SpliceMark markSplicePoint(const QString& previous, const QString& filePath) {
    QFile f(filePath);
    if (!f.open(QIODevice::ReadWrite)) return SpliceMark::Unreadable;
    const std::optional<QByteArray> moov = readMoov(f);
    if (!moov) return SpliceMark::Unreadable;
    const std::optional<VideoTrack> t = videoTrack(*moov, f.size(), 1);
    if (!t) return SpliceMark::Unreadable;
    switch (t->codec) {
        case VideoTrack::Codec::Hevc:
            return markCra(f, t->lengthSize, t->samples.front());
        case VideoTrack::Codec::Avc:
            return continueAvc(f, *moov, *t, previous);
        case VideoTrack::Codec::Other:
            break;
    }
    return SpliceMark::NotNeeded;
}

SpliceMark markJoints(const QString& joinedPath, const QStringList& items,
                      const std::vector<std::vector<std::size_t>>& leftOut) {
    QFile f(joinedPath);
    if (!f.open(QIODevice::ReadWrite)) return SpliceMark::Unreadable;
    const std::optional<VideoTrack> joined = wholeTrack(f);
    if (!joined) return SpliceMark::Unreadable;
    if (joined->codec == VideoTrack::Codec::Other) return SpliceMark::NotNeeded;
    SpliceMark result = SpliceMark::NotNeeded;
    Piece before;
    std::size_t at = 0;  // where the item's pictures begin among the joined file's
    for (qsizetype k = 0; k < items.size(); ++k) {
        QFile in(items[k]);
        const std::optional<VideoTrack> own =
            in.open(QIODevice::ReadOnly) ? wholeTrack(in) : std::nullopt;
        if (!own || own->codec != joined->codec) return SpliceMark::Unreadable;
        // The join copied every picture of every item but those it left out: the item's, of
        // the same sizes in the same order, follow the items before it. Anything else is left
        // as it was. ffmpeg may put the parameter sets in band into the very first picture.
        const std::vector<std::size_t> none;
        const std::vector<std::size_t>& out = static_cast<std::size_t>(k) < leftOut.size()
                                                  ? leftOut[static_cast<std::size_t>(k)]
                                                  : none;
        const std::size_t first = at;
        for (std::size_t i = 0; i < own->samples.size(); ++i) {
            if (std::binary_search(out.begin(), out.end(), i)) continue;
            if (at == joined->samples.size() ||
                (at > 0 && own->samples[i].size != joined->samples[at].size))
                return SpliceMark::Unreadable;
            ++at;
        }
        const Piece piece{&f, own->avcRecord, {joined->samples.data() + first, at - first}};
        SpliceMark m = SpliceMark::NotNeeded;
        if (k > 0 && !piece.samples.empty())
            m = joined->codec == VideoTrack::Codec::Hevc
                    ? markCra(f, joined->lengthSize, piece.samples.front())
                    : continueFrom(before, piece);
        if (m == SpliceMark::Unreadable) return m;
        if (m == SpliceMark::Marked) result = m;
        before = piece;
    }
    return at == joined->samples.size() ? result : SpliceMark::Unreadable;
}

}  // namespace save
