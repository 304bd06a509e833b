#pragma once
// The names and the ffmpeg command of the snapshot job, as plain data.
#include <QString>
#include <QStringList>
#include <vector>

#include "tools/command.h"

namespace snapshot {

// cboMediaSnapType's items, in order.
enum class PictureType { Jpg = 0, Png = 1, Gif = 2 };
// "JPG", "PNG", "GIF".
QString typeText(PictureType t);
// The file extension: the item in lower case.
QString typeExt(PictureType t);

// The file a single picture goes to when the user typed path for type: the name carries the
// type's extension, so its content and its name agree. A picture extension of another type is
// replaced ("x.png" as JPG: "x.jpg", what the user asked for with the type box); any other
// name gets the extension added ("x.2024": "x.2024.jpg"). "x.jpeg" and "X.JPG" stay for JPG.
QString pictureFileName(const QString& path, PictureType type);

// The one picture ffmpeg writes (its own numbering of "~tmpSP%03d"): "~tmpSP001.jpg".
QString tempPictureName(const QString& ext);
// The picture at position index of a run that takes several: "~tmpSP002.jpg" for index 1.
QString tempPictureName(const QString& ext, int index);
// "snapshot_001.jpg" for index 0.
QString seriesName(int index, const QString& ext);
// Seconds as the command carries them: three decimals ("12.500").
QString timeText(double seconds);

// Pictures before this many seconds are found by decoding from the start of the file.
inline constexpr double kDecodeFromStartBelow = 5.0;

// One picture at seconds: ffmpeg seeks on the input (near-constant time, decoding to the
// exact frame; near the start it decodes from the beginning) and writes one frame to tempPath,
// encoded as type whatever tempPath is called.
tools::Command pictureCommand(const QString& ffmpeg, const QString& source, double seconds,
                              PictureType type, const QString& tempPath);

// The most pictures one run of ffmpeg takes: each has a decoder of its own, open at once.
inline constexpr int kPicturesPerRun = 10;
// The pictures at times in one run of ffmpeg, each taken as pictureCommand takes it, picture
// k into tempPaths[k].
// The share of the job each picture's step takes: a run takes its pictures together, so the
// first step of each run carries them all and the others only move them to their names.
std::vector<double> pictureStepWeights(int count);
tools::Command picturesCommand(const QString& ffmpeg, const QString& source,
                               const std::vector<double>& times, PictureType type,
                               const QStringList& tempPaths);

}  // namespace snapshot
