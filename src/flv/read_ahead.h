#pragma once
// A file read front to back on a second thread while the caller walks the blocks already
// read. A walk over many short tags costs about as much processor time as the kernel's copy
// of the bytes; done one after the other they add up, done side by side the walk costs
// little more than the read alone.
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

#include "flv/io.h"

namespace flv {

class ReadAheadSource : public ByteSource {
  public:
    // Bytes between the starts of two blocks; each block also holds the window that follows
    // it, so that a read of up to `overlap` bytes never spans two blocks.
    static constexpr std::size_t kStride = 1024 * 1024;
    static constexpr std::size_t kOverlap = WindowReader::kWindow;
    static constexpr std::size_t kSlots = 3;  // the block in use and two being read

    // fd stays the caller's; it must outlive the source.
    ReadAheadSource(int fd, std::uint64_t size);
    ~ReadAheadSource() override;
    ReadAheadSource(const ReadAheadSource&) = delete;
    ReadAheadSource& operator=(const ReadAheadSource&) = delete;

    std::uint64_t size() const override { return size_; }
    Result<std::size_t> readAt(std::uint64_t offset, std::span<std::uint8_t> dst) override;
    std::span<const std::uint8_t> lend(std::uint64_t offset) override;

  private:
    enum class SlotState { Free, Reading, Ready };
    struct Slot {
        ReadBuffer buf;
        std::uint64_t block = 0;
        std::size_t len = 0;
        bool failed = false;
        SlotState state = SlotState::Free;
    };
    void produce();
    Slot* slotFor(std::uint64_t block);

    FdSource file_;
    const std::uint64_t size_;
    const std::uint64_t blocks_;
    std::mutex mutex_;
    std::condition_variable changed_;
    Slot slots_[kSlots];
    std::uint64_t nextBlock_ = 0;  // the next block to read
    std::uint64_t inUse_ = 0;      // the block the caller reads from
    bool stop_ = false;
    std::thread thread_;
};

}  // namespace flv
