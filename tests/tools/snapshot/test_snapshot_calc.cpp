// The snapshot calculator, the picture times and the command of one picture.
#include <gtest/gtest.h>

#include <vector>

#include "tools/snapshot/snapshot_calc.h"
#include "tools/snapshot/snapshot_plan.h"

using namespace snapshot;

namespace {

SnapFields moment(const QString& x) {
    SnapFields f;
    f.choice = SnapChoice::Moment;
    f.moment = x;
    return f;
}
SnapFields series(SnapChoice c, SnapSpacing s, const QString& value, const QString& a = {},
                  const QString& b = {}) {
    SnapFields f;
    f.choice = c;
    f.spacing = s;
    (s == SnapSpacing::Count ? f.count : f.interval) = value;
    f.from = a;
    f.end = b;
    return f;
}
std::vector<double> times(const SnapFields& f, double total) {
    const SnapCalc c = calculate(f, total, true);
    EXPECT_TRUE(c.ok);
    return pictureTimes(c);
}
void expectTimes(const std::vector<double>& got, const std::vector<double>& want) {
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < got.size(); ++i) EXPECT_NEAR(got[i], want[i], 1e-9) << i;
}

}  // namespace

TEST(SnapshotCalc, OneMomentAtTheEndAsksForATenthBefore) {
    const SnapCalc c = calculate(moment("60"), 60, true);
    ASSERT_TRUE(c.ok);
    EXPECT_FALSE(c.series());
    expectTimes(pictureTimes(c), {59.9});
    EXPECT_FALSE(calculate(moment(""), 60, true).ok);
    EXPECT_FALSE(calculate(moment("60.01"), 60, true).ok);
    EXPECT_TRUE(calculate(moment("0"), 60, true).ok);
    EXPECT_FALSE(calculate(moment("5"), 60, false).ok);
    EXPECT_FALSE(calculate(moment("5"), 0, true).ok);
}

TEST(SnapshotCalc, WholeFilmSeries) {
    expectTimes(times(series(SnapChoice::WholeFilm, SnapSpacing::Count, "4"), 60), {0, 15, 30, 45});
    expectTimes(times(series(SnapChoice::WholeFilm, SnapSpacing::Every, "25"), 60), {0, 25, 50});
    EXPECT_FALSE(calculate(series(SnapChoice::WholeFilm, SnapSpacing::Every, "60"), 60, true).ok);
    EXPECT_FALSE(calculate(series(SnapChoice::WholeFilm, SnapSpacing::Every, "0"), 60, true).ok);
    EXPECT_FALSE(calculate(series(SnapChoice::WholeFilm, SnapSpacing::Count, "0"), 60, true).ok);
    // One picture of the whole film is still a series (into a folder).
    const SnapCalc one =
        calculate(series(SnapChoice::WholeFilm, SnapSpacing::Count, "1"), 60, true);
    ASSERT_TRUE(one.ok);
    EXPECT_TRUE(one.series());
}

TEST(SnapshotCalc, RangeSeries) {
    EXPECT_FALSE(
        calculate(series(SnapChoice::Range, SnapSpacing::Every, "20", "10", "20"), 60, true).ok);
    expectTimes(times(series(SnapChoice::Range, SnapSpacing::Every, "10", "10", "20"), 60),
                {10, 19.9});
    expectTimes(times(series(SnapChoice::Range, SnapSpacing::Count, "2", "10", "20"), 60),
                {10, 15});
    EXPECT_FALSE(
        calculate(series(SnapChoice::Range, SnapSpacing::Count, "2", "20", "20"), 60, true).ok);
    EXPECT_FALSE(
        calculate(series(SnapChoice::Range, SnapSpacing::Count, "2", "10", "61"), 60, true).ok);
}

TEST(SnapshotCalc, AbsurdCountsAreRefusedNotAttempted) {
    EXPECT_FALSE(
        calculate(series(SnapChoice::WholeFilm, SnapSpacing::Count, "99999999999999"), 60, true)
            .ok);
    EXPECT_FALSE(
        calculate(series(SnapChoice::WholeFilm, SnapSpacing::Every, "0.01"), 3600, true).ok);
    EXPECT_TRUE(calculate(series(SnapChoice::WholeFilm, SnapSpacing::Count, "999"), 3600, true).ok);
}

