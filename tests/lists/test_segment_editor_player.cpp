// The segment editor wired to the player's marks over real headless mpv, the way the
// application joins them: times typed to the hundredth become frames, reloading shows them
// again, and a double click plays one span and stops at its end.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <functional>
#include <memory>

#include "common/scripted_prompts.h"
#include "lists/segment_editor.h"
#include "media/mci.h"
#include "media/mpv_mci_device.h"
#include "media/video_surface.h"
#include "player/marks/marks_controller.h"
#include "qt_app.h"
#include "test_media.h"

using namespace lists;

namespace {

// 10 s at 25 fps (250 frames), a keyframe every 5 frames so that spans start where asked.
QString tenSeconds() {
    return QString::fromStdString(testmedia::makeClip(
        "marks_10s.flv", {"-f", "lavfi", "-i", "testsrc2=size=160x120:rate=25:duration=10", "-c:v",
                          "libx264", "-g", "5", "-pix_fmt", "yuv420p"}));
}

bool waitUntil(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > timeoutMs) return false;
        QTest::qWait(10);
    }
    return true;
}

// The player side: the marks over a real media object, and the adapters in both directions
// between the marks and the editor.
class Player : public marks::MarksHost, public marks::MarksListLink, public SegmentEditorHost {
  public:
    Player() : device(MpvMciDevice::Options{true, 10000}), mci(&device), marks(*this) {
        marks.setListLink(this);
        editor.setHost(this);
        surface.resize(160, 120);
    }
    ~Player() override { mci.closeAllMCI(); }

    bool open(const QString& path) {
        mci.openMCI(path, surface.surfaceId(), QStringLiteral("Lumba.FLV"));
        if (!mci.isSuccess()) return false;
        marks.clearAllMarks();
        editor.loadMark();
        return true;
    }

    // MarksHost
    MCI& media() override { return mci; }
    int32_t totalUnits() const override { return const_cast<MCI&>(mci).getTotalFrames(); }
    float secondsPerUnit() const override {
        MCI& m = const_cast<MCI&>(mci);
        return m.getTotalSeconds() / float(m.getTotalFrames());
    }
    float barScale() const override { return 389.0f / float(totalUnits()); }
    PlayState playState() const override { return state; }
    double totalSeconds() const override { return const_cast<MCI&>(mci).getTotalSeconds(); }
    bool positionBarEnabled() const override { return true; }
    ButtonState markButtonState(marks::MarkButton) const override { return ButtonState::Normal; }
    void setMarkButtonState(marks::MarkButton, ButtonState) override {}
    void pausePrFn() override {}
    void shareBnStop() override { state = PlayState::Stopped; }
    void stopMedia() override {}
    void failPlay() override { ++failures; }
    void segmentPlayStarted(bool) override { state = PlayState::Playing; }

    // MarksListLink: the editor's side
    void loadMark() override { editor.loadMark(); }
    void checkCmdRng() override { editor.checkCmdRng(); }
    std::vector<std::pair<float, float>> editorSpans() override { return editor.editorSpans(); }

    // SegmentEditorHost: the player's side
    bool marksBarVisible() const override { return marks.barVisible(); }
    std::vector<LineTimes> segmentTimes() const override {
        std::vector<LineTimes> out;
        for (int i = 0; i < marks.segments().count(); ++i) {
            const marks::SegmentTimes t = marks.rsFormat(i, 3);
            out.push_back({t.startText, t.endText});
        }
        return out;
    }
    void applyMark() override { marks.applyMark(); }
    void goToMarksList() override { marks.goToMarksList(); }
    void playOnlySpan(int32_t start, int32_t end) override {
        mci.rngCancel();
        shareBnStop();
        marks.playNextRS(marks::SegmentRepeat::Once, 0, false, start, end, true);
    }

    std::vector<std::pair<int32_t, int32_t>> segmentUnits() const {
        std::vector<std::pair<int32_t, int32_t>> out;
        if (!marks.barVisible()) return out;
        for (int i = 0; i < marks.segments().count(); ++i)
            out.emplace_back(marks.segments().at(i).start, marks.segments().at(i).end());
        return out;
    }

