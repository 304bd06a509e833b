#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "common/comm_dialog.h"
#include "common/paths.h"
#include "common/scripted_prompts.h"
#include "qstring_print.h"

using prompts::Answer;
using prompts::Buttons;
using Kind = ScriptedPrompts::Kind;

namespace {

const QString kEdit = QStringLiteral("支援處理的檔案 (flv ; mpg ; dat ; vob)|*.flv;*.mpg;*.mpeg;");

}  // namespace

TEST(ToQtFilter, PairsBecomeDescriptionsWithThePatternGroupLast) {
    EXPECT_EQ(toQtFilter(kEdit + "|所有檔案|*.*"),
              "支援處理的檔案 (flv ; mpg ; dat ; vob) (*.flv *.mpg *.mpeg);;所有檔案 (*.*)");
    // A final "|" adds no empty filter.
    // A description that already names its patterns is not followed by them again.
    EXPECT_EQ(toQtFilter("預設清單檔 (*.plt)|*.plt|"), "預設清單檔 (*.plt)");
    EXPECT_EQ(toQtFilter("BMP 圖檔格式(*.bmp)|*.bmp"), "BMP 圖檔格式(*.bmp)");
    EXPECT_EQ(toQtFilter("清單 (*.plt;*.pls)|*.m3u"), "清單 (*.plt;*.pls) (*.m3u)");
    EXPECT_EQ(toQtFilter("A|*.a||"), "A (*.a)");
    EXPECT_EQ(toQtFilter("A||B|*.b"), "A (*);;B (*.b)");  // index of B stays 2
    EXPECT_EQ(toQtFilter("A|*.a|dangling"), "A (*.a)");
    EXPECT_EQ(toQtFilter(""), "");
}

TEST(CommDialog, FilterIndexReadsOneBeforeAnyDialog) {
    CommDialog d;
    EXPECT_EQ(d.FilterIndex(), 1);
    d.setFilterIndex(0);
    EXPECT_EQ(d.FilterIndex(), 1);
    d.setFilterIndex(3);
    EXPECT_EQ(d.FilterIndex(), 3);
}

TEST(CommDialog, SingleOpenFillsNameTitleExtensionAndFilter) {
    ScriptedPrompts sp;
    CommDialog d;
    d.InitDir = "/v/";
    d.DialogTitle = "開啟";
    d.setFilter(kEdit + "|所有檔案|*.*");
    d.setFilterIndex(2);
    sp.files({"/v/Clip.Part1.FLV"}, 1);
    EXPECT_EQ(d.ShowOpen(), "/v/Clip.Part1.FLV");
    EXPECT_EQ(d.FileName, "/v/Clip.Part1.FLV");
    EXPECT_EQ(d.FileTitle(), "Clip.Part1.FLV");
    EXPECT_EQ(d.FileExt(), "flv");
    EXPECT_EQ(d.FilterIndex(), 1);
    ASSERT_EQ(sp.count(Kind::File), 1);
    const prompts::FileDialog& asked = sp.last().file;
    EXPECT_EQ(asked.kind, prompts::FileDialog::Open);
    EXPECT_EQ(asked.title, "開啟");
    EXPECT_EQ(asked.initialFolder, "/v/");
    EXPECT_EQ(asked.filterIndex, 2);
    EXPECT_EQ(asked.qtFilter, d.qtFilter());
    EXPECT_EQ(d.InitDir, "/v/");  // kept without then_NoUse_InitDir

    // A cancel empties the last answer.
    sp.cancelFile();
    EXPECT_EQ(d.ShowOpen(), "");
    EXPECT_EQ(d.FileName, "");
    EXPECT_EQ(d.FileTitle(), "");
    EXPECT_EQ(d.FileExt(), "");
    EXPECT_EQ(d.FilterIndex(), 1);
    EXPECT_EQ(sp.unanswered(), 0);
}

TEST(CommDialog, MultipleSelectionGivesACountAndFullPaths) {
    ScriptedPrompts sp;
    CommDialog d;
    d.InitDir = "/v/";
    d.FileName = "old.flv";
    sp.files({"/v/a.flv"});
    EXPECT_EQ(d.ShowOpen(false, true), "1");
    EXPECT_EQ(d.FileArray(), QStringList{"/v/a.flv"});
    EXPECT_EQ(d.FileName, "");
    EXPECT_EQ(d.FileTitle(), "");
    EXPECT_EQ(sp.last().file.kind, prompts::FileDialog::OpenMany);

    sp.files({"/v/d/a.flv", "/v/d/b.mpg", "/v/d/c.vob"});
    EXPECT_EQ(d.ShowOpen(false, true), "3");
    EXPECT_EQ(d.FileArray(), (QStringList{"/v/d/a.flv", "/v/d/b.mpg", "/v/d/c.vob"}));
    EXPECT_EQ(d.lastFolder(), "/v/d/");
}

TEST(CommDialog, ThenNoUseInitDirStartsTheNextDialogWhereThisOneEnded) {
    ScriptedPrompts sp;
    CommDialog d;
    d.InitDir = "/start/";
    sp.files({"/elsewhere/out.flv"});
    d.FileName = "offered.flv";
    d.DefaultExt = "flv";
    EXPECT_EQ(d.ShowSave(true), "/elsewhere/out.flv");
    EXPECT_EQ(sp.last().file.kind, prompts::FileDialog::Save);
    EXPECT_EQ(sp.last().file.fileName, "offered.flv");
    EXPECT_EQ(sp.last().file.defaultExt, "flv");
    EXPECT_TRUE(sp.last().file.confirmOverwrite);
    EXPECT_EQ(d.InitDir, "");

    sp.folderChosen("/chosen");
    EXPECT_EQ(d.ShowDir(true), "/chosen/");
    EXPECT_EQ(sp.last().initialFolder, "/elsewhere/");
    EXPECT_EQ(d.DirName, "/chosen/");

    sp.cancelFile();
    d.ShowOpen(true);
    EXPECT_EQ(sp.last().initialFolder, "/chosen/");
    EXPECT_EQ(d.InitDir, "/chosen/");  // a cancel does not empty it

    sp.folderChosen("");
    EXPECT_EQ(d.ShowDir(), "");
    EXPECT_EQ(d.DirName, "");
}

