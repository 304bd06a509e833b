#include "flv/io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>

namespace flv {

Result<std::size_t> MemorySource::readAt(std::uint64_t offset, std::span<std::uint8_t> dst) {
    if (offset >= data_.size()) return std::size_t{0};
    std::size_t n = std::min<std::uint64_t>(dst.size(), data_.size() - offset);
    std::memcpy(dst.data(), data_.data() + offset, n);
    return n;
}

Result<std::size_t> FdSource::readAt(std::uint64_t offset, std::span<std::uint8_t> dst) {
    for (;;) {
        ssize_t n = ::pread(fd_, dst.data(), dst.size(), static_cast<off_t>(offset));
        if (n >= 0) return static_cast<std::size_t>(n);
        if (errno != EINTR) return ioDiag("read", errno);
    }
}

Result<std::size_t> readUpTo(ByteSource& src, std::uint64_t offset, std::span<std::uint8_t> dst) {
    std::size_t done = 0;
    while (done < dst.size()) {
        auto got = src.readAt(offset + done, dst.subspan(done));
        if (!got) return got.error();
        if (*got == 0) break;
        done += *got;
    }
    return done;
}

WindowReader::WindowReader(ByteSource& src) : src_(src) {
    // Bytes in memory are one window over everything.
    if (const std::uint8_t* base = src.direct()) {
        data_ = base;
        len_ = src.size();
    }
}

Result<std::span<const std::uint8_t>> WindowReader::readMoving(std::uint64_t offset, std::size_t n,
                                                               std::size_t ahead) {
    if (n > kWindow) return diag(DiagCode::Io, "internal: read larger than the window");
    if (src_.direct()) return diagAt(DiagCode::TruncatedTag, offset, "unexpected end of file");
    if (ahead >= kBlock) {
        const auto lent = src_.lend(offset);
        if (lent.size() >= n) {
            ++generation_;
            data_ = lent.data();
            start_ = offset;
            len_ = lent.size();
            return lent.first(n);
        }
    }
    if (buf_.empty()) buf_ = ReadBuffer(kBlock + ReadBuffer::kPageSize);
    ++generation_;
    std::uint8_t* const into = buf_.data() + offset % ReadBuffer::kPageSize;
    data_ = into;
    const std::uint64_t left = src_.size() > offset ? src_.size() - offset : 0;
    const std::size_t want =
        std::max<std::size_t>(n, std::min<std::uint64_t>(std::min(ahead, kBlock), left));
    start_ = offset;
    len_ = 0;
    while (len_ < want) {
        auto got = src_.readAt(offset + len_, std::span(into + len_, want - len_));
        if (!got) return got.error();
        if (*got == 0) break;
        len_ += *got;
        if (len_ >= n) break;
    }
    if (len_ < n) return diagAt(DiagCode::TruncatedTag, offset, "unexpected end of file");
    return std::span<const std::uint8_t>(data_, n);
}

Status WindowReader::readInto(std::uint64_t offset, std::span<std::uint8_t> dst) {
    // A body the window already holds is copied from it, not read a second time.
    if (!src_.direct() && offset >= start_ && offset + dst.size() <= start_ + len_) {
        std::memcpy(dst.data(), data_ + (offset - start_), dst.size());
        return okStatus();
    }
    auto got = readUpTo(src_, offset, dst);
    if (!got) return got.error();
    if (*got < dst.size())
        return diagAt(DiagCode::TruncatedTag, offset + *got, "unexpected end of file");
    return okStatus();
}

UniqueFd& UniqueFd::operator=(UniqueFd&& o) noexcept {
    if (this != &o) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = o.release();
    }
    return *this;
}

UniqueFd::~UniqueFd() {
    if (fd_ >= 0) ::close(fd_);
}

Status UniqueFd::close(const std::string& what) {
    int f = release();
    if (f >= 0 && ::close(f) != 0) return ioDiag(what, errno);
    return okStatus();
}

