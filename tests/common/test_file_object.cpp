#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "common/file_object.h"
#include "common/paths.h"
#include "common/text_file.h"
#include "file_bytes.h"
#include "qstring_print.h"

namespace {

using testmedia::touch;

struct Parts {
    const char* path;
    const char* base;
    const char* ext;
    const char* file;
    const char* parent;
    const char* drive;
};

}  // namespace

TEST(FileObject, SplitsPathsByTheRule) {
    const Parts cases[] = {
        {"/v/clip.part1.flv", "clip.part1", "flv", "clip.part1.flv", "/v/", "/"},
        {"/v/", "", "", "", "/v/", "/"},
        {"/v.d/clip", "clip", "", "clip", "/v.d/", "/"},
        {"//srv/share/a.mpg", "a", "mpg", "a.mpg", "//srv/share/", "/"},
        // ":" is an ordinary character, not a drive separator.
        {"a:clip.flv", "a:clip", "flv", "a:clip.flv", "", "a"},
        {"/a.flv", "a", "flv", "a.flv", "/", "/"},
        {"  /v/a.FLV  ", "a", "FLV", "a.FLV", "/v/", "/"},
        {"clip.", "clip", "", "clip.", "", "c"},
        {"/v/.hidden", "", "hidden", ".hidden", "/v/", "/"},
        {".flv", "", "", "", "", ""},
        {"", "", "", "", "", ""},
    };
    const FileObject& f = fso();
    for (const Parts& c : cases) {
        const QString p = QString::fromUtf8(c.path);
        SCOPED_TRACE(c.path);
        EXPECT_EQ(f.GetBaseName(p), QString::fromUtf8(c.base));
        EXPECT_EQ(f.GetExtensionName(p), QString::fromUtf8(c.ext));
        EXPECT_EQ(f.GetFileName(p), QString::fromUtf8(c.file));
        EXPECT_EQ(f.GetParentFolderName(p), QString::fromUtf8(c.parent));
        EXPECT_EQ(f.GetDriveName(p), QString::fromUtf8(c.drive));
    }
}

TEST(FileObject, ExistenceTestsTellFilesFromFolders) {
    QTemporaryDir dir;
    const QString d = dir.path() + u'/';
    touch(d + "a.flv");
    touch(d + ".hidden.flv");
    QDir().mkdir(d + "sub.flv");
    EXPECT_TRUE(fso().FileExists(d + "a.flv"));
    EXPECT_TRUE(fso().FileExists("  " + d + "a.flv "));
    EXPECT_TRUE(fso().FileExists(d + ".hidden.flv"));
    EXPECT_FALSE(fso().FileExists(d + "sub.flv"));
    EXPECT_FALSE(fso().FileExists(d + "missing.flv"));
    EXPECT_FALSE(fso().FileExists(d + "a.flv/"));
    EXPECT_FALSE(fso().FileExists(""));
    EXPECT_TRUE(fso().FileExists(d + "*.flv"));
    EXPECT_FALSE(fso().FileExists(d + "*.mpg"));
    EXPECT_TRUE(fso().FolderExists(d + "sub.flv"));
    EXPECT_TRUE(fso().FolderExists(d));
    EXPECT_FALSE(fso().FolderExists(d + "a.flv"));
    EXPECT_FALSE(fso().FolderExists(""));
    EXPECT_EQ(fso().ShortPath(d + "a.flv"), d + "a.flv");
    EXPECT_EQ(fso().ShortPath(d + "missing.flv"), "");
}

TEST(FileObject, DeleteFileTakesWildcardsButNeverFolders) {
    QTemporaryDir dir;
    const QString d = dir.path() + u'/';
    touch(d + "~tmpSP001.flv");
    touch(d + "~tmpSP002.flv");
    touch(d + "keep.flv");
    touch(d + "[1].flv");  // brackets are not wildcards
    QDir().mkdir(d + "~tmpSPdir.flv");
    EXPECT_EQ(fso().DeleteFile(d + "~tmpSP*.flv"), 2);
    EXPECT_FALSE(fso().FileExists(d + "~tmpSP001.flv"));
    EXPECT_TRUE(fso().FileExists(d + "keep.flv"));
    EXPECT_TRUE(fso().FolderExists(d + "~tmpSPdir.flv"));
    EXPECT_EQ(fso().DeleteFile(d + "1.flv"), 0);
    EXPECT_EQ(fso().DeleteFile(d + "[1].fl?"), 1);
    EXPECT_EQ(fso().DeleteFile(d + "~tmpSPdir.flv"), 0);
    EXPECT_EQ(fso().DeleteFile(d + "missing"), 0);
}

TEST(FileObject, CreateTextFileEndsWithCrLfAndResolvesAgainstTheCurrentFolder) {
    QTemporaryDir dir;
    const QString d = dir.path() + u'/';
    ASSERT_TRUE(fso().CreateTextFile(d + "a.txt", "one\ntwo"));
    QFile f(d + "a.txt");
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("one\r\ntwo\r\n"));

    const QString before = currentFolder();
    changeToFolder(d);
    EXPECT_TRUE(fso().CreateTextFile("rel.txt", "x"));
    EXPECT_TRUE(QFile::exists(d + "rel.txt"));
    EXPECT_TRUE(fso().FileExists("rel.txt"));
    changeToFolder(before);
    EXPECT_FALSE(fso().CreateTextFile(d + "no/such/folder/a.txt", "x"));
}

TEST(FileObject, SpecialFolders) {
    EXPECT_EQ(fso().GetSpecialFolder(0), "/usr");
    EXPECT_EQ(fso().GetSpecialFolder(1), "/usr/bin");
    const QString temp = fso().GetSpecialFolder(2);
    EXPECT_TRUE(temp.isEmpty() || (temp.endsWith(u'/') && fso().FolderExists(temp)));
    EXPECT_EQ(fso().GetSpecialFolder(3), "");
    EXPECT_EQ(fso().GetSpecialFolder(-1), "");
}

TEST(Wildcards, MatchStarAndQuestionMarkOnly) {
    EXPECT_TRUE(wildcardMatch("*", ""));
    EXPECT_TRUE(wildcardMatch("a*b*c", "aXXbYc"));
    EXPECT_FALSE(wildcardMatch("a*b*c", "aXXbY"));
    EXPECT_TRUE(wildcardMatch("mp?", "mp3"));
    EXPECT_FALSE(wildcardMatch("mp?", "mp"));
    EXPECT_TRUE(wildcardMatch("[a].flv", "[a].flv"));
    EXPECT_FALSE(wildcardMatch("[a].flv", "a.flv"));
    EXPECT_FALSE(wildcardMatch("*.FLV", "a.flv"));
}
