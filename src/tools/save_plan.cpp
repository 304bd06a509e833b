#include "tools/save_plan.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <limits>

#include "tools/ffmpeg_batch.h"

namespace save {

namespace {

const QString kProbeNoPts = QStringLiteral("-9223372036854775808");

// The seconds before S a keyframe probe reads first.
constexpr int64_t kProbeSeconds = 10;
constexpr int64_t kMpegProbeSeconds = 2;

// Seconds as ffmpeg reads them, from whole milliseconds.
QString msText(int64_t ms) {
    const bool negative = ms < 0;
    const int64_t a = negative ? -ms : ms;
    return QStringLiteral("%1%2.%3")
        .arg(negative ? QStringLiteral("-") : QString())
        .arg(a / 1000)
        .arg(a % 1000, 3, 10, QLatin1Char('0'));
}

// The options every ffmpeg run of a job begins with.
QStringList ffmpegHead() {
    return {QStringLiteral("-hide_banner"), QStringLiteral("-nostdin"), QStringLiteral("-y"),
            QStringLiteral("-loglevel"), QStringLiteral("error")};
}

// Every video stream (attached cover pictures are not video) and every audio stream.
QStringList streamMaps() {
    return {QStringLiteral("-map"), QStringLiteral("0:V?"), QStringLiteral("-map"),
            QStringLiteral("0:a?")};
}

void appendMuxer(QStringList& args, const QString& ext) {
    const QString mux = muxerFor(ext);
    if (!mux.isEmpty()) args << QStringLiteral("-f") << mux;
}

// Video with an open group of pictures (MPEG, or H.264 as some encoders write it): the
// B-pictures that follow the first keyframe in decoding order but are shown before it refer
// to a picture before the cut. Alone, a decoder skips them or complains; after a join they
// decode against the previous part's last pictures and show garbage at the joint. They lie
// before S anyway, so they are dropped: every picture (with a time) shown before the
// keyframe. A program stream counts in 90 kHz ticks; in other containers (MP4, AVI, ASF...)
// the filter's own time base converts (ffmpeg does not give it the program stream's).
QStringList leadingPicturesDropped(const CutStart& start, const QString& mux) {
    const double delay = start.keyTime - start.keyDecodeTime;
    const auto delayMs = std::llround(delay * 1000.0);
    if (delayMs <= 1) return {};  // no reordering: nothing is shown before the keyframe
    QString drop;
    if (mux == QLatin1String("mpeg") || mux == QLatin1String("vob"))
        drop = QStringLiteral("noise=drop=gt(pts\\,nopts)*lt(pts\\,startdts+%1)")
                   .arg(std::llround(delay * 90000.0) - 90);
    else if (start.leadsPictures)  // the filter reads every byte: only where it drops
        drop = QStringLiteral("noise=drop=gt(pts\\,nopts)*lt((pts-startdts)*tb\\,%1)")
                   .arg(static_cast<double>(delayMs - 1) / 1000.0, 0, 'f', 3);
    if (drop.isEmpty()) return {};
    return {QStringLiteral("-bsf:v"), drop};
}

double hundredths(double seconds) {
    // As the marks show a time: rounded down to hundredths after adding 0.004.
    return std::floor((seconds + 0.004) * 100.0 + 1e-7) / 100.0;
}

}  // namespace

QString modeWord(Mode mode) {
    return mode == Mode::Split ? QStringLiteral("分割") : QStringLiteral("裁剪");
}

QString muxerFor(const QString& ext) {
    const QString e = ext.toLower();
    if (e == QLatin1String("flv")) return QStringLiteral("flv");
    if (e == QLatin1String("mpg") || e == QLatin1String("mpeg") || e == QLatin1String("dat"))
        return QStringLiteral("mpeg");
    if (e == QLatin1String("vob")) return QStringLiteral("vob");
    if (e == QLatin1String("avi")) return QStringLiteral("avi");
    if (e == QLatin1String("mp4")) return QStringLiteral("mp4");
    if (e == QLatin1String("3gp")) return QStringLiteral("3gp");
    if (e == QLatin1String("mov")) return QStringLiteral("mov");
    if (e == QLatin1String("wmv") || e == QLatin1String("asf")) return QStringLiteral("asf");
    return {};
}

CutTimes cutTimes(double startSeconds, double endSeconds, double frameSeconds) {
    const double a = hundredths(startSeconds);
    const double b = hundredths(endSeconds);
    CutTimes c;
    c.start = static_cast<int64_t>(std::floor(a + 1e-9));
    const double slack = std::max(1e-9, frameSeconds / 2 + 1e-9);
    const auto end = static_cast<int64_t>(std::ceil(b - slack));
    c.length = std::max<int64_t>(1, end - c.start);
    return c;
}

SegmentSeconds segmentSeconds(const UnitSegment& s, double secondsPerUnit, double totalSeconds) {
    SegmentSeconds r;
    r.start = std::max(0.0, static_cast<double>(s.start) * secondsPerUnit);
    r.end = static_cast<double>(s.start + s.length) * secondsPerUnit;
    if (totalSeconds > 0 && r.end > totalSeconds) r.end = totalSeconds;
    return r;
}

QString partName(int index, const QString& ext) {
    return QStringLiteral("~tmpSP%1.%2").arg(index + 1, 3, 10, QLatin1Char('0')).arg(ext);
}

QString joinName(const QString& ext) { return QStringLiteral("~tmpSJoin.") + ext; }

double firstProbeWindow(int64_t S, tools::ToolKind kind) {
    // A program stream's groups of pictures are short (half a second on a DVD) and reading it
    // costs more per second than an indexed file: it starts with a narrower window.
    const int64_t span = kind == tools::ToolKind::Mpeg ? kMpegProbeSeconds : kProbeSeconds;
    return static_cast<double>(std::max<int64_t>(0, S - span));
}

std::optional<double> widerProbeWindow(double windowStart, int64_t S) {
    if (windowStart <= 0) return std::nullopt;
    const double span = static_cast<double>(S) - windowStart;
    const double wider = span < kProbeSeconds ? kProbeSeconds : std::max(60.0, span * 4);
    return std::max(0.0, static_cast<double>(S) - wider);
}

namespace {

// The source sought to a probe window, as one more input of an ffmpeg run.
void appendProbeInput(QStringList& args, const QString& source, const ProbeWindow& w) {
    const auto from = static_cast<int64_t>(std::llround(w.start * 1000));
    if (from > 0) args << QStringLiteral("-ss") << msText(from);
    // Up to one second past S: the keyframe whose picture is at S may be decoded after it.
    args << QStringLiteral("-t") << msText(std::max(w.S, w.end) * 1000 - from + 1000);
    args << QStringLiteral("-i") << tools::ffmpegFile(source);
}

}  // namespace

Command keyframeProbe(const Tools& t, const QString& source,
                      const std::vector<ProbeWindow>& windows) {
    QStringList args = ffmpegHead();
    for (const ProbeWindow& w : windows) appendProbeInput(args, source, w);
    for (size_t k = 0; k < windows.size(); ++k)
        args << QStringLiteral("-map") << QStringLiteral("%1:V:0").arg(k);
    args << QStringLiteral("-c") << QStringLiteral("copy") << QStringLiteral("-f")
         << QStringLiteral("framecrc") << QStringLiteral("-");
    return tools::ffmpegProbe(t.ffmpeg, args);
}

Command withKeyframeProbe(Command cut, const QString& source, const ProbeWindow& window,
                          const QString& probePath) {
    const auto input = static_cast<int>(cut.args.count(QStringLiteral("-i")));
    appendProbeInput(cut.args, source, window);
    cut.args << QStringLiteral("-map") << QStringLiteral("%1:V:0").arg(input)
             << QStringLiteral("-c") << QStringLiteral("copy") << QStringLiteral("-f")
             << QStringLiteral("framecrc") << tools::ffmpegFile(probePath);
    return cut;
}

Command keyframeProbe(const Tools& t, const QString& source, double windowStart, int64_t S) {
    return keyframeProbe(t, source, {{windowStart, S}});
}

namespace {

// The video packets of one stream of a framecrc packet list, in decoding order.
struct StreamPackets {
    double tbNum = 1, tbDen = 1000, delay = 0;
    bool mpegVideo = false;  // MPEG-1/2: a B-picture is shown when it is decoded
    // MPEG-4 Part 2 reorders as MPEG-1/2 does. An AVI file gives its I- and P-pictures no time
    // when it has B-pictures (and every picture its decoding time when it has none).
    bool mpeg4 = false;
    std::vector<ListedPacket> packets;
    double scale() const { return tbNum / tbDen; }
    // ffmpeg gives a picture no time only where pictures are reordered: without reordering a
    // picture's time is its decoding time.
    bool timeless() const {
        return std::any_of(packets.begin(), packets.end(),
                           [](const ListedPacket& k) { return !k.pts; });
    }
    // Shows its pictures as MPEG-1/2 does, and the packet list says so.
    bool mpegOrder() const { return (mpegVideo || mpeg4) && (delay > 0 || timeless()); }
};

// In MPEG order: a B-picture, shown as it is decoded.
bool isB(const ListedPacket& k) { return !k.key && k.pts && *k.pts == k.dts; }

// In MPEG order a keyframe without a time of its own is shown when the next I- or P-picture
// is decoded: that time, when the list reads that far.
std::optional<double> shownAt(const StreamPackets& s, size_t i) {
    if (s.packets[i].pts) return s.packets[i].pts;
    if (!s.mpegOrder()) return std::nullopt;
    for (size_t j = i + 1; j < s.packets.size(); ++j)
        if (!isB(s.packets[j])) return s.packets[j].dts;
    return std::nullopt;
}

// A later packet before the next keyframe is shown before the keyframe at i: an open group.
bool leadsPictures(const StreamPackets& s, size_t i) {
    const std::optional<double> keyPts = shownAt(s, i);
    if (!keyPts) return true;  // cannot be compared: counts as leading
    const std::vector<ListedPacket>& packets = s.packets;
    for (size_t j = i + 1; j < packets.size() && !packets[j].key; ++j)
        if (packets[j].pts && *packets[j].pts < *keyPts) return true;
    return false;
}

// The last keyframe of one stream whose picture is at or before S. A program stream may give
// a keyframe no picture time: it is then its decoding time plus the stream's largest
// reordering delay, so a keyframe shown after S is never taken for one before it.
std::optional<CutStart> lastKeyAtOrBefore(const StreamPackets& s, double windowStart, int64_t S) {
    std::optional<CutStart> best;
    bool first = true;
    for (size_t i = 0; i < s.packets.size(); ++i) {
        const ListedPacket& k = s.packets[i];
        if (!k.key) continue;
        const double picture = shownAt(s, i).value_or(k.dts + s.delay);
        CutStart cs;
        cs.keyTime = windowStart + picture * s.scale();
        cs.keyDecodeTime = windowStart + k.dts * s.scale();
        if (cs.keyTime > static_cast<double>(S) + 1e-6) break;
        cs.leadsPictures = leadsPictures(s, i);
        cs.fromFileStart = (windowStart <= 0 && first) || cs.keyDecodeTime <= 0.001;
        first = false;
        best = cs;
    }
    return best;
}

// framecrc lines: stream, dts, pts, duration, size, crc[, F=0x<flags>] in the time base of
// "#tb <stream>: num/den"; stream k belongs to window k.
std::vector<StreamPackets> readPacketList(const QString& probeOutput, size_t streamCount) {
    std::vector<StreamPackets> streams(streamCount);
    const auto streamAt = [&](const QString& text) -> StreamPackets* {
        bool ok = false;
        const int k = text.trimmed().toInt(&ok);
        return ok && k >= 0 && k < static_cast<int>(streams.size())
                   ? &streams[static_cast<size_t>(k)]
                   : nullptr;
    };
    const QStringList lines = probeOutput.split(QLatin1Char('\n'));
    for (const QString& raw : lines) {
        const QString line = raw.trimmed();
        if (line.startsWith(QLatin1String("#tb "))) {
            const qsizetype colon = line.indexOf(QLatin1Char(':'));
            StreamPackets* s = colon > 4 ? streamAt(line.mid(4, colon - 4)) : nullptr;
            const QStringList f = line.mid(colon + 1).trimmed().split(QLatin1Char('/'));
            if (s && f.size() == 2 && f[0].toDouble() > 0 && f[1].toDouble() > 0) {
                s->tbNum = f[0].toDouble();
                s->tbDen = f[1].toDouble();
            }
            continue;
        }
        if (line.startsWith(QLatin1String("#codec_id "))) {
            const qsizetype colon = line.indexOf(QLatin1Char(':'));
            if (StreamPackets* s = colon > 10 ? streamAt(line.mid(10, colon - 10)) : nullptr) {
                const QString codec = line.mid(colon + 1).trimmed();
                s->mpegVideo =
                    codec == QLatin1String("mpeg1video") || codec == QLatin1String("mpeg2video");
                s->mpeg4 = codec == QLatin1String("mpeg4");
            }
            continue;
        }
        if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) continue;
        const QStringList f = line.split(QLatin1Char(','));
        StreamPackets* s = f.size() >= 6 ? streamAt(f[0]) : nullptr;
        if (!s) continue;
        bool okD = false;
        const double dts = f[1].trimmed().toDouble(&okD);
        if (!okD) continue;
        const QString ptsText = f[2].trimmed();
        bool okP = false;
        const double pts = ptsText == kProbeNoPts ? 0 : ptsText.toDouble(&okP);
        if (okP) s->delay = std::max(s->delay, pts - dts);
        // framecrc prints the flags only when they are not the keyframe flag alone; what
        // follows them is side data ("S=1, 40" on the first packet of a file read from its
        // beginning), which says nothing of the kind of picture.
        bool key = true;
        if (f.size() >= 7 && f[6].trimmed().startsWith(QLatin1String("F=0x"))) {
            bool ok = false;
            const int v = f[6].trimmed().mid(4).toInt(&ok, 16);
            key = ok && (v & 1);
        }
        s->packets.push_back({dts, okP ? std::optional<double>(pts) : std::nullopt, key});
    }
    return streams;
}

// A stream copy with -t keeps the packets decoded before the end. With B-frames that can hold
// a picture shown a few frames past the end while the pictures shown between the end and it,
// decoded after the end, are left out: a gap. The copy then runs on, in decoding order, until
// no picture left out is shown before one kept. 0: no gap, or the list cannot tell.
int64_t copyEndMs(const StreamPackets& s, double windowStart, int64_t end) {
    const std::vector<ListedPacket>& p = s.packets;
    const auto at = [&](double t) { return windowStart + t * s.scale(); };
    size_t stop = 0;  // the first packet the plain copy leaves out
    while (stop < p.size() && at(p[stop].dts) < static_cast<double>(end) - 1e-7) ++stop;
    if (stop == 0 || stop == p.size()) return 0;
    // Between the last packet kept and the next, so that rounding cannot move either.
    const auto stopBefore = [&](size_t i) {
        return std::llround((at(p[i - 1].dts) + at(p[i].dts)) / 2 * 1000);
    };
    if (s.mpegVideo || (s.mpeg4 && s.timeless())) {
        // An I- or P-picture is shown when the next one is decoded, and a program stream or an
        // AVI file often gives it no time of its own; a B-picture is shown as it is decoded.
        // The plain copy leaves a gap when it stops at a B-picture: it runs on to the next I-
        // or P-picture.
        if (!s.mpegOrder() || !isB(p[stop])) return 0;  // without reordering, no B-pictures
        size_t next = stop;
        while (next < p.size() && isB(p[next])) ++next;
        return next == p.size() ? 0 : stopBefore(next);
    }
    if (s.timeless()) return 0;
    double shownUpTo = std::numeric_limits<double>::lowest();
    for (size_t i = 0; i < stop; ++i) shownUpTo = std::max(shownUpTo, *p[i].pts);
    size_t closed = stop;
    for (;;) {
        size_t last = closed;  // past the last packet left out and shown before one kept
        for (size_t i = closed; i < p.size(); ++i)
            if (*p[i].pts < shownUpTo) last = i + 1;
        if (last == closed) break;
        for (size_t i = closed; i < last; ++i) shownUpTo = std::max(shownUpTo, *p[i].pts);
        closed = last;
        if (closed == p.size()) return 0;  // past what the window read
    }
    return closed == stop ? 0 : stopBefore(closed);
}

}  // namespace

