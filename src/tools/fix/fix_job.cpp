#include "tools/fix/fix_job.h"

#include <QFile>
#include <QFileInfo>

#include "common/file_filters.h"
#include "common/media_kinds.h"
#include "common/paths.h"
#include "common/prompts.h"
#include "common/texts.h"
#include "tools/fix/fix_plan.h"
#include "tools/job_frame.h"
#include "tools/save_segments.h"

namespace fix {
namespace {

using tools::JobFrame;

class FixJob {
  public:
    FixJob(const FixPlan& plan, QWidget* caller, FixOutcome& out)
        : plan_(plan), frame_(caller, tools::Tool::Fix, 1), out_(out) {}

    void run() {
        const tools::JobRun r = frame_.runJob(plan_.output, plan_.toolSet, tools::Target::Replace,
                                              [this] { return steps(); });
        out_.started = r.started;
        out_.succeeded = r.succeeded;
    }

  private:
    bool steps() {
        tools_ = frame_.commandTools();
        switch (plan_.kind) {
            case tools::ToolKind::Flv:
                return repairFlv();
            case tools::ToolKind::Mpeg:
                return remux(Audio::Copy);
            case tools::ToolKind::Other:
                break;
        }
        return remuxOther();
    }

    JobFrame::Step step(const Command& c) { return frame_.run(1, c); }

    // Tag level: flvmdi writes a new file with its metadata rebuilt; flvmdi then checks that
    // metadata in place (it rewrites only the metadata body when anything differs), and the
    // file takes the output's name.
    bool repairFlv() {
        const bool direct = plan_.repairInto == plan_.output;
        const QString into = direct ? plan_.output : frame_.temp(plan_.repairInto);
        if (!direct) QFile::remove(into);
        if (step(repairCommand(tools_, plan_.source, plan_.repairInto)) != JobFrame::Step::Done)
            return false;
        if (tools::fileLength(into) == 0) return false;
        if (step(save::flvmdiCommand(tools_, plan_.repairInto)) != JobFrame::Step::Done)
            return false;
        return direct || QFile::rename(into, plan_.output);
    }

    // A remux that failed may leave the header it had begun; it is removed so the output
    // counts as empty.
    JobFrame::Step remuxStep(Audio audio, Covers covers) {
        Command c = remuxCommand(tools_, plan_.source, plan_.output, plan_.ext, audio, covers);
        c.expectedBytes = tools::fileLength(plan_.source);  // a copy is about as large
        const JobFrame::Step s = step(c);
        if (s == JobFrame::Step::Failed) QFile::remove(plan_.output);
        return s;
    }

    // False when the user stopped. A cover the container cannot hold (a GIF in a Matroska
    // file named .mp4) fails the whole copy, so the copy is tried once more without covers.
    bool remuxOnce(Audio audio) {
        JobFrame::Step s = remuxStep(audio, Covers::Kept);
        if (s == JobFrame::Step::Failed && holdsCovers(plan_.ext))
            s = remuxStep(audio, Covers::Left);
        return s != JobFrame::Step::Stopped;
    }

    bool remux(Audio audio) { return remuxOnce(audio) && tools::fileLength(plan_.output) > 0; }

    bool remuxOther() {
        if (!remuxOnce(Audio::Copy)) return false;
        if (tools::fileLength(plan_.output) > 0) return true;
        ++out_.reencodeQuestions;
        if (!frame_.askReencode()) return false;
        return remux(Audio::Mp3);
    }

    const FixPlan& plan_;
    JobFrame frame_;
    FixOutcome& out_;
    save::Tools tools_;
};

}  // namespace

FixOutcome mediaFix(QWidget* caller, const QString& sourceText) {
    FixOutcome out;
    JobFrame::prepare(caller);
    const QString text = sourceText.trimmed();
    const QString src = text.isEmpty() ? QString() : absoluteFromCurrent(text);
    // A real file: the path object would also take a wildcard pattern as "existing".
    if (src.isEmpty() || !QFileInfo(src).isFile() || !isEditableFile(src)) {
        prompts::msgBox(notFoundText(), prompts::Buttons::Ok, texts::kNoticeTitle);
        return out;
    }

    const QString ext = QFileInfo(src).suffix().toLower();
    prompts::FileDialog d;
    d.kind = prompts::FileDialog::Save;
    d.owner = caller ? caller->window() : nullptr;
    d.initialFolder = getSaveFolder(src);
    d.qtFilter = formatFilter(ext);
    d.filterIndex = 1;
    d.defaultExt = QStringLiteral(".") + ext;
    d.fileName = proposedName(src);
    const prompts::FileAnswer a = prompts::current().file(d);
    if (a.paths.isEmpty() || a.paths.first().trimmed().isEmpty()) return out;
    const QString output = absoluteFromCurrent(a.paths.first().trimmed());
    out.output = output;

    const FixPlan plan = makeFixPlan(src, output);
    // Removing the target first would delete the source when it is one of them.
    for (const QString& f : plan.touchedFiles()) {
        if (JobFrame::isOwnSource(f, src)) {
            prompts::msgBox(ownSourceText(src), prompts::Buttons::Ok, texts::kErrorTitle);
            return out;
        }
    }
    FixJob(plan, caller, out).run();
    return out;
}

}  // namespace fix
