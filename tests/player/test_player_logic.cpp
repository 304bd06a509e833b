#include <gtest/gtest.h>

#include <QStringList>

#include "player/player_logic.h"

using namespace player;

TEST(StatusLine, PlayingPausedAndSpeed) {
    EXPECT_EQ(statusLine(false, 0.42, 1000), QStringLiteral("正在播放，進度 42 ％，播速 100 ％"));
    EXPECT_EQ(statusLine(true, 0.42, 1000), QStringLiteral("暫停播放，進度 42 ％，播速 100 ％"));
    EXPECT_EQ(statusLine(false, 0, 10), QStringLiteral("正在播放，進度 0 ％，播速 1 ％"));
    EXPECT_EQ(statusLine(false, 1, 2000), QStringLiteral("正在播放，進度 100 ％，播速 200 ％"));
    // The speed tag is rounded half to even: 25 -> 2 %.
    EXPECT_EQ(statusLine(false, 0.5, 25), QStringLiteral("正在播放，進度 50 ％，播速 2 ％"));
}

TEST(ThumbGeometry, CentreMarksThePositionAndProgressNeverNegative) {
    // Bar 10..410 (400 px) over 1000 units: scale 0.4; thumb 10 px wide.
    EXPECT_EQ(thumbLeftFor(500, 0.4, 10, 10), 205);
    EXPECT_DOUBLE_EQ(progressOf(205, 10, 10, 400), 0.5);
    EXPECT_EQ(progressOf(thumbLeftFor(0, 0.4, 10, 10) - 20, 10, 10, 400), 0);
    EXPECT_EQ(progressOf(0, 10, 10, 0), 0);
}

TEST(PlayError, FlvHasCancelOthersOkOnly) {
    bool cancel = false;
    const QString flv =
        playErrorText(QStringLiteral("/v/a.FLV"), QString::fromUtf8(kPlayErrorLead), &cancel);
    EXPECT_TRUE(cancel);
    EXPECT_TRUE(flv.startsWith(
        QStringLiteral("出現錯誤，無法播放指定的檔案：\r\n/v/a.FLV\r\n\r\n可能是因為")));
    EXPECT_TRUE(flv.endsWith(QStringLiteral("的解碼器，按下「確定」將開啟說明文件！")));
    const QString mp4 = playErrorText(QStringLiteral("/v/a.mp4"), QStringLiteral("L"), &cancel);
    EXPECT_FALSE(cancel);
    EXPECT_TRUE(mp4.endsWith(QStringLiteral("\r\n參考本軟體的「說明」-->「下載附加元件」")));
    EXPECT_TRUE(
        mp4.contains(QStringLiteral("\r\n\r\n－－－－－－－－－－－－－－－－－－－\r\n關於")));
}

TEST(CustomSpeed, RangeAndNumberRules) {
    EXPECT_EQ(parseCustomSpeed(QString()).kind, NumberAnswer::Cancelled);
    EXPECT_EQ(parseCustomSpeed(QStringLiteral("0")).kind, NumberAnswer::OutOfRange);
    EXPECT_EQ(parseCustomSpeed(QStringLiteral("201")).kind, NumberAnswer::OutOfRange);
    EXPECT_EQ(parseCustomSpeed(QStringLiteral("abc")).kind, NumberAnswer::OutOfRange);
    EXPECT_EQ(parseCustomSpeed(QStringLiteral("-5")).kind, NumberAnswer::OutOfRange);
    auto one = parseCustomSpeed(QStringLiteral("1"));
    EXPECT_EQ(one.kind, NumberAnswer::Ok);
    EXPECT_EQ(one.value, 10);
    EXPECT_EQ(parseCustomSpeed(QStringLiteral("200")).value, 2000);
    EXPECT_EQ(parseCustomSpeed(QStringLiteral(" 150 %")).value, 1500);
    EXPECT_EQ(parseCustomSpeed(QStringLiteral("200.4")).value, 2000);
    EXPECT_EQ(parseCustomSpeed(QStringLiteral("200.6")).kind, NumberAnswer::OutOfRange);
    EXPECT_EQ(parseStepValue(QStringLiteral("100")).value, 100);
    EXPECT_EQ(parseStepValue(QStringLiteral("101")).kind, NumberAnswer::OutOfRange);
    EXPECT_EQ(speedForItem(0), 100);
    EXPECT_EQ(speedForItem(4), 1000);
    EXPECT_EQ(speedForItem(8), 2000);
    EXPECT_EQ(speedForItem(9), 0);
}

TEST(StepTexts, CaptionsAndHints) {
    EXPECT_EQ(stepCaption(StepMode::Seconds, 5), QStringLiteral("使用秒數模式 ( 5 秒 )"));
    EXPECT_EQ(stepCaption(StepMode::PerCent, 100), QStringLiteral("使用比例模式 ( 100 ％ )"));
    EXPECT_EQ(stepModeName(StepMode::Frames), QStringLiteral("影格"));
    EXPECT_EQ(stepModeOf(2), StepMode::PerCent);
    EXPECT_EQ(stepModeOf(3), std::nullopt);
    auto [back, fwd] = stepHints(StepMode::Seconds, {5, 5, 5});
    EXPECT_EQ(back, QStringLiteral("倒轉 ( PgUp 鍵：5 秒，或 ← 鍵：5 格 )"));
    EXPECT_EQ(fwd, QStringLiteral("快轉 ( PgDn 鍵：5 秒，或 → 鍵：5 格 )"));
    EXPECT_EQ(stepHints(StepMode::PerCent, {3, 7, 20}).first,
              QStringLiteral("倒轉 ( PgUp 鍵：20 ％，或 ← 鍵：3 格 )"));
}

