#pragma once
// The file browser without its widgets: the drives, the folders shown around the current
// folder, the files of a folder in the order the file list shows them, and the model of the
// three linked boxes (drive, folder, file list with its selected file).
#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

namespace lists {

// Every file of a folder (not folders, not hidden files), sorted by name ignoring case.
QStringList folderFiles(const QString& folder);

// "/" first, then the mounted volumes that can be written (read-only and pseudo file systems
// left out), then the home folder; no folder twice.
QStringList driveRoots();
// The root among drives that holds folder (the longest one that contains it); "/" for an
// absolute path that no other root holds.
QString driveOf(const QString& folder, const QStringList& drives);

// One line of the folder box: the folders from "/" down to the current one, then the current
// folder's sub-folders one level deeper.
struct FolderEntry {
    QString path;  // absolute, without a trailing "/" (except "/")
    QString name;  // what the line shows
    int depth = 0;
    bool current = false;
};
std::vector<FolderEntry> folderBoxEntries(const QString& folder);

// A folder path in the form the browser keeps: absolute, cleaned, no trailing "/" except "/".
QString browserFolderForm(const QString& folder);

// "你想要瀏覽的目錄已經不存在！" CR LF CR LF folder
QString vanishedFolderText(const QString& folder);

// What a click in the folder box did.
enum class FolderClick {
    Entered,  // the browser shows that folder now
    Ignored,  // a right-button click, or a folder that cannot be read: nothing changes
    Vanished  // the folder is gone: the browser fell back to its drive (or the home folder)
};

class FileBrowserModel {
  public:
    explicit FileBrowserModel(QStringList drives = driveRoots()) : drives_(std::move(drives)) {}

    const QStringList& drives() const { return drives_; }
    QString drive() const { return drive_; }
    QString folder() const { return folder_; }
    const QStringList& files() const { return files_; }
    int fileCount() const { return int(files_.size()); }
    int selected() const { return selected_; }  // -1: none

    // Dir1 changed: the file list shows that folder's files, the first one selected. A folder
    // that cannot be listed leaves everything as it was (false).
    bool setFolder(const QString& folder);
    // Drv1 changed: the folder becomes the drive's root. A drive that cannot be read leaves
    // everything as it was (false).
    bool setDrive(const QString& root);
    // The same folder read again (new files of a tool show up); the selected name stays
    // selected while it is there.
    void refresh();
    // Out-of-range indexes select nothing.
    void select(int index);

    // getFnFn: the folder with "/" and the file name; index -1 is the selected file. "" when
    // there is no such file.
    QString filePath(int index = -1) const;
    // The first file whose name equals name ignoring case; -1 when none.
    int indexOfName(const QString& name) const;

    // Show a file in the browser: its folder, and that file selected (by name, ignoring case).
    bool showFile(const QString& path);

    // A click on a line of the folder box. home is the last resort for a vanished folder whose
    // drive is gone too.
    FolderClick folderClicked(const QString& clicked, bool rightButton, const QString& home);

  private:
    QStringList drives_;
    QString drive_;
    QString folder_;
    QStringList files_;
    int selected_ = -1;
};

}  // namespace lists
