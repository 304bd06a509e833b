#include "tools/join/join_page.h"

#include <QHBoxLayout>

namespace join {

namespace {

QLabel* hintLabel(const QString& name, const QString& text, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setWordWrap(true);
    return l;
}

}  // namespace

QString conditionHint() {
    return QStringLiteral("以下每個影片的視訊／音訊條件必須一致，才能合併成功");
}
QString encodeHint() {
    return QStringLiteral("你也可利用轉檔功能，將每個影片之視訊、音訊調成一致");
}
QString arrangeHint() {
    return QStringLiteral("請利用檔案拖曳，或上面按鈕，加入／排列準備合併的影片");
}
QString nextStepNote() { return QStringLiteral("下個步驟將出現另存新檔的對話盒"); }
QString runCaption() { return QStringLiteral("執行合併功能"); }

JoinPage::JoinPage(const tools::PageContext& /*context*/, JoinListAccess list, StreamReader reader,
                   QWidget* parent)
    : ToolPage(parent),
      list_(std::move(list)),
      reader_(reader ? std::move(reader) : mpvStreamReader()) {
    setObjectName(QStringLiteral("joinPage"));
    layout_ = new QVBoxLayout(this);
    layout_->setContentsMargins(4, 4, 4, 4);
    layout_->addWidget(hintLabel(QStringLiteral("lblJoinCondition"), conditionHint(), this));
    layout_->addWidget(hintLabel(QStringLiteral("lblJoinEncode"), encodeHint(), this));
    layout_->addWidget(hintLabel(QStringLiteral("lblJoinArrange"), arrangeHint(), this));
    listSlot_ = layout_->count();
    layout_->addStretch(1);

    auto* row = new QHBoxLayout;
    row->addWidget(hintLabel(QStringLiteral("lblJoinNext"), nextStepNote(), this), 1);
    auto* run = new QPushButton(runCaption(), this);
    run->setObjectName(QStringLiteral("cmdMediaJoin"));
    row->addWidget(run);
    layout_->addLayout(row);
    connect(run, &QPushButton::clicked, this, [this] { runJoin(); });
}

void JoinPage::insertList(QWidget* list) {
    if (!list) return;
    // The list takes the stretch's place, so it grows with the area.
    QLayoutItem* stretch = layout_->takeAt(listSlot_);
    delete stretch;
    layout_->insertWidget(listSlot_, list, 1);
}

void JoinPage::runJoin() { last_ = mediaJoin(list_, window(), reader_); }

}  // namespace join
