// The list window joined to the player, offscreen with real mpv: playing through a list in
// each play mode, the previous/next buttons, marks travelling with items both ways, and the
// lists kept across a restart.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "app/app_shell.h"
#include "app/player_app.h"
#include "common/globals.h"
#include "common/scripted_prompts.h"
#include "controls/lumba_button.h"
#include "fake_mixer.h"
#include "file_bytes.h"
#include "lists/frm_list.h"
#include "lists/list_box.h"
#include "media/main_vol.h"
#include "media/mpv_mci_device.h"
#include "player/frm_main.h"
#include "player/marks/marks_controller.h"
#include "player/media_opener.h"
#include "player/playback_controller.h"
#include "player/transport_view.h"
#include "qt_app.h"
#include "test_media.h"
#include "window_part.h"

using testmedia::part;

namespace {

const QString S(QChar(0x2225));

// One-second clips, told apart by their names.
QString shortClip(const char* name, const char* colour) {
    return QString::fromStdString(testmedia::makeClip(
        name, {"-f", "lavfi", "-i", std::string("color=c=") + colour + ":s=160x120:r=25:d=1",
               "-c:v", "libx264", "-g", "25", "-pix_fmt", "yuv420p"}));
}

class ListPlay : public ::testing::Test {
  protected:
    ListPlay()
        : device(MpvMciDevice::Options{true, 10000}),
          vol(std::make_unique<testmedia::FakeMixer>()) {
        testmedia::qtApp();
        folder = dir.path() + "/";
        ProgramFolder = folder;
        TempFolder = temp.path() + "/";
        clips = {shortClip("red.mp4", "red"), shortClip("green.mp4", "green"),
                 shortClip("blue.mp4", "blue")};
    }
    ~ListPlay() override { stop(); }

    void start() {
        store = std::make_unique<app::SettingsStore>(folder);
        assembled = std::make_unique<app::PlayerApp>(*store, &device);
        w = &assembled->window();
        list = &assembled->lists().window();
        w->transport().setVolume(&vol);
        assembled->shell().startUp(QString());
        QObject::connect(&w->opener(), &player::MediaOpener::mediaMenusEnabled, list,
                         [this](bool ok) {
                             if (ok) opened << w->media().FileName();
                         });
    }
    void stop() {
        if (!assembled) return;
        w->media().closeMCI(QString());
        assembled.reset();
        w = nullptr;
    }
    void fill(int k, const QStringList& items) {
        list->switchTo(k == 0 ? lists::Area::PlayList1 : lists::Area::PlayList2);
        for (const QString& i : items) list->addToList(i, false, true);
    }
    bool playedInTurn(const QStringList& expected, int ms) {
        return QTest::qWaitFor([&] { return opened.size() >= expected.size(); }, ms) &&
               opened.mid(0, expected.size()) == expected;
    }

    QTemporaryDir dir, temp;
    QString folder;
    QStringList clips, opened;
    ScriptedPrompts prompts;
    MpvMciDevice device;
    MainVol vol;
    std::unique_ptr<app::SettingsStore> store;
    std::unique_ptr<app::PlayerApp> assembled;
    frmMain* w = nullptr;
    lists::frmList* list = nullptr;
};

}  // namespace

TEST_F(ListPlay, TheLoopingListPlaysThroughAndBackToTheFirst) {
    start();
    fill(0, clips);
    list->setPlayMode(ListPlayMode::LoopList);
    list->playList(0).select(0);
    emit list->playList(0).box().itemDoubleClicked(list->playList(0).box().item(0));
    EXPECT_TRUE(playedInTurn({clips[0], clips[1], clips[2], clips[0]}, 15000))
        << opened.join(", ").toStdString();
    EXPECT_EQ(part<LumbaButton>(*w, "mbNextItem")->State(), ButtonState::Normal);

    // Stop all: the list play ends and no end of file plays anything more.
    emit list->buttons.mbStopLoop->Click();
    const qsizetype after = opened.size();
    QTest::qWait(1500);
    EXPECT_EQ(opened.size(), after);
    EXPECT_EQ(w->state().continueMode(), ContinueMode::None);
}

// A looping list of very short clips of several kinds goes round and round: every file is
// opened from the event loop, so the call chain under each open stays the same depth, and the
// list never stops by itself.
TEST_F(ListPlay, ALoopingListOfShortClipsGoesRoundWithoutDeepeningTheStack) {
    const auto tiny = [](const char* name, std::vector<std::string> codecs) {
        std::vector<std::string> a = {"-f",       "lavfi", "-i", "testsrc=s=160x120:r=25:d=0.3",
                                      "-f",       "lavfi", "-i", "sine=d=0.3",
                                      "-shortest"};
        a.insert(a.end(), codecs.begin(), codecs.end());
        return QString::fromStdString(testmedia::makeClip(name, a));
    };
    const QStringList short4 = {
        tiny("a.flv", {"-c:v", "libx264", "-pix_fmt", "yuv420p", "-c:a", "aac"}),
        tiny("b.flv", {"-c:v", "flv", "-c:a", "libmp3lame", "-ar", "44100"}),
        tiny("c.mp4", {"-c:v", "libx264", "-pix_fmt", "yuv420p", "-c:a", "aac"}),
        tiny("d.mpg", {"-c:v", "mpeg2video", "-c:a", "mp2"})};
    start();
    fill(0, short4);
    list->setPlayMode(ListPlayMode::LoopList);
    list->playList(0).select(0);
    std::vector<quintptr> depth;  // stack address at each open: it must not keep falling
    const auto probe =
        QObject::connect(&w->opener(), &player::MediaOpener::mediaMenusEnabled, list, [&](bool ok) {
            volatile char here = 0;
            if (ok) depth.push_back(reinterpret_cast<quintptr>(&here));
        });
    emit list->playList(0).box().itemDoubleClicked(list->playList(0).box().item(0));
    constexpr int kOpens = 60;
    const bool went = QTest::qWaitFor([&] { return opened.size() >= kOpens; }, 40000);
    emit list->buttons.mbStopLoop->Click();
    QObject::disconnect(probe);
    ASSERT_TRUE(went) << opened.size() << " opens";
    for (int i = 0; i < kOpens; ++i) EXPECT_EQ(opened[i], short4[i % 4]) << i;
    const auto [lo, hi] = std::minmax_element(depth.begin(), depth.end());
    EXPECT_LT(*hi - *lo, 4096u) << "the call chain under an open grows with every file";
}

