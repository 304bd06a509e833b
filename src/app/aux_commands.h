#pragma once
// The small menu commands around the player: help files, the install folder, the file
// manager, the removal notice, web pages and the about box.
#include <QString>
#include <QVector>

class QWidget;

namespace app {

// One configured address per kind.
namespace web {
inline const QString kMakerHome = QStringLiteral("https://lumba.example.org/");
inline const QString kBlog = QStringLiteral("https://blog.lumba.example.org/");
inline const QString kMail = QStringLiteral("lumba@lumba.example.org");
inline const QString kFlvGet = QStringLiteral("https://lumba.example.org/howto/get-flv.htm");
inline const QString kUpdatePath = QStringLiteral("software/detail/Lumba.FLV.htm");
inline const QString kLearnPath = QStringLiteral("software/detail/Lumba.FLV/");

// The maker's other programs: menu caption and page path on the maker's site.
struct FamilyLink {
    QString caption;
    QString path;
};
const QVector<FamilyLink>& familyLinks();
}  // namespace web

// The help documents beside the program, HTML for the desktop's browser.
inline constexpr char kHelpFile[] = "Lumba.FLV.html";
inline constexpr char kCodecHelpFile[] = "Raroz.ODI.html";
// A page that forwards to the codec help's section on installing codecs. xdg-open drops the
// "#install" of a file address outside a full desktop, so the section is a file of its own.
inline constexpr char kCodecInstallPage[] = "Raroz.ODI.install.html";

// Opens ProgramFolder + name through the shell, else "找不到說明檔 <name>！" titled
// "注意事項". True when the file was there.
bool openHelpFile(const QString& name);
// The file of a help document or page: beside the program, else unpacked from the program.
QString helpFilePath(const QString& name);
// Opens ProgramFolder + page when it is there, else the whole document; a missing
// document gives the message of openHelpFile.
bool openHelpSection(const QString& document, const QString& page);
inline bool mnuHelp() { return openHelpFile(QString::fromLatin1(kHelpFile)); }
inline bool munCodec() { return openHelpFile(QString::fromLatin1(kCodecHelpFile)); }

void mnuOpenApp();    // the install folder in the file manager
void mnuExplorer();   // the file open in the player, selected in the file manager
void mnuUninstall();  // informs only; nothing is deleted

// How the program came to its folder, which decides how it is removed.
enum class InstallKind { CopiedFolder, Package };

// The pattern by which dpkg-query -S matches exactly this path and nothing else.
QString dpkgExactPattern(const QString& path);
// Package only when dpkg-query -S succeeded and named a package for this very file.
InstallKind installKindFromDpkg(const QString& file, int exitCode, const QString& output);
// Asks dpkg who owns the player in programFolder; no owner, or no dpkg, is a copied folder.
InstallKind installKind(const QString& programFolder);
// The lines of the removal notice for that kind (CR LF between lines).
QString uninstallText(InstallKind kind);

// The about box's text: version, the program folder (a link that opens it), web and mail.
QString aboutHtml(const QString& version, const QString& programFolder);
QString makerPage(const QString& path);
void mnuUpdate();
void mnuLearn();
void mnuDiscuss();
void mnuDlPlus();  // the codec help's section on installing codecs
void mnuFLVGet();
void openFamilyLink(int index);
void mnuAbout(QWidget* owner);

}  // namespace app