int64_t copyEndOf(const std::vector<ListedPacket>& packets, int64_t end) {
    StreamPackets s;
    s.tbDen = 1;
    s.packets = packets;
    return copyEndMs(s, 0, end);
}

ProbeAnswers parseProbe(const QString& probeOutput, const std::vector<ProbeWindow>& windows) {
    const std::vector<StreamPackets> streams = readPacketList(probeOutput, windows.size());
    ProbeAnswers a;
    for (size_t k = 0; k < windows.size(); ++k) {
        const ProbeWindow& w = windows[k];
        a.starts.push_back(lastKeyAtOrBefore(streams[k], w.start, w.S));
        a.copyEnds.push_back(w.end > 0 ? copyEndMs(streams[k], w.start, w.end) : 0);
    }
    return a;
}

std::vector<std::optional<CutStart>> parseKeyframes(const QString& probeOutput,
                                                    const std::vector<ProbeWindow>& windows) {
    return parseProbe(probeOutput, windows).starts;
}

std::vector<int64_t> parseCopyEnds(const QString& probeOutput,
                                   const std::vector<ProbeWindow>& windows) {
    return parseProbe(probeOutput, windows).copyEnds;
}

ProbeWindow endProbeWindow(int64_t end) {
    return {static_cast<double>(std::max<int64_t>(0, end - 1)), end, end};
}

