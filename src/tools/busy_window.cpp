#include "tools/busy_window.h"

#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/texts.h"

namespace tools {
namespace {

using texts::kCrLf;

constexpr double kOpacity = 220.0 / 255.0;
constexpr int kBarWidth = 280;
constexpr int kBarHeight = 16;
constexpr int kBarGap = 8;

// The running-figure picture (90 x 88): an hourglass in the program's blue.
QPixmap runPicture() {
    QPixmap pm(90, 88);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 70, 140), 4));
    p.setBrush(QColor(120, 160, 230));
    const QPolygon glass({QPoint(20, 8), QPoint(70, 8), QPoint(45, 44), QPoint(70, 80),
                          QPoint(20, 80), QPoint(45, 44)});
    p.drawPolygon(glass);
    p.setBrush(QColor(235, 200, 90));
    p.setPen(Qt::NoPen);
    p.drawPolygon(QPolygon({QPoint(30, 76), QPoint(60, 76), QPoint(45, 56)}));
    return pm;
}

}  // namespace

QString buzyCaption(const QString& workingLine, const QString& step) {
    return texts::kProgramTitle + kCrLf + kCrLf + workingLine + kCrLf + kCrLf + step;
}

QString stepLine(int steps, int step) {
    return QStringLiteral("共有 ") + QString::number(steps) + QStringLiteral(" 個程序，正處理第 ") +
           QString::number(step) + QStringLiteral(" 個");
}

frmBuzy::frmBuzy(QWidget* caller)
    : QWidget(caller ? caller->window() : nullptr, Qt::Tool | Qt::FramelessWindowHint) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    setWindowTitle(texts::kProgramTitle);
    setWindowOpacity(kOpacity);
    setAutoFillBackground(true);

    lblBuzy_ = new QLabel(this);
    lblBuzy_->setObjectName(QStringLiteral("lblBuzy"));
    lblBuzy_->setAlignment(Qt::AlignCenter);
    lblBuzy_->setWordWrap(true);
    QFont f = lblBuzy_->font();
    f.setPointSize(f.pointSize() + 2);
    lblBuzy_->setFont(f);

    bar_ = new QProgressBar(this);
    bar_->setObjectName(QStringLiteral("barBuzy"));
    bar_->setTextVisible(true);
    bar_->hide();

    picBreak_ = new QFrame(this);
    picBreak_->setObjectName(QStringLiteral("picBreak"));
    picBreak_->setFrameShape(QFrame::StyledPanel);
    auto* lay = new QVBoxLayout(picBreak_);
    auto* hint1 = new QLabel(QStringLiteral("如果改變主意，或等不耐煩"), picBreak_);
    auto* hint2 = new QLabel(QStringLiteral("你隨時可以按下"), picBreak_);
    hint1->setAlignment(Qt::AlignCenter);
    hint2->setAlignment(Qt::AlignCenter);
    cmdBreak_ = new QPushButton(QStringLiteral("中止程序"), picBreak_);
    cmdBreak_->setObjectName(QStringLiteral("cmdBreak"));
    lay->addWidget(hint1);
    lay->addWidget(hint2);
    lay->addWidget(cmdBreak_);
    picBreak_->adjustSize();
    connect(cmdBreak_, &QPushButton::clicked, this, [this] { cmdBreak_Click(); });

    imgRun_ = new QLabel(this);
    imgRun_->setObjectName(QStringLiteral("imgRun"));
    imgRun_->setPixmap(runPicture());
    imgRun_->setFixedSize(90, 88);
    imgRun_->move(8, 8);

    // The placeholder has the shape of every tool caption: text, blank, text, blank, text.
    setCaption(QStringLiteral(" ") + kCrLf + kCrLf + QStringLiteral(" ") + kCrLf + kCrLf +
               QStringLiteral(" "));
    resize(480, 320);
}

frmBuzy::~frmBuzy() = default;

void frmBuzy::setCaption(const QString& text) {
    QString shown = text;
    shown.replace(kCrLf, QStringLiteral("\n"));
    lblBuzy_->setProperty("caption", text);
    lblBuzy_->setText(shown);
    lblBuzyMove();
}

QString frmBuzy::caption() const { return lblBuzy_->property("caption").toString(); }

void frmBuzy::lblBuzyMove() {
    const int w = width();
    const int h = height();
    const int labelH = lblBuzy_->heightForWidth(w) > 0 ? lblBuzy_->heightForWidth(w)
                                                       : lblBuzy_->sizeHint().height();
    const int panelH = picBreak_->height();
    const int barH = !bar_->isHidden() ? kBarGap + kBarHeight : 0;
    const int top = (h - panelH - labelH - barH) / 2;
    lblBuzy_->setGeometry(0, top, w, labelH);
    bar_->setGeometry((w - kBarWidth) / 2, top + labelH + kBarGap, kBarWidth, kBarHeight);
    picBreak_->move((w - picBreak_->width()) / 2, h - panelH);
}

void frmBuzy::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    lblBuzyMove();
}

void frmBuzy::cmdBreak_Click() {
    stopButton_ = StopButton::Pressed;
    requestStop();
}

void frmBuzy::setSteps(int steps, const std::vector<double>& weights) {
    progress_ = JobProgress(steps);
    progress_.setWeights(weights);
    showProgress();
}

void frmBuzy::enterStep(int step) {
    progress_.enterStep(step);
    showProgress();
}

void frmBuzy::jobDone() {
    progress_.finish();
    showProgress();
}

void frmBuzy::showProgress() {
    if (progress_.indeterminate()) {
        bar_->setRange(0, 0);  // busy until something is known
    } else {
        bar_->setRange(0, 100);
        bar_->setValue(progress_.percent());
    }
    if (bar_->isHidden()) {
        bar_->show();
        lblBuzyMove();
    }
}

void frmBuzy::commandStarted(const Command& c) {
    (void)c;
    progress_.commandStarted();
    showProgress();
}

void frmBuzy::progress(int percent) {
    progress_.commandProgress(percent);
    showProgress();
}

void frmBuzy::commandEnded() { showProgress(); }

}  // namespace tools
