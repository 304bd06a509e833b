#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "app/settings_file.h"
#include "app/settings_store.h"

using namespace app;

namespace {

SettingsEnvironment fakeDisk(QStringList folders, int files = 3) {
    SettingsEnvironment env;
    env.folderExists = [folders](const QString& f) { return folders.contains(f); };
    env.filesListed = [files](const QString&) { return files; };
    return env;
}

SettingsValues read(const QStringList& lines, const SettingsEnvironment& env = {}) {
    SettingsValues v;
    readSettingsLines(lines, v, env);
    return v;
}

}  // namespace

TEST(SettingsFile, KeysAreCaseBlindButABlankBeforeTheEqualsSignIsNot) {
    auto v = read({"  mainrect=100,200,5000,4000  "});
    ASSERT_TRUE(v.mainRectTwips.has_value());
    EXPECT_EQ(*v.mainRectTwips, (std::array<double, 4>{100, 200, 5000, 4000}));

    v = read({"MainRect =100,200,5000,4000", "KEEPDEF= true "});
    EXPECT_FALSE(v.mainRectTwips.has_value());
    EXPECT_TRUE(v.keepDef);
}

TEST(SettingsFile, LaterLinesOverrideAndBadValuesAreSkippedOneByOne) {
    const auto v = read({
        "KeepWH=-1",           "ListRect=10,20", "ListRect=30,40",   "no equals sign here",
        "Unknown=5",
        "MainRect=1,2,3",  // too few fields
        "StepMode=2,10,20,30",
        "StepMode=9,1,1,1",  // no such mode: whole line skipped
        "StepMode=0,0,1,1",  // step value out of the program's range
        "PlaySetting=3",
        "PlaySetting=4",  // beyond the menu
        "LineFmt=2",
        "LineFmt=abc",  // no number reads as 0, which is a valid format
        "ToListEnd=maybe",     "StartList=1",    "AutoAddMark=True", "CapRect=15.4,-30.6xyz",
        "DoneToFn=1",          "DoneToFn=7",     "ExactCut=-1",
    });
    EXPECT_TRUE(v.keepWH);
    EXPECT_EQ(*v.listWindow.rectTwips, (std::array<double, 2>{30, 40}));
    EXPECT_FALSE(v.mainRectTwips.has_value());
    EXPECT_EQ(v.stepMode, player::StepMode::PerCent);
    EXPECT_EQ(v.stepValues, (std::array<int, 3>{10, 20, 30}));
    EXPECT_EQ(v.playSetting, 3);
    EXPECT_EQ(v.lineFmt, 0);
    EXPECT_FALSE(v.toListEnd);
    EXPECT_TRUE(v.startList);
    EXPECT_TRUE(v.autoAddMark);
    EXPECT_EQ(v.capRect, (std::array<int, 2>{15, -31}));
    EXPECT_EQ(v.listWindow.doneToFn, 1);
    EXPECT_TRUE(v.exactCut);
    // A file written before ExactCut existed leaves it off.
    EXPECT_FALSE(read({"AutoAddMark=True", "DoneToFn=1"}).exactCut);
}

TEST(SettingsFile, FoldersOnlyWhenTheyExistAndTheIndexOnlyAfterAnAppliedFolder) {
    auto env = fakeDisk({"/music", "/out"}, 3);
    auto v = read({"ListDirIdx=1", "ListDir=/gone", "ListDirIdx=1", "SaveDir=/gone"}, env);
    EXPECT_TRUE(v.listWindow.browserFolder.isEmpty());
    EXPECT_EQ(v.listWindow.browserIndex, -1);
    EXPECT_TRUE(v.listWindow.saveFolder.isEmpty());

    v = read({"ListDir=/music", "SaveDir=/out"}, env);
    EXPECT_EQ(v.listWindow.browserFolder, "/music");
    EXPECT_EQ(v.listWindow.browserIndex, 0);  // a folder with files selects its first
    EXPECT_EQ(v.listWindow.saveFolder, "/out");

    v = read({"ListDir=/music", "ListDirIdx=2", "ListDirIdx=3"}, env);
    EXPECT_EQ(v.listWindow.browserIndex, 2);  // 3 is not below the three files listed

    v = read({"ListDir=/music"}, fakeDisk({"/music"}, 0));
    EXPECT_EQ(v.listWindow.browserIndex, -1);
}

TEST(SettingsFile, WritesTheFifteenKeysThenExactCutAndReadsThemBack) {
    SettingsValues v;
    v.mainRectTwips = std::array<double, 4>{100, 200, 5000, 4000.5};
    v.listWindow.rectTwips = std::array<double, 2>{-15, 30};
    v.listWindow.browserFolder = "/music";
    v.listWindow.browserIndex = 2;
    v.listWindow.saveFolder = "/out";
    v.listWindow.doneToFn = 1;
    v.capRect = {45, 60};
    v.keepWH = true;
    v.stepMode = player::StepMode::Frames;
    v.stepValues = {7, 8, 9};
    v.playSetting = 2;
    v.startList = true;
    v.lineFmt = 1;
    v.exactCut = true;
    const QStringList lines = settingsLines(v);
    EXPECT_EQ(lines, QStringList({
                         "MainRect=100,200,5000,4000.5",
                         "ListRect=-15,30",
                         "CapRect=45,60",
                         "KeepWH=True",
                         "KeepDef=False",
                         "ListDir=/music",
                         "SaveDir=/out",
                         "ListDirIdx=2",
                         "StepMode=0,7,8,9",
                         "PlaySetting=2",
                         "ToListEnd=False",
                         "StartList=True",
                         "AutoAddMark=False",
                         "LineFmt=1",
                         "DoneToFn=1",
                         "ExactCut=True",
                     }));
    EXPECT_EQ(read(lines, fakeDisk({"/music", "/out"}, 3)), v);
}

TEST(SettingsFile, DiskEnvironmentCountsFilesOnly) {
    QTemporaryDir dir;
    QDir(dir.path()).mkdir("sub");
    for (const char* name : {"a.flv", "b.mp3"}) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    const auto env = diskEnvironment();
    EXPECT_TRUE(env.folderExists(dir.path()));
    EXPECT_FALSE(env.folderExists(dir.filePath("a.flv")));
    EXPECT_EQ(env.filesListed(dir.path()), 2);
}

TEST(SettingsFile, UnwritableProgramFolderFallsBackToTheUsersConfigFolder) {
    QTemporaryDir program, config;
    ASSERT_TRUE(program.isValid() && config.isValid());
    const QByteArray old = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    const QString writable = program.path() + QLatin1Char('/');
    EXPECT_EQ(app::configFolder(writable), writable);
    const QString fallback = app::configFolder(program.path() + QStringLiteral("/no/such/"));
    EXPECT_EQ(fallback, config.path() + QStringLiteral("/Lumba.FLV/"));
    EXPECT_TRUE(QDir(fallback).exists());
    // A packaged program's folder is left to the package manager, even for root.
    EXPECT_EQ(app::configFolder(QStringLiteral("/usr/lib/lumba-flv/")), fallback);
    if (old.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", old);
}