TEST(SnapshotPlan, OnePictureSeeksOnTheInputAndWritesOneLiteralFile) {
    const tools::Command c = pictureCommand("/t/ffmpeg", "/v/-odd %d name.flv", 12.5,
                                            PictureType::Png, "/o/100%/~tmpSP001.png");
    const QStringList& a = c.args;
    const int ss = static_cast<int>(a.indexOf("-ss"));
    const int in = static_cast<int>(a.indexOf("-i"));
    ASSERT_GE(ss, 0);
    EXPECT_LT(ss, in);
    EXPECT_EQ(a[ss + 1], QStringLiteral("12.500"));
    EXPECT_EQ(a[in + 1], QStringLiteral("file:/v/-odd %d name.flv"));
    EXPECT_EQ(a.last(), QStringLiteral("file:/o/100%/~tmpSP001.png"));
    EXPECT_TRUE(a.contains("-update"));  // the name is not a pattern
    EXPECT_EQ(a[a.indexOf("-frames:v") + 1], QStringLiteral("1"));
    EXPECT_EQ(typeExt(PictureType::Gif), QStringLiteral("gif"));
    EXPECT_EQ(seriesName(11, "jpg"), QStringLiteral("snapshot_012.jpg"));
    EXPECT_EQ(timeText(19.9), QStringLiteral("19.900"));
}

TEST(SnapshotPlan, APictureNearTheStartDecodesFromTheBeginning) {
    for (double t : {0.0, 4.99}) {
        const QStringList a =
            pictureCommand("/t/ffmpeg", "/v/a.flv", t, PictureType::Png, "/o/p.png").args;
        EXPECT_GT(a.indexOf("-ss"), a.indexOf("-i")) << t;
    }
    const QStringList a =
        pictureCommand("/t/ffmpeg", "/v/a.flv", 5, PictureType::Png, "/o/p.png").args;
    EXPECT_LT(a.indexOf("-ss"), a.indexOf("-i"));
}

TEST(SnapshotPlan, ANameCarriesTheExtensionOfTheChosenType) {
    EXPECT_EQ(pictureFileName("/o/x.png", PictureType::Jpg), QStringLiteral("/o/x.jpg"));
    EXPECT_EQ(pictureFileName("/o/x.JPG", PictureType::Gif), QStringLiteral("/o/x.gif"));
    EXPECT_EQ(pictureFileName("/o/x.2024", PictureType::Png), QStringLiteral("/o/x.2024.png"));
    EXPECT_EQ(pictureFileName("/o/x", PictureType::Png), QStringLiteral("/o/x.png"));
    EXPECT_EQ(pictureFileName("/o/.png", PictureType::Jpg), QStringLiteral("/o/.png.jpg"));
    EXPECT_EQ(pictureFileName("/o.d/x", PictureType::Gif), QStringLiteral("/o.d/x.gif"));
    for (const char* same : {"/o/x.jpeg", "/o/X.JPG", "/o/x.jpe"})
        EXPECT_EQ(pictureFileName(same, PictureType::Jpg), QString::fromUtf8(same));
}

TEST(SnapshotPlan, SeveralPicturesAreOneRunWithAnInputAndAnOutputEach) {
    const tools::Command c =
        picturesCommand("/t/ffmpeg", "/v/a.flv", {1.0, 12.5, 30}, PictureType::Jpg,
                        {"/o/p1.jpg", "/o/p2.jpg", "/o/p3.jpg"});
    const QStringList& a = c.args;
    EXPECT_EQ(a.count("-i"), 3);
    EXPECT_EQ(a.count("-loglevel"), 1);
    EXPECT_EQ(a.count("-hide_banner"), 1);
    // Each output takes its own input: the near-start one seeks on its output, the others
    // on their inputs.
    const qsizetype out2 = a.indexOf("file:/o/p2.jpg");
    ASSERT_GT(out2, 0);
    EXPECT_EQ(a[a.lastIndexOf("-map", out2) + 1], QStringLiteral("1:V:0"));
    EXPECT_EQ(a[a.lastIndexOf("-ss", out2) + 1], QStringLiteral("12.500"));
    EXPECT_LT(a.lastIndexOf("-ss", out2), a.lastIndexOf("-i", out2));
    EXPECT_EQ(a[a.lastIndexOf("-map") + 1], QStringLiteral("2:V:0"));
    EXPECT_EQ(a.last(), QStringLiteral("file:/o/p3.jpg"));
    EXPECT_GT(a.indexOf("-ss"), a.indexOf("-i"));
    EXPECT_EQ(tempPictureName("png", 11), QStringLiteral("~tmpSP012.png"));
    // Each run's share of the bar is on its first step.
    const std::vector<double> w = pictureStepWeights(12);
    ASSERT_EQ(w.size(), 12u);
    EXPECT_EQ(w[0], 10);
    EXPECT_EQ(w[10], 2);
    EXPECT_LT(w[1] + w[11], 0.01);
}
