#include "app/command_line.h"

#include <QDir>
#include <QFileInfo>

#include "common/media_kinds.h"
#include "items/item_text.h"

namespace app {

namespace {

struct Resolved {
    QString text;
    bool exists = false;
};

Resolved resolve(const QString& text, const QString& workingFolder) {
    if (text.isEmpty() || isUrl(text)) return {text, false};
    const QDir folder(workingFolder);
    // Quotes are legal in names: the text as given first, then without its quotes.
    for (const QString& candidate : {text, items::withoutQuotes(text)}) {
        const QString whole = folder.absoluteFilePath(candidate);
        if (QFileInfo::exists(whole)) return {QDir::cleanPath(whole), true};
        const items::ItemParts parts = items::splitItemText(candidate);
        const QString path = folder.absoluteFilePath(parts.path);
        if (!parts.marks.isEmpty() && QFileInfo::exists(path))
            return {items::joinItemText(QDir::cleanPath(path), parts.marks), true};
    }
    return {text, false};
}

}  // namespace

QStringList commandPaths(const QStringList& arguments, const QString& workingFolder) {
    if (arguments.isEmpty()) return {};
    const Resolved whole = resolve(arguments.join(QLatin1Char(' ')), workingFolder);
    if (arguments.size() == 1 || whole.exists) return {whole.text};
    QStringList paths;
    for (const QString& argument : arguments)
        if (!argument.isEmpty()) paths << resolve(argument, workingFolder).text;
    return paths;
}

}  // namespace app
