#include "keyframes/keyframe_index.h"

#include <algorithm>
#include <cmath>

namespace keyframes {

namespace {

// Moves pictures shown from startMs on (the save's clock) to the player's clock, which
// starts at the first picture shown.
KeyframeIndex onPlayerClock(std::vector<flv::Picture> pictures, std::int64_t startMs) {
    KeyframeIndex index;
    if (pictures.empty()) return index;
    std::int64_t first = pictures.front().ptsMs;
    for (const flv::Picture& p : pictures) first = std::min(first, p.ptsMs);
    for (flv::Picture& p : pictures) {
        p.ptsMs -= first;
        p.dtsMs -= first;
        if (p.keyframe) index.keyTimesMs.push_back(p.ptsMs);
    }
    std::sort(index.keyTimesMs.begin(), index.keyTimesMs.end());
    index.pictures = std::move(pictures);
    index.saveClockLeadMs = std::max<std::int64_t>(0, first - startMs);
    return index;
}

std::optional<std::int64_t> msOf(const QByteArray& field) {
    bool ok = false;
    const double seconds = field.toDouble(&ok);
    if (!ok) return std::nullopt;
    return std::llround(seconds * 1000.0);
}

}  // namespace

KeyframeIndex indexFromFlv(const flv::StreamPictures& stream) {
    return onPlayerClock(stream.pictures, stream.originMs);
}

QStringList ffprobeArguments(const QString& path) {
    return {QStringLiteral("-v"),
            QStringLiteral("error"),
            QStringLiteral("-select_streams"),
            QStringLiteral("v:0"),
            QStringLiteral("-show_entries"),
            QStringLiteral("format=start_time:packet=pts_time,dts_time,flags"),
            QStringLiteral("-of"),
            QStringLiteral("csv"),
            QStringLiteral("file:") + path};
}

std::optional<KeyframeIndex> indexFromFfprobe(const QByteArray& csv) {
    std::vector<flv::Picture> pictures;
    std::int64_t startMs = 0;
    for (const QByteArray& raw : csv.split('\n')) {
        const QList<QByteArray> f = raw.trimmed().split(',');
        if (f.size() == 2 && f[0] == "format") {
            startMs = msOf(f[1]).value_or(0);
        } else if (f.size() == 4 && f[0] == "packet") {
            const auto dts = msOf(f[2]);
            const auto pts = msOf(f[1]);  // a packet without one is shown when it is decoded
            if (!pts && !dts) continue;
            pictures.push_back({pts.value_or(*dts), dts.value_or(*pts), f[3].startsWith('K')});
        }
    }
    if (pictures.empty()) return std::nullopt;
    // ffmpeg's input seek, by which other files are saved, counts from the file's start.
    return onPlayerClock(std::move(pictures), startMs);
}

std::optional<double> copyStartSeconds(const KeyframeIndex& index, double markSeconds) {
    if (index.keyTimesMs.empty()) return std::nullopt;
    // As the save reads a mark: to hundredths (after adding 0.004), then the whole second.
    const double hundredths = std::floor((markSeconds + 0.004) * 100.0 + 1e-7) / 100.0;
    const auto wholeMs = static_cast<std::int64_t>(std::floor(hundredths + 1e-9)) * 1000;
    const std::int64_t key =
        flv::keyframeAtOrBefore(index.keyTimesMs, wholeMs - index.saveClockLeadMs)
            .value_or(index.keyTimesMs.front());
    return static_cast<double>(key) / 1000.0;
}

std::optional<std::int32_t> keyframeStep(const KeyframeIndex& index, std::int32_t current,
                                         double secondsPerUnit, int direction) {
    if (!(secondsPerUnit > 0)) return std::nullopt;
    const double unitMs = secondsPerUnit * 1000.0;
    auto unitOf = [&](std::int64_t ms) {
        return static_cast<std::int32_t>(std::llround(static_cast<double>(ms) / unitMs));
    };
    // Compared as the positions they seek to: a position rounded from a keyframe's time is on
    // that keyframe, so a step goes on to the next one.
    const auto& keys = index.keyTimesMs;
    if (direction < 0) {
        for (auto it = keys.rbegin(); it != keys.rend(); ++it)
            if (unitOf(*it) < current) return unitOf(*it);
    } else {
        for (std::int64_t key : keys)
            if (unitOf(key) > current) return unitOf(key);
    }
    return std::nullopt;
}

}  // namespace keyframes
