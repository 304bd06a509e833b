#include "common/file_filters.h"

QString fileFilter(const QString& description, const QStringList& extensions) {
    QStringList patterns;
    for (const QString& e : extensions)
        if (!e.trimmed().isEmpty()) patterns << QStringLiteral("*.") + e.trimmed();
    if (patterns.isEmpty()) patterns << QStringLiteral("*.*");
    // Qt takes the last parenthesised group as the patterns, so the description may carry
    // its own "(flv ; mpg ...)".
    const QString group = u'(' + patterns.join(u' ') + u')';
    const QString desc = description.trimmed();
    return desc.isEmpty() ? group : desc + u' ' + group;
}

QString formatFilter(const QString& extension) {
    return fileFilter(extension.toUpper() + QStringLiteral(" 檔案格式"), {extension});
}

QString joinFilters(const QStringList& filters) { return filters.join(QStringLiteral(";;")); }

QStringList extensionsOf(const QString& extensionList) {
    return extensionList.split(u';', Qt::SkipEmptyParts);
}
