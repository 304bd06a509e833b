#pragma once
// The list window's image buttons: the ones that change the current list and the ones that
// play from it.
#include <array>

class LumbaButton;
class QWidget;
class QBoxLayout;

namespace lists {

struct ListButtons;

struct ListButtonsUi {
    std::array<LumbaButton*, 2> mbAdd{};
    std::array<LumbaButton*, 2> mbDel{};
    std::array<LumbaButton*, 2> mbMove{};
    LumbaButton* mbSortItem = nullptr;
    LumbaButton* mbRndItem = nullptr;
    LumbaButton* mbRevItem = nullptr;
    std::array<LumbaButton*, 2> mbSave{};
    LumbaButton* mbToFile = nullptr;
    LumbaButton* mbPlay = nullptr;
    LumbaButton* mbRndPlay = nullptr;
    LumbaButton* mbStop = nullptr;
    LumbaButton* mbStopLoop = nullptr;
};

// Makes the buttons with their tooltips into a row of parent's layout.
void buildListButtons(QWidget* parent, QBoxLayout* row, ListButtonsUi& ui);

// Enables the buttons for the current list; hasList false: no list is current (a tool area),
// so only stopping works; canAdd: the adding buttons work (a list is current).
void applyListButtons(ListButtonsUi& ui, const ListButtons& states, bool hasList);

}  // namespace lists
