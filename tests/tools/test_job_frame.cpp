// The job frame end to end: the busy window over a real caller, real child processes, the
// tools written by the real LumbaResFLV into a private folder, scripted prompts.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QTest>
#include <QThread>
#include <QTimer>

#include "common/globals.h"
#include "common/host.h"
#include "common/paths.h"
#include "common/scripted_prompts.h"
#include "common/shell.h"
#include "common/temp_folder.h"
#include "job_env.h"
#include "text_checks.h"
#include "tool_test_support.h"
#include "tools/busy_state.h"
#include "tools/busy_window.h"
#include "tools/buzy_show.h"
#include "tools/deployment.h"
#include "tools/done_report.h"
#include "tools/job_frame.h"
#include "tools/runner.h"
#include "tools/tool_host.h"

using namespace tools;
using tooltest::writeScript;

namespace {

const QString kStopped = QStringLiteral("你已經中止程序！");

class JobTest : public jobtest::JobEnv {
  protected:
    void SetUp() override {
        JobEnv::SetUp();
        list_.setGeometry(300, 200, 500, 600);
        mainW_.setGeometry(100, 100, 640, 400);
        mainW_.show();
        host_.mainW = &mainW_;
    }

    QString script(const QString& name, const QString& body) {
        return writeScript(scripts_.path(), name, body);
    }
    Command cmd(const QString& program) {
        Command c;
        c.program = program;
        return c;
    }
    bool exists(const QString& name) const { return QFileInfo::exists(folder_ + name); }
    QStringList toolFiles() const {
        return QDir(TempFolder).entryList(QDir::Files | QDir::Hidden | QDir::System);
    }

