#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

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
