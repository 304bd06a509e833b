#pragma once
// The source field the split and snapshot tabs share: txtMdSplit (typed, browsed with the
// player's EditFilter, or dropped), mbMdSplit, cmdMdSplitChk with its Tag (the measured
// length in seconds as text, "" while unmeasured) and lblMdLen. One panel exists; the tab
// that is showing holds it (attach), so the two tabs always see the same source and length.
#include <QString>
#include <QWidget>
#include <functional>

#include "tools/measure/measure_texts.h"

class QBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class MciDevice;

namespace measure {

// What measuring needs of the player; empty functions: no player.
struct MeasureContext {
    std::function<QString()> editFilter;  // the player's EditFilter
    // The player's media error box for path with its lead line; empty: a plain error box.
    std::function<void(const QString& path, const QString& lead)> playErrorMsg;
    MciDevice* device = nullptr;  // nullptr: the program's media device
};

class MeasurePanel : public QWidget {
    Q_OBJECT
  public:
    explicit MeasurePanel(MeasureContext context, QWidget* parent = nullptr);

    // Moves the panel into layout (at position index) of the tab that now shows it; tool
    // names that tab in the no-picture message.
    void attach(QBoxLayout* layout, int index, MeasureTool tool);
    MeasureTool tool() const { return tool_; }

    // The source as typed, trimmed.
    QString source() const;
    void setSource(const QString& path);
    // The Tag of cmdMdSplitChk and its value (0 while unmeasured).
    QString tag() const;
    double totalSeconds() const;

    // cmdMdSplitChk: measures the source.
    void cmdMdSplitChk_Click();
    // mbMdSplit: the open dialog with EditFilter, filter index 1.
    void mbMdSplit_Click();

    QLineEdit* txtMdSplit() const { return txt_; }
    QPushButton* cmdMdSplitChk() const { return chk_; }
    QLabel* lblMdLen() const { return len_; }

  signals:
    // The source or its measured length changed: the tabs refresh their calculators.
    void changed();

  protected:
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dropEvent(QDropEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void setTag(const QString& tag);

    MeasureContext context_;
    MeasureTool tool_ = MeasureTool::Split;
    QLineEdit* txt_;
    QToolButton* browse_;
    QPushButton* chk_;
    QLabel* len_;
};

}  // namespace measure