    QTemporaryDir scripts_;
    QWidget mainW_;
    QWidget& listW_ = list_;
    ScriptedPrompts prompts_;
};

TEST_F(JobTest, BusyWindowCoversTheCallerAndTheOtherWindowHidesAndReturns) {
    buzySateShow(true, &listW_);
    frmBuzy* b = currentBuzy();
    ASSERT_NE(b, nullptr);
    EXPECT_TRUE(b->isVisible());
    EXPECT_EQ(b->geometry(), listW_.geometry());
    EXPECT_NEAR(b->windowOpacity(), 220.0 / 255.0, 0.01);
    EXPECT_EQ(b->caption(), QStringLiteral(" \r\n\r\n \r\n\r\n "));
    EXPECT_EQ(b->cmdBreak()->text(), QStringLiteral("中止程序"));
    EXPECT_FALSE(mainW_.isVisible());
    EXPECT_EQ(BuzyHiddenWindow, HiddenWindow::Main);
    // The stop panel sits at the bottom, centred; the caption above it.
    EXPECT_EQ(b->picBreak()->geometry().bottom(), b->height() - 1);
    EXPECT_NEAR(b->picBreak()->geometry().center().x(), b->width() / 2, 2);
    EXPECT_LE(b->lblBuzy()->geometry().bottom(), b->picBreak()->geometry().top());
    bool stopped = true;
    buzySateShow(false, &listW_, &stopped);
    EXPECT_FALSE(stopped);
    EXPECT_EQ(currentBuzy(), nullptr);
    EXPECT_TRUE(mainW_.isVisible());
    EXPECT_EQ(BuzyHiddenWindow, HiddenWindow::None);

    buzySateShow(true, &mainW_);
    EXPECT_EQ(currentBuzy()->geometry(), mainW_.geometry());
    EXPECT_FALSE(listW_.isVisible());
    EXPECT_TRUE(mainW_.isVisible());
    buzySateShow(false, &mainW_);
    EXPECT_TRUE(listW_.isVisible());
    EXPECT_TRUE(prompts_.shown().empty());
}

TEST_F(JobTest, StopDuringALongCommandEndsTheJobWithOneStopMessage) {
    QPushButton callerButton(QStringLiteral("x"), &mainW_);
    callerButton.setGeometry(10, 10, 80, 30);
    callerButton.show();
    int clicks = 0;
    QObject::connect(&callerButton, &QPushButton::clicked, [&] { ++clicks; });

    int shortcuts = 0;
    QShortcut openKey(QKeySequence(QStringLiteral("Ctrl+O")), &mainW_);
    QObject::connect(&openKey, &QShortcut::activated, [&] { ++shortcuts; });
    mainW_.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&mainW_));
    callerButton.setFocus();
    QTest::keyClick(mainW_.windowHandle(), Qt::Key_O, Qt::ControlModifier);
    ASSERT_EQ(shortcuts, 1) << "the shortcut works outside a job";
    shortcuts = 0;

    const QString longStep = script(QStringLiteral("long.sh"), QStringLiteral("exec sleep 30"));
    JobFrame job(&mainW_, Tool::Fix, 1);
    const QString out = folder_ + QStringLiteral("out.flv");
    ASSERT_TRUE(job.start(out, ToolSet::Fix1));
    EXPECT_TRUE(isBusy());
    bool closedDuring = true;
    QTimer::singleShot(300, [&] {
        // Input to the covered caller is ignored; a close waits for the job.
        QTest::mouseClick(&callerButton, Qt::LeftButton);
        QTest::keyClick(&callerButton, Qt::Key_Space);
        QTest::keyClick(mainW_.windowHandle(), Qt::Key_O, Qt::ControlModifier);
        mainW_.close();
        closedDuring = !mainW_.isVisible();
        QTest::mouseClick(currentBuzy()->cmdBreak(), Qt::LeftButton);
    });
    QElapsedTimer t;
    t.start();
    EXPECT_TRUE(job.removeTarget(out));
    EXPECT_EQ(job.run(1, cmd(longStep)), JobFrame::Step::Stopped);
    EXPECT_LT(t.elapsed(), 2000);
    EXPECT_TRUE(job.stopped());
    EXPECT_FALSE(job.finish(out));
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(shortcuts, 0);
    EXPECT_FALSE(closedDuring);
    EXPECT_EQ(prompts_.messageTexts(), QStringList{kStopped});
    EXPECT_FALSE(isBusy());
    EXPECT_TRUE(toolFiles().isEmpty()) << toolFiles().join(u' ').toStdString();
    // The close that waited happens once the job has ended.
    QTRY_VERIFY_WITH_TIMEOUT(!mainW_.isVisible(), 1000);
}

TEST_F(JobTest, StopEndsARealFfmpegStepAndItsPartialFile) {
    JobFrame job(&mainW_, Tool::Encode, 1);
    const QString out = folder_ + QStringLiteral("long.flv");
    ASSERT_TRUE(job.start(out, ToolSet::Encode));
    ASSERT_TRUE(job.removeTarget(out));
    const QString part = job.temp(QStringLiteral("~tmpSP001.flv"));
    // Real time input: 30 s of it would take 30 s.
    Command c = ffmpegCommand(
        job.paths().ffmpeg,
        {QStringLiteral("-y"), QStringLiteral("-re"), QStringLiteral("-f"), QStringLiteral("lavfi"),
         QStringLiteral("-i"), QStringLiteral("testsrc=size=64x48:rate=25:duration=30"),
         QStringLiteral("-c:v"), QStringLiteral("flv1"),
         ffmpegFile(QStringLiteral("~tmpSP001.flv"))},
        30.0);
    int barDuring = -1;
    QTimer::singleShot(1500, [&] {
        barDuring = currentBuzy()->bar()->value();
        QTest::mouseClick(currentBuzy()->cmdBreak(), Qt::LeftButton);
    });
    QElapsedTimer t;
    t.start();
    EXPECT_EQ(job.run(1, c), JobFrame::Step::Stopped);
    EXPECT_LT(t.elapsed(), 1500 + 2000);
    EXPECT_GE(barDuring, 0);
    EXPECT_LT(barDuring, 50);
    EXPECT_LT(currentBuzy()->bar()->value(), 100);  // a stopped job never shows 100 %
    EXPECT_FALSE(job.finish(out));
    EXPECT_FALSE(QFileInfo::exists(part));
    EXPECT_FALSE(QFileInfo::exists(out));
    EXPECT_EQ(prompts_.messageTexts(), QStringList{kStopped});
    EXPECT_TRUE(toolFiles().isEmpty());
}

