#pragma once
// The player's side of the tool package: where the four written files live, having them
// written before a job, and removing them after it.
#include <QString>

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

// create = true: runs ProgramFolder + "LumbaResFLV" with the tool-set word and returns only
// after it has ended (so the tools are complete before a command runs); false when the
// package program could not be started or did not end in time.
// create = false: "notCapMCI" removes the three tools, "CapMCI" the clip (the player
// releases it first: AppHost::closeRunFn), "All" all four; any other word removes nothing.
// Returns true.
bool dealMyResource(const QString& what, bool create);

}  // namespace tools
