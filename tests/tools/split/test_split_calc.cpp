// The split calculator and its piece table: the limits of each option, the notes, and the
// cut times the pieces get.
#include <gtest/gtest.h>

#include "tools/save_plan.h"
#include "tools/split/split_calc.h"

using namespace split;

namespace {

// A 75.5 s file of 1000 KB.
SplitSource source(double total = 75.5, qint64 kb = 1000) { return {true, total, kb * 1024}; }

SplitFields eq(SplitOption o, const QString& v) {
    SplitFields f;
    f.option = o;
    f.eq[static_cast<size_t>(o)] = v;
    return f;
}

SplitFields section(SplitOption o, const QString& a, const QString& b) {
    SplitFields f;
    f.option = o;
    const auto i = static_cast<size_t>(static_cast<int>(o) - 3);
    f.from[i] = a;
    f.end[i] = b;
    return f;
}

}  // namespace

TEST(SplitCalc, EqualPartsAcceptTwoToNinetyNine) {
    EXPECT_FALSE(calculate(eq(SplitOption::EqualParts, "1"), source()).ok);
    EXPECT_FALSE(calculate(eq(SplitOption::EqualParts, "100"), source()).ok);
    EXPECT_FALSE(calculate(eq(SplitOption::EqualParts, ""), source()).ok);
    const SplitCalc c = calculate(eq(SplitOption::EqualParts, "99"), source());
    EXPECT_TRUE(c.ok);
    EXPECT_EQ(c.countMinus1, 98);
    EXPECT_EQ(c.notes.count, QStringLiteral("目前切割數 099"));
    EXPECT_EQ(calculate(eq(SplitOption::EqualParts, "5"), source()).notes.count,
              QStringLiteral("目前切割數 005"));
}

TEST(SplitCalc, NothingIsAcceptedWithoutAMeasuredExistingSource) {
    EXPECT_FALSE(calculate(eq(SplitOption::EqualParts, "3"), {false, 75.5, 1024000}).ok);
    EXPECT_FALSE(calculate(eq(SplitOption::EqualParts, "3"), source(0)).ok);
    EXPECT_FALSE(calculate(eq(SplitOption::EqualParts, "3"), source(75.5, 0)).ok);
    const SplitCalc c = calculate(eq(SplitOption::EqualParts, "3"), source(0));
    EXPECT_EQ(c.notes.count, QStringLiteral("目前切割數  ？"));
    EXPECT_EQ(c.notes.share, QStringLiteral("佔全部 ？ %"));
}

TEST(SplitCalc, SecondUnitsGiveThePiecesAndCutTimesOfTheEdgeCase) {
    EXPECT_FALSE(calculate(eq(SplitOption::SecondsUnits, "75.5"), source()).ok);
    EXPECT_FALSE(calculate(eq(SplitOption::SecondsUnits, "80"), source()).ok);
    EXPECT_FALSE(calculate(eq(SplitOption::SecondsUnits, "0"), source()).ok);
    const SplitFields f = eq(SplitOption::SecondsUnits, "30");
    const SplitCalc c = calculate(f, source());
    ASSERT_TRUE(c.ok);
    EXPECT_EQ(c.notes.count, QStringLiteral("目前切割數 003"));
    const auto pieces = pieceTable(f, c);
    ASSERT_EQ(pieces.size(), 3u);
    const double starts[] = {0, 30, 60}, ends[] = {30, 60, 75.5};
    const int64_t S[] = {0, 30, 60}, L[] = {30, 30, 16};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_DOUBLE_EQ(pieces[i].start, starts[i]);
        EXPECT_DOUBLE_EQ(pieces[i].end, ends[i]);
        const save::CutTimes t = save::cutTimes(pieces[i].start, pieces[i].end);
        EXPECT_EQ(t.start, S[i]);
        EXPECT_EQ(t.length, L[i]);
    }
}

