// The file browser area as a person uses it, headless, on real temporary folders.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QHelpEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>
#include <QUrl>

#include "common/scripted_prompts.h"
#include "file_bytes.h"
#include "lists/file_browser.h"
#include "qt_app.h"

using namespace lists;

namespace {

using testmedia::touch;

class FileBrowserArea : public ::testing::Test {
  protected:
    void SetUp() override {
        testmedia::qtApp();
        ASSERT_TRUE(tmp.isValid());
        root = QDir(tmp.path()).canonicalPath();
        media = root + "/media";
        QDir(root).mkpath("media/Sub");
        QDir(root).mkpath("empty");
        touch(media + "/a.flv", 1025);
        touch(media + "/Clip.FLV", 10);
        browser = std::make_unique<FileBrowser>();
        browser->host.playPath = [this](const QString& p) { played << p; };
        browser->host.filesChanged = [this] { ++changes; };
        browser->host.focusNeutral = [this] { ++focusMoves; };
        browser->host.showBrowserArea = [this] { ++areaShown; };
        browser->resize(500, 400);
        browser->show();
        ASSERT_TRUE(browser->setFolder(media));
    }

    QListWidget* folders() { return browser->findChild<QListWidget*>("Dir1"); }
    QListWidget* files() { return browser->findChild<QListWidget*>("Fn1"); }
    int rowOf(QListWidget* list, const QString& path) {
        for (int i = 0; i < list->count(); ++i)
            if (list->item(i)->data(Qt::UserRole).toString() == path) return i;
        return -1;
    }
    void clickFolder(const QString& path, Qt::MouseButton b) {
        const int row = rowOf(folders(), path);
        ASSERT_GE(row, 0) << path.toStdString();
        folders()->scrollToItem(folders()->item(row));
        QTest::mouseClick(folders()->viewport(), b, {},
                          folders()->visualItemRect(folders()->item(row)).center());
    }

    ScriptedPrompts prompts;
    QTemporaryDir tmp;
    QString root, media;
    std::unique_ptr<FileBrowser> browser;
    QStringList played;
    int changes = 0, focusMoves = 0, areaShown = 0;
};

}  // namespace

TEST_F(FileBrowserArea, ShowsTheFolderWithItsFirstFileAndPlaysADoubleClickedOne) {
    EXPECT_EQ(browser->fileCount(), 2);
    EXPECT_EQ(browser->selectedIndex(), 0);
    EXPECT_EQ(files()->currentRow(), 0);
    EXPECT_EQ(browser->getFnFn(), media + "/a.flv");
    const QRect second = files()->visualItemRect(files()->item(1));
    QTest::mouseClick(files()->viewport(), Qt::LeftButton, {}, second.center());
    QTest::mouseDClick(files()->viewport(), Qt::LeftButton, {}, second.center());
    EXPECT_EQ(played, QStringList{media + "/Clip.FLV"});
    EXPECT_EQ(browser->selectedIndex(), 1);
    EXPECT_GE(focusMoves, 1);  // a press on the file list hands the keys to the list window

    // Browser mode works the list through these.
    const BrowserItems items = browserItems(*browser);
    EXPECT_EQ(items.count(), 2);
    items.select(0);
    EXPECT_EQ(files()->currentRow(), 0);
    EXPECT_EQ(items.selectedPath(), media + "/a.flv");
    items.play();
    EXPECT_EQ(played.last(), media + "/a.flv");
    played.clear();

    changes = 0;
    ASSERT_TRUE(browser->setFolder(root + "/empty"));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(browser->fileCount(), 0);
    EXPECT_EQ(browser->selectedIndex(), -1);
    browser->playSelected();
    EXPECT_TRUE(played.isEmpty());  // nothing to play
}

TEST_F(FileBrowserArea, RightClickLeavesTheFolderAndLeftClickEntersIt) {
    clickFolder(media + "/Sub", Qt::RightButton);
    EXPECT_EQ(browser->folder(), media);
    clickFolder(media + "/Sub", Qt::LeftButton);
    EXPECT_EQ(browser->folder(), media + "/Sub");
    clickFolder(root, Qt::LeftButton);  // back up through the way down
    EXPECT_EQ(browser->folder(), root);
    EXPECT_TRUE(prompts.shown().empty());
}

TEST_F(FileBrowserArea, AFolderRemovedWhileShownIsReportedOnceAndFallsBack) {
    browser->setDrive(root);
    ASSERT_TRUE(browser->setFolder(media + "/Sub"));
    ASSERT_TRUE(QDir(media).removeRecursively());
    clickFolder(media + "/Sub", Qt::LeftButton);
    ASSERT_EQ(prompts.shown().size(), 1u);
    EXPECT_EQ(prompts.last().title, "錯誤訊息");
    EXPECT_EQ(prompts.last().text, "你想要瀏覽的目錄已經不存在！\r\n\r\n" + media + "/Sub/");
    EXPECT_EQ(browser->folder(), root);
    EXPECT_EQ(browser->findChild<QComboBox*>("Drv1")->currentText(), root);
    clickFolder(root, Qt::LeftButton);
    EXPECT_EQ(prompts.shown().size(), 1u);
}