bool readsEndToo(const ProbeWindow& w, int64_t end) {
    constexpr int64_t kReadOnSeconds = 2;  // a split's piece ends a second after the next starts
    return (w.end == 0 || w.end == end) && w.start <= static_cast<double>(end - 1) &&
           end <= w.S + kReadOnSeconds;
}

std::optional<CutStart> parseKeyframes(const QString& probeOutput, double windowStart, int64_t S) {
    return parseKeyframes(probeOutput, {{windowStart, S}}).front();
}

namespace {

// Where a part's packets begin in the source, in whole milliseconds from the media start: one
// millisecond before the keyframe's decoding time, so the keyframe is the first picture and the
// audio begins with it.
int64_t partFromMs(const CutStart& start) {
    const auto keyMs = static_cast<int64_t>(std::floor(start.keyDecodeTime * 1000 + 1e-6));
    return std::max<int64_t>(0, keyMs - 1);
}

// Where the copy of a part stops, in milliseconds from the media start.
int64_t copyToMs(const CutTimes& c) { return std::max(c.end() * 1000, c.copyToMs); }

// A part's output options up to and including its file: from fromMs (as the input's clock
// reads it once sought to seekMs) up to the end of c, every stream copied.
QStringList cutOutput(const CutStart& start, const CutTimes& c, int64_t seekMs,
                      const QString& partPath, const QString& ext, bool reencodeAudio) {
    QStringList args;
    const int64_t endMs = copyToMs(c);
    if (start.fromFileStart) {
        args << QStringLiteral("-t") << msText(endMs - seekMs);
    } else {
        const int64_t fromMs = partFromMs(start);
        args << QStringLiteral("-ss") << msText(fromMs - seekMs);
        args << QStringLiteral("-t") << msText(std::max<int64_t>(1, endMs - fromMs));
    }
    args << streamMaps();
    if (reencodeAudio)
        args << QStringLiteral("-c:v") << QStringLiteral("copy") << QStringLiteral("-c:a")
             << QStringLiteral("libmp3lame") << QStringLiteral("-b:a") << QStringLiteral("64k");
    else
        args << QStringLiteral("-c") << QStringLiteral("copy");
    if (!start.fromFileStart) args << leadingPicturesDropped(start, muxerFor(ext));
    appendMuxer(args, ext);
    args << tools::ffmpegFile(partPath);
    return args;
}

double cutSeconds(const CutStart& start, const CutTimes& c) {
    const int64_t endMs = copyToMs(c);
    return static_cast<double>(start.fromFileStart ? endMs : endMs - partFromMs(start)) / 1000;
}

// Parts that each begin before the previous one ends, or little after it: one pass through
// the source reads no more than a run sought to each would.
bool partsFollowOneAnother(const std::vector<CutStart>& starts, const std::vector<CutTimes>& cuts) {
    constexpr int64_t kGapMs = 2000;
    for (size_t k = 1; k < cuts.size(); ++k) {
        if (starts[k].fromFileStart) return false;
        const int64_t from = partFromMs(starts[k]);
        const int64_t before = starts[k - 1].fromFileStart ? 0 : partFromMs(starts[k - 1]);
        if (from < before || from > cuts[k - 1].end() * 1000 + kGapMs) return false;
    }
    return true;
}

}  // namespace

