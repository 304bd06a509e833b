#pragma once
// The assembled player: the main window with every host and hook the application connects
// to it, made and torn down in the order they depend on each other. The program and the
// tests of the whole application build this, so no connection can be left out of either.
#include "app/app_shell.h"
#include "app/job_wiring.h"
#include "app/list_wiring.h"
#include "app/tool_pages.h"
#include "player/frm_main.h"

class MciDevice;

namespace app {

class SettingsStore;
class SingleInstance;

class PlayerApp {
  public:
    // device: nullptr uses defaultMciDevice(). instance: a second start's command text is
    // played here (nullptr: no hand-off).
    PlayerApp(SettingsStore& store, MciDevice* device = nullptr,
              SingleInstance* instance = nullptr);

    frmMain& window() { return window_; }
    AppShell& shell() { return shell_; }
    ListWiring& lists() { return lists_; }

  private:
    frmMain window_;
    PlayerToolHost toolHost_;
    SaveWiring saveWiring_;
    ListWiring lists_;
    ToolPages toolPages_;
    AppShell shell_;
};

}  // namespace app
