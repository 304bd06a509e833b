// The marks bar and the marks menus, offscreen.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QTest>

#include "common/scripted_prompts.h"
#include "fake_host.h"
#include "player/marks/marks_actions.h"
#include "player/marks/marks_bar.h"
#include "player/marks/marks_controller.h"
#include "qt_app.h"

using namespace marks;
using marks::testing::FakeHost;

namespace {

void ensureApp() { testmedia::qtApp(); }

struct WithApp : ::testing::Test {
    WithApp() { ensureApp(); }
};

struct Bar : WithApp {
    FakeHost host;
    MarksController m{host};
    ScriptedPrompts prompts;
    QWidget window;
    QWidget* bg = new QWidget(&window);
    MarksBar bar{bg, m};

    void SetUp() override {
        window.resize(400, 40);
        bg->setGeometry(0, 10, 389, 6);  // 389 px for 100000 units
        window.show();
    }
    void mark(int32_t s, int32_t e) {
        host.device.position = s;
        m.markStart();
        host.device.position = e;
        m.markEnd();
    }
};

TEST_F(Bar, OneGreenRectanglePerSegmentOnTheUnitScale) {
    EXPECT_FALSE(bg->isVisible());
    mark(10000, 30000);
    EXPECT_TRUE(bg->isVisible());
    ASSERT_GE(bar.rectCount(), 1);
    SegmentRect* r = bar.rect(0);
    EXPECT_TRUE(r->isVisible());
    EXPECT_EQ(r->geometry(), QRect(39, 0, 117 - 39, 6));
    EXPECT_EQ(r->color(), kSegmentColor);
    EXPECT_EQ(r->toolTip(), m.segments().at(0).summary);
    EXPECT_EQ(bg->toolTip(), "1 個標記的總時間是 06:40.00 秒");

    bg->resize(778, 6);  // the bar follows the position bar's width
    EXPECT_EQ(bar.rect(0)->geometry().x(), 78);

    m.clearAllMarks();
    EXPECT_FALSE(bg->isVisible());
    EXPECT_FALSE(bar.rect(0)->isVisible());
}

TEST_F(Bar, TheOpenSegmentGrowsAndLaterSegmentsDrawInFront) {
    mark(20000, 60000);
    host.device.position = 10000;
    m.markStart();
    const int w0 = bar.rect(1)->width();
    m.stretchOpenSegment(50000);
    EXPECT_GT(bar.rect(1)->width(), w0);
    EXPECT_EQ(bar.rect(1)->geometry(), QRect(39, 0, 195 - 39, 6));
    // The newer, overlapping segment is above the older one.
    const QObjectList kids = bg->children();
    EXPECT_GT(kids.indexOf(bar.rect(1)), kids.indexOf(bar.rect(0)));
}

TEST_F(Bar, ACopyStartBeforeTheMarkShowsAsAPaleLeadInAndInTheTooltip) {
    mark(10000, 30000);  // 200 s to 600 s
    EXPECT_FALSE(bar.leadIn(0)->isVisible());
    EXPECT_EQ(m.segments().at(0).summary, "標記區段 1：從 03:20.00 到 10:00.00 ＝ 06:40.00 秒");

    // The keyframes become known later: the save's copy starts 10 s early.
    host.leadInSeconds = 10;
    m.refreshCopyStarts();
    const QString summary =
        "標記區段 1：從 03:20.00 到 10:00.00 ＝ 06:40.00 秒（實際從 03:10.00 開始）";
    EXPECT_EQ(m.segments().at(0).summary, summary);
    EXPECT_EQ(bar.rect(0)->toolTip(), summary);
    SegmentRect* lead = bar.leadIn(0);
    EXPECT_TRUE(lead->isVisible());
    EXPECT_EQ(lead->geometry(), QRect(37, 0, 39 - 37, 6));
    EXPECT_EQ(lead->color(), paleShade(kSegmentColor));
    EXPECT_EQ(paleShade(kSegmentColor), QColor(153, 255, 153));
    EXPECT_EQ(bar.rect(0)->geometry(), QRect(39, 0, 117 - 39, 6));  // the segment itself stays

    // A segment moved down by a delete keeps its own lead-in; an open one has none.
    mark(50000, 70000);
    m.deleteSegment(0);
    EXPECT_EQ(m.segments().at(0).copyStart, 49500);
    host.device.position = 80000;
    m.markStart();
    EXPECT_FALSE(m.segments().at(1).copyStart);
    EXPECT_FALSE(bar.leadIn(1)->isVisible());
}

TEST_F(Bar, AClickAsksAboutTheSegmentWhileItIsRed) {
    mark(10000, 30000);
    mark(50000, 70000);
    QColor whileAsked;
    prompts.onShown = [&](const ScriptedPrompts::Shown&) { whileAsked = bar.rect(1)->color(); };
    prompts.answer(prompts::Answer::No);
    QTest::mouseClick(bar.rect(1), Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_EQ(whileAsked, kAskedSegmentColor);
    EXPECT_EQ(m.segments().count(), 1);
    EXPECT_FALSE(bar.rect(1)->isVisible());
    EXPECT_EQ(bar.rect(0)->color(), kSegmentColor);
}

TEST(MarksMenus, CaptionsEnablingAndCommands) {
    ensureApp();
    FakeHost host;
    MarksController m{host};
    QAction placed;  // an item the window already put into its menu
    MarksMenuItems given;
    given.mnuRngClear = &placed;
    MarksActions a{m, given};
    const MarksMenuItems& it = a.items();
    EXPECT_EQ(it.mnuRngClear, &placed);
    EXPECT_EQ(placed.text(), "清除所有標記");
    EXPECT_EQ(it.mnuRngEdit->text(), "前往標記清單\u3000\u3000 \u3000F2");
    EXPECT_EQ(it.mnuRngPlay[1]->text(), "循環播放標記\u3000   Ctr+Enter");
    EXPECT_EQ(it.mnuSaveRng->text(), "另存裁剪");
    EXPECT_EQ(it.mnuSaveCut->text(), "另存分割");
    EXPECT_TRUE(it.mnuAutoAddMark->isCheckable());
    m.clearAllMarks();
    EXPECT_TRUE(it.mnuRngEdit->isEnabled());
    EXPECT_FALSE(it.mnuRngClear->isEnabled() || it.mnuRngPlay[0]->isEnabled() ||
                 it.mnuSaveRng->isEnabled() || it.mnuSaveCut->isEnabled());

    host.device.position = 1000;
    m.markStart();
    host.device.position = 2000;
    m.markEnd();
    EXPECT_TRUE(it.mnuRngClear->isEnabled() && it.mnuRngPlay[1]->isEnabled());
    EXPECT_TRUE(it.mnuSaveRng->isEnabled());
    EXPECT_FALSE(it.mnuSaveCut->isEnabled());

    it.mnuRngPlay[1]->trigger();
    EXPECT_TRUE(host.mci.rngRepeat());
    int saves = 0;
    QObject::connect(&a, &MarksActions::saveRngRequested, [&] { ++saves; });
    it.mnuSaveRng->trigger();
    EXPECT_EQ(saves, 1);

    it.mnuAutoAddMark->trigger();
    EXPECT_TRUE(m.autoAddMark());
    m.setAutoAddMark(false);
    EXPECT_FALSE(it.mnuAutoAddMark->isChecked());

    EXPECT_EQ(it.mnuExactCut->text(), "精確裁剪（只重新編碼區段開頭）");
    it.mnuExactCut->trigger();
    EXPECT_TRUE(m.exactCut());
    m.setExactCut(false);
    EXPECT_FALSE(it.mnuExactCut->isChecked());
}

}  // namespace
