// The texts of the about box and the removal notice, and how the answer of the package
// database decides between a copied folder and a package.
#include <gtest/gtest.h>

#include "app/aux_commands.h"
#include "qstring_print.h"

using app::InstallKind;

TEST(InstallKind, OnlyAPackageNamedForThePlayerItselfCountsAsAPackage) {
    const QString file = "/usr/lib/lumba-flv/Lumba.FLV";
    EXPECT_EQ(app::installKindFromDpkg(file, 0, "lumba-flv: /usr/lib/lumba-flv/Lumba.FLV\n"),
              InstallKind::Package);
    // Two packages sharing a path are listed together.
    EXPECT_EQ(app::installKindFromDpkg(file, 0, "lumba-flv, other: /usr/lib/lumba-flv/Lumba.FLV"),
              InstallKind::Package);
    // Not found, or dpkg failed.
    EXPECT_EQ(
        app::installKindFromDpkg(
            file, 1, "dpkg-query: no path found matching pattern /usr/lib/lumba-flv/Lumba.FLV\n"),
        InstallKind::CopiedFolder);
    EXPECT_EQ(app::installKindFromDpkg(file, 2, ""), InstallKind::CopiedFolder);
    // A success that is about another file, or only about a diversion, is not ownership.
    EXPECT_EQ(app::installKindFromDpkg(file, 0, "lumba-flv: /usr/lib/lumba-flv/Lumba.FLV.old\n"),
              InstallKind::CopiedFolder);
    EXPECT_EQ(app::installKindFromDpkg(file, 0, "lumba-flv: /usr/lib/lumba-flv\n"),
              InstallKind::CopiedFolder);
    EXPECT_EQ(app::installKindFromDpkg(file, 0,
                                       "diversion by other from: /usr/lib/lumba-flv/Lumba.FLV\n"
                                       "diversion by other to: /usr/lib/lumba-flv/Lumba.FLV.x\n"),
              InstallKind::CopiedFolder);
    EXPECT_EQ(app::installKindFromDpkg(file, 0, ": /usr/lib/lumba-flv/Lumba.FLV\n"),
              InstallKind::CopiedFolder);
    EXPECT_EQ(app::installKindFromDpkg("", 0, "lumba-flv: \n"), InstallKind::CopiedFolder);
}

TEST(InstallKind, AFolderNameWithWildcardsIsMatchedLiterally) {
    EXPECT_EQ(app::dpkgExactPattern("/usr/lib/lumba-flv/Lumba.FLV"),
              "/usr/lib/lumba-flv/Lumba.FLV");
    // Unescaped, "/home/u/*/Lumba.FLV" would match a packaged player anywhere.
    EXPECT_EQ(app::dpkgExactPattern("/home/u/*/[a]?\\/Lumba.FLV"),
              "/home/u/\\*/\\[a\\]\\?\\\\/Lumba.FLV");
}

TEST(InstallKind, TheRemovalNoticeFitsTheWayTheProgramWasInstalled) {
    EXPECT_EQ(app::uninstallText(InstallKind::CopiedFolder),
              "本軟體乃是綠色軟體，與免費軟體\r\n"
              "如果想移除本軟體，只要將安裝的\r\n"
              "目錄與目錄下的檔案全部刪除即可\r\n"
              "\r\n"
              "你可以使用「開啟安裝目錄」選項");
    EXPECT_EQ(app::uninstallText(InstallKind::Package),
              "本軟體是以套件方式安裝的\r\n"
              "如果想移除本軟體，請使用套件管理程式\r\n"
              "例如：sudo apt remove lumba-flv");
}

TEST(AboutBox, ShowsTheProgramFolderAsALinkWhateverItsName) {
    const QString plain = app::aboutHtml("1.0", "/usr/lib/lumba-flv/");
    EXPECT_TRUE(plain.contains("安裝目錄：<a href=\"/usr/lib/lumba-flv/\">/usr/lib/lumba-flv/</a>"))
        << plain.toStdString();
    EXPECT_TRUE(plain.contains("Lumba.FLV 1.0"));

    // Markup and argument markers in a folder name stay text.
    const QString odd = app::aboutHtml("1.0", "/home/u/<b>a&b \"%3\"/");
    EXPECT_TRUE(odd.contains("/home/u/&lt;b&gt;a&amp;b &quot;%3&quot;/")) << odd.toStdString();
    EXPECT_FALSE(odd.contains("<b>a"));
}