TEST(CommDialog, FirstDialogStartsInTheCurrentFolder) {
    ScriptedPrompts sp;
    QTemporaryDir dir;
    const QString before = currentFolder();
    changeToFolder(dir.path() + "/");
    CommDialog d;
    d.FlagsSave = 4;  // without the overwrite question
    d.ShowSave();
    EXPECT_EQ(sp.last().initialFolder, dir.path() + "/");
    EXPECT_FALSE(sp.last().file.confirmOverwrite);
    EXPECT_EQ(d.InitDir, dir.path() + "/");
    EXPECT_EQ(sp.unanswered(), 1);
    changeToFolder(before);
}

TEST(ScriptedPrompts, RecordsWhatTheUserWouldSee) {
    ScriptedPrompts sp;
    sp.answer(Answer::Yes);
    EXPECT_EQ(
        prompts::msgBox("要儲存嗎？", Buttons::YesNoCancel, "注意事項", prompts::Icon::Question, 1),
        Answer::Yes);
    const auto& m = sp.last();
    EXPECT_EQ(m.kind, Kind::Message);
    EXPECT_EQ(m.title, "注意事項");
    EXPECT_EQ(m.text, "要儲存嗎？");
    EXPECT_EQ(m.buttonTexts, (QStringList{"是", "否", "取消"}));
    EXPECT_EQ(m.defaultButton, 1);
    EXPECT_TRUE(m.answered);

    // Nothing queued: Cancel, and the prompt is still on record.
    EXPECT_EQ(prompts::msgBox("No mixer found!"), Answer::Cancel);
    EXPECT_EQ(sp.last().title, "Lumba.FLV");
    EXPECT_EQ(sp.last().buttonTexts, QStringList{"確定"});
    EXPECT_FALSE(sp.last().answered);
    EXPECT_EQ(sp.unanswered(), 1);
    EXPECT_EQ(sp.messageTexts(), (QStringList{"要儲存嗎？", "No mixer found!"}));

    sp.typed("00:01:00.00").cancelInput();
    prompts::Input in{"請輸入時間", "", "00:00:00.00"};
    EXPECT_EQ(prompts::current().input(in), std::optional<QString>("00:01:00.00"));
    EXPECT_EQ(prompts::current().input(in), std::nullopt);
    EXPECT_EQ(prompts::current().input(in), std::nullopt);
    EXPECT_EQ(sp.count(Kind::Input), 3);
    EXPECT_EQ(sp.last().defaultText, "00:00:00.00");
    EXPECT_EQ(sp.unanswered(), 2);
    EXPECT_TRUE(sp.allAnswersUsed());
    sp.clear();
    EXPECT_TRUE(sp.shown().empty());
}

TEST(ScriptedPrompts, UninstallsItselfAndLetsATestActWhileAPromptIsUp) {
    {
        ScriptedPrompts outer;
        int seen = 0;
        outer.onShown = [&](const ScriptedPrompts::Shown& s) {
            ++seen;
            EXPECT_EQ(s.text, "x");
        };
        prompts::msgBox("x");
        EXPECT_EQ(seen, 1);
        EXPECT_EQ(&prompts::current(), &outer);
    }
    // Back to the Qt dialogs, which without a QApplication cancel instead of crashing.
    EXPECT_EQ(prompts::msgBox("不應顯示", Buttons::OkCancel), Answer::Cancel);
    EXPECT_TRUE(prompts::current().file({}).paths.isEmpty());
}

TEST(PromptsHook, RunsOnceBeforeTheNextPromptOfAnyKind) {
    ScriptedPrompts sp;
    QStringList events;
    sp.onShown = [&](const ScriptedPrompts::Shown& s) { events << "shown " + s.title; };

    prompts::beforeNextPrompt([&] { events << "hook"; });
    sp.folderChosen("/x");
    prompts::FolderDialog folder;
    folder.title = "選資料夾";
    prompts::current().folder(folder);
    prompts::msgBox("x", Buttons::Ok, "第二個");
    EXPECT_EQ(events, (QStringList{"hook", "shown 選資料夾", "shown 第二個"}));

    // A hook that leads to a prompt of its own does not run again for it.
    events.clear();
    prompts::beforeNextPrompt([&] {
        events << "hook";
        prompts::msgBox("x", Buttons::Ok, "內層");
    });
    prompts::msgBox("x", Buttons::Ok, "外層");
    EXPECT_EQ(events, (QStringList{"hook", "shown 內層", "shown 外層"}));

    // An empty hook drops a pending one.
    events.clear();
    prompts::beforeNextPrompt([&] { events << "hook"; });
    prompts::beforeNextPrompt({});
    prompts::msgBox("x", Buttons::Ok, "無");
    EXPECT_EQ(events, (QStringList{"shown 無"}));
}

TEST(PromptsHook, TheQtDialogsRunItToo) {
    // No QApplication here: the Qt dialogs cancel, but the hook has already run.
    int runs = 0;
    prompts::beforeNextPrompt([&] { ++runs; });
    EXPECT_EQ(prompts::msgBox("不應顯示"), Answer::Cancel);
    EXPECT_EQ(runs, 1);
}
