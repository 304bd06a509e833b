// Play list files as other players write them: each imports as exactly its media files,
// relative entries taken from the list's folder; junk gives nothing; ours keeps its marks.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <QUrl>
#include <random>

#include "common/cp950.h"
#include "file_bytes.h"
#include "lists/list_formats.h"
#include "qstring_print.h"

using namespace lists;
using testmedia::touch;
using testmedia::writeBytes;

namespace {

class ListFormats : public ::testing::Test {
  protected:
    ListFormats() {
        QDir(root).mkpath("lists/music");
        QDir(root).mkpath("elsewhere");
        for (const QString& f : {a, b, c, d}) touch(f);
    }
    // A list file in root/lists, its lines joined with line end eol, UTF-8.
    QString list(const QString& name, const QStringList& lines, const char* eol = "\r\n",
                 const QByteArray& head = {}) {
        const QString path = root + "lists/" + name;
        writeBytes(path, head + lines.join(QString::fromLatin1(eol)).toUtf8());
        return path;
    }
    static QString url(const QString& path) {
        return QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded);
    }

    QTemporaryDir dir;
    const QString root = dir.path() + "/";
    const QString a = root + "lists/music/a b.mp3";
    const QString b = root + "lists/music/影片 c.flv";
    const QString c = root + "elsewhere/d&e #1.flv";
    const QString d = root + "lists/top.wmv";
};

}  // namespace

TEST_F(ListFormats, ListsOfOtherPlayersImportAsExactlyTheirMediaFiles) {
    const QString live = "http://example.com/live.flv";
    // VLC: .m3u8 with a byte-order mark, titles, options, file URLs with %-escapes.
    const QString vlc = list("vlc.m3u8",
                             {"#EXTM3U", "#EXTINF:8,clip a", "#EXTVLCOPT:network-caching=1000",
                              url(a), "#EXTINF:-1,影片 c", url(b), url(c), "smb://host/x.flv", ""},
                             "\n", "\xEF\xBB\xBF");
    EXPECT_EQ(readListFile(vlc), (QStringList{a, b, c}));

    // Winamp on Windows: relative names with "\", absolute paths, a stream, missing files.
    const QString winamp =
        list("winamp.m3u", {"#EXTM3U", "#EXTINF:123,Artist - Song", "music\\a b.mp3", c, "top.wmv",
                            live, "C:\\Music\\gone.mp3", "missing.mp3"});
    EXPECT_EQ(readListFile(winamp), (QStringList{a, c, d, live}));

    // .pls: FileN in N order, whatever order the lines come in.
    const QString pls = list("winamp.pls", {"[playlist]", "File2=music/影片 c.flv", "Title2=影片 c",
                                            "Length2=-1", "file1=" + c, "Title1=d&e",
                                            "File3=" + url(d), "NumberOfEntries=3", "Version=2"});
    EXPECT_EQ(readListFile(pls), (QStringList{c, b, d}));

    // Windows Media Player .asx: tags in any case, the first ref of each entry, entities.
    const QString asx = list(
        "wmp.asx",
        {"<ASX version=\"3.0\">", "<Title>mix</Title>",
         "<Entry><Title>a</Title><Ref href=\"music\\a b.mp3\"/><Ref href=\"top.wmv\"/></Entry>",
         "<ENTRYREF HREF=\"other.asx\"/>", "<entry>",
         "  <ref HREF = '" + QString(c).replace("&", "&amp;") + "' />", "</entry>",
         "<entry><ref href=\"" + live + "\"/></entry>", "<entry><ref href=\"gone.wmv\"/></entry>",
         "</ASX>"});
    EXPECT_EQ(readListFile(asx), (QStringList{a, c, live}));

    // XSPF: the location of each track, a file URL or a relative URI.
    const QString xspf = list(
        "player.xspf",
        {"<?xml version=\"1.0\" encoding=\"UTF-8\"?>",
         "<playlist version=\"1\" xmlns=\"http://xspf.org/ns/0/\"><title>x</title><trackList>",
         "<track><location>" + url(c).replace("&", "&amp;") + "</location><title>d</title></track>",
         "<track><title>b</title><location>music/%E5%BD%B1%E7%89%87%20c.flv</location></track>",
         "<track><location>file:///nowhere/x.flv</location></track>", "</trackList></playlist>"});
    EXPECT_EQ(readListFile(xspf), (QStringList{c, b}));
}

TEST_F(ListFormats, JunkGivesNothing) {
    std::mt19937 gen(24);
    QByteArray junk(200 * 1024, '\0');
    for (char& ch : junk) ch = char(gen());
    writeBytes(root + "lists/junk.m3u", junk);
    EXPECT_TRUE(readListFile(root + "lists/junk.m3u").isEmpty());
    writeBytes(root + "lists/junk.xspf", junk);
    EXPECT_TRUE(readListFile(root + "lists/junk.xspf").isEmpty());
    EXPECT_TRUE(readListFile(root + "lists/missing.plt").isEmpty());
}

TEST_F(ListFormats, OurListsKeepMarksInUtf8AndCp950) {
    const QString S(QChar(0x2225));
    const QStringList lines{a + S + "100-200 300-400", "music/影片 c.flv" + S + "5-9",
                            "gone.flv" + S + "1-2", d};
    const QStringList want{a + S + "100-200 300-400", b + S + "5-9", d};
    EXPECT_EQ(readListFile(list("ours.plt", lines)), want);
    writeBytes(root + "lists/legacy.plt", encodeCp950(lines.join("\r\n")));
    EXPECT_EQ(readListFile(root + "lists/legacy.plt"), want);
}

TEST_F(ListFormats, AnM3u8ForOtherPlayersLeavesMarksOutAndReadsBack) {
    const QString S(QChar(0x2225));
    const QStringList lines = m3u8Lines({a + S + "1-2", "http://example.com/x.flv"});
    EXPECT_EQ(lines,
              (QStringList{"#EXTM3U", "#EXTINF:-1,a b", a, "#EXTINF:-1,http://example.com/x.flv",
                           "http://example.com/x.flv"}));
    EXPECT_EQ(readListFile(list("back.m3u8", lines)), (QStringList{a, "http://example.com/x.flv"}));
}

TEST(ListKinds, NamesFiltersAndWhatASaveWrites) {
    EXPECT_EQ(listFormatOf("/l/list.M3U8"), ListFormat::M3u);
    EXPECT_TRUE(isListFile("/l/a.XSPF"));
    EXPECT_FALSE(isListFile("plt"));  // a bare extension is no file
    EXPECT_FALSE(isListFile("/l/a.flv"));
    EXPECT_EQ(listImportFilter(), "支援的清單檔 (*.plt *.pls *.m3u *.m3u8 *.asx *.xspf)");
    EXPECT_EQ(listSaveFilter(), "預設清單檔 (*.plt);;M3U8 清單檔 (*.m3u8)");
    const QString S(QChar(0x2225));
    const QStringList items{"/v/a.flv" + S + "1-2"};
    EXPECT_EQ(listFileContent("/l/x.plt", items), items);
    EXPECT_EQ(listFileContent("/l/x.M3U", items), m3u8Lines(items));
}