TEST(MediaNewSize, FitsKeepingAspect) {
    int w = 0, h = 0;
    getMediaNewSize(320, 240, w, h);
    EXPECT_EQ(w, 320);
    EXPECT_EQ(h, 10);
    w = 640, h = 360;
    getMediaNewSize(320, 240, w, h);  // width-bound
    EXPECT_EQ(w, 320);
    EXPECT_EQ(h, 180);
    w = 320, h = 240;
    getMediaNewSize(800, 300, w, h);  // height-bound
    EXPECT_EQ(w, 400);
    EXPECT_EQ(h, 300);
}

TEST(Jumps, StepsAndLimits) {
    const StepValues values = {5, 5, 5};
    EXPECT_EQ(jumpStep(false, StepMode::Seconds, values, 25, 250), 5);  // arrows: frames
    EXPECT_EQ(jumpStep(true, StepMode::Seconds, values, 25, 250), 125);
    EXPECT_EQ(jumpStep(true, StepMode::PerCent, values, 25, 250), 12);  // 12.5 -> 12 (to even)
    EXPECT_EQ(jumpStep(true, StepMode::PerCent, {5, 5, 100}, 25, 250), 250);

    JumpTarget t = jumpTarget(100, +1, 250, 250);
    EXPECT_EQ(t.target, 249);
    EXPECT_TRUE(t.pause);
    t = jumpTarget(100, -1, 250, 250);
    EXPECT_TRUE(t.pause);
    t = jumpTarget(100, -1, 5, 250);
    EXPECT_EQ(t.target, 95);
    EXPECT_FALSE(t.pause);
    t = jumpTarget(0, +1, 5, 1);  // one-frame media: held at its length
    EXPECT_EQ(t.target, 1);
    EXPECT_TRUE(t.pause);
}

TEST(Keys, TableNamesTheGuardingButton) {
    EXPECT_EQ(keyRule(Qt::Key_Space).action, KeyAction::PlayPause);
    EXPECT_EQ(keyRule(Qt::Key_Delete).button, KeyButton::Stop);
    EXPECT_EQ(keyRule(Qt::Key_Left).action, KeyAction::FrameBack);
    EXPECT_EQ(keyRule(Qt::Key_Left, Qt::ShiftModifier).action, KeyAction::FrameBack);
    EXPECT_EQ(keyRule(Qt::Key_Left, Qt::ControlModifier).action, KeyAction::KeyframeBack);
    EXPECT_EQ(keyRule(Qt::Key_Right, Qt::ControlModifier).button, KeyButton::Forward);
    EXPECT_EQ(keyRule(Qt::Key_Right, Qt::ControlModifier).action, KeyAction::KeyframeForward);
    EXPECT_EQ(keyRule(Qt::Key_PageDown).button, KeyButton::Forward);
    EXPECT_EQ(keyRule(Qt::Key_Escape).button, KeyButton::None);
    EXPECT_EQ(keyRule(Qt::Key_BracketRight).action, KeyAction::MarkEnd);
    EXPECT_EQ(keyRule(Qt::Key_A).action, KeyAction::None);
}

TEST(Filters, EditableFirstThenPlayablePicturesAndAll) {
    EXPECT_EQ(
        editFilter({}),
        QStringLiteral("支援處理的檔案 (flv ; mpg ; dat ; vob) (*.flv *.mpg *.mpeg *.dat *.vob)"));
    EXPECT_TRUE(editFilter(QStringLiteral(";avi;mp4;3gp;mov;wmv;asf;"))
                    .endsWith(QStringLiteral("*.vob *.avi *.mp4 *.3gp *.mov *.wmv *.asf)")));
    const QStringList open = openFilter({}).split(QStringLiteral(";;"));
    ASSERT_EQ(open.size(), 4);
    EXPECT_EQ(open[0], editFilter({}));
    EXPECT_TRUE(
        open[1].startsWith(QStringLiteral("支援播放的多媒體檔案 (*.flv *.ape *.mpeg *.wm? ")));
    EXPECT_TRUE(open[1].endsWith(QStringLiteral(" *.og? *.mkv)")));
    EXPECT_TRUE(open[2].startsWith(QStringLiteral("支援瀏覽的影像圖檔案 (*.jpg ")));
    EXPECT_EQ(open[3], QStringLiteral("所有檔案 (*.*)"));
}

TEST(Numbers, LeadingNumber) {
    EXPECT_EQ(leadingNumber(QStringLiteral("  12abc")), 12);
    EXPECT_EQ(leadingNumber(QStringLiteral("x12")), 0);
    EXPECT_EQ(leadingNumber(QStringLiteral("-3.5")), -3.5);
    EXPECT_EQ(roundEven(2.5), 2);
    EXPECT_EQ(roundEven(3.5), 4);
}
