#pragma once
// Area 40 of the list window: the fix tool's description, its source box and its run button.
#include "tools/tool_page.h"

class QLabel;
class QPushButton;
class LumbaButton;

namespace tools {
class PathBox;
}

namespace fix {

// Hint of the path boxes while they hold no usable path.
inline const QString kDropHint = QStringLiteral("你可以拖曳檔案到這裡");

class FixPage : public tools::ToolPage {
  public:
    explicit FixPage(tools::PageContext context, QWidget* parent = nullptr);

    QString sourcePath() const override;

    // mbMdFix: the open dialog with the player's EditFilter; a path chosen replaces the text.
    void browse();
    // cmdMediaFix: the job.
    void runJob();

  private:
    tools::PageContext context_;
    tools::PathBox* txtMdFix_;
    LumbaButton* mbMdFix_;
    QPushButton* cmdMediaFix_;
};

}  // namespace fix
