#include "flv/layout.h"

#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>

#include "flv/metadata.h"
#include "flv/plan.h"
#include "flv/replace_file.h"
#include "flv/scan.h"

namespace flv {

namespace {

constexpr std::uint64_t kHeaderBytes = 9 + kPrevSizeSize;
constexpr std::size_t kCopyBlock = 1 << 20;
constexpr std::uint64_t kTimestampAt = 4;  // within a tag header
// Unpatched stretches from this long on are copied by the kernel; shorter ones cost less
// gathered with their neighbours into one write.
constexpr std::uint64_t kKernelCopyFrom = 128 * 1024;

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

// Pieces of the new file gathered for one pwritev: slices of mapped source pages, and short
// pieces copied into a buffer of their own (the patched bytes, and the small tags between
// them): a write of many tiny pieces costs the kernel more than one copy here.
class GatherWriter {
  public:
    GatherWriter(int fd, std::uint64_t at) : fd_(fd), at_(at) {
        iov_.reserve(kMaxPieces);
        staged_.resize(kStaged);
    }
    // p stays valid until the next flush.
    Status add(const std::uint8_t* p, std::size_t n) {
        if (n == 0) return okStatus();
        if (n < kCopyBelow) return addCopy(p, n);
        if (iov_.size() == kMaxPieces) FLV_TRY(flush());
        iov_.push_back({const_cast<std::uint8_t*>(p), n});
        tailStaged_ = false;
        return okStatus();
    }
    Status addCopy(const std::uint8_t* p, std::size_t n) {  // n < kCopyBelow
        std::uint8_t* keep = nullptr;
        FLV_TRY(stage(n, keep));
        std::memcpy(keep, p, n);
        return okStatus();
    }
    // Room for n bytes (n <= kStaged) at the end of the write, in the buffer, to be filled
    // before the next flush.
    Status stage(std::size_t n, std::uint8_t*& where) {
        if (n > room() || (!tailStaged_ && iov_.size() == kMaxPieces)) FLV_TRY(flush());
        where = staged_.data() + stagedLen_;
        stagedLen_ += n;
        if (tailStaged_) {
            iov_.back().iov_len += n;
        } else {
            iov_.push_back({where, n});
            tailStaged_ = true;
        }
        return okStatus();
    }
    std::size_t room() const { return staged_.size() - stagedLen_; }
    // Where the next byte goes, once flushed.
    std::uint64_t at() const { return at_; }
    // Past n bytes written by other means after a flush.
    void skip(std::uint64_t n) { at_ += n; }
    Status flush() {
        std::size_t first = 0;
        while (first < iov_.size()) {
            const ssize_t n =
                ::pwritev(fd_, iov_.data() + first, static_cast<int>(iov_.size() - first),
                          static_cast<off_t>(at_));
            if (n < 0) {
                if (errno == EINTR) continue;
                return ioDiag("write", errno);
            }
            if (n == 0) return ioDiag("write", ENOSPC);
            at_ += static_cast<std::uint64_t>(n);
            // Past what went out; a piece half written keeps its rest.
            for (auto left = static_cast<std::size_t>(n); left > 0;) {
                iovec& v = iov_[first];
                const std::size_t take = std::min(left, v.iov_len);
                v.iov_base = static_cast<std::uint8_t*>(v.iov_base) + take;
                v.iov_len -= take;
                left -= take;
                if (v.iov_len == 0) ++first;
            }
            while (first < iov_.size() && iov_[first].iov_len == 0) ++first;
        }
        iov_.clear();
        stagedLen_ = 0;
        tailStaged_ = false;
        return okStatus();
    }

    static constexpr std::size_t kCopyBelow = 4096;
    static constexpr std::size_t kStaged = 256 * 1024;

