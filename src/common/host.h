#pragma once
// What the shared helpers need from the windows above them. The application installs an
// implementation; the defaults release nothing, have no save folder and no open file.
#include <QString>

class AppHost {
  public:
    virtual ~AppHost() = default;
    // Release path if it is the file being played (the player closes it).
    virtual void closeRunFn(const QString& path) { (void)path; }
    // Text of the list window's save-folder box.
    virtual QString saveFolderBox() { return {}; }
    virtual void clearSaveFolderBox() {}
    // Path or address open in the playback media object; "" when none.
    virtual QString playingFile() { return {}; }
};

// The host in force (the defaults until one is installed).
AppHost& appHost();
// Installs h (not owned); nullptr restores the defaults.
void installAppHost(AppHost* h);
