#include "player/player_logic.h"

#include <QFileInfo>
#include <QStringList>
#include <Qt>
#include <cmath>

#include "common/file_filters.h"
#include "common/media_kinds.h"
#include "common/texts.h"

namespace player {

namespace {
using texts::kCrLf;
const QString kDashes = QStringLiteral("－－－－－－－－－－－－－－－－－－－");
const char* const kModeNames[kStepModes] = {"影格", "秒數", "比例"};
const char* const kModeUnits[kStepModes] = {"格", "秒", "％"};
}  // namespace

double leadingNumber(const QString& text) {
    int i = 0;
    const int n = text.size();
    while (i < n && (text[i] == u' ' || text[i] == u'\t')) ++i;
    const int start = i;
    if (i < n && (text[i] == u'-' || text[i] == u'+')) ++i;
    bool digits = false;
    while (i < n && text[i].isDigit() && text[i].unicode() < 128) ++i, digits = true;
    if (i < n && text[i] == u'.') {
        ++i;
        while (i < n && text[i].isDigit() && text[i].unicode() < 128) ++i, digits = true;
    }
    if (!digits) return 0;
    return text.mid(start, i - start).toDouble();
}

int roundEven(double v) { return static_cast<int>(std::nearbyint(v)); }

QString statusLine(bool paused, double progress, int speedTag) {
    const int percent = static_cast<int>(std::floor(progress * 100 + 0.5));
    const int speed = roundEven(speedTag / 10.0);
    return QString::fromUtf8(paused ? "暫停" : "正在") + QStringLiteral("播放，進度 ") +
           QString::number(percent) + QStringLiteral(" ％，播速 ") + QString::number(speed) +
           QStringLiteral(" ％");
}

double progressOf(int thumbLeft, int thumbWidth, int barLeft, int barWidth) {
    if (barWidth <= 0) return 0;
    const double p = (thumbLeft + thumbWidth / 2.0 - barLeft) / barWidth;
    return p < 0 ? 0 : p;
}

int thumbLeftFor(int position, double barScale, int thumbWidth, int barLeft) {
    return static_cast<int>(std::lround(position * barScale - thumbWidth / 2.0 + barLeft));
}

QString playErrorText(const QString& path, const QString& lead, bool* withCancel) {
    QString t = lead + kCrLf + path + kCrLf + kCrLf +
                QStringLiteral("可能是因為檔案不存在，或者是格式不支援") + kCrLf +
                QStringLiteral("也有可能，這是被「授權保護」的媒體檔案") + kCrLf + kCrLf +
                QStringLiteral("請留意，當你使用的是繁體中文的作業系統") + kCrLf +
                QStringLiteral("無法播放可能是該檔名包含了簡體、日文字");
    const bool flv = QFileInfo(path).suffix().toLower() == QLatin1String("flv");
    if (flv) {
        t += kCrLf + kCrLf + kDashes + kCrLf +
             QStringLiteral("如果不是以上的問題，表示你需要安裝 FLV") + kCrLf +
             QStringLiteral("的解碼器，按下「確定」將開啟說明文件！");
    } else {
        t += kCrLf + kCrLf + kDashes + kCrLf +
             QStringLiteral("關於多媒體的播放的格式支援問題，你可以") + kCrLf +
             QStringLiteral("參考本軟體的「說明」-->「下載附加元件」");
    }
    if (withCancel) *withCancel = flv;
    return t;
}

int speedForItem(int index) {
    static const int speeds[9] = {100, 250, 500, 750, 1000, 1250, 1500, 1750, 2000};
    return index >= 0 && index < 9 ? speeds[index] : 0;
}

namespace {
NumberAnswer parseRange(const QString& answer, int lo, int hi) {
    NumberAnswer a;
    if (answer.isEmpty()) return a;
    const int n = roundEven(leadingNumber(answer));
    if (n < lo || n > hi) {
        a.kind = NumberAnswer::OutOfRange;
        return a;
    }
    a.kind = NumberAnswer::Ok;
    a.value = n;
    return a;
}
}  // namespace

NumberAnswer parseCustomSpeed(const QString& answer) {
    NumberAnswer a = parseRange(answer, 1, 200);
    a.value *= 10;
    return a;
}

NumberAnswer parseStepValue(const QString& answer) { return parseRange(answer, 1, 100); }

QString customSpeedPrompt() {
    return QStringLiteral("請輸入目前檔案的自訂播放速度") + kCrLf + kCrLf +
           QStringLiteral("輸入條件為介於 1 到 200 之間的整數") + kCrLf +
           QStringLiteral("正常播放速度的數值為 100 ( ＝100% )") + kCrLf +
           QStringLiteral("數值越小播放速度越慢，數值越大播放速度越快");
}

QString customStepPrompt(const QString& modeName) {
    return QStringLiteral("請輸入倒轉與快轉的") + modeName + QStringLiteral("模式數值") + kCrLf +
           kCrLf + QStringLiteral("輸入條件為介於 1 到 100 之間的整數") + kCrLf +
           QStringLiteral("例如，目前的數值是：");
}

QString stepModeName(StepMode mode) { return QString::fromUtf8(kModeNames[stepIndex(mode)]); }

QString stepCaption(StepMode mode, int value) {
    return QStringLiteral("使用") + stepModeName(mode) + QStringLiteral("模式 ( ") +
           QString::number(value) + QStringLiteral(" ") +
           QString::fromUtf8(kModeUnits[stepIndex(mode)]) + QStringLiteral(" )");
}

std::pair<QString, QString> stepHints(StepMode mode, const StepValues& values) {
    const QString u = QString::number(values[stepIndex(mode)]) + QStringLiteral(" ") +
                      QString::fromUtf8(kModeUnits[stepIndex(mode)]);
    const QString frames =
        QString::number(values[stepIndex(StepMode::Frames)]) + QStringLiteral(" 格 )");
    return {QStringLiteral("倒轉 ( PgUp 鍵：") + u + QStringLiteral("，或 ← 鍵：") + frames,
            QStringLiteral("快轉 ( PgDn 鍵：") + u + QStringLiteral("，或 → 鍵：") + frames};
}

void getMediaNewSize(int areaW, int areaH, int& w, int& h) {
    if (static_cast<long long>(w) * h == 0) {
        w = 320;
        h = 10;
    }
    double r = static_cast<double>(areaW) / w;
    const int newH = roundEven(r * h);
    if (newH > areaH) {
        r = static_cast<double>(areaH) / h;
        w = roundEven(r * w);
        h = areaH;
    } else {
        w = areaW;
        h = newH;
    }
}

int jumpStep(bool useMode, StepMode mode, const StepValues& values, double framesPerSecond,
             int totalUnits) {
    const int value = values[stepIndex(useMode ? mode : StepMode::Frames)];
    switch (useMode ? mode : StepMode::Frames) {
        case StepMode::Frames:
            return value;
        case StepMode::Seconds:
            return roundEven(value * framesPerSecond);
        case StepMode::PerCent:
            break;
    }
    return roundEven(value * static_cast<double>(totalUnits) / 100.0);
}

JumpTarget jumpTarget(int current, int direction, int step, int totalFrames) {
    JumpTarget t;
    t.target = current + direction * step;
    if (t.target >= totalFrames) {
        t.target = totalFrames - 1;
        if (t.target < 1) t.target = totalFrames;
        t.pause = true;
    } else if (t.target <= 0) {
        t.pause = true;
    }
    return t;
}

KeyRule keyRule(int qtKey, Qt::KeyboardModifiers modifiers) {
    if (modifiers & Qt::ControlModifier) {
        if (qtKey == Qt::Key_Left) return {KeyAction::KeyframeBack, KeyButton::Backward};
        if (qtKey == Qt::Key_Right) return {KeyAction::KeyframeForward, KeyButton::Forward};
    }
    switch (qtKey) {
        case Qt::Key_Space:
            return {KeyAction::PlayPause, KeyButton::Play};
        case Qt::Key_Delete:
            return {KeyAction::Stop, KeyButton::Stop};
        case Qt::Key_PageUp:
            return {KeyAction::JumpBack, KeyButton::Backward};
        case Qt::Key_PageDown:
            return {KeyAction::JumpForward, KeyButton::Forward};
        case Qt::Key_Left:
            return {KeyAction::FrameBack, KeyButton::Backward};
        case Qt::Key_Right:
            return {KeyAction::FrameForward, KeyButton::Forward};
        case Qt::Key_Up:
            return {KeyAction::LastItem, KeyButton::LastItem};
        case Qt::Key_Down:
            return {KeyAction::NextItem, KeyButton::NextItem};
        case Qt::Key_Escape:
            return {KeyAction::Maximise};
        case Qt::Key_Home:
            return {KeyAction::SavePicture};
        case Qt::Key_F1:
            return {KeyAction::GoPlayList};
        case Qt::Key_F2:
            return {KeyAction::GoMarks};
        case Qt::Key_F3:
            return {KeyAction::GoFileList};
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return {KeyAction::SegmentPlay};
        case Qt::Key_BracketLeft:
            return {KeyAction::MarkStart, KeyButton::RngStart};
        case Qt::Key_BracketRight:
            return {KeyAction::MarkEnd, KeyButton::RngEnd};
        default:
            return {};
    }
}

QString editFilter(const QString& moreFormats) {
    return fileFilter(QStringLiteral("支援處理的檔案 (flv ; mpg ; dat ; vob)"),
                      extensionsOf(kEditableBaseList + moreFormats));
}

QString openFilter(const QString& moreFormats) {
    return joinFilters(
        {editFilter(moreFormats),
         fileFilter(QStringLiteral("支援播放的多媒體檔案"), extensionsOf(kPlayablePatternList)),
         fileFilter(QStringLiteral("支援瀏覽的影像圖檔案"), extensionsOf(kPicturePatternList)),
         fileFilter(QStringLiteral("所有檔案"), {})});
}

}  // namespace player