TEST(SplitCalc, PiecesCutToHundredthsStillReachTheEnd) {
    // 75.5 / 7 = 10.7857.. is cut to 10.78: seven such pieces would stop at 75.46.
    const SplitFields f = eq(SplitOption::EqualParts, "7");
    const SplitCalc c = calculate(f, source());
    ASSERT_TRUE(c.ok);
    EXPECT_NEAR(c.start, 10.78, 1e-9);
    const auto pieces = pieceTable(f, c);
    ASSERT_EQ(pieces.size(), 7u);
    EXPECT_DOUBLE_EQ(pieces.back().end, 75.5);
    for (size_t i = 1; i < pieces.size(); ++i) EXPECT_DOUBLE_EQ(pieces[i].start, pieces[i - 1].end);
    // A fraction of a part counts as the nearest whole number of parts, all of the file cut.
    const SplitFields half = eq(SplitOption::EqualParts, "2.6");
    const SplitCalc h = calculate(half, source());
    ASSERT_TRUE(h.ok);
    EXPECT_EQ(pieceTable(half, h).size(), 3u);
    EXPECT_DOUBLE_EQ(pieceTable(half, h).back().end, 75.5);
}

TEST(SplitCalc, KilobyteUnitsCountBySizeAndCutByRate) {
    const SplitFields f = eq(SplitOption::KilobyteUnits, "300");
    const SplitCalc c = calculate(f, source());  // 1000 KB / 300 -> 4 pieces
    ASSERT_TRUE(c.ok);
    EXPECT_EQ(c.countMinus1, 3);
    EXPECT_DOUBLE_EQ(c.start, 22.65);  // 75.5 / 1000 * 300
    EXPECT_FALSE(calculate(eq(SplitOption::KilobyteUnits, "1000"), source()).ok);
    EXPECT_FALSE(calculate(eq(SplitOption::KilobyteUnits, "10"), source()).ok);  // 100 pieces
}

TEST(SplitCalc, SecondsSectionLimits) {
    EXPECT_FALSE(calculate(section(SplitOption::SecondsSection, "10", "10"), source()).ok);
    EXPECT_FALSE(calculate(section(SplitOption::SecondsSection, "20", "10"), source()).ok);
    EXPECT_FALSE(calculate(section(SplitOption::SecondsSection, "0", "75.51"), source()).ok);
    const SplitFields f = section(SplitOption::SecondsSection, "0", "75.5");
    const SplitCalc c = calculate(f, source());
    ASSERT_TRUE(c.ok);
    EXPECT_EQ(c.notes.panel, 1);
    EXPECT_EQ(c.notes.seconds, QStringLiteral("75.50 秒"));
    EXPECT_EQ(c.notes.share, QStringLiteral("佔全部 100.00 %"));
    const auto pieces = pieceTable(f, c);
    ASSERT_EQ(pieces.size(), 1u);
    EXPECT_DOUBLE_EQ(pieces[0].end, 75.5);
}

TEST(SplitCalc, PercentAndKilobyteSectionNotes) {
    const SplitCalc p = calculate(section(SplitOption::PercentSection, "10", "20"), source());
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.notes.share, QStringLiteral("佔全部 10.00 %"));
    EXPECT_EQ(p.notes.seconds, QStringLiteral("7.55 秒"));
    EXPECT_EQ(p.notes.kilobytes, QStringLiteral("100 KB"));
    const SplitCalc eighth = calculate(section(SplitOption::SecondsSection, "0", "9.44"), source());
    EXPECT_EQ(eighth.notes.share, QStringLiteral("佔全部 12.50 %"));
    const SplitCalc k = calculate(section(SplitOption::KilobyteSection, "100", "350.7"), source());
    ASSERT_TRUE(k.ok);
    EXPECT_EQ(k.notes.kilobytes, QStringLiteral("250 KB"));
    EXPECT_DOUBLE_EQ(k.start, 7.55);
    EXPECT_FALSE(calculate(section(SplitOption::KilobyteSection, "0", "1001"), source()).ok);
    EXPECT_FALSE(calculate(section(SplitOption::PercentSection, "50", "101"), source()).ok);
}
