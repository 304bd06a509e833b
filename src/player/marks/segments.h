#pragma once
// The segment list: segments in creation order, never sorted, possibly overlapping, with
// element 0 always present (hidden while there are no marks).
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

#include "items/item_text.h"

namespace marks {

enum class SegmentState {
    Fresh,   // no mark yet
    Open,    // a start mark waits for its end
    Closed,  // both marks set: a segment to play, list and save
};

struct Segment {
    int32_t start = 0;   // position units
    int32_t length = 0;  // end - start
    SegmentState state = SegmentState::Fresh;
    QString summary;  // the tooltip line; empty while open
    // Where a save's copy really starts, in position units, when that is not the start mark.
    std::optional<int32_t> copyStart;

    // These belong to the drawn rectangle of the slot, not to the data that moves down
    // when an earlier segment is deleted.
    bool visible = false;
    bool highlighted = false;
    uint64_t zOrder = 0;  // higher draws in front

    int32_t end() const { return start + length; }
};

class SegmentList {
  public:
    SegmentList() { reset(); }

    int count() const { return static_cast<int>(items_.size()); }
    int lastIndex() const { return count() - 1; }
    Segment& at(int i) { return items_[static_cast<size_t>(i)]; }
    const Segment& at(int i) const { return items_[static_cast<size_t>(i)]; }
    Segment& last() { return items_.back(); }
    const Segment& last() const { return items_.back(); }
    bool lastIsOpen() const { return last().state == SegmentState::Open; }

    void append() { items_.emplace_back(); }
    void removeLast() {
        if (count() > 1) items_.pop_back();
    }
    // Back to a single hidden, fresh element 0.
    void reset();
    void bringToFront(int i) { at(i).zOrder = ++zCounter_; }
    // Copies the data (not the slot) of i + 1 into i, for i = k … last - 1, then drops the last.
    void closeUp(int k);

    // Sum of all lengths, an open segment at its current length.
    int64_t totalLength() const;
    // start-end pairs of every element, in index order.
    std::vector<items::MarkPair> pairs() const;

  private:
    std::vector<Segment> items_;
    uint64_t zCounter_ = 0;
};

// Times of a segment as rsFormat gives them.
struct SegmentTimes {
    QString startText, endText, lengthText;
    double startSeconds = 0, endSeconds = 0;
    // Where a save's copy really starts, in the same style, when its text differs from the
    // start mark's; empty otherwise.
    QString copyStartText;
    double copyStartSeconds = 0;
};

// rsFormat: texts of secToText with the style and two decimals; empty texts when there is no
// time information (secondsPerUnit <= 0). Start is raised to 0, end lowered to the total.
SegmentTimes formatSegmentTimes(const Segment& seg, float secondsPerUnit, double totalSeconds,
                                int style, double startAdjust = 0, double endAdjust = 0);

// "標記區段 1：從 00:05.00 到 00:12.50 ＝ 00:07.50 秒", then the copy start's note when there is
// one: "（實際從 00:00.00 開始）"
QString summaryLine(int index, const SegmentTimes& t);
// "2 個標記的總時間是 00:07.50 秒"
QString totalLine(int count, int64_t totalUnits, float secondsPerUnit);

// The element index of a play-marks Enter for a modifier mask (Shift 1, Ctrl 2, Alt 4):
// mask / 2 rounded half to even, so Ctrl gives 1 (loop), Ctrl+Shift 2 (once).
int playIndexForModifiers(int mask);

// Nearest whole number, halves to even (editor seconds to position units).
int32_t roundHalfEven(double v);

}  // namespace marks
