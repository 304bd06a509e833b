#pragma once
// The settings file and the list store of one installation: where they live, what was read
// from them, and saving both together.
#include <QString>
#include <optional>

#include "app/config_files.h"
#include "app/settings_file.h"
#include "lists/play_list.h"

namespace app {

// programFolder when it is writable and not a system folder (under /usr), else the per-user
// folder $XDG_CONFIG_HOME/Lumba.FLV/
// (~/.config/Lumba.FLV/ by default).
QString configFolder(const QString& programFolder);

class SettingsStore {
  public:
    explicit SettingsStore(const QString& folder) : folder_(folder) {}

    QString settingsPath() const { return folder_ + QString::fromLatin1(kSettingsFileName); }
    QString listStorePath() const { return folder_ + QString::fromLatin1(kListStoreName); }

    // Reads whichever of the two files exist; what is missing or unreadable keeps defaults.
    void load(const SettingsEnvironment& env);
    // True when the settings file was there when load began (not a first run).
    bool settingsExisted() const { return settingsExisted_; }

    // Writes both files; on failure both old files are left as they were.
    std::optional<SaveFailure> save() const;

    SettingsValues values;
    lists::PlayLists lists;

  private:
    QString folder_;
    bool settingsExisted_ = false;
};

}  // namespace app
