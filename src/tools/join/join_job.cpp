#include "tools/join/join_job.h"

#include <QFile>
#include <QFileInfo>

#include "common/file_filters.h"
#include "common/paths.h"
#include "common/prompts.h"
#include "common/texts.h"
#include "tools/job_frame.h"
#include "tools/join/item_clock.h"
#include "tools/join/join_list_check.h"
#include "tools/join/join_plan.h"
#include "tools/save_segments.h"
#include "tools/splice_point.h"

namespace join {
namespace {

using texts::kCrLf;

class JoinJob {
  public:
    JoinJob(const JoinPlan& plan, QWidget* caller, JoinOutcome& out)
        : plan_(plan), frame_(caller, tools::Tool::Join, 1), out_(out) {}

    void run() {
        const tools::JobRun r = frame_.runJob(plan_.output, tools::editTools(plan_.kind),
                                              tools::Target::Replace, [this] { return join(); });
        out_.started = r.started;
        out_.succeeded = r.succeeded;
    }

  private:
    // False when the join left nothing usable; what a failed run left behind is removed.
    bool joinOnce(bool reencode, bool* stopped) {
        tools::Command c = joinStep(plan_, tools_, reencode, leftOutFilter(leading_));
        // When the items' lengths are unknown the bar goes by size: a join copies them all.
        for (const QString& item : plan_.items) c.expectedBytes += tools::fileLength(item);
        const tools::JobFrame::Step r = frame_.run(1, c);
        *stopped = r == tools::JobFrame::Step::Stopped;
        if (r != tools::JobFrame::Step::Done) {
            QFile::remove(plan_.joined);
            return false;
        }
        return tools::fileLength(plan_.joined) > 0;
    }

    // The measured length of each item whose clock starts late, 0 for the others. Program
    // streams are left out: their length already counts from their first timestamp.
    std::vector<double> itemLengths() {
        std::vector<double> lengths(static_cast<size_t>(plan_.items.size()), 0);
        if (plan_.kind != tools::ToolKind::Other) return lengths;
        const std::vector<std::optional<double>> starts = clockStarts(
            frame_.probe(clockStartProbe(tools_, plan_.items)).output, plan_.items.size());
        for (qsizetype i = 0; i < plan_.items.size() && !frame_.stopped(); ++i) {
            const std::optional<double> start = starts[static_cast<size_t>(i)];
            if (!start || *start < kLateClockSeconds) continue;
            const std::optional<double> length =
                contentSeconds(frame_.probe(lengthProbe(tools_, plan_.items[i])).output);
            if (length) lengths[static_cast<size_t>(i)] = *length;
        }
        return lengths;
    }

    bool join() {
        tools_ = frame_.commandTools();
        // An output that the user named like the join's own file is written in place.
        const bool inPlace = plan_.joined == plan_.output;
        if (!inPlace) frame_.temp(plan_.joined);
        QFile::remove(plan_.joined);
        if (!plan_.tagLevel()) {
            const std::vector<double> lengths = itemLengths();
            if (frame_.stopped()) return false;
            for (qsizetype i = 0; i < plan_.items.size(); ++i) {
                if (plan_.listed[i] == plan_.items[i]) continue;
                QFile::remove(frame_.temp(plan_.listed[i]));
                QFile::link(plan_.items[i], plan_.listed[i]);  // else the join fails, named
            }
            if (!writeConcatList(frame_.temp(plan_.list), plan_.listed, lengths)) return false;
        }
        // A movie item cut from an open group's keyframe hides the pictures shown before it:
        // the join leaves them out, as the item on its own does not show them.
        const bool movie = plan_.kind == tools::ToolKind::Other && save::joinsAsMovie(plan_.ext);
        if (movie)
            for (const QString& item : plan_.items)
                leading_.push_back(save::hiddenLeadingPictures(item));
        bool stopped = false;
        bool made = joinOnce(false, &stopped);
        if (!made && !stopped && plan_.kind == tools::ToolKind::Other) {
            ++out_.reencodeQuestions;
            if (!frame_.askReencode()) return false;
            made = joinOnce(true, &stopped);
        }
        if (!made) return false;
        // The copy joins items that start at an open group or a CRA picture as if each went
        // on from the one before: the joints are mended in the joined file.
        if (movie) save::markJoints(plan_.joined, plan_.items, leftOut(leading_));
        if (!plan_.list.isEmpty()) QFile::remove(plan_.list);
        return inPlace || QFile::rename(plan_.joined, plan_.output);
    }

