// The main window driven headless: offscreen Qt, mpv without audio output, clips made by
// ffmpeg. Status ticks are run directly where a test needs one at a known moment.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <clocale>
#include <optional>

#include "common/scripted_prompts.h"
#include "fake_mixer.h"
#include "keyframes/keyframe_indexer.h"
#include "media/main_vol.h"
#include "media/mpv_mci_device.h"
#include "media/video_surface.h"
#include "player/frm_main.h"
#include "player/marks/marks_controller.h"
#include "player/media_opener.h"
#include "player/playback_controller.h"
#include "player/player_logic.h"
#include "player/status_tick.h"
#include "player/transport_view.h"
#include "qt_app.h"
#include "test_media.h"
#include "window_part.h"

using testmedia::part;

namespace {

QApplication& ensureApp() { return testmedia::qtApp(); }

QString clip(const char* name) { return QString::fromStdString(testmedia::clip(name)); }

// One second of 25 fps video with sound: ends quickly.
QString shortClip() {
    return QString::fromStdString(testmedia::makeClip(
        "player_short.flv", {"-f", "lavfi", "-i", "testsrc2=size=160x120:rate=25:duration=1", "-f",
                             "lavfi", "-i", "sine=frequency=440:duration=1", "-c:v", "libx264",
                             "-pix_fmt", "yuv420p", "-c:a", "aac", "-shortest"}));
}

struct AppFirst {
    AppFirst() { ensureApp(); }
};

class Window : public ::testing::Test, public AppFirst {
  protected:
    Window()
        : device(MpvMciDevice::Options{true, 10000}),
          vol(std::make_unique<testmedia::FakeMixer>()),
          w(&device) {
        w.transport().setVolume(&vol);
        w.resize(420, 400);
        w.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&w));
    }
    ~Window() override { w.media().closeMCI(QString()); }

    void open(const QString& path) {
        w.opener().playSingle(path, player::PlayRequest::User);
        ASSERT_EQ(w.state().playState(), PlayState::Playing) << path.toStdString();
    }
    QString status() const { return part<QLabel>(const_cast<frmMain&>(w), "lblFnName")->text(); }
    int frame() { return w.media().getCurFrame(); }
    void pauseAt(int f) {
        w.playback().mbPause_Click();
        w.media().setCurFrame(f, false);
    }

    ScriptedPrompts prompts;
    MpvMciDevice device;
    MainVol vol;
    frmMain w;
};

}  // namespace

TEST_F(Window, OpensAndPlaysWithTitleAndStatusLine) {
    open(clip("h264_aac.flv"));
    EXPECT_EQ(w.windowTitle(), QStringLiteral(" h264_aac.flv - Lumba.FLV"));
    EXPECT_EQ(w.objectName(), QStringLiteral("frmMain"));
    EXPECT_TRUE(w.status().tmrCheck().isActive());
    EXPECT_EQ(w.state().continueMode(), ContinueMode::SingleFile);
    EXPECT_EQ(w.state().length(), 250);
    EXPECT_NEAR(w.state().secondsPerUnit(), 0.04, 1e-4);
    EXPECT_EQ(part<QLabel>(w, "lblTtTime")->text(), QStringLiteral("00:10"));
    EXPECT_EQ(part<LumbaButton>(w, "mbPlay")->State(), ButtonState::Down);
    EXPECT_EQ(part<LumbaButton>(w, "mbPause")->State(), ButtonState::Normal);
    EXPECT_TRUE(part<QAction>(w, "mnuKeepWH")->isEnabled());
    EXPECT_EQ(prompts.shown().size(), 0u);

    // 105 of 250 frames is 42 %.
    pauseAt(105);
    w.status().tmrCheck_Timer();
    EXPECT_EQ(status(), QStringLiteral("暫停播放，進度 42 ％，播速 100 ％"));
    EXPECT_EQ(part<QLabel>(w, "lblCurTime")->text(), QStringLiteral("00:04"));
    // Resumed, the line changes at the first tick that sees the position move.
    w.media().setCurFrame(104, false);
    w.playback().mbPlay_Click();
    EXPECT_EQ(w.state().playState(), PlayState::Playing);
    ASSERT_TRUE(QTest::qWaitFor([&] { return frame() > 104; }, 2000));
    w.status().tmrCheck_Timer();
    EXPECT_EQ(status(), QStringLiteral("正在播放，進度 42 ％，播速 100 ％"));
}

