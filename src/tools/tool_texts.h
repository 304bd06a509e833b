#pragma once
// The texts each media tool shows in the busy window, the error message and the re-encode
// question, and the tool family of a source.
#include <QString>

#include "flv/diag.h"
#include "tools/tool_failure.h"

namespace tools {

enum class Tool { SaveCut, SaveSplit, Split, Join, Snapshot, Fix, Encode };

struct ToolTexts {
    QString workingLine;  // third line of the busy caption
    QString formatLine;   // middle line of the error message
    // Re-encode question; empty reason: the tool never asks.
    QString reencodeReason;
    QString reencodeOnly;
    QString reencodeCancel;
    // The fix, join and encode tools always show step 1 of 1 however many commands they run.
    bool fixedStepLine = false;
};

const ToolTexts& toolTexts(Tool t);

// The error message of a failed job for its format line.
QString jobErrorText(const ToolTexts& t);
// The error message of a failed job that knows why: a full disk names the disk (its mount
// point) and the output folder; one of flvmdi's diagnostics is said in words, with the
// tool's own line below; another tool's line follows the format line. An unknown cause
// gives jobErrorText(t).
QString jobErrorText(const ToolTexts& t, const ToolFailure& f, const QString& disk,
                     const QString& folder);
// The disk-full lines of that message.
QString diskFullText(const QString& disk, const QString& folder);
// One of flvmdi's diagnostics in words.
QString diagText(flv::DiagCode code);
// The error message of a job whose output folder is missing or cannot be written.
QString folderErrorText(const QString& folder);
// The re-encode question; empty when the tool has none.
QString reencodeQuestion(const ToolTexts& t);

// What the tools do with a source: FLV at tag level; MPEG program streams and everything else
// by ffmpeg. Each kind has its own tool set (deployment.h).
enum class ToolKind { Flv, Mpeg, Other };
// From an extension, any case: "flv"; "mpeg", "mpg", "vob"; anything else.
ToolKind toolKind(const QString& ext);

}  // namespace tools