TEST_F(JobTest, StopDuringStep2Of5RunsNoFurtherStepAndLeavesNoneOfItsFiles) {
    tooltest::writeFile(folder_ + QStringLiteral("~tmpS-notes.txt"), "mine");
    tooltest::writeFile(folder_ + QStringLiteral("~fix~tmpS-mine.flv"), "mine too");
    JobFrame job(&listW_, Tool::SaveCut, 5);
    const QString out = folder_ + QStringLiteral("cut.flv");
    tooltest::writeFile(out, "an older output the user agreed to replace");
    ASSERT_TRUE(job.start(out, ToolSet::Edit1));
    const QString caption = currentBuzy()->caption();
    EXPECT_TRUE(caption.startsWith(QStringLiteral("Lumba.FLV\r\n"))) << caption.toStdString();
    EXPECT_TRUE(caption.contains(QStringLiteral("「裁剪」")));
    EXPECT_TRUE(caption.endsWith(QStringLiteral("共有 5 個程序，正處理第 1 個")));
    ASSERT_TRUE(job.removeTarget(out));
    QStringList captions;
    for (int i = 1; i <= 5; ++i) {
        const QString part =
            job.temp(QStringLiteral("~tmpSP%1.flv").arg(i, 3, 10, QLatin1Char('0')));
        // Step 2 writes part of its file and then takes long: the stop cuts it short.
        const QString body =
            i == 2
                ? QStringLiteral("echo partial > '%1'\necho x > '%2'\nexec sleep 30").arg(part, out)
                : QStringLiteral("echo done > '%1'").arg(part);
        if (i == 2)
            QTimer::singleShot(
                300, [] { QTest::mouseClick(currentBuzy()->cmdBreak(), Qt::LeftButton); });
        const bool go = job.run(i, cmd(script(QStringLiteral("step%1.sh").arg(i), body))) ==
                        JobFrame::Step::Done;
        captions << currentBuzy()->caption().section(QStringLiteral("\r\n"), 4);
        if (!go) break;
    }
    EXPECT_EQ(captions, QStringList({QStringLiteral("共有 5 個程序，正處理第 1 個"),
                                     QStringLiteral("共有 5 個程序，正處理第 2 個")}));
    EXPECT_EQ(job.run(3, cmd(script(QStringLiteral("late.sh"),
                                    QStringLiteral("touch '%1late'").arg(folder_)))),
              JobFrame::Step::Stopped);
    EXPECT_FALSE(job.finish(out));
    EXPECT_FALSE(exists(QStringLiteral("late")));
    EXPECT_FALSE(QFileInfo::exists(out)) << "the cut-short output was left behind";
    for (int i = 1; i <= 5; ++i)
        EXPECT_FALSE(exists(QStringLiteral("~tmpSP%1.flv").arg(i, 3, 10, QLatin1Char('0'))));
    EXPECT_TRUE(exists(QStringLiteral("~tmpS-notes.txt")));
    EXPECT_TRUE(exists(QStringLiteral("~fix~tmpS-mine.flv")));
    EXPECT_EQ(prompts_.messageTexts(), QStringList{kStopped});
    EXPECT_TRUE(mainW_.isVisible());  // hidden for the job, back after it
}