    const JoinPlan& plan_;
    tools::JobFrame frame_;
    JoinOutcome& out_;
    save::Tools tools_;
    std::vector<save::LeadingPictures> leading_;  // of movie items
};

// The items' streams against the first item's. A pair that a tag-level join cannot put
// together is refused at once with its reason (the item selected): flvmdi would refuse it
// after the save dialog. Another difference is named and the user may go on. Items that
// cannot be read are left to the join itself, whose own reason then reaches the user.
bool streamsAccepted(const QStringList& items, const JoinListAccess& list,
                     const StreamReader& reader, bool tagLevel, double* seconds) {
    *seconds = 0;
    if (!reader) return true;
    std::vector<std::optional<StreamSummary>> s;
    bool allKnown = true;
    for (const QString& item : items) {
        s.push_back(reader(item));
        allKnown = allKnown && s.back().has_value();
        if (s.back()) *seconds += s.back()->duration;
    }
    if (!allKnown) *seconds = 0;
    if (!s.front()) return true;
    const StreamSummary& first = *s.front();
    if (tagLevel) {
        for (int i = 1; i < items.size(); ++i) {
            if (!s[static_cast<size_t>(i)]) continue;
            if (const std::optional<Mismatch> m =
                    tagJoinConflict(first, *s[static_cast<size_t>(i)])) {
                if (list.select) list.select(i);
                prompts::msgBox(conflictText(i + 1, *m), prompts::Buttons::Ok, texts::kNoticeTitle);
                return false;
            }
        }
    }
    for (int i = 1; i < items.size(); ++i) {
        if (!s[static_cast<size_t>(i)]) continue;
        if (const std::optional<Mismatch> m = compareStreams(first, *s[static_cast<size_t>(i)]))
            return prompts::msgBox(mismatchText(i + 1, *m), prompts::Buttons::OkCancel,
                                   texts::kNoticeTitle) == prompts::Answer::Ok;
    }
    return true;
}

}  // namespace

StreamReader mpvStreamReader() {
    return [](const QString& path) -> std::optional<StreamSummary> {
        const std::optional<MediaTracks> t = readMediaTracks(path);
        if (!t) return std::nullopt;
        return summarize(*t);
    };
}

QString ownSourceText(const QString& item) {
    return QStringLiteral("「合併」的新檔案不能取代合併清單裡的檔案：") + kCrLf + item + kCrLf +
           kCrLf + QStringLiteral("請選擇其他的檔案名稱或資料夾");
}

JoinOutcome mediaJoin(const JoinListAccess& list, QWidget* caller, const StreamReader& reader) {
    JoinOutcome out;
    tools::JobFrame::prepare(caller);
    const QStringList items = list.paths ? list.paths() : QStringList();
    const ListCheck check = checkJoinList(items);
    if (check.refused) {
        if (check.item && list.select) list.select(*check.item);
        prompts::msgBox(refusedListText(), prompts::Buttons::Ok, texts::kNoticeTitle);
        return out;
    }
    double seconds = 0;
    const QString ext = joinExtension(items);
    const bool tagLevel = tools::toolKind(ext) == tools::ToolKind::Flv;
    if (!streamsAccepted(items, list, reader, tagLevel, &seconds)) return out;

    const QString first = items.first();
    prompts::FileDialog d;
    d.kind = prompts::FileDialog::Save;
    d.owner = caller;
    d.initialFolder = getSaveFolder(first);
    d.qtFilter = formatFilter(ext);
    d.filterIndex = 1;
    d.defaultExt = QStringLiteral(".") + ext;
    d.fileName = proposedName(first);
    const prompts::FileAnswer a = prompts::current().file(d);
    if (a.paths.isEmpty() || a.paths.first().trimmed().isEmpty()) return out;

    const JoinPlan plan = makeJoinPlan(items, a.paths.first().trimmed(), seconds);
    out.output = plan.output;
    // Removing the target first, or the temporary names, would delete an item.
    for (const QString& f : plan.touchedFiles()) {
        for (const QString& item : plan.items) {
            if (tools::JobFrame::isOwnSource(f, item)) {
                prompts::msgBox(ownSourceText(item), prompts::Buttons::Ok, texts::kErrorTitle);
                return out;
            }
        }
    }
    JoinJob(plan, caller, out).run();
    return out;
}

}  // namespace join
