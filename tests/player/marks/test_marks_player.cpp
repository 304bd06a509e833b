// The marks inside the main window, against real headless mpv on a generated 10 s clip:
// segment play in order, looped, and the end of a segment the device never reaches.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTest>
#include <clocale>
#include <vector>

#include "common/scripted_prompts.h"
#include "fake_mixer.h"
#include "media/main_vol.h"
#include "media/mpv_mci_device.h"
#include "player/frm_main.h"
#include "player/marks/marks_bar.h"
#include "player/marks/marks_controller.h"
#include "player/media_opener.h"
#include "player/playback_controller.h"
#include "player/status_tick.h"
#include "player/transport_view.h"
#include "qt_app.h"
#include "test_media.h"
#include "window_part.h"

using testmedia::part;

namespace {

void ensureApp() { testmedia::qtApp(); }

// The libmpv device, except that it can be told never to answer "stopped" for the mode: a
// device that just stops moving at the end of what it can play.
class NeverStopped : public MciDevice {
  public:
    explicit NeverStopped(MciDevice& real) : real_(real) {}
    bool hideStopped = false;
    int send(const QString& command, QString* reply) override {
        const int rc = real_.send(command, reply);
        if (hideStopped && reply && command.endsWith(QLatin1String(" mode")) &&
            reply->startsWith(QLatin1String("stopped")))
            *reply = QStringLiteral("playing");
        return rc;
    }

  private:
    MciDevice& real_;
};

// 10 s at 25 fps (250 frames), a keyframe every 5 frames so that segment starts are exact.
QString tenSeconds() {
    return QString::fromStdString(testmedia::makeClip(
        "marks_10s.flv", {"-f", "lavfi", "-i", "testsrc2=size=160x120:rate=25:duration=10", "-c:v",
                          "libx264", "-g", "5", "-pix_fmt", "yuv420p"}));
}

struct AppFirst {
    AppFirst() { ensureApp(); }
};

class MarksInWindow : public ::testing::Test, public AppFirst {
  protected:
    MarksInWindow()
        : device(MpvMciDevice::Options{true, 10000}),
          masked(device),
          vol(std::make_unique<testmedia::FakeMixer>()),
          w(&masked) {
        w.transport().setVolume(&vol);
        w.resize(420, 400);
        w.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&w));
        QObject::connect(&w.status(), &player::StatusTick::statusTick,
                         [this](int32_t p) { ticks.push_back(p); });
    }
    ~MarksInWindow() override { w.media().closeMCI(QString()); }

    marks::MarksController& marks() { return w.marks(); }
    void open(const QString& item) {
        w.opener().playSingle(item, player::PlayRequest::User);
        ASSERT_EQ(w.state().playState(), PlayState::Playing)
            << prompts.messageTexts().join(u'|').toStdString();
        ASSERT_NEAR(w.state().length(), 250, 3);
    }
    // Runs the window until cond holds; false after timeoutMs.
    bool runUntil(const std::function<bool()>& cond, int timeoutMs) {
        return QTest::qWaitFor(cond, timeoutMs);
    }
    // Index of the first tick from `from` on that lies in [lo, hi]; -1 when none.
    int firstTickIn(int lo, int hi, size_t from = 0) const {
        for (size_t i = from; i < ticks.size(); ++i)
            if (ticks[i] >= lo && ticks[i] <= hi) return static_cast<int>(i);
        return -1;
    }

    ScriptedPrompts prompts;
    MpvMciDevice device;
    NeverStopped masked;
    MainVol vol;
    frmMain w;
    std::vector<int32_t> ticks;
};

TEST_F(MarksInWindow, MarksPlayedOncePlayInOrderThenStop) {
    open(tenSeconds());
    marks().setMark(25, 50);    // 1-2 s
    marks().setMark(100, 125);  // 4-5 s
    ASSERT_TRUE(marks().menus().rngPlay);
    ticks.clear();
    w.transport().keyDown(Qt::Key_Return);
    ASSERT_TRUE(runUntil([&] { return w.state().playState() == PlayState::Stopped; }, 8000));
    // Every tick lies inside one of the two segments (a tick may see the device just past an
    // end it stopped at), the first segment before the second, and playback then stopped.
    ASSERT_FALSE(ticks.empty());
    for (int32_t p : ticks) {
        const bool inFirst = p >= 25 && p <= 52;
        const bool inSecond = p >= 100 && p <= 127;
        EXPECT_TRUE(inFirst || inSecond || p == 0) << p;  // 0: the stop seeks to the start
    }
    const int first = firstTickIn(25, 52);
    const int second = firstTickIn(100, 127);
    ASSERT_GE(first, 0);
    ASSERT_GT(second, first);
    EXPECT_LT(firstTickIn(25, 52, static_cast<size_t>(second)), 0) << "played once";
    EXPECT_FALSE(w.status().tmrCheck().isActive());
    EXPECT_FALSE(w.media().isRngPlaying());
    EXPECT_EQ(prompts.shown().size(), 0u);
    // The marks stay for the next play.
    EXPECT_EQ(marks().marksText(), "25-50 100-125");
}

