#include "flv/layout.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstring>

#include "flv/plan.h"
#include "flv/replace_file.h"
#include "flv/scan.h"

namespace flv {

namespace {

constexpr std::uint64_t kHeaderBytes = 9 + kPrevSizeSize;
constexpr std::size_t kCopyBlock = 1 << 20;
constexpr std::uint64_t kTimestampAt = 4;  // within a tag header

Status readFully(int fd, std::uint64_t offset, std::span<std::uint8_t> dst) {
    FdSource src(fd, offset + dst.size());
    std::size_t done = 0;
    while (done < dst.size()) {
        auto got = src.readAt(offset + done, dst.subspan(done));
        if (!got) return got.error();
        if (*got == 0) return diagAt(DiagCode::TruncatedTag, offset + done, "source file shrank");
        done += *got;
    }
    return okStatus();
}

double nowMs() {
    using namespace std::chrono;
    return static_cast<double>(
        duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count());
}

struct PathParts {
    std::string folder, name;
};

PathParts splitPath(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return {".", path};
    return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

// Mode and owner for the new file: those of the file it replaces, else a new file's.
struct stat modelFor(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) return st;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    st = {};
    st.st_uid = ::geteuid();
    st.st_gid = ::getegid();
    st.st_mode = static_cast<mode_t>(0666 & ~mask);
    return st;
}

}  // namespace

Layout::Layout(std::uint8_t headerFlags) {
    const std::uint8_t h[13] = {'F', 'L', 'V', 1, headerFlags, 0, 0, 0, 9, 0, 0, 0, 0};
    std::memcpy(header_, h, sizeof h);
    runs_.push_back({kHeaderRun, 0, 0, kHeaderBytes});
    size_ = kHeaderBytes;
}

void Layout::addTag(int fd, const TagHeader& tag, std::int64_t timestampMs, Trailer trailer) {
    const std::uint64_t length =
        trailer == Trailer::Appended ? kTagHeaderSize + tag.dataSize : tag.totalSize();
    Run& last = runs_.back();
    if (last.fd == fd && last.source + last.length == tag.offset)
        last.length += length;
    else
        runs_.push_back({fd, tag.offset, size_, length});
    const auto ts =
        static_cast<std::uint32_t>(std::clamp<std::int64_t>(timestampMs, 0, UINT32_MAX));
    // 24 bits big-endian, then the extended byte.
    patches_.push_back({size_ + kTimestampAt,
                        {static_cast<std::uint8_t>(ts >> 16), static_cast<std::uint8_t>(ts >> 8),
                         static_cast<std::uint8_t>(ts), static_cast<std::uint8_t>(ts >> 24)}});
    const std::uint32_t prev = kTagHeaderSize + tag.dataSize;
    size_ += length;
    if (trailer == Trailer::Rewritten)
        patches_.push_back(
            {size_ - kPrevSizeSize,
             {static_cast<std::uint8_t>(prev >> 24), static_cast<std::uint8_t>(prev >> 16),
              static_cast<std::uint8_t>(prev >> 8), static_cast<std::uint8_t>(prev)}});
    if (trailer == Trailer::Appended) {
        runs_.push_back({kTrailerRun, prev, size_, kPrevSizeSize});
        size_ += kPrevSizeSize;
    }
    ++tags_;
}

Result<std::size_t> Layout::readAt(std::uint64_t offset, std::span<std::uint8_t> dst) {
    if (offset >= size_) return std::size_t{0};
    const std::size_t n = std::min<std::uint64_t>(dst.size(), size_ - offset);
    auto run = std::upper_bound(runs_.begin(), runs_.end(), offset,
                                [](std::uint64_t o, const Run& r) { return o < r.at; });
    --run;
    std::size_t done = 0;
    for (; done < n && run != runs_.end(); ++run) {
        const std::uint64_t from = offset + done - run->at;
        const std::size_t take = std::min<std::uint64_t>(n - done, run->length - from);
        if (run->fd == kHeaderRun) {
            std::memcpy(dst.data() + done, header_ + from, take);
        } else if (run->fd == kTrailerRun) {
            const auto v = static_cast<std::uint32_t>(run->source);
            const std::uint8_t bytes[4] = {
                static_cast<std::uint8_t>(v >> 24), static_cast<std::uint8_t>(v >> 16),
                static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)};
            std::memcpy(dst.data() + done, bytes + from, take);
        } else {
            FLV_TRY(readFully(run->fd, run->source + from, dst.subspan(done, take)));
        }
        done += take;
    }
    auto p = std::lower_bound(patches_.begin(), patches_.end(), offset,
                              [](const Patch& q, std::uint64_t o) { return q.at + 4 <= o; });
    for (; p != patches_.end() && p->at < offset + n; ++p) {
        for (std::uint64_t k = 0; k < 4; ++k) {
            const std::uint64_t at = p->at + k;
            if (at >= offset && at < offset + n) dst[at - offset] = p->bytes[k];
        }
    }
    return n;
}

Result<WriteOutcome> writeLayout(Layout& layout, const std::string& path,
                                 const WriteOptions& options) {
    auto scan = scanFlv(layout);
    if (!scan) return scan.error();
    if (options.oldMetadata) scan->oldMetadata = options.oldMetadata;
    PlanOptions po;
    po.nowMs = options.nowMs >= 0 ? options.nowMs : nowMs();
    po.allowInPlace = false;
    auto plan = planRewrite(*scan, po);
    if (!plan) return plan.error();

    const PathParts where = splitPath(path);
    struct stat existing {};
    const bool replaces = ::stat(path.c_str(), &existing) == 0;
    const struct stat model = modelFor(path);
    auto out = ReplacementFile::create(where.folder, where.name);
    if (!out) return out.error();
    FLV_TRY(writeAllAt(out->fd(), plan->head, 0, "write"));
    std::uint64_t at = plan->head.size();
    std::vector<std::uint8_t> block(kCopyBlock);
    for (std::uint64_t from = kHeaderBytes; from < layout.size();) {
        auto got = layout.readAt(from, block);
        if (!got) return got.error();
        FLV_TRY(writeAllAt(out->fd(), std::span(block).first(*got), at, "write"));
        from += *got;
        at += *got;
        // Bytes stand in for time: close enough for a bar.
        if (options.progress)
            options.progress(
                plan->duration * static_cast<double>(from) / static_cast<double>(layout.size()),
                plan->duration);
    }
    if (at != plan->newFileSize)
        return diag(DiagCode::Io, "internal: the new file came out " + std::to_string(at) +
                                      " bytes instead of " + std::to_string(plan->newFileSize));
    // A file the user had is only replaced once the new one is on the disk.
    FLV_TRY(out->finish(model, replaces));
    FLV_TRY(out->commit());
    WriteOutcome o;
    o.keyframes = plan->keyframes;
    o.duration = plan->duration;
    o.fileSize = plan->newFileSize;
    o.tags = layout.tagCount();
    return o;
}

bool sameFile(const std::string& a, const std::string& b) {
    struct stat sa {
    }, sb{};
    if (::stat(a.c_str(), &sa) != 0 || ::stat(b.c_str(), &sb) != 0) return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

}  // namespace flv
