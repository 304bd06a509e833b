#pragma once
// The join's pre-check: the streams of every item compared with the first item's, so the
// user hears before a stream copy that the pieces do not fit together.
#include <QString>
#include <optional>

#include "media/media_tracks.h"

namespace join {

// The first video stream (cover pictures are not video) and the first audio stream.
struct StreamSummary {
    bool hasVideo = false;
    QString videoCodec;
    int width = 0, height = 0;
    double fps = 0;
    bool hasAudio = false;
    QString audioCodec;
    int sampleRate = 0;
    int channels = 0;
    double duration = 0;  // seconds
};
StreamSummary summarize(const MediaTracks& t);

// The properties in the order they are compared.
enum class StreamProperty {
    VideoFormat,
    PictureSize,
    FrameRate,
    AudioFormat,
    SampleRate,
    Channels
};
// "視訊格式", "畫面大小", "楨速率", "音訊格式", "音訊取樣率", "音訊頻道".
QString propertyName(StreamProperty p);
// The value as the message shows it: "h264", "320x240", "25 fps", "aac", "44100 Hz", "2";
// "無" when the file has no such stream (and a missing value in a stream it has).
QString propertyValue(const StreamSummary& s, StreamProperty p);

struct Mismatch {
    StreamProperty property = StreamProperty::VideoFormat;
    QString firstValue;
    QString otherValue;
};
// The first property in which other differs from first.
std::optional<Mismatch> compareStreams(const StreamSummary& first, const StreamSummary& other);

// The first property in which other differs from first so that a join at FLV tag level
// cannot put them together (flvmdi refuses such files): a stream one has and the other has
// not, another codec, another sample rate, mono against stereo. Picture size and frame rate
// are no obstacle to it. Values either reader could not tell are not held against a file.
std::optional<Mismatch> tagJoinConflict(const StreamSummary& first, const StreamSummary& other);

// The notice for item number (1-based, as the user counts) that differs from the first.
QString mismatchText(int number, const Mismatch& m);
// The refusal of item number that a tag-level join cannot put after the first.
QString conflictText(int number, const Mismatch& m);

}  // namespace join
