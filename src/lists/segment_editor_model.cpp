#include "lists/segment_editor_model.h"

namespace lists {

ReloadApply reloadApplyState(int lineCount, bool marksBarVisible) {
    return {lineCount > 0 || marksBarVisible, marksBarVisible};
}

SegmentEditorModel::SegmentEditorModel() { lines_ << editorLine(kZeroTimeText, kZeroTimeText); }

RangeError SegmentEditorModel::click(std::optional<EditorButton> button, float secondsPerUnit) {
    int s = selected_;
    const int c = int(lines_.size());
    RangeError error = RangeError::None;
    if (!button || *button == EditorButton::Add || *button == EditorButton::Modify ||
        *button == EditorButton::Remove) {
        if (button == EditorButton::Remove) {
            if (s >= 0 && s < c) lines_.removeAt(s);
        } else if (button) {
            error = checkRange(startText, endText, totalText);
            if (error == RangeError::None) {
                const QString line = editorLine(startText, endText);
                if (*button == EditorButton::Modify) {
                    // Modify is unusable without a selected line.
                    if (s >= 0 && s < c) lines_[s] = line;
                } else {
                    lines_.insert(s + 1, line);
                    s = s + 1;
                }
            }
        }
        const int n = int(lines_.size());
        if (s > n - 1) s = n - 1;
        selected_ = s;
        buttons_.modify = buttons_.remove = s != -1;
    } else if (c > 1) {
        swapLines(s, *button == EditorButton::MoveUp ? s - 1 : s + 1);
    }
    // The boxes keep what was typed when it was refused, so one wrong digit can be mended.
    if (error == RangeError::None) {
        lineClick(secondsPerUnit);
    } else {
        const auto keepStart = startText, keepEnd = endText;
        lineClick(secondsPerUnit);
        startText = keepStart;
        endText = keepEnd;
    }
    return error;
}

void SegmentEditorModel::selectLine(int index, float secondsPerUnit) {
    selected_ = (index >= 0 && index < lines_.size()) ? index : -1;
    buttons_.modify = buttons_.remove = selected_ != -1;
    lineClick(secondsPerUnit);
}

void SegmentEditorModel::load(const QString& total, const std::vector<LineTimes>& segments,
                              float secondsPerUnit) {
    totalText = total;
    lines_.clear();
    selected_ = -1;
    for (const LineTimes& t : segments) lines_ << editorLine(t.start, t.end, t.copyStart);
    if (!lines_.isEmpty()) selected_ = 0;
    click(std::nullopt, secondsPerUnit);
}

void SegmentEditorModel::refreshNotes(const std::vector<LineTimes>& segments,
                                      float secondsPerUnit) {
    for (QString& line : lines_) {
        const LineTimes shown = lineTimes(line, secondsPerUnit);
        for (const LineTimes& s : segments) {
            if (s.start != shown.start || s.end != shown.end) continue;
            line = editorLine(s.start, s.end, s.copyStart);
            break;
        }
    }
}

std::vector<std::pair<float, float>> SegmentEditorModel::spans(float secondsPerUnit) const {
    std::vector<std::pair<float, float>> out;
    out.reserve(size_t(lines_.size()));
    for (const QString& line : lines_) out.push_back(lineUnits(line, secondsPerUnit));
    return out;
}

std::optional<std::pair<int, int>> SegmentEditorModel::selectedSpan(float secondsPerUnit) const {
    if (selected_ < 0) return std::nullopt;
    const auto [s, e] = lineUnits(lines_.at(selected_), secondsPerUnit);
    if (s < 0 || e < 0) return std::nullopt;
    return std::pair{roundUnits(s), roundUnits(e)};
}

void SegmentEditorModel::swapLines(int a, int b) {
    const int c = int(lines_.size());
    if (a < 0 || a >= c || b < 0 || b >= c) return;
    lines_.swapItemsAt(a, b);
    selected_ = b;
}

void SegmentEditorModel::lineClick(float secondsPerUnit) {
    const int c = int(lines_.size());
    const LineTimes t =
        lineTimes(selected_ >= 0 ? lines_.at(selected_) : QString(), secondsPerUnit);
    startText = t.start;
    endText = t.end;
    buttons_.moveUp = selected_ > 0;
    // With nothing selected there is nothing to move down.
    buttons_.moveDown = selected_ >= 0 && selected_ < c - 1;
}

}  // namespace lists
