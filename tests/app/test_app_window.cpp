// The shell around a real main window, offscreen: start-up with the two files, the exits,
// saving, drops and the small commands. mpv runs without audio output.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMimeData>
#include <QProcess>
#include <QScreen>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <clocale>
#include <functional>
#include <vector>

#include "app/app_shell.h"
#include "app/player_app.h"
#include "app/single_instance.h"
#include "app/splash.h"
#include "common/globals.h"
#include "common/host.h"
#include "common/scripted_prompts.h"
#include "common/temp_folder.h"
#include "fake_mixer.h"
#include "file_bytes.h"
#include "items/item_text.h"
#include "media/main_vol.h"
#include "media/mpv_mci_device.h"
#include "player/frm_main.h"
#include "player/marks/marks_controller.h"
#include "player/media_opener.h"
#include "player/playback_controller.h"
#include "player/transport_view.h"
#include "qt_app.h"
#include "recording_shell.h"
#include "test_media.h"
#include "tools/save_segments.h"
#include "tools/tool_host.h"
#include "window_part.h"

using testmedia::part;

namespace {

QApplication& ensureApp() { return testmedia::qtApp(); }

const QString S(QChar(0x2225));

using testmedia::readBytes;
using testmedia::writeBytes;

QString clip(const char* name) { return QString::fromStdString(testmedia::clip(name)); }

struct AppFirst {
    AppFirst() { ensureApp(); }
};

class Shell_ : public ::testing::Test, public AppFirst {
  protected:
    Shell_()
        : device(MpvMciDevice::Options{true, 10000}),
          vol(std::make_unique<testmedia::FakeMixer>()) {
        installShell(&desktop);
        folder = dir.path() + "/";
        ProgramFolder = folder;
        TempFolder = temp.path() + "/";
    }
    ~Shell_() override {
        if (w) w->media().closeMCI(QString());
        assembled.reset();
        installShell(nullptr);
        MoreFormats.clear();
    }

    // The application as the program assembles it, on the test's device and mixer.
    void start(const QString& command = {}, const std::function<void()>& unloadSplash = {}) {
        start(command.isEmpty() ? QStringList() : QStringList{command}, unloadSplash);
    }
    void start(const QStringList& command, const std::function<void()>& unloadSplash = {}) {
        store = std::make_unique<app::SettingsStore>(folder);
        assembled = std::make_unique<app::PlayerApp>(*store, &device, instance);
        w = &assembled->window();
        shell = &assembled->shell();
        marks = &w->marks();
        w->transport().setVolume(&vol);
        shell->startUp(command, unloadSplash);
    }
    QString ini() const { return folder + "Lumba.FLV.ini"; }
    QString listIni() const { return folder + "List.ini"; }
    QStringList iniLines() const {
        return QString::fromUtf8(readBytes(ini())).split("\r\n", Qt::SkipEmptyParts);
    }
    QAction* action(const char* name) { return w->findChild<QAction*>(name); }

    QTemporaryDir dir, temp;
    QString folder;
    ScriptedPrompts prompts;
    RecordingShell desktop;
    MpvMciDevice device;
    MainVol vol;
    std::unique_ptr<app::SettingsStore> store;
    std::unique_ptr<app::PlayerApp> assembled;
    app::SingleInstance* instance = nullptr;  // set before start() to hand off to it
    frmMain* w = nullptr;
    app::AppShell* shell = nullptr;
    marks::MarksController* marks = nullptr;
};

const QStringList kKeys{"MainRect",    "ListRect",    "CapRect",   "KeepWH",
                        "KeepDef",     "ListDir",     "SaveDir",   "ListDirIdx",
                        "StepMode",    "PlaySetting", "ToListEnd", "StartList",
                        "AutoAddMark", "LineFmt",     "DoneToFn",  "ExactCut"};

}  // namespace

