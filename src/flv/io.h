#pragma once
// Byte sources and file helpers. Reading goes through a small window so that scanning many
// short tags costs few system calls; bodies are copied in the kernel where it can.
#include <cstdint>
#include <memory>
#include <new>
#include <span>
#include <string>
#include <vector>

#include "flv/diag.h"

namespace flv {

// Random access input: an open file, or memory (tests and the fuzzer).
class ByteSource {
  public:
    virtual ~ByteSource() = default;
    virtual std::uint64_t size() const = 0;
    // Reads up to dst.size() bytes at offset; returns the count, 0 at the end.
    virtual Result<std::size_t> readAt(std::uint64_t offset, std::span<std::uint8_t> dst) = 0;
    // The bytes themselves, where the source holds them in memory (no copy, no system call).
    virtual const std::uint8_t* direct() const { return nullptr; }
    // The bytes from offset on that the source has already read, valid until the next call;
    // empty where it holds none.
    virtual std::span<const std::uint8_t> lend(std::uint64_t /*offset*/) { return {}; }
};

class MemorySource : public ByteSource {
  public:
    explicit MemorySource(std::span<const std::uint8_t> data) : data_(data) {}
    std::uint64_t size() const override { return data_.size(); }
    Result<std::size_t> readAt(std::uint64_t offset, std::span<std::uint8_t> dst) override;
    const std::uint8_t* direct() const override { return data_.data(); }

  private:
    std::span<const std::uint8_t> data_;
};

class FdSource : public ByteSource {
  public:
    FdSource(int fd, std::uint64_t size) : fd_(fd), size_(size) {}
    std::uint64_t size() const override { return size_; }
    Result<std::size_t> readAt(std::uint64_t offset, std::span<std::uint8_t> dst) override;

  private:
    int fd_;
    std::uint64_t size_;
};

// Memory that reads land in, page-aligned. The kernel's copy runs several times slower when
// the destination lies a few bytes past the source's place within a page (as it does for a
// large std::vector, which starts 16 bytes into a mapping, reading from the start of a
// page): a read lands best at the same place within a page as it has in the file.
class ReadBuffer {
  public:
    static constexpr std::size_t kPageSize = 4096;
    ReadBuffer() = default;
    explicit ReadBuffer(std::size_t size) : data_(new (kAlign) std::uint8_t[size]), size_(size) {}
    std::uint8_t* data() const { return data_.get(); }
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    std::span<std::uint8_t> span() const { return {data_.get(), size_}; }

  private:
    static constexpr std::align_val_t kAlign{kPageSize};
    struct Free {
        void operator()(std::uint8_t* p) const { ::operator delete[](p, kAlign); }
    };
    std::unique_ptr<std::uint8_t[], Free> data_;
    std::size_t size_ = 0;
};

// Reads at offset until dst is full or the source ends; returns the count read.
Result<std::size_t> readUpTo(ByteSource& src, std::uint64_t offset, std::span<std::uint8_t> dst);
// All of dst from fd at offset; a file that ends before is reported as shrunk.
Status readFully(int fd, std::uint64_t offset, std::span<std::uint8_t> dst);

// A read window over a source. A span it returns stays valid until the next call.
// A scan walks the file front to back: a miss reads the next whole block, so a walk of many
// short tags costs one system call per block rather than two per tag, and the tag walk then
// runs over bytes the read has just left in the processor's cache. Files are read, not
// mapped: mapping costs as much in page tables as the copy it saves, a walk over a mapping
// waits on memory, and a file that shrinks meanwhile faults on a mapping where a read only
// comes up short (a truncated-tag diagnostic with its offset).
class WindowReader {
  public:
    static constexpr std::size_t kWindow = 64 * 1024;  // the largest single read
    static constexpr std::size_t kBlock = 256 * 1024;  // what a miss reads: the cache's size
    explicit WindowReader(ByteSource& src);
    WindowReader(const WindowReader&) = delete;
    WindowReader& operator=(const WindowReader&) = delete;
    std::uint64_t size() const { return src_.size(); }
    // Exactly n bytes at offset (n <= kWindow), or a TruncatedTag diagnostic. A miss reads
    // `ahead` bytes from offset on (at least n): a whole block, or less where the bytes that
    // follow are mostly to be skipped.
    Result<std::span<const std::uint8_t>> read(std::uint64_t offset, std::size_t n,
                                               std::size_t ahead = kBlock) {
        if (offset >= start_ && offset - start_ <= len_ && n <= len_ - (offset - start_))
            return std::span<const std::uint8_t>(data_ + (offset - start_), n);
        return readMoving(offset, n, ahead);
    }
    // The bytes the window holds from offset on, without moving it (empty when offset lies
    // outside): a small tag is then taken whole with one bounds check.
    std::span<const std::uint8_t> held(std::uint64_t offset) const {
        if (offset < start_ || offset - start_ >= len_) return {};
        return {data_ + (offset - start_), static_cast<std::size_t>(len_ - (offset - start_))};
    }
    // Changes whenever the window moves, which ends the life of every span it gave.
    std::uint64_t generation() const { return generation_; }
    // Exactly dst.size() bytes at offset, any length.
    Status readInto(std::uint64_t offset, std::span<std::uint8_t> dst);

  private:
    Result<std::span<const std::uint8_t>> readMoving(std::uint64_t offset, std::size_t n,
                                                     std::size_t ahead);

    ByteSource& src_;
    ReadBuffer buf_;
    const std::uint8_t* data_ = nullptr;  // the window's bytes: buf_, or the source's own
    std::uint64_t start_ = 0;
    std::size_t len_ = 0;
    std::uint64_t generation_ = 0;
};

// An owned file descriptor.
class UniqueFd {
  public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    UniqueFd(UniqueFd&& o) noexcept : fd_(o.release()) {}
    UniqueFd& operator=(UniqueFd&& o) noexcept;
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    ~UniqueFd();
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    int release() {
        int f = fd_;
        fd_ = -1;
        return f;
    }
    // close() with its result checked (a late write error can surface here).
    Status close(const std::string& what);

  private:
    int fd_ = -1;
};

// A regular file open for reading, and its size.
struct OpenFile {
    UniqueFd fd;
    std::uint64_t size = 0;
};
Result<OpenFile> openForReading(const std::string& path);

// Writes all of data at offset, retrying short writes.
Status writeAllAt(int fd, std::span<const std::uint8_t> data, std::uint64_t offset,
                  const std::string& what);

// Copies len bytes from in@inOffset to out@outOffset with copy_file_range. Answers false,
// having copied nothing, where the kernel cannot copy between these two files.
Result<bool> kernelCopy(int in, std::uint64_t inOffset, int out, std::uint64_t outOffset,
                        std::uint64_t len);

// Copies len bytes from in@inOffset to out@outOffset: copy_file_range where the kernel
// offers it, else large blocks through user space.
Status copyRange(int in, std::uint64_t inOffset, int out, std::uint64_t outOffset,
                 std::uint64_t len);

}  // namespace flv
