// The segment model and the mark commands against a fake player.
#include <gtest/gtest.h>

#include "common/scripted_prompts.h"
#include "fake_host.h"
#include "player/marks/marks_controller.h"

using marks::MarksController;
using marks::testing::FakeHost;
using prompts::Answer;

namespace {

struct Marks : ::testing::Test {
    FakeHost host;
    MarksController m{host};
    ScriptedPrompts prompts;
    Marks() { m.setListLink(&host); }

    void at(int32_t p) { host.device.position = p; }
    void mark(int32_t s, int32_t e) {
        at(s);
        m.markStart();
        at(e);
        m.markEnd();
    }
    const marks::Segment& seg(int i) { return m.segments().at(i); }
};

TEST_F(Marks, StartTwiceLeavesOneOpenSegmentAtTheSecondPosition) {
    at(1000);
    m.markStart();
    at(2000);
    m.markStart();
    ASSERT_EQ(m.segments().count(), 1);
    EXPECT_EQ(seg(0).start, 2000);
    EXPECT_EQ(seg(0).length, 1);
    EXPECT_EQ(seg(0).state, marks::SegmentState::Open);
    EXPECT_TRUE(m.barVisible());
    EXPECT_TRUE(m.checkDealRng());
    EXPECT_EQ(host.startButton(), ButtonState::Normal);
    EXPECT_EQ(host.endButton(), ButtonState::Normal);
    // Nothing closed yet: the play and clear menus stay off.
    EXPECT_FALSE(m.menus().rngPlay);
    EXPECT_FALSE(m.menus().rngClear);
}

TEST_F(Marks, EndOnAClosedSegmentMovesItsEndOrRemovesIt) {
    mark(1000, 3000);
    at(5000);
    m.markEnd();
    ASSERT_EQ(m.segments().count(), 1);
    EXPECT_EQ(seg(0).end(), 5000);
    EXPECT_EQ(host.endButton(), ButtonState::Normal);

    at(1000);  // at its start: no segment left
    m.markEnd();
    EXPECT_FALSE(seg(0).visible);
    EXPECT_FALSE(m.barVisible());
    EXPECT_EQ(host.endButton(), ButtonState::Disabled);

    // With another segment before it, only the last goes and the end button stays off.
    mark(100, 900);
    mark(2000, 4000);
    at(1500);
    m.markEnd();
    ASSERT_EQ(m.segments().count(), 1);
    EXPECT_EQ(seg(0).start, 100);
    EXPECT_TRUE(m.barVisible());
    EXPECT_EQ(host.endButton(), ButtonState::Disabled);
    EXPECT_FALSE(m.menus().saveCut);
}

TEST_F(Marks, EndAtPositionZeroDoesNothingAndEndNeedsTheBar) {
    at(0);
    m.markEnd();  // bar hidden: ignored
    EXPECT_FALSE(m.barVisible());
    m.markStart();
    at(0);
    m.markEnd();
    EXPECT_EQ(seg(0).state, marks::SegmentState::Open);
    EXPECT_TRUE(seg(0).visible);

    host.barEnabled = false;  // nothing open: the start mark is ignored too
    at(777);
    m.markStart();
    EXPECT_EQ(seg(0).start, 0);
}

TEST_F(Marks, SegmentsNarrowerThanHalfAPixelAreDropped) {
    mark(10000, 10128);  // 128 * 389 / 100000 = 0.498 px
    EXPECT_FALSE(m.barVisible());
    EXPECT_EQ(m.segments().count(), 1);
    mark(10000, 10129);  // 0.502 px
    EXPECT_TRUE(m.barVisible());
    EXPECT_EQ(seg(0).length, 129);
}

TEST_F(Marks, SegmentsStayInCreationOrderAndMayOverlap) {
    mark(3000, 4500);
    mark(250, 1200);
    mark(4000, 5000);  // overlaps the first
    EXPECT_EQ(m.marksText(), "3000-4500 250-1200 4000-5000");
    // The newest draws in front.
    EXPECT_GT(seg(2).zOrder, seg(1).zOrder);
    EXPECT_GT(seg(1).zOrder, seg(0).zOrder);
    EXPECT_TRUE(m.menus().saveCut);
    EXPECT_EQ(m.lastSegment(), 2);
}

TEST_F(Marks, SummaryLinesAndTheirRenumberingAfterADelete) {
    mark(250, 625);  // 5 s to 12.5 s at 50 units a second
    EXPECT_EQ(seg(0).summary, "標記區段 1：從 00:05.00 到 00:12.50 ＝ 00:07.50 秒");
    mark(1000, 1500);
    host.seconds = 10000;
    mark(186250, 186500);  // hours from one hour on
    EXPECT_EQ(seg(2).summary, "標記區段 3：從 01:02:05.00 到 01:02:10.00 ＝ 00:05.00 秒");
    m.deleteSegment(0);
    ASSERT_EQ(m.segments().count(), 2);
    EXPECT_EQ(seg(0).summary, "標記區段 1：從 00:20.00 到 00:30.00 ＝ 00:10.00 秒");
    EXPECT_TRUE(seg(1).summary.startsWith("標記區段 2：從 01:02:05.00"));
    EXPECT_EQ(host.endButton(), ButtonState::Disabled);
    EXPECT_EQ(m.lastSegment(), 1);

    host.spu = 0;  // no time information: empty texts, marks still work
    EXPECT_EQ(m.segmentSummary(0), "標記區段 1：從  到  ＝  秒");
    EXPECT_EQ(m.rsFormat(0, 3).startText, "");
}

TEST_F(Marks, RsFormatAdjustsAndClampsOnlyTheEnds) {
    mark(250, 625);
    host.seconds = 12.0;
    const auto t = m.rsFormat(0, 3, -10.0, 1.0);
    EXPECT_EQ(t.startSeconds, 0.0);
    EXPECT_EQ(t.endSeconds, 12.0);
    EXPECT_EQ(t.startText, "00:00:00.00");
    EXPECT_EQ(t.endText, "00:00:12.00");
    EXPECT_EQ(t.lengthText, "00:00:07.50");
}

TEST_F(Marks, TotalLineCountsTheOpenSegmentAtItsLength) {
    mark(250, 625);
    at(1000);
    m.markStart();
    m.stretchOpenSegment(1100);
    EXPECT_EQ(m.barToolTip(), "2 個標記的總時間是 00:09.50 秒");
    EXPECT_GT(host.cmdRng, 0);
}

TEST_F(Marks, StretchingTheOpenSegment) {
    at(50000);
    m.markStart();
    m.stretchOpenSegment(60000);
    EXPECT_EQ(seg(0).length, 10000);
    m.stretchOpenSegment(50000);  // back to its start: stays as it was
    EXPECT_EQ(seg(0).length, 10000);
    m.stretchOpenSegment(49990);  // 0.02 % before: unchanged
    EXPECT_EQ(seg(0).length, 10000);
    EXPECT_TRUE(seg(0).visible);
    host.state = PlayState::Paused;
    m.stretchOpenSegment(0);  // no end to measure: unchanged
    EXPECT_EQ(seg(0).length, 10000);
    host.state = PlayState::Playing;
    m.stretchOpenSegment(0);  // while playing an end of 0 means the media's end
    EXPECT_EQ(seg(0).length, 50000);
    m.stretchOpenSegment(40000);  // clearly before its start: gone
    EXPECT_FALSE(seg(0).visible);
    EXPECT_FALSE(m.barVisible());
}

TEST_F(Marks, EnterUsesTheModifierMaskHalvedToEven) {
    EXPECT_EQ(marks::playIndexForModifiers(0), 0);
    EXPECT_EQ(marks::playIndexForModifiers(1), 0);  // Shift: 0.5 -> 0
    EXPECT_EQ(marks::playIndexForModifiers(2), 1);  // Ctrl: loop
    EXPECT_EQ(marks::playIndexForModifiers(3), 2);  // Ctrl+Shift: 1.5 -> 2
    EXPECT_EQ(marks::playIndexForModifiers(5), 2);  // Shift+Alt: 2.5 -> 2

    m.playMarksForModifiers(2);  // nothing closed yet: ignored
    EXPECT_TRUE(host.device.plays().isEmpty());
    mark(1000, 2000);
    mark(4000, 5000);
    m.playMarksForModifiers(3);
    EXPECT_EQ(host.device.plays().last(), "play MyPlayer from 1000 to 2000");
    EXPECT_FALSE(host.mci.rngRepeat());
    EXPECT_EQ(m.playingSegment(), 0);
    m.playMarksForModifiers(2);
    EXPECT_TRUE(host.mci.rngRepeat());
}

TEST_F(Marks, PlayNextRsPlaysOneSegmentAndReportsFailure) {
    mark(1000, 2000);
    mark(4000, 5000);
    host.state = PlayState::Stopped;
    m.playNextRS(marks::SegmentRepeat::Once, 1, false, -1, -1, false);
    EXPECT_EQ(host.device.plays().last(), "play MyPlayer from 4000 to 5000");
    EXPECT_EQ(host.mci.rngEnd(), 5000);
    EXPECT_EQ(m.playingSegment(), 1);
    ASSERT_EQ(host.started.size(), 1u);
    EXPECT_TRUE(host.started[0]);
    m.playNextRS(marks::SegmentRepeat::Once, 0, true, 10, 20,
                 true);  // a span of its own, nothing follows
    EXPECT_EQ(host.device.plays().last(), "play MyPlayer from 10 to 20");
    EXPECT_EQ(m.playingSegment(), 1);
    EXPECT_EQ(host.started.size(), 1u);  // keeping the state: the opener shows it

    at(7000);
    m.markStart();  // an open segment goes before a segment play
    host.device.playResult = 263;
    m.playNextRS(marks::SegmentRepeat::Once, 0, false, -1, -1, false);
    EXPECT_EQ(m.segments().count(), 2);
    EXPECT_EQ(host.failures, 1);
}

TEST_F(Marks, ClickingASegmentAsksToPlayOrDeleteIt) {
    mark(1000, 2000);
    mark(4000, 5000);
    mark(7000, 8000);
    bool redWhileAsked = false;
    prompts.onShown = [&](const ScriptedPrompts::Shown&) { redWhileAsked = seg(1).highlighted; };

    prompts.answer(Answer::Cancel);
    m.segmentClicked(1);
    EXPECT_TRUE(redWhileAsked);
    EXPECT_FALSE(seg(1).highlighted);
    EXPECT_EQ(m.segments().count(), 3);
    EXPECT_EQ(host.stops, 0);
    EXPECT_EQ(prompts.last().title, "注意事項");
    EXPECT_EQ(prompts.last().buttons, prompts::Buttons::YesNoCancel);
    EXPECT_EQ(prompts.last().text,
              "標記區段 2：從 01:20.00 到 01:40.00 ＝ 00:20.00 秒\r\n\r\n"
              "是否要播放或刪除這個標記區段？\r\n\r\n\r\n按「是」則播放這個標記區段\r\n"
              "按「否」則刪除這個標記區段");

    prompts.answer(Answer::Yes);
    m.segmentClicked(1);
    EXPECT_EQ(host.stops, 1);
    EXPECT_EQ(host.device.plays().last(), "play MyPlayer from 4000 to 5000");
    EXPECT_EQ(m.playingSegment(), 2);  // only this one: no further segment follows

    prompts.answer(Answer::No);
    m.segmentClicked(0);
    EXPECT_EQ(m.marksText(), "4000-5000 7000-8000");
    EXPECT_TRUE(seg(0).summary.startsWith("標記區段 1："));

    at(9000);
    m.markStart();
    const int asked = prompts.count(ScriptedPrompts::Kind::Message);
    m.segmentClicked(2);  // the open one has no summary
    EXPECT_EQ(prompts.count(ScriptedPrompts::Kind::Message), asked);
    prompts.answer(Answer::Cancel);
    m.segmentClicked(0);  // asking drops the open segment first
    EXPECT_EQ(m.segments().count(), 2);
}

TEST_F(Marks, ClearCommandAsksFirst) {
    mark(1000, 2000);
    prompts.answer(Answer::Cancel);
    m.clearCommand();
    EXPECT_TRUE(m.barVisible());
    EXPECT_EQ(prompts.last().text, "確定要清除所有的標記？");
    EXPECT_EQ(prompts.last().buttons, prompts::Buttons::OkCancel);
    prompts.answer(Answer::Ok);
    m.clearCommand();
    EXPECT_FALSE(m.barVisible());
    EXPECT_FALSE(m.marksEdited());
    EXPECT_EQ(host.stops, 1);
    EXPECT_EQ(host.pauses, 2);
    const auto& menus = m.menus();
    EXPECT_TRUE(menus.rngEdit);
    EXPECT_FALSE(menus.rngClear || menus.rngPlay || menus.saveRng || menus.saveCut);
    EXPECT_EQ(host.startButton(), ButtonState::Normal);
    EXPECT_EQ(host.endButton(), ButtonState::Disabled);
}

TEST_F(Marks, SaveMenusOnlyForEditableLocalFiles) {
    mark(1000, 2000);
    EXPECT_TRUE(m.menus().saveRng);
    EXPECT_FALSE(m.menus().saveCut);
    mark(3000, 4000);
    EXPECT_TRUE(m.menus().saveCut);
    for (const char* file : {"http://host/a.flv", "/v/clip.avi"}) {
        m.clearAllMarks();
        host.mci.setFileName(QString::fromUtf8(file));
        mark(1000, 2000);
        mark(3000, 4000);
        EXPECT_FALSE(m.menus().saveRng) << file;
        EXPECT_FALSE(m.menus().saveCut) << file;
        EXPECT_TRUE(m.menus().rngPlay) << file;
    }
}

TEST_F(Marks, ListPlayModeIsLeftAfterMarkEditing) {
    host.listMode = ListPlayMode::LoopList;
    m.leaveListPlayMode(false, std::nullopt);  // no bar: nothing
    EXPECT_EQ(host.onceModes, 0);
    mark(1000, 2000);
    m.playMarksCommand(0);
    EXPECT_EQ(host.onceModes, 1);
    EXPECT_EQ(host.pauses, 1);
    EXPECT_EQ(prompts.last().text,
              "由於你針對目前的檔案進行了標記編輯\r\n清單播放模式將改為「單次播放檔案」");
    EXPECT_EQ(prompts.last().buttons, prompts::Buttons::Ok);
    EXPECT_EQ(host.device.plays().last(), "play MyPlayer from 1000 to 2000");

    host.listMode = ListPlayMode::RandomList;
    m.leaveListPlayMode(true, std::nullopt);  // from the stop routine
    EXPECT_EQ(host.mediaStops, 1);
    EXPECT_EQ(host.onceModes, 2);
}

TEST_F(Marks, GoToMarksListClosesTheOpenSegment) {
    at(1000);
    m.markStart();
    at(3000);
    m.goToMarksList();
    EXPECT_EQ(seg(0).state, marks::SegmentState::Closed);
    EXPECT_EQ(seg(0).end(), 3000);
    EXPECT_EQ(host.tabs, 1);
    EXPECT_EQ(host.loads, 1);
}

TEST_F(Marks, ApplyMarkSetsOneSegmentPerReadableLine) {
    mark(50, 60000);
    host.spans = {{3000.4f, 4500.5f}, {-1, -1}, {100.f, 150.f}, {250.5f, 1200.f}};
    m.applyMark();
    EXPECT_EQ(host.stops, 1);
    // Halves to even; the unreadable line and the too narrow one vanish.
    EXPECT_EQ(m.marksText(), "3000-4500 250-1200");
    EXPECT_TRUE(m.marksEdited());
    EXPECT_TRUE(m.checkDealRng());
    host.spans.clear();
    m.applyMark();
    EXPECT_FALSE(m.barVisible());
}

TEST_F(Marks, ApplyMarksTextPlaysTheSegmentsWithoutEnteringMarkEditing) {
    m.applyMarksText("");
    EXPECT_EQ(host.device.plays().last(), "play MyPlayer");
    EXPECT_FALSE(m.barVisible());

    m.applyMarksText("3000-4500 250-1200");
    ASSERT_EQ(m.segments().count(), 2);
    // Every segment of the text is a closed one, not only the last: each is saved.
    EXPECT_EQ(seg(0).state, marks::SegmentState::Closed);
    EXPECT_EQ(seg(1).state, marks::SegmentState::Closed);
    EXPECT_EQ(seg(1).summary, "標記區段 2：從 00:05.00 到 00:24.00 ＝ 00:19.00 秒");
    EXPECT_EQ(host.device.plays().last(), "play MyPlayer from 3000 to 4500");
    EXPECT_TRUE(m.barVisible());
    EXPECT_TRUE(m.menus().rngPlay && m.menus().rngClear && m.menus().saveCut);
    EXPECT_FALSE(m.marksEdited());
    EXPECT_FALSE(m.checkDealRng());
    EXPECT_EQ(m.marksText(), "3000-4500 250-1200");
}

TEST_F(Marks, ApplyMarksTextRefusesWholeTextsItNeverWrites) {
    for (const char* text : {"100-200 200000-200100", "100-200 300", "100-200 a-300",
                             "100-200 300-300", "100-200  300-400", " 100-200", "100-200 ", "+1-20",
                             "1-2-3", "100-200,300-400", "99999999999-99999999999"}) {
        m.applyMarksText("1-500");
        ASSERT_TRUE(m.barVisible());
        m.applyMarksText(QString::fromUtf8(text));
        EXPECT_FALSE(m.barVisible()) << text;
        EXPECT_EQ(m.segments().count(), 1) << text;
        EXPECT_FALSE(m.segments().at(0).visible) << text;
        EXPECT_EQ(host.device.plays().last(), "play MyPlayer") << text;
        EXPECT_FALSE(host.mci.isRngPlaying()) << text;
    }
}

TEST_F(Marks, AFailedPlayOfItemMarksIsLeftToTheOpener) {
    host.device.playResult = 263;
    m.applyMarksText("100-200");
    EXPECT_EQ(host.failures, 0);
    EXPECT_FALSE(host.mci.isSuccess());
    EXPECT_FALSE(m.barVisible());
}

TEST_F(Marks, ItemTextWithMarks) {
    EXPECT_EQ(m.itemTextWithMarks(false), "/v/clip.flv");  // no marks
    at(100);
    m.markStart();  // open: included at its current length
    EXPECT_EQ(m.itemTextWithMarks(true), "/v/clip.flv");
    prompts.answer(Answer::Yes);
    EXPECT_EQ(m.itemTextWithMarks(false), "/v/clip.flv\u2225100-101");
    at(400);
    m.stretchOpenSegment(400);
    m.markEnd();
    mark(1000, 2000);
    prompts.answer(Answer::Cancel);
    EXPECT_EQ(m.itemTextWithMarks(false), "");
    EXPECT_EQ(prompts.last().text,
              "你選擇把目前的檔案加入到指定清單\r\n是否要附加標記，被標記的影格如下：\r\n\r\n"
              "100-400\r\n1000-2000");
    EXPECT_EQ(prompts.last().buttons, prompts::Buttons::YesNoCancel);
    EXPECT_EQ(prompts.last().title, "注意事項");
    prompts.answer(Answer::No);
    EXPECT_EQ(m.itemTextWithMarks(false), "/v/clip.flv");

    m.setAutoAddMark(true);
    const int asked = prompts.count(ScriptedPrompts::Kind::Message);
    EXPECT_EQ(m.itemTextWithMarks(false), "/v/clip.flv\u2225100-400 1000-2000");
    EXPECT_EQ(prompts.count(ScriptedPrompts::Kind::Message), asked);

    host.mci.setFileName({});
    EXPECT_EQ(m.itemTextWithMarks(false), "");
}

}  // namespace
