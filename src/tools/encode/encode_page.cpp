#include "tools/encode/encode_page.h"

#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "common/dialog_folders.h"
#include "common/prompts.h"
#include "controls/lumba_button.h"
#include "tools/encode/encode_check.h"
#include "tools/encode/encode_job.h"
#include "tools/fix/path_box.h"

namespace encode {
namespace {

const QString kDropHint = QStringLiteral("你可以拖曳檔案到這裡");

QComboBox* typeBox(QWidget* parent, const char* name, const QStringList& items) {
    auto* box = new QComboBox(parent);
    box->setObjectName(QLatin1String(name));
    box->addItems(items);
    return box;
}

LumbaButton* browseButton(QWidget* parent, const char* name) {
    auto* b = new LumbaButton(parent);
    b->setObjectName(QLatin1String(name));
    b->setCaption(QStringLiteral("..."));
    b->setFixedSize(28, 24);
    return b;
}

tools::PathBox* pathBox(QWidget* parent, const char* name) {
    auto* box = new tools::PathBox(tools::PathBox::Accept::AnyPath, parent);
    box->setObjectName(QLatin1String(name));
    box->setPlaceholderText(kDropHint);
    box->setToolTip(kDropHint);
    return box;
}

}  // namespace

EncodePage::EncodePage(Panel panel, tools::PageContext context, QWidget* parent)
    : ToolPage(parent), panel_(panel), context_(std::move(context)) {
    cboEncodeSrc_ = typeBox(this, "cboEncodeSrc", sourceTypes(panel));
    cboEncodeTo_ = typeBox(this, "cboEncodeTo", targetTypes(panel));
    txtEncodeSrc_ = pathBox(this, "txtEncodeSrc");
    txtEncodeTo_ = pathBox(this, "txtEncodeTo");
    mbEncodeSrc_ = browseButton(this, "mbEncodeSrc");
    mbEncodeTo_ = browseButton(this, "mbEncodeTo");

    auto* paths = new QGridLayout;
    paths->addWidget(new QLabel(QStringLiteral("來源影片"), this), 0, 0);
    paths->addWidget(cboEncodeSrc_, 0, 1);
    paths->addWidget(txtEncodeSrc_, 0, 2);
    paths->addWidget(mbEncodeSrc_, 0, 3);
    paths->addWidget(new QLabel(QStringLiteral("轉成影片"), this), 1, 0);
    paths->addWidget(cboEncodeTo_, 1, 1);
    paths->addWidget(txtEncodeTo_, 1, 2);
    paths->addWidget(mbEncodeTo_, 1, 3);
    paths->setColumnStretch(2, 1);

    options_ = new QGridLayout;
    const EncodeOptions o = defaultOptions(panel);
    const VideoBoxes video = videoBoxes(panel);
    if (video != VideoBoxes::Hidden) {
        const bool used = video == VideoBoxes::Used;
        const QStringList notUsed{kNotUsed};
        cboVideoSize_ =
            optionBox("cboVideoSize", QStringLiteral("視訊　大小："),
                      QStringLiteral("畫面多長多寬"), used ? sizeItems() : notUsed, o.size);
        cboVideoFramerate_ = optionBox("cboVideoFramerate", QStringLiteral("視訊楨速率："),
                                       QStringLiteral("每秒幾格畫面"),
                                       used ? frameRateItems() : notUsed, o.frameRate);
        cboVideoBitrate_ = optionBox("cboVideoBitrate", QStringLiteral("視訊位元率："),
                                     QStringLiteral("每秒的Ｋ位元"),
                                     used ? videoBitrateItems() : notUsed, o.videoBitrate);
        for (QComboBox* b : {cboVideoSize_, cboVideoFramerate_, cboVideoBitrate_})
            b->setEnabled(used);
    }
    cboAudioSamplingRate_ =
        optionBox("cboAudioSamplingRate", QStringLiteral("音訊取樣率："),
                  QStringLiteral("每秒取樣次數"), samplingRateItems(), o.samplingRate);
    cboAudioBitrate_ =
        optionBox("cboAudioBitrate", QStringLiteral("音訊位元率："), QStringLiteral("每秒的Ｋ位元"),
                  audioBitrateItems(), o.audioBitrate);
    cboAudioChannel_ =
        optionBox("cboAudioChannel", QStringLiteral("音訊　頻道："), QStringLiteral("聲音頻道數目"),
                  channelItems(), channelItems().value(static_cast<int>(o.channels) - 1));
    options_->setColumnStretch(4, 1);

    cmdMediaEncode_ = new QPushButton(QStringLiteral("執行轉檔程序"), this);
    cmdMediaEncode_->setObjectName(QStringLiteral("cmdMediaEncode"));
    auto* run = new QHBoxLayout;
    run->addWidget(cmdMediaEncode_);
    run->addWidget(new QLabel(QStringLiteral("下個步驟將出現確認轉檔的對話盒"), this), 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(paths);
    layout->addLayout(options_);
    layout->addLayout(run);
    layout->addStretch(1);

    connect(txtEncodeSrc_, &QLineEdit::textChanged, this, [this] { checkPanel(); });
    connect(txtEncodeTo_, &QLineEdit::textChanged, this, [this] { checkPanel(); });
    connect(cboEncodeSrc_, &QComboBox::currentIndexChanged, this, [this] { checkPanel(); });
    connect(cboEncodeTo_, &QComboBox::currentIndexChanged, this, [this] { checkPanel(); });
    connect(mbEncodeSrc_, &LumbaButton::Click, this, [this] { browseSource(); });
    connect(mbEncodeTo_, &LumbaButton::Click, this, [this] { browseTarget(); });
    connect(cmdMediaEncode_, &QPushButton::clicked, this, [this] { runJob(); });
    checkPanel();
}

QComboBox* EncodePage::optionBox(const char* name, const QString& label, const QString& hint,
                                 const QStringList& items, const QString& current) {
    auto* box = new QComboBox(this);
    box->setObjectName(QLatin1String(name));
    box->addItems(items);
    box->setCurrentIndex(std::max(0, static_cast<int>(items.indexOf(current))));
    box->setToolTip(hint);
    auto* l = new QLabel(label, this);
    l->setToolTip(hint);
    // Picture boxes in the first pair of columns, sound boxes beside them when there are
    // picture boxes: the panel is wide and short.
    const bool sound = !QLatin1String(name).startsWith(QLatin1String("cboVideo"));
    const int pair = sound && videoBoxes(panel_) != VideoBoxes::Hidden ? 1 : 0;
    const int row = rows_[pair]++;
    options_->addWidget(l, row, pair * 2);
    options_->addWidget(box, row, pair * 2 + 1);
    return box;
}

void EncodePage::prepareFields() { checkPanel(); }

QString EncodePage::sourcePath() const { return boxPath(txtEncodeSrc_->text()); }

void EncodePage::checkPanel() {
    const bool source = sourceOk(txtEncodeSrc_->text(), cboEncodeSrc_->currentText());
    const bool target = targetOk(txtEncodeTo_->text(), cboEncodeTo_->currentText());
    txtEncodeSrc_->setToolTip(source ? boxPath(txtEncodeSrc_->text()) : kDropHint);
    txtEncodeTo_->setToolTip(target ? boxPath(txtEncodeTo_->text()) : kDropHint);
    cmdMediaEncode_->setEnabled(source && target);
}

void EncodePage::takeBrowsed(tools::PathBox* box, const QString& path) {
    if (path.isEmpty()) return;
    // The dialog has gone; the panel takes the answer once the window beneath has repainted.
    QTimer::singleShot(kBrowsePauseMs, box, [this, box, path] {
        box->setText(path);
        checkPanel();
    });
}

void EncodePage::browseSource() {
    const QString type = cboEncodeSrc_->currentText();
    prompts::FileDialog d;
    d.owner = window();
    d.initialFolder = mediaDialogStart();
    d.qtFilter = typeFilter(type);
    d.defaultExt = typeDefaultExt(type);
    takeBrowsed(txtEncodeSrc_, prompts::current().file(d).paths.value(0));
}

void EncodePage::browseTarget() {
    const QString type = cboEncodeTo_->currentText();
    prompts::FileDialog d;
    d.kind = prompts::FileDialog::Save;
    d.owner = window();
    d.initialFolder = mediaDialogStart();
    d.qtFilter = typeFilter(type);
    // Offered: the source's name with the target's extension.
    const QString source = sourcePath();
    d.fileName =
        source.isEmpty() ? QString() : QFileInfo(source).completeBaseName() + typeDefaultExt(type);
    d.defaultExt = typeDefaultExt(type);
    takeBrowsed(txtEncodeTo_, prompts::current().file(d).paths.value(0));
}

EncodeRequest EncodePage::request() const {
    EncodeRequest r;
    r.panel = panel_;
    r.sourceText = txtEncodeSrc_->text();
    r.targetText = txtEncodeTo_->text();
    if (cboVideoSize_) r.options.size = cboVideoSize_->currentText();
    if (cboVideoFramerate_) r.options.frameRate = cboVideoFramerate_->currentText();
    if (cboVideoBitrate_) r.options.videoBitrate = cboVideoBitrate_->currentText();
    r.options.samplingRate = cboAudioSamplingRate_->currentText();
    r.options.audioBitrate = cboAudioBitrate_->currentText();
    r.options.channels = cboAudioChannel_->currentIndex() == 0 ? Channels::Mono : Channels::Stereo;
    return r;
}

EncodeOutcome EncodePage::runJob() {
    const EncodeOutcome out = mediaEncode(window(), request());
    if (out.refusal == Refusal::MpgFrameRate && cboVideoFramerate_) cboVideoFramerate_->setFocus();
    return out;
}

}  // namespace encode
