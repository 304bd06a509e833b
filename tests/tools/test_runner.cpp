// The runner with real child processes: shell scripts written by the test and ffmpeg.
#include <gtest/gtest.h>
#include <signal.h>

#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <vector>

#include "tool_test_support.h"
#include "tools/command.h"
#include "tools/progress.h"
#include "tools/runner.h"

using namespace tools;
using tooltest::writeScript;

namespace {

class RunnerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        tooltest::ensureApp();
        ASSERT_TRUE(dir_.isValid());
        AbortRequested = false;
    }
    Command script(const QString& body) {
        static int n = 0;
        Command c;
        c.program = writeScript(dir_.path(), QStringLiteral("s%1.sh").arg(++n), body);
        c.folder = dir_.path();
        return c;
    }
    QTemporaryDir dir_;
};

// A process that has ended may linger as a zombie until it is reaped: that counts as ended.
bool alive(int pid) {
    const QByteArray stat = tooltest::readFile(QStringLiteral("/proc/%1/stat").arg(pid));
    if (stat.isEmpty()) return false;
    const qsizetype close = stat.lastIndexOf(')');
    return close > 0 && stat.size() > close + 2 && stat[close + 2] != 'Z';
}

struct Recorder : RunObserver {
    std::vector<int> seen;
    int ended = 0;
    bool endedBeforeHundred = true;
    void progress(int p) override { seen.push_back(p); }
    void commandEnded() override { ++ended; }
};

TEST_F(RunnerTest, CommandThatCannotStartReturnsAtOnceWithEmptyText) {
    Command c;
    c.program = dir_.filePath(QStringLiteral("no-such-tool"));
    c.args = {QStringLiteral("x")};
    QElapsedTimer t;
    t.start();
    EXPECT_TRUE(getCmdOutput(c).isEmpty());
    EXPECT_LT(t.elapsed(), 500);
    // A file that is there but cannot be executed.
    tooltest::writeFile(dir_.filePath(QStringLiteral("plain.txt")), "not a program");
    c.program = dir_.filePath(QStringLiteral("plain.txt"));
    EXPECT_TRUE(getCmdOutput(c).isEmpty());
    EXPECT_FALSE(AbortRequested);
}

TEST_F(RunnerTest, EveryCommandReportsHowItEnded) {
    CmdResult r = runCommand(script(QStringLiteral("echo fine")));
    EXPECT_EQ(r.ending, Ending::Exited);
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.succeeded());
    EXPECT_EQ(r.output.trimmed(), QStringLiteral("fine"));

    r = runCommand(script(QStringLiteral("echo half; exit 3")));
    EXPECT_EQ(r.ending, Ending::Exited);
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_FALSE(r.succeeded());
    EXPECT_EQ(r.output.trimmed(), QStringLiteral("half"));

    // Killed half-way, as a crash or the out-of-memory killer would.
    r = runCommand(script(QStringLiteral("kill -KILL $$")));
    EXPECT_EQ(r.ending, Ending::Crashed);
    EXPECT_FALSE(r.succeeded());
    EXPECT_FALSE(runCmd(script(QStringLiteral("kill -SEGV $$"))));

    Command missing;
    missing.program = dir_.filePath(QStringLiteral("no-such-tool"));
    r = runCommand(missing);
    EXPECT_EQ(r.ending, Ending::FailedToStart);
    EXPECT_FALSE(runCmd(missing));

    // A stop before the start: the command does not run at all.
    AbortRequested = true;
    r = runCommand(script(QStringLiteral("touch ran")));
    EXPECT_EQ(r.ending, Ending::NotRun);
    EXPECT_FALSE(QFileInfo::exists(dir_.filePath(QStringLiteral("ran"))));
    EXPECT_FALSE(AbortRequested);
}

TEST_F(RunnerTest, ReadsBothStreamsAndOutputLargerThanThePipeBuffer) {
    // 1 MB on standard output between two lines on standard error: the child blocks if the
    // pipe is not drained while it runs.
    Command c =
        script(QStringLiteral("echo start >&2\nhead -c 1048576 /dev/zero | tr '\\0' z\n"
                              "echo end >&2"));
    const QString text = getCmdOutput(c);
    EXPECT_EQ(text.count(QLatin1Char('z')), 1048576);
    EXPECT_TRUE(text.startsWith(QStringLiteral("start\n")));
    EXPECT_TRUE(text.endsWith(QStringLiteral("end\n")));
}

