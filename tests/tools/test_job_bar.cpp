// The busy window's bar through real jobs: the real LumbaResFLV writes ffmpeg and flvmdi,
// the split tool cuts clips ffmpeg makes at test time, and every value the bar takes is
// recorded as it happens. A stop in the middle leaves nothing behind.
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <memory>

#include "common/globals.h"
#include "common/host.h"
#include "common/media_kinds.h"
#include "common/scripted_prompts.h"
#include "common/temp_folder.h"
#include "file_bytes.h"
#include "job_env.h"
#include "test_media.h"
#include "tool_test_support.h"
#include "tools/busy_state.h"
#include "tools/busy_window.h"
#include "tools/buzy_show.h"
#include "tools/fix/fix_job.h"
#include "tools/split/split_job.h"

using namespace split;
using prompts::Answer;

namespace {

// About 8 MB, so that flvmdi's cut of a third reports several blocks on its way.
std::string bigFlv() {
    return testmedia::makeClip(
        "bar_h264_aac.flv",
        {"-f",       "lavfi",   "-i",      "testsrc2=size=480x360:rate=25:duration=20",
         "-f",       "lavfi",   "-i",      "sine=frequency=440:sample_rate=44100:duration=20",
         "-c:v",     "libx264", "-preset", "ultrafast",
         "-qp",      "4",       "-g",      "50",
         "-pix_fmt", "yuv420p", "-c:a",    "aac",
         "-shortest"});
}

std::string mp4Clip() {
    return testmedia::makeClip(
        "bar_h264_aac.mp4",
        {"-f", "lavfi", "-i", "testsrc2=size=160x120:rate=25:duration=20", "-f", "lavfi", "-i",
         "sine=frequency=440:sample_rate=44100:duration=20", "-c:v", "libx264", "-preset",
         "veryfast", "-g", "50", "-pix_fmt", "yuv420p", "-c:a", "aac", "-shortest"});
}

// Every figure the busy window's bar shows while it is a percentage bar, from the moment a
// busy window appears until it closes. onValue may act on the job (press the stop button).
class BarRecorder : public QObject {
  public:
    std::vector<int> values;
    std::function<void(int)> onValue;

    BarRecorder() {
        poll_.setInterval(1);
        connect(&poll_, &QTimer::timeout, this, [this] { attach(); });
        poll_.start();
    }

