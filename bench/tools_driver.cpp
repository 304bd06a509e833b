// Runs one snapshot or split job the way the tool pages do, with the dialogs answered:
//   tools_driver snapshot <source> <length s> <folder> <pictures>   (JPG, spread over the file)
//   tools_driver split <source> <length s> <folder> <parts>         (equal parts)
//   tools_driver cut <source> <length s> <folder> <segments>        (joined into cut.<ext>)
// Prints the picture times or cut spans it used, every command, and the job's wall and
// processor time.
// Used by bench/tools_bench.sh.
#include <sys/resource.h>

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QWidget>
#include <cstdio>
#include <cstring>
#include <vector>

#include "common/globals.h"
#include "common/media_kinds.h"
#include "common/scripted_prompts.h"
#include "common/shell.h"
#include "common/temp_folder.h"
#include "cut_spans.h"
#include "tools/job_frame.h"
#include "tools/save_segments.h"
#include "tools/snapshot/snapshot_job.h"
#include "tools/split/split_job.h"

namespace {

// The done report is answered with Cancel; nothing is shown in a file manager anyway.
struct QuietShell : Shell {
    bool open(const QString&) override { return true; }
    bool exploreSelect(const QString&) override { return true; }
};

void printCommands(const std::vector<tools::Command>& commands) {
    for (const tools::Command& c : commands) std::printf("  %s\n", qPrintable(c.text()));
}

// The spans the job cut, as the tool tests read them.
void printSpans(const tools::JobRecord& record) {
    for (const tools::Command& c : jobtest::cutsOf(record)) {
        const auto [from, to] = jobtest::cutSpan(c);
        std::printf("span %.3f %.3f\n", from, to);
    }
}

// Processor time of this process and of its finished children, in seconds.
double cpuSeconds() {
    rusage self{}, children{};
    getrusage(RUSAGE_SELF, &self);
    getrusage(RUSAGE_CHILDREN, &children);
    const auto sum = [](const rusage& u) {
        return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
               static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
    };
    return sum(self) + sum(children);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 6 || (std::strcmp(argv[1], "snapshot") != 0 && std::strcmp(argv[1], "split") != 0 &&
                      std::strcmp(argv[1], "cut") != 0)) {
        std::fprintf(stderr, "usage: %s snapshot|split|cut source length folder count\n", argv[0]);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ProgramFolder = QCoreApplication::applicationDirPath() + QLatin1Char('/');
    TempFolder = privateTempFolder();
    MoreFormats = kMoreFormatsList;
    QuietShell shell;
    installShell(&shell);
    QWidget win;
    win.resize(640, 400);
    win.show();
    const QString src = QFileInfo(QString::fromLocal8Bit(argv[2])).absoluteFilePath();
    const double length = std::atof(argv[3]);
    const QString folder = QFileInfo(QString::fromLocal8Bit(argv[4])).absoluteFilePath();
    const QString count = QString::fromLocal8Bit(argv[5]);
    ScriptedPrompts sp;
    sp.folderChosen(folder).answer(prompts::Answer::Cancel);

    tools::JobRecord record;
    tools::recordJobs(&record);
    // The job as the user waits for it in the running program: from the click to the report,
    // without this driver's own start (Qt, the offscreen screen), which a bare command lacks
    // too. Its processor time counts the job's children and the program's share alike.
    QElapsedTimer t;
    const double cpuBefore = cpuSeconds();
    t.start();
    bool ok = false;
    double secs = 0, cpu = 0;
    const auto jobDone = [&] {
        secs = t.elapsed() / 1000.0;
        cpu = cpuSeconds() - cpuBefore;
    };
    if (std::strcmp(argv[1], "snapshot") == 0) {
        snapshot::SnapRequest r;
        r.source = src;
        r.fields.choice = snapshot::SnapChoice::WholeFilm;
        r.fields.spacing = snapshot::SnapSpacing::Count;
        r.fields.count = count;
        r.type = snapshot::PictureType::Jpg;
        r.totalSeconds = length;
        r.caller = &win;
        const snapshot::SnapOutcome o = snapshot::runSnapshot(r);
        jobDone();
        for (double time : o.times) std::printf("time %.3f\n", time);
        printCommands(record.commands);
        ok = o.succeeded;
    } else if (std::strcmp(argv[1], "cut") == 0) {
        // Segments of a tenth of the file, spread evenly, joined as "另存裁剪" joins marks.
        const int n = std::max(1, count.toInt());
        std::vector<save::SegmentSeconds> spans;
        for (int i = 0; i < n; ++i) {
            const double from = length * (i + 0.25) / n;
            spans.push_back({from, from + length / 10});
        }
        const QString ext = QFileInfo(src).suffix().toLower();
        const save::SavePlan plan =
            save::makeSpanPlan(src, spans, save::Mode::Cut, folder + "/cut." + ext, {}, 0.04);
        const save::SaveOutcome o = save::runSavePlan(plan, &win, tools::Tool::SaveCut);
        jobDone();
        printSpans(record);
        printCommands(record.commands);
        ok = o.succeeded;
    } else {
        split::SplitRequest r;
        r.source = src;
        r.fields.option = split::SplitOption::EqualParts;
        r.fields.eq[0] = count;
        r.totalSeconds = length;
        r.caller = &win;
        const save::SaveOutcome o = split::runSplit(r);
        jobDone();
        printSpans(record);
        printCommands(record.commands);
        ok = o.succeeded;
    }
    std::printf("job: %s in %.2f s, cpu %.2f s\n", ok ? "succeeded" : "FAILED", secs, cpu);
    installShell(nullptr);
    return ok ? 0 : 1;
}
