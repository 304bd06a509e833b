#pragma once
// The split tab (area 21): the shared source field on top, the six options with their
// fields, the calculator's notes and cmdMediaSplit, enabled exactly while the input is
// accepted.
#include <QPointer>
#include <array>

#include "tools/save_segments.h"
#include "tools/split/split_calc.h"
#include "tools/tool_page.h"

class QBoxLayout;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace measure {
class MeasurePanel;
}

namespace split {

class SplitPage : public tools::ToolPage {
  public:
    // panel: the source field shared with the snapshot tab (not owned; the tab showing it
    // holds it).
    SplitPage(tools::PageContext context, measure::MeasurePanel* panel, QWidget* parent = nullptr);

    void prepareFields() override;
    QString sourcePath() const override;

    // The fields as the calculator reads them.
    SplitFields fields() const;
    // Runs the calculator and shows its notes; returns its result.
    SplitCalc refresh();
    // cmdMediaSplit: the job.
    save::SaveOutcome cmdMediaSplit_Click();

  private:
    QLineEdit* field(const QString& name);

    tools::PageContext context_;
    // The tab showing the panel owns it; the other one only points to it.
    QPointer<measure::MeasurePanel> panel_;
    QBoxLayout* layout_;
    std::array<QRadioButton*, kOptionCount> opt_{};
    std::array<QLineEdit*, 3> eq_{}, from_{}, end_{};
    std::array<QFrame*, 2> notePanel_{};
    QLabel* noteCount_;
    QLabel* noteSeconds_;
    QLabel* noteKb_;
    QLabel* noteShare_;
    QPushButton* run_ = nullptr;  // made last: refresh waits for it
};

}  // namespace split
