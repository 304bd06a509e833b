#include "tools/save_segments.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>

#include "common/file_filters.h"
#include "common/paths.h"
#include "common/prompts.h"
#include "common/texts.h"
#include "common/time_code.h"
#include "tools/ffmpeg_batch.h"
#include "tools/job_frame.h"
#include "tools/movie_keys.h"
#include "tools/program_stream_keys.h"
#include "tools/runner.h"
#include "tools/splice_point.h"
#include "tools/tool_host.h"

namespace save {
namespace {

using texts::kCrLf;
using texts::kErrorTitle;

bool partMade(const QString& path) { return tools::fileLength(path) > 0; }

// The video flag of an FLV file header.
bool flvHeaderHasVideo(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return false;
    const QByteArray head = f.read(5);
    return head.size() == 5 && head.startsWith("FLV") && (head[4] & 0x01) != 0;
}

// One job: the plan, the frame and the record, with the steps of the algorithm as members.
class SaveJob {
  public:
    SaveJob(const SavePlan& plan, QWidget* caller, tools::Tool tool, SaveOutcome& out)
        : plan_(plan), frame_(caller, tool, plan.steps), out_(out) {}

    void run() {
        frame_.setWeights(stepWeights(plan_));
        const tools::JobRun r =
            frame_.runJob(plan_.output, tools::editTools(plan_.kind), tools::Target::Replace,
                          [this] { return makeParts() && deliver(); });
        out_.started = r.started;
        out_.succeeded = r.succeeded;
    }

  private:
    bool runStep(int step, const Command& c) {
        return frame_.run(step, c) == tools::JobFrame::Step::Done;
    }

    // A cut of the part that really holds pictures, which the copy's own count of the
    // pictures it wrote tells. What a failed cut left behind (a header, or a part cut short)
    // is removed, so the part then counts as empty as the step check expects. When next is
    // given and its keyframe not yet known, the same run probes it. False only when the user
    // stopped.
    bool cutPart(int step, const PartPlan& p, const CutStart& start, bool reencode,
                 const PartPlan* next = nullptr) {
        const QString path = frame_.inFolder(p.name);
        Command cut = cutCommand(tools_, plan_.source, start, cutOf(p), path, plan_.ext, reencode);
        const bool probeNext = next && !known_[static_cast<size_t>(next->index)];
        const QString probePath = probeNext ? frame_.temp(kProbeListName) : QString();
        const ProbeWindow window =
            next ? ProbeWindow{firstProbeWindow(next->cut.start, plan_.kind), next->cut.start}
                 : ProbeWindow{};
        if (probeNext) {
            QFile::remove(probePath);
            cut = withKeyframeProbe(cut, plan_.source, window, probePath);
        }
        tools::CmdResult r;
        const tools::JobFrame::Step done = frame_.run(step, cut, &r);
        if (done == tools::JobFrame::Step::Stopped) return false;
        if (done == tools::JobFrame::Step::Failed || !wrotePictures(r.frames)) QFile::remove(path);
        if (probeNext) {
            QFile list(probePath);
            if (done == tools::JobFrame::Step::Done && list.open(QIODevice::ReadOnly)) {
                const QString text = QString::fromLocal8Bit(list.readAll());
                if (const auto cs = parseKeyframes(text, window.start, window.S))
                    know(static_cast<size_t>(next->index), *cs);
            }
            list.close();
            QFile::remove(probePath);
        }
        return true;
    }

    void know(size_t part, const CutStart& start) {
        starts_[part] = start;
        known_[part] = true;
    }

    // False when path is missing or empty, or holds no picture (then it is removed).
    bool holdsPictures(const QString& path) {
        if (!partMade(path)) return false;
        const tools::CmdResult r = frame_.probe(partCheck(tools_, path));
        if (r.succeeded() && partCheckPassed(r.output)) return true;
        QFile::remove(path);
        return false;
    }

