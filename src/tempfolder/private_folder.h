#pragma once
// The user's private temporary folder: $XDG_RUNTIME_DIR/Lumba.FLV/ when that variable names an
// existing folder, else $TMPDIR (or /tmp) + /Lumba.FLV-<uid>/. Tool files with fixed names are
// written there and executed, so the folder must be the user's own: a real folder (not a
// symbolic link), owned by the user, writable by nobody else. Both programs derive it here.
#include <string>

namespace tempfolder {

struct FolderEnv {
    const char* xdgRuntimeDir = nullptr;  // $XDG_RUNTIME_DIR; null or "": unset
    const char* tmpDir = nullptr;         // $TMPDIR; null or "": unset
    unsigned uid = 0;
};

// The environment of this process.
FolderEnv currentEnv();

// The folder the rule names (ending in "/"), and its base folder, without touching the disk
// beyond checking whether $XDG_RUNTIME_DIR exists.
struct FolderChoice {
    std::string base;    // the folder that must already exist
    std::string folder;  // base + the private folder name + "/"
};
FolderChoice chooseFolder(const FolderEnv& env);

// The private folder ready for writing (created with mode 0700 when missing), or empty when
// the base folder does not exist or the folder is not safely the user's own.
std::string privateFolder(const FolderEnv& env);

}  // namespace tempfolder
