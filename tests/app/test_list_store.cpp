#include <gtest/gtest.h>

#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>

#include "app/config_files.h"
#include "app/list_store.h"
#include "items/item_text.h"

using namespace app;

namespace {
const QString S(items::kItemSeparator);
}

TEST(ListStore, ReadsBlocksAndWritesEmptyListsWithTheirHeader) {
    const QStringList lines{
        "1",
        "0" + S + "清單編號" + S + "2" + S + "1",
        "/v/影片 一.flv" + S + "250-1200 3000-4500",
        "/v/b.flv",
        "1" + S + "清單編號" + S + "0" + S + "-1",
    };
    const auto lists = readListStore(lines);
    EXPECT_EQ(lists.shownLast, 1);
    EXPECT_EQ(lists.list[0].items(),
              QStringList({"/v/影片 一.flv" + S + "250-1200 3000-4500", "/v/b.flv"}));
    EXPECT_EQ(lists.list[0].selected(), 1);
    EXPECT_TRUE(lists.list[1].isEmpty());
    EXPECT_EQ(listStoreLines(lists), lines);
}

TEST(ListStore, DamagedStoresLoadWhatTheyCan) {
    // A count beyond the end, a selection beyond the items, a header for no list.
    auto lists = readListStore({"7", "0" + S + "清單編號" + S + "5" + S + "9", "/a.flv"});
    EXPECT_EQ(lists.shownLast, 0);
    EXPECT_EQ(lists.list[0].items(), QStringList({"/a.flv"}));
    EXPECT_EQ(lists.list[0].selected(), -1);

    lists = readListStore({"0", "0" + S + "清單編號" + S + "1" + S + "0", "/a.flv",
                           "5" + S + "清單編號" + S + "1" + S + "0", "/b.flv", "garbage"});
    EXPECT_EQ(lists.list[0].count(), 1);
    EXPECT_TRUE(lists.list[1].isEmpty());

    lists = readListStore({"0", "1" + S + "x" + S + "-4" + S + "0", "/c.flv"});
    EXPECT_TRUE(lists.list[1].isEmpty());  // negative count: no items; the next line is no header
    EXPECT_TRUE(readListStore({}).list[0].isEmpty());
}

TEST(ListStore, ItemsWithLineBreaksAreLeftOutSoCountsStayTrue) {
    lists::PlayLists lists;
    lists.list[1].setItems({"/a.flv", "/bad\nname.flv", "/c.flv"}, 2);
    const QStringList lines = listStoreLines(lists);
    EXPECT_EQ(lines.at(1), "0" + S + "清單編號" + S + "0" + S + "-1");
    EXPECT_EQ(lines.at(2), "1" + S + "清單編號" + S + "2" + S + "1");
    const auto back = readListStore(lines);
    EXPECT_EQ(back.list[1].items(), QStringList({"/a.flv", "/c.flv"}));
    EXPECT_EQ(back.list[1].selected(), 1);
}

TEST(ListStore, Cp950FileWithCrLfLoadsAndSavesAsUtf8) {
    QTemporaryDir dir;
    const QString path = dir.filePath("List.ini");
    const QString text = "0\r\n0" + S + "清單編號" + S + "1" + S + "0\r\n/影片/測試.flv" + S +
                         "100-200 300-400\r\n1" + S + "清單編號" + S + "0" + S + "-1\r\n";
    QStringEncoder big5("Big5");
    ASSERT_TRUE(big5.isValid());
    const QByteArray bytes = big5.encode(text);
    ASSERT_TRUE(bytes.contains("\xA1\xFC"));  // the separator's code page 950 form
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    const auto lines = readTextLines(path);
    ASSERT_TRUE(lines.has_value());
    const auto lists = readListStore(*lines);
    ASSERT_EQ(lists.list[0].count(), 1);
    EXPECT_EQ(lists.list[0].item(0), "/影片/測試.flv" + S + "100-200 300-400");

    ASSERT_FALSE(saveTextFiles({{path, listStoreLines(lists)}}).has_value());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), text.toUtf8());
}

TEST(ConfigFiles, AFailedSaveKeepsEveryOldFile) {
    QTemporaryDir dir;
    const QString ini = dir.filePath("Lumba.FLV.ini");
    {
        QFile f(ini);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("old\r\n");
    }
    // The second target cannot be created, so the first must not be replaced either.
    const auto failure =
        saveTextFiles({{ini, {"new"}}, {dir.filePath("no/such/folder/List.ini"), {"x"}}});
    ASSERT_TRUE(failure.has_value());
    EXPECT_TRUE(failure->path.endsWith("List.ini"));
    QFile f(ini);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("old\r\n"));
    EXPECT_TRUE(saveFailureText(*failure).contains(failure->path));
}