Command cutCommand(const Tools& t, const QString& source, const CutStart& start, const CutTimes& c,
                   const QString& partPath, const QString& ext, bool reencodeAudio) {
    QStringList args = ffmpegHead();
    int64_t seekMs = 0;
    if (!start.fromFileStart) {
        // The input is sought a second earlier (seeking alone may land after the keyframe in a
        // program stream); the output then skips to the keyframe.
        seekMs = std::max<int64_t>(0, partFromMs(start) - 1000);
        if (seekMs > 0) args << QStringLiteral("-ss") << msText(seekMs);
    }
    args << QStringLiteral("-i") << tools::ffmpegFile(source);
    args << cutOutput(start, c, seekMs, partPath, ext, reencodeAudio);
    return tools::ffmpegCommand(t.ffmpeg, args, cutSeconds(start, c));
}

std::vector<PartRange> partRuns(const std::vector<CutStart>& starts,
                                const std::vector<CutTimes>& cuts) {
    const size_t n = std::min(starts.size(), cuts.size());
    if (partsFollowOneAnother(starts, cuts)) return {{0, n}};
    std::vector<PartRange> runs;
    for (size_t first = 0; first < n; first += kPartsPerRun)
        runs.push_back({first, std::min(kPartsPerRun, n - first)});
    return runs;
}

