#pragma once
// The player's side of the tool package: where the four written files live, having them
// written before a job, and removing them after it.
#include <QString>
#include <functional>

namespace tools {

// Fixed names of the files the package program writes into TempFolder.
inline constexpr char kCaptureClipName[] = "~tmpLmbFlv.wmv";
inline constexpr char kMencoderName[] = "~tmpLmbMcd.exe";
inline constexpr char kFfmpegName[] = "~tmpLmbFmg.exe";
inline constexpr char kFlvmdiName[] = "~tmpLmbFmd.exe";
inline constexpr char kPackageProgramName[] = "LumbaResFLV";

// The four paths, recomputed from the folders on every call.
struct ToolPaths {
    QString captureClip;  // CaptureClipPath
    QString mencoder;     // MencoderPath (no longer written; still removed when found)
    QString ffmpeg;       // FfmpegPath
    QString flvmdi;       // FlvmdiPath
};
ToolPaths toolPaths();

// What deployment needs from the rest of the program. App wires these; unset members fall
// back to the shared folder globals and to doing nothing.
struct DeploymentHooks {
    std::function<QString()> tempFolder;     // TempFolder, ending in "/"
    std::function<QString()> programFolder;  // ProgramFolder, ending in "/"
    // closeRunFn: stops and closes the main playback when it plays path (the capture clip).
    std::function<void(const QString& path)> closeIfPlaying;
};
void setDeploymentHooks(DeploymentHooks hooks);

// create = true: runs ProgramFolder + "LumbaResFLV" with the tool-set word and returns only
// after it has ended (so the tools are complete before a command runs); false when the
// package program could not be started or did not end in time.
// create = false: "notCapMCI" removes the three tools, "CapMCI" the clip (closing its
// playback first), "All" all four; any other word removes nothing. Returns true.
bool dealMyResource(const QString& what, bool create);

}  // namespace tools