TEST_F(Window, EndOfASingleFileThenPlayRestartsFromZero) {
    open(shortClip());
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.state().playState() == PlayState::Stopped; }, 8000));
    EXPECT_EQ(status(), QStringLiteral("結束播放"));
    EXPECT_EQ(w.state().continueMode(),
              ContinueMode::None);  // the empty play list plays nothing next
    EXPECT_FALSE(w.status().tmrCheck().isActive());
    EXPECT_EQ(part<LumbaButton>(w, "mbStop")->State(), ButtonState::Down);
    EXPECT_EQ(part<LumbaButton>(w, "mbPlay")->State(), ButtonState::Normal);
    EXPECT_EQ(part<LumbaButton>(w, "mbPause")->State(), ButtonState::Disabled);
    EXPECT_EQ(frame(), 0);

    w.playback().mbPlay_Click();
    EXPECT_EQ(w.state().playState(), PlayState::Playing);
    EXPECT_EQ(w.state().continueMode(), ContinueMode::PlayList);
    EXPECT_LE(frame(), 5);
    EXPECT_TRUE(w.status().tmrCheck().isActive());
}

TEST_F(Window, UnplayableFilesGiveTheErrorBoxAndTheStoppedLook) {
    QTemporaryDir dir;
    const QString flv = dir.filePath(QStringLiteral("bad.flv"));
    const QString mp4 = dir.filePath(QStringLiteral("bad.mp4"));
    for (const QString& p : {flv, mp4}) {
        QFile f(p);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("this is not a media file");
    }
    QSignalSpy help(&w.opener(), &player::MediaOpener::codecHelpRequested);
    prompts.answer(prompts::Answer::Ok);
    w.opener().playSingle(flv, player::PlayRequest::User);
    EXPECT_EQ(status(), QStringLiteral("無法播放"));
    EXPECT_EQ(w.state().playState(), PlayState::Stopped);
    EXPECT_EQ(w.state().continueMode(), ContinueMode::None);
    EXPECT_FALSE(w.status().tmrCheck().isActive());
    EXPECT_EQ(part<LumbaButton>(w, "mbPlay")->State(), ButtonState::Normal);
    EXPECT_EQ(part<LumbaButton>(w, "mbStop")->State(), ButtonState::Down);
    EXPECT_FALSE(part<QLabel>(w, "lblTtTime")->isVisible());
    ASSERT_EQ(prompts.count(ScriptedPrompts::Kind::Message), 1);
    EXPECT_EQ(prompts.last().title, QStringLiteral("錯誤訊息"));
    EXPECT_EQ(prompts.last().buttons, prompts::Buttons::OkCancel);
    EXPECT_TRUE(
        prompts.last().text.startsWith(QStringLiteral("出現錯誤，無法播放指定的檔案：\r\n") + flv));
    EXPECT_EQ(help.count(), 1);

    w.opener().playSingle(mp4, player::PlayRequest::User);
    EXPECT_EQ(status(), QStringLiteral("無法播放"));
    ASSERT_EQ(prompts.count(ScriptedPrompts::Kind::Message), 2);
    EXPECT_EQ(prompts.last().buttons, prompts::Buttons::Ok);
    EXPECT_EQ(help.count(), 1);
}