TEST_F(MarksInWindow, LoopedMarksWrapBackToTheFirst) {
    open(tenSeconds());
    marks().setMark(25, 50);
    marks().setMark(100, 125);
    ticks.clear();
    w.transport().keyDown(Qt::Key_Return, Qt::ControlModifier);
    EXPECT_TRUE(w.media().rngRepeat());
    int second = -1;
    ASSERT_TRUE(runUntil([&] { return (second = firstTickIn(100, 127)) >= 0; }, 6000));
    ASSERT_TRUE(runUntil([&] { return firstTickIn(25, 52, size_t(second)) >= 0; }, 6000))
        << "back to the first segment";
    EXPECT_EQ(w.state().playState(), PlayState::Playing);
    EXPECT_EQ(marks().playingSegment(), 0);
    w.playback().mbStop_Click();
    EXPECT_EQ(w.state().playState(), PlayState::Stopped);
}

TEST_F(MarksInWindow, ItemMarksPlayRightAfterTheOpen) {
    open(tenSeconds() + QStringLiteral("\u222525-50 100-125"));
    EXPECT_TRUE(marks().barVisible());
    EXPECT_FALSE(marks().checkDealRng());
    EXPECT_EQ(w.media().rngStart(), 25);
    ASSERT_TRUE(runUntil([&] { return w.state().playState() == PlayState::Stopped; }, 8000));
    ASSERT_GE(firstTickIn(100, 127), 0);
    // A start beyond the media's length drops all marks: the whole file plays.
    open(tenSeconds() + QStringLiteral("\u222525-50 300-320"));
    EXPECT_FALSE(marks().barVisible());
    EXPECT_FALSE(w.media().isRngPlaying());
}

TEST_F(MarksInWindow, ASegmentEndingPastWhereTheDeviceStopsStillEnds) {
    open(tenSeconds());
    // The segment reaches past the last frame, and the device never says it stopped: the
    // segment ends when the position no longer changes between two ticks.
    masked.hideStopped = true;
    marks().setMark(225, w.state().length() + 40);
    ticks.clear();
    marks().playNextRS(marks::SegmentRepeat::Once, 0, false, -1, -1, true);
    const int32_t end = w.media().rngEnd();  // held to the media's length
    ASSERT_GT(end, 240);
    ASSERT_TRUE(runUntil([&] { return w.state().playState() == PlayState::Stopped; }, 6000));
    ASSERT_GE(ticks.size(), 3u);
    const int32_t last = *std::max_element(ticks.begin(), ticks.end());
    EXPECT_LT(last, end) << "the device stopped short of the end";
    EXPECT_GE(last, 240);
    // The two ticks before the stop saw the same position.
    const size_t n = ticks.size();
    std::string seen;
    for (int32_t p : ticks) seen += std::to_string(p) + " ";
    EXPECT_EQ(ticks[n - 1], ticks[n - 2]) << seen;
    EXPECT_FALSE(w.media().isRngPlaying());
}

TEST_F(MarksInWindow, MarkKeysDrawTheOpenSegmentGrowing) {
    open(tenSeconds());
    ASSERT_TRUE(runUntil([&] { return w.media().getCurFrame() >= 10; }, 3000));
    w.transport().keyDown(Qt::Key_BracketLeft);
    ASSERT_TRUE(marks().lastIsOpen());
    marks::SegmentRect* rect = nullptr;
    for (auto* r : w.findChildren<marks::SegmentRect*>())
        if (r->index() == 0) rect = r;
    ASSERT_NE(rect, nullptr);
    EXPECT_TRUE(part<QWidget>(w, "picRngBk")->isVisible());
    const int start = marks().segments().at(0).start;
    const int width0 = rect->width();
    ASSERT_TRUE(runUntil([&] { return marks().segments().at(0).length >= 25; }, 4000));
    EXPECT_GT(rect->width(), width0);
    w.transport().keyDown(Qt::Key_BracketRight);
    EXPECT_EQ(marks().segments().at(0).state, marks::SegmentState::Closed);
    EXPECT_GE(marks().segments().at(0).end(), start + 25);
    EXPECT_TRUE(rect->toolTip().startsWith(QStringLiteral("標記區段 1：從 00:0")));
    EXPECT_TRUE(part<QAction>(w, "mnuRngPlay_0")->isEnabled());
    EXPECT_TRUE(part<QAction>(w, "mnuSaveRng")->isEnabled());
    EXPECT_TRUE(marks().checkDealRng());
}

TEST_F(MarksInWindow, TheAutoAttachItemIsFoundByItsName) {
    auto* item = w.findChild<QAction*>(QStringLiteral("mnuAutoAddMark"));
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->text(), QStringLiteral("總是自動附加標記"));
    EXPECT_TRUE(part<QMenu>(w, "mnuMarks")->actions().contains(item));
    item->setChecked(true);  // as the settings do at start-up
    EXPECT_TRUE(w.marks().autoAddMark());
    w.marks().setAutoAddMark(false);
    EXPECT_FALSE(item->isChecked());
    // Without media the marks menus are off except the marks list.
    EXPECT_TRUE(part<QAction>(w, "mnuRngEdit")->isEnabled());
    EXPECT_FALSE(part<QAction>(w, "mnuRngPlay_0")->isEnabled() ||
                 part<QAction>(w, "mnuRngClear")->isEnabled() ||
                 part<QAction>(w, "mnuSaveRng")->isEnabled() ||
                 part<QAction>(w, "mnuSaveCut")->isEnabled());
}

}  // namespace
