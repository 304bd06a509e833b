#include "tempfolder/private_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace tempfolder {
namespace {

bool isFolder(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string withoutTrailingSlashes(std::string s) {
    while (s.size() > 1 && s.back() == '/') s.pop_back();
    return s;
}

}  // namespace

FolderEnv currentEnv() {
    return {std::getenv("XDG_RUNTIME_DIR"), std::getenv("TMPDIR"),
            static_cast<unsigned>(::getuid())};
}

FolderChoice chooseFolder(const FolderEnv& env) {
    if (env.xdgRuntimeDir && *env.xdgRuntimeDir && isFolder(env.xdgRuntimeDir)) {
        const std::string base = withoutTrailingSlashes(env.xdgRuntimeDir);
        return {base, (base == "/" ? "" : base) + "/Lumba.FLV/"};
    }
    const std::string base =
        withoutTrailingSlashes(env.tmpDir && *env.tmpDir ? env.tmpDir : "/tmp");
    return {base, (base == "/" ? "" : base) + "/Lumba.FLV-" + std::to_string(env.uid) + "/"};
}

std::string privateFolder(const FolderEnv& env) {
    const FolderChoice c = chooseFolder(env);
    if (!isFolder(c.base)) return {};
    const std::string dir = withoutTrailingSlashes(c.folder);
    if (::mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) return {};
    struct stat st {};
    if (::lstat(dir.c_str(), &st) != 0) return {};
    if (!S_ISDIR(st.st_mode) || st.st_uid != static_cast<uid_t>(::geteuid()) ||
        (st.st_mode & S_IWOTH))
        return {};
    return c.folder;
}

}  // namespace tempfolder
