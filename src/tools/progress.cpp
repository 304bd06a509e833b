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

bool ProgressParser::line(const QByteArray& l) {
    // out_time_us and out_time_ms both carry microseconds; "N/A" before the first packet.
    if (!l.startsWith("out_time_us=") && !l.startsWith("out_time_ms=")) return false;
    bool ok = false;
    const qint64 us = l.mid(l.indexOf('=') + 1).toLongLong(&ok);
    if (!ok || us < 0) return false;
    outSeconds_ = static_cast<double>(us) / 1e6;
    if (expected_ <= 0) return false;
    const int p = std::clamp(static_cast<int>(std::floor(outSeconds_ * 100.0 / expected_)), 0, 99);
    if (p == percent_) return false;
    percent_ = p;
    return true;
}

}  // namespace tools