    // The keyframes the parts listed begin at, and where the copies of the parts in ends
    // stop, from one run of ffmpeg (and one more for the few whose window held no keyframe,
    // in a wider one). An end is read by a window that reads close to it anyway, or by one of
    // its own. False when a probe failed: the source could not be read.
    bool probeParts(std::vector<size_t> open, const std::vector<size_t>& ends = {}) {
        if (readOwnIndex(open, ends)) return true;
        std::vector<ProbeWindow> windows;
        for (size_t i : open) {
            const int64_t S = plan_.parts[i].cut.start;
            windows.push_back({firstProbeWindow(S, plan_.kind), S});
        }
        const size_t startWindows = windows.size();
        std::vector<size_t> endWindows;
        for (size_t i : ends) {
            const int64_t end = plan_.parts[i].cut.end();
            size_t w = 0;
            while (w < windows.size() && !readsEndToo(windows[w], end)) ++w;
            if (w == windows.size())
                windows.push_back(endProbeWindow(end));
            else
                windows[w].end = end;
            endWindows.push_back(w);
            endProbed_[i] = true;
        }
        bool first = true;
        while (!windows.empty() && !frame_.stopped()) {
            const tools::CmdResult r = frame_.probe(keyframeProbe(tools_, plan_.source, windows));
            // Ends alone only spare a gap: without them the copy stops where it always did.
            if (!r.succeeded()) return open.empty();
            const ProbeAnswers answers = parseProbe(r.output, windows);
            if (first) {
                for (size_t k = 0; k < ends.size(); ++k)
                    copyTo_[ends[k]] = answers.copyEnds[endWindows[k]];
                windows.resize(startWindows);
                for (ProbeWindow& w : windows) w.end = 0;
                first = false;
            }
            const std::vector<std::optional<CutStart>>& found = answers.starts;
            std::vector<size_t> stillOpen;
            std::vector<ProbeWindow> wider;
            for (size_t k = 0; k < windows.size(); ++k) {
                if (found[k]) {
                    know(open[k], *found[k]);
                } else if (const auto w = widerProbeWindow(windows[k].start, windows[k].S)) {
                    stillOpen.push_back(open[k]);
                    wider.push_back({*w, windows[k].S});
                } else {
                    know(open[k], CutStart{});  // no keyframe before S: read from the beginning
                }
            }
            open = stillOpen;
            windows = wider;
        }
        return true;
    }

    // The parts of those given whose copy ends are not yet known (parseCopyEnds).
    std::vector<size_t> endsToProbe(const std::vector<size_t>& parts) const {
        std::vector<size_t> ends;
        for (size_t i : parts)
            if (!endProbed_[i]) ends.push_back(i);
        return ends;
    }

    // The part's cut times, with where its copy stops when the probe found that.
    CutTimes cutOf(const PartPlan& p) const {
        CutTimes c = p.cut;
        c.copyToMs = copyTo_[static_cast<size_t>(p.index)];
        return c;
    }

    // A program stream's or a movie's keyframes and copy ends read by our own readers, without
    // starting ffmpeg. False when they cannot tell for every part: the probe then decides.
    bool readOwnIndex(const std::vector<size_t>& open, const std::vector<size_t>& ends) {
        std::vector<int64_t> starts, endTimes;
        for (size_t i : open) starts.push_back(plan_.parts[i].cut.start);
        for (size_t i : ends) endTimes.push_back(plan_.parts[i].cut.end());
        std::optional<FileCuts> found;
        if (plan_.kind == tools::ToolKind::Mpeg)
            found =
                programStreamCuts(QFile::encodeName(plan_.source).toStdString(), starts, endTimes);
        else if (plan_.kind == tools::ToolKind::Other)
            found = movieCuts(plan_.source, starts, endTimes);
        if (!found) return false;
        for (size_t k = 0; k < open.size(); ++k) know(open[k], found->starts[k]);
        for (size_t k = 0; k < ends.size(); ++k) {
            copyTo_[ends[k]] = found->copyEnds[k];
            endProbed_[ends[k]] = true;
        }
        return true;
    }

