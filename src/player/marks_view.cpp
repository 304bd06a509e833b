#include "player/marks_view.h"

#include <QAction>
#include <QMenu>

namespace player {

MarksView::MarksView(PlayerUi& ui, marks::MarksController& marks, QObject* owner) {
    bar_ = std::make_unique<marks::MarksBar>(ui.picRngBk, marks);
    marks::MarksMenuItems items;
    items.mnuRngEdit = ui.mnuRngEdit;
    items.mnuRngClear = ui.mnuRngClear;
    items.mnuRngPlay[0] = ui.mnuRngPlay[0];
    items.mnuRngPlay[1] = ui.mnuRngPlay[1];
    items.mnuSaveRng = ui.mnuSaveRng;
    items.mnuSaveCut = ui.mnuSaveCut;
    // In the window's object tree, owned by its menu.
    QObject* itemOwner = ui.mnuMarks ? static_cast<QObject*>(ui.mnuMarks) : owner;
    items.mnuAutoAddMark = new QAction(itemOwner);
    items.mnuAutoAddMark->setObjectName(QStringLiteral("mnuAutoAddMark"));
    items.mnuExactCut = new QAction(itemOwner);
    items.mnuExactCut->setObjectName(QStringLiteral("mnuExactCut"));
    if (ui.mnuMarks) {
        ui.mnuMarks->addSeparator();
        ui.mnuMarks->addAction(items.mnuAutoAddMark);
        ui.mnuMarks->addAction(items.mnuExactCut);
    }
    actions_ = std::make_unique<marks::MarksActions>(marks, items);
}

MarksView::~MarksView() = default;

}  // namespace player
