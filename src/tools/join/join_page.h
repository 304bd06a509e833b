#pragma once
// The join area's own controls: the three hints about the list, the run button cmdMediaJoin
// and its note. The join list (lstMn2) belongs to the list window, which places it with
// insertList between the hints and the run button.
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "tools/join/join_job.h"
#include "tools/tool_page.h"

namespace join {

// The tab's texts, in the order they are shown.
QString conditionHint();  // "以下每個影片的視訊／音訊條件必須一致，才能合併成功"
QString encodeHint();  // "你也可利用轉檔功能，將每個影片之視訊、音訊調成一致"
QString arrangeHint();  // "請利用檔案拖曳，或上面按鈕，加入／排列準備合併的影片"
QString nextStepNote();  // "下個步驟將出現另存新檔的對話盒"
QString runCaption();    // "執行合併功能"

class JoinPage : public tools::ToolPage {
  public:
    // reader empty: the program's own (mpvStreamReader). The page needs nothing of the
    // context; it takes one like every tool page.
    JoinPage(const tools::PageContext& context, JoinListAccess list, StreamReader reader = {},
             QWidget* parent = nullptr);

    // Puts the join list between the hints and the run button.
    void insertList(QWidget* list);

    // What the last press of cmdMediaJoin did (tests).
    const JoinOutcome& lastOutcome() const { return last_; }

  private:
    void runJoin();

    JoinListAccess list_;
    StreamReader reader_;
    QVBoxLayout* layout_ = nullptr;
    int listSlot_ = 0;
    JoinOutcome last_;
};

}  // namespace join
