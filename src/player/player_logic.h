#pragma once
// The player window's arithmetic and texts as plain functions: status line, thumb geometry,
// error texts, speed and step input, jumps, picture fitting, keys and dialog filters.
#include <QString>
#include <array>
#include <cstddef>
#include <optional>
#include <utility>

namespace player {

// Leading decimal number of a text, blanks skipped; 0 when there is none.
double leadingNumber(const QString& text);
// Nearest whole number, halves to the even neighbour.
int roundEven(double v);

// Status line while media plays: "正在播放，進度 42 ％，播速 100 ％" (暫停 when paused).
QString statusLine(bool paused, double progress, int speedTag);
// Share of the bar left of the thumb's centre; negative becomes 0.
double progressOf(int thumbLeft, int thumbWidth, int barLeft, int barWidth);
// Thumb left edge that puts its centre at a position.
int thumbLeftFor(int position, double barScale, int thumbWidth, int barLeft);

inline constexpr const char* kPlayErrorLead = "出現錯誤，無法播放指定的檔案：";
// Text of the error box for an unplayable file; withCancel tells whether it has OK and Cancel
// (an .flv, whose OK opens the codec help) or OK only.
QString playErrorText(const QString& path, const QString& lead, bool* withCancel);

// Items of mnuSpeed: the fixed speeds, a separator, the custom speed.
inline constexpr int kFixedSpeedItems = 9;
inline constexpr int kNormalSpeedItem = 4;
inline constexpr int kSpeedSeparatorItem = 9;
inline constexpr int kCustomSpeedItem = 10;
// How far the jump buttons and keys go: frames, seconds or a per cent of the length, in the
// order of their menu items; the numbers are the ones the settings file carries.
enum class StepMode { Frames = 0, Seconds = 1, PerCent = 2 };
inline constexpr int kStepModes = 3;
inline constexpr StepMode kDefaultStepMode = StepMode::Seconds;
inline constexpr std::array<StepMode, kStepModes> kAllStepModes = {
    StepMode::Frames, StepMode::Seconds, StepMode::PerCent};
// Index of a mode in the per-mode arrays (step values, menu items).
constexpr size_t stepIndex(StepMode m) { return static_cast<size_t>(m); }
// The mode of a menu index or settings number; nullopt for any other.
// Inline, so that the settings reader needs nothing else of the player.
constexpr std::optional<StepMode> stepModeOf(int number) {
    for (StepMode m : kAllStepModes)
        if (static_cast<int>(m) == number) return m;
    return std::nullopt;
}
// One step value per mode, indexed by stepIndex.
using StepValues = std::array<int, kStepModes>;
// Items of mnuFB: the three step modes, a separator, the box that changes the current
// mode's value.
inline constexpr int kStepSeparatorItem = 3;
inline constexpr int kCustomStepItem = 4;

// Speed of the fixed speed items (device units, 1000 normal); 0 for other indexes.
int speedForItem(int index);

struct NumberAnswer {
    enum Kind { Cancelled, OutOfRange, Ok } kind = Cancelled;
    int value = 0;
};
// The custom speed box: the answer as a per-cent speed 1..200 (value in device units).
NumberAnswer parseCustomSpeed(const QString& answer);
// The custom step box: a whole number 1..100.
NumberAnswer parseStepValue(const QString& answer);

QString customSpeedPrompt();
QString customStepPrompt(const QString& modeName);
inline constexpr const char* kSpeedRangeError = "你輸入了錯誤範圍的播放速度！";
inline constexpr const char* kStepRangeError = "你輸入了錯誤範圍的模式數值！";
inline constexpr const char* kJumpError = "無法以指定的方式倒轉或快轉！";

// Step mode captions: "使用秒數模式 ( 5 秒 )"; the mode's name ("秒數") for the custom box.
QString stepCaption(StepMode mode, int value);
QString stepModeName(StepMode mode);
// Hints of the backward and forward buttons for the step mode and the three values.
std::pair<QString, QString> stepHints(StepMode mode, const StepValues& values);

// Fits a picture into an area keeping its aspect ratio; 0 x 0 counts as 320 x 10.
void getMediaNewSize(int areaW, int areaH, int& w, int& h);

// One jump: step in position units, then the target held inside the media.
int jumpStep(bool useMode, StepMode mode, const StepValues& values, double framesPerSecond,
             int totalUnits);
struct JumpTarget {
    int target = 0;
    bool pause = false;  // the jump ends paused (at either end of the media)
};
JumpTarget jumpTarget(int current, int direction, int step, int totalFrames);

// How a stop came about (shareBnStop).
struct StopFlags {
    bool listDone = false;    // the list must not advance afterwards
    bool atEnd = false;       // the file ended: a list that carries on keeps the position
    bool checkMarks = false;  // leave list play mode when marks were edited
};

// The keyboard table of the main window.
enum class KeyAction {
    None,
    PlayPause,
    Stop,
    JumpBack,
    JumpForward,
    FrameBack,
    FrameForward,
    KeyframeBack,
    KeyframeForward,
    LastItem,
    NextItem,
    Maximise,
    SavePicture,
    GoPlayList,
    GoMarks,
    GoFileList,
    SegmentPlay,
    MarkStart,
    MarkEnd
};
// The panel button whose State must be below 2 for a key to act.
enum class KeyButton { None, Play, Stop, Backward, Forward, LastItem, NextItem, RngStart, RngEnd };
struct KeyRule {
    KeyAction action = KeyAction::None;
    KeyButton button = KeyButton::None;
};
// Ctrl with ← or → steps by keyframes; other keys ignore the modifiers here.
KeyRule keyRule(int qtKey, Qt::KeyboardModifiers modifiers = {});

// The dialog filters for media files: the files the tools edit (MoreFormats widens them), and
// those first of everything the player opens.
QString editFilter(const QString& moreFormats);
QString openFilter(const QString& moreFormats);

}  // namespace player
