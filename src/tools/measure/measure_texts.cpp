#include "tools/measure/measure_texts.h"

#include <cmath>

#include "common/time_code.h"

namespace measure {

QString toolWord(MeasureTool tool) {
    return tool == MeasureTool::Snapshot ? QStringLiteral("截圖") : QStringLiteral("切割");
}

QString lengthLabelText(double seconds, qint64 bytes) {
    return QStringLiteral("此多媒體屬性：播放長度 ") + secondsTag(seconds) +
           QStringLiteral(" 秒 = 大小 ") + QString::number(bytes / 1024) + QStringLiteral(" KB");
}

QString noPictureText(MeasureTool tool) {
    return QStringLiteral("「") + toolWord(tool) +
           QStringLiteral("功能」無法處理沒有畫面／視訊的影片！");
}

QString secondsTag(double seconds) { return secToText(seconds, 0, 2); }

double toHundredths(double seconds) { return secondsTag(seconds).toDouble(); }

double fieldValue(const QString& text) {
    QString number;
    bool point = false;
    for (const QChar c : text.trimmed()) {
        if (c.isDigit() && c.unicode() < 128) {
            number += c;
        } else if (c == QLatin1Char('.') && !point) {
            point = true;
            number += c;
        } else {
            break;
        }
    }
    if (number.isEmpty() || number == QLatin1String(".")) return 0;
    return number.toDouble();
}

QString fieldPattern() { return QStringLiteral("[0-9]*\\.?[0-9]*"); }

}  // namespace measure
