#include "flv/update.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>

#include "flv/amf0.h"
#include "flv/io.h"
#include "flv/metadata.h"
#include "flv/plan.h"
#include "flv/read_ahead.h"
#include "flv/replace_file.h"
#include "flv/scan.h"

namespace flv {

namespace {

struct Target {
    std::string path;  // symbolic links resolved
    std::string folder;
    std::string name;
};

Result<Target> resolveTarget(const std::string& path) {
    char buf[PATH_MAX];
    if (!::realpath(path.c_str(), buf)) return ioDiag("cannot open", errno);
    Target t;
    t.path = buf;
    auto slash = t.path.rfind('/');
    t.folder = slash == 0 ? "/" : t.path.substr(0, slash);
    t.name = t.path.substr(slash + 1);
    return t;
}

bool sameState(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
           a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

// The file must still be the one that was scanned, unchanged.
Status checkUnchanged(const Target& t, const struct stat& before) {
    struct stat now {};
    if (::stat(t.path.c_str(), &now) != 0) return ioDiag("stat", errno);
    if (!sameState(before, now))
        return diag(DiagCode::ChangedMeanwhile, "the file changed while it was being updated");
    return okStatus();
}

Status writeInPlace(const Target& t, const struct stat& before, const RewritePlan& plan) {
    UniqueFd fd(::open(t.path.c_str(), O_WRONLY | O_CLOEXEC));
    if (!fd.valid()) return ioDiag("cannot open for writing", errno);
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) return ioDiag("stat", errno);
    if (!sameState(before, st))
        return diag(DiagCode::ChangedMeanwhile, "the file changed while it was being updated");
    FLV_TRY(writeAllAt(fd.get(), plan.head, plan.headOffset, "write"));
    if (::fdatasync(fd.get()) != 0) return ioDiag("fsync", errno);
    return fd.close("close");
}

Status writeReplacement(const Target& t, int src, const struct stat& before,
                        const RewritePlan& plan, const UpdateOptions& options) {
    if (::access(t.folder.c_str(), W_OK | X_OK) != 0)
        return diag(DiagCode::FolderNotWritable,
                    "cannot write in the folder " + t.folder + " (the new file goes beside it)");
    auto out = ReplacementFile::create(t.folder, t.name);
    if (!out) return out.error();
    FLV_TRY(writeAllAt(out->fd(), plan.head, 0, "write"));
    std::uint64_t at = plan.head.size();
    for (const auto& r : plan.copies) {
        FLV_TRY(copyRange(src, r.offset, out->fd(), at, r.length));
        at += r.length;
    }
    struct stat st {};
    if (::fstat(out->fd(), &st) != 0) return ioDiag("stat", errno);
    if (static_cast<std::uint64_t>(st.st_size) != plan.newFileSize)
        return diag(DiagCode::Io, "the new file came out " + std::to_string(st.st_size) +
                                      " bytes instead of " + std::to_string(plan.newFileSize));
    FLV_TRY(out->finish(before));
    FLV_TRY(checkUnchanged(t, before));
    if (options.beforeRename) options.beforeRename();
    return out->commit();
}

// Whether the metadata on disk already says everything the new one would, its date aside:
// then the file is left as it is, not even opened for writing.
Result<bool> alreadyCurrent(int src, const ScanResult& scan, const RewritePlan& plan,
                            PlanOptions po) {
    const AmfValue* date = scan.oldMetadata ? scan.oldMetadata->find("metadatadate") : nullptr;
    if (!plan.inPlace || !date || date->type != AmfType::Date) return false;
    po.nowMs = date->number;
    auto same = planRewrite(scan, po);
    if (!same) return same.error();
    if (!same->inPlace || same->head.size() != plan.head.size()) return false;
    std::vector<std::uint8_t> onDisk(same->head.size());
    FdSource source(src, plan.headOffset + onDisk.size());
    auto got = readUpTo(source, plan.headOffset, onDisk);
    if (!got) return got.error();
    return *got == onDisk.size() && onDisk == same->head;
}

}  // namespace

Result<UpdateOutcome> updateMetadata(const std::string& path, const UpdateOptions& options) {
    auto target = resolveTarget(path);
    if (!target) return target.error();
    UniqueFd src(::open(target->path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!src.valid()) return ioDiag("cannot open", errno);
    struct stat before {};
    if (::fstat(src.get(), &before) != 0) return ioDiag("stat", errno);
    if (!S_ISREG(before.st_mode)) return diag(DiagCode::NotRegularFile, "not a regular file");
    if (::access(target->path.c_str(), W_OK) != 0)
        return diag(DiagCode::NotWritable, "the file is not writable");

    // The read-ahead and its buffers end with the scan, before anything is written.
    auto scan = [&] {
        ReadAheadSource source(src.get(), static_cast<std::uint64_t>(before.st_size));
        return scanFlv(source);
    }();
    if (!scan) return scan.error();
    PlanOptions po;
    po.nowMs = options.nowMs >= 0 ? options.nowMs : metadataNowMs();
    po.allowInPlace = options.allowInPlace;
    auto plan = planRewrite(*scan, po);
    if (!plan) return plan.error();

    auto current = alreadyCurrent(src.get(), *scan, *plan, po);
    if (!current) return current.error();
    if (!*current) {
        if (plan->inPlace)
            FLV_TRY(writeInPlace(*target, before, *plan));
        else
            FLV_TRY(writeReplacement(*target, src.get(), before, *plan, options));
    }

    UpdateOutcome outcome;
    outcome.target = target->path;
    outcome.inPlace = plan->inPlace;
    outcome.unchanged = *current;
    outcome.keyframes = plan->keyframes;
    outcome.duration = plan->duration;
    outcome.fileSize = plan->newFileSize;
    outcome.clockJumps = std::move(scan->clockJumps);
    return outcome;
}

Diag clockJumpDiag(const ClockJump& jump) {
    const std::int64_t a = jump.jumpMs < 0 ? -jump.jumpMs : jump.jumpMs;
    char amount[48];
    std::snprintf(amount, sizeof amount, "%lld.%03lld s", static_cast<long long>(a / 1000),
                  static_cast<long long>(a % 1000));
    return diagAt(
        DiagCode::ClockJump, jump.offset,
        std::string("the clock jumps ") + (jump.jumpMs < 0 ? "back " : "ahead ") + amount);
}

}  // namespace flv
