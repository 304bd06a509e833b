#include "lists/segment_editor.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/prompts.h"
#include "common/texts.h"
#include "common/time_code.h"
#include "lists/shown_lines.h"

namespace lists {

namespace {

QLabel* label(const QString& text, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setWordWrap(true);
    return l;
}

}  // namespace

SegmentEditor::SegmentEditor(QWidget* parent) : QWidget(parent) {
    lstRng_ = new QListWidget(this);
    lstRng_->setObjectName(QStringLiteral("lstRng"));
    txtRngStart_ = new QLineEdit(this);
    txtRngStart_->setObjectName(QStringLiteral("txtRngStart"));
    txtRngEnd_ = new QLineEdit(this);
    txtRngEnd_->setObjectName(QStringLiteral("txtRngEnd"));
    lblTtTime_ = new QLabel(this);
    lblTtTime_->setObjectName(QStringLiteral("lblTtTime"));
    const QString captions[kEditorButtonCount] = {QStringLiteral("新增"), QStringLiteral("修改"),
                                                  QStringLiteral("移除"), QStringLiteral("↑"),
                                                  QStringLiteral("↓")};
    auto* buttonRow = new QHBoxLayout;
    for (int i = 0; i < kEditorButtonCount; ++i) {
        cmdSSt_[size_t(i)] = new QPushButton(captions[i], this);
        cmdSSt_[size_t(i)]->setObjectName(QStringLiteral("cmdSSt_%1").arg(i));
        buttonRow->addWidget(cmdSSt_[size_t(i)]);
        connect(cmdSSt_[size_t(i)], &QPushButton::clicked, this, [this, i] { clickButton(i); });
    }
    cmdLoad_ = new QPushButton(QStringLiteral("從播放區重讀標記"), this);
    cmdLoad_->setObjectName(QStringLiteral("cmdLoad"));
    cmdLoad_->setToolTip(QStringLiteral("將播放畫面區的標記重讀到這裡"));
    cmdApply_ = new QPushButton(QStringLiteral("重繪標記到播放區"), this);
    cmdApply_->setObjectName(QStringLiteral("cmdApply"));
    cmdApply_->setToolTip(QStringLiteral("將這裡的編輯結果重繪到播放畫面區"));

    auto* times = new QGridLayout;
    times->addWidget(label(QStringLiteral("開始時間"), this), 0, 0);
    times->addWidget(txtRngStart_, 0, 1);
    times->addWidget(label(QStringLiteral("結束時間"), this), 1, 0);
    times->addWidget(txtRngEnd_, 1, 1);
    auto* total = new QHBoxLayout;
    total->addWidget(label(QStringLiteral("這個多媒體檔案的播放總長度："), this));
    total->addWidget(lblTtTime_);
    total->addStretch();
    auto* reloadApply = new QHBoxLayout;
    reloadApply->addWidget(cmdLoad_);
    reloadApply->addWidget(cmdApply_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label(QStringLiteral("利用「標記清單」作更準確的標記"), this));
    layout->addWidget(lstRng_, 1);
    layout->addLayout(buttonRow);
    layout->addLayout(times);
    layout->addLayout(total);
    layout->addWidget(label(QStringLiteral("hh:mm:ss.ss = 小時：分鐘：秒數.秒小數"), this));
    layout->addWidget(label(QStringLiteral("輸入標記時，請符合時間格式：hh:mm:ss.ss"), this));
    layout->addLayout(reloadApply);
    layout->addWidget(label(QStringLiteral("標記編輯後，請記得執行「重繪標記到播放區」"), this));

    connect(lstRng_, &QListWidget::currentRowChanged, this, &SegmentEditor::lineSelected);
    connect(lstRng_, &QListWidget::itemDoubleClicked, this, [this] { playSelectedLine(); });
    connect(cmdLoad_, &QPushButton::clicked, this, [this] {
        cmdLoad_->clearFocus();
        host_->goToMarksList();
    });
    connect(cmdApply_, &QPushButton::clicked, this, [this] {
        cmdApply_->clearFocus();
        host_->applyMark();
    });
    showModel();
    checkCmdRng();
}

void SegmentEditor::loadMark() {
    const QString total = secToText(host_->totalSeconds(), 3, 2);
    std::vector<LineTimes> segments;
    if (host_->marksBarVisible()) segments = host_->segmentTimes();
    model_.load(total, segments, host_->secondsPerUnit());
    showModel();
    checkCmdRng();
    repaint();
}

void SegmentEditor::refreshNotes() {
    if (!host_->marksBarVisible()) return;
    takeBoxes();  // what the user typed in the boxes stays
    model_.refreshNotes(host_->segmentTimes(), host_->secondsPerUnit());
    showModel();
}

void SegmentEditor::checkCmdRng() {
    const ReloadApply s = reloadApplyState(int(model_.lines().size()), host_->marksBarVisible());
    cmdApply_->setEnabled(s.apply);
    cmdLoad_->setEnabled(s.load);
}

std::vector<std::pair<float, float>> SegmentEditor::editorSpans() const {
    return model_.spans(host_->secondsPerUnit());
}

void SegmentEditor::clickButton(int index) {
    if (index < -1 || index >= kEditorButtonCount) return;
    takeBoxes();
    const auto button =
        index < 0 ? std::nullopt : std::optional<EditorButton>(static_cast<EditorButton>(index));
    const RangeError error = model_.click(button, host_->secondsPerUnit());
    if (error != RangeError::None)
        prompts::msgBox(rangeErrorText(error), prompts::Buttons::Ok, texts::kErrorTitle);
    showModel();
    checkCmdRng();
}

void SegmentEditor::playSelectedLine() {
    // A line without time information plays nothing rather than some other segment.
    if (const auto span = model_.selectedSpan(host_->secondsPerUnit()))
        host_->playOnlySpan(span->first, span->second);
}

void SegmentEditor::lineSelected(int row) {
    if (showing_) return;
    model_.selectLine(row, host_->secondsPerUnit());
    showModel();
    checkCmdRng();
}

void SegmentEditor::takeBoxes() {
    model_.startText = txtRngStart_->text();
    model_.endText = txtRngEnd_->text();
}

void SegmentEditor::showModel() {
    showing_ = true;
    showLines(*lstRng_, model_.lines(), model_.selected());
    showing_ = false;
    txtRngStart_->setText(model_.startText);
    txtRngEnd_->setText(model_.endText);
    lblTtTime_->setText(model_.totalText);
    const EditorButtons& b = model_.buttons();
    cmdSSt_[size_t(EditorButton::Modify)]->setEnabled(b.modify);
    cmdSSt_[size_t(EditorButton::Remove)]->setEnabled(b.remove);
    cmdSSt_[size_t(EditorButton::MoveUp)]->setEnabled(b.moveUp);
    cmdSSt_[size_t(EditorButton::MoveDown)]->setEnabled(b.moveDown);
}

}  // namespace lists
