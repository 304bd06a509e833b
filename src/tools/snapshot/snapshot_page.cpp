#include "tools/snapshot/snapshot_page.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>

#include "tools/measure/measure_panel.h"

namespace snapshot {
namespace {

QLabel* label(const QString& text, QWidget* parent) { return new QLabel(text, parent); }

}  // namespace

QLineEdit* SnapshotPage::field(const QString& name) {
    auto* e = new QLineEdit(this);
    e->setObjectName(name);
    e->setValidator(
        new QRegularExpressionValidator(QRegularExpression(measure::fieldPattern()), e));
    e->setMaximumWidth(80);
    connect(e, &QLineEdit::textChanged, this, [this] { refresh(); });
    return e;
}

SnapshotPage::SnapshotPage(tools::PageContext context, measure::MeasurePanel* panel,
                           QWidget* parent)
    : tools::ToolPage(parent), context_(std::move(context)), panel_(panel) {
    setObjectName(QStringLiteral("snapshotPage"));
    layout_ = new QVBoxLayout(this);

    auto* whatGroup = new QButtonGroup(this);
    auto* spacingGroup = new QButtonGroup(this);
    for (int i = 0; i < 3; ++i) {
        what_[static_cast<size_t>(i)] = new QRadioButton(this);
        what_[static_cast<size_t>(i)]->setObjectName(QStringLiteral("optMdSnap1_%1").arg(i));
        whatGroup->addButton(what_[static_cast<size_t>(i)], i);
        eq_[static_cast<size_t>(i)] = field(QStringLiteral("txtMdSnEq_%1").arg(i));
    }
    for (int i = 0; i < 2; ++i) {
        spacing_[static_cast<size_t>(i)] = new QRadioButton(this);
        spacing_[static_cast<size_t>(i)]->setObjectName(QStringLiteral("optMdSnap2_%1").arg(i));
        spacingGroup->addButton(spacing_[static_cast<size_t>(i)], i);
    }
    from_ = field(QStringLiteral("txtMdSnFrom_0"));
    end_ = field(QStringLiteral("txtMdSnEnd_0"));
    what_[0]->setChecked(true);
    spacing_[0]->setChecked(true);
    connect(whatGroup, &QButtonGroup::idToggled, this, [this] { refresh(); });
    connect(spacingGroup, &QButtonGroup::idToggled, this, [this] { refresh(); });

    auto row = [this](QWidget* first, std::initializer_list<QWidget*> rest) {
        auto* r = new QHBoxLayout;
        r->addWidget(first);
        for (QWidget* w : rest) r->addWidget(w);
        r->addStretch(1);
        layout_->addLayout(r);
    };
    row(what_[0], {label(QStringLiteral("指定時間是第"), this), eq_[0],
                   label(QStringLiteral("秒，只截取一張圖"), this)});
    what_[1]->setText(QStringLiteral("選取區段是影片的全部"));
    row(what_[1], {});
    row(what_[2], {label(QStringLiteral("選取區段是從第"), this), from_,
                   label(QStringLiteral("秒到第"), this), end_, label(QStringLiteral("秒"), this)});
    row(spacing_[0], {label(QStringLiteral("以相同的時間間隔，共截取"), this), eq_[1],
                      label(QStringLiteral("張圖"), this)});
    row(spacing_[1],
        {label(QStringLiteral("每隔"), this), eq_[2], label(QStringLiteral("秒截取一張圖"), this)});
    layout_->addWidget(label(measure::kDecimalHint, this));

    type_ = new QComboBox(this);
    type_->setObjectName(QStringLiteral("cboMediaSnapType"));
    for (PictureType t : {PictureType::Jpg, PictureType::Png, PictureType::Gif})
        type_->addItem(typeText(t));
    run_ = new QPushButton(QStringLiteral("執行截圖功能"), this);
    run_->setObjectName(QStringLiteral("cmdMediaSnap"));
    connect(run_, &QPushButton::clicked, this, [this] { cmdMediaSnap_Click(); });
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(type_);
    bottom->addWidget(run_);
    bottom->addStretch(1);
    layout_->addLayout(bottom);
    layout_->addStretch(1);

    connect(panel_, &measure::MeasurePanel::changed, this, [this] { refresh(); });
    prepareFields();
}

void SnapshotPage::prepareFields() {
    if (!panel_) return;
    panel_->attach(layout_, 0, measure::MeasureTool::Snapshot);
    refresh();
}

QString SnapshotPage::sourcePath() const { return panel_ ? panel_->source() : QString(); }

SnapFields SnapshotPage::fields() const {
    SnapFields f;
    for (int i = 0; i < 3; ++i)
        if (what_[static_cast<size_t>(i)]->isChecked()) f.choice = static_cast<SnapChoice>(i);
    f.spacing = spacing_[1]->isChecked() ? SnapSpacing::Every : SnapSpacing::Count;
    f.moment = eq_[0]->text();
    f.count = eq_[1]->text();
    f.interval = eq_[2]->text();
    f.from = from_->text();
    f.end = end_->text();
    return f;
}

PictureType SnapshotPage::type() const { return static_cast<PictureType>(type_->currentIndex()); }

SnapCalc SnapshotPage::refresh() {
    if (!run_) return {};  // still being built
    if (!panel_) {
        run_->setEnabled(false);
        return {};
    }
    const QString src = panel_->source();
    const SnapCalc c =
        calculate(fields(), panel_->totalSeconds(), !src.isEmpty() && QFileInfo(src).isFile());
    run_->setEnabled(c.ok);
    type_->setEnabled(c.ok);
    return c;
}

SnapOutcome SnapshotPage::cmdMediaSnap_Click() {
    if (!panel_) return {};
    SnapRequest r;
    r.source = panel_->source();
    r.fields = fields();
    r.type = type();
    r.totalSeconds = panel_->totalSeconds();
    r.caller = window();
    const SnapOutcome o = runSnapshot(r);
    refresh();
    return o;
}

}  // namespace snapshot
