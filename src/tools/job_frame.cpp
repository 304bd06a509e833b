#include "tools/job_frame.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QStorageInfo>
#include <QTemporaryFile>

#include "common/host.h"
#include "common/paths.h"
#include "common/prompts.h"
#include "common/texts.h"
#include "tools/busy_state.h"
#include "tools/busy_window.h"
#include "tools/buzy_show.h"
#include "tools/done_report.h"
#include "tools/runner.h"
#include "tools/tool_host.h"

namespace tools {
namespace {

JobRecord* gRecord = nullptr;

void noteCaption() {
    if (!gRecord) return;
    if (frmBuzy* b = currentBuzy()) gRecord->captions << b->caption();
}

void noteCommand(const Command& c) {
    if (gRecord) gRecord->commands.push_back(c);
}

// The exact file, never a pattern: a user's name may hold "*" or "?".
void removeExact(const QString& path, bool releaseFirst) {
    QFileInfo info(path);
    if (!info.exists() && !info.isSymLink()) return;
    if (releaseFirst) appHost().closeRunFn(path);
    QFile::remove(path);
}

}  // namespace

void recordJobs(JobRecord* record) { gRecord = record; }

qint64 fileLength(const QString& path) {
    QFileInfo info(path);
    return info.isFile() ? info.size() : 0;
}

bool diskFull(const QString& folder) {
    // Less than a block or two: the tools' last writes did not fit.
    constexpr qint64 kNoRoom = 64 * 1024;
    const QStorageInfo info(folder);
    return info.isValid() && info.bytesAvailable() < kNoRoom;
}

QString diskOf(const QString& folder) {
    const QStorageInfo info(folder);
    return info.isValid() ? info.rootPath() : folder;
}

bool folderWritable(const QString& folder) {
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) return false;
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".~lumba-probe-XXXXXX")));
    return probe.open();
}

JobFrame::JobFrame(QWidget* caller, Tool tool, int steps)
    : caller_(caller), texts_(toolTexts(tool)), steps_(steps) {}

JobFrame::~JobFrame() {
    if (busyOpen_) closeBusy(nullptr);
    if (started_ && !finished_) endJob();
}

void JobFrame::prepare(QWidget* caller) {
    if (QWidget* f = QApplication::focusWidget()) {
        if (caller && caller->window()->isAncestorOf(f)) caller->window()->setFocus();
    }
    toolHost().pausePrFn();
}

bool JobFrame::isOwnSource(const QString& output, const QString& source) {
    const QFileInfo o(output), s(source);
    if (!o.exists() || !s.exists()) return false;
    return o.canonicalFilePath() == s.canonicalFilePath();
}

JobRun JobFrame::runJob(const QString& output, ToolSet toolSet, Target target,
                        const std::function<bool()>& steps) {
    if (!start(output, toolSet)) return {started_, false};
    noteCaption();
    const bool ok = (target == Target::Keep || removeTarget(output)) && steps();
    return {true, finish(output, !ok)};
}

bool JobFrame::start(const QString& output, ToolSet toolSet) {
    if (!beginJob()) return false;
    if (gRecord) *gRecord = {};
    // Checked before anything runs: otherwise the first command fails and the error message
    // blames the file's format.
    const QString folder = QFileInfo(output).absolutePath();
    if (!folderWritable(folder)) {
        prompts::msgBox(folderErrorText(folder), prompts::Buttons::Ok, texts::kErrorTitle);
        endJob();
        return false;
    }
    started_ = true;
    changeToFolder(output);
    folder_ = folder;
    if (!folder_.endsWith(QLatin1Char('/'))) folder_ += QLatin1Char('/');
    JobStart = monotonicSeconds();
    buzySateShow(true, caller_);
    busyOpen_ = true;
    if (frmBuzy* b = currentBuzy()) b->setSteps(steps_, weights_);
    writeStep(1);
    paths_ = toolPaths();
    // Without its tools every command would fail: the job fails here, on its failure path.
    if (!deployResources(toolSet)) {
        finish(output, true);
        return false;
    }
    return true;
}

QString JobFrame::inFolder(const QString& name) const {
    return QDir::isAbsolutePath(name) ? name : folder_ + name;
}

QString JobFrame::temp(const QString& name) {
    const QString path = inFolder(name);
    if (!temps_.contains(path)) temps_ << path;
    return path;
}

void JobFrame::own(const QString& path) {
    const QString p = inFolder(path);
    if (!owned_.contains(p)) owned_ << p;
}

