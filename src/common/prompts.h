#pragma once
// Every message box, input box, file dialog and folder browser goes through Prompts,
// so that tests can answer them and read back what the user would have seen.
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QWidget;

namespace prompts {

enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };
enum class Icon { None, Information, Warning, Critical, Question };
enum class Answer { Ok, Cancel, Yes, No, Retry };

struct Message {
    QString title;  // empty: the program's default title "Lumba.FLV"
    QString text;
    Buttons buttons = Buttons::Ok;
    Icon icon = Icon::None;
    int defaultButton = 0;  // 0 first, 1 second, 2 third
};

struct Input {
    QString prompt;
    QString title;
    QString defaultText;
};

struct FileDialog {
    enum Kind { Open, OpenMany, Save } kind = Open;
    QString title;
    QString initialFolder;
    QString fileName;     // offered name (save) or preselected file
    QString qtFilter;     // Qt form: "desc (*.a *.b);;desc2 (*.*)"
    int filterIndex = 1;  // 1-based
    QString defaultExt;
    QWidget* owner = nullptr;      // nullptr: the owner set with setOwner
    bool confirmOverwrite = true;  // save dialog: ask before replacing a file
};

struct FileAnswer {
    QStringList paths;    // empty: cancelled
    int filterIndex = 1;  // the filter the user had selected, 1-based
};

struct FolderDialog {
    QString title;  // the instruction above the folders; lines separated by CR LF
    QString initialFolder;
    QWidget* owner = nullptr;  // nullptr: the owner set with setOwner
};

class Prompts {
  public:
    virtual ~Prompts() = default;
    virtual Answer message(const Message& m) = 0;
    virtual std::optional<QString> input(const Input& in) = 0;  // nullopt: cancelled
    virtual FileAnswer file(const FileDialog& d) = 0;
    virtual QString folder(const FolderDialog& d) = 0;  // empty: cancelled
};

// The prompts in force: the Qt dialogs unless a test installed its own.
Prompts& current();
// Installs p (not owned); nullptr restores the Qt dialogs.
void install(Prompts* p);
// Parent window of the Qt dialogs (the main window once it exists).
void setOwner(QWidget* owner);

// Runs hook once, just before the next prompt shows; an empty hook drops a pending one.
// Start-up uses it to take the splash away before a box could open underneath it.
void beforeNextPrompt(std::function<void()> hook);
// Every Prompts implementation calls this first, before it shows (or records) anything.
void aboutToShow();

// Installs Qt's Traditional Chinese translation, whatever the system language, so that the
// texts of Qt's own dialogs (file dialogs, folder browser, their questions) match the rest of
// the program. Needs the QApplication; false when the translation is not installed.
bool loadQtTranslation();

// The title a message or input box shows: title, or "Lumba.FLV" when it is empty.
QString effectiveTitle(const QString& title);
// The captions of the buttons, in the order they are shown (確定, 取消, 是, 否, 重試).
QStringList buttonTexts(Buttons buttons);
// The answer each button of buttonTexts(buttons) gives, in the same order.
QList<Answer> buttonAnswers(Buttons buttons);

// Shorthand for the message boxes the program shows.
Answer msgBox(const QString& text, Buttons buttons = Buttons::Ok, const QString& title = {},
              Icon icon = Icon::None, int defaultButton = 0);

}  // namespace prompts
