#include "app/aux_commands.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QProcess>
#include <QVBoxLayout>

#include "common/globals.h"
#include "common/host.h"
#include "common/prompts.h"
#include "common/shell.h"
#include "common/texts.h"

namespace app {

namespace web {
const QVector<FamilyLink>& familyLinks() {
    static const QVector<FamilyLink> links{
        {QStringLiteral("Raroz.ODI"), QStringLiteral("software/detail/Raroz.ODI.htm")},
    };
    return links;
}
}  // namespace web

using texts::kCrLf;

namespace {

// Writes the help built into the program to the private temporary folder, once per run, and
// gives that folder ("" when the program carries none or it cannot be written).
QString unpackedHelpFolder() {
    static QString unpacked;
    if (!unpacked.isEmpty() && QFile::exists(unpacked)) return unpacked;
    if (!QFile::exists(QStringLiteral(":/help")) || TempFolder.isEmpty()) return {};
    const QString folder = TempFolder + QStringLiteral("help/");
    QDirIterator it(QStringLiteral(":/help"), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString from = it.next();
        const QString to = folder + from.mid(QStringLiteral(":/help/").size());
        QDir().mkpath(QFileInfo(to).path());
        QFile::remove(to);
        if (!QFile::copy(from, to)) return {};
        QFile::setPermissions(to, QFile::ReadOwner | QFile::WriteOwner);
    }
    unpacked = folder;
    return unpacked;
}

}  // namespace

QString helpFilePath(const QString& name) {
    // Beside the program as installed; else the copy it carries (programs copied alone).
    if (QFile::exists(ProgramFolder + name)) return ProgramFolder + name;
    const QString folder = unpackedHelpFolder();
    return !folder.isEmpty() && QFile::exists(folder + name) ? folder + name : QString();
}

bool openHelpFile(const QString& name) {
    const QString path = helpFilePath(name);
    if (path.isEmpty()) {
        prompts::msgBox(QStringLiteral("找不到說明檔 ") + name + QStringLiteral("！"),
                        prompts::Buttons::Ok, texts::kNoticeTitle);
        return false;
    }
    shellOpen(path);
    return true;
}

bool openHelpSection(const QString& document, const QString& page) {
    const QString pagePath = helpFilePath(page);
    if (helpFilePath(document).isEmpty() || pagePath.isEmpty()) return openHelpFile(document);
    shellOpen(pagePath);
    return true;
}

void mnuOpenApp() { shellOpen(ProgramFolder); }

void mnuExplorer() {
    const QString file = appHost().playingFile();
    if (!file.isEmpty()) exploreSelect(file);
}

QString dpkgExactPattern(const QString& path) {
    // dpkg takes *, ? and [ as wildcards and \ as their escape; a copied folder may hold them.
    QString pattern;
    pattern.reserve(path.size() + 4);
    for (const QChar c : path) {
        if (c == u'*' || c == u'?' || c == u'[' || c == u']' || c == u'\\') pattern += u'\\';
        pattern += c;
    }
    return pattern;
}

InstallKind installKindFromDpkg(const QString& file, int exitCode, const QString& output) {
    if (exitCode != 0 || file.isEmpty()) return InstallKind::CopiedFolder;
    const QString tail = QStringLiteral(": ") + file;
    for (const QString& line : output.split(u'\n', Qt::SkipEmptyParts)) {
        const QString trimmed = line.trimmed();
        if (!trimmed.endsWith(tail)) continue;
        const QString owners = trimmed.left(trimmed.size() - tail.size()).trimmed();
        // "diversion by P from: FILE" names a diverting package, not the owner.
        if (owners.isEmpty() || owners.startsWith(QStringLiteral("diversion by "))) continue;
        return InstallKind::Package;
    }
    return InstallKind::CopiedFolder;
}

InstallKind installKind(const QString& programFolder) {
    // The package database, not a marker file beside the program: a copy of a packaged
    // folder carries every file along and is still removed by deleting it.
    const QString folder = QDir(programFolder).canonicalPath();
    if (folder.isEmpty()) return InstallKind::CopiedFolder;
    const QString file = folder + QStringLiteral("/Lumba.FLV");
    QProcess query;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    query.setProcessEnvironment(env);
    query.setStandardInputFile(QProcess::nullDevice());
    query.start(QStringLiteral("dpkg-query"), {QStringLiteral("-S"), dpkgExactPattern(file)});
    if (!query.waitForStarted(3000)) return InstallKind::CopiedFolder;
    if (!query.waitForFinished(5000)) {
        query.kill();
        query.waitForFinished(1000);
        return InstallKind::CopiedFolder;
    }
    if (query.exitStatus() != QProcess::NormalExit) return InstallKind::CopiedFolder;
    return installKindFromDpkg(file, query.exitCode(),
                               QString::fromUtf8(query.readAllStandardOutput()));
}

QString uninstallText(InstallKind kind) {
    switch (kind) {
        case InstallKind::Package:
            return QStringLiteral("本軟體是以套件方式安裝的") + kCrLf +
                   QStringLiteral("如果想移除本軟體，請使用套件管理程式") + kCrLf +
                   QStringLiteral("例如：sudo apt remove lumba-flv");
        case InstallKind::CopiedFolder:
            break;
    }
    return QStringLiteral("本軟體乃是綠色軟體，與免費軟體") + kCrLf +
           QStringLiteral("如果想移除本軟體，只要將安裝的") + kCrLf +
           QStringLiteral("目錄與目錄下的檔案全部刪除即可") + kCrLf + kCrLf +
           QStringLiteral("你可以使用「開啟安裝目錄」選項");
}

void mnuUninstall() {
    prompts::msgBox(uninstallText(installKind(ProgramFolder)), prompts::Buttons::Ok,
                    texts::kNoticeTitle, prompts::Icon::Information);
}

QString makerPage(const QString& path) { return web::kMakerHome + path; }

void mnuUpdate() { shellOpen(makerPage(web::kUpdatePath)); }
void mnuLearn() { shellOpen(makerPage(web::kLearnPath)); }
void mnuDiscuss() { shellOpen(web::kBlog); }
// A Windows codec pack means nothing here: the item keeps its caption and tells what to
// install instead.
void mnuDlPlus() {
    openHelpSection(QString::fromLatin1(kCodecHelpFile), QString::fromLatin1(kCodecInstallPage));
}
void mnuFLVGet() { shellOpen(web::kFlvGet); }

void openFamilyLink(int index) {
    const auto& links = web::familyLinks();
    if (index >= 0 && index < links.size()) shellOpen(makerPage(links[index].path));
}

QString aboutHtml(const QString& version, const QString& programFolder) {
    // The folder is whatever the user named it: it must not be taken for markup.
    const QString folder = programFolder.toHtmlEscaped();
    return QStringLiteral(
               "<h3>Lumba.FLV %1</h3>"
               "<p>FLV 播放與無損編輯軟體</p>"
               "<p>本軟體乃是綠色軟體，與免費軟體</p>"
               "<p>安裝目錄：<a href=\"%2\">%2</a></p>"
               "<p><a href=\"%3\">%3</a><br><a href=\"mailto:%4\">%4</a></p>")
        .arg(version.toHtmlEscaped(), folder, web::kMakerHome.toHtmlEscaped(),
             web::kMail.toHtmlEscaped());
}

void mnuAbout(QWidget* owner) {
    QDialog box(owner);
    box.setObjectName(QStringLiteral("frmAbout"));
    box.setWindowTitle(QStringLiteral("關於本軟體"));
    auto* layout = new QVBoxLayout(&box);
    auto* text = new QLabel(&box);
    text->setTextFormat(Qt::RichText);
    text->setOpenExternalLinks(false);
    text->setText(aboutHtml(QCoreApplication::applicationVersion(), ProgramFolder));
    QObject::connect(text, &QLabel::linkActivated, &box,
                     [](const QString& link) { shellOpen(link); });
    layout->addWidget(text);
    auto* buttons = new QDialogButtonBox(&box);
    buttons->addButton(QStringLiteral("確定"), QDialogButtonBox::AcceptRole);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &box, &QDialog::accept);
    layout->addWidget(buttons);
    box.exec();
}

}  // namespace app