TEST_F(Window, CustomSpeedRangeAndDeviceSpeed) {
    open(clip("h264_aac.flv"));
    for (const char* bad : {"0", "201", "fast"}) {
        prompts.typed(QString::fromLatin1(bad));
        w.transport().mnuSpeed_Click(10);
        EXPECT_EQ(prompts.last().kind, ScriptedPrompts::Kind::Message) << bad;
        EXPECT_EQ(prompts.last().text, QStringLiteral("你輸入了錯誤範圍的播放速度！"));
        EXPECT_EQ(prompts.last().title, QStringLiteral("錯誤訊息"));
        EXPECT_EQ(w.state().speed(), 1000);
    }
    EXPECT_EQ(w.state().playState(), PlayState::Paused);  // the input box paused the file
    EXPECT_TRUE(part<QAction>(w, "mnuSpeed_4")->isChecked());
    EXPECT_FALSE(part<QAction>(w, "mnuSpeed_10")->isChecked());

    prompts.typed(QStringLiteral("1"));
    w.transport().mnuSpeed_Click(10);
    EXPECT_EQ(w.state().speed(), 10);
    EXPECT_EQ(w.media().getSpeed(), 10);
    EXPECT_TRUE(part<QAction>(w, "mnuSpeed_10")->isChecked());
    EXPECT_FALSE(part<QAction>(w, "mnuSpeed_4")->isChecked());
    w.status().tmrCheck_Timer();
    EXPECT_TRUE(status().endsWith(QStringLiteral("播速 1 ％"))) << status().toStdString();

    prompts.typed(QStringLiteral("200"));
    w.transport().mnuSpeed_Click(10);
    EXPECT_EQ(w.media().getSpeed(), 2000);
    w.status().tmrCheck_Timer();
    EXPECT_TRUE(status().endsWith(QStringLiteral("播速 200 ％")));

    // Cancel changes nothing and asks nothing more.
    const size_t shown = prompts.shown().size();
    prompts.cancelInput();
    w.transport().mnuSpeed_Click(10);
    EXPECT_EQ(prompts.shown().size(), shown + 1);
    EXPECT_EQ(w.state().speed(), 2000);

    // A new file starts at normal speed.
    w.opener().playSingle(clip("h264_aac.flv"), player::PlayRequest::User);
    EXPECT_EQ(w.state().speed(), 1000);
    EXPECT_TRUE(part<QAction>(w, "mnuSpeed_4")->isChecked());
}

TEST_F(Window, KeyJumpsInTheirModes) {
    open(clip("h264_aac.flv"));
    // Left arrow on a playing video: paused five frames back.
    pauseAt(100);
    w.playback().mbPlay_Click();
    ASSERT_EQ(w.state().playState(), PlayState::Playing);
    QTest::keyClick(&w, Qt::Key_Left);
    EXPECT_EQ(w.state().playState(), PlayState::Paused);
    EXPECT_EQ(w.media().getStatus(), QStringLiteral("paused"));
    EXPECT_GE(frame(), 95);
    EXPECT_LE(frame(), 98);
    EXPECT_EQ(part<LumbaButton>(w, "mbPause")->State(), ButtonState::Down);

    // PgUp in seconds mode keeps it playing five seconds (125 frames) back.
    w.media().setCurFrame(200, false);
    w.playback().mbPlay_Click();
    QTest::keyClick(&w, Qt::Key_PageUp);
    EXPECT_EQ(w.state().playState(), PlayState::Playing);
    EXPECT_EQ(w.media().getStatus(), QStringLiteral("playing"));
    EXPECT_GE(frame(), 75);
    EXPECT_LE(frame(), 85);

    // A per-cent step of 100 holds it at the last frame, paused.
    w.transport().setStepMode(player::StepMode::PerCent);
    w.transport().setStepValue(player::StepMode::PerCent, 100);
    EXPECT_EQ(part<QAction>(w, "mnuFB_2")->text(), QStringLiteral("使用比例模式 ( 100 ％ )"));
    EXPECT_EQ(part<LumbaButton>(w, "mbForward")->ToolTipText(),
              QStringLiteral("快轉 ( PgDn 鍵：100 ％，或 → 鍵：5 格 )"));
    QTest::keyClick(&w, Qt::Key_PageDown);
    EXPECT_EQ(w.state().playState(), PlayState::Paused);
    EXPECT_EQ(frame(), 249);

    // Space toggles; a click on the video acts as Space.
    QTest::keyClick(&w, Qt::Key_Space);
    EXPECT_EQ(w.state().playState(), PlayState::Playing);
    QTest::mouseClick(part<VideoSurface>(w, "picVideo"), Qt::LeftButton, {}, QPoint(50, 50));
    EXPECT_EQ(w.state().playState(), PlayState::Paused);
}

