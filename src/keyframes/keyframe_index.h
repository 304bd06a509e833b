#pragma once
// A file's keyframes as the player counts positions, and the rules that read them: where a
// save's copy really starts, and where a step to the previous or next keyframe lands. Plain
// data and functions.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <vector>

#include "flv/cut_start.h"
#include "flv/pictures.h"

namespace keyframes {

struct KeyframeIndex {
    // Shown times of the keyframes, ascending, in milliseconds on the player's clock: from
    // the first picture shown.
    std::vector<std::int64_t> keyTimesMs;
    // Every picture in decoding order, on the same clock.
    std::vector<flv::Picture> pictures;
    // How much later the player's clock starts than the clock a save cuts by (the file's
    // start, which sound may open before the first picture).
    std::int64_t saveClockLeadMs = 0;
};

// From our own walk of an FLV file.
KeyframeIndex indexFromFlv(const flv::StreamPictures& stream);

// The ffprobe arguments that list the first video stream's packets and the file's start.
QStringList ffprobeArguments(const QString& path);
// Its CSV output ("packet,PTS,DTS,FLAGS" lines, then "format,START"); nothing when it names
// no packet.
std::optional<KeyframeIndex> indexFromFfprobe(const QByteArray& csv);

// Where a tag-level save of a segment marked from markSeconds really starts: the save takes
// the whole second at or before the mark (as the marks show it, to hundredths), then the
// keyframe shown at or before that (the first keyframe when none is), both on the save's
// clock. The answer is on the player's clock. Nothing without keyframes.
std::optional<double> copyStartSeconds(const KeyframeIndex& index, double markSeconds);

// A step from position units `current` to the previous (direction < 0) or next keyframe, in
// position units; nothing when there is none that way.
std::optional<std::int32_t> keyframeStep(const KeyframeIndex& index, std::int32_t current,
                                         double secondsPerUnit, int direction);

}  // namespace keyframes
