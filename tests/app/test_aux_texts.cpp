// The texts of the about box and the removal notice, how the answer of the package database
// decides between a copied folder and a package, and the help documents.
#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "app/aux_commands.h"
#include "common/globals.h"
#include "common/scripted_prompts.h"
#include "file_bytes.h"
#include "lists/areas.h"
#include "qstring_print.h"
#include "recording_shell.h"

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

// The help commands open the documents beside the program through the shell, and name the
// document that is missing.
namespace {

class HelpCommands : public ::testing::Test {
  protected:
    HelpCommands() {
        folder = dir.path() + "/";
        ProgramFolder = folder;
        installShell(&desktop);
    }
    ~HelpCommands() override {
        installShell(nullptr);
        ProgramFolder.clear();
    }
    void put(const char* name) { testmedia::writeBytes(folder + name, "<html></html>"); }

    QTemporaryDir dir;
    QString folder;
    ScriptedPrompts prompts;
    RecordingShell desktop;
};

}  // namespace

TEST_F(HelpCommands, OpenTheDocumentsBesideTheProgram) {
    put("Lumba.FLV.html");
    put("Raroz.ODI.html");
    put("Raroz.ODI.install.html");
    EXPECT_TRUE(app::mnuHelp());
    EXPECT_TRUE(app::munCodec());
    app::mnuDlPlus();
    EXPECT_EQ(desktop.opened, QStringList({folder + "Lumba.FLV.html", folder + "Raroz.ODI.html",
                                           folder + "Raroz.ODI.install.html"}));
    EXPECT_TRUE(prompts.shown().empty());
}

TEST_F(HelpCommands, AMissingDocumentIsNamedAndNothingOpens) {
    prompts.answer(prompts::Answer::Ok).answer(prompts::Answer::Ok).answer(prompts::Answer::Ok);
    EXPECT_FALSE(app::mnuHelp());
    EXPECT_EQ(prompts.last().text, "找不到說明檔 Lumba.FLV.html！");
    EXPECT_EQ(prompts.last().title, "注意事項");
    EXPECT_EQ(prompts.last().buttons, prompts::Buttons::Ok);
    EXPECT_FALSE(app::munCodec());
    EXPECT_EQ(prompts.last().text, "找不到說明檔 Raroz.ODI.html！");
    EXPECT_EQ(prompts.last().title, "注意事項");
    // The forwarding page alone is no codec help.
    put("Raroz.ODI.install.html");
    app::mnuDlPlus();
    EXPECT_EQ(prompts.last().text, "找不到說明檔 Raroz.ODI.html！");
    EXPECT_EQ(prompts.shown().size(), 3u);
    EXPECT_TRUE(desktop.opened.isEmpty());
}

TEST_F(HelpCommands, TheCodecPackItemFallsBackToTheWholeCodecHelp) {
    put("Raroz.ODI.html");
    app::mnuDlPlus();
    EXPECT_EQ(desktop.opened, QStringList({folder + "Raroz.ODI.html"}));
    EXPECT_TRUE(prompts.shown().empty());
}

// The documents as built beside the program: every picture and link they name is there, and
// the help names every area of the list window as the window shows it.
namespace {

QString binDir() { return QString::fromLocal8Bit(qgetenv("LUMBA_BIN_DIR")) + "/"; }

QString readDocument(const QString& name) {
    QFile f(binDir() + name);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(f.readAll());
}

// The text as a reader sees it: markup entities back to characters.
QString plainText(QString html) {
    html.replace("&lt;", "<").replace("&gt;", ">").replace("&quot;", "\"").replace("&amp;", "&");
    return html;
}

QStringList attributeValues(const QString& html, const char* attribute) {
    QStringList values;
    const QRegularExpression re(QString::fromLatin1(attribute) + "\\s*=\\s*\"([^\"]*)\"");
    for (auto it = re.globalMatch(html); it.hasNext();) values << it.next().captured(1);
    return values;
}

}  // namespace

TEST(HelpDocuments, ArePlacedBesideTheProgramWithEveryPictureAndAnchorTheyName) {
    const QStringList documents{"Lumba.FLV.html", "Raroz.ODI.html", "Raroz.ODI.install.html"};
    int pictures = 0;
    for (const QString& name : documents) {
        const QString html = readDocument(name);
        ASSERT_FALSE(html.isEmpty()) << "missing beside the program: " << name.toStdString();
        EXPECT_TRUE(html.contains("<meta charset=\"utf-8\">")) << name.toStdString();
        EXPECT_TRUE(html.contains("lang=\"zh-Hant\"")) << name.toStdString();
        for (const QString& src : attributeValues(html, "src")) {
            ++pictures;
            EXPECT_TRUE(QFileInfo(binDir() + src).isFile())
                << name.toStdString() << " shows a missing picture " << src.toStdString();
        }
        for (const QString& href : attributeValues(html, "href")) {
            if (href.contains(":")) continue;  // addresses outside the program folder
            const QString file = href.section('#', 0, 0);
            const QString anchor = href.section('#', 1);
            const QString target = file.isEmpty() ? name : file;
            const QString targetHtml = readDocument(target);
            EXPECT_FALSE(targetHtml.isEmpty())
                << name.toStdString() << " links to a missing " << target.toStdString();
            if (!anchor.isEmpty()) {
                EXPECT_TRUE(targetHtml.contains("id=\"" + anchor + "\""))
                    << name.toStdString() << " links to a missing section " << href.toStdString();
            }
        }
    }
    EXPECT_GE(pictures, 8);
    // The codec pack item lands on the section about installing codecs.
    EXPECT_TRUE(readDocument("Raroz.ODI.install.html").contains("url=Raroz.ODI.html#install"));
}

TEST(HelpDocuments, NameEveryAreaOfTheListWindowAsTheWindowShowsIt) {
    const QString help = plainText(readDocument("Lumba.FLV.html"));
    ASSERT_FALSE(help.isEmpty());
    for (int i = 0; i < lists::kStripTabs; ++i) {
        EXPECT_TRUE(help.contains(lists::tabCaption(i))) << lists::tabCaption(i).toStdString();
        EXPECT_TRUE(help.contains(lists::switchItemCaption(i)))
            << lists::switchItemCaption(i).toStdString();
        for (const QString& page : lists::pageSwitchCaptions(i))
            EXPECT_TRUE(help.contains(page)) << page.toStdString();
    }
    // Each help command's document is one of those shipped.
    EXPECT_FALSE(readDocument(app::kHelpFile).isEmpty());
    EXPECT_FALSE(readDocument(app::kCodecHelpFile).isEmpty());
    EXPECT_FALSE(readDocument(app::kCodecInstallPage).isEmpty());
}
