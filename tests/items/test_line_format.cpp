// The display lines of the play lists and the item texts read back from them.
#include <gtest/gtest.h>

#include <QStringList>

#include "items/line_format.h"
#include "qstring_print.h"

namespace lf = mdlLineFormat;

namespace {

// A list box as the list window will have one.
struct FakeList : lf::LineListBox {
    QStringList lines;
    int selected = -1;
    QString tagText;
    QList<int> stops;
    int extent = -1;
    int redraws = 0;

    int count() const override { return static_cast<int>(lines.size()); }
    QString line(int i) const override { return lines.value(i); }
    void setLine(int i, const QString& t) override { lines[i] = t; }
    int selectedIndex() const override { return selected; }
    QString tag() const override { return tagText; }
    void setTag(const QString& t) override { tagText = t; }
    void setTabStops(const QList<int>& s) override { stops = s; }
    void setHorizontalExtent(int px) override { extent = px; }
    int textWidth(const QString& t) const override { return 7 * static_cast<int>(t.size()); }
    void redraw() override { ++redraws; }
};

struct LineFormat : ::testing::Test {
    void SetUp() override { lf::setLineFormat(0); }
    void TearDown() override { lf::setLineFormat(0); }
    FakeList list;
    void add(const QString& item) { list.lines << lf::itemDisplayLine(item).line; }
};

TEST_F(LineFormat, DisplayLinesOfTheThreeFormats) {
    const QString item = QString::fromUtf8("/v/clip.flv∥100-200");
    EXPECT_EQ(lf::itemDisplayLine(item).line, QString::fromUtf8("/v/clip.flv\t標記 100-200"));
    lf::setLineFormat(1);
    const auto d = lf::itemDisplayLine(item);
    EXPECT_EQ(d.line, QString::fromUtf8("clip.flv\t/v/\t標記 100-200"));
    EXPECT_EQ(d.path, "/v/clip.flv");
    EXPECT_EQ(d.marks, "100-200");
    EXPECT_EQ(lf::itemDisplayLine("/v/clip.flv").line, QString::fromUtf8("clip.flv\t/v/\t無標記"));
    lf::setLineFormat(2);
    EXPECT_EQ(lf::itemDisplayLine(item).line, QString::fromUtf8("clip.flv\t標記 100-200\t/v/"));
    lf::setLineFormat(3);
    EXPECT_EQ(lf::itemDisplayLine(item).line, "");
    lf::setLineFormat(1);
    EXPECT_EQ(lf::itemDisplayLine(QString::fromUtf8("∥100-200")).line, "");
    EXPECT_EQ(lf::formatCaption(1), QString::fromUtf8("檔名 → 目錄 → 標記"));
}

TEST_F(LineFormat, ItemTextsComeBackFromLinesOfAnyFormat) {
    const QStringList items{QString::fromUtf8("/v/clip.flv∥100-200 300-400"), "/music/一首歌.mp3",
                            "relative.flv"};
    for (int format = 0; format <= 2; ++format) {
        lf::setLineFormat(format);
        list.lines.clear();
        list.tagText.clear();
        for (const QString& item : items) add(item);
        for (int i = 0; i < items.size(); ++i)
            EXPECT_EQ(lf::itemTextFromLine(list, i), items[i]) << format << " " << i;
        const auto pm = lf::itemPathAndMarks(list, 0);
        EXPECT_EQ(pm.path, "/v/clip.flv");
        EXPECT_EQ(pm.marks, "100-200 300-400");
    }
    EXPECT_EQ(lf::itemTextFromLine(list, -1), "");  // nothing selected
    list.selected = 1;
    EXPECT_EQ(lf::itemTextFromLine(list, -1), "/music/一首歌.mp3");
    EXPECT_EQ(lf::itemTextFromLine(list, 7), "");
}

TEST_F(LineFormat, APathWithTheSeparatorButNoMarksKeepsItsPath) {
    lf::setLineFormat(1);
    list.lines << QString::fromUtf8("b∥c.flv\t/a/\t無標記");
    const auto pm = lf::itemPathAndMarks(list, 0);
    EXPECT_EQ(pm.path, QString::fromUtf8("/a/b∥c.flv"));
    EXPECT_EQ(pm.marks, "");
}

TEST_F(LineFormat, RefreshRebuildsLinesMadeWithAnEarlierFormat) {
    lf::setLineFormat(1);
    add(QString::fromUtf8("/v/clip.flv∥100-200"));
    add("/v/b.mpg");
    list.tagText = "1";
    lf::setLineFormat(2);
    lf::refreshListLines(list, true);
    EXPECT_EQ(list.lines[0], QString::fromUtf8("clip.flv\t標記 100-200\t/v/"));
    EXPECT_EQ(list.lines[1], QString::fromUtf8("b.mpg\t無標記\t/v/"));
    EXPECT_EQ(list.tagText, "2");
    EXPECT_EQ(lf::itemTextFromLine(list, 0), QString::fromUtf8("/v/clip.flv∥100-200"));
    EXPECT_EQ(list.redraws, 1);
}

TEST_F(LineFormat, TabStopsAndExtentMeasureCodePageBytes) {
    lf::setLineFormat(1);
    add(QString::fromUtf8("/v/一首歌.mp3"));  // name: 6 + 4 = 10 bytes
    add(QString::fromUtf8("/video/ab.flv∥1-2"));
    EXPECT_EQ(lf::lineColumnCount(), 3);
    // Widest cells: 10 ("一首歌.mp3"), 7 ("/video/"), 8 ("標記 1-2").
    EXPECT_EQ(lf::setListTabStops(list, 3), (16 + 13 + 14) * 4);
    EXPECT_EQ(list.stops, (QList<int>{64, 116, 172}));
    lf::setListExtent(list, true);
    EXPECT_EQ(list.extent, 172 * 6 / 4 - 30);
    lf::setListExtent(list, false);
    EXPECT_EQ(list.extent, 7 * static_cast<int>(list.lines[1].size()) + 10);
    EXPECT_EQ(lf::cp950Width(QString::fromUtf8("無標記")), 6);
    lf::setLineFormat(0);
    EXPECT_EQ(lf::lineColumnCount(), 2);
    lf::setLineFormat(5);
    EXPECT_EQ(lf::lineColumnCount(), 0);
}

}  // namespace
