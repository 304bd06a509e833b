#pragma once
// The panel check: whether the source and target boxes hold paths the panel can run with,
// and the filter of their browse dialogs. Paths without a folder are taken in the program's
// current folder.
#include <QString>

namespace encode {

// The box's text, trimmed, made absolute against the current folder ("" stays "").
QString boxPath(const QString& text);

// The source exists and its extension (any case) is the type; "不限" takes any file with an
// extension; a ".mpeg" file counts as MPG.
bool sourceOk(const QString& text, const QString& type);
// The target's extension is the type (or "不限" and it has one), its name before the
// extension is not empty and its folder, when it names one, exists.
bool targetOk(const QString& text, const QString& type);

// The browse dialogs' filter for a type box's text, in "description|patterns" form:
// "FLV 檔案格式 (*.flv)"; MPG adds "*.mpeg"; "不限" is "不限定檔案格式 (*.*)".
QString typeFilter(const QString& type);
// The extension the save dialog appends when none is typed ("" for "不限").
QString typeDefaultExt(const QString& type);

}  // namespace encode
