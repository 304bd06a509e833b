// The segment editor's lines and buttons without widgets.
#include <gtest/gtest.h>

#include "lists/segment_editor_lines.h"
#include "lists/segment_editor_model.h"
#include "qstring_print.h"

using namespace lists;

namespace {

constexpr float kSpu = 0.04f;  // 25 frames a second

// A model holding the given lines (typed through the add button) on a media of total length.
SegmentEditorModel modelWith(const QString& total, const std::vector<LineTimes>& lines) {
    SegmentEditorModel m;
    m.load(total, lines, kSpu);
    return m;
}

RangeError typeAndClick(SegmentEditorModel& m, EditorButton b, const QString& start,
                        const QString& end) {
    m.startText = start;
    m.endText = end;
    return m.click(b, kSpu);
}

}  // namespace

TEST(SegmentEditorLines, TimePatternNeedsTwoDigitFieldsAndMinutesSecondsBelowSixty) {
    EXPECT_TRUE(matchesTimePattern("00:00:00.00"));
    EXPECT_TRUE(matchesTimePattern("99:59:59.99"));
    EXPECT_FALSE(matchesTimePattern("00:60:00.00"));  // minutes above 59
    EXPECT_FALSE(matchesTimePattern("00:00:60.00"));
    EXPECT_FALSE(matchesTimePattern("1:00:00.00"));  // hours need two digits
    EXPECT_FALSE(matchesTimePattern("00:00:00.0"));
    EXPECT_FALSE(matchesTimePattern("00:00:00.000"));
    EXPECT_FALSE(matchesTimePattern("00-00-00.00"));
    EXPECT_FALSE(matchesTimePattern("０0:00:00.00"));  // a full-width digit is no digit here
    EXPECT_FALSE(matchesTimePattern(""));
}

TEST(SegmentEditorLines, RangeChecksRunInOrderAndCompareAsText) {
    const QString total = "00:01:05.40";
    // A format error wins over every other fault.
    EXPECT_EQ(checkRange("00:60:00.00", "00:00:01.00", total), RangeError::Format);
    EXPECT_EQ(checkRange("00:00:02.00", "1:00:00.00", total), RangeError::Format);
    // Beyond the length wins over an end before the start.
    EXPECT_EQ(checkRange("00:01:05.41", "00:00:01.00", total), RangeError::BeyondLength);
    EXPECT_EQ(checkRange("00:00:00.00", "00:01:05.41", total), RangeError::BeyondLength);
    EXPECT_EQ(checkRange("00:00:00.00", "00:01:05.40", total), RangeError::None);
    EXPECT_EQ(checkRange("00:00:10.00", "00:00:10.00", total), RangeError::EndNotAfterStart);
    EXPECT_EQ(checkRange("00:00:11.00", "00:00:10.00", total), RangeError::EndNotAfterStart);
    EXPECT_EQ(rangeErrorText(RangeError::Format), "輸入的時間不符合格式要求！");
    EXPECT_EQ(rangeErrorText(RangeError::BeyondLength), "時間超過此檔案的播放長度！");
    EXPECT_EQ(rangeErrorText(RangeError::EndNotAfterStart), "結束時間必須在開始時間之後！");
    EXPECT_EQ(rangeErrorText(RangeError::None), "");
}