Command partsCommand(const Tools& t, const QString& source, const std::vector<CutStart>& starts,
                     const std::vector<CutTimes>& cuts, const QStringList& partPaths,
                     const QString& ext) {
    const size_t n = std::min({starts.size(), cuts.size(), static_cast<size_t>(partPaths.size())});
    if (n == 0) return {};
    if (!partsFollowOneAnother(starts, cuts)) {
        std::vector<Command> runs;
        for (size_t k = 0; k < n; ++k)
            runs.push_back(cutCommand(t, source, starts[k], cuts[k],
                                      partPaths[static_cast<qsizetype>(k)], ext, false));
        return tools::batchRuns(runs, tools::BatchLog::Stats);
    }
    // One input, read once from a second before the first part; every output takes its part.
    const int64_t seekMs =
        starts[0].fromFileStart ? 0 : std::max<int64_t>(0, partFromMs(starts[0]) - 1000);
    QStringList args = ffmpegHead();
    if (seekMs > 0) args << QStringLiteral("-ss") << msText(seekMs);
    args << QStringLiteral("-i") << tools::ffmpegFile(source);
    double longest = 0;
    for (size_t k = 0; k < n; ++k) {
        args << cutOutput(starts[k], cuts[k], seekMs, partPaths[static_cast<qsizetype>(k)], ext,
                          false);
        longest = std::max(longest, cutSeconds(starts[k], cuts[k]));
    }
    // The statistics at the end tell each output's pictures.
    const qsizetype level = args.indexOf(QStringLiteral("-loglevel"));
    args[level + 1] = QStringLiteral("level+verbose");
    return tools::ffmpegCommand(t.ffmpeg, args, longest);
}

