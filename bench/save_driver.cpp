// Runs one save job (mode 0, one segment) the way the menu does, with the dialogs answered:
//   save_driver <source> <start seconds> <end seconds> <output> [exact]
// "exact": with the exact cut chosen (the segment's first pictures rebuilt).
// Prints the job's commands and its wall time. Used by bench/save_bench.sh.
#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QWidget>
#include <cstdio>
#include <string_view>

#include "common/globals.h"
#include "common/scripted_prompts.h"
#include "common/temp_folder.h"
#include "tools/job_frame.h"
#include "tools/save_segments.h"
#include "tools/split/split_names.h"
#include "tools/tool_host.h"

namespace {

// Segments in milliseconds.
struct Host : save::SaveHost {
    QString src;
    std::vector<save::UnitSegment> marks;
    QWidget* win = nullptr;
    void closeOpenSegment() override {}
    QString sourcePath() override { return src; }
    std::vector<save::UnitSegment> segments() override { return marks; }
    double secondsPerUnit() override { return 0.001; }
    double totalSeconds() override { return 0; }
    bool isAudioOnly() override { return false; }
    void pausePrFn() override {}
    QWidget* window() override { return win; }
};

struct ExactHost : tools::ToolHost {
    bool exactCut() override { return true; }
};

}  // namespace

int main(int argc, char** argv) {
    const bool exact = argc == 6 && std::string_view(argv[5]) == "exact";
    if (argc != 5 && !exact) {
        std::fprintf(stderr, "usage: %s source start end output [exact]\n", argv[0]);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ProgramFolder = QCoreApplication::applicationDirPath() + QLatin1Char('/');
    TempFolder = privateTempFolder();
    QWidget win;
    win.resize(640, 400);
    win.show();
    ExactHost exactHost;
    if (exact) tools::installToolHost(&exactHost);
    Host h;
    h.win = &win;
    h.src = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();
    const auto from = static_cast<int64_t>(std::atof(argv[2]) * 1000);
    const auto to = static_cast<int64_t>(std::atof(argv[3]) * 1000);
    h.marks = {{from, to - from}};
    ScriptedPrompts sp;
    sp.answer(prompts::Answer::Ok)
        .files({QFileInfo(QString::fromLocal8Bit(argv[4])).absoluteFilePath()})
        .answer(prompts::Answer::Cancel);
    tools::JobRecord record;
    tools::recordJobs(&record);
    QElapsedTimer t;
    t.start();
    const save::SaveOutcome o = save::saveMarkedSegments(h, save::Mode::Cut, split::pieceNames());
    const double secs = t.elapsed() / 1000.0;
    for (const auto& c : record.commands) std::printf("  %s\n", qPrintable(c.text()));
    std::printf("job: %s in %.2f s\n", o.succeeded ? "succeeded" : "FAILED", secs);
    return o.succeeded ? 0 : 1;
}