TEST_F(Shell_, ANormalExitWritesTheFifteenKeysWithWhatWasRead) {
    writeBytes(
        ini(),
        "; old comment\r\nmainrect=100,200,5000,4000\r\nMainRect =1,2,3000,3000\r\n"
        "KeepWH=-1\r\nListRect=150,300\r\nListRect=450,600\r\nFoo=bar\r\nStepMode=2,7,8,9\r\n"
        "ExactCut=True\r\n");
    start();
    EXPECT_TRUE(action("mnuExactCut")->isChecked());
    EXPECT_EQ(w->pos(), QPoint(7, 13));
    EXPECT_EQ(w->size(), QSize(333, 267));
    EXPECT_TRUE(w->transport().keepWH());
    EXPECT_EQ(w->transport().stepMode(), player::StepMode::PerCent);
    EXPECT_EQ(w->transport().stepValue(player::StepMode::Seconds), 8);

    action("mnuEnd_0")->trigger();
    QApplication::processEvents();
    EXPECT_FALSE(w->isVisible());
    const QStringList lines = iniLines();
    ASSERT_EQ(lines.size(), 16);
    for (int i = 0; i < 16; ++i) EXPECT_TRUE(lines[i].startsWith(kKeys[i] + "=")) << i;
    EXPECT_EQ(lines[0], "MainRect=100,200,5000,4000");
    EXPECT_EQ(lines[1], "ListRect=450,600");
    EXPECT_EQ(lines[3], "KeepWH=True");
    EXPECT_EQ(lines[8], "StepMode=2,7,8,9");
    EXPECT_EQ(lines[15], "ExactCut=True");
    EXPECT_EQ(readBytes(listIni()), ("0\r\n0" + S + "清單編號" + S + "0" + S + "-1\r\n1" + S +
                                     "清單編號" + S + "0" + S + "-1\r\n")
                                        .toUtf8());
    EXPECT_EQ(prompts.shown().size(), 0u);
}

TEST_F(Shell_, ExitWithoutSavingLeavesBothFilesByteIdentical) {
    const QByteArray settings = "KeepDef=1\r\nunknown\r\n";
    QStringEncoder big5("Big5");
    const QByteArray lists =
        big5.encode("1\r\n0" + S + "清單編號" + S + "1" + S + "0\r\n/影片/a.flv\r\n");
    writeBytes(ini(), settings);
    writeBytes(listIni(), lists);
    start();
    w->move(w->pos() + QPoint(20, 20));
    ASSERT_EQ(action("mnuEnd_1")->text(), "結束 ( 不儲存設定 )");
    action("mnuEnd_1")->trigger();
    QApplication::processEvents();
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(readBytes(ini()), settings);
    EXPECT_EQ(readBytes(listIni()), lists);
}

TEST_F(Shell_, Cp950ListStoreLoadsAndSavesBackAsUtf8) {
    const QString items =
        "/影片/測試 一.flv" + S + "100-200 300-400\r\n/v/a" + S + "b.flv" + S + "5-9\r\n";
    QStringEncoder big5("Big5");
    writeBytes(listIni(), big5.encode("1\r\n0" + S + "清單編號" + S + "2" + S + "1\r\n" + items));
    start();
    ASSERT_EQ(store->lists.list[0].count(), 2);
    EXPECT_EQ(items::splitItemText(store->lists.list[0].item(0)).marks, "100-200 300-400");
    EXPECT_EQ(items::splitItemText(store->lists.list[0].item(1)).path, "/v/a" + S + "b.flv");

    prompts.answer(prompts::Answer::Ok);
    ASSERT_TRUE(shell->mnuSaveNow());
    EXPECT_EQ(prompts.last().text, "已經成功儲存播放清單與其它組態設定！");
    EXPECT_EQ(readBytes(listIni()), ("1\r\n0" + S + "清單編號" + S + "2" + S + "1\r\n" + items +
                                     "1" + S + "清單編號" + S + "0" + S + "-1\r\n")
                                        .toUtf8());
}

TEST_F(Shell_, FirstRunIsCentred370AndOpensTheHelpTopics) {
    writeBytes(folder + "Lumba.FLV.html", "help");
    start();
    EXPECT_EQ(w->size(), QSize(370, 370));
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    EXPECT_EQ(w->pos(), QPoint((screen.width() - 370) / 2, (screen.height() - 370) / 2));
    EXPECT_EQ(desktop.opened, QStringList({folder + "Lumba.FLV.html"}));

    // Saved without moving: the default place in twips.
    action("mnuEnd_0")->trigger();
    EXPECT_EQ(iniLines().value(0), QStringLiteral("MainRect=%1,%2,5550,5550")
                                       .arg((screen.width() - 370) / 2 * 15)
                                       .arg((screen.height() - 370) / 2 * 15));
    EXPECT_EQ(iniLines().value(1), QStringLiteral("ListRect=%1,%2")
                                       .arg(((screen.width() - 370) / 2 + 30) * 15)
                                       .arg(((screen.height() - 370) / 2 + 30) * 15));
}