  private:
    void attach() {
        tools::frmBuzy* b = tools::currentBuzy();
        if (!b || b == seen_) return;
        seen_ = b;
        QProgressBar* bar = b->bar();
        if (bar->maximum() == 100) note(bar->value());
        connect(bar, &QProgressBar::valueChanged, this, [this, bar](int v) {
            if (bar->maximum() == 100) note(v);
        });
    }
    void note(int v) {
        if (v < 0) return;
        values.push_back(v);
        if (onValue) onValue(v);
    }
    QTimer poll_;
    QPointer<tools::frmBuzy> seen_;
};

class JobBarTest : public jobtest::OwnWindowJobEnv {
  protected:
    QStringList folderFiles() const {
        QStringList l = QDir(folder_).entryList(QDir::Files | QDir::Hidden | QDir::System);
        l.sort();
        return l;
    }
    SplitRequest threeParts(const QString& src) {
        SplitRequest r;
        r.source = src;
        r.fields.option = SplitOption::EqualParts;
        r.fields.eq[0] = QStringLiteral("3");
        r.totalSeconds = testmedia::probeDuration(src.toStdString());
        r.caller = win_.get();
        return r;
    }
};

void expectClimbsToHundredOnlyAtTheEnd(const std::vector<int>& v) {
    ASSERT_GE(v.size(), 2u);
    for (size_t i = 1; i < v.size(); ++i) EXPECT_GE(v[i], v[i - 1]) << "at " << i;
    EXPECT_EQ(v.back(), 100);
    for (size_t i = 0; i + 1 < v.size(); ++i) EXPECT_LT(v[i], 100) << "at " << i;
}

// Three parts of a 20 s clip are cut as 7, 8 and 7 seconds: the bar shows the end of each
// part's share of the job (the command's own last figure, or the next step's start), however
// the tool's progress lines arrive.
void passesEveryPartsShare(const std::vector<int>& v) {
    auto seen = [&](int lo, int hi) {
        return std::any_of(v.begin(), v.end(), [&](int x) { return x >= lo && x <= hi; });
    };
    EXPECT_TRUE(seen(25, 40)) << ::testing::PrintToString(v);
    EXPECT_TRUE(seen(60, 72)) << ::testing::PrintToString(v);
    EXPECT_TRUE(seen(90, 99)) << ::testing::PrintToString(v);
}

TEST_F(JobBarTest, FlvSplitClimbsThroughEveryPartAndEndsAtHundred) {
    const QString src = source(bigFlv(), QStringLiteral("-\"大\" clip's.flv"));
    ScriptedPrompts sp;
    sp.folderChosen(work_.path()).answer(Answer::Ok);
    BarRecorder rec;
    const save::SaveOutcome o = runSplit(threeParts(src));
    ASSERT_TRUE(o.succeeded) << sp.messageTexts().join(u'|').toStdString();
    expectClimbsToHundredOnlyAtTheEnd(rec.values);
    passesEveryPartsShare(rec.values);
    EXPECT_EQ(md5Of(src), md5_);
}

// ffmpeg cuts the three parts side by side in one run: its progress is the whole job's.
TEST_F(JobBarTest, FfmpegSplitInOneRunFollowsThatRun) {
    const QString src = source(mp4Clip(), QStringLiteral("clip.mp4"));
    ScriptedPrompts sp;
    sp.folderChosen(work_.path()).answer(Answer::Ok);
    BarRecorder rec;
    const save::SaveOutcome o = runSplit(threeParts(src));
    ASSERT_TRUE(o.succeeded) << sp.messageTexts().join(u'|').toStdString();
    expectClimbsToHundredOnlyAtTheEnd(rec.values);
    EXPECT_TRUE(std::any_of(rec.values.begin(), rec.values.end(), [](int v) {
        return v >= 90 && v <= 99;
    })) << ::testing::PrintToString(rec.values);
}

TEST_F(JobBarTest, AFixOfUnknownLengthGoesByTheCopysSize) {
    const QString src = source(testmedia::clip("mpeg1.mpg"), QStringLiteral("clip.mpg"));
    ScriptedPrompts sp;
    sp.files({folder_ + QStringLiteral("clip_fix.mpg")}).answer(Answer::Cancel);
    BarRecorder rec;
    const fix::FixOutcome o = fix::mediaFix(win_.get(), src);
    ASSERT_TRUE(o.succeeded) << sp.messageTexts().join(u'|').toStdString();
    expectClimbsToHundredOnlyAtTheEnd(rec.values);
    // ffmpeg's last report before its end: the copy is about as large as the source.
    ASSERT_GE(rec.values.size(), 2u);
    EXPECT_GE(rec.values[rec.values.size() - 2], 80) << ::testing::PrintToString(rec.values);
}

TEST_F(JobBarTest, StopInTheSecondPartEndsAtOnceAndLeavesNothing) {
    const QString src = source(bigFlv(), QStringLiteral("stop me.flv"));
    ScriptedPrompts sp;
    sp.folderChosen(work_.path()).answer(Answer::Ok);
    BarRecorder rec;
    QElapsedTimer sinceStop;
    rec.onValue = [&](int v) {
        if (v < 40 || sinceStop.isValid()) return;
        sinceStop.start();
        tools::frmBuzy* b = tools::currentBuzy();
        ASSERT_NE(b, nullptr);
        b->cmdBreak()->click();
    };
    const save::SaveOutcome o = runSplit(threeParts(src));
    const qint64 stopToEnd = sinceStop.elapsed();
    ASSERT_TRUE(sinceStop.isValid()) << ::testing::PrintToString(rec.values);
    EXPECT_TRUE(o.started);
    EXPECT_FALSE(o.succeeded);
    EXPECT_LT(stopToEnd, 1000);
    EXPECT_EQ(sp.messageTexts(), QStringList{QStringLiteral("你已經中止程序！")});
    for (int v : rec.values) EXPECT_LT(v, 100);
    EXPECT_TRUE(folderFiles().isEmpty()) << folderFiles().join(u' ').toStdString();
    EXPECT_EQ(md5Of(src), md5_);
}

}  // namespace
