// The file browser's boxes without widgets, on real temporary folders.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "file_bytes.h"
#include "lists/file_browser_logic.h"
#include "lists/list_ops.h"
#include "qstring_print.h"

using namespace lists;

namespace {

using testmedia::touch;

class BrowserFolders : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(tmp.isValid());
        root = QDir(tmp.path()).canonicalPath();
        QDir(root).mkpath("media/empty");
        QDir(root).mkpath("media/Sub");
        media = root + "/media";
        touch(media + "/b.flv");
        touch(media + "/A.flv");
        touch(media + "/c.txt");
        touch(media + "/.hidden");
    }

    QTemporaryDir tmp;
    QString root, media;
};

}  // namespace

TEST_F(BrowserFolders, ListsEveryVisibleFileByNameIgnoringCase) {
    EXPECT_EQ(folderFiles(media), QStringList({"A.flv", "b.flv", "c.txt"}));
    EXPECT_TRUE(folderFiles(media + "/empty").isEmpty());
    EXPECT_TRUE(folderFiles(root + "/gone").isEmpty());
}

TEST_F(BrowserFolders, AFolderWithFilesSelectsTheFirstAndAnEmptyOneNothing) {
    FileBrowserModel m({"/", root});
    ASSERT_TRUE(m.setFolder(media + "/"));
    EXPECT_EQ(m.folder(), media);  // kept without its "/"
    EXPECT_EQ(m.drive(), root);
    EXPECT_EQ(m.selected(), 0);
    EXPECT_EQ(m.filePath(), media + "/A.flv");
    EXPECT_EQ(m.filePath(2), media + "/c.txt");
    EXPECT_EQ(m.filePath(3), "");

    ASSERT_TRUE(m.setFolder(media + "/empty"));
    EXPECT_EQ(m.fileCount(), 0);
    EXPECT_EQ(m.selected(), -1);
    EXPECT_EQ(m.filePath(), "");

    // A folder that is not there leaves the browser where it was.
    EXPECT_FALSE(m.setFolder(root + "/gone"));
    EXPECT_EQ(m.folder(), media + "/empty");
}

TEST_F(BrowserFolders, ShowingAFileMatchesItsNameIgnoringCase) {
    FileBrowserModel m({"/", root});
    ASSERT_TRUE(m.showFile(media + "/B.FLV"));
    EXPECT_EQ(m.folder(), media);
    EXPECT_EQ(m.selected(), 1);
    EXPECT_EQ(m.filePath(), media + "/b.flv");
    // A name that is not listed leaves the first file selected.
    ASSERT_TRUE(m.showFile(media + "/none.flv"));
    EXPECT_EQ(m.selected(), 0);
}

TEST_F(BrowserFolders, NextOnTheLastFileComesBackToTheFirst) {
    FileBrowserModel m({"/", root});
    ASSERT_TRUE(m.setFolder(media));
    m.select(m.fileCount() - 1);
    m.select(stepIndex(+1, m.selected(), m.fileCount()));
    EXPECT_EQ(m.filePath(), media + "/A.flv");
    m.select(stepIndex(-1, m.selected(), m.fileCount()));
    EXPECT_EQ(m.filePath(), media + "/c.txt");
}

TEST_F(BrowserFolders, RefreshKeepsTheSelectedFileWhenOthersArrive) {
    FileBrowserModel m({"/", root});
    ASSERT_TRUE(m.setFolder(media));
    m.select(1);  // b.flv
    touch(media + "/0new.flv");
    m.refresh();
    EXPECT_EQ(m.fileCount(), 4);
    EXPECT_EQ(m.filePath(), media + "/b.flv");
}

TEST_F(BrowserFolders, RightClickOnAFolderDoesNotEnterIt) {
    FileBrowserModel m({"/", root});
    ASSERT_TRUE(m.setFolder(media));
    EXPECT_EQ(m.folderClicked(media + "/Sub", true, QDir::homePath()), FolderClick::Ignored);
    EXPECT_EQ(m.folder(), media);
    EXPECT_EQ(m.folderClicked(media + "/Sub", false, QDir::homePath()), FolderClick::Entered);
    EXPECT_EQ(m.folder(), media + "/Sub");
}

TEST_F(BrowserFolders, AVanishedFolderFallsBackToItsDriveThenToHome) {
    FileBrowserModel m({"/", root});
    ASSERT_TRUE(m.setFolder(media + "/Sub"));
    ASSERT_TRUE(QDir(media + "/Sub").removeRecursively());
    // A right click on it is still reported: the folder box no longer holds it.
    EXPECT_EQ(m.folderClicked(media + "/Sub", true, QDir::homePath()), FolderClick::Vanished);
    EXPECT_EQ(m.folder(), root);
    EXPECT_EQ(m.drive(), root);

    ASSERT_TRUE(m.setFolder(media));
    ASSERT_TRUE(QDir(root).removeRecursively());
    EXPECT_EQ(m.folderClicked(media, false, QDir::homePath()), FolderClick::Vanished);
    EXPECT_EQ(m.folder(), QDir::cleanPath(QDir::homePath()));
    EXPECT_EQ(vanishedFolderText("/x/"), "你想要瀏覽的目錄已經不存在！\r\n\r\n/x/");
}

TEST_F(BrowserFolders, FolderBoxShowsTheWayDownAndTheSubFolders) {
    const auto entries = folderBoxEntries(media);
    ASSERT_GE(entries.size(), 4u);
    EXPECT_EQ(entries.front().path, "/");
    int current = -1;
    for (size_t i = 0; i < entries.size(); ++i)
        if (entries[i].current) current = int(i);
    ASSERT_GE(current, 1);
    EXPECT_EQ(entries[size_t(current)].path, media);
    EXPECT_EQ(entries[size_t(current)].name, "media");
    // Below the current folder: its sub-folders by name, one level deeper.
    ASSERT_EQ(entries.size(), size_t(current) + 3);
    EXPECT_EQ(entries[size_t(current) + 1].path, media + "/empty");
    EXPECT_EQ(entries[size_t(current) + 2].path, media + "/Sub");
    EXPECT_EQ(entries[size_t(current) + 2].depth, entries[size_t(current)].depth + 1);
}

TEST(BrowserDrives, RootFirstHomeIncludedAndTheLongestRootHoldsAFolder) {
    QStringList drives = driveRoots();
    ASSERT_FALSE(drives.isEmpty());
    EXPECT_EQ(drives.first(), "/");
    EXPECT_TRUE(drives.contains(QDir::cleanPath(QDir::homePath())));
    EXPECT_EQ(drives.removeDuplicates(), 0);
    for (const QString& d : drives) {
        EXPECT_FALSE(d.startsWith("/proc")) << d.toStdString();
        EXPECT_FALSE(d.startsWith("/sys")) << d.toStdString();
    }
    const QStringList some{"/", "/media/usb", "/home/u"};
    EXPECT_EQ(driveOf("/media/usb/clips", some), "/media/usb");
    EXPECT_EQ(driveOf("/media/usb2", some), "/");
    EXPECT_EQ(driveOf("/home/u", some), "/home/u");
}
