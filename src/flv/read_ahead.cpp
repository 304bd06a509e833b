#include "flv/read_ahead.h"

#include <algorithm>
#include <system_error>

namespace flv {

ReadAheadSource::ReadAheadSource(int fd, std::uint64_t size)
    : file_(fd, size), size_(size), blocks_((size + kStride - 1) / kStride) {
    for (Slot& s : slots_) s.buf = ReadBuffer(kStride + kOverlap);
    try {
        thread_ = std::thread([this] { produce(); });
    } catch (const std::system_error&) {
        // No thread to spare (a process limit): the caller reads every block itself.
    }
}

ReadAheadSource::~ReadAheadSource() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable()) thread_.join();
}

Result<std::size_t> ReadAheadSource::readAt(std::uint64_t offset, std::span<std::uint8_t> dst) {
    return file_.readAt(offset, dst);
}

void ReadAheadSource::produce() {
    std::unique_lock lock(mutex_);
    for (;;) {
        Slot* slot = nullptr;
        changed_.wait(lock, [&] {
            if (stop_) return true;
            if (nextBlock_ >= blocks_ || nextBlock_ >= inUse_ + kSlots) return false;
            for (Slot& s : slots_)
                if (s.state == SlotState::Free) slot = &s;
            return slot != nullptr;
        });
        if (stop_) return;
        slot->state = SlotState::Reading;
        slot->block = nextBlock_++;
        lock.unlock();

        const std::uint64_t offset = slot->block * kStride;
        const std::size_t want = std::min<std::uint64_t>(slot->buf.size(), size_ - offset);
        auto got = readUpTo(file_, offset, slot->buf.span().first(want));

        lock.lock();
        slot->len = got ? *got : 0;
        slot->failed = !got;
        slot->state = SlotState::Ready;
        changed_.notify_all();
    }
}

ReadAheadSource::Slot* ReadAheadSource::slotFor(std::uint64_t block) {
    for (Slot& s : slots_)
        if (s.state != SlotState::Free && s.block == block) return &s;
    return nullptr;
}

std::span<const std::uint8_t> ReadAheadSource::lend(std::uint64_t offset) {
    if (offset >= size_ || !thread_.joinable()) return {};
    const std::uint64_t block = offset / kStride;
    std::unique_lock lock(mutex_);
    // Blocks behind the caller are done with; a block read before a jump back is not asked
    // for again by a forward walk, and the caller's own read serves it.
    if (block < inUse_ || (block < nextBlock_ && !slotFor(block))) return {};
    inUse_ = block;
    if (nextBlock_ < block) nextBlock_ = block;  // a jump ahead: what lies between is skipped
    Slot* slot = nullptr;
    changed_.wait(lock, [&] {
        bool freed = false;
        for (Slot& s : slots_)
            if (s.state == SlotState::Ready && s.block < block) {
                s.state = SlotState::Free;
                freed = true;
            }
        if (freed) changed_.notify_all();
        slot = slotFor(block);
        return slot && slot->state == SlotState::Ready;
    });
    if (slot->failed) return {};
    const std::size_t at = offset - block * kStride;
    if (at >= slot->len) return {};
    return {slot->buf.data() + at, slot->len - at};
}

}  // namespace flv