  private:
    static constexpr std::size_t kMaxPieces = 1024;  // IOV_MAX on Linux
    int fd_;
    std::uint64_t at_;
    std::vector<iovec> iov_;
    std::vector<std::uint8_t> staged_;
    std::size_t stagedLen_ = 0;
    bool tailStaged_ = false;  // the last piece lies at the end of staged_, and may grow
};

// One mapped window of one source at a time.
class SourceWindow {
  public:
    static constexpr std::uint64_t kSpan = 2 * 1024 * 1024;
    ~SourceWindow() { release(); }
    // The bytes of fd from offset, and how many of them the window holds; nullptr where the
    // file cannot be mapped. Whatever the last call gave stops being valid.
    const std::uint8_t* at(int fd, std::uint64_t offset, std::uint64_t& available) {
        if (fd != fd_ || offset < start_ || offset >= start_ + kSpan) {
            static const auto page = static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE));
            release();
            const std::uint64_t start = offset - offset % page;
            void* p = ::mmap(nullptr, kSpan, PROT_READ, MAP_SHARED | MAP_POPULATE, fd,
                             static_cast<off_t>(start));
            if (p == MAP_FAILED) return nullptr;
            map_ = p;
            fd_ = fd;
            start_ = start;
        }
        available = start_ + kSpan - offset;
        return static_cast<const std::uint8_t*>(map_) + (offset - start_);
    }
    bool holds(int fd, std::uint64_t offset) const {
        return map_ && fd == fd_ && offset >= start_ && offset < start_ + kSpan;
    }
    void release() {
        if (map_) ::munmap(map_, kSpan);
        map_ = nullptr;
        fd_ = -1;
    }

  private:
    void* map_ = nullptr;
    int fd_ = -1;
    std::uint64_t start_ = 0;
};

}  // namespace

Layout::Layout(std::uint8_t headerFlags) {
    const std::uint8_t h[13] = {'F', 'L', 'V', 1, headerFlags, 0, 0, 0, 9, 0, 0, 0, 0};
    std::memcpy(header_, h, sizeof h);
    runs_.push_back({kHeaderRun, 0, 0, kHeaderBytes});
    size_ = kHeaderBytes;
}

Status Layout::addTag(int fd, const TagHeader& tag, std::int64_t timestampMs,
                      const ScanBuilder::Prefix& prefix, Trailer trailer) {
    const auto ts =
        static_cast<std::uint32_t>(std::clamp<std::int64_t>(timestampMs, 0, UINT32_MAX));
    TagHeader placed = tag;
    placed.offset = size_;
    placed.timestamp = ts;
    auto metadata = scan_.add(placed, prefix);
    if (!metadata) return metadata.error();
    if (*metadata) return diagAt(DiagCode::Io, tag.offset, "internal: onMetaData in a layout");
    const std::uint64_t length =
        trailer == Trailer::Appended ? kTagHeaderSize + tag.dataSize : tag.totalSize();
    Run& last = runs_.back();
    if (last.fd == fd && last.source + last.length == tag.offset)
        last.length += length;
    else
        runs_.push_back({fd, tag.offset, size_, length});
    // 24 bits big-endian, then the extended byte. A timestamp that stays as it is needs no
    // patch, so long stretches of unchanged tags can be copied by the kernel.
    if (ts != tag.timestamp)
        patches_.push_back(
            {size_ + kTimestampAt,
             {static_cast<std::uint8_t>(ts >> 16), static_cast<std::uint8_t>(ts >> 8),
              static_cast<std::uint8_t>(ts), static_cast<std::uint8_t>(ts >> 24)}});
    const std::uint32_t prev = kTagHeaderSize + tag.dataSize;
    lastTagAt_ = size_;
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
    return okStatus();
}

void Layout::patchLastBody(std::size_t offset, const std::array<std::uint8_t, 4>& bytes) {
    Patch p{lastTagAt_ + kTagHeaderSize + offset, {}};
    std::copy(bytes.begin(), bytes.end(), p.bytes);
    // After the tag's timestamp, before its rewritten PreviousTagSize if it has one.
    auto at = std::upper_bound(patches_.begin(), patches_.end(), p.at,
                               [](std::uint64_t o, const Patch& q) { return o < q.at; });
    patches_.insert(at, p);
}