TEST_F(Window, KeyframesShowWhereSavesStartAndCtrlArrowsStepOnThem) {
    for (const std::string ext : {"flv", "mp4"}) {
        SCOPED_TRACE(ext);
        const QString path = QString::fromStdString(
            testmedia::makeClip("player_keys." + ext, testmedia::x264KeyframeClipArgs("160x120")));
        open(path);
        ASSERT_TRUE(QTest::qWaitFor([&] { return w.keyframes().find(path) != nullptr; }, 60000));

        // Marked from 5.40 s: the save copies from the keyframe at 4 s.
        pauseAt(135);
        w.marks().markStart();
        w.media().setCurFrame(175, false);
        w.marks().markEnd();
        EXPECT_TRUE(w.marks().segments().at(0).summary.endsWith("（實際從 00:04.00 開始）"))
            << w.marks().segments().at(0).summary.toStdString();
        EXPECT_EQ(w.marks().segments().at(0).copyStart, 100);
        w.marks().clearAllMarks();

        // Ctrl+arrows land on keyframes, paused; plain arrows still step frames.
        pauseAt(60);
        w.playback().mbPlay_Click();
        QTest::keyClick(&w, Qt::Key_Right, Qt::ControlModifier);
        EXPECT_EQ(w.state().playState(), PlayState::Paused);
        EXPECT_EQ(frame(), 100);
        QTest::keyClick(&w, Qt::Key_Right, Qt::ControlModifier);
        EXPECT_EQ(frame(), 150);
        QTest::keyClick(&w, Qt::Key_Left, Qt::ControlModifier);
        QTest::keyClick(&w, Qt::Key_Left, Qt::ControlModifier);
        EXPECT_EQ(frame(), 50);
        QTest::keyClick(&w, Qt::Key_Right);
        EXPECT_EQ(frame(), 55);
    }
}

TEST_F(Window, CustomStepValueRangeAndCaption) {
    open(clip("h264_aac.flv"));
    prompts.typed(QStringLiteral("101"));
    w.transport().mnuFB_Click(player::kCustomStepItem);
    EXPECT_EQ(prompts.last().text, QStringLiteral("你輸入了錯誤範圍的模式數值！"));
    prompts.typed(QStringLiteral("10"));
    w.transport().mnuFB_Click(player::kCustomStepItem);
    const auto& input = prompts.shown()[prompts.shown().size() - 1];
    EXPECT_TRUE(input.text.startsWith(QStringLiteral("請輸入倒轉與快轉的秒數模式數值")));
    EXPECT_EQ(input.defaultText, QStringLiteral("5"));
    EXPECT_EQ(w.transport().stepValue(player::StepMode::Seconds), 10);
    EXPECT_EQ(part<QAction>(w, "mnuFB_1")->text(), QStringLiteral("使用秒數模式 ( 10 秒 )"));
    EXPECT_EQ(part<LumbaButton>(w, "mbBackward")->ToolTipText(),
              QStringLiteral("倒轉 ( PgUp 鍵：10 秒，或 ← 鍵：5 格 )"));
    EXPECT_TRUE(part<QAction>(w, "mnuFB_1")->isChecked());
}

