#pragma once
// Why a tool failed, read from what it printed: the error message of a failed job gives the
// real reason (a full disk, one of flvmdi's diagnostics, ffmpeg's own line) instead of a
// guess at the file's format.
#include <QString>
#include <optional>

#include "flv/diag.h"

namespace tools {

enum class FailureCause {
    Unknown,     // nothing recognisable was printed
    DiskFull,    // a write found the file system full
    FlvmdiDiag,  // one of flvmdi's diagnostics
    ToolLine,    // another tool's (ffmpeg's) own error line
};

struct ToolFailure {
    FailureCause cause = FailureCause::Unknown;
    std::optional<flv::DiagCode> diag;  // with FlvmdiDiag (and DiskFull from flvmdi)
    QString line;                       // the tool's own words: "E108 …", ffmpeg's line
};

// The failure a tool's output (standard output and error together) tells of. A full disk
// wins over everything else: the other lines are its consequences.
ToolFailure readFailure(const QString& output);

}  // namespace tools
