#pragma once
// The command plan of "save marked segments", as plain data: the names a job uses, the cut
// times of each segment and the ffmpeg and flvmdi argument lists of every step. Nothing here
// runs a process or touches the disk, so every rule can be tested on its own.
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <vector>

#include "tools/command.h"
#include "tools/tool_texts.h"

namespace save {

using tools::Command;

// mode 0 (mnuSaveRng, "另存裁剪"): every segment joined into one file.
// mode 1 (mnuSaveCut, "另存分割"): every segment into a file of its own.
enum class Mode { Cut, Split };

// "裁剪" or "分割", the word the texts of a job are built with.
QString modeWord(Mode mode);

// 1 flv; 2 mpeg, mpg, vob; 3 every other extension: the tools' own rule.
using tools::toolKind;

// The ffmpeg muxer a file with this extension is written with ("" lets ffmpeg guess).
// A VCD ".dat" is an MPEG program stream; ffmpeg has no muxer of that name.
QString muxerFor(const QString& ext);

// A segment as the player keeps it, in position units.
struct UnitSegment {
    int64_t start = 0;
    int64_t length = 0;
};

// Cut times of one segment in whole seconds: S is the largest whole second not above the
// start, L reaches the first whole second at or after the end (at least 1, so a segment
// shorter than a hundredth still yields a part). An end mark sits on a frame, so one within
// half a frame past a whole second (50.01 on a 23.976 fps file for a mark typed as 50.00)
// counts as that second: else the piece would run a whole second longer.
struct CutTimes {
    int64_t start = 0;   // S
    int64_t length = 0;  // L
    // A copy that ends at S + L with B-frames may leave out pictures shown just before one it
    // keeps; when above (S + L) * 1000, the copy runs on to this decoding time (milliseconds
    // from the media start) so that its last pictures follow one another.
    int64_t copyToMs = 0;
    int64_t end() const { return start + length; }
};
// startSeconds and endSeconds are taken, as the marks show them, to hundredths first.
// frameSeconds: the duration of one frame (0 when unknown).
CutTimes cutTimes(double startSeconds, double endSeconds, double frameSeconds = 0);
// A segment in units to seconds, as the marks show them: start raised to 0, end lowered to
// totalSeconds when that is above 0.
struct SegmentSeconds {
    double start = 0, end = 0;
};
SegmentSeconds segmentSeconds(const UnitSegment& s, double secondsPerUnit, double totalSeconds);

// Names, relative to the output folder.
QString partName(int index, const QString& ext);  // "~tmpSP001.flv" for index 0
QString joinName(const QString& ext);             // "~tmpSJoin.flv"

// What the user sees of the pieces a split writes. The split tool owns these names
// (split/split_names.h); the cutting path only applies them.
struct PieceNames {
    QString (*piece)(int index, const QString& ext) = nullptr;  // the file of piece index
    QString (*pattern)(const QString& ext) = nullptr;           // the pieces, as texts name them
    QString (*cutFile)(const QString& source) = nullptr;        // proposed for a single cut
};
inline const QString kJoinListName = QStringLiteral("~tmpSJoin.txt");

// The programs a job runs.
struct Tools {
    QString ffmpeg;
    QString flvmdi;
};

// Where a stream-copy cut really begins. A copy can only start at a keyframe, so the cut
// begins at the last keyframe whose picture is at or before S.
struct CutStart {
    bool fromFileStart = true;  // the keyframe is the first one: read from the beginning
    double keyTime = 0;         // the keyframe's picture time, seconds from the media start
    double keyDecodeTime = 0;   // its decoding time (copies are cut on decoding times)
    // Pictures that follow it in decoding order are shown before it (an open group): they
    // refer to pictures before the cut. Unknown counts as yes.
    bool leadsPictures = true;
};

// Where the keyframe probe of one part reads: from windowStart up to just after S. A window
// may also read around the end of a part (end, when above 0): then up to just after it.
struct ProbeWindow {
    double start = 0;
    int64_t S = 0;
    int64_t end = 0;
};

// Asks ffmpeg for the keyframes of the first video stream in each window, one run for every
// part: input k is the source sought to window k and is stream k of the packet list on
// standard output (so it runs without progress lines). A window starting at 0 reads from
// the beginning.
Command keyframeProbe(const Tools& t, const QString& source,
                      const std::vector<ProbeWindow>& windows);
Command keyframeProbe(const Tools& t, const QString& source, double windowStart, int64_t S);
// The packet list of a probe that a cut runs beside its own copy (withKeyframeProbe).
inline const QString kProbeListName = QStringLiteral("~tmpSProbe.txt");
// cut, with the keyframe probe of window (the next part's) in the same run of ffmpeg: one
// process less per part. The probe's input and its packet list (into probePath) come after
// the cut's own, so the cut's progress lines still count the pictures of its part.
Command withKeyframeProbe(Command cut, const QString& source, const ProbeWindow& window,
                          const QString& probePath);
// The window a probe starts with, and the next wider one when it found no keyframe at or
// before S (nullopt once the window already starts at the beginning).
double firstProbeWindow(int64_t S, tools::ToolKind kind = tools::ToolKind::Other);
std::optional<double> widerProbeWindow(double windowStart, int64_t S);

// Reads the packet list of keyframeProbe, one answer per window. nullopt: no keyframe at or
// before S in that window.
std::vector<std::optional<CutStart>> parseKeyframes(const QString& probeOutput,
                                                    const std::vector<ProbeWindow>& windows);
std::optional<CutStart> parseKeyframes(const QString& probeOutput, double windowStart, int64_t S);
// One answer per window: for the end it reads around, the copy's CutTimes::copyToMs; 0 when
// the copy stopping at that end leaves no gap, the packet list cannot tell, or the window
// reads no end.
std::vector<int64_t> parseCopyEnds(const QString& probeOutput,
                                   const std::vector<ProbeWindow>& windows);
// The window that reads around an end alone: the pictures decoded just before and after it.
ProbeWindow endProbeWindow(int64_t end);
// Both, from one reading of the packet list.
struct ProbeAnswers {
    std::vector<std::optional<CutStart>> starts;
    std::vector<int64_t> copyEnds;
};
ProbeAnswers parseProbe(const QString& probeOutput, const std::vector<ProbeWindow>& windows);
// A video packet of a packet list, in decoding order; its times in the list's units.
struct ListedPacket {
    double dts;
    std::optional<double> pts;
    bool key;
};
// parseCopyEnds for a file whose every picture has its time (an index of them rather than a
// probe's list): packets in seconds from the media start, read from a second before end on.
int64_t copyEndOf(const std::vector<ListedPacket>& packets, int64_t end);
// What a reader of a file's own index finds for the parts of a job, in place of the probe's
// answers: one CutStart per S (the default, from the beginning, where no keyframe is at or
// before it) and one copy end per end, both as the probe would give them.
struct FileCuts {
    std::vector<CutStart> starts;
    std::vector<int64_t> copyEnds;
};
// An end that a window already in the run reads with little more reading, rather than by a
// window of its own: every input of a run opens and indexes the source once more.
bool readsEndToo(const ProbeWindow& w, int64_t end);

// The cut of [keyframe, S + L) of every video and audio stream into part, by stream copy;
// reencodeAudio re-encodes only the audio, to MP3 at 64 kbit/s.
Command cutCommand(const Tools& t, const QString& source, const CutStart& start, const CutTimes& c,
                   const QString& partPath, const QString& ext, bool reencodeAudio);

// The parts given, cut by one run of ffmpeg, each as cutCommand cuts it and into partPaths[k]:
// parts that follow one another (a split's pieces) are read in one pass of one input, others
// each from an input of its own. The run prints, at its end, what it wrote into each part
// (tools::readOutputStats).
Command partsCommand(const Tools& t, const QString& source, const std::vector<CutStart>& starts,
                     const std::vector<CutTimes>& cuts, const QStringList& partPaths,
                     const QString& ext);
// The parts that one partsCommand cuts, in order: all of them when they follow one another (one
// input), else up to kPartsPerRun at a time (an input each, every one holding its own index
// of the file).
struct PartRange {
    size_t first = 0, count = 0;
};
inline constexpr size_t kPartsPerRun = 10;
std::vector<PartRange> partRuns(const std::vector<CutStart>& starts,
                                const std::vector<CutTimes>& cuts);

// ffmpeg that cannot write a container (Opus into AVI) may still leave the header it had
// begun, so a cut or a join by ffmpeg counts as made only when it wrote pictures: the video
// frames its own progress lines counted at their end (CmdResult::frames).
bool wrotePictures(qint64 framesWritten);
// A file made by another program counts as made when a picture can be read back from it.
Command partCheck(const Tools& t, const QString& partPath);
bool partCheckPassed(const QString& checkOutput);

// The list file of ffmpeg's concat demuxer: one "file" line per part, in order. A part in
// folder (when given) is named without it, so ffmpeg opens it from its working folder.
QString joinListText(const QStringList& partPaths, const QString& folder = {});
// Writes that list to listPath (replacing it); false when it could not be written whole.
// Parts beside the list are named without their folder: the list is read a line at a time,
// so a folder whose name holds a line break could not be written there. The command that
// reads it runs in that folder, as a job's commands do.
bool writeJoinList(const QString& listPath, const QStringList& partPaths);
// The parts joined in list order into joinPath, by stream copy; reencodeAudio re-encodes
// only the audio, to MP3 at 64 kbit/s. videoFilter: the options of a bitstream filter for
// the copied video, or none.
Command joinCommand(const Tools& t, const QString& listPath, const QString& joinPath,
                    const QString& ext, double expectedSeconds = 0, bool reencodeAudio = false,
                    const QStringList& videoFilter = {});
// flvmdi rebuilds the metadata of one FLV file in place.
Command flvmdiCommand(const Tools& t, const QString& path);
// flvmdi cuts [S, S + L) of an FLV at tag level, from the keyframe at or before S, into part,
// its metadata written in the same pass.
Command flvCutCommand(const Tools& t, const QString& source, const CutTimes& c,
                      const QString& partPath);
// FLV parts are joined by flvmdi at tag level: an FLV reader numbers streams in the order
// their first tags appear, so a join that pairs streams by number mixes audio into video
// whenever one part begins with an audio tag and another with a video tag.
Command flvJoinCommand(const Tools& t, const QStringList& partPaths, const QString& joinPath,
                       double expectedSeconds = 0);

// An exact cut of an FLV part: the span in whole milliseconds, where the player shows it.
struct ExactSpan {
    int64_t fromMs = 0;
    int64_t toMs = 0;
};
ExactSpan exactSpan(const SegmentSeconds& s);
// The picture codecs whose first pictures an exact cut rebuilds.
enum class HeadCodec { None, Avc, H263 };
// What flvmdi --exact-plan answers: the pictures to rebuild and how.
struct ExactHead {
    HeadCodec codec = HeadCodec::None;
    int64_t copyFromMs = 0;  // where a copy cut would start instead
    int64_t headFromMs = 0;  // the first picture to rebuild
    int headFrames = 0;      // 0: a copy from the mark is already exact
    int64_t tailFromMs = 0;  // the end's group, when a copy would show pictures past the end
    int tailFrames = 0;
    double frameMs = 40;
    int profileIdc = 0, levelIdc = 0;
    int freeId = 1;  // SPS and PPS id the source does not use
};
Command exactPlanProbe(const Tools& t, const QString& source, const ExactSpan& s);
std::optional<ExactHead> parseExactHead(const QString& probeOutput);
// Rebuilt pictures: frames pictures from fromMs on, decoded from the keyframe before them and
// encoded anew at the source's size, without B-frames. H.264 at CRF 16, profile and level no
// higher than the source's, its parameter sets in band under an id of its own; Sorenson H.263
// with ffmpeg's flv1 encoder at its finest quantiser.
Command rebuildCommand(const Tools& t, const QString& source, const ExactHead& h, int64_t fromMs,
                       int frames, const QString& outPath);
// The part: the head, the source copied tag for tag from the keyframe after the mark, the
// tail; an empty head or tail path where there is none.
Command spliceCommand(const Tools& t, const QString& source, const ExactSpan& s,
                      const QString& headPath, const QString& tailPath, const QString& partPath);
// A copy cut from the mark itself, when the mark is on a keyframe.
Command exactCopyCommand(const Tools& t, const QString& source, const ExactSpan& s,
                         const QString& partPath);
QString headName(int index);  // "~tmpSH001.flv" for index 0
QString tailName(int index);  // "~tmpST001.flv" for index 0

// Lists the streams of files (ffmpeg's description of its inputs, nothing written): one run
// for all of them.
Command streamProbe(const Tools& t, const QString& path);
Command streamProbe(const Tools& t, const QStringList& paths);
// "Video: flv1", "Audio: mp3", ... of input `input` from streamProbe's output, sorted, so that
// the order in which a container numbers its streams does not matter. Empty when the file was
// unreadable.
QStringList streamKinds(const QString& probeOutput, int input = 0);
// The lines in which ffmpeg describes input `input` of a run (its "Input #k" block); empty
// when it printed none.
QStringList inputDescription(const QString& probeOutput, int input);

// Everything a job will do, decided before the first command runs.
struct SaveRequest {
    QString source;  // absolute path
    std::vector<UnitSegment> segments;
    double secondsPerUnit = 0;
    double totalSeconds = 0;
    Mode mode = Mode::Cut;
    // Mode::Cut: the chosen file; Mode::Split: the chosen folder.
    QString output;
    PieceNames names;  // needed for Mode::Split
};

struct PartPlan {
    int index = 0;
    QString name;  // "~tmpSP001.flv"
    SegmentSeconds seconds;
    CutTimes cut;
    QString finalName;  // Mode::Split: the piece's name ("split_001.flv"); else empty
};

struct SavePlan {
    Mode mode = Mode::Cut;
    QString source;
    QString ext;  // lower case
    tools::ToolKind kind = tools::ToolKind::Other;
    QString folder;  // the output folder, ending in "/"
    QString output;  // the file the success test and the report name
    std::vector<PartPlan> parts;
    int steps = 0;      // N of the busy caption
    bool join = false;  // two or more parts joined
    // FLV parts are cut and joined by flvmdi at tag level, metadata included; others by
    // ffmpeg, from the keyframe a probe finds.
    bool tagLevel = false;
    // Cut where marked: an FLV part's pictures up to its first keyframe are re-encoded, the
    // rest copied. Off: every part as a copy cut from the keyframe before its start.
    bool exact = false;
    QString joinList;  // "~tmpSJoin.txt" when joining
    QString joinFile;  // "~tmpSJoin.<ext>" when joining

    QString path(const QString& name) const { return folder + name; }
    // Every file of the folder this job writes, moves onto or deletes, temporary or final.
    QStringList touchedFiles() const;
};

SavePlan makePlan(const SaveRequest& r);
// Parts that ffmpeg cuts are all cut by one run of it (each part an input and an output of
// its own), after one probe of all their keyframes: each run of ffmpeg costs its start-up.
bool cutsInOneRun(const SavePlan& plan);
// The share of the job each step of the busy caption takes: a part's cut by the length of its
// span, the join (the last step when joining) by the length of all of them, as it copies
// everything once more. Cuts in one run all count under the first step, which runs them.
std::vector<double> stepWeights(const SavePlan& plan);
// The same plan from spans already in seconds (the split tool's pieces). output as in
// SaveRequest: the chosen file (Mode::Cut) or folder (Mode::Split), names as there.
// frameSeconds as in cutTimes.
SavePlan makeSpanPlan(const QString& source, const std::vector<SegmentSeconds>& spans, Mode mode,
                      const QString& output, const PieceNames& names, double frameSeconds = 0);

}  // namespace save
