// The list operations without a window: order changes, drops, tooltips,
// button rules and the arithmetic of playing through a list.
#include <gtest/gtest.h>

#include <QFile>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>
#include <array>

#include "common/paths.h"
#include "lists/list_ops.h"
#include "qstring_print.h"

using namespace lists;

TEST(ListOps, ShuffleIsUniform) {
    // Every item in every position with frequency 1/5; a swap-with-any shuffle is off by 0.04.
    std::mt19937 gen(12345);
    constexpr int kRuns = 20000;
    std::array<std::array<int, 5>, 5> seen{};
    for (int run = 0; run < kRuns; ++run) {
        QStringList items{"a", "b", "c", "d", "e"};
        shuffleItems(items, gen);
        for (int pos = 0; pos < 5; ++pos)
            ++seen[size_t(items[pos][0].unicode() - 'a')][size_t(pos)];
    }
    for (const auto& row : seen)
        for (int n : row) EXPECT_NEAR(double(n) / kRuns, 0.2, 0.02);
}

TEST(ListOps, SortIsCaselessAndStable) {
    const QStringList keys{"b.flv", "A.flv", "a.flv", "C.flv", "B.FLV"};
    EXPECT_EQ(caselessOrder(keys), (QList<int>{1, 2, 0, 4, 3}));
    EXPECT_TRUE(caselessOrder({}).isEmpty());
}

TEST(ListOps, StepIndexWrapsBothWays) {
    EXPECT_EQ(stepIndex(1, 4, 5), 0);     // next on the last: the first
    EXPECT_EQ(stepIndex(-1, 0, 5), 4);    // previous on the first: the last
    EXPECT_EQ(stepIndex(1, -1, 5), 0);    // nothing selected: the first
    EXPECT_EQ(stepIndex(-1, -1, 5), -1);  // previous with nothing selected: no valid index
    EXPECT_EQ(stepIndex(0, 2, 5), 1);     // any other direction is previous
    EXPECT_EQ(stepIndex(1, 0, 0), -1);
}

TEST(ListOps, AdvanceFollowsThePlayMode) {
    using M = ListPlayMode;
    const auto list = ContinueMode::PlayList;
    EXPECT_EQ(advanceStep(list, false, M::Once, 3).action, Advance::Nothing);
    EXPECT_EQ(advanceStep(list, false, M::Once, 3).state, ContinueMode::None);
    EXPECT_EQ(advanceStep(list, false, M::LoopFile, 3).action, Advance::Replay);
    EXPECT_EQ(advanceStep(list, false, M::LoopList, 3).action, Advance::Step);
    EXPECT_EQ(advanceStep(list, false, M::RandomList, 3).action, Advance::Random);
    // A press of previous/next plays on whatever the mode and whatever started the file.
    const AdvanceStep forced = advanceStep(ContinueMode::SingleFile, true, M::Once, 3);
    EXPECT_EQ(forced.action, Advance::Step);
    EXPECT_EQ(forced.state, ContinueMode::PlayList);
    // A single file or an empty source ends list play.
    EXPECT_EQ(advanceStep(ContinueMode::SingleFile, false, M::LoopList, 3).state,
              ContinueMode::None);
    EXPECT_EQ(advanceStep(list, false, M::LoopList, 0).action, Advance::Nothing);
    EXPECT_EQ(advanceStep(ContinueMode::None, false, M::LoopList, 3).action, Advance::Nothing);
}

TEST(ListOps, ButtonRules) {
    const ListButtons none = listButtons(0, -1);
    EXPECT_FALSE(none.oneItem || none.manyItems || none.moveUp || none.moveDown);
    const ListButtons one = listButtons(1, 0);
    EXPECT_TRUE(one.oneItem);
    EXPECT_FALSE(one.manyItems || one.moveUp || one.moveDown);
    const ListButtons last = listButtons(3, 2);
    EXPECT_TRUE(last.manyItems && last.moveUp);
    EXPECT_FALSE(last.moveDown);
    EXPECT_TRUE(listButtons(3, 0).moveDown);
    EXPECT_FALSE(listButtons(3, -1).moveUp || listButtons(3, -1).moveDown);
}

class ListFiles : public ::testing::Test {
  protected:
    QString make(const QString& name, qint64 bytes) {
        QFile f(dir.path() + "/" + name);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(bytes, 'x'));
        return f.fileName();
    }
    QTemporaryDir dir;
};

TEST_F(ListFiles, ToolTipShowsKilobytesRoundedUpOrMissing) {
    const QString p = make("clip.flv", 1025);
    EXPECT_EQ(itemToolTip(p), p + " ( 2 KB )");
    EXPECT_EQ(itemToolTip(make("empty.flv", 0)), dir.path() + "/empty.flv ( 0 KB )");
    EXPECT_EQ(itemToolTip(dir.path() + "/gone.flv"), dir.path() + "/gone.flv ( 不存在 )");
    EXPECT_EQ(itemToolTip("http://example.com/a.flv"), "http://example.com/a.flv");
    EXPECT_EQ(itemToolTip(""), "");
}

TEST_F(ListFiles, DropsBringExistingFilesLastFirst) {
    const QString a = make("a.flv", 1), b = make("b.flv", 1);
    QMimeData urls;
    urls.setUrls({QUrl::fromLocalFile(a), QUrl::fromLocalFile(dir.path() + "/gone.flv"),
                  QUrl::fromLocalFile(b), QUrl::fromLocalFile(dir.path())});
    EXPECT_EQ(droppedFiles(urls), (QStringList{b, a}));

    QMimeData text;
    changeToFolder(dir.path() + "/");
    text.setText("  " + a + "  \r\nno such file\r\nb.flv\r\n");
    EXPECT_EQ(droppedFiles(text), (QStringList{b, a}));  // relative names from the current folder
}