TEST_F(JobTest, SuccessfulJobRunsTheWrittenFfmpegReportsAndRemovesTheTools) {
    tooltest::writeFile(folder_ + QStringLiteral("~tmpS-notes.txt"), "mine");
    JobFrame::prepare(&mainW_);
    EXPECT_EQ(host_.pauses, 1);
    JobFrame job(&mainW_, Tool::Encode, 3);
    const QString out = folder_ + QStringLiteral("-clip.flv");  // looks like an option
    ASSERT_TRUE(job.start(out, ToolSet::Encode));
    EXPECT_EQ(currentFolder(), folder_);
    EXPECT_TRUE(QFileInfo(job.paths().ffmpeg).isExecutable());
    EXPECT_TRUE(QFileInfo(job.paths().flvmdi).isExecutable());
    // The encode tool always shows step 1 of 1.
    job.showStep(3);
    EXPECT_TRUE(currentBuzy()->caption().endsWith(QStringLiteral("共有 1 個程序，正處理第 1 個")));
    ASSERT_TRUE(job.removeTarget(out));
    const QString tmp = job.temp(QStringLiteral("~tmpSP001.flv"));
    Command make = ffmpegCommand(
        job.paths().ffmpeg,
        {QStringLiteral("-y"), QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
         QStringLiteral("testsrc=size=64x48:rate=25:duration=1"), QStringLiteral("-c:v"),
         QStringLiteral("flv1"), ffmpegFile(QStringLiteral("~tmpSP001.flv"))},
        1.0);
    ASSERT_EQ(job.run(1, make), JobFrame::Step::Done);
    ASSERT_GT(fileLength(tmp), 0);
    Command copy = ffmpegCommand(
        job.paths().ffmpeg,
        {QStringLiteral("-y"), QStringLiteral("-i"), ffmpegFile(QStringLiteral("~tmpSP001.flv")),
         QStringLiteral("-c"), QStringLiteral("copy"), ffmpegFile(QStringLiteral("-clip.flv"))},
        1.0);
    ASSERT_EQ(job.run(2, copy), JobFrame::Step::Done);
    Command mdi = cmd(job.paths().flvmdi);
    mdi.args = {out};
    ASSERT_EQ(job.run(3, mdi), JobFrame::Step::Done);
    prompts_.answer(prompts::Answer::Ok);
    // A termination that arrives while the report is up waits until it is answered.
    bool terminated = false, terminatedDuringReport = false;
    prompts_.onShown = [&](const ScriptedPrompts::Shown&) {
        whenIdle([&] { terminated = true; });
        terminatedDuringReport = terminated;
    };
    EXPECT_TRUE(job.finish(out));
    prompts_.onShown = nullptr;
    EXPECT_FALSE(terminatedDuringReport);
    EXPECT_TRUE(terminated);
    ASSERT_EQ(prompts_.messageTexts().size(), 1);
    const QString report = prompts_.messageTexts().first();
    EXPECT_TRUE(
        report.startsWith(QStringLiteral("全部的檔案處理程序已經成功結束\r\n總共使用的時間有 ")))
        << report.toStdString();
    EXPECT_EQ(prompts_.last().title, QStringLiteral("Lumba.FLV"));
    EXPECT_EQ(shell_.explored, QStringList{out});
    EXPECT_GT(fileLength(out), 0);
    EXPECT_FALSE(QFileInfo::exists(tmp));
    EXPECT_TRUE(exists(QStringLiteral("~tmpS-notes.txt")));
    EXPECT_TRUE(toolFiles().isEmpty()) << toolFiles().join(u' ').toStdString();
}