TEST_F(Window, ThumbDragHeldAtTheEndsAndIdleTrackClickDoesNothing) {
    open(clip("h264_aac.flv"));
    pauseAt(125);
    w.status().tmrCheck_Timer();
    auto* thumb = part<player::BarPart>(w, "picHsb2");
    auto* track = part<player::BarPart>(w, "picHsb");
    const QPoint mid(thumb->width() / 2, thumb->height() / 2);
    QTest::mousePress(thumb, Qt::LeftButton, {}, mid);
    QMouseEvent move(QEvent::MouseMove, QPointF(mid.x() + 2000, mid.y()),
                     thumb->mapToGlobal(QPointF(mid.x() + 2000, mid.y())), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(thumb, &move);
    EXPECT_EQ(thumb->x() + thumb->width() / 2, track->x() + track->width());
    w.status().tmrCheck_Timer();  // the tick leaves a dragged thumb alone
    EXPECT_EQ(thumb->x() + thumb->width() / 2, track->x() + track->width());
    QTest::mouseRelease(thumb, Qt::LeftButton, {}, mid);
    EXPECT_EQ(frame(), 250);

    QTest::mousePress(thumb, Qt::LeftButton, {}, mid);
    QMouseEvent back(QEvent::MouseMove, QPointF(mid.x() - 2000, mid.y()),
                     thumb->mapToGlobal(QPointF(mid.x() - 2000, mid.y())), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(thumb, &back);
    EXPECT_EQ(thumb->x() + thumb->width() / 2, track->x());
    QTest::mouseRelease(thumb, Qt::LeftButton, {}, mid);
    EXPECT_EQ(frame(), 0);

    // A click on the track seeks while the status timer runs ...
    QTest::mouseClick(track, Qt::LeftButton, {}, QPoint(track->width() / 2, 8));
    EXPECT_NEAR(frame(), 125, 2);
    // ... and does nothing once stopped.
    w.playback().mbStop_Click();
    EXPECT_FALSE(w.status().tmrCheck().isActive());
    const int thumbX = thumb->x();
    QTest::mouseClick(track, Qt::LeftButton, {}, QPoint(track->width() / 2, 8));
    EXPECT_EQ(frame(), 0);
    EXPECT_EQ(thumb->x(), thumbX);
}

TEST_F(Window, AudioOnlyDisablesSizingItems) {
    open(clip("tone.mp3"));
    EXPECT_TRUE(w.media().isAudioOnly());
    EXPECT_FALSE(part<QAction>(w, "mnuKeepWH")->isEnabled());
    EXPECT_FALSE(part<QAction>(w, "mnuKeepDef")->isEnabled());
    int pw = 0, ph = 0;
    player::getMediaNewSize(320, 240, pw, ph);
    EXPECT_EQ(pw, 320);
    EXPECT_EQ(ph, 10);
}

TEST_F(Window, KeepAspectPlacesThePictureInTheArea) {
    open(clip("h264_aac.flv"));
    part<QAction>(w, "mnuKeepWH")->trigger();  // the item ticks itself and refits the picture
    EXPECT_TRUE(w.transport().keepWH());
    const QSize area = part<VideoSurface>(w, "picVideo")->size() - QSize(2, 2);
    const QRect r = part<VideoSurface>(w, "picVideo")->videoRect();
    // 320 x 240 fitted into the area, centred, one pixel inside the frame.
    EXPECT_TRUE(r.width() == area.width() || r.height() == area.height());
    EXPECT_NEAR(r.width() * 3.0, r.height() * 4.0, 4.0);
}

// With neither sizing item ticked the picture is stretched over the whole video area, to its
// corners; keeping the shape fits a 16:9 rectangle in the area; the natural size is 320 x 180.
TEST_F(Window, UntickedSizingItemsStretchThePictureOverTheArea) {
    open(QString::fromStdString(
        testmedia::makeClip("player_yellow_320x180.flv",
                            {"-f", "lavfi", "-i", "color=c=yellow:size=320x180:rate=25:duration=2",
                             "-c:v", "flv1", "-q:v", "2"})));
    pauseAt(5);
    VideoSurface* v = part<VideoSurface>(w, "picVideo");
    const QSize area = v->size() - QSize(2, 2);
    // The picture fills what it is shown in: no bar at any corner.
    auto filled = [&] {
        const QImage img = v->shownImage();
        if (img.isNull() || img.size() != v->videoRect().size()) return false;
        const int r = img.width() - 2, b = img.height() - 2;
        for (const QPoint p : {QPoint(1, 1), QPoint(r, 1), QPoint(1, b), QPoint(r, b)}) {
            const QColor c = img.pixelColor(p);
            if (c.red() < 200 || c.green() < 200 || c.blue() > 80) return false;
        }
        return true;
    };

    w.transport().setKeepWH(false);
    w.transport().setKeepDef(false);
    w.transport().myPutSize(true);
    EXPECT_EQ(v->videoRect(), QRect(QPoint(1, 1), area));
    EXPECT_TRUE(QTest::qWaitFor(filled, 2000)) << "the stretched picture has bars";

    w.transport().setKeepWH(true);
    w.transport().myPutSize(true);
    const QRect fit = v->videoRect();
    EXPECT_TRUE(fit.width() == area.width() || fit.height() == area.height());
    EXPECT_NEAR(fit.width() * 9.0, fit.height() * 16.0, 16.0);
    EXPECT_TRUE(QTest::qWaitFor(filled, 2000));

    w.transport().setKeepDef(true);  // wins over keeping the shape
    EXPECT_TRUE(part<QAction>(w, "mnuKeepDef")->isChecked());
    w.transport().myPutSize(true);
    EXPECT_EQ(v->videoRect().size(), QSize(320, 180));
    EXPECT_TRUE(QTest::qWaitFor(filled, 2000));
}

TEST_F(Window, VolumeSliderAndMute) {
    open(clip("h264_aac.flv"));
    auto* slider = part<player::BarPart>(w, "picVolSdr");
    QTest::mouseClick(slider, Qt::LeftButton, {}, QPoint(slider->width() / 4, 5));
    EXPECT_NEAR(vol.MainVolume(), 25, 2);
    auto* knob = part<player::BarPart>(w, "picVolPos");
    EXPECT_NEAR(knob->x() + knob->width() / 2, slider->x() + slider->width() / 4, 1);
    w.resize(w.width() + 200, w.height());  // the knob moves with the slider
    QCoreApplication::processEvents();
    EXPECT_NEAR(knob->x() + knob->width() / 2, slider->x() + slider->width() / 4, 1);
    QTest::mouseClick(part<LumbaButton>(w, "mbSound")->inner(), Qt::LeftButton);
    EXPECT_TRUE(vol.MainMute());
    QTest::mouseClick(part<LumbaButton>(w, "mbSound")->inner(), Qt::LeftButton);
    EXPECT_FALSE(vol.MainMute());
}

TEST_F(Window, OpenDialogUsesTheOpenFilterAndLastFileReopens) {
    const QString a = clip("h264_aac.flv");
    const QString b = clip("mpeg1.mpg");
    prompts.files({a});
    part<QAction>(w, "mnuOpen")->trigger();
    EXPECT_EQ(w.state().playState(), PlayState::Playing);
    EXPECT_TRUE(prompts.last().file.qtFilter.startsWith(
        QStringLiteral("支援處理的檔案 (flv ; mpg ; dat ; vob) (")));
    EXPECT_FALSE(part<QAction>(w, "mnuPlayLast")->isEnabled());
    // Quotes are removed.
    w.opener().playSingle(QStringLiteral("\"") + b + QStringLiteral("\""),
                          player::PlayRequest::User);
    EXPECT_EQ(w.media().FileName(), b);
    EXPECT_EQ(w.opener().lastFile(), a);
    EXPECT_TRUE(part<QAction>(w, "mnuPlayLast")->isEnabled());
    part<QAction>(w, "mnuPlayLast")->trigger();
    EXPECT_EQ(w.media().FileName(), a);
    EXPECT_EQ(w.state().continueMode(), ContinueMode::SingleFile);
}

TEST_F(Window, CloseRunFnReleasesTheFile) {
    const QString a = clip("h264_aac.flv");
    open(a);
    w.opener().closeRunFn(QStringLiteral("/elsewhere/other.flv"));
    EXPECT_EQ(w.state().playState(), PlayState::Playing);
    w.opener().closeRunFn(a);
    EXPECT_EQ(w.state().playState(), PlayState::Stopped);
    EXPECT_EQ(w.state().continueMode(), ContinueMode::None);
    EXPECT_EQ(status(), QStringLiteral("關閉播放，因為此檔案經過重新讀取"));
    EXPECT_EQ(w.media().getStatus(), QStringLiteral("error"));
}

namespace {

// A play list that always has another item to go.
struct CarryingList : player::PlayerListLink {
    ListPlayMode playMode() const override { return ListPlayMode::LoopList; }
    bool carriesOn() const override { return true; }
    void advance(ContinueMode current, const std::function<void(ContinueMode)>&) override {
        ++advances;
        seenMode = current;
    }
    void markCurrentItem() override { ++marked; }
    void clearCurrentItemMarker() override { ++cleared; }
    int advances = 0, marked = 0, cleared = 0;
    std::optional<ContinueMode> seenMode;
};

// Marks being edited: a new file must be confirmed.
struct EditingMarks : marks::PlaybackMarks {
    bool checkDealRng() const override { return true; }
    void clearAllMarks() override { ++clears; }
    int clears = 0;
};

}  // namespace

TEST_F(Window, PauseIsNotAnEndButAStoppedSegmentIs) {
    open(clip("h264_aac.flv"));
    pauseAt(50);
    for (int i = 0; i < 3; ++i) w.status().tmrCheck_Timer();
    EXPECT_EQ(w.state().playState(), PlayState::Paused);
    EXPECT_TRUE(status().startsWith(QStringLiteral("暫停")));

    // A segment play ends once the position reaches its end.
    w.media().playMCI(10, 20, false, false, false);
    w.state().setPlayState(PlayState::Playing);
    ASSERT_TRUE(w.media().isRngPlaying());
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            w.status().tmrCheck_Timer();
            return w.state().playState() == PlayState::Stopped;
        },
        5000));
    EXPECT_FALSE(w.media().isRngPlaying());
    EXPECT_EQ(frame(), 0);
}

