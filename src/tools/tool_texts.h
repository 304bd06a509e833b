#pragma once
// The texts each media tool shows in the busy window, the error message and the re-encode
// question, and the tool family of a source.
#include <QString>

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
// The error message of a job whose output folder is missing or cannot be written.
QString folderErrorText(const QString& folder);
// The re-encode question; empty when the tool has none.
QString reencodeQuestion(const ToolTexts& t);

// ToolKind from a lower-case extension: "flv" 1; "mpeg", "mpg", "vob" 2; anything else 3.
int toolKind(const QString& ext);

}  // namespace tools
