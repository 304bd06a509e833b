// The marks text and the item text: the forms in which segments travel between windows.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "items/item_text.h"
#include "qstring_print.h"

using namespace items;

namespace {

TEST(MarksText, FormatAndParseRoundTrip) {
    const std::vector<MarkPair> pairs{{3000, 4500}, {250, 1200}};
    EXPECT_EQ(formatMarksText(pairs), "3000-4500 250-1200");
    EXPECT_EQ(parseMarksText("3000-4500 250-1200"), pairs);
    EXPECT_EQ(formatMarksText({}), "");
    ASSERT_TRUE(parseMarksText("").has_value());
    EXPECT_TRUE(parseMarksText("")->empty());
    EXPECT_EQ(parseMarksText("0-2147483647"), (std::vector<MarkPair>{{0, 2147483647}}));
}

TEST(MarksText, RefusesWhatIsNeverWritten) {
    for (const char* t :
         {"100", "100-", "-100", "a-200", "100-2b0", "200-100", "100-100", "1-2  3-4", " 1-2",
          "1-2 ", "1-2\t3-4", "1-2-3", "+1-2", "1 -2", "1-2147483648", "１-２", "1.5-2"}) {
        EXPECT_FALSE(parseMarksText(QString::fromUtf8(t)).has_value()) << t;
    }
}

TEST(ItemText, SplitsAtTheLastSeparator) {
    const auto parts = splitItemText(QString::fromUtf8("/c/a∥b.flv∥100-200"));
    EXPECT_EQ(parts.path, QString::fromUtf8("/c/a∥b.flv"));
    EXPECT_EQ(parts.marks, "100-200");
    const auto plain = splitItemText("/v/clip.flv");
    EXPECT_EQ(plain.path, "/v/clip.flv");
    EXPECT_EQ(plain.marks, "");
    EXPECT_EQ(joinItemText("/v/a.flv", ""), "/v/a.flv");
    EXPECT_EQ(joinItemText("/v/a.flv", "1-2"), QString::fromUtf8("/v/a.flv∥1-2"));
}

TEST(ItemText, JoinedMarksReadBackAndEmptySidesStayEmpty) {
    const QString sep(kItemSeparator);
    const QString path = "/a" + sep + "b.flv";
    const ItemParts parts = splitItemText(joinItemText(path, "1-2 3-4"));
    EXPECT_EQ(parts.path, path);
    EXPECT_EQ(parts.marks, "1-2 3-4");
    EXPECT_EQ(joinItemText("/v/c.flv", "1-2"), "/v/c.flv" + sep + "1-2");
    EXPECT_EQ(splitItemText("/v/c.flv" + sep).path, "/v/c.flv");
    EXPECT_EQ(splitItemText("/v/c.flv" + sep).marks, "");
    EXPECT_EQ(splitItemText(sep + "100-200").path, "");
    EXPECT_EQ(splitItemText(sep + "100-200").marks, "100-200");
}

TEST(ItemText, AFileNameWithTheSeparatorIsAPath) {
    QTemporaryDir dir;
    const QString sep(kItemSeparator);
    // Not marks text after the separator: a name, whether or not the file is there.
    EXPECT_EQ(splitItemText("/v/odd" + sep + "name.flv").path, "/v/odd" + sep + "name.flv");
    EXPECT_EQ(splitItemText("/v/odd" + sep + "name.flv").marks, "");
    // Marks-like text that is part of an existing file's name stays in the name.
    const QString named = dir.path() + "/take" + sep + "1-2";
    QFile(named).open(QIODevice::WriteOnly);
    EXPECT_EQ(splitItemText(named).path, named);
    EXPECT_EQ(splitItemText(named + sep + "3-4").path, named);
    EXPECT_EQ(splitItemText(named + sep + "3-4").marks, "3-4");
}

}  // namespace
