// The segment editor area as a person uses it: typing times, the buttons, the messages, and
// reloading from and applying to a player that is a recording stand-in here.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "common/scripted_prompts.h"
#include "lists/segment_editor.h"
#include "qt_app.h"

using namespace lists;

namespace {

class RecordingPlayer : public SegmentEditorHost {
  public:
    double seconds = 65.4;
    float spu = 0.04f;
    bool bar = false;
    std::vector<LineTimes> times;
    int applies = 0, reloads = 0;
    std::vector<std::pair<int32_t, int32_t>> plays;

    double totalSeconds() const override { return seconds; }
    float secondsPerUnit() const override { return spu; }
    bool marksBarVisible() const override { return bar; }
    std::vector<LineTimes> segmentTimes() const override { return times; }
    void applyMark() override { ++applies; }
    void goToMarksList() override { ++reloads; }
    void playOnlySpan(int32_t s, int32_t e) override { plays.emplace_back(s, e); }
};

// The application must exist before the editor, a member, is made.
struct AppFirst {
    AppFirst() { testmedia::qtApp(); }
};

class SegmentEditorArea : public ::testing::Test, public AppFirst {
  protected:
    SegmentEditorArea() {
        editor.setHost(&player);
        editor.resize(400, 500);
        editor.show();
    }

    template <typename T>
    T* child(const QString& name) {
        T* w = editor.findChild<T*>(name);
        EXPECT_NE(w, nullptr) << name.toStdString();
        return w;
    }
    QPushButton* button(int i) { return child<QPushButton>(QStringLiteral("cmdSSt_%1").arg(i)); }
    QListWidget* lines() { return child<QListWidget>("lstRng"); }
    QStringList lineTexts() {
        QStringList out;
        for (int i = 0; i < lines()->count(); ++i) out << lines()->item(i)->text();
        return out;
    }
    void type(const QString& start, const QString& end) {
        auto* s = child<QLineEdit>("txtRngStart");
        auto* e = child<QLineEdit>("txtRngEnd");
        s->clear();
        QTest::keyClicks(s, start);
        e->clear();
        QTest::keyClicks(e, end);
    }
    void press(int i) { QTest::mouseClick(button(i), Qt::LeftButton); }

    ScriptedPrompts prompts;
    RecordingPlayer player;
    SegmentEditor editor;
};

}  // namespace

TEST_F(SegmentEditorArea, ShowsItsControlsWithTheirFirstContent) {
    EXPECT_EQ(lineTexts(), QStringList{"　從 00:00:00.00 到 00:00:00.00"});
    EXPECT_EQ(child<QLineEdit>("txtRngStart")->text(), "00:00:00.00");
    EXPECT_EQ(child<QLabel>("lblTtTime")->text(), "00:00:00.00");
    const QStringList captions{"新增", "修改", "移除", "↑", "↓"};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(button(i)->text(), captions[i]);
    EXPECT_EQ(child<QPushButton>("cmdLoad")->text(), "從播放區重讀標記");
    EXPECT_EQ(child<QPushButton>("cmdApply")->toolTip(), "將這裡的編輯結果重繪到播放畫面區");
    EXPECT_TRUE(child<QPushButton>("cmdApply")->isEnabled());  // the one line could be applied
    EXPECT_FALSE(child<QPushButton>("cmdLoad")->isEnabled());  // no marks in the player
}

