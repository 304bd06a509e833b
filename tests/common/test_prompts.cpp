#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "common/dialog_folders.h"
#include "common/file_filters.h"
#include "common/paths.h"
#include "common/scripted_prompts.h"
#include "qstring_print.h"

using prompts::Answer;
using prompts::Buttons;
using Kind = ScriptedPrompts::Kind;

TEST(FileFilters, DescriptionThenItsPatternGroup) {
    EXPECT_EQ(formatFilter("flv"), "FLV 檔案格式 (*.flv)");
    EXPECT_EQ(fileFilter("支援處理的檔案 (flv ; mpg ; dat ; vob)", extensionsOf(";flv;;mpg;m?v;")),
              "支援處理的檔案 (flv ; mpg ; dat ; vob) (*.flv *.mpg *.m?v)");
    EXPECT_EQ(fileFilter("所有檔案", {}), "所有檔案 (*.*)");
    EXPECT_EQ(fileFilter("", {"a"}), "(*.a)");
    EXPECT_EQ(joinFilters({formatFilter("bmp"), fileFilter("所有檔案", {"*"})}),
              "BMP 檔案格式 (*.bmp);;所有檔案 (*.*)");
}

TEST(DialogFolders, MediaDialogsKeepTheirStartAndListsTheirOwn) {
    DialogFolders f;
    QTemporaryDir dir;
    const QString before = currentFolder();
    // Nothing set: the current folder at the first dialog, kept when the program moves on.
    changeToFolder(dir.path() + "/");
    EXPECT_EQ(mediaDialogStart(f), dir.path() + "/");
    changeToFolder(before);
    EXPECT_EQ(mediaDialogStart(f), dir.path() + "/");
    f.media = "/saves/";
    EXPECT_EQ(mediaDialogStart(f), "/saves/");

    EXPECT_EQ(listDialogStart(f), QDir::homePath() + "/");
    listFileUsed("/l/d/mine.plt", f);
    EXPECT_EQ(listDialogStart(f), "/l/d/");
    EXPECT_EQ(f.media, "/saves/");
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
