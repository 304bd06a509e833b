#include "tools/encode/encode_job.h"

#include "common/prompts.h"
#include "common/texts.h"
#include "tools/encode/encode_check.h"
#include "tools/job_frame.h"

namespace encode {
namespace {

using tools::JobFrame;

class EncodeJob {
  public:
    EncodeJob(const EncodeRequest& r, QWidget* caller, EncodeOutcome& out)
        : request_(r), frame_(caller, tools::Tool::Encode, 1), out_(out) {}

    void run() {
        const tools::JobRun r = frame_.runJob(out_.target, tools::ToolSet::Encode,
                                              tools::Target::Replace, [this] { return convert(); });
        out_.started = r.started;
        out_.succeeded = r.succeeded;
    }

  private:
    bool step(const Command& c) { return frame_.run(1, c) == JobFrame::Step::Done; }

    // The source's length gives the bar its scale; without one the bar only shows activity.
    double sourceSeconds() {
        return parseDuration(frame_.probe(save::streamProbe(tools_, out_.source)).output);
    }

    // ffmpeg that ends with an error has written nothing usable, even when the file is not
    // empty: the job fails and the frame removes it.
    bool convert() {
        tools_ = frame_.commandTools();
        const double seconds = sourceSeconds();
        if (!step(encodeCommand(tools_, request_, out_.source, out_.target, seconds))) return false;
        if (needsMetadata(out_.target) && !step(save::flvmdiCommand(tools_, out_.target)))
            return false;
        return true;
    }

    const EncodeRequest& request_;
    JobFrame frame_;
    EncodeOutcome& out_;
    save::Tools tools_;
};

}  // namespace

EncodeOutcome mediaEncode(QWidget* caller, const EncodeRequest& r) {
    EncodeOutcome out;
    JobFrame::prepare(caller);
    out.source = boxPath(r.sourceText);
    out.target = boxPath(r.targetText);
    out.refusal = refusal(r, out.source, out.target);
    if (out.refusal != Refusal::None) {
        prompts::msgBox(refusalText(out.refusal), prompts::Buttons::Ok, texts::kNoticeTitle);
        return out;
    }
    // The run button stays disabled without a target; nothing to convert into.
    if (out.target.isEmpty()) return out;
    if (prompts::msgBox(confirmText(out.source, out.target), prompts::Buttons::OkCancel) !=
        prompts::Answer::Ok)
        return out;
    out.confirmed = true;
    EncodeJob(r, caller, out).run();
    return out;
}

}  // namespace encode