TEST_F(JobTest, FailedStepShowsTheErrorMessageAndRemovesAnEmptyOutput) {
    JobFrame job(&listW_, Tool::Split, 2);
    const QString out = folder_ + QStringLiteral("piece.mpg");
    ASSERT_TRUE(job.start(out, ToolSet::Edit2));
    ASSERT_TRUE(job.removeTarget(out));
    ASSERT_EQ(
        job.run(1, cmd(script(QStringLiteral("empty.sh"), QStringLiteral("touch '%1'").arg(out)))),
        JobFrame::Step::Done);
    // A command that cannot start is a failed step.
    ASSERT_EQ(job.run(2, cmd(folder_ + QStringLiteral("no-such-tool"))), JobFrame::Step::Failed);
    EXPECT_FALSE(job.finish(out, fileLength(out) == 0));
    EXPECT_FALSE(QFileInfo::exists(out));
    ASSERT_EQ(prompts_.messageTexts().size(), 1);
    // The split's own format line between the error and the other program.
    EXPECT_TRUE(hasInOrder(prompts_.messageTexts().first(),
                           {QStringLiteral("出現錯誤，無法成功處理檔案"),
                            QStringLiteral("進一步的切割"), QStringLiteral("其他程式")}));
    EXPECT_EQ(prompts_.last().title, QStringLiteral("錯誤訊息"));
    EXPECT_TRUE(mainW_.isVisible());
}

TEST_F(JobTest, ReencodeQuestionLeavesItsTimeOutOfTheReport) {
    JobFrame job(&mainW_, Tool::Fix, 1);
    const QString out = folder_ + QStringLiteral("fixed.flv");
    ASSERT_TRUE(job.start(out, ToolSet::Fix1));
    prompts_.answer(prompts::Answer::Ok).answer(prompts::Answer::Ok);
    prompts_.onShown = [](const ScriptedPrompts::Shown& s) {
        if (s.text.startsWith(QStringLiteral("修復後"))) QThread::msleep(1200);
    };
    EXPECT_TRUE(job.askReencode());
    prompts_.onShown = nullptr;
    ASSERT_EQ(job.run(1, cmd(script(QStringLiteral("w.sh"),
                                    QStringLiteral("echo data > '%1'").arg(out)))),
              JobFrame::Step::Done);
    EXPECT_TRUE(job.finish(out));
    const QStringList texts = prompts_.messageTexts();
    ASSERT_EQ(texts.size(), 2);
    EXPECT_TRUE(texts[0].startsWith(QStringLiteral("修復後的檔案，音訊必須重新編碼")));
    const QString secs =
        texts[1].section(QStringLiteral("總共使用的時間有 "), 1).section(u' ', 0, 0);
    EXPECT_LT(secs.toDouble(), 1.0) << texts[1].toStdString();
}

// An output folder that is missing, that is really a file, or that sits on a file system
// taking no files (refused even to root) ends the job before anything of it happens: its own
// message, no busy window, no tools written, the current folder unchanged.
TEST_F(JobTest, OutputFolderThatCannotTakeFilesEndsTheJobBeforeItStarts) {
    const QString plain = folder_ + QStringLiteral("plain.txt");
    tooltest::writeFile(plain, "a file, not a folder");
    const QString before = currentFolder();
    const QStringList bad{folder_ + QStringLiteral("missing"), plain, QStringLiteral("/proc")};
    for (const QString& folder : bad) {
        SCOPED_TRACE(folder.toStdString());
        EXPECT_FALSE(folderWritable(folder));
        prompts_.clear();
        bool busyDuringBox = true;
        prompts_.onShown = [&](const ScriptedPrompts::Shown&) {
            busyDuringBox = currentBuzy() != nullptr || !listW_.isVisible();
        };
        JobFrame job(&mainW_, Tool::SaveCut, 3);
        const QString out = folder + QStringLiteral("/cut.flv");
        EXPECT_FALSE(job.start(out, ToolSet::Edit1));
        prompts_.onShown = nullptr;
        ASSERT_EQ(prompts_.shown().size(), 1u);
        EXPECT_EQ(prompts_.last().text,
                  QStringLiteral("輸出的資料夾不存在，或是無法寫入：\r\n\r\n") + folder);
        EXPECT_EQ(prompts_.last().title, QStringLiteral("錯誤訊息"));
        EXPECT_EQ(prompts_.last().buttons, prompts::Buttons::Ok);
        EXPECT_FALSE(busyDuringBox);
        EXPECT_EQ(currentBuzy(), nullptr);
        EXPECT_FALSE(isBusy());
        EXPECT_TRUE(toolFiles().isEmpty()) << toolFiles().join(u' ').toStdString();
        EXPECT_EQ(currentFolder(), before);
        // Not started, so there is nothing to finish or report.
        EXPECT_FALSE(job.finish(out));
        EXPECT_EQ(prompts_.shown().size(), 1u);
    }
    EXPECT_EQ(tooltest::readFile(plain), QByteArray("a file, not a folder"));

    // A folder that takes files passes, and the check leaves nothing in it.
    const QDir::Filters all = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
    const QStringList entries = QDir(folder_).entryList(all);
    EXPECT_TRUE(folderWritable(folder_));
    EXPECT_TRUE(folderWritable(folder_.chopped(1)));
    EXPECT_EQ(QDir(folder_).entryList(all), entries);
    EXPECT_FALSE(folderWritable(QString()));
}

