#include "tools/split/split_calc.h"

#include <QLocale>
#include <algorithm>
#include <cmath>

#include "common/time_code.h"
#include "tools/measure/measure_texts.h"

namespace split {
namespace {

using measure::fieldValue;
using measure::toHundredths;

// A whole count from a quotient that floating point may put a hair above a whole number
// (7.55 / 0.0755 is 100.000...01): that hair must not add a piece or a kilobyte.
long long wholeCeil(double x) { return ceilSeconds(x - 1e-9); }

bool inSection(double a, double b, double total) {
    return a >= 0 && a <= total && b >= 0 && b <= total && b > a;
}

// "0.00 %" of a share: 0.125 -> "12.50 %".
QString percentText(double share) {
    return QString::number(share * 100, 'f', 2) + QStringLiteral(" %");
}

}  // namespace

bool isPieces(SplitOption o) { return static_cast<int>(o) <= 2; }

SplitCalc calculate(const SplitFields& f, const SplitSource& s) {
    SplitCalc c;
    if (!s.exists) return c;
    c.notes.panel = isPieces(f.option) ? 0 : 1;
    const double size = static_cast<double>(s.bytes) / 1024.0;
    const double total = s.totalSeconds;
    c.total = total;
    if (size <= 0 || total <= 0) return c;
    const double rate = total / size;  // seconds per kilobyte
    const int index = static_cast<int>(f.option);

    long long count = 0;
    switch (f.option) {
        case SplitOption::EqualParts: {
            // A fraction of a part would leave the end of the file uncut: the count is the
            // nearest whole number, and the parts are that many.
            count = std::llround(fieldValue(f.eq[0]));
            c.ok = count > 1 && count <= 99;
            if (c.ok) c.start = toHundredths(total / static_cast<double>(count));
            break;
        }
        case SplitOption::SecondsUnits: {
            const double u = fieldValue(f.eq[1]);
            if (u > 0) count = wholeCeil(total / u);
            c.ok = u > 0 && count > 1 && count <= 99;
            c.start = u;
            break;
        }
        case SplitOption::KilobyteUnits: {
            const double k = fieldValue(f.eq[2]);
            if (k > 0) count = wholeCeil(size / k);
            c.ok = k > 0 && count > 1 && count <= 99;
            c.start = toHundredths(rate * k);
            break;
        }
        case SplitOption::SecondsSection:
        case SplitOption::KilobyteSection:
        case SplitOption::PercentSection: {
            const int i = index - 3;
            const double a = fieldValue(f.from[static_cast<size_t>(i)]);
            const double b = fieldValue(f.end[static_cast<size_t>(i)]);
            double from = a, to = b;
            if (f.option == SplitOption::KilobyteSection) {
                from = rate * a;
                to = rate * b;
            } else if (f.option == SplitOption::PercentSection) {
                from = total * a / 100;
                to = total * b / 100;
            }
            c.start = toHundredths(from);
            c.end = toHundredths(to);
            c.ok = inSection(c.start, c.end, total);
            if (c.ok) {
                const double span = c.end - c.start;
                c.notes.seconds = secToText(span, 0, 2) + QStringLiteral(" 秒");
                const long long kb = f.option == SplitOption::KilobyteSection
                                         ? static_cast<long long>(std::floor(b - a))
                                         : wholeCeil(span / rate);
                c.notes.kilobytes = QString::number(kb) + QStringLiteral(" KB");
                c.notes.share = QStringLiteral("佔全部 ") + percentText(span / total);
            }
            break;
        }
    }
    if (isPieces(f.option)) {
        c.countMinus1 = static_cast<int>(std::max<long long>(0, count - 1));
        if (c.ok)
            c.notes.count = QStringLiteral("目前切割數 ") +
                            QStringLiteral("%1").arg(count, 3, 10, QLatin1Char('0'));
    }
    return c;
}

std::vector<save::SegmentSeconds> pieceTable(const SplitFields& f, const SplitCalc& c) {
    std::vector<save::SegmentSeconds> pieces;
    if (!c.ok) return pieces;
    if (!isPieces(f.option)) {
        pieces.push_back({c.start, c.end});
        return pieces;
    }
    const int count = c.countMinus1 + 1;
    for (int i = 0; i < count; ++i) {
        save::SegmentSeconds p;
        p.start = c.start * i;
        p.end = std::min(p.start + c.start, c.total);
        // Lengths cut to hundredths may fall short of the end: the last piece reaches it.
        if (i == count - 1) p.end = c.total;
        pieces.push_back(p);
    }
    return pieces;
}

}  // namespace split
