#include "flv/clock.h"

#include <algorithm>
#include <cstdlib>

namespace flv {

std::int64_t ClockMender::mendCarefully(Stream stream, std::int64_t ms, std::uint64_t offset) {
    if (stream == Stream::Script) return std::max<std::int64_t>(0, ms + latestOffset_);
    Clock& c = clocks_[stream == Stream::Audio ? 0 : 1];
    // A stream that begins after a jump is on the new clock from its first tag.
    if (!c.started) c.offset = latestOffset_;
    std::int64_t t = ms + c.offset;
    if (c.started) {
        const std::int64_t expected = c.last + c.step;
        const bool back = t < c.last - kJumpMs;
        // A step ahead is time passing when another stream is already there (a video frame
        // after a long still picture while the sound went on).
        const bool ahead = t > expected + kJumpMs && (!anyStarted_ || t > lastAny_ + kJumpMs);
        if (back || ahead) {
            // The other streams' jump at the same place keeps them in step with each other
            // as the source had them.
            if (!c.onLatestJump && std::abs(ms + latestOffset_ - expected) <= kJumpMs) {
                c.offset = latestOffset_;
            } else {
                jumps_.push_back({offset, t - expected});
                c.offset += expected - t;
                latestOffset_ = c.offset;
                for (Clock& other : clocks_) other.onLatestJump = false;
            }
            c.onLatestJump = true;
            t = ms + c.offset;
        }
        if (t > c.last) c.step = std::clamp<std::int64_t>(t - c.last, 1, kJumpMs);
    }
    c.last = c.started ? std::max(c.last, t) : t;
    c.started = true;
    lastAny_ = anyStarted_ ? std::max(lastAny_, t) : t;
    anyStarted_ = true;
    return std::max<std::int64_t>(0, t);
}

}  // namespace flv
