#pragma once
// saveFile: a copy of a file under a name the user chooses in the save dialog.
#include <QString>

class QWidget;

namespace app {

// The save dialog's filter for a file with this (lower-case) extension: our list file's for
// plt, else the format's ("FLV 檔案格式 (*.flv)").
QString saveFileFilter(const QString& ext);

// Copies source to target without ever leaving a half-written target: the copy goes to a
// temporary name beside it and replaces the target only once complete. Copying a file onto
// itself does nothing and succeeds.
bool copyReplacing(const QString& source, const QString& target);

// The dialog, the copy and the report of a finished save; a failed copy ends silently.
void saveFile(const QString& path, QWidget* owner);

}  // namespace app