bool wrotePictures(qint64 framesWritten) { return framesWritten > 0; }

Command partCheck(const Tools& t, const QString& partPath) {
    QStringList args = ffmpegHead();
    args << QStringLiteral("-i") << tools::ffmpegFile(partPath) << QStringLiteral("-map")
         << QStringLiteral("0:V:0") << QStringLiteral("-c") << QStringLiteral("copy")
         << QStringLiteral("-frames:v") << QStringLiteral("1") << QStringLiteral("-f")
         << QStringLiteral("framecrc") << QStringLiteral("-");
    return tools::ffmpegProbe(t.ffmpeg, args);
}

bool partCheckPassed(const QString& checkOutput) {
    const QStringList lines = checkOutput.split(QLatin1Char('\n'));
    for (const QString& l : lines)
        if (l.trimmed().startsWith(QLatin1String("0,"))) return true;
    return false;
}

QString joinListText(const QStringList& partPaths, const QString& folder) {
    QString text;
    for (const QString& p : partPaths) {
        const QFileInfo part(p);
        // "file:" keeps ffmpeg from resolving the name against the list's own address.
        QString q = !folder.isEmpty() && part.absolutePath() == QFileInfo(folder).absoluteFilePath()
                        ? tools::ffmpegFile(part.fileName())
                        : tools::ffmpegFile(p);
        q.replace(QLatin1Char('\''), QStringLiteral("'\\''"));
        text += QStringLiteral("file '") + q + QStringLiteral("'\n");
    }
    return text;
}

bool writeJoinList(const QString& listPath, const QStringList& partPaths) {
    QFile f(listPath);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    const QByteArray text = joinListText(partPaths, QFileInfo(listPath).absolutePath()).toUtf8();
    return f.write(text) == text.size() && f.flush();
}

Command joinCommand(const Tools& t, const QString& listPath, const QString& joinPath,
                    const QString& ext, double expectedSeconds, bool reencodeAudio,
                    const QStringList& videoFilter) {
    QStringList args = ffmpegHead();
    args << QStringLiteral("-f") << QStringLiteral("concat") << QStringLiteral("-safe")
         << QStringLiteral("0") << QStringLiteral("-i") << tools::ffmpegFile(listPath);
    args << streamMaps();
    if (reencodeAudio)
        args << QStringLiteral("-c:v") << QStringLiteral("copy") << QStringLiteral("-c:a")
             << QStringLiteral("libmp3lame") << QStringLiteral("-b:a") << QStringLiteral("64k");
    else
        args << QStringLiteral("-c") << QStringLiteral("copy");
    args << videoFilter;
    appendMuxer(args, ext);
    args << tools::ffmpegFile(joinPath);
    return tools::ffmpegCommand(t.ffmpeg, args, expectedSeconds);
}

Command flvmdiCommand(const Tools& t, const QString& path) {
    Command c;
    c.program = t.flvmdi;
    c.args = QStringList{path};
    return c;
}

Command flvCutCommand(const Tools& t, const QString& source, const CutTimes& c,
                      const QString& partPath) {
    Command cmd;
    cmd.program = t.flvmdi;
    cmd.args = QStringList{QStringLiteral("--cut"), QString::number(c.start * 1000),
                           QString::number(c.end() * 1000), source, partPath};
    cmd.progressLines = true;
    cmd.expectedSeconds = static_cast<double>(c.length);
    return cmd;
}

Command flvJoinCommand(const Tools& t, const QStringList& partPaths, const QString& joinPath,
                       double expectedSeconds) {
    Command c;
    c.program = t.flvmdi;
    c.args = QStringList{QStringLiteral("--join"), joinPath} + partPaths;
    c.progressLines = true;
    c.expectedSeconds = expectedSeconds;
    return c;
}

ExactSpan exactSpan(const SegmentSeconds& s) {
    return {std::llround(s.start * 1000), std::llround(s.end * 1000)};
}

Command exactPlanProbe(const Tools& t, const QString& source, const ExactSpan& s) {
    Command c;
    c.program = t.flvmdi;
    c.args = QStringList{QStringLiteral("--exact-plan"), QString::number(s.fromMs),
                         QString::number(s.toMs), source};
    return c;
}