TEST_F(Window, EndWithAListThatCarriesOnLeavesThePositionAndAdvances) {
    CarryingList list;
    w.links().setList(&list);
    w.opener().playSingle(shortClip(), player::PlayRequest::List);
    EXPECT_EQ(w.state().continueMode(), ContinueMode::PlayList);
    EXPECT_EQ(list.marked, 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.state().playState() == PlayState::Stopped; }, 8000));
    EXPECT_EQ(list.advances, 1);
    EXPECT_EQ(list.seenMode, ContinueMode::PlayList);
    EXPECT_GT(frame(), 0);  // not sought back: the list plays on
    w.links().setList(nullptr);
}

TEST_F(Window, OpeningWhileMarksAreEditedAsksAndNoKeepsTheOldFile) {
    const QString a = clip("h264_aac.flv");
    open(a);
    EditingMarks marks;
    w.links().setMarks(&marks);
    prompts.answer(prompts::Answer::No);
    w.opener().playSingle(clip("mpeg1.mpg"), player::PlayRequest::User);
    EXPECT_EQ(prompts.last().title, QStringLiteral("注意事項"));
    EXPECT_EQ(prompts.last().buttons, prompts::Buttons::YesNo);
    EXPECT_TRUE(prompts.last().text.startsWith(QStringLiteral("某個多媒體檔案正準備接續播放\r\n")));
    EXPECT_EQ(w.media().FileName(), a);
    EXPECT_EQ(w.state().playState(), PlayState::Paused);  // it was playing: now paused
    EXPECT_EQ(marks.clears, 0);
    EXPECT_EQ(marks.rngEditTag(), RngEditTag::SingleFileRequest);

    prompts.answer(prompts::Answer::Yes);
    w.opener().playSingle(clip("mpeg1.mpg"), player::PlayRequest::User);
    EXPECT_EQ(w.media().FileName(), QString::fromStdString(testmedia::clip("mpeg1.mpg")));
    EXPECT_EQ(w.state().playState(), PlayState::Playing);
    EXPECT_EQ(marks.clears, 1);
    EXPECT_EQ(marks.rngEditTag(), RngEditTag::Empty);
    w.links().setMarks(nullptr);
}

