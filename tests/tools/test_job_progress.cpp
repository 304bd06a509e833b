// The bar over a whole job on plain data: shares of the steps, the running command's own
// figure within its step, and the rule that only the finished job shows 100 %.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "tools/job_progress.h"
#include "tools/progress.h"
#include "tools/save_plan.h"
#include "tools/split/split_names.h"

using tools::JobProgress;
using tools::ProgressParser;

namespace {

TEST(JobProgress, StepsShareTheBarByTheirWeights) {
    JobProgress p(3);
    p.setWeights({10, 30, 60});
    EXPECT_EQ(p.percent(), 0);
    p.commandProgress(50);
    EXPECT_EQ(p.percent(), 5);  // half of the first tenth
    p.enterStep(2);
    EXPECT_EQ(p.percent(), 10);
    p.commandProgress(50);
    EXPECT_EQ(p.percent(), 25);
    p.enterStep(3);
    EXPECT_EQ(p.percent(), 40);
    p.commandProgress(99);
    EXPECT_EQ(p.percent(), 99);  // the last command at its end is not yet the job's end
    p.finish();
    EXPECT_EQ(p.percent(), 100);
}

TEST(JobProgress, WithoutWeightsEveryStepCountsTheSame) {
    JobProgress p(4);
    p.enterStep(2);
    EXPECT_EQ(p.percent(), 25);
    p.enterStep(4);
    EXPECT_EQ(p.percent(), 75);
    // Missing, zero, negative and non-finite weights take the others' average.
    JobProgress q(4);
    q.setWeights({2, 0, -1, std::numeric_limits<double>::quiet_NaN()});
    q.enterStep(3);
    EXPECT_EQ(q.percent(), 50);
    JobProgress r(3);
    r.setWeights({6});
    r.enterStep(2);
    EXPECT_EQ(r.percent(), 33);
    JobProgress none(0);  // a job always has a step
    EXPECT_EQ(none.steps(), 1);
    none.commandProgress(40);
    EXPECT_EQ(none.percent(), 40);
}

TEST(JobProgress, NeverMovesBackAndNeverShowsHundredBeforeTheEnd) {
    JobProgress p(2);
    p.enterStep(2);
    p.commandProgress(80);
    EXPECT_EQ(p.percent(), 90);
    p.commandProgress(10);  // a second command of the step (a retry) starts low
    EXPECT_EQ(p.percent(), 90);
    p.enterStep(1);  // an earlier step line again
    EXPECT_EQ(p.percent(), 90);
    p.enterStep(7);  // past the last step: still the last
    p.commandProgress(500);
    EXPECT_EQ(p.percent(), 99);

    // Any sequence of events: monotonic, below 100 until finish.
    std::mt19937 gen(15);
    for (int job = 0; job < 200; ++job) {
        const int steps = 1 + static_cast<int>(gen() % 12);
        JobProgress j(steps);
        std::vector<double> w;
        for (int i = 0; i < steps; ++i) w.push_back(static_cast<double>(gen() % 1000) / 7.0);
        j.setWeights(w);
        int last = 0;
        for (int e = 0; e < 60; ++e) {
            switch (gen() % 4) {
                case 0:
                    j.enterStep(1 + static_cast<int>(gen() % (steps + 1)));
                    break;
                case 1:
                    j.commandStarted();
                    break;
                default:
                    j.commandProgress(static_cast<int>(gen() % 110) - 5);
            }
            ASSERT_GE(j.percent(), last);
            ASSERT_LE(j.percent(), 99);
            last = j.percent();
        }
        j.finish();
        EXPECT_EQ(j.percent(), 100);
    }
}

TEST(JobProgress, BusyOnlyWhileNothingCanBeShown) {
    JobProgress p(3);
    EXPECT_TRUE(p.indeterminate());  // a probe with no length runs first
    p.commandProgress(-1);
    EXPECT_TRUE(p.indeterminate());
    p.commandProgress(0);  // the cut reports its own figure
    EXPECT_FALSE(p.indeterminate());
    p.commandStarted();  // the part check has none
    EXPECT_TRUE(p.indeterminate());
    p.enterStep(2);  // a finished step is something to show
    p.commandStarted();
    EXPECT_FALSE(p.indeterminate());
    EXPECT_EQ(p.percent(), 33);
    JobProgress one(1);
    one.finish();
    EXPECT_FALSE(one.indeterminate());
}

TEST(ProgressParser, ACopyOfUnknownLengthGoesBySize) {
    ProgressParser p(0, 4000);
    EXPECT_FALSE(p.feed("total_size=N/A\n"));
    EXPECT_EQ(p.percent(), -1);
    EXPECT_EQ(p.frames(), -1);
    EXPECT_TRUE(p.feed("frame=0\nout_time_us=1000000\ntotal_size=1000\n"));
    EXPECT_EQ(p.percent(), 25);
    EXPECT_EQ(p.frames(), 0);  // a copy that has written no picture yet
    p.feed("frame=250\n");
    EXPECT_EQ(p.frames(), 250);
    EXPECT_TRUE(p.feed("total_size=9000\nprogress=end\n"));
    EXPECT_EQ(p.percent(), 99);
    // The length wins when both are known: a re-encode's size says little.
    ProgressParser both(10, 100);
    both.feed("out_time_us=2000000\ntotal_size=90\n");
    EXPECT_EQ(both.percent(), 20);
}

TEST(SaveStepWeights, CutsByTheirSpansAndTheJoinByAllOfThem) {
    const std::vector<save::SegmentSeconds> spans{{0, 30}, {30, 60}, {60, 75.5}};
    const save::SavePlan split =
        save::makeSpanPlan(QStringLiteral("/v/a.flv"), spans, save::Mode::Split,
                           QStringLiteral("/out"), split::pieceNames());
    EXPECT_EQ(save::stepWeights(split), (std::vector<double>{30, 30, 16}));
    EXPECT_EQ(static_cast<int>(save::stepWeights(split).size()), split.steps);
    // ffmpeg cuts every part in the first step's one run.
    const save::SavePlan mp4 = save::makeSpanPlan(
        QStringLiteral("/v/a.mp4"), spans, save::Mode::Cut, QStringLiteral("/out/c.mp4"), {});
    EXPECT_EQ(save::stepWeights(mp4), (std::vector<double>{76, 0.001, 0.001, 76}));
    const save::SavePlan cut = save::makeSpanPlan(
        QStringLiteral("/v/a.flv"), spans, save::Mode::Cut, QStringLiteral("/out/c.flv"), {});
    EXPECT_EQ(save::stepWeights(cut), (std::vector<double>{30, 30, 16, 76}));
    EXPECT_EQ(static_cast<int>(save::stepWeights(cut).size()), cut.steps);
    // The bar through that job: the join is about half of it.
    JobProgress p(cut.steps);
    p.setWeights(save::stepWeights(cut));
    p.enterStep(4);
    EXPECT_EQ(p.percent(), 50);
}

}  // namespace
