#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <clocale>

#include "common/prompts.h"
#include "qstring_print.h"
#include "qt_app.h"

namespace {

QApplication& ensureApp() { return testmedia::qtApp(); }

// Runs inspect on the modal dialog once it is up (the dialogs block in exec()).
void whenShown(std::function<void(QWidget*)> inspect) {
    QTimer::singleShot(0, [inspect] {
        QWidget* w = QApplication::activeModalWidget();
        ASSERT_NE(w, nullptr);
        inspect(w);
    });
}

QStringList captions(QWidget* w) {
    QStringList texts;
    for (QAbstractButton* b : w->findChildren<QPushButton*>()) texts << b->text();
    texts.sort();
    return texts;
}

bool hasChinese(const QString& text) {
    for (const QChar c : text)
        if (c.unicode() >= 0x4E00 && c.unicode() <= 0x9FFF) return true;
    return false;
}

// What a file dialog shows in words: its buttons and the labels beside its fields.
struct DialogWords {
    QString accept, cancel, lookIn, fileName, fileType;
};

DialogWords wordsOf(QFileDialog* dlg) {
    DialogWords words;
    auto* box = dlg->findChild<QDialogButtonBox*>();
    if (box) {
        for (QAbstractButton* b : box->buttons()) {
            if (box->buttonRole(b) == QDialogButtonBox::AcceptRole)
                words.accept = b->text();
            else if (box->buttonRole(b) == QDialogButtonBox::RejectRole)
                words.cancel = b->text();
        }
    }
    auto label = [dlg](const char* name) {
        const QLabel* l = dlg->findChild<QLabel*>(QString::fromLatin1(name));
        return l ? l->text() : QString();
    };
    words.lookIn = label("lookInLabel");
    words.fileName = label("fileNameLabel");
    words.fileType = label("fileTypeLabel");
    return words;
}

}  // namespace

TEST(QtPrompts, MessageButtonsAreChineseWhateverTheLanguage) {
    ensureApp();
    QStringList seen;
    QString title;
    whenShown([&](QWidget* w) {
        seen = captions(w);
        title = w->windowTitle();
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->defaultButton()->text(), "否");
        for (QAbstractButton* b : box->buttons())
            if (b->text() == "否") b->click();
    });
    EXPECT_EQ(prompts::msgBox("要儲存設定嗎？", prompts::Buttons::YesNoCancel, {},
                              prompts::Icon::Question, 1),
              prompts::Answer::No);
    QStringList expected{"是", "否", "取消"};
    expected.sort();
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(title, "Lumba.FLV");
}

TEST(QtPrompts, EscapeGivesTheCancellingAnswer) {
    ensureApp();
    whenShown([](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); });
    EXPECT_EQ(prompts::msgBox("x", prompts::Buttons::OkCancel, "注意事項"),
              prompts::Answer::Cancel);
}

TEST(QtPrompts, InputBoxHasChineseButtonsAndReturnsTheText) {
    ensureApp();
    QStringList seen;
    whenShown([&](QWidget* w) {
        seen = captions(w);
        auto* dlg = qobject_cast<QInputDialog*>(w);
        ASSERT_NE(dlg, nullptr);
        EXPECT_EQ(dlg->textValue(), "預設");
        dlg->setTextValue("新的");
        dlg->accept();
    });
    EXPECT_EQ(prompts::current().input({"請輸入", "", "預設"}), std::optional<QString>("新的"));
    QStringList expected{"確定", "取消"};
    expected.sort();
    EXPECT_EQ(seen, expected);
}

