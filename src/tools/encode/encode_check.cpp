#include "tools/encode/encode_check.h"

#include <QFileInfo>

#include "common/file_filters.h"
#include "common/file_object.h"
#include "common/paths.h"
#include "tools/encode/encode_panel.h"

namespace encode {
namespace {

bool typeMatches(const QString& ext, const QString& type) {
    if (ext.isEmpty()) return false;
    return type == kAnyType || ext.toUpper() == type;
}

}  // namespace

QString boxPath(const QString& text) {
    const QString t = text.trimmed();
    return t.isEmpty() ? QString() : absoluteFromCurrent(t);
}

bool sourceOk(const QString& text, const QString& type) {
    const QString path = boxPath(text);
    // A real file: the path object would also take a wildcard pattern as "existing".
    if (path.isEmpty() || !QFileInfo(path).isFile()) return false;
    const QString ext = fso().GetExtensionName(path);
    return typeMatches(ext, type) ||
           (ext.toUpper() == QLatin1String("MPEG") && type == QLatin1String("MPG"));
}

bool targetOk(const QString& text, const QString& type) {
    const QString t = text.trimmed();
    if (!t.contains(QLatin1Char('.'))) return false;
    const PathParts parts = splitPath(t);
    if (!typeMatches(parts.extension, type) || parts.base.isEmpty()) return false;
    return parts.parent.isEmpty() || fso().FolderExists(parts.parent);
}

QString typeFilter(const QString& type) {
    if (type == kAnyType) return fileFilter(QStringLiteral("不限定檔案格式"), {});
    if (type == QLatin1String("MPG"))
        return fileFilter(type + QStringLiteral(" 檔案格式"),
                          {QStringLiteral("mpg"), QStringLiteral("mpeg")});
    return formatFilter(type.toLower());
}

QString typeDefaultExt(const QString& type) {
    return type == kAnyType ? QString() : QStringLiteral(".") + type.toLower();
}

}  // namespace encode
