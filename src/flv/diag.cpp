#include "flv/diag.h"

#include <cerrno>
#include <cstring>

namespace flv {

const char* diagCodeId(DiagCode code) {
    switch (code) {
        case DiagCode::NotFlv:
            return "E101";
        case DiagCode::BadHeader:
            return "E102";
        case DiagCode::TruncatedTag:
            return "E103";
        case DiagCode::TagPastEnd:
            return "E104";
        case DiagCode::PrevTagSizeMismatch:
            return "E105";
        case DiagCode::UnknownTagType:
            return "E106";
        case DiagCode::MetadataTooLarge:
            return "E107";
        case DiagCode::StreamsDiffer:
            return "E108";
        case DiagCode::NothingInRange:
            return "E109";
        case DiagCode::ClockJump:
            return "E110";
        case DiagCode::NotRegularFile:
            return "E201";
        case DiagCode::NotWritable:
            return "E202";
        case DiagCode::FolderNotWritable:
            return "E203";
        case DiagCode::ChangedMeanwhile:
            return "E204";
        case DiagCode::Io:
            return "E301";
        case DiagCode::NoSpace:
            return "E302";
    }
    return "E000";
}

std::optional<DiagCode> diagCodeFromId(std::string_view id) {
    for (int c = 0; c <= static_cast<int>(DiagCode::NoSpace); ++c) {
        const auto code = static_cast<DiagCode>(c);
        if (id == diagCodeId(code)) return code;
    }
    return std::nullopt;
}

std::string Diag::text() const {
    std::string s = diagCodeId(code);
    s += ' ';
    s += detail;
    if (offset) s += " at byte " + std::to_string(*offset);
    return s;
}

Diag ioDiag(const std::string& what, int err) {
    const bool full = err == ENOSPC || err == EDQUOT;
    return diag(full ? DiagCode::NoSpace : DiagCode::Io, what + ": " + std::strerror(err));
}

}  // namespace flv