    // One pass of flvmdi: the span from its keyframe, with metadata, every tag as it was. It
    // begins with a keyframe whenever it holds video, which its header says: no second program
    // needs to read a picture back.
    bool cutFlvPart(int step, const PartPlan& p, const QString& path) {
        if (!runStep(step, flvCutCommand(tools_, plan_.source, p.cut, path))) return false;
        return flvHeaderHasVideo(path);
    }

    // Cut where marked: the pictures up to the first keyframe after the mark (and those of the
    // last group before the end) rebuilt by ffmpeg, then spliced with the copy by flvmdi. A
    // codec that cannot be rebuilt is copied from the keyframe at or before the mark, and the
    // report says where that part starts.
    bool cutExactPart(int step, const PartPlan& p, const QString& path) {
        const ExactSpan span = exactSpan(p.seconds);
        const tools::CmdResult r = frame_.probe(exactPlanProbe(tools_, plan_.source, span));
        const std::optional<ExactHead> head =
            r.succeeded() ? parseExactHead(r.output) : std::nullopt;
        if (!head || frame_.stopped()) return false;
        if (head->codec == HeadCodec::None && head->copyFromMs < span.fromMs)
            out_.notExact.push_back({p.index, static_cast<double>(head->copyFromMs) / 1000});
        if (head->codec == HeadCodec::None) {
            if (!runStep(step, exactCopyCommand(tools_, plan_.source, span, path))) return false;
            return flvHeaderHasVideo(path);
        }
        QString headPath, tailPath;
        bool made = true;
        if (head->headFrames > 0) {
            headPath = frame_.temp(headName(p.index));
            made = runStep(step, rebuildCommand(tools_, plan_.source, *head, head->headFromMs,
                                                head->headFrames, headPath));
        }
        if (made && head->tailFrames > 0) {
            tailPath = frame_.temp(tailName(p.index));
            made = runStep(step, rebuildCommand(tools_, plan_.source, *head, head->tailFromMs,
                                                head->tailFrames, tailPath));
        }
        made = made &&
               runStep(step, spliceCommand(tools_, plan_.source, span, headPath, tailPath, path));
        for (const QString& f : {headPath, tailPath})
            if (!f.isEmpty()) QFile::remove(f);
        return made && flvHeaderHasVideo(path);
    }

    // Every part cut by one run of ffmpeg after one probe of all their keyframes. Each part
    // is checked by what the run says it wrote into it: pictures, and the same kinds of
    // streams as the others (then the join needs no description of the parts). NotMade
    // leaves no part behind; the parts are then cut one by one, which asks the re-encode
    // question where a copy cannot be written and names what failed.
    enum class Batch { Made, NotMade, Stopped };
    Batch cutInOneRun() {
        std::vector<size_t> open;
        std::vector<size_t> all;
        for (size_t i = 0; i < plan_.parts.size(); ++i) {
            all.push_back(i);
            if (!known_[i]) open.push_back(i);
        }
        const std::vector<size_t> ends = endsToProbe(all);
        if ((!open.empty() || !ends.empty()) && !probeParts(open, ends)) return Batch::NotMade;
        if (frame_.stopped()) return Batch::Stopped;
        std::vector<CutTimes> cuts;
        QStringList paths;
        for (const PartPlan& p : plan_.parts) {
            paths << frame_.temp(p.name);
            QFile::remove(paths.back());
            cuts.push_back(cutOf(p));
        }
        bool made = true;
        QStringList kinds;  // of the first part; every other must have the same
        for (const PartRange& run : partRuns(starts_, cuts)) {
            const auto from = static_cast<std::ptrdiff_t>(run.first);
            const auto to = static_cast<std::ptrdiff_t>(run.first + run.count);
            const QStringList runPaths = paths.mid(from, to - from);
            tools::CmdResult r;
            const tools::JobFrame::Step done = frame_.run(
                1,
                partsCommand(tools_, plan_.source, {starts_.begin() + from, starts_.begin() + to},
                             {cuts.begin() + from, cuts.begin() + to}, runPaths, plan_.ext),
                &r);
            if (done == tools::JobFrame::Step::Stopped) return Batch::Stopped;
            const std::vector<tools::OutputStats> stats =
                tools::readOutputStats(r.output, static_cast<int>(runPaths.size()));
            made = done == tools::JobFrame::Step::Done;
            for (int k = 0; made && k < runPaths.size(); ++k) {
                const tools::OutputStats& s = stats[static_cast<size_t>(k)];
                if (kinds.isEmpty()) kinds = s.kinds;
                made = wrotePictures(s.videoPackets) && partMade(runPaths[k]) && s.kinds == kinds;
            }
            if (!made) break;
        }
        if (!made) {
            for (const QString& path : paths) QFile::remove(path);
            return Batch::NotMade;
        }
        for (int step = 2; step <= paths.size(); ++step) frame_.showStep(step);
        partPaths_ = paths;
        partsAgreeKnown_ = true;
        return Batch::Made;
    }