TEST_F(ListPlay, OncePlaysTheFileOnlyAndLoopFilePlaysItAgain) {
    start();
    fill(0, clips);
    list->playList(0).select(1);
    emit list->buttons.mbPlay->Click();
    ASSERT_TRUE(playedInTurn({clips[1]}, 5000));
    QTest::qWait(2000);
    EXPECT_EQ(opened, QStringList{clips[1]});
    EXPECT_EQ(w->state().continueMode(), ContinueMode::None);

    opened.clear();
    list->setPlayMode(ListPlayMode::LoopFile);
    emit list->buttons.mbPlay->Click();
    EXPECT_TRUE(playedInTurn({clips[1], clips[1]}, 6000)) << opened.join(", ").toStdString();
    list->setPlayMode(ListPlayMode::Once);
}

TEST_F(ListPlay, NextOnTheLastPlaysTheFirstAndPreviousOnTheFirstTheLast) {
    start();
    fill(0, clips);
    list->playList(0).select(2);
    emit part<LumbaButton>(*w, "mbNextItem")->Click();
    ASSERT_TRUE(playedInTurn({clips[0]}, 5000));
    EXPECT_EQ(list->playList(0).selected(), 0);
    emit part<LumbaButton>(*w, "mbLastItem")->Click();
    ASSERT_TRUE(playedInTurn({clips[0], clips[2]}, 5000));
    EXPECT_EQ(list->playList(0).selected(), 2);
    EXPECT_EQ(w->state().continueMode(), ContinueMode::PlayList);
}

TEST_F(ListPlay, MarksTravelWithItemsBothWays) {
    start();
    fill(1, {clips[0] + S + "5-20"});
    list->switchTo(lists::Area::PlayList2);
    emit list->buttons.mbPlay->Click();
    ASSERT_TRUE(playedInTurn({clips[0]}, 5000));
    EXPECT_EQ(w->marks().marksText(), "5-20");

    // Adding the open file asks about its marks; Yes attaches them.
    prompts.answer(prompts::Answer::Yes);
    w->findChild<QAction*>("mnuToList_0")->trigger();
    EXPECT_TRUE(prompts.shown().back().text.startsWith("你選擇把目前的檔案加入到指定清單"));
    EXPECT_EQ(list->playList(0).model().items(), QStringList{clips[0] + S + "5-20"});
    EXPECT_EQ(list->currentArea(), lists::Area::PlayList1);
    // The join list takes the path alone, without asking.
    const qsizetype asked = prompts.shown().size();
    w->findChild<QAction*>("mnuToList_2")->trigger();
    EXPECT_EQ(list->joinList().model().items(), QStringList{clips[0]});
    EXPECT_EQ(prompts.shown().size(), asked);
}

TEST_F(ListPlay, ListsAndTheirSettingsOutliveARestart) {
    start();
    fill(0, {clips[0], clips[1] + S + "1-2"});
    fill(1, {clips[2]});
    list->mnuPlaySetting[2]->trigger();
    list->mnuLineFmt[2]->trigger();
    w->findChild<QAction*>("mnuToListEnd")->setChecked(true);
    EXPECT_TRUE(list->mnuToListEnd->isChecked());  // kept equal on both windows
    list->show();
    list->close();  // only hidden
    EXPECT_FALSE(list->isVisible());
    w->findChild<QAction*>("mnuEnd_0")->trigger();
    QApplication::processEvents();
    const QString listIni = QString::fromUtf8(testmedia::readBytes(folder + "List.ini"));
    EXPECT_TRUE(listIni.startsWith("1\r\n")) << listIni.toStdString();  // list two was shown last
    EXPECT_TRUE(listIni.contains(clips[1] + S + "1-2"));
    stop();

    start();
    EXPECT_EQ(list->playList(0).model().items(), (QStringList{clips[0], clips[1] + S + "1-2"}));
    EXPECT_EQ(list->playList(1).box().count(), 1);
    EXPECT_EQ(list->currentArea(), lists::Area::PlayList2);
    EXPECT_EQ(list->playMode(), ListPlayMode::LoopList);
    EXPECT_TRUE(list->mnuLineFmt[2]->isChecked());
    EXPECT_TRUE(list->toListEnd());
}
