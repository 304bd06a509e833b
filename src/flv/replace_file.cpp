#include "flv/replace_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>

namespace flv {

namespace {

// The named temporaries in progress, readable from a signal handler: fixed slots, plain
// characters, a flag written last.
struct LiveTemp {
    int dir = -1;
    char name[320] = {};
    volatile std::sig_atomic_t used = 0;
};
LiveTemp gLive[4];

void remember(int dir, const std::string& name) {
    for (LiveTemp& t : gLive) {
        if (t.used || name.size() >= sizeof t.name) continue;
        t.dir = dir;
        std::memcpy(t.name, name.c_str(), name.size() + 1);
        t.used = 1;
        return;
    }
}

void forget(int dir, const std::string& name) {
    for (LiveTemp& t : gLive)
        if (t.used && t.dir == dir && name == t.name) t.used = 0;
}

void removeLiveTemporaries() {
    for (LiveTemp& t : gLive)
        if (t.used) ::unlinkat(t.dir, t.name, 0);
}

extern "C" void onStopSignal(int sig) {
    removeLiveTemporaries();
    ::signal(sig, SIG_DFL);
    ::raise(sig);
}

// Tag-level writes copy from mapped sources: a file cut short by someone else meanwhile
// faults on the missing pages. That is a failed run like any other, reported the usual way.
extern "C" void onShrunkInput(int) {
    removeLiveTemporaries();
    static const char kText[] = "flvmdi: an input file was cut short while it was being read\n";
    (void)!::write(STDERR_FILENO, kText, sizeof kText - 1);
    ::_exit(1);
}

// The name shortened as far as needed for the whole to fit NAME_MAX: a title of 81 CJK
// characters is already 247 bytes. Cut on a character boundary so the temporary stays valid
// UTF-8 for whoever lists the folder meanwhile.
std::string tempNameFor(const std::string& name, int attempt) {
    const std::string tail =
        ".flvmdi-" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
    std::size_t keep = std::min(name.size(), std::size_t{NAME_MAX} - 1 - tail.size());
    while (keep > 0 && keep < name.size() &&
           (static_cast<unsigned char>(name[keep]) & 0xC0) == 0x80)
        --keep;
    return "." + name.substr(0, keep) + tail;
}

}  // namespace

void removeTemporariesOnStop() {
    struct sigaction sa {};
    sa.sa_handler = onStopSignal;
    sigemptyset(&sa.sa_mask);
    for (int sig : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(sig, &sa, nullptr);
    sa.sa_handler = onShrunkInput;
    ::sigaction(SIGBUS, &sa, nullptr);
}

Result<ReplacementFile> ReplacementFile::create(const std::string& folder, const std::string& name,
                                                TempKind kind) {
    UniqueFd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!dir.valid()) return ioDiag("cannot open the folder " + folder, errno);
    if (kind == TempKind::UnnamedIfSupported) {
        UniqueFd fd(::openat(dir.get(), ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600));
        if (fd.valid()) return ReplacementFile(std::move(dir), std::move(fd), name, {});
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL && errno != ENOENT)
            return ioDiag("cannot create the new file in " + folder, errno);
    }
    // No unnamed files on this file system: a named one, removed on any failure.
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string temp = tempNameFor(name, attempt);
        UniqueFd named(
            ::openat(dir.get(), temp.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0600));
        if (named.valid()) {
            ReplacementFile f(std::move(dir), std::move(named), name, temp);
            f.setNamed(true);
            return f;
        }
        if (errno != EEXIST) return ioDiag("cannot create the new file in " + folder, errno);
    }
    return ioDiag("cannot create the new file in " + folder, EEXIST);
}

ReplacementFile::~ReplacementFile() {
    if (!committed_) discardName();
}

void ReplacementFile::setNamed(bool on) {
    if (on == named_) return;
    named_ = on;
    if (on)
        remember(dir_.get(), tempName_);
    else
        forget(dir_.get(), tempName_);
}

void ReplacementFile::discardName() {
    if (named_ && dir_.valid()) ::unlinkat(dir_.get(), tempName_.c_str(), 0);
    setNamed(false);
}

Status ReplacementFile::finish(const struct stat& original, bool flush) {
    // Owner first: changing it clears set-id bits, which the mode then restores.
    if (::fchown(fd_.get(), original.st_uid, original.st_gid) != 0)
        (void)::fchown(fd_.get(), static_cast<uid_t>(-1), original.st_gid);
    if (::fchmod(fd_.get(), original.st_mode & 07777) != 0) return ioDiag("chmod", errno);
    if (flush && ::fsync(fd_.get()) != 0) return ioDiag("fsync", errno);
    return okStatus();
}

Status ReplacementFile::giveName() {
    if (named_) return okStatus();
    std::string proc = "/proc/self/fd/" + std::to_string(fd_.get());
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string temp = tempNameFor(name_, attempt);
        int rc = ::linkat(AT_FDCWD, proc.c_str(), dir_.get(), temp.c_str(), AT_SYMLINK_FOLLOW);
        if (rc != 0 && errno == ENOENT)  // no /proc: needs CAP_DAC_READ_SEARCH
            rc = ::linkat(fd_.get(), "", dir_.get(), temp.c_str(), AT_EMPTY_PATH);
        if (rc == 0) {
            tempName_ = temp;
            setNamed(true);
            return okStatus();
        }
        if (errno != EEXIST) return ioDiag("cannot name the new file", errno);
    }
    return ioDiag("cannot name the new file", EEXIST);
}

Status ReplacementFile::commit() {
    FLV_TRY(giveName());
    if (::renameat(dir_.get(), tempName_.c_str(), dir_.get(), name_.c_str()) != 0)
        return ioDiag("cannot replace the file", errno);
    committed_ = true;
    setNamed(false);
    FLV_TRY(fd_.close("close"));
    if (::fsync(dir_.get()) != 0) return ioDiag("fsync of the folder", errno);
    return okStatus();
}

}  // namespace flv