    bool makeParts() {
        tools_ = frame_.commandTools();
        // A part from 0 reads from the beginning without a probe; every other part is probed
        // by the cut before it, or on its own when that could not.
        starts_.assign(plan_.parts.size(), CutStart{});
        known_.assign(plan_.parts.size(), false);
        copyTo_.assign(plan_.parts.size(), 0);
        endProbed_.assign(plan_.parts.size(), false);
        for (const PartPlan& p : plan_.parts)
            if (p.cut.start <= 0) known_[static_cast<size_t>(p.index)] = true;
        if (cutsInOneRun(plan_)) {
            const Batch b = cutInOneRun();
            if (b == Batch::Stopped) return false;
            if (b == Batch::Made) return true;
        }
        QStringList list;
        for (const PartPlan& p : plan_.parts) {
            const int step = p.index + 1;
            frame_.showStep(step);
            const QString path = frame_.temp(p.name);
            QFile::remove(path);
            list << path;
            if (plan_.tagLevel) {
                if (!(plan_.exact ? cutExactPart(step, p, path) : cutFlvPart(step, p, path)))
                    return false;
                continue;
            }
            const auto i = static_cast<size_t>(p.index);
            const std::vector<size_t> end = endsToProbe({i});
            if ((!known_[i] || !end.empty()) &&
                !probeParts(known_[i] ? std::vector<size_t>{} : std::vector<size_t>{i}, end))
                return false;
            const CutStart start = starts_[i];
            const PartPlan* next = i + 1 < plan_.parts.size() ? &plan_.parts[i + 1] : nullptr;
            if (!cutPart(step, p, start, false, next)) return false;
            if (!partMade(path) && plan_.kind == tools::ToolKind::Other) {
                if (!reencodeAccepted_) {
                    ++out_.reencodeQuestions;
                    if (!frame_.askReencode()) return false;
                    reencodeAccepted_ = true;
                }
                if (!cutPart(step, p, start, true, next)) return false;
            }
            if (!partMade(path)) return false;
        }
        partPaths_ = list;
        if (!out_.notExact.empty()) frame_.setReportNote(notExactText(out_.notExact));
        return true;
    }

    bool moveOnto(const QString& from, const QString& to) {
        if (!frame_.removeTarget(to)) return false;
        return QFile::rename(from, to);
    }

    // Parts cut from one source never legitimately differ in their streams; when they do,
    // a join would pair unlike streams, so the job fails instead. One run describes them all.
    bool partsAgree() {
        const tools::CmdResult r = frame_.probe(streamProbe(tools_, partPaths_));
        if (!r.succeeded() || frame_.stopped()) return false;
        const QStringList first = streamKinds(r.output, 0);
        if (first.isEmpty()) return false;
        for (int k = 1; k < partPaths_.size(); ++k)
            if (streamKinds(r.output, k) != first) return false;
        return true;
    }

    // Each part after the first begins a new sequence for the decoder where its container
    // carries HEVC that starts at a CRA picture; others are left as they are.
    void markSplicePoints() {
        if (!joinsAsMovie(plan_.ext)) return;
        for (qsizetype k = 1; k < partPaths_.size(); ++k)
            markSplicePoint(partPaths_[k - 1], partPaths_[k]);
    }

