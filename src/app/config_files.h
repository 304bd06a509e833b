#pragma once
// Reading and saving the settings file and the list store as whole text files. Saving
// replaces both files atomically: either both are written in full or the old ones stay.
#include <QString>
#include <QStringList>
#include <optional>
#include <utility>
#include <vector>

namespace app {

inline constexpr char kSettingsFileName[] = "Lumba.FLV.ini";
inline constexpr char kListStoreName[] = "List.ini";

// The lines of a text file (UTF-8, else CP950; CR LF or LF); nullopt when it cannot be read.
std::optional<QStringList> readTextLines(const QString& path);

struct SaveFailure {
    QString path;
    QString reason;
};

// Writes every file as UTF-8 with CR LF; commits only when all were written. Returns the
// first failure, or nullopt on success.
std::optional<SaveFailure> saveTextFiles(const std::vector<std::pair<QString, QStringList>>& files);

// The "錯誤訊息" text for a failed save.
QString saveFailureText(const SaveFailure& failure);

}  // namespace app
