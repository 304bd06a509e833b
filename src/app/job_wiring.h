#pragma once
// Connects the tool jobs to the player window: the window a job covers and pauses, and the
// save job's view of the marks.
#include <memory>

#include "tools/save_host.h"
#include "tools/tool_host.h"

class frmMain;

namespace app {

class ListWiring;

class PlayerToolHost : public tools::ToolHost {
  public:
    explicit PlayerToolHost(frmMain& window);
    ~PlayerToolHost() override;
    void setListWindow(ListWiring* lists) { lists_ = lists; }
    QWidget* mainWindow() override;
    QWidget* listWindow() override;
    void pausePrFn() override;
    bool doneToFileList() override;
    void selectInFileBrowser(const QString& path) override;
    bool exactCut() override;

  private:
    frmMain& w_;
    ListWiring* lists_ = nullptr;
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
