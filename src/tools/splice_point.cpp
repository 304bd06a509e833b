#include "tools/splice_point.h"

#include <QFile>
#include <QtEndian>
#include <optional>
#include <vector>

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

// Where the first video sample lies and how its NAL units are framed.
struct FirstSample {
    bool hevc = false;
    qint64 offset = 0, size = 0;
    int lengthSize = 4;
};

std::optional<FirstSample> firstVideoSample(const QByteArray& moov) {
    const std::optional<Box> whole = boxAt(moov, 0, moov.size());
    if (!whole) return std::nullopt;
    for (int k = 0;; ++k) {
        const std::optional<Box> trak = child(moov, whole->body, whole->end, "trak", k);
        if (!trak) return std::nullopt;
        const std::optional<Box> hdlr = path(moov, *trak, {"mdia", "hdlr"});
        if (!hdlr || hdlr->body + 12 > hdlr->end || moov.mid(hdlr->body + 8, 4) != "vide") continue;
        const std::optional<Box> stbl = path(moov, *trak, {"mdia", "minf", "stbl"});
        if (!stbl) return std::nullopt;
        FirstSample s;
        // stsd: version and flags, entry count, then the first sample entry as a box.
        const std::optional<Box> stsd = child(moov, stbl->body, stbl->end, "stsd");
        if (!stsd || stsd->body + 16 > stsd->end) return std::nullopt;
        const QByteArray entry = moov.mid(stsd->body + 12, 4);
        s.hevc = entry == "hvc1" || entry == "hev1";
        if (!s.hevc) return s;
        // A visual sample entry's own fields take 78 bytes before its child boxes.
        const qint64 entryBody = stsd->body + 16;
        const qint64 entryEnd = stsd->body + 8 + u32(moov, stsd->body + 8);
        if (entryEnd > stsd->end) return std::nullopt;
        const std::optional<Box> hvcc = child(moov, entryBody + 78, entryEnd, "hvcC");
        if (!hvcc || hvcc->body + 22 > hvcc->end) return std::nullopt;
        s.lengthSize = (static_cast<uchar>(moov[hvcc->body + 21]) & 3) + 1;
        const std::optional<Box> stsz = child(moov, stbl->body, stbl->end, "stsz");
        if (!stsz || stsz->body + 12 > stsz->end) return std::nullopt;
        s.size = u32(moov, stsz->body + 4);
        if (s.size == 0) {
            if (stsz->body + 16 > stsz->end) return std::nullopt;
            s.size = u32(moov, stsz->body + 12);
        }
        if (const std::optional<Box> stco = child(moov, stbl->body, stbl->end, "stco")) {
            if (stco->body + 12 > stco->end) return std::nullopt;
            s.offset = u32(moov, stco->body + 8);
        } else if (const std::optional<Box> co64 = child(moov, stbl->body, stbl->end, "co64")) {
            if (co64->body + 16 > co64->end) return std::nullopt;
            s.offset = static_cast<qint64>(u64(moov, co64->body + 8));
        } else {
            return std::nullopt;
        }
        return s;
    }
}

}  // namespace

SpliceMark markSplicePoint(const QString& filePath) {
    QFile f(filePath);
    if (!f.open(QIODevice::ReadWrite)) return SpliceMark::Unreadable;
    const std::optional<QByteArray> moov = readMoov(f);
    if (!moov) return SpliceMark::Unreadable;
    const std::optional<FirstSample> s = firstVideoSample(*moov);
    if (!s) return SpliceMark::Unreadable;
    if (!s->hevc) return SpliceMark::NotNeeded;
    if (s->size <= 0 || s->offset + s->size > f.size()) return SpliceMark::Unreadable;
    // Every unit of the sample first, so that nothing is written into a sample that turns
    // out not to be framed as the header says.
    std::vector<std::pair<qint64, uchar>> cra;  // each CRA unit's first header byte, and where
    for (qint64 at = s->offset; at < s->offset + s->size;) {
        if (!f.seek(at)) return SpliceMark::Unreadable;
        const QByteArray h = f.read(s->lengthSize + 2);
        if (h.size() != s->lengthSize + 2) return SpliceMark::Unreadable;
        qint64 length = 0;
        for (int i = 0; i < s->lengthSize; ++i) length = length << 8 | static_cast<uchar>(h[i]);
        const qint64 next = at + s->lengthSize + length;
        if (length < 2 || next > s->offset + s->size) return SpliceMark::Unreadable;
        const auto first = static_cast<uchar>(h[s->lengthSize]);
        if (((first >> 1) & 0x3F) == kCra) cra.emplace_back(at + s->lengthSize, first);
        at = next;
    }
    if (cra.empty()) return SpliceMark::NotNeeded;
    for (const auto& [at, first] : cra) {
        const auto bla = static_cast<char>((first & 0x81) | kBlaWLp << 1);
        if (!f.seek(at) || !f.putChar(bla)) return SpliceMark::Unreadable;
    }
    return f.flush() ? SpliceMark::Marked : SpliceMark::Unreadable;
}

}  // namespace save
