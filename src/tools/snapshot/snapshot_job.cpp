#include "tools/snapshot/snapshot_job.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>

#include "common/file_filters.h"
#include "common/host.h"
#include "common/media_kinds.h"
#include "common/paths.h"
#include "common/prompts.h"
#include "common/texts.h"
#include "tools/job_frame.h"
#include "tools/tool_texts.h"

namespace snapshot {

using texts::kCrLf;

QString badSourceText() {
    return QStringLiteral("你所指定處理的檔案並不存在，或是") + kCrLf +
           QStringLiteral("你選擇了不支援截圖的多媒體格式！");
}

QString folderBrowserTitle() {
    return QStringLiteral("請選取分割出的新檔案的儲存目錄") + kCrLf +
           QStringLiteral("這裡，強烈建議你新建一個資料夾！");
}

namespace {

QString askOutput(const SnapRequest& r, const QString& src, bool series) {
    const QString ext = typeExt(r.type);
    if (series) {
        prompts::FolderDialog d;
        d.title = folderBrowserTitle();
        d.initialFolder = getSaveFolder(src);
        d.owner = r.caller;
        const QString folder = prompts::current().folder(d);
        return folder.trimmed().isEmpty() ? QString() : addSlash(folder) + seriesName(0, ext);
    }
    prompts::FileDialog d;
    d.kind = prompts::FileDialog::Save;
    d.initialFolder = getSaveFolder(src);
    d.qtFilter = formatFilter(ext);
    d.filterIndex = 1;
    d.defaultExt = QStringLiteral(".") + ext;
    d.fileName = QFileInfo(src).completeBaseName() + QStringLiteral("_snapshot.") + ext;
    d.owner = r.caller;
    const prompts::FileAnswer a = prompts::current().file(d);
    if (a.paths.isEmpty() || a.paths.first().trimmed().isEmpty()) return {};
    return pictureFileName(QFileInfo(a.paths.first()).absoluteFilePath(), r.type);
}

}  // namespace

SnapOutcome runSnapshot(const SnapRequest& r) {
    SnapOutcome out;
    tools::JobFrame::prepare(r.caller);
    const QString src = r.source.trimmed();
    if (src.isEmpty() || !QFileInfo(src).isFile() || !isEditableFile(src)) {
        prompts::msgBox(badSourceText(), prompts::Buttons::Ok, texts::kNoticeTitle);
        return out;
    }
    const SnapCalc calc = calculate(r.fields, r.totalSeconds, true);
    if (!calc.ok) {
        prompts::msgBox(tools::jobErrorText(tools::toolTexts(tools::Tool::Snapshot)),
                        prompts::Buttons::Ok, texts::kErrorTitle);
        return out;
    }
    out.times = pictureTimes(calc);
    const bool series = calc.series();
    const QString output = askOutput(r, src, series);
    if (output.isEmpty()) return out;
    out.output = output;
    const QString ext = typeExt(r.type);
    const QString folder = addSlash(QFileInfo(output).absolutePath());
    const int count = static_cast<int>(out.times.size());
    // A picture never replaces the video it is taken from.
    for (int i = 0; i < count; ++i) {
        const QString target = series ? folder + seriesName(i, ext) : output;
        if (tools::JobFrame::isOwnSource(target, src) ||
            (i < kPicturesPerRun &&
             tools::JobFrame::isOwnSource(folder + tempPictureName(ext, i), src))) {
            prompts::msgBox(QStringLiteral("「截圖」的新檔案不能取代正在處理的原始檔案：") + kCrLf +
                                src + kCrLf + kCrLf +
                                QStringLiteral("請選擇其他的檔案名稱或資料夾"),
                            prompts::Buttons::Ok, texts::kErrorTitle);
            return out;
        }
    }

    tools::JobFrame frame(r.caller, tools::Tool::Snapshot, count);
    frame.setWeights(pictureStepWeights(count));
    // Up to kPicturesPerRun pictures per run of ffmpeg, each into a temporary file of its own;
    // then, in order, each is checked and moved to its name, so a missing one fails the job
    // with every picture before it in place. A series replaces its own pictures one by one; a
    // single picture replaces the output.
    const auto pictures = [&] {
        const QString ffmpeg = frame.paths().ffmpeg;
        for (int first = 0; first < count; first += kPicturesPerRun) {
            const int n = std::min(kPicturesPerRun, count - first);
            QStringList temps;
            for (int k = 0; k < n; ++k) {
                temps << frame.temp(tempPictureName(ext, k));
                QFile::remove(temps.back());
            }
            frame.showStep(first + 1);
            const std::vector<double> times(out.times.begin() + first,
                                            out.times.begin() + first + n);
            const tools::JobFrame::Step ran =
                frame.run(first + 1, picturesCommand(ffmpeg, src, times, r.type, temps));
            if (ran == tools::JobFrame::Step::Stopped) return false;
            // Which picture the disk filled up under cannot be told from its length: none of
            // this run's pictures is kept.
            if (ran == tools::JobFrame::Step::Failed && frame.diskFullSeen()) return false;
            for (int k = 0; k < n; ++k) {
                const int i = first + k;
                if (i > first) frame.showStep(i + 1);
                const QString& temp = temps[k];
                // A picture that ffmpeg could not take fails the job even when the others of
                // its run were taken.
                if (tools::fileLength(temp) <= 0) return false;
                // A series replaces its own earlier pictures but keeps them once written:
                // only the picture being made is the job's to remove.
                const QString target = series ? folder + seriesName(i, ext) : output;
                if (series) {
                    // The exact file (a folder's name may hold "*" or "?"), released first if
                    // it plays.
                    appHost().closeRunFn(target);
                    QFile::remove(target);
                }
                if (QFileInfo::exists(target) || !QFile::rename(temp, target)) return false;
                out.pictures << target;
            }
            if (ran != tools::JobFrame::Step::Done) return false;
        }
        return true;
    };
    const tools::JobRun run =
        frame.runJob(output, tools::ToolSet::Snap,
                     series ? tools::Target::Keep : tools::Target::Replace, pictures);
    out.started = run.started;
    out.succeeded = run.succeeded;
    return out;
}

}  // namespace snapshot