TEST_F(FileBrowserArea, ShowingAFileSelectsItWhateverTheCaseAndShowsTheArea) {
    touch(root + "/empty/new.flv");
    browser->showFile(root + "/empty/NEW.flv");
    EXPECT_EQ(browser->folder(), root + "/empty");
    EXPECT_EQ(browser->getFnFn(), root + "/empty/new.flv");
    EXPECT_EQ(areaShown, 1);
}

TEST_F(FileBrowserArea, ToolTipGivesTheSizeInWholeKilobytesOrSaysTheFileIsGone) {
    EXPECT_EQ(browser->fileToolTip(0), media + "/a.flv ( 2 KB )");
    EXPECT_EQ(browser->fileToolTip(1), media + "/Clip.FLV ( 1 KB )");
    // The pointer resting on the first file.
    const QPoint at = files()->visualItemRect(files()->item(0)).center();
    QHelpEvent help(QEvent::ToolTip, at, files()->viewport()->mapToGlobal(at));
    QCoreApplication::sendEvent(files()->viewport(), &help);
    EXPECT_EQ(QToolTip::text(), media + "/a.flv ( 2 KB )");
    QFile::remove(media + "/a.flv");
    EXPECT_EQ(browser->fileToolTip(0), media + "/a.flv ( 不存在 )");
    EXPECT_EQ(browser->fileToolTip(5), "");
}

TEST_F(FileBrowserArea, ADropGoesToThePlayerAndTheBrowserFollowsThePlayingFile) {
    QStringList dropped;
    browser->host.dropped = [&](const QMimeData& d) {
        for (const QUrl& u : d.urls()) dropped << u.toLocalFile();
    };
    browser->host.playingFile = [&] { return dropped.value(0); };
    ASSERT_TRUE(browser->setFolder(root + "/empty"));
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(media + "/clip.flv")});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(files()->viewport(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(files()->viewport(), &drop);
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_EQ(dropped, QStringList{media + "/clip.flv"});
    EXPECT_EQ(browser->folder(), media);
    EXPECT_EQ(browser->getFnFn(), media + "/Clip.FLV");
}

TEST_F(FileBrowserArea, SettingsValuesComeBackAsTheyWereGiven) {
    ListWindowValues in;
    in.browserFolder = media;
    in.browserIndex = 1;
    in.saveFolder = root + "/empty";
    in.doneToFn = 1;
    FileBrowser other;
    other.applyValues(in);
    EXPECT_EQ(other.getFnFn(), media + "/Clip.FLV");
    EXPECT_TRUE(other.findChild<QCheckBox*>("chkDoneToFn")->isChecked());
    EXPECT_EQ(other.findChild<QCheckBox*>("chkDoneToFn")->text(),
              "裁剪、分割、合併……等等處理後，配合指向此檔案列表");
    ListWindowValues out;
    other.collectValues(out);
    EXPECT_EQ(out.browserFolder, media);
    EXPECT_EQ(out.browserIndex, 1);
    EXPECT_EQ(out.saveFolder, root + "/empty/");
    EXPECT_EQ(out.doneToFn, 1);

    // A stored folder that is gone leaves the browser where it starts.
    ListWindowValues gone = in;
    gone.browserFolder = root + "/gone";
    FileBrowser third;
    const QString start = third.folder();
    third.applyValues(gone);
    EXPECT_EQ(third.folder(), start);
}

TEST_F(FileBrowserArea, TheSaveFolderIsChosenAndCleared) {
    prompts.folderChosen(root + "/empty");
    browser->findChild<QPushButton*>("cmdSaveDir")->click();
    EXPECT_EQ(prompts.last().kind, ScriptedPrompts::Kind::Folder);
    EXPECT_EQ(browser->saveFolder(), root + "/empty/");
    EXPECT_EQ(browser->findChild<QLineEdit*>("txtSaveDir")->text(), root + "/empty/");
    prompts.folderChosen("");  // cancelled: the box keeps its folder
    browser->chooseSaveFolder();
    EXPECT_EQ(browser->saveFolder(), root + "/empty/");
    browser->findChild<QPushButton*>("cmdClearSaveDir")->click();
    EXPECT_EQ(browser->saveFolder(), "");
}

TEST_F(FileBrowserArea, AnUnreadableDriveChangesNothingSilently) {
    const QString before = browser->folder();
    EXPECT_FALSE(browser->setDrive(root + "/no-disk"));
    EXPECT_EQ(browser->folder(), before);
    EXPECT_TRUE(prompts.shown().empty());
}