TEST(SegmentEditorLines, LinesReadBackAsTextsAndUnits) {
    const QString line = editorLine("00:00:04.00", "00:00:06.00");
    EXPECT_EQ(line, QStringLiteral("　從 00:00:04.00 到 00:00:06.00"));
    EXPECT_EQ(line.size(), 3 + 11 + 3 + 11);
    const LineTimes t = lineTimes(line, kSpu);
    EXPECT_EQ(t.start, "00:00:04.00");
    EXPECT_EQ(t.end, "00:00:06.00");
    const auto [s, e] = lineUnits(line, kSpu);
    EXPECT_EQ(roundUnits(s), 100);
    EXPECT_EQ(roundUnits(e), 150);

    // No time information, no separator, an empty line: unreadable.
    for (const auto& [text, spu] :
         {std::pair{line, 0.0f}, std::pair{line, -1.0f}, std::pair{QString("00:00:04.00"), kSpu},
          std::pair{QString(), kSpu}}) {
        EXPECT_EQ(lineTimes(text, spu).start, kZeroTimeText);
        EXPECT_EQ(lineTimes(text, spu).end, kZeroTimeText);
        EXPECT_EQ(lineUnits(text, spu), (std::pair{-1.0f, -1.0f}));
    }
    // A line loaded with where the save's copy really starts reads back without that note,
    // and keeps it through the model's load.
    const QString noted = editorLine("00:01:05.40", "00:01:10.00", "00:00:58.00");
    EXPECT_EQ(noted, QStringLiteral("　從 00:01:05.40 到 00:01:10.00（實際從 00:00:58.00 開始）"));
    EXPECT_EQ(lineTimes(noted, kSpu).end, "00:01:10.00");
    EXPECT_EQ(roundUnits(lineUnits(noted, kSpu).second), 1750);
    EXPECT_EQ(modelWith("00:02:00.00", {{"00:01:05.40", "00:01:10.00", "00:00:58.00"}}).lines(),
              QStringList{noted});
    // The keyframes known only after the load: lines still showing a segment get its note,
    // a line the user changed meanwhile does not.
    SegmentEditorModel late =
        modelWith("00:02:00.00", {{"00:01:05.40", "00:01:10.00"}, {"00:01:20.00", "00:01:30.00"}});
    late.refreshNotes({{"00:01:05.40", "00:01:10.00", "00:00:58.00"},
                       {"00:01:21.00", "00:01:30.00", "00:01:20.00"}},
                      kSpu);
    EXPECT_EQ(late.lines(), (QStringList{noted, editorLine("00:01:20.00", "00:01:30.00")}));

    // Halves go to the even neighbour.
    EXPECT_EQ(roundUnits(2.5f), 2);
    EXPECT_EQ(roundUnits(3.5f), 4);
}

TEST(SegmentEditorModel, StartsWithOneZeroLineAndNothingSelected) {
    SegmentEditorModel m;
    EXPECT_EQ(m.lines(), QStringList{editorLine(kZeroTimeText, kZeroTimeText)});
    EXPECT_EQ(m.selected(), -1);
    EXPECT_EQ(reloadApplyState(1, false).apply, true);
    EXPECT_EQ(reloadApplyState(0, false).apply, false);
    EXPECT_EQ(reloadApplyState(0, true).apply, true);
    EXPECT_EQ(reloadApplyState(3, false).load, false);
    EXPECT_EQ(reloadApplyState(0, true).load, true);
}

TEST(SegmentEditorModel, AddInsertsAfterTheSelectionOrAtTheTop) {
    SegmentEditorModel m =
        modelWith("00:01:00.00", {{"00:00:01.00", "00:00:02.00"}, {"00:00:03.00", "00:00:04.00"}});
    ASSERT_EQ(m.selected(), 0);
    m.selectLine(-1, kSpu);
    EXPECT_FALSE(m.buttons().modify);
    EXPECT_FALSE(m.buttons().moveDown);  // nothing selected: nothing to move
    EXPECT_EQ(typeAndClick(m, EditorButton::Add, "00:00:10.00", "00:00:11.00"), RangeError::None);
    EXPECT_EQ(m.lines().at(0), editorLine("00:00:10.00", "00:00:11.00"));
    EXPECT_EQ(m.selected(), 0);
    EXPECT_TRUE(m.buttons().modify);
    EXPECT_TRUE(m.buttons().remove);

    m.selectLine(2, kSpu);  // the last line
    EXPECT_EQ(m.startText, "00:00:03.00");
    EXPECT_EQ(typeAndClick(m, EditorButton::Add, "00:00:20.00", "00:00:21.00"), RangeError::None);
    EXPECT_EQ(m.lines().size(), 4);
    EXPECT_EQ(m.lines().last(), editorLine("00:00:20.00", "00:00:21.00"));
    EXPECT_EQ(m.selected(), 3);
    EXPECT_FALSE(m.buttons().moveDown);
    EXPECT_TRUE(m.buttons().moveUp);
}

TEST(SegmentEditorModel, ModifyReplacesTheSelectedLine) {
    SegmentEditorModel m =
        modelWith("00:01:00.00", {{"00:00:01.00", "00:00:02.00"}, {"00:00:03.00", "00:00:04.00"}});
    m.selectLine(1, kSpu);
    EXPECT_EQ(typeAndClick(m, EditorButton::Modify, "00:00:30.00", "00:00:31.50"),
              RangeError::None);
    EXPECT_EQ(m.lines(), QStringList({editorLine("00:00:01.00", "00:00:02.00"),
                                      editorLine("00:00:30.00", "00:00:31.50")}));
    EXPECT_EQ(m.selected(), 1);
}

