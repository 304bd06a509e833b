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

// What the buttons act on: a list they may change, the file browser's files (played and
// saved, never reordered), or nothing (a tool area: only stopping works).
enum class ButtonTarget { List, Browser, None };

void applyListButtons(ListButtonsUi& ui, const ListButtons& states, ButtonTarget target);

}  // namespace lists
