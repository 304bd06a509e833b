#pragma once
// Several single-input, single-output ffmpeg runs as one run with one input and one output
// each: every run of ffmpeg costs its start-up (a tenth of a second), so a job that reads one
// source at several places does so in one process. Nothing here starts a process.
#include <QString>
#include <QStringList>
#include <vector>

#include "tools/command.h"

namespace tools {

// What the one run prints: only its errors, or also, at its end, how many packets it wrote
// into every stream of every output (ffmpeg's verbose level), which a job reads to check
// each output on its own. Its lines then carry their level ("[error] "), so that the
// reason of a failure is still told from the rest.
enum class BatchLog { Errors, Stats };

// runs: ffmpeg commands made by ffmpegCommand, each with the same global options first
// ("-hide_banner -nostdin -y -loglevel error"), then one input and one output whose stream
// maps name input 0. The result keeps each run's input and output options in order, its maps
// renumbered to its own input, and expects the longest of their lengths: the outputs advance
// side by side. Empty runs give an empty command.
Command batchRuns(const std::vector<Command>& runs, BatchLog log = BatchLog::Errors);

// One output of a run at the verbose level: its streams as their final statistics list them.
struct OutputStats {
    qint64 videoPackets = 0;  // packets written into its video streams
    qint64 audioPackets = 0;
    QStringList kinds;  // "audio", "video", ... one per stream, sorted
};
// The statistics of outputs 0..count-1; an output the text does not mention has none.
std::vector<OutputStats> readOutputStats(const QString& output, int count);

}  // namespace tools