TEST_F(Window, IdleWindowShowsTheStoppedLookAndIgnoresTransportKeys) {
    EXPECT_EQ(status(), QStringLiteral("請開啟新的檔案"));
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Lumba.FLV"));
    EXPECT_EQ(w.state().playState(), PlayState::Stopped);
    for (LumbaButton* b : {part<LumbaButton>(w, "mbPlay"), part<LumbaButton>(w, "mbPause"),
                           part<LumbaButton>(w, "mbStop"), part<LumbaButton>(w, "mbBackward"),
                           part<LumbaButton>(w, "mbForward"), part<LumbaButton>(w, "mbRngStart"),
                           part<LumbaButton>(w, "mbRngEnd"), part<LumbaButton>(w, "mbLastItem"),
                           part<LumbaButton>(w, "mbNextItem")})
        EXPECT_EQ(b->State(), ButtonState::Disabled) << b->objectName().toStdString();
    EXPECT_FALSE(part<QAction>(w, "mnuKeepWH")->isEnabled());
    EXPECT_FALSE(part<QAction>(w, "mnuPlayLast")->isEnabled());
    QTest::keyClick(&w, Qt::Key_Space);
    QTest::keyClick(&w, Qt::Key_PageDown);
    EXPECT_EQ(w.state().playState(), PlayState::Stopped);
    EXPECT_EQ(prompts.shown().size(), 0u);
    EXPECT_EQ(part<LumbaButton>(w, "mbBackward")->ToolTipText(),
              QStringLiteral("倒轉 ( PgUp 鍵：5 秒，或 ← 鍵：5 格 )"));

    // The window never gets smaller than a 320 x 10 video area above the panel.
    w.resize(100, 100);
    QCoreApplication::processEvents();
    EXPECT_GE(part<VideoSurface>(w, "picVideo")->width(), 322);
    EXPECT_GE(part<VideoSurface>(w, "picVideo")->height(), 12);
}