std::optional<ExactHead> parseExactHead(const QString& probeOutput) {
    ExactHead h;
    bool codecSeen = false;
    const QStringList lines = probeOutput.split(QLatin1Char('\n'));
    for (const QString& raw : lines) {
        const QString line = raw.trimmed();
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < 0) continue;
        const QString key = line.left(eq), value = line.mid(eq + 1);
        if (key == QLatin1String("codec")) {
            codecSeen = true;
            h.codec = value == QLatin1String("avc")    ? HeadCodec::Avc
                      : value == QLatin1String("h263") ? HeadCodec::H263
                                                       : HeadCodec::None;
        } else if (key == QLatin1String("copy_from_ms")) {
            h.copyFromMs = value.toLongLong();
        } else if (key == QLatin1String("head_from_ms")) {
            h.headFromMs = value.toLongLong();
        } else if (key == QLatin1String("head_frames")) {
            h.headFrames = value.toInt();
        } else if (key == QLatin1String("tail_from_ms")) {
            h.tailFromMs = value.toLongLong();
        } else if (key == QLatin1String("tail_frames")) {
            h.tailFrames = value.toInt();
        } else if (key == QLatin1String("frame_us")) {
            if (value.toDouble() > 0) h.frameMs = value.toDouble() / 1000;
        } else if (key == QLatin1String("profile")) {
            h.profileIdc = value.toInt();
        } else if (key == QLatin1String("level")) {
            h.levelIdc = value.toInt();
        } else if (key == QLatin1String("free_id")) {
            h.freeId = value.toInt();
        }
    }
    if (!codecSeen) return std::nullopt;
    return h;
}

Command rebuildCommand(const Tools& t, const QString& source, const ExactHead& h, int64_t fromMs,
                       int frames, const QString& outPath) {
    QStringList args = ffmpegHead();
    // Half a picture early, so that a few milliseconds between this clock and the decoder's
    // cannot lose the first picture; the decoder drops the ones before.
    const int64_t seekMs = std::max<int64_t>(0, fromMs - std::llround(h.frameMs / 2));
    if (seekMs > 0) args << QStringLiteral("-ss") << msText(seekMs);
    args << QStringLiteral("-i") << tools::ffmpegFile(source) << QStringLiteral("-map")
         << QStringLiteral("0:V:0") << QStringLiteral("-an") << QStringLiteral("-frames:v")
         << QString::number(frames);
    if (h.codec == HeadCodec::Avc) {
        const QString profile = h.profileIdc == 66   ? QStringLiteral("baseline")
                                : h.profileIdc == 77 ? QStringLiteral("main")
                                                     : QStringLiteral("high");
        args << QStringLiteral("-c:v") << QStringLiteral("libx264") << QStringLiteral("-crf")
             << QStringLiteral("16") << QStringLiteral("-pix_fmt") << QStringLiteral("yuv420p")
             << QStringLiteral("-profile:v") << profile;
        if (h.levelIdc > 9)
            args << QStringLiteral("-level:v")
                 << QStringLiteral("%1.%2").arg(h.levelIdc / 10).arg(h.levelIdc % 10);
        args << QStringLiteral("-x264-params")
             << QStringLiteral("bframes=0:sps-id=%1:repeat-headers=1").arg(h.freeId);
    } else {
        args << QStringLiteral("-c:v") << QStringLiteral("flv1") << QStringLiteral("-q:v")
             << QStringLiteral("2");
    }
    args << QStringLiteral("-f") << QStringLiteral("flv") << tools::ffmpegFile(outPath);
    return tools::ffmpegCommand(t.ffmpeg, args, frames * h.frameMs / 1000);
}

Command spliceCommand(const Tools& t, const QString& source, const ExactSpan& s,
                      const QString& headPath, const QString& tailPath, const QString& partPath) {
    Command c;
    c.program = t.flvmdi;
    const QString none = QStringLiteral("-");
    c.args = QStringList{QStringLiteral("--splice"),
                         QString::number(s.fromMs),
                         QString::number(s.toMs),
                         source,
                         headPath.isEmpty() ? none : headPath,
                         tailPath.isEmpty() ? none : tailPath,
                         partPath};
    c.progressLines = true;
    c.expectedSeconds = static_cast<double>(s.toMs - s.fromMs) / 1000;
    return c;
}

Command exactCopyCommand(const Tools& t, const QString& source, const ExactSpan& s,
                         const QString& partPath) {
    Command c;
    c.program = t.flvmdi;
    c.args = QStringList{QStringLiteral("--cut"), QString::number(s.fromMs),
                         QString::number(s.toMs), source, partPath};
    c.progressLines = true;
    c.expectedSeconds = static_cast<double>(s.toMs - s.fromMs) / 1000;
    return c;
}

QString headName(int index) {
    return QStringLiteral("~tmpSH%1.flv").arg(index + 1, 3, 10, QLatin1Char('0'));
}

QString tailName(int index) {
    return QStringLiteral("~tmpST%1.flv").arg(index + 1, 3, 10, QLatin1Char('0'));
}

Command streamProbe(const Tools& t, const QStringList& paths) {
    // Each input's description is printed at the default log level; "-t 0" into the null
    // muxer reads no packet and ends with status 0.
    QStringList args{QStringLiteral("-hide_banner"), QStringLiteral("-nostdin")};
    for (const QString& p : paths) args << QStringLiteral("-i") << tools::ffmpegFile(p);
    args << QStringLiteral("-map") << QStringLiteral("0") << QStringLiteral("-c")
         << QStringLiteral("copy") << QStringLiteral("-t") << QStringLiteral("0")
         << QStringLiteral("-f") << QStringLiteral("null") << QStringLiteral("-");
    return tools::ffmpegProbe(t.ffmpeg, args);
}

