#include "app/player_app.h"

#include "app/single_instance.h"

namespace app {

PlayerApp::PlayerApp(SettingsStore& store, MciDevice* device, SingleInstance* instance)
    : window_(device),
      toolHost_(window_),
      saveWiring_(window_),
      lists_(window_, store.lists),
      toolPages_(window_, lists_.window()),
      shell_(window_, store) {
    shell_.setListWindow(&lists_.window());
    toolHost_.setListWindow(&lists_);
    lists_.dropHandler = [this](const QMimeData& data) { shell_.dropped(data); };
    shell_.playFiles = [this](const QStringList& paths) { lists_.playFiles(paths); };
    if (instance) {
        QObject::connect(instance, &SingleInstance::linkExecute, &shell_,
                         qOverload<const QStringList&>(&AppShell::linkExecute));
        QObject::connect(&shell_, &AppShell::closingBegun, instance,
                         &SingleInstance::stopAccepting);
    }
}

}  // namespace app
