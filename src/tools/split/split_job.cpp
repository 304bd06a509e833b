#include "tools/split/split_job.h"

#include <QFileInfo>

#include "common/file_filters.h"
#include "common/media_kinds.h"
#include "common/paths.h"
#include "common/prompts.h"
#include "common/texts.h"
#include "tools/job_frame.h"
#include "tools/split/split_names.h"
#include "tools/tool_host.h"
#include "tools/tool_texts.h"

namespace split {

using texts::kCrLf;

QString badSourceText() {
    return QStringLiteral("你所指定處理的檔案並不存在，或是") + kCrLf +
           QStringLiteral("你選擇了不支援切割的多媒體格式！");
}

QString folderBrowserTitle(const QString& ext) {
    return QStringLiteral("切割出的檔案將以「") + pieceNamePattern(ext) + QStringLiteral("」儲存") +
           kCrLf + QStringLiteral("請選取分割出的新檔案的儲存目錄") + kCrLf +
           QStringLiteral("這裡，強烈建議你新建一個資料夾！");
}

save::SaveOutcome runSplit(const SplitRequest& r) {
    save::SaveOutcome out;
    tools::JobFrame::prepare(r.caller);
    const QString src = r.source.trimmed();
    const QString ext = QFileInfo(src).suffix().toLower();
    if (src.isEmpty() || !QFileInfo(src).isFile() || !isEditableFile(src)) {
        prompts::msgBox(badSourceText(), prompts::Buttons::Ok, texts::kNoticeTitle);
        return out;
    }
    SplitSource s;
    s.exists = true;
    s.totalSeconds = r.totalSeconds;
    s.bytes = QFileInfo(src).size();
    const SplitCalc calc = calculate(r.fields, s);
    if (!calc.ok) {
        // The button is enabled only while the input is accepted; nothing is run.
        prompts::msgBox(tools::jobErrorText(tools::toolTexts(tools::Tool::Split)),
                        prompts::Buttons::Ok, texts::kErrorTitle);
        return out;
    }

    const bool pieces = isPieces(r.fields.option);
    QString output;
    if (pieces) {
        prompts::FolderDialog d;
        d.title = folderBrowserTitle(ext);
        d.initialFolder = getSaveFolder(src);
        d.owner = r.caller;
        output = prompts::current().folder(d);
    } else {
        prompts::FileDialog d;
        d.kind = prompts::FileDialog::Save;
        d.initialFolder = getSaveFolder(src);
        d.qtFilter = formatFilter(ext);
        d.filterIndex = 1;
        d.defaultExt = QStringLiteral(".") + ext;
        d.fileName = cutFileName(src);
        d.owner = r.caller;
        const prompts::FileAnswer a = prompts::current().file(d);
        if (!a.paths.isEmpty()) output = a.paths.first();
    }
    if (output.trimmed().isEmpty()) return out;

    save::SavePlan plan =
        save::makeSpanPlan(src, pieceTable(r.fields, calc),
                           pieces ? save::Mode::Split : save::Mode::Cut, output, pieceNames());
    // Only the one section is cut where the user put it; pieces meet wherever they fall.
    plan.exact = !pieces && tools::toolHost().exactCut();
    if (save::writesOverSource(plan)) {
        out.output = plan.output;
        prompts::msgBox(save::ownSourceText(QStringLiteral("切割"), src), prompts::Buttons::Ok,
                        texts::kErrorTitle);
        return out;
    }
    return save::runSavePlan(plan, r.caller, tools::Tool::Split);
}

}  // namespace split
