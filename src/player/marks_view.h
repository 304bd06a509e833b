#pragma once
// The marks as the main window shows them: the marks bar on picRngBk and the marks menu
// items, with the item that keeps marks on list items.
#include <QObject>
#include <memory>

#include "player/marks/marks_actions.h"
#include "player/marks/marks_bar.h"
#include "player/player_ui.h"

namespace player {

class MarksView {
  public:
    // owner: parent of the added menu item when the window has no marks menu.
    MarksView(PlayerUi& ui, marks::MarksController& marks, QObject* owner);
    ~MarksView();

    marks::MarksBar& bar() { return *bar_; }
    marks::MarksActions& actions() { return *actions_; }

  private:
    std::unique_ptr<marks::MarksBar> bar_;
    std::unique_ptr<marks::MarksActions> actions_;
};

}  // namespace player