TEST(SegmentEditorModel, RefusedRangeKeepsLinesAndTypedTimes) {
    SegmentEditorModel m = modelWith("00:01:05.40", {{"00:00:01.00", "00:00:02.00"}});
    const QStringList before = m.lines();
    EXPECT_EQ(typeAndClick(m, EditorButton::Add, "00:00:10.00", "00:00:10.00"),
              RangeError::EndNotAfterStart);
    EXPECT_EQ(typeAndClick(m, EditorButton::Modify, "00:00:10.00", "00:01:05.41"),
              RangeError::BeyondLength);
    EXPECT_EQ(m.lines(), before);
    EXPECT_EQ(m.endText, "00:01:05.41");  // still there to be mended
    EXPECT_EQ(m.selected(), 0);
    EXPECT_EQ(typeAndClick(m, EditorButton::Modify, "00:00:10.00", "00:01:05.40"),
              RangeError::None);
    EXPECT_EQ(m.lines().at(0), editorLine("00:00:10.00", "00:01:05.40"));
}

TEST(SegmentEditorModel, RemovingTheOnlyLineDisablesModifyAndRemove) {
    SegmentEditorModel m = modelWith("00:01:00.00", {{"00:00:01.00", "00:00:02.00"}});
    EXPECT_TRUE(m.buttons().remove);
    EXPECT_FALSE(m.buttons().moveUp);
    EXPECT_FALSE(m.buttons().moveDown);  // one line: neither way
    m.click(EditorButton::Remove, kSpu);
    EXPECT_TRUE(m.lines().isEmpty());
    EXPECT_EQ(m.selected(), -1);
    EXPECT_FALSE(m.buttons().modify);
    EXPECT_FALSE(m.buttons().remove);
    EXPECT_EQ(m.startText, kZeroTimeText);
    m.click(EditorButton::Remove, kSpu);  // nothing left: nothing happens
    EXPECT_TRUE(m.lines().isEmpty());
}

TEST(SegmentEditorModel, RemovingTheLastLineSelectsTheNewLast) {
    SegmentEditorModel m =
        modelWith("00:01:00.00", {{"00:00:01.00", "00:00:02.00"}, {"00:00:03.00", "00:00:04.00"}});
    m.selectLine(1, kSpu);
    m.click(EditorButton::Remove, kSpu);
    EXPECT_EQ(m.selected(), 0);
    EXPECT_EQ(m.endText, "00:00:02.00");
}

TEST(SegmentEditorModel, MovesCarryTheSelectionAndStopAtTheEnds) {
    SegmentEditorModel m = modelWith("00:01:00.00", {{"00:00:01.00", "00:00:02.00"},
                                                     {"00:00:03.00", "00:00:04.00"},
                                                     {"00:00:05.00", "00:00:06.00"}});
    EXPECT_FALSE(m.buttons().moveUp);
    EXPECT_TRUE(m.buttons().moveDown);
    m.click(EditorButton::MoveDown, kSpu);
    EXPECT_EQ(m.selected(), 1);
    EXPECT_EQ(m.lines().at(1), editorLine("00:00:01.00", "00:00:02.00"));
    m.click(EditorButton::MoveDown, kSpu);
    EXPECT_EQ(m.selected(), 2);
    EXPECT_FALSE(m.buttons().moveDown);
    m.click(EditorButton::MoveDown, kSpu);  // at the end: nothing moves
    EXPECT_EQ(m.selected(), 2);
    EXPECT_EQ(m.lines().at(2), editorLine("00:00:01.00", "00:00:02.00"));
    m.click(EditorButton::MoveUp, kSpu);
    EXPECT_EQ(m.selected(), 1);
    EXPECT_EQ(m.startText, "00:00:01.00");
}

TEST(SegmentEditorModel, LoadEmptiesForMediaWithoutMarksAndSpansSkipUnreadableLines) {
    SegmentEditorModel m = modelWith("00:00:10.00", {{"00:00:04.00", "00:00:06.00"}});
    m.load("00:00:20.00", {}, kSpu);
    EXPECT_TRUE(m.lines().isEmpty());
    EXPECT_EQ(m.totalText, "00:00:20.00");
    EXPECT_TRUE(m.spans(kSpu).empty());

    m = modelWith("00:00:10.00", {{"00:00:04.00", "00:00:06.00"}, {"", ""}});
    const auto spans = m.spans(kSpu);
    ASSERT_EQ(spans.size(), 2u);
    EXPECT_EQ(roundUnits(spans[0].first), 100);
    EXPECT_EQ(roundUnits(spans[0].second), 150);
    // "　從  到 " has no times: textToSec gives 0 for both, which the player refuses.
    EXPECT_EQ(spans[1], (std::pair{0.0f, 0.0f}));
    EXPECT_EQ(m.selectedSpan(kSpu), (std::pair{100, 150}));
    EXPECT_EQ(m.selectedSpan(0.0f), std::nullopt);  // no time information: nothing to play
}
