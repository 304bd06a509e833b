#include "tools/movie_keys.h"

#include <algorithm>

#include "tools/movie_box.h"

namespace save {
namespace {

using movie::Box;
using movie::boxPath;
using movie::child;
using movie::u32;
using movie::u64;

constexpr quint32 kUnitRate = 0x00010000;

// A header's time scale and duration (mvhd, mdhd: version 1 widens the times to 64 bits).
struct Clock {
    qint64 scale = 0, duration = 0;
};
std::optional<Clock> clockOf(const QByteArray& moov, std::optional<Box> header) {
    if (!header || header->body + 4 > header->end) return std::nullopt;
    const bool wide = moov[header->body] == 1;
    const qint64 at = header->body + (wide ? 20 : 12);
    if (at + (wide ? 12 : 8) > header->end) return std::nullopt;
    Clock c{u32(moov, at), wide ? static_cast<qint64>(u64(moov, at + 4)) : u32(moov, at + 4)};
    if (c.scale <= 0 || c.duration < 0) return std::nullopt;
    return c;
}

// Where a track's presentation begins in its media (its one edit's media time; 0 without an
// edit list). nullopt for lists that ffmpeg turns into more than a shift: several edits, an
// empty one, another rate, or an edit that ends before the media does.
std::optional<qint64> editStart(const QByteArray& moov, Box trak, const Clock& movieClock) {
    const std::optional<Box> elst = boxPath(moov, trak, {"edts", "elst"});
    if (!elst) return child(moov, trak, "edts") ? std::nullopt : std::optional<qint64>(0);
    const std::optional<Clock> media = clockOf(moov, boxPath(moov, trak, {"mdia", "mdhd"}));
    if (!media || elst->body + 8 > elst->end || u32(moov, elst->body + 4) != 1) return std::nullopt;
    const bool wide = moov[elst->body] == 1;
    const qint64 at = elst->body + 8;
    if (at + (wide ? 20 : 12) > elst->end) return std::nullopt;
    const qint64 length = wide ? static_cast<qint64>(u64(moov, at)) : u32(moov, at);
    const qint64 from =
        wide ? static_cast<qint64>(u64(moov, at + 8)) : static_cast<qint32>(u32(moov, at + 4));
    if (from < 0 || u32(moov, at + (wide ? 16 : 8)) != kUnitRate) return std::nullopt;
    // The edit's length counts the movie's ticks: within one of them of the media's rest.
    const double rest = static_cast<double>(media->duration - from) / media->scale;
    if (length > 0 && static_cast<double>(length + 1) / movieClock.scale < rest)
        return std::nullopt;
    return from;
}

// A run-length table (stts, ctts: count and value) of `count` samples, unrolled.
std::optional<std::vector<qint64>> unrolled(const QByteArray& moov, std::optional<Box> table,
                                            qint64 count, bool signedValues) {
    if (!table || table->body + 8 > table->end) return std::nullopt;
    const qint64 runs = u32(moov, table->body + 4);
    if (table->body + 8 + 8 * runs > table->end) return std::nullopt;
    std::vector<qint64> values;
    values.reserve(static_cast<size_t>(count));
    for (qint64 r = 0; r < runs; ++r) {
        const qint64 n = u32(moov, table->body + 8 + 8 * r);
        const quint32 v = u32(moov, table->body + 12 + 8 * r);
        if (n > count - static_cast<qint64>(values.size())) return std::nullopt;
        values.insert(values.end(), static_cast<size_t>(n),
                      signedValues ? qint64{static_cast<qint32>(v)} : qint64{v});
    }
    if (static_cast<qint64>(values.size()) != count) return std::nullopt;
    return values;
}

// The first video track's pictures in decoding order, their times in ticks of its media clock
// with its edit applied (0: where its presentation begins).
struct TrackTicks {
    std::vector<ListedPacket> packets;
    double scale = 1;
};
std::optional<TrackTicks> trackTicks(const QByteArray& moov, qint64 fileSize) {
    const std::optional<Box> whole = movie::boxAt(moov, 0, moov.size());
    const std::optional<Clock> movieClock =
        whole ? clockOf(moov, child(moov, *whole, "mvhd")) : std::nullopt;
    const std::optional<Box> trak = movie::videoTrak(moov);
    // A fragmented file keeps its pictures outside this table.
    if (!movieClock || !trak || child(moov, *whole, "mvex")) return std::nullopt;
    const std::optional<qint64> shift = editStart(moov, *trak, *movieClock);
    const std::optional<Clock> media = clockOf(moov, boxPath(moov, *trak, {"mdia", "mdhd"}));
    const std::optional<Box> stbl = boxPath(moov, *trak, {"mdia", "minf", "stbl"});
    const std::optional<qint64> samples =
        stbl ? movie::sampleCount(moov, *stbl, fileSize) : std::nullopt;
    if (!shift || !media || !samples) return std::nullopt;
    const qint64 count = *samples;
    const auto durations = unrolled(moov, child(moov, *stbl, "stts"), count, false);
    if (!durations || count == 0) return std::nullopt;
    std::vector<qint64> offsets(static_cast<size_t>(count), 0);
    if (const std::optional<Box> ctts = child(moov, *stbl, "ctts")) {
        auto o = unrolled(moov, ctts, count, true);
        if (!o || std::any_of(o->begin(), o->end(), [](qint64 v) { return v < 0; }))
            return std::nullopt;
        offsets = std::move(*o);
    }
    std::vector<bool> keys(static_cast<size_t>(count), true);  // no stss: every sample
    if (const std::optional<Box> stss = child(moov, *stbl, "stss")) {
        const qint64 n = stss->body + 8 <= stss->end ? u32(moov, stss->body + 4) : -1;
        if (n < 0 || stss->body + 8 + 4 * n > stss->end) return std::nullopt;
        std::fill(keys.begin(), keys.end(), false);
        for (qint64 i = 0; i < n; ++i) {
            const qint64 s = u32(moov, stss->body + 8 + 4 * i);
            if (s < 1 || s > count) return std::nullopt;
            keys[static_cast<size_t>(s - 1)] = true;
        }
    }
    TrackTicks t;
    t.packets.reserve(static_cast<size_t>(count));
    qint64 dts = -*shift;
    for (size_t i = 0; i < static_cast<size_t>(count); ++i) {
        t.packets.push_back(
            {static_cast<double>(dts), static_cast<double>(dts + offsets[i]), keys[i]});
        dts += (*durations)[i];
    }
    t.scale = static_cast<double>(media->scale);
    return t;
}

// Whether the movie has tracks besides its first video track, each of which starts presenting
// at 0 (at most one plain edit: ffmpeg counts an audio edit's skipped samples back in). nullopt
// when one may start elsewhere, or is a second video track, which has a start of its own.
std::optional<bool> otherTracksStartAtZero(const QByteArray& moov) {
    const std::optional<Box> whole = movie::boxAt(moov, 0, moov.size());
    const std::optional<Clock> movieClock =
        whole ? clockOf(moov, child(moov, *whole, "mvhd")) : std::nullopt;
    const std::optional<Box> video = movie::videoTrak(moov);
    if (!movieClock || !video || movie::videoTrak(moov, 1)) return std::nullopt;
    bool others = false;
    for (int k = 0;; ++k) {
        const std::optional<Box> t = child(moov, *whole, "trak", k);
        if (!t) return others;
        if (t->body == video->body) continue;
        if (!editStart(moov, *t, *movieClock)) return std::nullopt;
        others = true;
    }
}

// The same pictures in seconds on ffmpeg's clock: from the media start, the earliest first
// time of every stream, the video's being its first picture's.
std::optional<std::vector<ListedPacket>> videoPackets(const QByteArray& moov, qint64 fileSize) {
    std::optional<TrackTicks> t = trackTicks(moov, fileSize);
    const std::optional<bool> others = otherTracksStartAtZero(moov);
    if (!t || !others) return std::nullopt;
    std::vector<ListedPacket>& packets = t->packets;
    const double first = *packets.front().pts;
    if (std::any_of(packets.begin(), packets.end(),
                    [&](const ListedPacket& k) { return *k.pts < first; }))
        return std::nullopt;  // shown before the first
    const double start = *others ? std::min(0.0, first / t->scale) : first / t->scale;
    for (ListedPacket& k : packets) {
        k.dts = k.dts / t->scale - start;
        k.pts = *k.pts / t->scale - start;
    }
    return packets;
}

// The probe's answer for one S: the last keyframe, in decoding order, whose picture is at or
// before S; the default (from the beginning) when there is none.
CutStart startAt(const std::vector<ListedPacket>& p, int64_t S) {
    std::optional<size_t> best;
    bool first = true, bestFirst = false;
    for (size_t i = 0; i < p.size(); ++i) {
        if (!p[i].key) continue;
        if (*p[i].pts > static_cast<double>(S) + 1e-6) break;
        best = i;
        bestFirst = first;
        first = false;
    }
    if (!best) return {};
    CutStart cs;
    cs.keyTime = *p[*best].pts;
    cs.keyDecodeTime = p[*best].dts;
    cs.fromFileStart = bestFirst || cs.keyDecodeTime <= 0.001;
    cs.leadsPictures = false;
    for (size_t j = *best + 1; j < p.size() && !p[j].key; ++j)
        cs.leadsPictures = cs.leadsPictures || *p[j].pts < cs.keyTime;
    return cs;
}

// The packets the probe's window around an end reads: decoded from a second before it to a
// second after it.
std::vector<ListedPacket> aroundEnd(const std::vector<ListedPacket>& p, int64_t end) {
    const auto from = std::lower_bound(p.begin(), p.end(), static_cast<double>(end - 1) - 1e-9,
                                       [](const ListedPacket& k, double t) { return k.dts < t; });
    const auto to = std::lower_bound(from, p.end(), static_cast<double>(end + 1),
                                     [](const ListedPacket& k, double t) { return k.dts < t; });
    return {from, to};
}

// The movie header of f (not yet open), when f is a movie.
std::optional<QByteArray> movieHeader(QFile& f) {
    if (!f.open(QIODevice::ReadOnly)) return std::nullopt;
    // Another container's first bytes read as a box of any size: only a movie's first box
    // names one of these.
    static const QByteArrayList kFirstBoxes = {"ftyp", "moov", "mdat", "free", "skip", "wide"};
    if (!kFirstBoxes.contains(f.read(8).mid(4))) return std::nullopt;
    return movie::readMoov(f);
}

}  // namespace

LeadingPictures hiddenLeadingPictures(const QString& path) {
    QFile f(path);
    const std::optional<QByteArray> moov = movieHeader(f);
    const std::optional<TrackTicks> t = moov ? trackTicks(*moov, f.size()) : std::nullopt;
    if (!t) return {};
    LeadingPictures found{t->packets.size(), {}};
    if (!t->packets.front().key || *t->packets.front().pts < 0) return found;
    for (std::size_t i = 1; i < t->packets.size() && !t->packets[i].key; ++i)
        if (*t->packets[i].pts < 0) found.hidden.push_back(i);
    return found;
}

std::optional<FileCuts> movieCuts(const QString& path, const std::vector<int64_t>& starts,
                                  const std::vector<int64_t>& ends) {
    QFile f(path);
    const std::optional<QByteArray> moov = movieHeader(f);
    const auto packets = moov ? videoPackets(*moov, f.size()) : std::nullopt;
    if (!packets) return std::nullopt;
    FileCuts found;
    for (const int64_t S : starts) found.starts.push_back(startAt(*packets, S));
    for (const int64_t end : ends)
        found.copyEnds.push_back(copyEndOf(aroundEnd(*packets, end), end));
    return found;
}

}  // namespace save