bool JobFrame::removeTarget(const QString& path) {
    const QString p = inFolder(path);
    removeExact(p, true);
    own(p);
    ownsOutput_ = true;
    return !QFileInfo(p).exists();
}

void JobFrame::setWeights(std::vector<double> weights) { weights_ = std::move(weights); }

void JobFrame::showStep(int step) {
    writeStep(step);
    noteCaption();
}

void JobFrame::writeStep(int step) {
    frmBuzy* b = currentBuzy();
    if (!b) return;
    b->enterStep(step);
    const QString line = texts_.fixedStepLine ? stepLine(1, 1) : stepLine(steps_, step);
    b->setCaption(buzyCaption(texts_.workingLine, line));
}

bool JobFrame::stopped() const {
    if (stopSeen_) return true;
    frmBuzy* b = currentBuzy();
    return b && b->stopPressed();
}

JobFrame::Step JobFrame::run(int step, const Command& c, CmdResult* result) {
    if (stopped()) {
        stopSeen_ = true;
        return Step::Stopped;
    }
    writeStep(step);
    noteCommand(c);
    Command cmd = c;
    if (cmd.folder.isEmpty()) cmd.folder = folder_;
    const CmdResult r = runCommand(cmd);
    if (result) *result = r;
    if (stopped()) {
        stopSeen_ = true;
        return Step::Stopped;
    }
    // A tool may go on after a write failed and even exit with 0 (ffmpeg, when its trailer
    // does not fit): a full disk fails the step whenever it is reported, since what it wrote
    // is cut short, and stays the reason; the failures that follow are its consequences.
    const ToolFailure f = readFailure(r.output);
    const bool full = f.cause == FailureCause::DiskFull;
    if (full || (!r.succeeded() && f.cause != FailureCause::Unknown && !diskFullSeen()))
        failure_ = f;
    return r.succeeded() && !full ? Step::Done : Step::Failed;
}

CmdResult JobFrame::probe(Command c) {
    c.folder = folder_;
    noteCommand(c);
    return runCommand(c);
}

bool JobFrame::askReencode() {
    // The question needs the input the busy state holds back.
    leaveBusy();
    const bool ok = prompts::msgBox(reencodeQuestion(texts_), prompts::Buttons::OkCancel) ==
                    prompts::Answer::Ok;
    if (frmBuzy* b = currentBuzy()) enterBusy(b->cmdBreak());
    JobStart = monotonicSeconds();
    return ok;
}

void JobFrame::cleanUp() {
    for (const QString& t : temps_) removeExact(t, true);
}

void JobFrame::closeBusy(bool* stopped) {
    busyOpen_ = false;
    buzySateShow(false, caller_, stopped);
}

bool JobFrame::finish(const QString& output, bool failed) {
    if (!started_ || finished_) return false;
    finished_ = true;
    const QString out = inFolder(output);
    const bool userStopped = stopped();
    // Before anything is removed: the clean-up frees the room the job took.
    if (failure_.cause == FailureCause::Unknown && diskFull(folder_))
        failure_.cause = FailureCause::DiskFull;
    cleanUp();
    if (!failed && !userStopped && fileLength(out) > 0) {
        if (frmBuzy* b = currentBuzy()) b->jobDone();
        bool ignored = false;
        closeBusy(&ignored);
        removeResources(Deployed::Tools);
        const double seconds = monotonicSeconds() - JobStart;
        doneAfterSave(out, false, seconds, false, reportNote_);
        // A close or a termination that came in meanwhile waits until the report is answered.
        endJob();
        return true;
    }

    // Failure: what this job made goes, so nothing cut short is left looking finished.
    if (ownsOutput_ && !owned_.contains(out)) owned_ << out;
    for (const QString& p : owned_) {
        if (QFileInfo(p).exists() && (failed || userStopped || fileLength(p) == 0))
            removeExact(p, true);
    }
    if (!ownsOutput_ && QFileInfo(out).isFile() && fileLength(out) == 0) removeExact(out, true);
    QCoreApplication::processEvents();
    cleanUp();
    removeResources(Deployed::Tools);
    bool wasStopped = false;
    closeBusy(&wasStopped);
    if (!wasStopped && !userStopped)
        prompts::msgBox(jobErrorText(texts_, failure_, diskOf(folder_), folder_),
                        prompts::Buttons::Ok, texts::kErrorTitle);
    endJob();
    return false;
}

}  // namespace tools