ScanResult Layout::scanned() const {
    ScanResult r = scan_.result();
    r.header.flags = header_[4];
    r.fileSize = size_;
    return r;
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

Result<std::uint64_t> Layout::writeMapped(int out, std::uint64_t from, std::uint64_t at,
                                          const std::function<void(std::uint64_t)>& progress) {
    GatherWriter writer(out, at);
    SourceWindow window;
    auto run = std::upper_bound(runs_.begin(), runs_.end(), from,
                                [](std::uint64_t o, const Run& r) { return o < r.at; });
    if (run != runs_.begin()) --run;
    auto patch = std::lower_bound(patches_.begin(), patches_.end(), from,
                                  [](const Patch& q, std::uint64_t o) { return q.at < o; });
    std::uint64_t pos = from;
    bool kernelCopies = true;  // until the kernel refuses
    for (; run != runs_.end(); ++run) {
        const std::uint64_t runEnd = run->at + run->length;
        while (pos < runEnd) {
            if (patch != patches_.end() && patch->at == pos) {
                FLV_TRY(writer.addCopy(patch->bytes, 4));
                pos += 4;
                ++patch;
                continue;
            }
            std::uint64_t end = runEnd;
            if (patch != patches_.end() && patch->at < end) end = patch->at;
            if (run->fd == kHeaderRun) {
                FLV_TRY(writer.add(header_ + pos, end - pos));
                pos = end;
            } else if (run->fd == kTrailerRun) {
                const auto v = static_cast<std::uint32_t>(run->source);
                const std::uint8_t bytes[4] = {
                    static_cast<std::uint8_t>(v >> 24), static_cast<std::uint8_t>(v >> 16),
                    static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)};
                FLV_TRY(writer.addCopy(bytes + (pos - run->at), end - pos));
                pos = end;
            } else {
                const std::uint64_t source = run->source + (pos - run->at);
                // A long stretch with nothing to patch goes from file to file in the kernel.
                if (kernelCopies && end - pos >= kKernelCopyFrom) {
                    FLV_TRY(writer.flush());
                    auto copied = kernelCopy(run->fd, source, out, writer.at(), end - pos);
                    if (!copied) return copied.error();
                    if (*copied) {
                        writer.skip(end - pos);
                        pos = end;
                        if (progress) progress(pos);
                        continue;
                    }
                    kernelCopies = false;
                }
                if (!window.holds(run->fd, source)) {
                    // The pieces point into the window about to go.
                    FLV_TRY(writer.flush());
                    if (progress) progress(pos);
                }
                std::uint64_t available = 0;
                const std::uint8_t* bytes = window.at(run->fd, source, available);
                if (!bytes) {
                    FLV_TRY(writer.flush());
                    return pos;
                }
                // Small tags close together are copied in one go, their patches applied to
                // the copy: far cheaper than a piece for each stretch between two patches.
                if (writer.room() < GatherWriter::kCopyBelow) FLV_TRY(writer.flush());
                const std::uint64_t limit =
                    pos + std::min<std::uint64_t>({runEnd - pos, available, writer.room()});
                std::uint64_t stop = pos;
                auto last = patch;
                while (last != patches_.end() && last->at + 4 <= limit &&
                       last->at - stop < GatherWriter::kCopyBelow) {
                    stop = last->at + 4;
                    ++last;
                }
                if (last != patch) {
                    std::uint8_t* copy = nullptr;
                    FLV_TRY(writer.stage(stop - pos, copy));
                    std::memcpy(copy, bytes, stop - pos);
                    for (; patch != last; ++patch)
                        std::memcpy(copy + (patch->at - pos), patch->bytes, 4);
                    pos = stop;
                    continue;
                }
                const std::uint64_t take = std::min(end - pos, available);
                FLV_TRY(writer.add(bytes, take));
                pos += take;
            }
        }
    }
    FLV_TRY(writer.flush());
    return pos;
}

Result<WriteOutcome> writeLayout(Layout& layout, const std::string& path,
                                 const WriteOptions& options) {
    ScanResult scan = layout.scanned();
    if (options.oldMetadata) scan.oldMetadata = options.oldMetadata;
    PlanOptions po;
    po.nowMs = options.nowMs >= 0 ? options.nowMs : metadataNowMs();
    po.allowInPlace = false;
    auto plan = planRewrite(scan, po);
    if (!plan) return plan.error();

    const PathParts where = splitPath(path);
    struct stat existing {};
    const bool replaces = ::stat(path.c_str(), &existing) == 0;
    const struct stat model = modelFor(path);
    auto out = ReplacementFile::create(where.folder, where.name);
    if (!out) return out.error();
    FLV_TRY(writeAllAt(out->fd(), plan->head, 0, "write"));
    // Bytes stand in for time: close enough for a bar.
    auto reached = [&](std::uint64_t from) {
        if (options.progress)
            options.progress(
                plan->duration * static_cast<double>(from) / static_cast<double>(layout.size()),
                plan->duration);
    };
    auto mapped = layout.writeMapped(out->fd(), kHeaderBytes, plan->head.size(), reached);
    if (!mapped) return mapped.error();
    std::uint64_t at = plan->head.size() + (*mapped - kHeaderBytes);
    std::vector<std::uint8_t> block(*mapped < layout.size() ? kCopyBlock : 0);
    for (std::uint64_t from = *mapped; from < layout.size();) {
        auto got = layout.readAt(from, block);
        if (!got) return got.error();
        FLV_TRY(writeAllAt(out->fd(), std::span(block).first(*got), at, "write"));
        from += *got;
        at += *got;
        reached(from);
    }
    reached(layout.size());
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
