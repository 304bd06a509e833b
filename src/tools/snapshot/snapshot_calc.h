#pragma once
// The snapshot tab's calculator: from the choices and fields, whether the input is accepted
// and at which times the pictures are taken.
#include <QString>
#include <vector>

namespace snapshot {

// optMdSnap1: what to take.
enum class SnapChoice { Moment = 0, WholeFilm = 1, Range = 2 };
// optMdSnap2: the spacing of a series.
enum class SnapSpacing { Count = 0, Every = 1 };

// More pictures than three-digit names can number are refused: a typed count (or a tiny
// interval) must not make the job try millions of pictures.
inline constexpr long long kMaxPictures = 999;

struct SnapFields {
    SnapChoice choice = SnapChoice::Moment;
    SnapSpacing spacing = SnapSpacing::Count;
    QString moment;    // txtMdSnEq(0): second X
    QString count;     // txtMdSnEq(1): n pictures
    QString interval;  // txtMdSnEq(2): every N seconds
    QString from;      // txtMdSnFrom(0)
    QString end;       // txtMdSnEnd(0)
};

struct SnapCalc {
    bool ok = false;
    double start = 0;     // s
    double interval = 0;  // d, 0 for one moment
    double end = 0;       // e
    long long countMinus1 = 0;
    bool series() const { return interval > 0 || countMinus1 > 0; }
};

// total: the measured length; sourceExists: the source field names a file.
SnapCalc calculate(const SnapFields& f, double total, bool sourceExists);

// t_i = s + d * i for every picture, each lowered to e - 0.1 when larger, so the last
// picture never asks for the very end of the file.
std::vector<double> pictureTimes(const SnapCalc& c);

}  // namespace snapshot
