#pragma once
// The names and the ffmpeg command of the snapshot job, as plain data.
#include <QString>

#include "tools/command.h"

namespace snapshot {

// cboMediaSnapType's items, in order.
enum class PictureType { Jpg = 0, Png = 1, Gif = 2 };
// "JPG", "PNG", "GIF".
QString typeText(PictureType t);
// The file extension: the item in lower case.
QString typeExt(PictureType t);

// The one picture ffmpeg writes (its own numbering of "~tmpSP%03d"): "~tmpSP001.jpg".
QString tempPictureName(const QString& ext);
// "snapshot_001.jpg" for index 0.
QString seriesName(int index, const QString& ext);
// Seconds as the command carries them: three decimals ("12.500").
QString timeText(double seconds);

// Pictures before this many seconds are found by decoding from the start of the file.
inline constexpr double kDecodeFromStartBelow = 5.0;

// One picture at seconds: ffmpeg seeks on the input (near-constant time, decoding to the
// exact frame; near the start it decodes from the beginning) and writes one frame to tempPath.
tools::Command pictureCommand(const QString& ffmpeg, const QString& source, double seconds,
                              PictureType type, const QString& tempPath);

}  // namespace snapshot