TEST(QtPrompts, QtsOwnDialogsSpeakChineseUnderTheCLocale) {
    ensureApp();
    ASSERT_NE(std::setlocale(LC_ALL, "C"), nullptr);
    std::setlocale(LC_NUMERIC, "C");
    QLocale::setDefault(QLocale::c());
    const QString qm =
        QLibraryInfo::path(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_zh_TW.qm");
    if (!QFile::exists(qm))
        GTEST_SKIP() << "Qt's Traditional Chinese translation is missing: " << qm.toStdString();
    ASSERT_TRUE(prompts::loadQtTranslation());
    EXPECT_TRUE(prompts::loadQtTranslation());  // a second call changes nothing

    QTemporaryDir dir;
    const QString existing = dir.path() + QStringLiteral("/a.flv");
    {
        QFile f(existing);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }

    DialogWords open;
    whenShown([&](QWidget* w) {
        auto* dlg = qobject_cast<QFileDialog*>(w);
        ASSERT_NE(dlg, nullptr);
        open = wordsOf(dlg);
        dlg->reject();
    });
    prompts::FileDialog d;
    d.initialFolder = dir.path();
    d.qtFilter = QStringLiteral("FLV (*.flv)");
    EXPECT_TRUE(prompts::current().file(d).paths.isEmpty());
    EXPECT_TRUE(hasChinese(open.accept)) << open.accept.toStdString();
    EXPECT_TRUE(hasChinese(open.cancel)) << open.cancel.toStdString();
    EXPECT_TRUE(hasChinese(open.lookIn)) << open.lookIn.toStdString();
    EXPECT_TRUE(hasChinese(open.fileName)) << open.fileName.toStdString();
    EXPECT_TRUE(hasChinese(open.fileType)) << open.fileType.toStdString();

    // Saving over a file: the question about replacing it is Chinese as well.
    DialogWords save;
    QString question;
    whenShown([&](QWidget* w) {
        auto* dlg = qobject_cast<QFileDialog*>(w);
        ASSERT_NE(dlg, nullptr);
        save = wordsOf(dlg);
        dlg->selectFile(existing);
        QTimer::singleShot(0, [&question] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            question = box->text();
            box->button(QMessageBox::No)->click();
        });
        static_cast<QDialog*>(dlg)->accept();  // asks, is told no, and stays up
        dlg->reject();
    });
    d.kind = prompts::FileDialog::Save;
    EXPECT_TRUE(prompts::current().file(d).paths.isEmpty());
    EXPECT_TRUE(hasChinese(save.accept)) << save.accept.toStdString();
    EXPECT_NE(save.accept, open.accept);
    EXPECT_TRUE(hasChinese(question)) << question.toStdString();
    EXPECT_FALSE(question.contains(QStringLiteral("already exists"))) << question.toStdString();
}

TEST(QtPrompts, TheFolderBrowserShowsItsInstructionAboveTheFolders) {
    ensureApp();
    QTemporaryDir dir;
    prompts::FolderDialog d;
    d.title = QStringLiteral("分割出的檔案將以「split_編號.flv」儲存\r\n請選擇資料夾\r\n或按取消");
    d.initialFolder = dir.path();

    QString title, lines;
    bool above = false, foldersShown = false;
    whenShown([&](QWidget* w) {
        title = w->windowTitle();
        auto* browser = w->findChild<QFileDialog*>();
        ASSERT_NE(browser, nullptr);
        foldersShown = browser->isVisible();
        for (const QLabel* l : w->findChildren<QLabel*>()) {
            if (l->text().startsWith(QStringLiteral("分割出的檔案"))) {
                lines = l->text();
                above = l->isVisible() &&
                        l->mapTo(w, QPoint(0, l->height())).y() <= browser->mapTo(w, QPoint()).y();
            }
        }
        qobject_cast<QDialog*>(w)->reject();
    });
    EXPECT_EQ(prompts::current().folder(d), QString());
    EXPECT_EQ(lines.split(QLatin1Char('\n')),
              QStringList({"分割出的檔案將以「split_編號.flv」儲存", "請選擇資料夾", "或按取消"}));
    EXPECT_TRUE(above);
    EXPECT_TRUE(foldersShown);
    EXPECT_FALSE(title.isEmpty());
    EXPECT_FALSE(title.contains(QLatin1Char('\n')) || title.contains(QLatin1Char('\r')))
        << title.toStdString();

    // Choosing in the browser answers for the whole window.
    whenShown([](QWidget* w) {
        auto* browser = w->findChild<QFileDialog*>();
        ASSERT_NE(browser, nullptr);
        static_cast<QDialog*>(browser)->accept();
    });
    EXPECT_EQ(QDir(prompts::current().folder(d)), QDir(dir.path()));
}

// A box opens over the program window the user worked in last, not always over the player,
// so a tool's question never pulls the player above the list window.
TEST(QtPrompts, ABoxBelongsToTheWindowTheUserWorksIn) {
    ensureApp();
    QWidget player, list;
    QLineEdit* field = new QLineEdit(&list);
    prompts::setOwner(&player);
    player.show();
    list.show();
    QApplication::setActiveWindow(&list);
    field->setFocus();
    QApplication::processEvents();
    QWidget* parent = nullptr;
    whenShown([&parent](QWidget* box) {
        parent = box->parentWidget();
        box->close();
    });
    prompts::msgBox(QStringLiteral("問題"), prompts::Buttons::Ok);
    EXPECT_EQ(parent, &list);

    list.hide();  // a hidden window cannot hold a box: the player takes it
    whenShown([&parent](QWidget* box) {
        parent = box->parentWidget();
        box->close();
    });
    prompts::msgBox(QStringLiteral("問題"), prompts::Buttons::Ok);
    EXPECT_EQ(parent, &player);
    prompts::setOwner(nullptr);
}
