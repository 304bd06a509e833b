#pragma once
// Where a file's clock jumps: a stream's timestamps moving back, or ahead by more than the
// stream's own frames and the other streams account for (a recorder restarting its clock, or
// stamping the second half of a file an hour later). The repair carries each stream on across
// such a place; a metadata run only reports them.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace flv {

// One place where the clock jumps.
struct ClockJump {
    std::uint64_t offset = 0;  // of the first tag on the new clock
    std::int64_t jumpMs = 0;   // how far it moved beyond its frames: < 0 back, > 0 ahead
};

class ClockMender {
  public:
    enum class Stream { Audio, Video, Script };

    // ms: the stream's (unwrapped) timestamp of the tag at offset, in file order. Answers the
    // time on a continuous clock, rising within each stream, never below 0. Script data follows the
    // streams' clock and is never taken for a jump.
    std::int64_t mend(Stream stream, std::int64_t ms, std::uint64_t offset) {
        // The usual tag: its stream goes on within a jump's reach of where it was.
        if (stream != Stream::Script) {
            Clock& c = clocks_[stream == Stream::Audio ? 0 : 1];
            std::int64_t t = ms + c.offset;
            if (c.started && t >= c.last - kJumpMs && t <= c.last + c.step + kJumpMs) {
                if (t > c.last) {
                    c.step = std::clamp<std::int64_t>(t - c.last, 1, kJumpMs);
                    c.last = t;
                } else {
                    // A repeated time or a small step back: a decoder needs each stream's
                    // times to rise, and a millisecond on is within any frame's length.
                    t = ++c.last;
                }
                lastAny_ = std::max(lastAny_, t);
                return std::max<std::int64_t>(0, t);
            }
        }
        return mendCarefully(stream, ms, offset);
    }
    const std::vector<ClockJump>& jumps() const { return jumps_; }

    // Streams interleave by decoding time within this much; a larger step back, or a step
    // ahead of this much beyond a frame that no other stream has already made, is a fault.
    static constexpr std::int64_t kJumpMs = 1000;

  private:
    std::int64_t mendCarefully(Stream stream, std::int64_t ms, std::uint64_t offset);

    struct Clock {
        std::int64_t offset = 0;
        std::int64_t last = 0;
        std::int64_t step = 40;  // the latest frame spacing, the length the last frame gets
        bool started = false;
        bool onLatestJump = true;
    };
    std::array<Clock, 2> clocks_;
    std::int64_t latestOffset_ = 0;  // of the latest jump: the other streams follow it there
    std::int64_t lastAny_ = 0;
    bool anyStarted_ = false;
    std::vector<ClockJump> jumps_;
};

}  // namespace flv