    VideoSurface surface;
    MpvMciDevice device;
    MCI mci;
    marks::MarksController marks;
    SegmentEditor editor;
    PlayState state = PlayState::Stopped;
    int failures = 0;
};

class EditorOnPlayer : public ::testing::Test {
  protected:
    void SetUp() override {
        testmedia::qtApp();
        player = std::make_unique<Player>();
        ASSERT_TRUE(player->open(tenSeconds()));
        ASSERT_NEAR(player->mci.getTotalFrames(), 250, 3);
        ASSERT_NEAR(player->secondsPerUnit(), 0.04, 1e-5);  // 25 frames a second
    }
    void add(const QString& start, const QString& end) {
        editor().findChild<QLineEdit*>("txtRngStart")->setText(start);
        editor().findChild<QLineEdit*>("txtRngEnd")->setText(end);
        editor().clickButton(int(EditorButton::Add));
    }
    SegmentEditor& editor() { return player->editor; }

    ScriptedPrompts prompts;
    std::unique_ptr<Player> player;
};

}  // namespace

TEST_F(EditorOnPlayer, TypedHundredthsBecomeFramesAndReloadTheSame) {
    EXPECT_TRUE(editor().model().lines().isEmpty());  // opening a media without marks
    add("00:00:04.00", "00:00:06.00");
    add("00:00:00.52", "00:00:01.00");
    editor().findChild<QPushButton*>("cmdApply")->click();
    EXPECT_EQ(player->segmentUnits(),
              (std::vector<std::pair<int32_t, int32_t>>{{100, 150}, {13, 25}}));
    editor().findChild<QPushButton*>("cmdLoad")->click();
    EXPECT_EQ(editor().model().lines(), QStringList({editorLine("00:00:04.00", "00:00:06.00"),
                                                     editorLine("00:00:00.52", "00:00:01.00")}));
    EXPECT_TRUE(editor().findChild<QLabel*>("lblTtTime")->text().startsWith("00:00:10."));
    EXPECT_TRUE(prompts.shown().empty());
}

TEST_F(EditorOnPlayer, MarksChangeOnlyOnApplyAndAnEmptyApplyClearsThem) {
    player->marks.setMark(25, 50);
    player->marks.setMark(150, 200);
    editor().loadMark();
    ASSERT_EQ(editor().model().lines().size(), 2);
    editor().clickButton(int(EditorButton::Remove));
    editor().clickButton(int(EditorButton::Remove));
    EXPECT_TRUE(editor().model().lines().isEmpty());
    EXPECT_EQ(player->segmentUnits().size(), 2u);
    auto* apply = editor().findChild<QPushButton*>("cmdApply");
    EXPECT_TRUE(apply->isEnabled());  // the player's marks can still be cleared
    apply->click();
    EXPECT_TRUE(player->segmentUnits().empty());
    EXPECT_FALSE(apply->isEnabled());
    EXPECT_FALSE(editor().findChild<QPushButton*>("cmdLoad")->isEnabled());
}

TEST_F(EditorOnPlayer, DoubleClickPlaysOnlyThatLinesSpan) {
    player->marks.setMark(25, 50);
    player->marks.setMark(150, 200);
    editor().loadMark();
    auto* list = editor().findChild<QListWidget*>("lstRng");
    editor().show();
    const QPoint second = list->visualItemRect(list->item(1)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second);
    QElapsedTimer clock;
    clock.start();
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, second);
    EXPECT_EQ(player->state, PlayState::Playing);
    EXPECT_EQ(player->failures, 0);
    // Only this span: no segment follows it.
    EXPECT_EQ(player->marks.playingSegment(), player->marks.segments().lastIndex());
    ASSERT_TRUE(waitUntil([&] { return player->mci.getMode() == MciMode::Stopped; }, 8000));
    EXPECT_GT(clock.elapsed(), 1500);  // it played two seconds, from 6 s
    EXPECT_NEAR(player->mci.getCurFrame(), 200, 3);
    QTest::qWait(300);
    EXPECT_NEAR(player->mci.getCurFrame(), 200, 3);  // and stays there
    EXPECT_EQ(player->segmentUnits().size(), 2u);    // the marks themselves are untouched
}
