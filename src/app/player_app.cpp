#include "app/player_app.h"

#include "app/single_instance.h"

namespace app {

PlayerApp::PlayerApp(SettingsStore& store, MciDevice* device, SingleInstance* instance)
    : window_(device), toolHost_(window_), saveWiring_(window_), shell_(window_, store) {
    if (instance)
        QObject::connect(instance, &SingleInstance::linkExecute, &shell_, &AppShell::linkExecute);
}

}  // namespace app
