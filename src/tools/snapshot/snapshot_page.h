#pragma once
// The snapshot tab (area 30): the shared source field on top, what to take (one moment, the
// whole film, a range), the spacing of a series, the picture type and cmdMediaSnap, enabled
// (with the type box) exactly while the input is accepted.
#include <QPointer>
#include <array>

#include "tools/snapshot/snapshot_job.h"
#include "tools/tool_page.h"

class QBoxLayout;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace measure {
class MeasurePanel;
}

namespace snapshot {

class SnapshotPage : public tools::ToolPage {
  public:
    // panel: the source field shared with the split tab (not owned).
    SnapshotPage(tools::PageContext context, measure::MeasurePanel* panel,
                 QWidget* parent = nullptr);

    void prepareFields() override;
    QString sourcePath() const override;

    SnapFields fields() const;
    PictureType type() const;
    SnapCalc refresh();
    // cmdMediaSnap: the job.
    SnapOutcome cmdMediaSnap_Click();

  private:
    QLineEdit* field(const QString& name);

    tools::PageContext context_;
    // The tab showing the panel owns it; the other one only points to it.
    QPointer<measure::MeasurePanel> panel_;
    QBoxLayout* layout_;
    std::array<QRadioButton*, 3> what_{};
    std::array<QRadioButton*, 2> spacing_{};
    std::array<QLineEdit*, 3> eq_{};
    QLineEdit* from_;
    QLineEdit* end_;
    QComboBox* type_;
    QPushButton* run_ = nullptr;  // made last: refresh waits for it
};

}  // namespace snapshot
