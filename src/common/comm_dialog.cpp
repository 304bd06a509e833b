#include "common/comm_dialog.h"

#include "common/file_object.h"
#include "common/paths.h"
#include "common/prompts.h"

CommDialog& commDialog() {
    static CommDialog instance;
    return instance;
}

namespace {
// The description already ends with the same patterns ("BMP 圖檔格式 (*.bmp)"): a second
// group would only repeat them.
bool endsWithGroup(const QString& desc, const QString& group) {
    const qsizetype open = desc.lastIndexOf(u'(');
    if (open < 0 || !desc.endsWith(u')')) return false;
    QString own = desc.mid(open);
    own.replace(u';', u' ');
    return own.simplified().remove(QStringLiteral("( ")).remove(QStringLiteral(" )")) == group;
}
}  // namespace

QString toQtFilter(const QString& filter) {
    QStringList parts = filter.split(u'|');
    if (!parts.isEmpty() && parts.last().isEmpty()) parts.removeLast();
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& p : parts[i + 1].split(u';', Qt::SkipEmptyParts))
            if (!p.trimmed().isEmpty()) patterns << p.trimmed();
        if (patterns.isEmpty()) patterns << QStringLiteral("*");
        // Qt takes the last parenthesised group as the patterns, so the description may
        // carry its own "(flv ; mpg ...)".
        const QString desc = parts[i].trimmed();
        const QString group = u'(' + patterns.join(u' ') + u')';
        out << (desc.isEmpty() ? group : endsWithGroup(desc, group) ? desc : desc + u' ' + group);
    }
    return out.join(QStringLiteral(";;"));
}

void CommDialog::setFilter(const QString& filter) {
    filter_ = filter;
    qtFilter_ = toQtFilter(filter);
}

int CommDialog::FilterIndex() {
    if (filterIndex_ == 0) filterIndex_ = 1;
    return filterIndex_;
}

QString CommDialog::startFolder() {
    // Qt's dialogs leave no trace in a process folder, so "the folder the dialogs left
    // current" is the one the last confirmed dialog ended in.
    if (InitDir.isEmpty()) InitDir = lastFolder_.isEmpty() ? currentFolder() : lastFolder_;
    return InitDir;
}

QString CommDialog::runFile(bool save, bool many, bool then_NoUse_InitDir) {
    prompts::FileDialog d;
    d.kind = save ? prompts::FileDialog::Save
                  : (many ? prompts::FileDialog::OpenMany : prompts::FileDialog::Open);
    d.title = DialogTitle;
    d.initialFolder = startFolder();
    d.fileName = FileName;
    d.qtFilter = qtFilter_;
    d.filterIndex = FilterIndex();
    d.defaultExt = DefaultExt;
    d.owner = hwndOwner;
    d.confirmOverwrite = (FlagsSave & kOverwritePrompt) != 0;

    const prompts::FileAnswer a = prompts::current().file(d);
    if (a.paths.isEmpty()) {
        FileName.clear();
        fileTitle_.clear();
        fileExt_.clear();
        if (many) fileArray_.clear();
        return {};
    }
    if (a.filterIndex >= 1) filterIndex_ = a.filterIndex;
    lastFolder_ = addSlash(fso().GetParentFolderName(a.paths.first()));
    if (then_NoUse_InitDir) InitDir.clear();
    if (many) {
        fileArray_ = a.paths;
        FileName.clear();
        fileTitle_.clear();
        fileExt_.clear();
        return QString::number(fileArray_.size());
    }
    FileName = a.paths.first();
    fileTitle_ = fso().GetFileName(FileName);
    fileExt_ = fso().GetExtensionName(FileName).toLower();
    return FileName;
}

QString CommDialog::ShowOpen(bool then_NoUse_InitDir, bool isMultiSelect) {
    return runFile(false, isMultiSelect, then_NoUse_InitDir);
}

QString CommDialog::ShowSave(bool then_NoUse_InitDir) {
    return runFile(true, false, then_NoUse_InitDir);
}

QString CommDialog::ShowDir(bool then_NoUse_InitDir) {
    prompts::FolderDialog d;
    d.title = DialogTitle;
    d.initialFolder = startFolder();
    d.owner = hwndOwner;
    const QString chosen = prompts::current().folder(d);
    if (chosen.isEmpty()) {
        DirName.clear();
        return {};
    }
    DirName = addSlash(chosen);
    lastFolder_ = DirName;
    if (then_NoUse_InitDir) InitDir.clear();
    return DirName;
}
