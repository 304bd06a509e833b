#pragma once
// What a conversion does, as plain data: the checks before it, its texts and its ffmpeg and
// flvmdi argument lists. Nothing here runs a process.
#include <QString>
#include <QStringList>

#include "tools/command.h"
#include "tools/encode/encode_panel.h"
#include "tools/save_plan.h"

namespace encode {

using tools::Command;

// A press of cmdMediaEncode: the panel, its two path boxes as typed and its option boxes.
struct EncodeRequest {
    Panel panel = Panel::FlvToVideo;
    QString sourceText;
    QString targetText;
    EncodeOptions options;
};

// Why a conversion does not start, in the order the checks run.
enum class Refusal {
    None,
    MissingSource,  // the source file does not exist
    SameAsSource,   // the target is the source
    MpgFrameRate,   // an MPG target below 20 frames per second (the focus goes to the box)
};
// source and target: the boxes' paths (boxPath). Reads the disk for the source only.
Refusal refusal(const EncodeRequest& r, const QString& source, const QString& target);
// The notice of a refusal ("" for None).
QString refusalText(Refusal r);
// The confirmation before the job.
QString confirmText(const QString& source, const QString& target);

// ffmpeg's arguments, in the order of the old command with today's switches: input; "-vn" for
// a sound target, or "-c:v wmv2" for a WMV one; the size (left out for "原視訊大小"), frame
// rate and video bitrate where the panel uses them; sampling rate, audio bitrate, channels;
// output. Bitrates are kbit/s ("-b:v 360k"): a bare number is bits per second today.
QStringList encodeArgs(const EncodeRequest& r, const QString& source, const QString& target);
Command encodeCommand(const save::Tools& t, const EncodeRequest& r, const QString& source,
                      const QString& target, double expectedSeconds);
// flvmdi rebuilds the metadata of an FLV target in place; other targets need nothing.
bool needsMetadata(const QString& target);

// The length of the input in seconds from ffmpeg's description of it ("Duration: 00:01:02.50");
// 0 when it gives none.
double parseDuration(const QString& probeOutput);

}  // namespace encode