TEST_F(RunnerTest, ArgumentsArriveUnchangedWithoutAShellInTheWorkingFolder) {
    Command c = script(QStringLiteral("pwd; for a in \"$@\"; do echo \"[$a]\"; done"));
    c.args = {QStringLiteral("two words"), QStringLiteral("$HOME"), QStringLiteral("a;b|c"),
              QStringLiteral("\"q\"")};
    const QString text = getCmdOutput(c);
    EXPECT_EQ(text, QFileInfo(dir_.path()).canonicalFilePath() +
                        QStringLiteral("\n[two words]\n[$HOME]\n[a;b|c]\n[\"q\"]\n"));
    EXPECT_EQ(c.text(), c.program + QStringLiteral(" \"two words\" $HOME a;b|c \"\\\"q\\\"\""));
}

TEST_F(RunnerTest, StopEndsALongCommandWithinTwoSecondsAndItsChildren) {
    // The script ignores SIGTERM and leaves a grandchild: the group gets SIGKILL after 1 s.
    const QString pidFile = dir_.filePath(QStringLiteral("grandchild.pid"));
    Command c = script(
        QStringLiteral("trap '' TERM\nsleep 60 &\necho $! > '%1'\nwait\nsleep 60").arg(pidFile));
    QTimer::singleShot(300, [] { requestStop(); });
    QElapsedTimer t;
    t.start();
    runCmd(c);
    EXPECT_LT(t.elapsed(), 2000);
    EXPECT_GE(t.elapsed(), 1000);  // it had to be killed
    EXPECT_FALSE(AbortRequested);  // cleared at the end of the command
    EXPECT_FALSE(commandRunning());
    bool ok = false;
    const int grandchild = tooltest::readFile(pidFile).trimmed().toInt(&ok);
    ASSERT_TRUE(ok);
    QElapsedTimer gone;
    gone.start();
    while (alive(grandchild) && gone.elapsed() < 1000) QThread::msleep(10);
    EXPECT_FALSE(alive(grandchild)) << "the tool's own child outlived the stop";
}

TEST_F(RunnerTest, StopEndsAPoliteChildAtOnce) {
    Command c = script(QStringLiteral("exec sleep 60"));
    QTimer::singleShot(200, [] { requestStop(); });
    QElapsedTimer t;
    t.start();
    runCmd(c);
    EXPECT_LT(t.elapsed(), 900);
}

TEST_F(RunnerTest, StopRequestedBeforeACommandKeepsItFromRunning) {
    const QString mark = dir_.filePath(QStringLiteral("ran"));
    Command c = script(QStringLiteral("touch '%1'").arg(mark));
    AbortRequested = true;
    runCmd(c);
    EXPECT_FALSE(QFileInfo::exists(mark));
    EXPECT_FALSE(AbortRequested);
}

TEST_F(RunnerTest, WaitingUsesTheEventLoopNotTheProcessor) {
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(50);
    const std::clock_t before = std::clock();
    runCmd(script(QStringLiteral("exec sleep 1")));
    const double cpu = double(std::clock() - before) / CLOCKS_PER_SEC;
    EXPECT_GE(ticks, 5);  // timers ran while it waited
    EXPECT_LT(cpu, 0.2);
}

TEST_F(RunnerTest, FfmpegProgressClimbsAndReachesHundredOnlyAtTheEnd) {
    Recorder rec;
    setRunObserver(&rec);
    const QString out = dir_.filePath(QStringLiteral("-odd:name.mkv"));
    Command c = ffmpegCommand(
        QStringLiteral("/usr/bin/ffmpeg"),
        {QStringLiteral("-y"), QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
         QStringLiteral("testsrc=size=64x48:rate=25:duration=4"), QStringLiteral("-c:v"),
         QStringLiteral("mpeg4"), ffmpegFile(out)},
        4.0);
    c.folder = dir_.path();
    const QString text = getCmdOutput(c);
    setRunObserver(nullptr);
    EXPECT_GT(QFileInfo(out).size(), 0) << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("out_time"))) << "progress lines leaked";
    ASSERT_FALSE(rec.seen.empty());
    EXPECT_EQ(rec.seen.front(), 0);
    for (size_t i = 1; i < rec.seen.size(); ++i) EXPECT_GE(rec.seen[i], rec.seen[i - 1]);
    EXPECT_LE(rec.seen.back(), 99);
    EXPECT_GE(rec.seen.back(), 50);
    EXPECT_EQ(rec.ended, 1);
    EXPECT_TRUE(c.text().startsWith(QStringLiteral("/usr/bin/ffmpeg -y -f lavfi")));
    EXPECT_EQ(c.effectiveArgs().mid(0, 3),
              QStringList({QStringLiteral("-progress"), QStringLiteral("pipe:1"),
                           QStringLiteral("-nostats")}));
}

