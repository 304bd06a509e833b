#include "player/marks/marks_actions.h"

#include <QAction>

#include "player/marks/marks_controller.h"

namespace marks {

namespace {
QAction* prepared(QAction*& a, const QString& caption, QObject* owner) {
    if (!a) a = new QAction(owner);
    a->setText(caption);
    return a;
}
}  // namespace

MarksActions::MarksActions(MarksController& marks, MarksMenuItems items, QObject* parent)
    : QObject(parent), marks_(marks), items_(items) {
    MarksMenuItems& m = items_;
    // The key names in the captions are text: the window's key handler acts on the keys.
    prepared(m.mnuRngEdit, QStringLiteral("前往標記清單\u3000\u3000 \u3000F2"), this);
    prepared(m.mnuRngClear, QStringLiteral("清除所有標記"), this);
    prepared(m.mnuRngPlay[0], QStringLiteral("單次播放標記\u3000\u3000 \u3000Enter"), this);
    prepared(m.mnuRngPlay[1], QStringLiteral("循環播放標記\u3000   Ctr+Enter"), this);
    prepared(m.mnuSaveRng, QStringLiteral("另存裁剪"), this);
    prepared(m.mnuSaveCut, QStringLiteral("另存分割"), this);
    prepared(m.mnuAutoAddMark, QStringLiteral("總是自動附加標記"), this)->setCheckable(true);
    prepared(m.mnuExactCut, QStringLiteral("精確裁剪（只重新編碼區段開頭）"), this)
        ->setCheckable(true);

    connect(m.mnuRngEdit, &QAction::triggered, &marks_, &MarksController::goToMarksList);
    connect(m.mnuRngClear, &QAction::triggered, &marks_, &MarksController::clearCommand);
    connect(m.mnuRngPlay[0], &QAction::triggered, &marks_, [this] { marks_.playMarksCommand(0); });
    connect(m.mnuRngPlay[1], &QAction::triggered, &marks_, [this] { marks_.playMarksCommand(1); });
    connect(m.mnuSaveRng, &QAction::triggered, this, &MarksActions::saveRngRequested);
    connect(m.mnuSaveCut, &QAction::triggered, this, &MarksActions::saveCutRequested);
    connect(m.mnuAutoAddMark, &QAction::toggled, &marks_, &MarksController::setAutoAddMark);
    connect(&marks_, &MarksController::autoAddMarkChanged, m.mnuAutoAddMark, &QAction::setChecked);
    connect(m.mnuExactCut, &QAction::toggled, &marks_, &MarksController::setExactCut);
    connect(&marks_, &MarksController::exactCutChanged, m.mnuExactCut, &QAction::setChecked);
    connect(&marks_, &MarksController::changed, this, &MarksActions::sync);
    sync();
}

void MarksActions::sync() {
    const MarksMenuState& s = marks_.menus();
    items_.mnuRngEdit->setEnabled(s.rngEdit);
    items_.mnuRngClear->setEnabled(s.rngClear);
    items_.mnuRngPlay[0]->setEnabled(s.rngPlay);
    items_.mnuRngPlay[1]->setEnabled(s.rngPlay);
    items_.mnuSaveRng->setEnabled(s.saveRng);
    items_.mnuSaveCut->setEnabled(s.saveCut);
    items_.mnuAutoAddMark->setChecked(marks_.autoAddMark());
    items_.mnuExactCut->setChecked(marks_.exactCut());
}

}  // namespace marks
