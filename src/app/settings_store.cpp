#include "app/settings_store.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "app/list_store.h"

namespace app {

QString configFolder(const QString& programFolder) {
    // A system folder is the package manager's even where it is writable (to root): files the
    // program wrote there would outlive a purge of the package.
    const bool systemFolder = programFolder.startsWith(QStringLiteral("/usr/"));
    if (!systemFolder && QFileInfo(programFolder).isWritable()) return programFolder;
    // $XDG_CONFIG_HOME when set, else ~/.config.
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                           QStringLiteral("/Lumba.FLV/");
    QDir().mkpath(folder);
    return folder;
}

void SettingsStore::load(const SettingsEnvironment& env) {
    settingsExisted_ = QFileInfo::exists(settingsPath());
    if (const auto lines = readTextLines(settingsPath())) readSettingsLines(*lines, values, env);
    if (const auto lines = readTextLines(listStorePath())) lists = readListStore(*lines);
}

std::optional<SaveFailure> SettingsStore::save() const {
    return saveTextFiles(
        {{settingsPath(), settingsLines(values)}, {listStorePath(), listStoreLines(lists)}});
}

}  // namespace app
