// The list window on its own, offscreen: areas and their switch, the list buttons on real
// files, importing and saving list files, drops, and hiding instead of closing.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QKeyEvent>
#include <QMimeData>
#include <QRadioButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QUrl>

#include "common/dialog_folders.h"
#include "common/globals.h"
#include "common/scripted_prompts.h"
#include "common/text_file.h"
#include "controls/lumba_button.h"
#include "controls/lumba_tab.h"
#include "items/line_format.h"
#include "lists/frm_list.h"
#include "lists/list_box.h"
#include "lists/list_commands.h"
#include "lists/list_formats.h"
#include "lists/play_list.h"
#include "qt_app.h"

using namespace lists;

namespace {

const QString S(QChar(0x2225));

// A drag entering a widget, then the drop, as a desktop delivers them.
void dropOn(QWidget* target, QMimeData& data) {
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
}

class ListWindow : public ::testing::Test {
  protected:
    ListWindow() {
        testmedia::qtApp();
        mdlLineFormat::setLineFormat(0);
        folder = dir.path() + "/";
        TempFolder = temp.path() + "/";
        w = std::make_unique<frmList>(lists);
        dialogFolders() = {};  // a new session
    }
    QString file(const QString& name, qint64 bytes = 1) {
        QFile f(folder + name);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(bytes, 'x'));
        return f.fileName();
    }
    QStringList items(int k) { return lists.list[size_t(k)].items(); }
    void click(LumbaButton* b) { emit b->Click(); }

    QTemporaryDir dir, temp;
    QString folder;
    ScriptedPrompts prompts;
    PlayLists lists;
    std::unique_ptr<frmList> w;
};

}  // namespace

TEST_F(ListWindow, AreasNumbersHintsAndBrowserMode) {
    EXPECT_EQ(w->tabMn->Tabs(), 7);
    EXPECT_TRUE(w->tabMn->tabIsTop(4) && w->tabMn->tabIsTop(6));
    EXPECT_FALSE(w->tabMn->tabIsTop(2));
    EXPECT_EQ(w->currentArea(), Area::PlayList1);

    w->mnuSwithItem[5]->trigger();  // strip index 5 is area tab 6
    EXPECT_EQ(w->currentArea(), Area::FlvToVideo);
    EXPECT_EQ(w->lblNote->text(), "按照步驟輸入參數之後，「執行轉檔功能」便可以按下");
    EXPECT_EQ(w->mnuPlaySpec->text(), "播放來源影片");
    EXPECT_TRUE(w->mnuSwithItem[5]->isChecked());
    EXPECT_EQ(w->currentList(), nullptr);

    w->findChild<QRadioButton*>("optPage_6_1")->click();
    EXPECT_EQ(w->currentArea(), Area::MusicToFlv);
    EXPECT_EQ(w->mnuPlaySpec->text(), "播放來源音樂");

    w->changeToTab(1, 1);
    EXPECT_TRUE(w->browserMode());
    EXPECT_EQ(w->lblNote->text(), "用滑鼠雙擊列表的指定項目，便可以播放該檔案");
    w->mnuSwithItem[0]->trigger();
    EXPECT_FALSE(w->browserMode());
    EXPECT_EQ(w->currentList(), &w->playList(0));
    EXPECT_EQ(w->mnuPlaySpec->text(), "播放指定影片");

    // The switch item keeps the tab's sub-page.
    w->changeToTab(1, 1);
    w->mnuSwithItem[0]->trigger();
    w->mnuSwithItem[1]->trigger();
    EXPECT_EQ(w->currentArea(), Area::FileBrowser);
}

TEST_F(ListWindow, AnAreaHandedInIsShownInItsPage) {
    auto* page = new QWidget;
    page->setObjectName("split page");
    bool shown = false;
    QObject::connect(w.get(), &frmList::areaShown, [&](Area a) { shown |= a == Area::Split; });
    w->registerArea(Area::Split, page);
    w->switchTo(Area::Split);
    EXPECT_TRUE(shown);
    EXPECT_EQ(w->areaWidget(Area::Split), page);
    EXPECT_TRUE(w->isAncestorOf(page));
}