TEST_F(Shell_, NoHelpOnLaterRunsAndMissingHelpFilesSaySo) {
    writeBytes(ini(), "KeepWH=False\r\n");
    writeBytes(folder + "Lumba.FLV.html", "help");
    start();
    EXPECT_TRUE(desktop.opened.isEmpty());

    prompts.answer(prompts::Answer::Ok);
    action("munCodec")->trigger();
    EXPECT_EQ(prompts.last().title, "注意事項");
    EXPECT_EQ(prompts.last().text, "找不到說明檔 Raroz.ODI.html！");
    EXPECT_TRUE(desktop.opened.isEmpty());

    action("mnuHelp")->trigger();
    EXPECT_EQ(desktop.opened, QStringList({folder + "Lumba.FLV.html"}));
    action("mnuOpenApp")->trigger();
    EXPECT_EQ(desktop.opened.last(), folder);
    action("mnuUpdate")->trigger();
    EXPECT_TRUE(desktop.opened.last().endsWith("software/detail/Lumba.FLV.htm"));

    prompts.answer(prompts::Answer::Ok);
    action("mnuUninstall")->trigger();
    EXPECT_TRUE(prompts.last().text.startsWith("本軟體乃是綠色軟體，與免費軟體\r\n"));
    EXPECT_TRUE(w->isVisible());
    EXPECT_TRUE(QFile::exists(ini()));
}

TEST_F(Shell_, TheMarkerFileWidensTheFirstOpenFilter) {
    writeBytes(folder + "I want more.ico", "");
    start();
    const QString first = w->OpenFilter().section(QStringLiteral(";;"), 0, 0);
    for (const char* e : {"*.flv ", "*.avi ", "*.mp4 ", "*.3gp ", "*.mov ", "*.wmv ", "*.asf)"})
        EXPECT_TRUE(first.contains(e)) << e << " in " << first.toStdString();
}

TEST_F(Shell_, AFailedSaveKeepsTheOldFilesAndShowsTheErrorBox) {
    writeBytes(ini(), "KeepWH=True\r\n");
    writeBytes(listIni(), "0\r\n");
    start();
    w->move(w->pos() + QPoint(5, 5));
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup |
                                          QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
    // Root writes anywhere: save as nobody instead.
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::seteuid(65534), 0);
    }
    prompts.answer(prompts::Answer::Ok);
    const bool saved = shell->mnuSaveNow();
    if (root) {
        ASSERT_EQ(::seteuid(0), 0);
    }
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_FALSE(saved);
    EXPECT_EQ(prompts.last().title, "錯誤訊息");
    EXPECT_TRUE(prompts.last().text.contains("原有的檔案保持不變"));
    EXPECT_EQ(readBytes(ini()), QByteArray("KeepWH=True\r\n"));
    EXPECT_EQ(readBytes(listIni()), QByteArray("0\r\n"));
}

TEST_F(Shell_, AMaximisedWindowSavesItsNormalRectangle) {
    start();
    w->move(40, 50);
    w->resize(400, 380);
    QApplication::processEvents();
    w->showMaximized();
    QApplication::processEvents();
    ASSERT_TRUE(w->isMaximized());
    ASSERT_NE(w->size(), QSize(400, 380));
    action("mnuEnd_0")->trigger();
    EXPECT_EQ(iniLines().value(0), "MainRect=600,750,6000,5700");
}

TEST_F(Shell_, DropsPlayTheFirstExistingFileOrTheText) {
    start();
    const QString a = clip("h264_aac.flv"), b = clip("h263_mp3.flv");
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(a), QUrl::fromLocalFile(b), QUrl::fromLocalFile(b)});
    shell->dropped(files);
    EXPECT_EQ(w->media().FileName(), a);
    EXPECT_EQ(w->state().playState(), PlayState::Playing);
    // All of them are listed, in order, as for several files on a command line.
    lists::ShownList& listed = assembled->lists().window().playList(0);
    ASSERT_EQ(listed.count(), 3);
    EXPECT_EQ(listed.itemText(0), a);
    EXPECT_EQ(listed.itemText(2), b);

    QMimeData missing;
    missing.setUrls({QUrl::fromLocalFile(folder + "gone.flv")});
    shell->dropped(missing);
    EXPECT_EQ(w->media().FileName(), a);  // silently ignored

    QMimeData text;
    text.setText(b);
    shell->dropped(text);
    EXPECT_EQ(w->media().FileName(), b);
}

