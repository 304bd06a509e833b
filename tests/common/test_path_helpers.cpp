#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "common/file_object.h"
#include "common/host.h"
#include "common/paths.h"
#include "file_bytes.h"
#include "qstring_print.h"

namespace {

using testmedia::touch;

struct RecordingHost : AppHost {
    QStringList released;
    QString box;
    int cleared = 0;
    void closeRunFn(const QString& path) override {
        released << path;
        // The player holds the file open until released; the delete must come after.
        EXPECT_TRUE(QFile::exists(path));
    }
    QString saveFolderBox() override { return box; }
    void clearSaveFolderBox() override {
        box.clear();
        ++cleared;
    }
};

struct HostInstalled {
    RecordingHost host;
    HostInstalled() { installAppHost(&host); }
    ~HostInstalled() { installAppHost(nullptr); }
};

}  // namespace

TEST(AddSlash, AppendsTheSeparatorOnce) {
    EXPECT_EQ(addSlash(""), "");
    EXPECT_EQ(addSlash("/dir"), "/dir/");
    EXPECT_EQ(addSlash("/dir/"), "/dir/");
    EXPECT_EQ(addSlash("http://h/live"), "http://h/live/");
    EXPECT_EQ(addSlash("http://h/live/"), "http://h/live/");
}

TEST(FixDriveLetter, OnlyWindowsStyleDrivePaths) {
    EXPECT_EQ(fixDriveLetter("c:/v/a.flv"), "C:/v/a.flv");
    EXPECT_EQ(fixDriveLetter("c:\\v\\a.flv"), "C:\\v\\a.flv");
    EXPECT_EQ(fixDriveLetter("a:clip.flv"), "a:clip.flv");
    EXPECT_EQ(fixDriveLetter("http://h/a.flv"), "http://h/a.flv");
    EXPECT_EQ(fixDriveLetter("/v/c:/a.flv"), "/v/c:/a.flv");
    EXPECT_EQ(fixDriveLetter("1:/a"), "1:/a");
    EXPECT_EQ(fixDriveLetter("c:"), "c:");
}

TEST(ChangeToFolder, KeepsAValueNotTheProcessFolder) {
    QTemporaryDir dir;
    const QString d = dir.path() + u'/';
    QDir().mkdir(d + "sub");
    touch(d + "sub/a.flv");
    const QString before = currentFolder();
    const QString cwd = QDir::currentPath();

    changeToFolder(d + "sub/a.flv");  // a file: its folder
    EXPECT_EQ(currentFolder(), d + "sub/");
    EXPECT_EQ(QDir::currentPath(), cwd);
    changeToFolder(d + "sub");  // no "/": the parent
    EXPECT_EQ(currentFolder(), d);
    changeToFolder("sub/");  // relative to the current folder
    EXPECT_EQ(currentFolder(), d + "sub/");
    EXPECT_EQ(absoluteFromCurrent("a.flv"), d + "sub/a.flv");
    EXPECT_EQ(absoluteFromCurrent("/x/a.flv"), "/x/a.flv");
    changeToFolder(d + "missing/");  // ignored
    EXPECT_EQ(currentFolder(), d + "sub/");
    changeToFolder("");
    EXPECT_EQ(currentFolder(), d + "sub/");
    changeToFolder(before);
    EXPECT_EQ(currentFolder(), before);
}

TEST(RemoveFile, ReleasesThePlayedFileFirstUnlessKeptRunning) {
    HostInstalled h;
    QTemporaryDir dir;
    const QString d = dir.path() + u'/';
    touch(d + "a.flv");
    touch(d + "b.flv");
    QDir().mkdir(d + "c.flv");

    removeFile(d + "a.flv");
    EXPECT_EQ(h.host.released, QStringList{d + "a.flv"});
    EXPECT_FALSE(QFile::exists(d + "a.flv"));

    removeFile(d + "b.flv", true);
    EXPECT_EQ(h.host.released.size(), 1);
    EXPECT_FALSE(QFile::exists(d + "b.flv"));

    removeFile(d + "missing.flv");  // nothing matches: the player is not disturbed
    removeFile(d + "c.flv");        // a folder is not a file
    removeFile("");
    EXPECT_EQ(h.host.released.size(), 1);
    EXPECT_TRUE(QDir(d + "c.flv").exists());
}

TEST(GetSaveFolder, BoxFirstThenTheSourceFolder) {
    HostInstalled h;
    QTemporaryDir dir;
    const QString d = dir.path() + u'/';
    EXPECT_EQ(getSaveFolder("/v/clip.flv"), "/v/");
    EXPECT_EQ(getSaveFolder(""), "");
    EXPECT_EQ(getSaveFolder("clip.flv"), "");

    h.host.box = d;
    EXPECT_EQ(getSaveFolder("/v/clip.flv"), d);
    h.host.box = dir.path();  // typed without "/"
    EXPECT_EQ(getSaveFolder("/v/clip.flv"), d);
    EXPECT_EQ(h.host.cleared, 0);

    h.host.box = d + "gone/";
    EXPECT_EQ(getSaveFolder("/v/clip.flv"), "/v/");
    EXPECT_EQ(h.host.cleared, 1);
    EXPECT_EQ(h.host.box, "");
}

TEST(AppHost, DefaultsReleaseNothingAndKnowNothing) {
    AppHost& host = appHost();
    host.closeRunFn("/v/a.flv");
    host.clearSaveFolderBox();
    EXPECT_EQ(host.saveFolderBox(), "");
    EXPECT_EQ(host.playingFile(), "");
}
