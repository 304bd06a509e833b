#pragma once
// Diagnostics as values: every failure carries a fixed code and, where it has one, the byte
// offset in the input, so a message can say exactly what is wrong and where.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>

namespace flv {

enum class DiagCode {
    NotFlv,               // no "FLV" signature
    BadHeader,            // signature present but the header is unusable
    TruncatedTag,         // the file ends inside a tag header or before a PreviousTagSize
    TagPastEnd,           // a tag's data size runs past the end of the file
    PrevTagSizeMismatch,  // a PreviousTagSize does not match the tag before it
    UnknownTagType,       // a tag type other than audio, video and script data
    MetadataTooLarge,     // the new onMetaData would not fit a tag's 24-bit size
    StreamsDiffer,        // files to be joined carry different streams or codecs
    NothingInRange,       // a cut that would hold no audio or video frame
    ClockJump,            // timestamps jump back or ahead (reported; a repair mends it)
    NotRegularFile,
    NotWritable,        // the user may not write the file
    FolderNotWritable,  // the user may not create the new file beside it
    ChangedMeanwhile,   // the file changed while it was being rewritten
    Io,                 // a system call failed
    NoSpace,            // a write found the file system full (ENOSPC, EDQUOT)
};

// Short, stable code for scripts and tests, e.g. "E103".
const char* diagCodeId(DiagCode code);
// The code of an id that diagCodeId gives; nullopt for any other text.
std::optional<DiagCode> diagCodeFromId(std::string_view id);

struct Diag {
    DiagCode code;
    std::string detail;
    std::optional<std::uint64_t> offset;

    // One line: "E104 tag data runs past the end of the file at byte 1234 (...)".
    std::string text() const;
};

inline Diag diagAt(DiagCode code, std::uint64_t offset, std::string detail) {
    return Diag{code, std::move(detail), offset};
}
inline Diag diag(DiagCode code, std::string detail) {
    return Diag{code, std::move(detail), std::nullopt};
}
// An Io diagnostic from errno: "what: strerror"; NoSpace for a full file system, so the
// program that runs flvmdi can tell the user the disk is full.
Diag ioDiag(const std::string& what, int err);

// A value or the diagnostic that prevented it.
template <class T>
class [[nodiscard]] Result {
  public:
    Result(T value) : v_(std::move(value)) {}
    Result(Diag d) : v_(std::move(d)) {}
    bool ok() const { return v_.index() == 0; }
    explicit operator bool() const { return ok(); }
    T& value() { return std::get<0>(v_); }
    const T& value() const { return std::get<0>(v_); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    T& operator*() { return value(); }
    const Diag& error() const { return std::get<1>(v_); }

  private:
    std::variant<T, Diag> v_;
};

struct Ok {};
using Status = Result<Ok>;
inline Status okStatus() { return Ok{}; }

}  // namespace flv

// Early return of the diagnostic from a Result-valued expression.
#define FLV_TRY(expr)                                          \
    do {                                                       \
        auto&& flvTryResult_ = (expr);                         \
        if (!flvTryResult_.ok()) return flvTryResult_.error(); \
    } while (0)
