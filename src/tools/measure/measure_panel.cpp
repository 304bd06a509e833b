#include "tools/measure/measure_panel.h"

#include <QBoxLayout>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QUrl>

#include "common/dialog_folders.h"
#include "common/prompts.h"
#include "common/texts.h"
#include "tools/measure/media_probe.h"
#include "tools/tool_host.h"

namespace measure {
namespace {

const char kTag[] = "Tag";

// The first local file of a drop, made absolute where it enters.
QString droppedFile(const QMimeData* data) {
    if (!data || !data->hasUrls()) return {};
    const QList<QUrl> urls = data->urls();
    for (const QUrl& u : urls)
        if (u.isLocalFile()) return QFileInfo(u.toLocalFile()).absoluteFilePath();
    return {};
}

}  // namespace

MeasurePanel::MeasurePanel(MeasureContext context, QWidget* parent)
    : QWidget(parent), context_(std::move(context)) {
    setObjectName(QStringLiteral("measurePanel"));
    txt_ = new QLineEdit(this);
    txt_->setObjectName(QStringLiteral("txtMdSplit"));
    txt_->setPlaceholderText(kDropHint);
    txt_->setToolTip(kDropHint);
    txt_->installEventFilter(this);
    browse_ = new QToolButton(this);
    browse_->setObjectName(QStringLiteral("mbMdSplit"));
    browse_->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    browse_->setToolTip(QStringLiteral("選取要處理的多媒體檔案"));
    chk_ = new QPushButton(QStringLiteral("確認多媒體屬性"), this);
    chk_->setObjectName(QStringLiteral("cmdMdSplitChk"));
    chk_->setProperty(kTag, QString());
    len_ = new QLabel(kUnmeasuredLabel, this);
    len_->setObjectName(QStringLiteral("lblMdLen"));

    auto* row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(txt_, 1);
    row->addWidget(browse_);
    auto* line = new QHBoxLayout;
    line->setContentsMargins(0, 0, 0, 0);
    line->addWidget(chk_);
    line->addWidget(len_, 1);
    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    box->addLayout(row);
    box->addLayout(line);
    setAcceptDrops(true);

    // A length measured for one file says nothing about the next: a new source is unmeasured.
    connect(txt_, &QLineEdit::textChanged, this, [this] {
        setTag(QString());
        emit changed();
    });
    connect(chk_, &QPushButton::clicked, this, [this] { cmdMdSplitChk_Click(); });
    connect(browse_, &QToolButton::clicked, this, [this] { mbMdSplit_Click(); });
}

void MeasurePanel::attach(QBoxLayout* layout, int index, MeasureTool tool) {
    tool_ = tool;
    if (layout->indexOf(this) < 0) {
        if (QWidget* owner = layout->parentWidget()) setParent(owner);
        layout->insertWidget(index, this);
    }
    show();
}

QString MeasurePanel::source() const { return txt_->text().trimmed(); }

void MeasurePanel::setSource(const QString& path) { txt_->setText(path); }

QString MeasurePanel::tag() const { return chk_->property(kTag).toString(); }

double MeasurePanel::totalSeconds() const { return tag().toDouble(); }

void MeasurePanel::setTag(const QString& tag) {
    chk_->setProperty(kTag, tag);
    if (tag.isEmpty()) len_->setText(kUnmeasuredLabel);
}

void MeasurePanel::cmdMdSplitChk_Click() {
    const QString src = source();
    setTag(QString());
    const Probe p = probeMedia(src, context_.device);
    switch (p.outcome) {
        case ProbeOutcome::Measured:
            setTag(secondsTag(p.seconds));
            len_->setText(lengthLabelText(p.seconds, QFileInfo(src).size()));
            break;
        case ProbeOutcome::NoPicture:
            prompts::msgBox(noPictureText(tool_), prompts::Buttons::Ok, texts::kErrorTitle);
            break;
        case ProbeOutcome::Unreadable:
            tools::toolHost().pausePrFn();
            if (context_.playErrorMsg)
                context_.playErrorMsg(src, kMeasureErrorLead);
            else
                prompts::msgBox(kMeasureErrorLead + texts::kCrLf + src, prompts::Buttons::Ok,
                                texts::kErrorTitle);
            break;
    }
    emit changed();
}

void MeasurePanel::mbMdSplit_Click() {
    prompts::FileDialog d;
    d.owner = window();
    d.initialFolder = mediaDialogStart();
    d.qtFilter = context_.editFilter ? context_.editFilter() : QString();
    const QStringList chosen = prompts::current().file(d).paths;
    if (!chosen.isEmpty()) setSource(chosen.first());
}

void MeasurePanel::dragEnterEvent(QDragEnterEvent* e) {
    if (!droppedFile(e->mimeData()).isEmpty()) e->acceptProposedAction();
}

void MeasurePanel::dropEvent(QDropEvent* e) {
    const QString path = droppedFile(e->mimeData());
    if (path.isEmpty()) return;
    setSource(path);
    e->acceptProposedAction();
}

bool MeasurePanel::eventFilter(QObject* watched, QEvent* event) {
    // The line edit would take a dropped file as text; the panel takes it as a path.
    if (watched == txt_) {
        if (event->type() == QEvent::DragEnter) {
            auto* e = static_cast<QDragEnterEvent*>(event);
            if (!droppedFile(e->mimeData()).isEmpty()) {
                e->acceptProposedAction();
                return true;
            }
        } else if (event->type() == QEvent::Drop) {
            auto* e = static_cast<QDropEvent*>(event);
            const QString path = droppedFile(e->mimeData());
            if (!path.isEmpty()) {
                setSource(path);
                e->acceptProposedAction();
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace measure
