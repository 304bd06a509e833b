#include "player/marks/segments.h"

#include <cmath>

#include "common/texts.h"
#include "player/marks/common_calls.h"

namespace marks {

void SegmentList::reset() {
    items_.clear();
    items_.emplace_back();
}

void SegmentList::closeUp(int k) {
    if (k < 0 || k > lastIndex() || count() < 2) return;
    for (int i = k; i < lastIndex(); ++i) {
        Segment& to = at(i);
        const Segment& from = at(i + 1);
        to.start = from.start;
        to.length = from.length;
        to.state = from.state;
    }
    items_.pop_back();
}

int64_t SegmentList::totalLength() const {
    int64_t sum = 0;
    for (const Segment& s : items_) sum += s.length;
    return sum;
}

std::vector<items::MarkPair> SegmentList::pairs() const {
    std::vector<items::MarkPair> out;
    out.reserve(items_.size());
    for (const Segment& s : items_) out.push_back({s.start, s.end()});
    return out;
}

SegmentTimes formatSegmentTimes(const Segment& seg, float secondsPerUnit, double totalSeconds,
                                int style, double startAdjust, double endAdjust) {
    SegmentTimes t;
    if (secondsPerUnit <= 0) return t;
    const double a = double(seg.start) * secondsPerUnit;
    const double b = double(seg.end()) * secondsPerUnit;
    t.startSeconds = std::max(0.0, a + startAdjust);
    t.endSeconds = b + endAdjust;
    if (t.endSeconds > totalSeconds) t.endSeconds = totalSeconds;
    const double len = double(seg.length) * secondsPerUnit;
    t.startText = timeText(t.startSeconds, style, 2);
    t.endText = timeText(t.endSeconds, style, 2);
    t.lengthText = timeText(len, style, 2);
    return t;
}

QString summaryLine(int index, const SegmentTimes& t) {
    return QStringLiteral("標記區段 ") + QString::number(index + 1) + QStringLiteral("：從 ") +
           t.startText + QStringLiteral(" 到 ") + t.endText + QStringLiteral(" ＝ ") +
           t.lengthText + QStringLiteral(" 秒") +
           (t.copyStartText.isEmpty() ? QString() : texts::copyStartNote(t.copyStartText));
}

QString totalLine(int count, int64_t totalUnits, float secondsPerUnit) {
    // Without time information there is no length to show; count it as none.
    const double seconds = secondsPerUnit > 0 ? double(totalUnits) * secondsPerUnit : 0.0;
    return QString::number(count) + QStringLiteral(" 個標記的總時間是 ") + timeText(seconds, 2, 2) +
           QStringLiteral(" 秒");
}

int32_t roundHalfEven(double v) {
    const double r = std::nearbyint(v);  // the default rounding mode rounds halves to even
    if (r >= 2147483647.0) return 2147483647;
    if (r <= -2147483648.0) return -2147483647 - 1;
    return static_cast<int32_t>(r);
}

int playIndexForModifiers(int mask) { return roundHalfEven(mask / 2.0); }

}  // namespace marks
