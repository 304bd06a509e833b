#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "common/cp950.h"
#include "common/text_file.h"
#include "qstring_print.h"

namespace {

QByteArray readBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& b) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(b);
}

const QString kChinese = QStringLiteral("支援處理的檔案∥00:01:15.50");

}  // namespace

TEST(TextFile, WritesUtf8WithCrLfAndReadsItBack) {
    QTemporaryDir dir;
    const QString p = dir.path() + "/List.ini";
    ASSERT_TRUE(writeTextLines(p, {"[List0]", kChinese, ""}));
    EXPECT_EQ(readBytes(p), "[List0]\r\n" + kChinese.toUtf8() + "\r\n\r\n");
    ASSERT_TRUE(writeTextFile(p, "a\r\nb\nc"));
    EXPECT_EQ(readBytes(p), QByteArray("a\r\nb\r\nc"));

    writeBytes(p, "one\ntwo\r\n" + kChinese.toUtf8() + "\n");
    const TextReadResult r = readTextFile(p);
    ASSERT_TRUE(r.ok);
    EXPECT_FALSE(r.legacy);
    EXPECT_EQ(r.lines, (QStringList{"one", "two", kChinese}));
}

TEST(TextFile, ReadsCp950WhenTheBytesAreNotUtf8) {
    const QByteArray big5 = encodeCp950(kChinese + "\r\n第二行");
    ASSERT_FALSE(big5.isEmpty());
    ASSERT_NE(big5, (kChinese + "\r\n第二行").toUtf8());
    QTemporaryDir dir;
    const QString p = dir.path() + "/old.plt";
    writeBytes(p, big5);
    const TextReadResult r = readTextFile(p);
    ASSERT_TRUE(r.ok);
    EXPECT_TRUE(r.legacy);
    EXPECT_EQ(r.lines, (QStringList{kChinese, "第二行"}));
    // Bytes that are neither become U+FFFD, and the rest still decodes.
    bool legacy = false;
    EXPECT_EQ(decodeText(QByteArray("a\xFF") + encodeCp950("中"), &legacy),
              QString("a") + QChar(0xFFFD) + "中");
    EXPECT_TRUE(legacy);
    EXPECT_EQ(decodeCp950(QByteArray("\xA4")), QString(QChar(0xFFFD)));  // cut short
    EXPECT_EQ(encodeCp950(QStringLiteral("a😀b")), QByteArray("a?b"));
}

TEST(TextFile, DropsTheByteOrderMark) {
    bool legacy = true;
    EXPECT_EQ(decodeText("\xEF\xBB\xBFkey=1", &legacy), "key=1");
    EXPECT_FALSE(legacy);
    EXPECT_EQ(splitLines(""), QStringList());
    EXPECT_EQ(splitLines("\n"), QStringList{""});
    EXPECT_EQ(splitLines("a\r\n\r\nb"), (QStringList{"a", "", "b"}));
}

TEST(TextFile, AFailedWriteKeepsTheOldFileAndSaysWhy) {
    QTemporaryDir dir;
    const QString p = dir.path() + "/Lumba.FLV.ini";
    ASSERT_TRUE(writeTextFile(p, "old\n"));

    // Tests run as root, where permissions do not stop a write: use impossible targets.
    const TextWriteResult noFolder = writeTextFile(dir.path() + "/missing/x.ini", "new\n");
    EXPECT_FALSE(noFolder.ok);
    EXPECT_FALSE(noFolder.error.isEmpty());
    EXPECT_TRUE(noFolder.error.contains("missing/x.ini"));

    ASSERT_TRUE(QDir().mkdir(dir.path() + "/adir"));
    EXPECT_FALSE(writeTextFile(dir.path() + "/adir", "new\n").ok);
    EXPECT_TRUE(QDir(dir.path() + "/adir").exists());

    // A file standing where the folder should be.
    EXPECT_FALSE(writeTextFile(p + "/inner.ini", "new\n").ok);
    EXPECT_EQ(readBytes(p), QByteArray("old\r\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"Lumba.FLV.ini"});

    const TextReadResult missing = readTextFile(dir.path() + "/none.ini");
    EXPECT_FALSE(missing.ok);
    EXPECT_FALSE(missing.error.isEmpty());
}

TEST(TextFile, FilesReplacedTogetherStayOldWhenOneCannotBeWritten) {
    QTemporaryDir dir;
    const QString a = dir.path() + "/Lumba.FLV.ini";
    const QString b = dir.path() + "/List.ini";
    ASSERT_TRUE(replaceTextFiles({{a, crlfLineBytes({"a1"})}, {b, crlfLineBytes({"b1"})}}));
    EXPECT_EQ(readBytes(a), QByteArray("a1\r\n"));
    EXPECT_EQ(readBytes(b), QByteArray("b1\r\n"));

    const QString bad = dir.path() + "/no/such/folder/x.ini";
    const TextWriteResult r =
        replaceTextFiles({{a, crlfLineBytes({"a2"})}, {bad, crlfLineBytes({"x"})}});
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.path, bad);
    EXPECT_FALSE(r.reason.isEmpty());
    EXPECT_EQ(r.error, bad + ": " + r.reason);
    EXPECT_EQ(readBytes(a), QByteArray("a1\r\n"));  // written beside, never put in place
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), (QStringList{"List.ini", "Lumba.FLV.ini"}));
}

TEST(TextFile, LinesAreWrittenAsGivenWhileATextHasEveryLineEndMadeCrLf) {
    // The settings and the list store hold lines; a line end inside a line is not theirs to
    // change. A free text (a play list file) has each of its line ends written as CR LF.
    EXPECT_EQ(crlfLineBytes({"a\nb", kChinese}), "a\nb\r\n" + kChinese.toUtf8() + "\r\n");
    EXPECT_EQ(crlfLineBytes({}), QByteArray());
    EXPECT_EQ(crlfTextBytes("a\nb\r\nc\r"), QByteArray("a\r\nb\r\nc\r"));
    EXPECT_EQ(crlfTextBytes("\r\n\n"), QByteArray("\r\n\r\n"));
}