// The package program cannot put ffmpeg in place (a folder holds its name, which stops root
// too): the job fails on its failure path before any command, with the tool's error box, and
// leaves nothing of its own; the user's older file of the output's name stays.
TEST_F(JobTest, ToolsThatCannotBeWrittenFailTheJob) {
    const QString blocker = TempFolder + QStringLiteral("~tmpLmbFmg.exe");
    ASSERT_TRUE(QDir().mkpath(blocker + QStringLiteral("/inside")));
    const QString out = folder_ + QStringLiteral("shot.bmp");
    tooltest::writeFile(out, "older picture");
    JobFrame job(&mainW_, Tool::Snapshot, 1);
    EXPECT_FALSE(job.start(out, ToolSet::Snap));
    EXPECT_EQ(prompts_.messageTexts().size(), 1);
    EXPECT_TRUE(prompts_.last().text.startsWith(QStringLiteral("出現錯誤，無法成功處理檔案")));
    EXPECT_EQ(prompts_.last().title, QStringLiteral("錯誤訊息"));
    EXPECT_EQ(currentBuzy(), nullptr);
    EXPECT_TRUE(mainW_.isVisible() && listW_.isVisible());
    EXPECT_FALSE(job.finish(out));  // already ended: no second box
    EXPECT_EQ(prompts_.messageTexts().size(), 1);
    EXPECT_EQ(QDir(folder_).entryList(QDir::Files | QDir::Hidden), QStringList{"shot.bmp"});
    EXPECT_EQ(tooltest::readFile(out), QByteArray("older picture"));
    EXPECT_TRUE(toolFiles().isEmpty()) << toolFiles().join(u' ').toStdString();
    QDir(blocker).removeRecursively();
}

TEST_F(JobTest, OnlyOneJobAtATime) {
    JobFrame first(&mainW_, Tool::Snapshot, 1);
    ASSERT_TRUE(first.start(folder_ + QStringLiteral("a.bmp"), ToolSet::Snap));
    JobFrame second(&mainW_, Tool::Snapshot, 1);
    EXPECT_FALSE(second.start(folder_ + QStringLiteral("b.bmp"), ToolSet::Snap));
    bool ran = false;
    whenIdle([&] { ran = true; });
    EXPECT_FALSE(ran);
    first.finish(folder_ + QStringLiteral("a.bmp"), true);
    EXPECT_TRUE(ran);
}

TEST_F(JobTest, OutputThatIsTheSourceIsRecognised) {
    const QString src = folder_ + QStringLiteral("s.flv");
    tooltest::writeFile(src, "x");
    EXPECT_TRUE(JobFrame::isOwnSource(folder_ + QStringLiteral("./s.flv"), src));
    EXPECT_FALSE(JobFrame::isOwnSource(folder_ + QStringLiteral("t.flv"), src));
}

