#pragma once
// The tool pages of the list window: each made with what it needs of the player and handed to
// the list window under its area number.
#include <QObject>
#include <map>

#include "lists/areas.h"

class frmMain;

namespace lists {
class frmList;
}
namespace tools {
class ToolPage;
}

namespace app {

class ToolPages : public QObject {
    Q_OBJECT
  public:
    ToolPages(frmMain& window, lists::frmList& list);

    tools::ToolPage* page(lists::Area a) const;

  private:
    void add(lists::Area a, tools::ToolPage* page);

    lists::frmList& list_;
    std::map<lists::Area, tools::ToolPage*> pages_;  // owned by the list window
};

}  // namespace app
