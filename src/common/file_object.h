#pragma once
// The shared path object: existence tests, path splitting, special folders, deleting and
// writing files. "/" is the only separator; ":" is an ordinary file-name character.
// Every operation trims blanks at both ends of the path it is given. Relative paths are
// taken against currentFolder() (paths.h). Nothing here throws or reports errors.
#include <QString>

class FileObject {
  public:
    // A file (anything but a folder) exists at path. With "*" or "?" in the file name part,
    // true when some file in that folder matches it.
    bool FileExists(const QString& path) const;
    bool FolderExists(const QString& path) const;

    // Splitting: /v/clip.part1.flv gives base clip.part1, extension flv, file name
    // clip.part1.flv, parent /v/, drive "/". /v/ gives an empty base, extension and file name.
    QString GetBaseName(const QString& path) const;
    QString GetExtensionName(const QString& path) const;  // without the dot, case kept
    QString GetFileName(const QString& path) const;
    QString GetParentFolderName(const QString& path) const;  // ends in "/", or ""
    QString GetDriveName(const QString& path) const;         // first character: "/" if absolute

    // 0: the system's installation root "/usr"; 1: its program folder "/usr/bin";
    // 2: the private temporary folder (privateTempFolder, ends in "/"; "" when refused);
    // other kinds "".
    QString GetSpecialFolder(int kind) const;
    // There are no short names here: the path itself when it exists, else "".
    QString ShortPath(const QString& path) const;

    // Deletes the file, or with "*" and "?" in the file name part every matching file of
    // that folder. Folders are never deleted. Returns the number of files deleted.
    int DeleteFile(const QString& path) const;
    // Creates or replaces the file (atomically) with text followed by CR LF, in UTF-8 with
    // CR LF line ends. Returns false when it could not be written.
    bool CreateTextFile(const QString& path, const QString& text) const;
};

// The one shared instance.
FileObject& fso();

// Splitting parts, shared by FileObject and the kind tests.
struct PathParts {
    QString base, extension, fileName, parent, drive;
};
PathParts splitPath(const QString& path);

// Glob match of a file name against a pattern where "*" is any run and "?" one character;
// no other character is special.
bool wildcardMatch(const QString& pattern, const QString& name);
