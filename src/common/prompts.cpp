#include "common/prompts.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTranslator>
#include <QVBoxLayout>
#include <cstdio>
#include <utility>

#include "common/texts.h"

namespace prompts {

namespace {

QPointer<QWidget> g_owner;
// The program window the user worked in last (the player, the list window, the capture
// window); dialogs and transient windows do not count.
QPointer<QWidget> g_lastWorked;
Prompts* g_installed = nullptr;
std::function<void()> g_beforeNext;

// The Qt dialogs need a QApplication; a program or test without one gets a cancel instead
// of a crash, and the text goes to stderr so that it is not lost.
bool haveWidgets(const QString& what) {
    if (qobject_cast<QApplication*>(QCoreApplication::instance())) return true;
    std::fprintf(stderr, "Lumba.FLV: no window system, not shown: %s\n", qPrintable(what));
    return false;
}

QMessageBox::StandardButton standardFor(Answer a) {
    switch (a) {
        case Answer::Ok:
            return QMessageBox::Ok;
        case Answer::Cancel:
            return QMessageBox::Cancel;
        case Answer::Yes:
            return QMessageBox::Yes;
        case Answer::No:
            return QMessageBox::No;
        case Answer::Retry:
            return QMessageBox::Retry;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon qtIcon(Icon icon) {
    switch (icon) {
        case Icon::None:
            return QMessageBox::NoIcon;
        case Icon::Information:
            return QMessageBox::Information;
        case Icon::Warning:
            return QMessageBox::Warning;
        case Icon::Critical:
            return QMessageBox::Critical;
        case Icon::Question:
            return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

// A box belongs over the window the user is working in, so that showing it never raises
// another window above that one (a tool's report over the list window, not the player).
QWidget* messageOwner() {
    if (g_lastWorked && g_lastWorked->isVisible()) return g_lastWorked.data();
    return g_owner.data();
}

QWidget* ownerOr(QWidget* w) { return w ? w : messageOwner(); }

// The instruction as label text: one line per CR LF (a bare CR would show as a box).
QString instructionLines(QString text) {
    text.replace(texts::kCrLf, QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

class QtPrompts final : public Prompts {
  public:
    Answer message(const Message& m) override {
        aboutToShow();
        if (!haveWidgets(m.text)) return Answer::Cancel;
        QMessageBox box(qtIcon(m.icon), effectiveTitle(m.title), m.text, QMessageBox::NoButton,
                        messageOwner());
        const QStringList texts = buttonTexts(m.buttons);
        const QList<Answer> answers = buttonAnswers(m.buttons);
        QList<QAbstractButton*> made;
        for (int i = 0; i < answers.size(); ++i) {
            QPushButton* b = box.addButton(standardFor(answers[i]));
            // The messages name these captions, so they must not follow the system language.
            b->setText(texts[i]);
            made.append(b);
        }
        if (m.defaultButton >= 0 && m.defaultButton < made.size())
            box.setDefaultButton(static_cast<QPushButton*>(made[m.defaultButton]));
        box.exec();
        const int i = made.indexOf(box.clickedButton());
        if (i < 0) {
            // Closed by Escape or the close box: the cancelling answer if there is one.
            if (answers.contains(Answer::Cancel)) return Answer::Cancel;
            if (answers.contains(Answer::No)) return Answer::No;
            return answers.value(0, Answer::Ok);
        }
        return answers[i];
    }

    std::optional<QString> input(const Input& in) override {
        aboutToShow();
        if (!haveWidgets(in.prompt)) return std::nullopt;
        QInputDialog dlg(messageOwner());
        dlg.setWindowTitle(effectiveTitle(in.title));
        dlg.setLabelText(in.prompt);
        dlg.setTextValue(in.defaultText);
        dlg.setOkButtonText(QStringLiteral("確定"));
        dlg.setCancelButtonText(QStringLiteral("取消"));
        if (dlg.exec() != QDialog::Accepted) return std::nullopt;
        return dlg.textValue();
    }

    FileAnswer file(const FileDialog& d) override {
        FileAnswer answer;
        answer.filterIndex = d.filterIndex;
        aboutToShow();
        if (!haveWidgets(d.title)) return answer;
        QFileDialog dlg(ownerOr(d.owner), d.title, d.initialFolder, d.qtFilter);
        // Qt's own dialog, so that it speaks the program's language (loadQtTranslation).
        dlg.setOption(QFileDialog::DontUseNativeDialog);
        switch (d.kind) {
            case FileDialog::Open:
                dlg.setFileMode(QFileDialog::ExistingFile);
                break;
            case FileDialog::OpenMany:
                dlg.setFileMode(QFileDialog::ExistingFiles);
                break;
            case FileDialog::Save:
                dlg.setFileMode(QFileDialog::AnyFile);
                dlg.setAcceptMode(QFileDialog::AcceptSave);
                if (!d.confirmOverwrite) dlg.setOption(QFileDialog::DontConfirmOverwrite);
                break;
        }
        if (!d.defaultExt.isEmpty()) dlg.setDefaultSuffix(d.defaultExt);
        const QStringList filters = dlg.nameFilters();
        if (d.filterIndex >= 1 && d.filterIndex <= filters.size())
            dlg.selectNameFilter(filters[d.filterIndex - 1]);
        if (!d.fileName.isEmpty()) dlg.selectFile(d.fileName);
        if (dlg.exec() != QDialog::Accepted) return answer;
        answer.paths = dlg.selectedFiles();
        const int chosen = filters.indexOf(dlg.selectedNameFilter());
        if (chosen >= 0) answer.filterIndex = chosen + 1;
        return answer;
    }

    // A folder browser with its instruction above the folders: the instruction runs to
    // several lines, which a window title cannot show.
    QString folder(const FolderDialog& d) override {
        aboutToShow();
        if (!haveWidgets(d.title)) return {};
        QDialog dlg(ownerOr(d.owner));
        dlg.setWindowTitle(QStringLiteral("瀏覽資料夾"));
        auto* layout = new QVBoxLayout(&dlg);
        if (!d.title.isEmpty()) {
            auto* label = new QLabel(instructionLines(d.title), &dlg);
            label->setObjectName(QStringLiteral("folderInstruction"));
            label->setTextFormat(Qt::PlainText);
            layout->addWidget(label);
        }
        auto* browser = new QFileDialog(&dlg, QString(), d.initialFolder);
        // Only Qt's own dialog can sit inside another window.
        browser->setOption(QFileDialog::DontUseNativeDialog);
        browser->setWindowFlags(Qt::Widget);
        browser->setFileMode(QFileDialog::Directory);
        browser->setOption(QFileDialog::ShowDirsOnly);
        layout->addWidget(browser);
        QObject::connect(browser, &QDialog::finished, &dlg, &QDialog::done);
        if (dlg.exec() != QDialog::Accepted) return {};
        return browser->selectedFiles().value(0);
    }
};

}  // namespace

Prompts& current() {
    static QtPrompts qt;
    return g_installed ? *g_installed : qt;
}

void install(Prompts* p) { g_installed = p; }

void setOwner(QWidget* owner) {
    g_owner = owner;
    static bool following = false;
    if (following || !qobject_cast<QApplication*>(QCoreApplication::instance())) return;
    following = true;
    QObject::connect(qApp, &QApplication::focusChanged, qApp, [](QWidget*, QWidget* now) {
        QWidget* w = now ? now->window() : nullptr;
        if (w && w->windowType() == Qt::Window) g_lastWorked = w;
    });
}

void beforeNextPrompt(std::function<void()> hook) { g_beforeNext = std::move(hook); }

void aboutToShow() {
    // Taken out first: the hook may itself lead to a prompt.
    if (std::function<void()> hook = std::exchange(g_beforeNext, nullptr)) hook();
}

bool loadQtTranslation() {
    static QPointer<QTranslator> loaded;
    if (loaded) return true;
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(QStringLiteral("qtbase_zh_TW"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    loaded = translator;
    return true;
}

QString effectiveTitle(const QString& title) {
    return title.isEmpty() ? texts::kProgramTitle : title;
}

QList<Answer> buttonAnswers(Buttons buttons) {
    switch (buttons) {
        case Buttons::Ok:
            return {Answer::Ok};
        case Buttons::OkCancel:
            return {Answer::Ok, Answer::Cancel};
        case Buttons::YesNo:
            return {Answer::Yes, Answer::No};
        case Buttons::YesNoCancel:
            return {Answer::Yes, Answer::No, Answer::Cancel};
        case Buttons::RetryCancel:
            return {Answer::Retry, Answer::Cancel};
    }
    return {Answer::Ok};
}

QStringList buttonTexts(Buttons buttons) {
    QStringList texts;
    for (Answer a : buttonAnswers(buttons)) {
        switch (a) {
            case Answer::Ok:
                texts << QStringLiteral("確定");
                break;
            case Answer::Cancel:
                texts << QStringLiteral("取消");
                break;
            case Answer::Yes:
                texts << QStringLiteral("是");
                break;
            case Answer::No:
                texts << QStringLiteral("否");
                break;
            case Answer::Retry:
                texts << QStringLiteral("重試");
                break;
        }
    }
    return texts;
}

Answer msgBox(const QString& text, Buttons buttons, const QString& title, Icon icon,
              int defaultButton) {
    Message m;
    m.title = title;
    m.text = text;
    m.buttons = buttons;
    m.icon = icon;
    m.defaultButton = defaultButton;
    return current().message(m);
}

}  // namespace prompts