TEST_F(JobTest, ReportTextsAndWhereOkLeads) {
    EXPECT_EQ(secondsText(0.5), QStringLiteral(".50"));
    EXPECT_EQ(secondsText(12.345), QStringLiteral("12.35"));
    EXPECT_EQ(secondsText(12.345f), QStringLiteral("12.35"));
    EXPECT_EQ(secondsText(3), QStringLiteral("3.00"));
    EXPECT_EQ(secondsText(0.004), QStringLiteral(".00"));
    const QStringList whereOkLeads{QStringLiteral("「確定」"), QStringLiteral("檔案總管"),
                                   QStringLiteral("檔案列表")};
    EXPECT_TRUE(hasInOrder(
        doneReportText(0.5, false),
        QStringList{QStringLiteral("成功結束"), QStringLiteral("時間有 .50 秒")} + whereOkLeads));
    EXPECT_TRUE(
        hasInOrder(doneReportText(0, true), QStringList{QStringLiteral("中止")} + whereOkLeads));
    EXPECT_FALSE(doneReportText(0, true).contains(QStringLiteral("時間")));
    EXPECT_FALSE(doneReportText(-3, false).contains(QStringLiteral("時間")));

    const QString file = folder_ + QStringLiteral("new.flv");
    doneAfterSave(file, false, 1, false);  // not there: nothing
    EXPECT_TRUE(prompts_.shown().empty());
    tooltest::writeFile(file, "x");
    doneAfterSave(file, true, 0, false);
    EXPECT_TRUE(prompts_.shown().empty());
    EXPECT_EQ(host_.selected, QStringList{file});
    prompts_.answer(prompts::Answer::Cancel);
    doneAfterSave(file, false, 12.345, false);
    EXPECT_TRUE(prompts_.last().text.contains(QStringLiteral("12.35 秒")));
    EXPECT_TRUE(shell_.explored.isEmpty());
    host_.toList = true;
    prompts_.answer(prompts::Answer::Ok);
    doneAfterSave(file, false, 0, false);
    EXPECT_EQ(host_.selected, QStringList({file, file}));
    EXPECT_TRUE(shell_.explored.isEmpty());
}

TEST_F(JobTest, DeploymentRemovesWhatEachChoiceNames) {
    const QStringList all{QStringLiteral("~tmpLmbMcd.exe"), QStringLiteral("~tmpLmbFmg.exe"),
                          QStringLiteral("~tmpLmbFmd.exe"), QStringLiteral("~tmpLmbFlv.wmv")};
    auto plant = [&] {
        for (const QString& n : all) tooltest::writeFile(TempFolder + n, "left over");
    };
    plant();
    removeResources(Deployed::All);  // what start-up does
    EXPECT_TRUE(toolFiles().isEmpty());
    EXPECT_EQ(appHost_.released, QStringList{TempFolder + QStringLiteral("~tmpLmbFlv.wmv")});
    plant();
    removeResources(Deployed::Tools);
    EXPECT_EQ(toolFiles(), QStringList{QStringLiteral("~tmpLmbFlv.wmv")});
    plant();
    removeResources(Deployed::CaptureClip);
    EXPECT_EQ(toolFiles().size(), 3);
    removeResources(Deployed::All);
}

