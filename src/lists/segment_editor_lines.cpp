#include "lists/segment_editor_lines.h"

#include <cmath>
#include <optional>

#include "common/texts.h"
#include "common/time_code.h"

namespace lists {

namespace {

const QString kLineLead = QStringLiteral("　從 ");
const QString kLineSeparator = QStringLiteral(" 到 ");
const QString kNoteLead = QStringLiteral("（");

bool isDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }
bool isDigit0to5(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('5'); }

std::optional<LineTimes> readLine(const QString& line, float secondsPerUnit) {
    const qsizetype p = line.indexOf(kLineSeparator);
    if (!(secondsPerUnit > 0) || line.isEmpty() || p < 0) return std::nullopt;
    const qsizetype lead = kLineLead.size();
    LineTimes t;
    t.start = p > lead ? line.mid(lead, p - lead) : QString();
    t.end = line.mid(p + kLineSeparator.size());
    const qsizetype note = t.end.indexOf(kNoteLead);
    if (note >= 0) t.end.truncate(note);
    return t;
}

}  // namespace

QString editorLine(const QString& startText, const QString& endText, const QString& copyStartText) {
    return kLineLead + startText + kLineSeparator + endText +
           (copyStartText.isEmpty() ? QString() : texts::copyStartNote(copyStartText));
}

bool matchesTimePattern(const QString& t) {
    if (t.size() != 11) return false;
    return isDigit(t[0]) && isDigit(t[1]) && t[2] == QLatin1Char(':') && isDigit0to5(t[3]) &&
           isDigit(t[4]) && t[5] == QLatin1Char(':') && isDigit0to5(t[6]) && isDigit(t[7]) &&
           t[8] == QLatin1Char('.') && isDigit(t[9]) && isDigit(t[10]);
}

RangeError checkRange(const QString& startText, const QString& endText, const QString& totalText) {
    if (!matchesTimePattern(startText) || !matchesTimePattern(endText)) return RangeError::Format;
    if (startText > totalText || endText > totalText) return RangeError::BeyondLength;
    if (!(startText < endText)) return RangeError::EndNotAfterStart;
    return RangeError::None;
}

QString rangeErrorText(RangeError error) {
    switch (error) {
        case RangeError::None:
            return {};
        case RangeError::Format:
            return QStringLiteral("輸入的時間不符合格式要求！");
        case RangeError::BeyondLength:
            return QStringLiteral("時間超過此檔案的播放長度！");
        case RangeError::EndNotAfterStart:
            return QStringLiteral("結束時間必須在開始時間之後！");
    }
    return {};
}

LineTimes lineTimes(const QString& line, float secondsPerUnit) {
    if (const auto t = readLine(line, secondsPerUnit)) return *t;
    return {kZeroTimeText, kZeroTimeText};
}

std::pair<float, float> lineUnits(const QString& line, float secondsPerUnit) {
    const auto t = readLine(line, secondsPerUnit);
    if (!t) return {-1.0f, -1.0f};
    return {textToSec(t->start) / secondsPerUnit, textToSec(t->end) / secondsPerUnit};
}

int roundUnits(float units) { return int(std::nearbyint(double(units))); }

}  // namespace lists
