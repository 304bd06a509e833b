#include "tools/fix/fix_page.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/dialog_folders.h"
#include "common/paths.h"
#include "common/prompts.h"
#include "controls/lumba_button.h"
#include "tools/fix/fix_job.h"
#include "tools/fix/fix_plan.h"
#include "tools/fix/path_box.h"

namespace fix {

FixPage::FixPage(tools::PageContext context, QWidget* parent)
    : ToolPage(parent), context_(std::move(context)) {
    auto* description = new QLabel(descriptionText(), this);
    description->setObjectName(QStringLiteral("lblMdFixNote"));
    description->setWordWrap(true);

    auto* label = new QLabel(QStringLiteral("指定影片"), this);
    txtMdFix_ = new tools::PathBox(tools::PathBox::Accept::ExistingFile, this);
    txtMdFix_->setObjectName(QStringLiteral("txtMdFix"));
    txtMdFix_->setPlaceholderText(kDropHint);
    txtMdFix_->setToolTip(kDropHint);
    mbMdFix_ = new LumbaButton(this);
    mbMdFix_->setObjectName(QStringLiteral("mbMdFix"));
    mbMdFix_->setCaption(QStringLiteral("..."));
    mbMdFix_->setFixedSize(28, 24);
    auto* sourceRow = new QHBoxLayout;
    sourceRow->addWidget(label);
    sourceRow->addWidget(txtMdFix_, 1);
    sourceRow->addWidget(mbMdFix_);

    cmdMediaFix_ = new QPushButton(QStringLiteral("執行修復功能"), this);
    cmdMediaFix_->setObjectName(QStringLiteral("cmdMediaFix"));
    auto* next = new QLabel(QStringLiteral("下個步驟將出現另存新檔的對話盒"), this);
    auto* runRow = new QHBoxLayout;
    runRow->addWidget(cmdMediaFix_);
    runRow->addWidget(next, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(description);
    layout->addLayout(sourceRow);
    layout->addLayout(runRow);
    layout->addStretch(1);

    connect(mbMdFix_, &LumbaButton::Click, this, [this] { browse(); });
    connect(cmdMediaFix_, &QPushButton::clicked, this, [this] { runJob(); });
}

QString FixPage::sourcePath() const {
    const QString t = txtMdFix_->text().trimmed();
    return t.isEmpty() ? QString() : absoluteFromCurrent(t);
}

void FixPage::browse() {
    prompts::FileDialog d;
    d.owner = window();
    d.initialFolder = mediaDialogStart();
    d.qtFilter = context_.editFilter ? context_.editFilter() : QString();
    const QStringList chosen = prompts::current().file(d).paths;
    if (!chosen.isEmpty()) txtMdFix_->setText(chosen.first());
}

void FixPage::runJob() { mediaFix(window(), txtMdFix_->text()); }

}  // namespace fix