    // The parts joined into joined, which holds pictures afterwards: flvmdi's join is read
    // back, ffmpeg's counted the pictures it wrote.
    bool joinParts(int step, const QString& joined) {
        double seconds = 0;
        for (const PartPlan& p : plan_.parts) seconds += static_cast<double>(p.cut.length);
        if (plan_.tagLevel)
            return runStep(step, flvJoinCommand(tools_, partPaths_, joined, seconds)) &&
                   holdsPictures(joined);
        const QString list = frame_.temp(plan_.joinList);
        if (!writeJoinList(list, partPaths_)) return false;
        tools::CmdResult r;
        const bool ran = frame_.run(step, joinCommand(tools_, list, joined, plan_.ext, seconds),
                                    &r) == tools::JobFrame::Step::Done;
        QFile::remove(list);
        return ran && wrotePictures(r.frames) && partMade(joined);
    }

    bool deliver() {
        if (plan_.mode == Mode::Split) {
            for (const PartPlan& p : plan_.parts)
                if (!moveOnto(frame_.inFolder(p.name), frame_.inFolder(p.finalName))) return false;
            return true;
        }
        if (!plan_.join) return moveOnto(partPaths_.first(), plan_.output);

        const int step = plan_.steps;
        frame_.showStep(step);
        // flvmdi compares FLV parts itself and refuses unlike ones; others are probed first.
        if (!plan_.tagLevel && !partsAgreeKnown_ && !partsAgree()) return false;
        const QString joined = frame_.temp(plan_.joinFile);
        QFile::remove(joined);
        markSplicePoints();
        if (!joinParts(step, joined)) return false;
        for (const QString& part : partPaths_) QFile::remove(part);
        return moveOnto(joined, plan_.output);
    }