TEST_F(SegmentEditorArea, LoadShowsTheLengthAndTheMarksAndSelectsTheFirst) {
    player.bar = true;
    player.times = {{"00:00:04.00", "00:00:06.00"}, {"00:00:01.00", "00:00:02.50"}};
    editor.loadMark();
    EXPECT_EQ(child<QLabel>("lblTtTime")->text(), "00:01:05.40");
    EXPECT_EQ(lineTexts(),
              QStringList({"　從 00:00:04.00 到 00:00:06.00", "　從 00:00:01.00 到 00:00:02.50"}));
    EXPECT_EQ(lines()->currentRow(), 0);
    EXPECT_EQ(child<QLineEdit>("txtRngEnd")->text(), "00:00:06.00");
    EXPECT_TRUE(child<QPushButton>("cmdLoad")->isEnabled());
    EXPECT_FALSE(button(3)->isEnabled());
    EXPECT_TRUE(button(4)->isEnabled());

    // A new media without marks empties the editor.
    player.bar = false;
    player.times.clear();
    editor.loadMark();
    EXPECT_TRUE(lineTexts().isEmpty());
    EXPECT_FALSE(button(1)->isEnabled());
    EXPECT_FALSE(button(2)->isEnabled());
    EXPECT_FALSE(child<QPushButton>("cmdApply")->isEnabled());
}

TEST_F(SegmentEditorArea, RefusalsShowTheirMessageAndChangeNothing) {
    editor.loadMark();  // 65.4 s, no marks
    type("00:00:10.00", "00:00:10.00");
    press(0);
    type("00:60:00.00", "00:00:10.00");
    press(0);
    type("1:00:00.00", "00:00:10.00");
    press(0);
    type("00:00:10.00", "00:01:05.41");
    press(0);
    EXPECT_EQ(prompts.messageTexts(),
              QStringList({"結束時間必須在開始時間之後！", "輸入的時間不符合格式要求！",
                           "輸入的時間不符合格式要求！", "時間超過此檔案的播放長度！"}));
    for (const auto& shown : prompts.shown()) {
        EXPECT_EQ(shown.title, "錯誤訊息");
        EXPECT_EQ(shown.buttons, prompts::Buttons::Ok);
    }
    EXPECT_TRUE(lineTexts().isEmpty());
    EXPECT_EQ(child<QLineEdit>("txtRngEnd")->text(), "00:01:05.41");

    type("00:00:10.00", "00:01:05.40");
    press(0);
    EXPECT_EQ(prompts.shown().size(), 4u);
    EXPECT_EQ(lineTexts(), QStringList{"　從 00:00:10.00 到 00:01:05.40"});
    EXPECT_EQ(lines()->currentRow(), 0);
    EXPECT_TRUE(child<QPushButton>("cmdApply")->isEnabled());
}

TEST_F(SegmentEditorArea, EditsReachThePlayerOnlyThroughApply) {
    player.bar = true;
    player.times = {{"00:00:04.00", "00:00:06.00"}};
    editor.loadMark();
    type("00:00:07.00", "00:00:08.00");
    press(0);
    press(2);  // removes the new line again
    EXPECT_EQ(player.applies, 0);
    auto spans = editor.editorSpans();
    ASSERT_EQ(spans.size(), 1u);
    EXPECT_EQ(spans[0].first, 4.0f / 0.04f);
    QTest::mouseClick(child<QPushButton>("cmdApply"), Qt::LeftButton);
    EXPECT_EQ(player.applies, 1);
    QTest::mouseClick(child<QPushButton>("cmdLoad"), Qt::LeftButton);
    EXPECT_EQ(player.reloads, 1);
}

TEST_F(SegmentEditorArea, ClickingALineFillsTheBoxesAndDoubleClickPlaysItsSpan) {
    player.bar = true;
    player.times = {{"00:00:01.00", "00:00:02.00"}, {"00:00:04.00", "00:00:06.00"}};
    editor.loadMark();
    QListWidget* list = lines();
    const QRect second = list->visualItemRect(list->item(1));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second.center());
    EXPECT_EQ(child<QLineEdit>("txtRngStart")->text(), "00:00:04.00");
    EXPECT_TRUE(button(3)->isEnabled());
    EXPECT_FALSE(button(4)->isEnabled());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, second.center());
    ASSERT_EQ(player.plays.size(), 1u);
    EXPECT_EQ(player.plays[0], (std::pair<int32_t, int32_t>{100, 150}));

    // Without time information a line plays nothing at all.
    player.spu = 0;
    editor.playSelectedLine();
    EXPECT_EQ(player.plays.size(), 1u);
}
