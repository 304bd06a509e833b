#pragma once
// Where each item of a join by ffmpeg's concat demuxer ends. The demuxer advances its clock by
// each item's length as the container states it, and MP4/MOV and ASF count that length from
// the clock's zero: a file whose clock starts at 100 s claims 103 s for 3 s of content, and
// the join would leave 100 s of nothing after it. Such items get their measured length in the
// list instead; items whose clock starts at zero keep the list they always had.
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "tools/command.h"
#include "tools/save_plan.h"

namespace join {

// Reads the containers' headers only, every item in one run; ffmpeg names the start of each
// file's clock there.
tools::Command clockStartProbe(const save::Tools& t, const QStringList& items);
// Those starts in seconds, one per item; nullopt where the output names none (ffmpeg stops at
// the first input it cannot open).
std::vector<std::optional<double>> clockStarts(const QString& probeOutput, qsizetype count);

// Below this, a late start is an encoder's delay or audio priming: too short a gap to be worth
// reading the whole file for.
inline constexpr double kLateClockSeconds = 0.5;

// Every packet of the streams a join takes, listed with its times (a stream copy, nothing
// decoded).
tools::Command lengthProbe(const save::Tools& t, const QString& item);
// The end of the last packet, counted from the file's start as the demuxer counts; nullopt
// when the list holds no packet.
std::optional<double> contentSeconds(const QString& packetList);

// The concat list: the "file" lines the save's joins write, each item with a known length
// (above 0) followed by its "duration" line.
QString concatListText(const QStringList& items, const std::vector<double>& lengths,
                       const QString& folder = {});
// Writes that list to listPath, named as writeJoinList names the parts; false when it could
// not be written whole.
bool writeConcatList(const QString& listPath, const QStringList& items,
                     const std::vector<double>& lengths);

}  // namespace join
