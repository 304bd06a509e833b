#pragma once
// The player's side of the tool package: where the four written files live, having them
// written before a job, and removing them after it.
#include <QString>

#include "tools/tool_texts.h"

namespace tools {

// Fixed names of the files the package program writes into TempFolder.
inline constexpr char kCaptureClipName[] = "~tmpLmbFlv.wmv";
inline constexpr char kMencoderName[] = "~tmpLmbMcd.exe";
inline constexpr char kFfmpegName[] = "~tmpLmbFmg.exe";
inline constexpr char kFlvmdiName[] = "~tmpLmbFmd.exe";
inline constexpr char kPackageProgramName[] = "LumbaResFLV";

// The four paths, recomputed from TempFolder on every call.
struct ToolPaths {
    QString captureClip;  // CaptureClipPath
    QString mencoder;     // MencoderPath (no longer written; still removed when found)
    QString ffmpeg;       // FfmpegPath
    QString flvmdi;       // FlvmdiPath
};
ToolPaths toolPaths();

// What the package program is asked to write: one set per tool and source family.
enum class ToolSet { Edit1, Edit2, Edit3, Fix1, Fix2, Fix3, Snap, Encode, CaptureClip };
// The cutting and joining tools for a source of kind.
ToolSet editTools(ToolKind kind);
// The fix tool's set for a source of kind.
ToolSet fixTools(ToolKind kind);
// The word on the package program's command line: "Edit1", ..., "CapMCI".
QString toolSetWord(ToolSet set);

// Runs ProgramFolder + "LumbaResFLV" with the set's word and returns only after it has ended
// (so the tools are complete before a command runs). False when the package program could
// not be started, did not end in time or reported that it could not write the set.
bool deployResources(ToolSet set);

// Which written files to remove.
enum class Deployed {
    Tools,        // the three tools (what a job leaves)
    CaptureClip,  // the clip (the player releases it first: AppHost::closeRunFn)
    All,          // all four (start-up and shutdown)
};
void removeResources(Deployed which);

}  // namespace tools