// Names that hold the item separator or double quotes are names, from a command line of
// several files, a hand-over or a drop alike.
TEST_F(Shell_, OddNamesOpenAsTheyAreAndSeveralFilesAreListed) {
    const QString odd = folder + "odd" + S + "name.flv", quoted = folder + "say \"hi\".flv";
    ASSERT_TRUE(QFile::copy(clip("h264_aac.flv"), odd));
    ASSERT_TRUE(QFile::copy(clip("h263_mp3.flv"), quoted));
    const QString third = clip("h264_aac.flv");
    start(QStringList{odd, quoted, third});
    EXPECT_EQ(w->media().FileName(), odd);
    EXPECT_EQ(w->state().playState(), PlayState::Playing);
    lists::ShownList& listed = assembled->lists().window().playList(0);
    ASSERT_EQ(listed.count(), 3);
    EXPECT_EQ(listed.itemPath(1), quoted);
    EXPECT_EQ(listed.itemPath(2), third);

    shell->linkExecute(quoted);
    EXPECT_EQ(w->media().FileName(), quoted);
    QMimeData text;
    text.setText(odd);
    shell->dropped(text);
    EXPECT_EQ(w->media().FileName(), odd);
}

TEST_F(Shell_, ClosingWhileMarksAreEditedAsksAndNoKeepsRunning) {
    start(clip("h264_aac.flv"));
    ASSERT_EQ(w->state().playState(), PlayState::Playing);
    marks->markStart();
    ASSERT_TRUE(marks->checkDealRng());
    prompts.answer(prompts::Answer::No);
    action("mnuEnd_0")->trigger();
    EXPECT_TRUE(w->isVisible());
    EXPECT_FALSE(shell->closing());
    EXPECT_EQ(w->state().playState(), PlayState::Paused);
    EXPECT_TRUE(prompts.last().text.startsWith("你選擇了結束與離開本軟體\r\n"));
    EXPECT_EQ(prompts.last().title, "注意事項");
    EXPECT_FALSE(QFile::exists(ini()));

    prompts.answer(prompts::Answer::Yes);
    action("mnuEnd_0")->trigger();
    EXPECT_FALSE(w->isVisible());
    EXPECT_TRUE(QFile::exists(ini()));
}

TEST_F(Shell_, TheLinkBringsTheWindowForwardAndPlays) {
    start();
    w->showMinimized();
    shell->linkExecute("");
    EXPECT_FALSE(w->isMinimized());
    EXPECT_TRUE(w->media().FileName().isEmpty());
    const QString a = clip("h264_aac.flv");
    shell->linkExecute("\"" + a + "\"");
    EXPECT_EQ(w->media().FileName(), a);
}

TEST_F(Shell_, ASecondProgramStartMakesThisInstancePlayItsPath) {
    QTemporaryDir runtime;
    QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString channel = privateTempFolderFrom(runtime.path().toLocal8Bit(), {});
    ASSERT_FALSE(channel.isEmpty());
    app::SingleInstance channelOwner(channel);
    ASSERT_EQ(channelOwner.start({}, {.lockMs = 500}), app::SingleInstance::Role::First);
    instance = &channelOwner;
    start();

    const QString a = clip("h264_aac.flv");
    QProcess second;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_RUNTIME_DIR", runtime.path());
    env.insert("QT_QPA_PLATFORM", "offscreen");
    second.setProcessEnvironment(env);
    // A relative path is made absolute by the second start, in its own working folder.
    second.setWorkingDirectory(QFileInfo(a).path());
    second.start(qEnvironmentVariable("LUMBA_BIN_DIR") + "/Lumba.FLV", {QFileInfo(a).fileName()});
    ASSERT_TRUE(second.waitForStarted(5000));
    QElapsedTimer t;
    t.start();
    while (second.state() != QProcess::NotRunning && t.elapsed() < 30000)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    ASSERT_EQ(second.state(), QProcess::NotRunning) << "the second start did not end";
    EXPECT_EQ(second.exitCode(), 0) << second.readAllStandardError().toStdString();
    EXPECT_TRUE(QTest::qWaitFor([&] { return w->media().FileName() == a; }, 3000));
    EXPECT_EQ(w->media().FileName(), a);
    EXPECT_EQ(w->state().playState(), PlayState::Playing);
}

