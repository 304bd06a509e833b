#pragma once
// Areas 60, 61, 70 and 71 of the list window: one conversion panel each, with its type
// boxes, path boxes, option boxes and run button.
#include <QTimer>

#include "tools/encode/encode_job.h"
#include "tools/encode/encode_panel.h"
#include "tools/tool_page.h"

class QComboBox;
class QGridLayout;
class QLabel;
class QPushButton;
class LumbaButton;

namespace tools {
class PathBox;
}

namespace encode {

class EncodePage : public tools::ToolPage {
  public:
    EncodePage(Panel panel, tools::PageContext context, QWidget* parent = nullptr);

    Panel panel() const { return panel_; }
    void prepareFields() override;  // the current folder may have changed: check again
    QString sourcePath() const override;

    // The panel check: tooltips of the path boxes and the run button's enabled state.
    void checkPanel();
    // mbEncodeSrc and mbEncodeTo: the dialog, then (300 ms after it closed) the path goes into
    // the box and the panel is checked.
    void browseSource();
    void browseTarget();
    // cmdMediaEncode.
    EncodeOutcome runJob();
    // What the boxes hold now.
    EncodeRequest request() const;

    // The pause between a browse dialog closing and the panel taking its answer.
    static constexpr int kBrowsePauseMs = 300;

  private:
    // A labelled option box in the next cell of the options grid.
    QComboBox* optionBox(const char* name, const QString& label, const QString& hint,
                         const QStringList& items, const QString& current);
    void takeBrowsed(tools::PathBox* box, const QString& path);

    Panel panel_;
    tools::PageContext context_;
    QComboBox* cboEncodeSrc_;
    QComboBox* cboEncodeTo_;
    tools::PathBox* txtEncodeSrc_;
    tools::PathBox* txtEncodeTo_;
    LumbaButton* mbEncodeSrc_;
    LumbaButton* mbEncodeTo_;
    QComboBox* cboVideoSize_ = nullptr;
    QComboBox* cboVideoFramerate_ = nullptr;
    QComboBox* cboVideoBitrate_ = nullptr;
    QComboBox* cboAudioSamplingRate_;
    QComboBox* cboAudioBitrate_;
    QComboBox* cboAudioChannel_;
    QPushButton* cmdMediaEncode_;
    QGridLayout* options_;
    int rows_[2] = {0, 0};  // rows filled in each pair of columns
};

}  // namespace encode