    const SavePlan& plan_;
    tools::JobFrame frame_;
    SaveOutcome& out_;
    Tools tools_;
    QStringList partPaths_;
    std::vector<CutStart> starts_;  // where each part's cut begins, by part index
    std::vector<bool> known_;       // starts_ holds that part's answer
    std::vector<int64_t> copyTo_;   // CutTimes::copyToMs of each part
    std::vector<bool> endProbed_;   // copyTo_ holds that part's answer
    bool reencodeAccepted_ = false;
    bool partsAgreeKnown_ = false;  // the parts' streams are known to be alike
};

}  // namespace

QString notExactText(const std::vector<SaveOutcome::CopyStart>& parts) {
    QStringList lines;
    for (const SaveOutcome::CopyStart& p : parts)
        lines << QStringLiteral("第 %1 個區段無法精確裁剪（實際從 ").arg(p.part + 1) +
                     secToText(p.copyFromSeconds, 3, 2) + QStringLiteral(" 開始）");
    return lines.join(kCrLf);
}

QString missingSourceText() {
    return QStringLiteral("你要處理的檔案並不存在於本地硬碟") + kCrLf +
           QStringLiteral("或是其他的原因導致無法讀取標記！");
}

QString audioOnlyText(Mode mode) {
    return QStringLiteral("「另存") + modeWord(mode) +
           QStringLiteral("」無法處理沒有畫面／視訊的影片！");
}

QString confirmText(Mode mode, const QString& source) {
    const bool split = mode == Mode::Split;
    return QStringLiteral("本軟體可以不經轉檔而直接") + modeWord(mode) +
           QStringLiteral(" FLV 檔案等等：") + kCrLf + source + kCrLf + kCrLf +
           (split ? QStringLiteral("分割功能，可以將所有的標記區段分別存檔為新的檔案")
                  : QStringLiteral("裁剪功能，可以將所有的標記區段接合為單一的新檔案")) +
           kCrLf +
           (split ? QStringLiteral("下一個步驟，將會開啟瀏覽資料夾的目錄對話盒")
                  : QStringLiteral("下一個步驟，將會開啟另存新檔的檔案對話盒")) +
           kCrLf + kCrLf + QStringLiteral("確定要進行「另存") + modeWord(mode) +
           QStringLiteral("」？");
}

QString folderBrowserTitle(const QString& pieces) {
    return QStringLiteral("分割出的檔案將以「") + pieces + QStringLiteral("」儲存") + kCrLf +
           QStringLiteral("請選取分割出的新檔案的儲存目錄") + kCrLf +
           QStringLiteral("這裡，強烈建議你新建一個資料夾！");
}

QString ownSourceText(Mode mode, const QString& source) {
    return ownSourceText(QStringLiteral("另存") + modeWord(mode), source);
}

QString ownSourceText(const QString& jobWord, const QString& source) {
    return QStringLiteral("「") + jobWord +
           QStringLiteral("」的新檔案不能取代正在處理的原始檔案：") + kCrLf + source + kCrLf +
           kCrLf + QStringLiteral("請選擇其他的檔案名稱或資料夾");
}

bool writesOverSource(const SavePlan& plan) {
    const QStringList files = plan.touchedFiles();
    for (const QString& f : files)
        if (tools::JobFrame::isOwnSource(f, plan.source)) return true;
    return false;
}

SaveOutcome runSavePlan(const SavePlan& plan, QWidget* caller, tools::Tool tool) {
    SaveOutcome out;
    out.output = plan.output;
    out.steps = plan.steps;
    SaveJob(plan, caller, tool, out).run();
    return out;
}

SaveOutcome saveMarkedSegments(SaveHost& host, Mode mode, const PieceNames& names) {
    SaveOutcome out;
    host.closeOpenSegment();
    const QString src = host.sourcePath();
    const QString ext = QFileInfo(src).suffix().toLower();
    host.pausePrFn();

    const std::vector<UnitSegment> segments = host.segments();
    if (src.isEmpty() || !QFileInfo(src).isFile() || segments.empty() ||
        host.secondsPerUnit() <= 0) {
        prompts::msgBox(missingSourceText(), prompts::Buttons::Ok, kErrorTitle);
        return out;
    }
    if (host.isAudioOnly()) {
        prompts::msgBox(audioOnlyText(mode), prompts::Buttons::Ok, kErrorTitle);
        return out;
    }
    if (prompts::msgBox(confirmText(mode, src), prompts::Buttons::OkCancel) != prompts::Answer::Ok)
        return out;

    SaveRequest req;
    req.source = src;
    req.segments = segments;
    req.secondsPerUnit = host.secondsPerUnit();
    req.totalSeconds = host.totalSeconds();
    req.mode = mode;
    req.names = names;
    const QString startFolder = getSaveFolder(src);
    if (mode == Mode::Split) {
        prompts::FolderDialog d;
        d.title = folderBrowserTitle(names.pattern(ext));
        d.initialFolder = startFolder;
        req.output = prompts::current().folder(d);
    } else {
        prompts::FileDialog d;
        d.kind = prompts::FileDialog::Save;
        d.initialFolder = startFolder;
        d.qtFilter = formatFilter(ext);
        d.filterIndex = 1;
        d.defaultExt = QStringLiteral(".") + ext;
        d.fileName = names.cutFile(src);
        const prompts::FileAnswer a = prompts::current().file(d);
        if (!a.paths.isEmpty()) req.output = a.paths.first();
    }
    if (req.output.trimmed().isEmpty()) return out;

    SavePlan plan = makePlan(req);
    plan.exact = tools::toolHost().exactCut();
    // Removing a target first would delete the source when it is one of them.
    if (writesOverSource(plan)) {
        out.output = plan.output;
        out.steps = plan.steps;
        prompts::msgBox(ownSourceText(mode, src), prompts::Buttons::Ok, kErrorTitle);
        return out;
    }
    return runSavePlan(plan, host.window(),
                       mode == Mode::Split ? tools::Tool::SaveSplit : tools::Tool::SaveCut);
}

}  // namespace save