// The splash stays on top of everything, so it must be gone before any box can show.
TEST_F(Shell_, TheSplashIsGoneBeforeTheFirstBoxOfTheStartUp) {
    app::frmSplash splash;
    splash.show();
    ASSERT_TRUE(splash.isVisible());
    int unloads = 0;
    std::vector<bool> splashUp;  // at each box, in order
    prompts.onShown = [&](const ScriptedPrompts::Shown&) {
        splashUp.push_back(splash.isVisible());
    };

    start(folder + "no such clip.flv", [&] {
        ++unloads;
        splash.hide();
    });
    ASSERT_FALSE(splashUp.empty()) << "a missing file is reported";
    EXPECT_EQ(splashUp, std::vector<bool>(splashUp.size(), false));
    EXPECT_EQ(unloads, 1);

    // A box after the start-up does not unload it again.
    prompts.answer(prompts::Answer::Ok);
    action("mnuUninstall")->trigger();
    EXPECT_EQ(unloads, 1);
    prompts.onShown = nullptr;
}

TEST_F(Shell_, WithoutABoxTheSplashGoesOnceTheWindowIsUp) {
    app::frmSplash splash;
    splash.show();
    bool windowUp = false;
    start(QString(), [&] {
        windowUp = w->isVisible();
        splash.hide();
    });
    EXPECT_TRUE(prompts.shown().empty());
    EXPECT_TRUE(windowUp);
    EXPECT_FALSE(splash.isVisible());
}

// What the application must connect reaches this window: the marks the playback asks, the
// tools' host, the shared helpers' host, the save jobs on the marks menu and the codec help
// of a failed open. A forgotten connection leaves a do-nothing default behind.
TEST_F(Shell_, TheAssembledApplicationConnectsItsHostsAndHooks) {
    const QString a = clip("h264_aac.flv");
    start(a);
    ASSERT_EQ(w->state().playState(), PlayState::Playing);
    EXPECT_EQ(&w->links().marks(), static_cast<marks::PlaybackMarks*>(&w->marks()));

    EXPECT_EQ(tools::toolHost().mainWindow(), w);
    tools::toolHost().pausePrFn();
    EXPECT_EQ(w->state().playState(), PlayState::Paused);

    EXPECT_EQ(appHost().playingFile(), a);
    ASSERT_TRUE(QDir().mkpath(folder + "saved"));
    assembled->lists().browser().setSaveFolder(folder + "saved/");
    EXPECT_EQ(appHost().saveFolderBox(), folder + "saved/");
    appHost().clearSaveFolderBox();
    EXPECT_TRUE(assembled->lists().browser().saveFolder().isEmpty());
    appHost().closeRunFn(a);
    EXPECT_EQ(w->state().playState(), PlayState::Stopped);
    EXPECT_EQ(w->media().getStatus(), "error");

    // OK in the error box of an unplayable .flv opens the codec help (missing here).
    const QString bad = folder + "bad.flv";
    writeBytes(bad, "this is not a media file");
    const size_t before = prompts.shown().size();
    prompts.answer(prompts::Answer::Ok);
    prompts.answer(prompts::Answer::Ok);
    w->opener().playSingle(bad, player::PlayRequest::User);
    ASSERT_EQ(prompts.shown().size(), before + 2);
    EXPECT_EQ(prompts.last().text, "找不到說明檔 Raroz.ODI.html！");

    // A marked segment: "另存裁剪" asks to cut this file (cancelled here).
    w->opener().playSingle(a, player::PlayRequest::User);
    ASSERT_TRUE(marks->setMark(25, 100));
    ASSERT_TRUE(part<QAction>(*w, "mnuSaveRng")->isEnabled());
    prompts.answer(prompts::Answer::Cancel);
    part<QAction>(*w, "mnuSaveRng")->trigger();
    EXPECT_EQ(prompts.last().text, save::confirmText(save::Mode::Cut, a));
    EXPECT_EQ(w->state().playState(), PlayState::Paused);
}
