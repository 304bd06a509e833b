#pragma once
// The text form of one segment in the segment editor ("　從 hh:mm:ss.cc 到 hh:mm:ss.cc"),
// the time input pattern and the checks of a typed range. The editor keeps nothing but these
// lines; times become position units only when the lines are applied to the player.
#include <QString>
#include <utility>

namespace lists {

inline const QString kZeroTimeText = QStringLiteral("00:00:00.00");

// "　從 " + start + " 到 " + end, then the note of where a save's copy really starts when
// copyStartText is given: "（實際從 " + copyStart + " 開始）". Reading a line leaves the note out.
QString editorLine(const QString& startText, const QString& endText,
                   const QString& copyStartText = {});

// "##:[0-5]#:[0-5]#.##": exactly 11 characters, hours 00-99, minutes and seconds 00-59.
bool matchesTimePattern(const QString& text);

// Why a typed range is refused, in the order the checks run.
enum class RangeError {
    None,
    Format,            // a box does not match the time pattern
    BeyondLength,      // start or end after the media's total length
    EndNotAfterStart,  // equal times fail too
};

// The checks compare the fixed-width texts character by character, which orders them as
// times.
RangeError checkRange(const QString& startText, const QString& endText, const QString& totalText);
QString rangeErrorText(RangeError error);  // "" for None

struct LineTimes {
    LineTimes() = default;
    LineTimes(QString startText, QString endText, QString copyStartText = {})
        : start(std::move(startText)),
          end(std::move(endText)),
          copyStart(std::move(copyStartText)) {}
    QString start;
    QString end;
    QString copyStart;  // empty: the copy starts at the mark (or it is not known)
};

// getStartEnd without conversion. A line is readable when secondsPerUnit > 0, the line is not
// empty and holds " 到 "; an unreadable one gives "00:00:00.00" twice.
LineTimes lineTimes(const QString& line, float secondsPerUnit);

// getStartEnd in position units (seconds / secondsPerUnit, not rounded); -1 twice when the
// line is unreadable.
std::pair<float, float> lineUnits(const QString& line, float secondsPerUnit);

// Nearest whole number, halves to even, as the player rounds editor positions.
int roundUnits(float units);

}  // namespace lists