Command streamProbe(const Tools& t, const QString& path) {
    return streamProbe(t, QStringList{path});
}

QStringList inputDescription(const QString& probeOutput, int input) {
    const QString head = QStringLiteral("Input #%1").arg(input);
    QStringList block;
    bool inside = false;
    const QStringList lines = probeOutput.split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        if (line.startsWith(QLatin1String("Input #")))
            inside = line.startsWith(head) &&
                     (line.size() == head.size() || !line.at(head.size()).isDigit());
        if (line.startsWith(QLatin1String("Output #")) ||
            line.startsWith(QLatin1String("Stream mapping")))
            break;
        if (inside) block << line;
    }
    return block;
}

QStringList streamKinds(const QString& probeOutput, int input) {
    // "  Stream #0:1[0x1e0](und): Video: mpeg1video, ..." inside the "Input #0" block.
    static const QRegularExpression stream(QStringLiteral(
        R"(^\s*Stream #(\d+):\d+\S*: (Video|Audio|Subtitle|Data): ([A-Za-z0-9_]+))"));
    QStringList kinds;
    for (const QString& line : inputDescription(probeOutput, input)) {
        const QRegularExpressionMatch m = stream.match(line);
        if (m.hasMatch() && m.captured(1).toInt() == input)
            kinds << m.captured(2) + QStringLiteral(": ") + m.captured(3);
    }
    kinds.sort();
    return kinds;
}

QStringList SavePlan::touchedFiles() const {
    QStringList files;
    for (const PartPlan& p : parts) {
        files << path(p.name);
        if (exact) files << path(headName(p.index)) << path(tailName(p.index));
        if (!p.finalName.isEmpty()) files << path(p.finalName);
    }
    if (join) files << path(joinList) << path(joinFile);
    if (!tagLevel && parts.size() >= 2) files << path(kProbeListName);
    if (!files.contains(output)) files << output;
    return files;
}

SavePlan makePlan(const SaveRequest& r) {
    std::vector<SegmentSeconds> spans;
    spans.reserve(r.segments.size());
    for (const UnitSegment& u : r.segments)
        spans.push_back(segmentSeconds(u, r.secondsPerUnit, r.totalSeconds));
    // Files with video count in frames; audio alone in milliseconds, too fine to matter.
    return makeSpanPlan(r.source, spans, r.mode, r.output, r.names, r.secondsPerUnit);
}

SavePlan makeSpanPlan(const QString& source, const std::vector<SegmentSeconds>& spans, Mode mode,
                      const QString& output, const PieceNames& names, double frameSeconds) {
    SavePlan p;
    p.mode = mode;
    p.source = source;
    p.ext = QFileInfo(source).suffix().toLower();
    p.kind = toolKind(p.ext);
    if (mode == Mode::Split) {
        p.folder = output.endsWith(QLatin1Char('/')) ? output : output + QLatin1Char('/');
        p.output = p.folder + names.piece(0, p.ext);
    } else {
        const QFileInfo fi(output);
        p.folder = fi.absolutePath();
        if (!p.folder.endsWith(QLatin1Char('/'))) p.folder += QLatin1Char('/');
        p.output = fi.absoluteFilePath();
    }
    const int count = static_cast<int>(spans.size());
    for (int i = 0; i < count; ++i) {
        PartPlan part;
        part.index = i;
        part.name = partName(i, p.ext);
        part.seconds = spans[static_cast<size_t>(i)];
        part.cut = cutTimes(part.seconds.start, part.seconds.end, frameSeconds);
        if (mode == Mode::Split) part.finalName = names.piece(i, p.ext);
        p.parts.push_back(part);
    }
    p.join = mode == Mode::Cut && count >= 2;
    p.steps = count + (p.join ? 1 : 0);
    p.tagLevel = p.kind == tools::ToolKind::Flv;
    if (p.join) {
        p.joinList = kJoinListName;
        p.joinFile = joinName(p.ext);
    }
    return p;
}

bool cutsInOneRun(const SavePlan& plan) { return !plan.tagLevel && plan.parts.size() >= 2; }

std::vector<double> stepWeights(const SavePlan& plan) {
    std::vector<double> weights;
    double all = 0;
    for (const PartPlan& p : plan.parts) {
        const auto seconds = static_cast<double>(p.cut.length);
        weights.push_back(seconds);
        all += seconds;
    }
    if (cutsInOneRun(plan)) {
        // The later steps only check and name what the first one made.
        constexpr double kCheckOnly = 0.001;
        std::fill(weights.begin(), weights.end(), kCheckOnly);
        weights.front() = all;
    }
    if (plan.join) weights.push_back(all);
    return weights;
}

}  // namespace save