Result<OpenFile> openForReading(const std::string& path) {
    OpenFile f;
    f.fd = UniqueFd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!f.fd.valid()) return ioDiag("cannot open " + path, errno);
    struct stat st {};
    if (::fstat(f.fd.get(), &st) != 0) return ioDiag("stat " + path, errno);
    if (!S_ISREG(st.st_mode))
        return diag(DiagCode::NotRegularFile, path + " is not a regular file");
    f.size = static_cast<std::uint64_t>(st.st_size);
    return f;
}

Status writeAllAt(int fd, std::span<const std::uint8_t> data, std::uint64_t offset,
                  const std::string& what) {
    std::size_t done = 0;
    while (done < data.size()) {
        ssize_t n =
            ::pwrite(fd, data.data() + done, data.size() - done, static_cast<off_t>(offset + done));
        if (n < 0) {
            if (errno == EINTR) continue;
            return ioDiag(what, errno);
        }
        if (n == 0) return ioDiag(what, ENOSPC);
        done += static_cast<std::size_t>(n);
    }
    return okStatus();
}

namespace {

Status copyByBlocks(int in, std::uint64_t inOffset, int out, std::uint64_t outOffset,
                    std::uint64_t len) {
    static constexpr std::size_t kBlock = 1 << 20;
    ReadBuffer buf(std::min<std::uint64_t>(kBlock, len));
    FdSource src(in, inOffset + len);
    while (len > 0) {
        std::size_t n = std::min<std::uint64_t>(buf.size(), len);
        auto got = src.readAt(inOffset, buf.span().first(n));
        if (!got) return got.error();
        if (*got == 0) return diagAt(DiagCode::TruncatedTag, inOffset, "unexpected end of file");
        FLV_TRY(writeAllAt(out, buf.span().first(*got), outOffset, "write"));
        inOffset += *got;
        outOffset += *got;
        len -= *got;
    }
    return okStatus();
}

// Pieces of the body copy handed to the kernel at a time, each then queued for writeback.
constexpr std::uint64_t kWritebackChunk = std::uint64_t{32} << 20;

bool kernelCopyUnsupported(int err) {
    return err == ENOSYS || err == EXDEV || err == EINVAL || err == EOPNOTSUPP || err == EBADF;
}

}  // namespace

Result<bool> kernelCopy(int in, std::uint64_t inOffset, int out, std::uint64_t outOffset,
                        std::uint64_t len) {
    bool copiedAny = false;
    while (len > 0) {
        auto inOff = static_cast<off_t>(inOffset);
        auto outOff = static_cast<off_t>(outOffset);
        std::size_t chunk = std::min<std::uint64_t>(len, kWritebackChunk);
        ssize_t n = ::copy_file_range(in, &inOff, out, &outOff, chunk, 0);
        if (n < 0) {
            if (errno == EINTR) continue;
            if (!copiedAny && kernelCopyUnsupported(errno)) return false;
            return ioDiag("copy", errno);
        }
        if (n == 0) return diagAt(DiagCode::TruncatedTag, inOffset, "unexpected end of file");
        copiedAny = true;
        // Start writing this piece to disk now, so the final fsync finds little left to do
        // and the disk works while the next piece is copied. Only a hint: errors show later.
        ::sync_file_range(out, static_cast<off_t>(outOffset), n, SYNC_FILE_RANGE_WRITE);
        inOffset += static_cast<std::uint64_t>(n);
        outOffset += static_cast<std::uint64_t>(n);
        len -= static_cast<std::uint64_t>(n);
    }
    return true;
}

Status copyRange(int in, std::uint64_t inOffset, int out, std::uint64_t outOffset,
                 std::uint64_t len) {
    auto copied = kernelCopy(in, inOffset, out, outOffset, len);
    if (!copied) return copied.error();
    if (!*copied) return copyByBlocks(in, inOffset, out, outOffset, len);
    return okStatus();
}

Status readFully(int fd, std::uint64_t offset, std::span<std::uint8_t> dst) {
    FdSource src(fd, offset + dst.size());
    auto got = readUpTo(src, offset, dst);
    if (!got) return got.error();
    if (*got < dst.size())
        return diagAt(DiagCode::TruncatedTag, offset + *got, "source file shrank");
    return okStatus();
}

}  // namespace flv
