#include "tools/snapshot/snapshot_calc.h"

#include <cmath>

#include "tools/measure/measure_texts.h"

namespace snapshot {
namespace {

using measure::fieldValue;
using measure::toHundredths;

double seconds(const QString& field) { return toHundredths(fieldValue(field)); }

bool inRange(double a, double b, double total) {
    return a >= 0 && a <= total && b >= 0 && b <= total && b > a;
}

}  // namespace

SnapCalc calculate(const SnapFields& f, double total, bool sourceExists) {
    SnapCalc c;
    if (!sourceExists || total <= 0) return c;
    if (f.choice == SnapChoice::Moment) {
        const double x = seconds(f.moment);
        c.start = x;
        c.end = total;
        c.ok = !f.moment.trimmed().isEmpty() && x >= 0 && x <= total;
        return c;
    }
    const bool whole = f.choice == SnapChoice::WholeFilm;
    c.start = whole ? 0 : seconds(f.from);
    c.end = whole ? total : seconds(f.end);
    const bool range = whole || inRange(c.start, c.end, total);
    const double span = c.end - c.start;
    if (f.spacing == SnapSpacing::Count) {
        const long long count = std::llround(fieldValue(f.count));
        c.countMinus1 = count - 1;
        c.ok = range && count >= 1 && count <= kMaxPictures;
        if (c.ok) c.interval = span / static_cast<double>(count);
    } else {
        const double n = seconds(f.interval);
        c.interval = n;
        c.ok = range && n > 0 && (whole ? n < total : n <= span);
        if (c.ok) {
            c.countMinus1 = static_cast<long long>(std::floor(span / n + 1e-9));
            c.ok = c.countMinus1 + 1 <= kMaxPictures;
        }
    }
    return c;
}

std::vector<double> pictureTimes(const SnapCalc& c) {
    std::vector<double> times;
    if (!c.ok) return times;
    const double last = c.end - 0.1;
    for (long long i = 0; i <= c.countMinus1; ++i) {
        double t = c.start + c.interval * static_cast<double>(i);
        if (t > last) t = last;
        times.push_back(t);
    }
    return times;
}

}  // namespace snapshot
