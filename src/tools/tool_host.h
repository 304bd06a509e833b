#pragma once
// What the tools need of the two windows above them. The application installs an
// implementation; the defaults have no windows, pause nothing and point to the file manager.
#include <QString>

class QWidget;

namespace tools {

class ToolHost {
  public:
    virtual ~ToolHost() = default;
    virtual QWidget* mainWindow() { return nullptr; }
    virtual QWidget* listWindow() { return nullptr; }
    // pausePrFn of the player.
    virtual void pausePrFn() {}
    // The list window's chkDoneToFn: after a job, show the new file in this program's file
    // list instead of the file manager.
    virtual bool doneToFileList() { return false; }
    // Selects path in the list window's file browser tab.
    virtual void selectInFileBrowser(const QString& path) { (void)path; }
    // The user's choice to cut saved segments where marked (re-encoding their first pictures).
    virtual bool exactCut() { return false; }
};

ToolHost& toolHost();
void installToolHost(ToolHost* h);  // not owned; nullptr restores the defaults

}  // namespace tools
