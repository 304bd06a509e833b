#pragma once
// A Prompts implementation for tests: answers come from queues filled in advance, and every
// prompt shown is recorded with what the user would have seen. A prompt with nothing queued
// for its kind is still recorded (answered = false) and gets Cancel, nullopt or an empty path,
// so a test can assert that no unexpected question was asked.
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "common/prompts.h"

class ScriptedPrompts : public prompts::Prompts {
  public:
    enum class Kind { Message, Input, File, Folder };

    struct Shown {
        Kind kind = Kind::Message;
        QString title;  // as shown: message and input boxes carry the default title
        QString text;   // message text or input prompt; empty for file and folder dialogs
        prompts::Buttons buttons = prompts::Buttons::Ok;
        QStringList buttonTexts;  // captions in order, e.g. 是, 否
        prompts::Icon icon = prompts::Icon::None;
        int defaultButton = 0;
        QString defaultText;       // input box
        prompts::FileDialog file;  // file dialog as requested
        QString initialFolder;     // file and folder dialogs
        bool answered = false;     // false: nothing was queued for it
    };

    // Installs itself as prompts::current() unless told not to; the destructor uninstalls it.
    explicit ScriptedPrompts(bool installNow = true);
    ~ScriptedPrompts() override;
    ScriptedPrompts(const ScriptedPrompts&) = delete;
    ScriptedPrompts& operator=(const ScriptedPrompts&) = delete;

    // Answers, consumed in order per kind.
    ScriptedPrompts& answer(prompts::Answer a);
    ScriptedPrompts& typed(const QString& text);  // the next input box gets text
    ScriptedPrompts& cancelInput();
    // The next file dialog returns paths; filterIndex 0 keeps the index the dialog was given.
    ScriptedPrompts& files(const QStringList& paths, int filterIndex = 0);
    ScriptedPrompts& cancelFile();
    ScriptedPrompts& folderChosen(const QString& folder);  // empty: cancelled

    const std::vector<Shown>& shown() const { return shown_; }
    const Shown& last() const;  // the last prompt shown; a blank record when none was
    int count(Kind kind) const;
    QStringList messageTexts() const;  // texts of the message boxes, in order
    int unanswered() const;            // prompts shown with nothing queued
    bool allAnswersUsed() const;
    void clear();  // forgets the record and the queued answers

    // Called for every prompt before it is answered (a test may act "while it is up"), after
    // the prompts::beforeNextPrompt hook has run.
    std::function<void(const Shown&)> onShown;

    prompts::Answer message(const prompts::Message& m) override;
    std::optional<QString> input(const prompts::Input& in) override;
    prompts::FileAnswer file(const prompts::FileDialog& d) override;
    QString folder(const prompts::FolderDialog& d) override;

  private:
    void record(Shown s, bool answered);

    struct FileReply {
        QStringList paths;
        int filterIndex = 0;
    };
    std::deque<prompts::Answer> answers_;
    std::deque<std::optional<QString>> inputs_;
    std::deque<FileReply> files_;
    std::deque<QString> folders_;
    std::vector<Shown> shown_;
    bool installed_ = false;
};
