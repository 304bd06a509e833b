#pragma once
// The split tab's calculator: from the chosen option, its fields and the measured source,
// whether the input is accepted, the notes the tab shows, and the pieces the job cuts.
#include <QString>
#include <array>
#include <vector>

#include "tools/save_plan.h"

namespace split {

// optMdSplit(0 to 5).
enum class SplitOption {
    EqualParts = 0,       // N equal parts
    SecondsUnits = 1,     // pieces of U seconds
    KilobyteUnits = 2,    // pieces of K kilobytes
    SecondsSection = 3,   // one section from second a to second b
    KilobyteSection = 4,  // one section from kilobyte a to kilobyte b
    PercentSection = 5,   // one section from a % to b %
};
inline constexpr int kOptionCount = 6;

// Options 0 to 2 cut the whole file into pieces; 3 to 5 cut one section.
bool isPieces(SplitOption o);

struct SplitFields {
    SplitOption option = SplitOption::EqualParts;
    std::array<QString, 3> eq;    // txtMdSpEq(0 to 2)
    std::array<QString, 3> from;  // txtMdSpFrom(0 to 2)
    std::array<QString, 3> end;   // txtMdSpEnd(0 to 2)
};

// The source as measured.
struct SplitSource {
    bool exists = false;
    double totalSeconds = 0;  // the measure's Tag
    qint64 bytes = 0;
};

// The notes of picNoteMd(0) and picNoteMd(1).
struct SplitNotes {
    int panel = 0;                                     // 0 for options 0 to 2, 1 for 3 to 5
    QString count = QStringLiteral("目前切割數  ？");  // lblNoteMd(2)
    QString seconds = QStringLiteral("？ 秒");         // lblNoteMd(4)
    QString kilobytes = QStringLiteral("？ KB");       // lblNoteMd(5)
    QString share = QStringLiteral("佔全部 ？ %");     // lblNoteMd(6)
};

struct SplitCalc {
    bool ok = false;
    // Options 0 to 2: the piece length; 3 to 5: the section's start (seconds).
    double start = 0;
    double end = 0;  // options 3 to 5: the section's end; 0 otherwise
    double total = 0;
    int countMinus1 = 0;
    SplitNotes notes;
};

SplitCalc calculate(const SplitFields& f, const SplitSource& s);

// The pieces the job cuts, in seconds: options 0 to 2 the whole length in pieces of the
// calculator's length, the last one ending at the end of the file; 3 to 5 the one section.
std::vector<save::SegmentSeconds> pieceTable(const SplitFields& f, const SplitCalc& c);

}  // namespace split
