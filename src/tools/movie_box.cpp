#include "tools/movie_box.h"

#include <algorithm>

namespace save::movie {
namespace {

constexpr qint64 kMaxMoov = qint64{256} << 20;

}  // namespace

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

std::optional<Box> child(const QByteArray& d, qint64 from, qint64 to, const char* type, int skip) {
    for (qint64 at = from; at + 8 <= to;) {
        const std::optional<Box> b = boxAt(d, at, to - at);
        if (!b) return std::nullopt;
        if (d.mid(at + 4, 4) == type && skip-- == 0) return b;
        at = b->end;
    }
    return std::nullopt;
}

std::optional<Box> boxPath(const QByteArray& d, Box in, std::initializer_list<const char*> types) {
    std::optional<Box> b = in;
    for (const char* t : types) {
        b = child(d, b->body, b->end, t);
        if (!b) return std::nullopt;
    }
    return b;
}

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

std::optional<Box> videoTrak(const QByteArray& moov, int k) {
    const std::optional<Box> whole = boxAt(moov, 0, moov.size());
    if (!whole) return std::nullopt;
    for (int i = 0;; ++i) {
        const std::optional<Box> trak = child(moov, *whole, "trak", i);
        if (!trak) return std::nullopt;
        const std::optional<Box> hdlr = boxPath(moov, *trak, {"mdia", "hdlr"});
        if (hdlr && hdlr->body + 12 <= hdlr->end && moov.mid(hdlr->body + 8, 4) == "vide" &&
            k-- == 0)
            return trak;
    }
}

std::optional<qint64> sampleCount(const QByteArray& moov, Box stbl, qint64 fileSize) {
    const std::optional<Box> stsz = child(moov, stbl, "stsz");
    if (!stsz || stsz->body + 12 > stsz->end) return std::nullopt;
    const quint32 fixedSize = u32(moov, stsz->body + 4);
    const qint64 count = u32(moov, stsz->body + 8);
    // Samples of one size are listed by their count alone: the file must hold their bytes.
    if (fixedSize == 0 ? stsz->body + 12 + 4 * count > stsz->end : count > fileSize / fixedSize)
        return std::nullopt;
    return count;
}

std::optional<std::vector<Sample>> samples(const QByteArray& moov, Box stbl, qint64 fileSize,
                                           std::size_t wanted) {
    const std::optional<qint64> count = sampleCount(moov, stbl, fileSize);
    const std::optional<Box> stsz = child(moov, stbl, "stsz");
    const std::optional<Box> stsc = child(moov, stbl, "stsc");
    if (!count || !stsc || stsc->body + 8 > stsc->end) return std::nullopt;
    const quint32 fixedSize = u32(moov, stsz->body + 4);
    std::vector<qint64> chunks;
    if (const std::optional<Box> stco = child(moov, stbl, "stco")) {
        const qint64 n = stco->body + 8 <= stco->end ? u32(moov, stco->body + 4) : -1;
        if (n < 0 || stco->body + 8 + 4 * n > stco->end) return std::nullopt;
        for (qint64 i = 0; i < n; ++i) chunks.push_back(u32(moov, stco->body + 8 + 4 * i));
    } else if (const std::optional<Box> co64 = child(moov, stbl, "co64")) {
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
    wanted = std::min<std::size_t>(wanted, static_cast<std::size_t>(*count));
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

}  // namespace save::movie
