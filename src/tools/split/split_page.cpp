#include "tools/split/split_page.h"

#include <QBoxLayout>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>

#include "tools/measure/measure_panel.h"
#include "tools/split/split_job.h"

namespace split {
namespace {

// What each option reads, around its fields.
struct OptionText {
    const char* before;
    const char* middle;  // between the two fields of a section; nullptr: one field
    const char* after;
};
const OptionText kOptionTexts[kOptionCount] = {
    {"平均切割成", nullptr, "等份"},    {"每", nullptr, "秒切割為一段"},
    {"每", nullptr, "KB 切割為一段"},   {"取出第", "秒至第", "秒的區段"},
    {"取出第", "KB 至第", "KB 的區段"}, {"取出", "% 至", "% 的區段"},
};

QLabel* label(const QString& text, QWidget* parent) { return new QLabel(text, parent); }

}  // namespace

QLineEdit* SplitPage::field(const QString& name) {
    auto* e = new QLineEdit(this);
    e->setObjectName(name);
    e->setValidator(
        new QRegularExpressionValidator(QRegularExpression(measure::fieldPattern()), e));
    e->setMaximumWidth(80);
    connect(e, &QLineEdit::textChanged, this, [this] { refresh(); });
    return e;
}

SplitPage::SplitPage(tools::PageContext context, measure::MeasurePanel* panel, QWidget* parent)
    : tools::ToolPage(parent), context_(std::move(context)), panel_(panel) {
    setObjectName(QStringLiteral("splitPage"));
    layout_ = new QVBoxLayout(this);

    auto* grid = new QGridLayout;
    for (int i = 0; i < kOptionCount; ++i) {
        opt_[static_cast<size_t>(i)] = new QRadioButton(this);
        QRadioButton* o = opt_[static_cast<size_t>(i)];
        o->setObjectName(QStringLiteral("optMdSplit_%1").arg(i));
        connect(o, &QRadioButton::toggled, this, [this] { refresh(); });
        const OptionText& t = kOptionTexts[i];
        auto* row = new QHBoxLayout;
        row->addWidget(label(QString::fromUtf8(t.before), this));
        if (i < 3) {
            eq_[static_cast<size_t>(i)] = field(QStringLiteral("txtMdSpEq_%1").arg(i));
            row->addWidget(eq_[static_cast<size_t>(i)]);
        } else {
            const auto j = static_cast<size_t>(i - 3);
            from_[j] = field(QStringLiteral("txtMdSpFrom_%1").arg(j));
            end_[j] = field(QStringLiteral("txtMdSpEnd_%1").arg(j));
            row->addWidget(from_[j]);
            row->addWidget(label(QString::fromUtf8(t.middle), this));
            row->addWidget(end_[j]);
        }
        row->addWidget(label(QString::fromUtf8(t.after), this));
        row->addStretch(1);
        grid->addWidget(o, i, 0);
        grid->addLayout(row, i, 1);
    }
    opt_[0]->setChecked(true);

    for (int i = 0; i < 2; ++i) {
        notePanel_[static_cast<size_t>(i)] = new QFrame(this);
        notePanel_[static_cast<size_t>(i)]->setObjectName(QStringLiteral("picNoteMd_%1").arg(i));
        notePanel_[static_cast<size_t>(i)]->setFrameShape(QFrame::StyledPanel);
    }
    const SplitNotes blank;
    noteCount_ = new QLabel(blank.count, notePanel_[0]);
    noteCount_->setObjectName(QStringLiteral("lblNoteMd_2"));
    (new QHBoxLayout(notePanel_[0]))->addWidget(noteCount_);
    noteSeconds_ = new QLabel(blank.seconds, notePanel_[1]);
    noteSeconds_->setObjectName(QStringLiteral("lblNoteMd_4"));
    noteKb_ = new QLabel(blank.kilobytes, notePanel_[1]);
    noteKb_->setObjectName(QStringLiteral("lblNoteMd_5"));
    noteShare_ = new QLabel(blank.share, notePanel_[1]);
    noteShare_->setObjectName(QStringLiteral("lblNoteMd_6"));
    auto* sectionNotes = new QHBoxLayout(notePanel_[1]);
    sectionNotes->addWidget(noteSeconds_);
    sectionNotes->addWidget(noteKb_);
    sectionNotes->addWidget(noteShare_);

    run_ = new QPushButton(QStringLiteral("執行切割功能"), this);
    run_->setObjectName(QStringLiteral("cmdMediaSplit"));
    connect(run_, &QPushButton::clicked, this, [this] { cmdMediaSplit_Click(); });

    layout_->addLayout(grid);
    layout_->addWidget(label(measure::kDecimalHint, this));
    layout_->addWidget(notePanel_[0]);
    layout_->addWidget(notePanel_[1]);
    layout_->addWidget(run_, 0, Qt::AlignLeft);
    layout_->addStretch(1);

    connect(panel_, &measure::MeasurePanel::changed, this, [this] { refresh(); });
    prepareFields();
}

void SplitPage::prepareFields() {
    if (!panel_) return;
    panel_->attach(layout_, 0, measure::MeasureTool::Split);
    refresh();
}

QString SplitPage::sourcePath() const { return panel_ ? panel_->source() : QString(); }

SplitFields SplitPage::fields() const {
    SplitFields f;
    for (int i = 0; i < kOptionCount; ++i)
        if (opt_[static_cast<size_t>(i)]->isChecked()) f.option = static_cast<SplitOption>(i);
    for (size_t i = 0; i < 3; ++i) {
        f.eq[i] = eq_[i]->text();
        f.from[i] = from_[i]->text();
        f.end[i] = end_[i]->text();
    }
    return f;
}

SplitCalc SplitPage::refresh() {
    if (!run_) return {};  // still being built
    if (!panel_) {
        run_->setEnabled(false);
        return {};
    }
    const QString src = panel_->source();
    SplitSource s;
    s.exists = !src.isEmpty() && QFileInfo(src).isFile();
    s.totalSeconds = panel_->totalSeconds();
    s.bytes = s.exists ? QFileInfo(src).size() : 0;
    const SplitCalc c = calculate(fields(), s);
    noteCount_->setText(c.notes.count);
    noteSeconds_->setText(c.notes.seconds);
    noteKb_->setText(c.notes.kilobytes);
    noteShare_->setText(c.notes.share);
    notePanel_[0]->setVisible(c.notes.panel == 0);
    notePanel_[1]->setVisible(c.notes.panel == 1);
    run_->setEnabled(c.ok);
    return c;
}

save::SaveOutcome SplitPage::cmdMediaSplit_Click() {
    if (!panel_) return {};
    SplitRequest r;
    r.source = panel_->source();
    r.fields = fields();
    r.totalSeconds = panel_->totalSeconds();
    r.caller = window();
    const save::SaveOutcome o = runSplit(r);
    refresh();
    return o;
}

}  // namespace split