TEST_F(JobTest, BothProgramsPickTheSameFolderAndCreatingWaitsForThePackage) {
    for (const bool runtime : {false, true}) {
        if (runtime) {
            const QString run = base_.path() + QStringLiteral("/run");
            QDir().mkpath(run);
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(run));
        }
        TempFolder = privateTempFolder();
        ASSERT_FALSE(TempFolder.isEmpty());
        EXPECT_EQ(TempFolder.startsWith(base_.path() + QStringLiteral("/run/")), runtime);
        // When deployResources returns, the package program has ended and the file is whole.
        ASSERT_TRUE(deployResources(ToolSet::CaptureClip));
        EXPECT_GT(fileLength(toolPaths().captureClip), 1000);
        EXPECT_EQ(toolFiles(), QStringList{QStringLiteral("~tmpLmbFlv.wmv")});
        removeResources(Deployed::All);
    }
    qunsetenv("XDG_RUNTIME_DIR");
    // A link planted under the folder's name: both programs refuse it, nothing is written.
    removeResources(Deployed::All);
    const QString own = privateTempFolder();
    ASSERT_TRUE(QDir(own).removeRecursively());
    const QString elsewhere = base_.path() + QStringLiteral("/elsewhere");
    QDir().mkpath(elsewhere);
    ASSERT_TRUE(QFile::link(elsewhere, own.chopped(1)));
    EXPECT_TRUE(privateTempFolder().isEmpty());
    TempFolder = own;  // as if the player had not noticed: the package program still refuses
    EXPECT_FALSE(deployResources(ToolSet::Fix2));
    EXPECT_TRUE(QDir(elsewhere).isEmpty());
    QFile::remove(own.chopped(1));
    // No package program: false at once, nothing written.
    ProgramFolder = folder_;
    EXPECT_FALSE(deployResources(ToolSet::Fix2));
}

TEST_F(JobTest, ToolKindAndTexts) {
    EXPECT_EQ(toolKind(QStringLiteral("flv")), ToolKind::Flv);
    EXPECT_EQ(toolKind(QStringLiteral("FLV")), ToolKind::Flv);
    for (const char* e : {"mpeg", "mpg", "vob"})
        EXPECT_EQ(toolKind(QLatin1String(e)), ToolKind::Mpeg);
    for (const char* e : {"avi", "mp4", ""}) EXPECT_EQ(toolKind(QLatin1String(e)), ToolKind::Other);
    // The package program's words: the family's digit after the job's word.
    EXPECT_EQ(toolSetWord(editTools(ToolKind::Flv)), QStringLiteral("Edit1"));
    EXPECT_EQ(toolSetWord(editTools(ToolKind::Other)), QStringLiteral("Edit3"));
    EXPECT_EQ(toolSetWord(fixTools(ToolKind::Mpeg)), QStringLiteral("Fix2"));
    EXPECT_EQ(toolSetWord(ToolSet::CaptureClip), QStringLiteral("CapMCI"));
    EXPECT_EQ(toolTexts(Tool::Join).workingLine, QStringLiteral("正在進行「合併」多媒體檔案"));
    EXPECT_TRUE(toolTexts(Tool::Join).fixedStepLine);
    EXPECT_FALSE(toolTexts(Tool::Split).fixedStepLine);
    EXPECT_TRUE(reencodeQuestion(toolTexts(Tool::Snapshot)).isEmpty());
    EXPECT_TRUE(reencodeQuestion(toolTexts(Tool::Encode)).isEmpty());
    // What is re-encoded and for which job, then what OK and Cancel do to that job.
    EXPECT_TRUE(hasInOrder(
        reencodeQuestion(toolTexts(Tool::SaveSplit)),
        {QStringLiteral("分割後的區段"), QStringLiteral("重新編碼"), QStringLiteral("「另存分割」"),
         QStringLiteral("「確定」則繼續"), QStringLiteral("「取消」則中止這個「另存分割」")}));
    EXPECT_TRUE(hasInOrder(reencodeQuestion(toolTexts(Tool::Join)),
                           {QStringLiteral("合併後的檔案"), QStringLiteral("「合併」程序")}));
    EXPECT_EQ(toolTexts(Tool::SaveCut).formatLine,
              QStringLiteral("可能是檔案格式不支援進一步的剪輯"));
    EXPECT_EQ(toolTexts(Tool::Encode).formatLine,
              QStringLiteral("可能是檔案格式不支援進一步的轉檔"));
}

}  // namespace
