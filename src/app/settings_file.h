#pragma once
// The settings file "Lumba.FLV.ini": key=value lines, read in file order with a later line
// overriding an earlier one, written back as the fifteen keys in a fixed order, then ExactCut.
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <optional>

#include "lists/list_window_values.h"
#include "player/player_logic.h"

namespace app {

inline constexpr double kTwipsPerPixel = 15;

struct SettingsValues {
    // Left, top, width, height in twips as last applied; empty: 370 x 370 pixels, centred.
    std::optional<std::array<double, 4>> mainRectTwips;
    lists::ListWindowValues listWindow;
    std::array<int, 2> capRect{0, 0};  // whole twips
    bool keepWH = false;
    bool keepDef = false;
    player::StepMode stepMode = player::kDefaultStepMode;
    player::StepValues stepValues{5, 5, 5};
    int playSetting = 0;  // play mode 0..3
    bool toListEnd = false;
    bool startList = false;
    bool autoAddMark = false;
    int lineFmt = 0;  // 0..2
    // Saved segments cut where marked, re-encoding only their first pictures. Written after
    // the fifteen keys; a file from before it reads as off.
    bool exactCut = false;

    friend bool operator==(const SettingsValues&, const SettingsValues&) = default;
};

// What reading needs to know about the disk.
struct SettingsEnvironment {
    std::function<bool(const QString& folder)> folderExists;
    std::function<int(const QString& folder)> filesListed;  // files the browser would list
    std::function<QString(const QString& path)> fixDriveLetter;
};
SettingsEnvironment diskEnvironment();

// Applies every recognised line to values, in order. A line whose value cannot be applied
// leaves values as they were.
void readSettingsLines(const QStringList& lines, SettingsValues& values,
                       const SettingsEnvironment& env);

// The fifteen lines and ExactCut, in the file's order.
QStringList settingsLines(const SettingsValues& values);

}  // namespace app
