#pragma once
// Connects the tool jobs to the player window: the window a job covers and pauses, and the
// save job's view of the marks.
#include <memory>

#include "tools/save_host.h"
#include "tools/tool_host.h"

class frmMain;

namespace app {

class PlayerToolHost : public tools::ToolHost {
  public:
    explicit PlayerToolHost(frmMain& window);
    ~PlayerToolHost() override;
    QWidget* mainWindow() override;
    void pausePrFn() override;

  private:
    frmMain& w_;
};

// Builds the save job's host on the window's marks and connects "另存裁剪" (mode 0) and
// "另存分割" (mode 1) to it.
class SaveWiring {
  public:
    explicit SaveWiring(frmMain& window);

  private:
    save::CallbackSaveHost host_;
};

}  // namespace app
