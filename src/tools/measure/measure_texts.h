#pragma once
// Texts and number rules shared by the split and snapshot tools: the length label, the
// messages of measuring, and how a typed field becomes a number.
#include <QString>
#include <QtGlobal>

namespace measure {

// The tool whose tab shows the source field: it names the tool in the no-picture message.
enum class MeasureTool { Split, Snapshot };

// "切割" or "截圖".
QString toolWord(MeasureTool tool);

inline const QString kUnmeasuredLabel = QStringLiteral("此多媒體屬性：未確認");
inline const QString kMeasureErrorLead = QStringLiteral("無法取得指定檔案的相關屬性：");
inline const QString kDropHint = QStringLiteral("你可以拖曳檔案到這裡");
inline const QString kDecimalHint = QStringLiteral("允許有小數點");

// "此多媒體屬性：播放長度 75.50 秒 = 大小 N KB", N the whole kilobytes of bytes.
QString lengthLabelText(double seconds, qint64 bytes);
// "「切割功能」無法處理沒有畫面／視訊的影片！" (or 截圖).
QString noPictureText(MeasureTool tool);

// Seconds as the measure keeps them: plain seconds with two decimals ("75.50").
QString secondsTag(double seconds);
// Seconds cut to hundredths the way the time text shows them (75.499 -> 75.49).
double toHundredths(double seconds);
// A typed field as a number: the leading digits with at most one decimal point; anything
// else ends the number, an empty field is 0.
double fieldValue(const QString& text);
// The field's pattern: digits and one decimal point.
QString fieldPattern();

}  // namespace measure
