#pragma once
// The desktop shell: open a document or address with its program, show a file in the file
// manager. A seam, so that tests can record what would have been opened.
#include <QString>

class Shell {
  public:
    virtual ~Shell() = default;
    // QDesktopServices: an address as it is, anything else as a local file.
    virtual bool open(const QString& pathOrUrl);
    // org.freedesktop.FileManager1.ShowItems over D-Bus, else opens the file's folder.
    virtual bool exploreSelect(const QString& path);
};

Shell& shell();
void installShell(Shell* s);  // not owned; nullptr restores the desktop

// Shorthands through shell().
bool shellOpen(const QString& pathOrUrl);
bool exploreSelect(const QString& path);