TEST_F(ListWindow, F1ShowsThePlayListShownLastAndCloseOnlyHides) {
    w->addToListK(1, folder + "two.flv");
    w->switchTo(Area::Fix);
    w->show();
    QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    QApplication::sendEvent(w.get(), &f1);
    EXPECT_EQ(w->currentArea(), Area::PlayList2);
    EXPECT_EQ(lists.shownLast, 1);

    bool reenabled = false;
    w->host.enableItemButtons = [&](bool on) { reenabled = on; };
    w->close();
    EXPECT_FALSE(w->isVisible());
    EXPECT_TRUE(reenabled);
    QApplication::sendEvent(w.get(), &f1);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->playList(1).box().count(), 1);

    w->setClosing(true);
    w->close();
    EXPECT_FALSE(w->isVisible());
}

TEST_F(ListWindow, AddingSeveralFilesInsertsAfterTheSelectionLastFirst) {
    for (int i = 1; i <= 5; ++i) w->addToList(folder + QString("item%1.flv").arg(i), false, false);
    w->playList(0).select(1);
    addFiles(*w, {folder + "x.flv", folder + "y.flv", folder + "z.flv"});
    EXPECT_EQ(items(0), (QStringList{folder + "item1.flv", folder + "item2.flv", folder + "z.flv",
                                     folder + "y.flv", folder + "x.flv", folder + "item3.flv",
                                     folder + "item4.flv", folder + "item5.flv"}));
    EXPECT_EQ(lists.list[0].selected(), 4);
    EXPECT_EQ(w->playList(0).box().currentRow(), 4);

    // Always to the end: appended in the same order, the last one added selected.
    w->setToListEnd(true);
    addFiles(*w, {folder + "p.flv", folder + "q.flv"});
    EXPECT_EQ(items(0).mid(8), (QStringList{folder + "q.flv", folder + "p.flv"}));
    EXPECT_EQ(lists.list[0].selected(), 9);
}

TEST_F(ListWindow, RemovingMovingAndReordering) {
    for (const char* n : {"b.flv", "C.flv", "a.flv"}) w->addToList(folder + n, false, true);
    click(w->buttons.mbDel[0]);  // the last is selected: the new last gets the selection
    EXPECT_EQ(items(0), (QStringList{folder + "b.flv", folder + "C.flv"}));
    EXPECT_EQ(lists.list[0].selected(), 1);
    EXPECT_EQ(w->buttons.mbMove[1]->State(), ButtonState::Disabled);

    click(w->buttons.mbMove[0]);
    EXPECT_EQ(items(0), (QStringList{folder + "C.flv", folder + "b.flv"}));
    EXPECT_EQ(lists.list[0].selected(), 0);
    EXPECT_EQ(w->buttons.mbMove[0]->State(), ButtonState::Disabled);

    w->addToList(folder + "a.flv", false, true);
    click(w->buttons.mbSortItem);  // on the shown text, without regard to case
    EXPECT_EQ(items(0), (QStringList{folder + "a.flv", folder + "b.flv", folder + "C.flv"}));
    click(w->buttons.mbRevItem);
    EXPECT_EQ(items(0), (QStringList{folder + "C.flv", folder + "b.flv", folder + "a.flv"}));
    click(w->buttons.mbRndItem);
    EXPECT_EQ(items(0).size(), 3);

    prompts.answer(prompts::Answer::Cancel);
    click(w->buttons.mbDel[1]);
    EXPECT_EQ(items(0).size(), 3);
    prompts.answer(prompts::Answer::Ok);
    click(w->buttons.mbDel[1]);
    EXPECT_EQ(prompts.shown().back().text, "確定要移除這個清單的全部項目？");
    EXPECT_TRUE(items(0).isEmpty());
    EXPECT_EQ(w->buttons.mbPlay->State(), ButtonState::Disabled);
}

