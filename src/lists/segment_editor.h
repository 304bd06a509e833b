#pragma once
// Area 10 of the list window, the marks list: the player's segments as editable text lines
// with times to the hundredth of a second, reloaded from and applied to the player.
#include <QWidget>
#include <array>
#include <utility>
#include <vector>

#include "lists/segment_editor_host.h"
#include "lists/segment_editor_model.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace lists {

class SegmentEditor : public QWidget {
    Q_OBJECT
  public:
    explicit SegmentEditor(QWidget* parent = nullptr);

    // not owned; nullptr: no player
    void setHost(SegmentEditorHost* host) { host_ = host ? host : &noHost_; }

    // The editor side of the marks' list link.
    void loadMark();
    void refreshNotes();
    void checkCmdRng();
    std::vector<std::pair<float, float>> editorSpans() const;

    // The area is shown: the fields are refreshed (the button click with index -1).
    void shown() { clickButton(-1); }
    // cmdSSt(index), 0 to 4; -1 refreshes only.
    void clickButton(int index);
    // A double click on the selected line.
    void playSelectedLine();

    const SegmentEditorModel& model() const { return model_; }

  private:
    void lineSelected(int row);
    void showModel();
    void takeBoxes();

    SegmentEditorHost noHost_;
    SegmentEditorHost* host_ = &noHost_;
    SegmentEditorModel model_;

    QListWidget* lstRng_ = nullptr;
    QLineEdit* txtRngStart_ = nullptr;
    QLineEdit* txtRngEnd_ = nullptr;
    QLabel* lblTtTime_ = nullptr;
    std::array<QPushButton*, kEditorButtonCount> cmdSSt_{};
    QPushButton* cmdLoad_ = nullptr;
    QPushButton* cmdApply_ = nullptr;
    bool showing_ = false;  // the list is being redrawn from the model
};

}  // namespace lists