TEST_F(RunnerTest, AToolsOwnProgressLinesMoveTheBarWithoutAddedOptions) {
    Recorder rec;
    setRunObserver(&rec);
    Command c = script(QStringLiteral(
        "for t in 1000000 2000000 3000000; do echo out_time_us=$t; echo progress=continue; done\n"
        "echo progress=end; i=0; while [ $i -lt 20000 ]; do echo \"line $i\" >&2; i=$((i+1)); "
        "done; echo 'summary line' >&2"));
    c.args = {QStringLiteral("x")};
    c.progressLines = true;
    c.expectedSeconds = 4;
    const CmdResult r = runCommand(c);
    setRunObserver(nullptr);
    EXPECT_TRUE(r.succeeded());
    EXPECT_EQ(c.effectiveArgs(), QStringList{QStringLiteral("x")});
    // Lines that arrive together show only the latest figure.
    ASSERT_GE(rec.seen.size(), 2u);
    EXPECT_EQ(rec.seen.front(), 0);
    EXPECT_EQ(rec.seen.back(), 75);
    EXPECT_TRUE(std::is_sorted(rec.seen.begin(), rec.seen.end()));
    // Every message line, more than a pipe holds, and no progress line.
    EXPECT_EQ(r.output.count(QStringLiteral("line ")), 20000);
    EXPECT_TRUE(r.output.startsWith(QStringLiteral("line 0\n")));
    EXPECT_TRUE(r.output.endsWith(QStringLiteral("line 19999\nsummary line\n")));
}

TEST_F(RunnerTest, ACopyOfUnknownLengthMovesTheBarBySize) {
    Recorder rec;
    setRunObserver(&rec);
    Command c = script(QStringLiteral(
        "echo total_size=N/A; echo total_size=500; echo total_size=1500; echo progress=end"));
    c.args = {QStringLiteral("x")};
    c.progressLines = true;
    c.expectedBytes = 2000;
    EXPECT_TRUE(c.measured());
    EXPECT_TRUE(runCommand(c).succeeded());
    setRunObserver(nullptr);
    ASSERT_FALSE(rec.seen.empty());
    EXPECT_EQ(rec.seen.front(), 0);
    EXPECT_EQ(rec.seen.back(), 75);
}

TEST_F(RunnerTest, OtherCommandsShowABusyBar) {
    Recorder rec;
    setRunObserver(&rec);
    runCmd(script(QStringLiteral("true")));
    setRunObserver(nullptr);
    EXPECT_EQ(rec.seen, std::vector<int>{-1});
    EXPECT_EQ(rec.ended, 1);
}

TEST(ProgressParser, LinesSplitAnywhereAndUnknownTimes) {
    ProgressParser p(10.0);
    EXPECT_FALSE(p.feed("frame=1\nout_time_us=N/A\nout_ti"));
    EXPECT_EQ(p.percent(), -1);
    EXPECT_TRUE(p.feed("me_us=2500000\n"));
    EXPECT_EQ(p.percent(), 25);
    EXPECT_TRUE(p.feed("out_time_ms=12000000\r\nprogress=end\n"));
    EXPECT_EQ(p.percent(), 99);  // past the expected length still is not the end
    ProgressParser unknown(0);
    unknown.feed("out_time_us=5000000\n");
    EXPECT_EQ(unknown.percent(), -1);
    EXPECT_DOUBLE_EQ(unknown.outSeconds(), 5.0);
}

TEST(Command, FfmpegPathsAreFilesEvenWhenTheyLookLikeOptions) {
    EXPECT_EQ(ffmpegFile(QStringLiteral("-y.flv")), QStringLiteral("file:-y.flv"));
    EXPECT_EQ(ffmpegFile(QStringLiteral("/a/http:b.flv")), QStringLiteral("file:/a/http:b.flv"));
    Command plain;
    plain.program = QStringLiteral("/t/x");
    plain.args = {QStringLiteral("a")};
    EXPECT_EQ(plain.effectiveArgs(), QStringList{QStringLiteral("a")});
}

}  // namespace