TEST_F(ListWindow, ImportingAListFileAddsItsMediaAndJunkGivesANotice) {
    const QString a = file("a.flv"), b = file("b.flv"), z = file("z.flv");
    w->addToList(z, true, true);
    const QString pls = folder + "list.pls";
    ASSERT_TRUE(
        writeTextLines(pls, {"[playlist]", "File2=b.flv", "File1=" + a, "NumberOfEntries=2"}).ok);
    prompts.files({pls});
    click(w->buttons.mbAdd[1]);
    EXPECT_EQ(items(0), (QStringList{z, a, b}));  // after the selection, in list order
    EXPECT_EQ(w->playList(0).box().currentRow(), 2);
    EXPECT_EQ(w->playList(0).box().line(2), b + "\t無標記");
    const auto& dialog = prompts.shown().back();
    EXPECT_EQ(dialog.file.qtFilter, listImportFilter());
    EXPECT_EQ(dialog.initialFolder, QDir::homePath() + "/");  // no list used yet

    QFile junk(folder + "junk.m3u");
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    for (int i = 0; i < 200 * 1024; ++i) junk.putChar(char(i * 7919 >> 3));
    junk.close();
    prompts.files({junk.fileName()});
    prompts.answer(prompts::Answer::Ok);
    click(w->buttons.mbAdd[1]);
    EXPECT_EQ(prompts.shown().back().text, "清單檔 junk.m3u 裡沒有可以播放的檔案或網址！");
    EXPECT_EQ(prompts.shown().back().title, "注意事項");
    EXPECT_EQ(items(0), (QStringList{z, a, b}));
    EXPECT_EQ(prompts.shown()[prompts.shown().size() - 2].initialFolder, folder);  // the list's
}

TEST_F(ListWindow, AListSavedWithMarksImportsIntoTheOtherListUnchanged) {
    const QStringList saved{file("a.flv") + S + "25-75 100-150", file("b.flv"),
                            file("c d.flv") + S + "1-2"};
    lists.list[0].setItems(saved, 0);
    w->reloadLists();
    QString reported;
    w->host.listSaved = [&](const QString& path) { reported = path; };
    prompts.files({folder + "mine.plt"});
    click(w->buttons.mbSave[1]);
    const auto& dialog = prompts.shown().back().file;
    EXPECT_EQ(dialog.fileName, "播放清單一.plt");  // the list's own name
    EXPECT_EQ(dialog.qtFilter, listSaveFilter());
    EXPECT_EQ(reported, folder + "mine.plt");
    w->changeToTab(0, 1);
    ASSERT_TRUE(importListFile(*w, folder + "mine.plt"));
    EXPECT_EQ(items(1), saved);
    EXPECT_TRUE(w->playList(1).box().line(0).contains("標記 25-75 100-150"));

    // For other players: the same files, no marks; the next save proposes the name used.
    prompts.files({folder + "mine.m3u8"});
    click(w->buttons.mbSave[1]);
    EXPECT_EQ(prompts.shown().back().file.fileName, "mine.plt");
    EXPECT_EQ(prompts.shown().back().initialFolder, folder);
    EXPECT_EQ(readTextFile(folder + "mine.m3u8").lines,
              (QStringList{"#EXTM3U", "#EXTINF:-1,a", folder + "a.flv", "#EXTINF:-1,b",
                           folder + "b.flv", "#EXTINF:-1,c d", folder + "c d.flv"}));
}

