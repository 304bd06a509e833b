#include "lists/list_buttons.h"

#include <QBoxLayout>

#include "controls/lumba_button.h"
#include "lists/list_ops.h"

namespace lists {

namespace {
LumbaButton* make(QWidget* parent, QBoxLayout* row, const char* name, const char* caption,
                  const char* tip) {
    auto* b = new LumbaButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setCaption(QString::fromUtf8(caption));
    b->setToolTipText(QString::fromUtf8(tip));
    b->setFixedSize(26, 24);
    row->addWidget(b);
    return b;
}

void enable(LumbaButton* b, bool on) {
    if (on && b->State() == ButtonState::Disabled)
        b->setState(ButtonState::Normal);
    else if (!on)
        b->setState(ButtonState::Disabled);
}
}  // namespace

void buildListButtons(QWidget* p, QBoxLayout* row, ListButtonsUi& ui) {
    ui.mbAdd[0] = make(p, row, "mbAdd_0", "＋", "加入檔案 ( 可複選 )");
    ui.mbAdd[1] = make(p, row, "mbAdd_1", "☰", "加入清單檔案");
    ui.mbDel[0] = make(p, row, "mbDel_0", "－", "移除指定項目");
    ui.mbDel[1] = make(p, row, "mbDel_1", "✕", "移除全部項目");
    ui.mbMove[0] = make(p, row, "mbMove_0", "↑", "上移指定項目");
    ui.mbMove[1] = make(p, row, "mbMove_1", "↓", "下移指定項目");
    ui.mbSortItem = make(p, row, "mbSortItem", "序", "依序排列項目");
    ui.mbRndItem = make(p, row, "mbRndItem", "亂", "隨機打亂項目");
    ui.mbRevItem = make(p, row, "mbRevItem", "倒", "依表倒序項目");
    ui.mbSave[0] = make(p, row, "mbSave_0", "存", "另存指定檔案");
    ui.mbSave[1] = make(p, row, "mbSave_1", "單", "另存清單 ( 預設副檔名 plt )");
    ui.mbToFile = make(p, row, "mbToFile", "→", "指定項目前往檔案列表");
    row->addStretch(1);
    ui.mbPlay = make(p, row, "mbPlay", "▶", "播放指定項目");
    ui.mbRndPlay = make(p, row, "mbRndPlay", "？", "隨機播放某一項目");
    ui.mbStop = make(p, row, "mbStop", "■", "停止目前播放");
    ui.mbStopLoop = make(p, row, "mbStopLoop", "▣", "停止全部播放");
}

void applyListButtons(ListButtonsUi& ui, const ListButtons& s, ButtonTarget target) {
    const bool list = target == ButtonTarget::List;
    enable(ui.mbAdd[0], list);
    enable(ui.mbAdd[1], list);
    for (LumbaButton* b : {ui.mbDel[0], ui.mbDel[1], ui.mbSave[1], ui.mbToFile})
        enable(b, list && s.oneItem);
    for (LumbaButton* b : {ui.mbSave[0], ui.mbPlay}) enable(b, s.oneItem);
    for (LumbaButton* b : {ui.mbSortItem, ui.mbRndItem, ui.mbRevItem})
        enable(b, list && s.manyItems);
    enable(ui.mbRndPlay, s.manyItems);
    enable(ui.mbMove[0], list && s.moveUp);
    enable(ui.mbMove[1], list && s.moveDown);
}

}  // namespace lists
