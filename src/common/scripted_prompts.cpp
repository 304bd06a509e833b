#include "common/scripted_prompts.h"

using prompts::Answer;

ScriptedPrompts::ScriptedPrompts(bool installNow) {
    if (installNow) {
        prompts::install(this);
        installed_ = true;
    }
}

ScriptedPrompts::~ScriptedPrompts() {
    if (installed_ && &prompts::current() == this) prompts::install(nullptr);
}

ScriptedPrompts& ScriptedPrompts::answer(Answer a) {
    answers_.push_back(a);
    return *this;
}

ScriptedPrompts& ScriptedPrompts::typed(const QString& text) {
    inputs_.push_back(text);
    return *this;
}

ScriptedPrompts& ScriptedPrompts::cancelInput() {
    inputs_.push_back(std::nullopt);
    return *this;
}

ScriptedPrompts& ScriptedPrompts::files(const QStringList& paths, int filterIndex) {
    files_.push_back({paths, filterIndex});
    return *this;
}

ScriptedPrompts& ScriptedPrompts::cancelFile() { return files({}); }

ScriptedPrompts& ScriptedPrompts::folderChosen(const QString& folder) {
    folders_.push_back(folder);
    return *this;
}

const ScriptedPrompts::Shown& ScriptedPrompts::last() const {
    static const Shown none;
    return shown_.empty() ? none : shown_.back();
}

int ScriptedPrompts::count(Kind kind) const {
    int n = 0;
    for (const Shown& s : shown_) n += s.kind == kind;
    return n;
}

QStringList ScriptedPrompts::messageTexts() const {
    QStringList texts;
    for (const Shown& s : shown_)
        if (s.kind == Kind::Message) texts << s.text;
    return texts;
}

int ScriptedPrompts::unanswered() const {
    int n = 0;
    for (const Shown& s : shown_) n += !s.answered;
    return n;
}

bool ScriptedPrompts::allAnswersUsed() const {
    return answers_.empty() && inputs_.empty() && files_.empty() && folders_.empty();
}

void ScriptedPrompts::clear() {
    answers_.clear();
    inputs_.clear();
    files_.clear();
    folders_.clear();
    shown_.clear();
}

void ScriptedPrompts::record(Shown s, bool answered) {
    // As the Qt dialogs do: whatever must go before a prompt goes before the test sees it.
    prompts::aboutToShow();
    s.answered = answered;
    shown_.push_back(std::move(s));
    // Copy for the hook: it may show further prompts and so grow shown_.
    if (onShown) {
        const Shown copy = shown_.back();
        onShown(copy);
    }
}

Answer ScriptedPrompts::message(const prompts::Message& m) {
    Shown s;
    s.kind = Kind::Message;
    s.title = prompts::effectiveTitle(m.title);
    s.text = m.text;
    s.buttons = m.buttons;
    s.buttonTexts = prompts::buttonTexts(m.buttons);
    s.icon = m.icon;
    s.defaultButton = m.defaultButton;
    const bool have = !answers_.empty();
    Answer a = Answer::Cancel;
    if (have) {
        a = answers_.front();
        answers_.pop_front();
    }
    record(std::move(s), have);
    return a;
}

std::optional<QString> ScriptedPrompts::input(const prompts::Input& in) {
    Shown s;
    s.kind = Kind::Input;
    s.title = prompts::effectiveTitle(in.title);
    s.text = in.prompt;
    s.buttons = prompts::Buttons::OkCancel;
    s.buttonTexts = prompts::buttonTexts(s.buttons);
    s.defaultText = in.defaultText;
    const bool have = !inputs_.empty();
    std::optional<QString> reply;
    if (have) {
        reply = inputs_.front();
        inputs_.pop_front();
    }
    record(std::move(s), have);
    return reply;
}

prompts::FileAnswer ScriptedPrompts::file(const prompts::FileDialog& d) {
    Shown s;
    s.kind = Kind::File;
    s.title = d.title;
    s.file = d;
    s.initialFolder = d.initialFolder;
    prompts::FileAnswer reply;
    reply.filterIndex = d.filterIndex;
    const bool have = !files_.empty();
    if (have) {
        reply.paths = files_.front().paths;
        if (files_.front().filterIndex > 0) reply.filterIndex = files_.front().filterIndex;
        files_.pop_front();
    }
    record(std::move(s), have);
    return reply;
}

QString ScriptedPrompts::folder(const prompts::FolderDialog& d) {
    Shown s;
    s.kind = Kind::Folder;
    s.title = d.title;
    s.initialFolder = d.initialFolder;
    const bool have = !folders_.empty();
    QString reply;
    if (have) {
        reply = folders_.front();
        folders_.pop_front();
    }
    record(std::move(s), have);
    return reply;
}