TEST_F(ListWindow, ALineFormatChangedWhileAListIsHiddenRedrawsItWhenShown) {
    w->addToList(folder + "a.flv" + S + "1-2", false, true);
    const QString before = w->playList(0).box().line(0);
    w->changeToTab(0, 1);
    w->mnuLineFmt[1]->trigger();
    EXPECT_EQ(w->playList(0).box().line(0), before);  // hidden: untouched
    w->changeToTab(0, 0);
    EXPECT_NE(w->playList(0).box().line(0), before);
    EXPECT_TRUE(w->playList(0).box().line(0).startsWith("a.flv\t"));
    EXPECT_EQ(items(0), (QStringList{folder + "a.flv" + S + "1-2"}));
}

TEST_F(ListWindow, DropsOfFilesAndOfTextAddToTheListDroppedOn) {
    const QString a = file("a.flv"), b = file("b.flv");
    ListBox& box = w->playList(0).box();
    QMimeData urls;
    urls.setUrls({QUrl::fromLocalFile(a), QUrl::fromLocalFile(b)});
    dropOn(box.viewport(), urls);
    EXPECT_EQ(items(0), (QStringList{b, a}));

    QMimeData text;
    text.setText(a + "\r\n" + folder + "missing.flv\r\n");
    dropOn(w->joinList().box().viewport(), text);
    EXPECT_EQ(w->joinList().model().items(), (QStringList{a}));
}

TEST_F(ListWindow, JoinAreaNotesTheTotalSize) {
    const QString a = file("a.flv", 1025), b = file("b.flv", 2048);
    w->switchTo(Area::JoinList);
    w->addToList(a, false, true);
    w->addToList(b + S + "1-2", false, true);  // the join list keeps paths only
    EXPECT_EQ(w->joinList().model().items(), (QStringList{a, b}));
    EXPECT_EQ(w->lblNote->text(), "合併清單目前所有項目的總檔案大小是：4 KB");
}

TEST_F(ListWindow, InTheFileBrowserTheButtonsPlayButNeverReorder) {
    w->browser.count = [] { return 3; };
    w->browser.selected = [] { return 1; };
    w->switchTo(Area::FileBrowser);
    EXPECT_EQ(w->buttons.mbPlay->State(), ButtonState::Normal);
    EXPECT_EQ(w->buttons.mbRndPlay->State(), ButtonState::Normal);
    EXPECT_EQ(w->buttons.mbSave[0]->State(), ButtonState::Normal);
    for (LumbaButton* b : {w->buttons.mbSortItem, w->buttons.mbMove[0], w->buttons.mbDel[0],
                           w->buttons.mbAdd[0], w->buttons.mbSave[1]})
        EXPECT_EQ(b->State(), ButtonState::Disabled) << b->objectName().toStdString();
    w->switchTo(Area::Fix);
    EXPECT_EQ(w->buttons.mbPlay->State(), ButtonState::Disabled);
}

TEST_F(ListWindow, LongLinesScrollSidewaysAndAHugeLineStaysInItsRow) {
    w->resize(400, 300);
    w->show();
    ListBox& box = w->playList(0).box();
    const QString label = "標記 100-200 300-400";
    w->addToList("/a.flv", false, true);  // a short first line sets no width for the others
    w->addToList(folder + QString(80, u'd') + "/a.flv" + S + "100-200 300-400", false, true);
    w->resize(380, 300);  // a layout after the extent was set keeps it
    QApplication::processEvents();
    // The whole marks column can be scrolled into view.
    EXPECT_GE(box.horizontalScrollBar()->maximum() + box.viewport()->width(),
              box.tabStopPixels().value(0) + box.fontMetrics().horizontalAdvance(label));

    w->addToList(QString(10'000'000, u'x') + S + "1-2", false, true);
    QApplication::processEvents();
    EXPECT_LE(box.horizontalScrollBar()->maximum(), 1 << 18);
    const QImage shot = box.viewport()->grab().toImage();
    const QColor background = box.viewport()->palette().color(QPalette::Base);
    const int below = box.visualRect(box.model()->index(2, 0)).bottom() + 1;
    int drawn = 0;
    for (int y = below; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x) drawn += shot.pixelColor(x, y) != background;
    EXPECT_EQ(drawn, 0);
}
