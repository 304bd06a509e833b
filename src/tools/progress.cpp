#include "tools/progress.h"

#include <algorithm>
#include <cmath>

namespace tools {

bool ProgressParser::feed(const QByteArray& bytes) {
    pending_ += bytes;
    bool changed = false;
    for (qsizetype nl; (nl = pending_.indexOf('\n')) >= 0;) {
        changed = line(pending_.left(nl).trimmed()) || changed;
        pending_.remove(0, nl + 1);
    }
    return changed;
}

bool ProgressParser::show(double fraction) {
    const int p = std::clamp(static_cast<int>(std::floor(fraction * 100.0)), 0, 99);
    if (p == percent_) return false;
    percent_ = p;
    return true;
}

bool ProgressParser::line(const QByteArray& l) {
    const qsizetype eq = l.indexOf('=');
    if (eq <= 0) return false;
    const QByteArray key = l.left(eq);
    bool ok = false;
    // "N/A" before the first packet.
    const qint64 value = l.mid(eq + 1).toLongLong(&ok);
    if (!ok || value < 0) return false;
    if (key == "frame") {
        frames_ = value;
        return false;
    }
    // out_time_us and out_time_ms both carry microseconds.
    if (key == "out_time_us" || key == "out_time_ms") {
        outSeconds_ = static_cast<double>(value) / 1e6;
        if (expected_ <= 0) return false;
        return show(outSeconds_ / expected_);
    }
    if (key == "total_size" && expected_ <= 0 && expectedBytes_ > 0)
        return show(static_cast<double>(value) / static_cast<double>(expectedBytes_));
    return false;
}

}  // namespace tools
