#include "app/aux_commands.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
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

bool openHelpFile(const QString& name) {
    const QString path = ProgramFolder + name;
    if (!QFile::exists(path)) {
        prompts::msgBox(QStringLiteral("找不到說明檔 ") + name + QStringLiteral("！"),
                        prompts::Buttons::Ok, texts::kNoticeTitle);
        return false;
    }
    shellOpen(path);
    return true;
}

void mnuOpenApp() { shellOpen(ProgramFolder); }

void mnuExplorer() {
    const QString file = appHost().playingFile();
    if (!file.isEmpty()) exploreSelect(file);
}

void mnuUninstall() {
    prompts::msgBox(QStringLiteral("本軟體乃是綠色軟體，與免費軟體") + kCrLf +
                        QStringLiteral("如果想移除本軟體，只要將安裝的") + kCrLf +
                        QStringLiteral("目錄與目錄下的檔案全部刪除即可") + kCrLf + kCrLf +
                        QStringLiteral("你可以使用「開啟安裝目錄」選項"),
                    prompts::Buttons::Ok, texts::kNoticeTitle, prompts::Icon::Information);
}

QString makerPage(const QString& path) { return web::kMakerHome + path; }

void mnuUpdate() { shellOpen(makerPage(web::kUpdatePath)); }
void mnuLearn() { shellOpen(makerPage(web::kLearnPath)); }
void mnuDiscuss() { shellOpen(web::kBlog); }
void mnuDlPlus() { shellOpen(web::kCodecPack); }
void mnuFLVGet() { shellOpen(web::kFlvGet); }

void openFamilyLink(int index) {
    const auto& links = web::familyLinks();
    if (index >= 0 && index < links.size()) shellOpen(makerPage(links[index].path));
}

void mnuAbout(QWidget* owner) {
    QDialog box(owner);
    box.setObjectName(QStringLiteral("frmAbout"));
    box.setWindowTitle(QStringLiteral("關於本軟體"));
    auto* layout = new QVBoxLayout(&box);
    auto* text = new QLabel(&box);
    text->setTextFormat(Qt::RichText);
    text->setOpenExternalLinks(false);
    text->setText(QStringLiteral("<h3>Lumba.FLV %1</h3>"
                                 "<p>FLV 播放與無損編輯軟體</p>"
                                 "<p>本軟體乃是綠色軟體，與免費軟體</p>"
                                 "<p><a href=\"%2\">%2</a><br><a href=\"mailto:%3\">%3</a></p>")
                      .arg(QCoreApplication::applicationVersion(), web::kMakerHome, web::kMail));
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
