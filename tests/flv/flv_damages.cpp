#include "flv_damages.h"

#include <algorithm>

namespace flvtest {

namespace {

// Offsets of the PreviousTagSize after each tag of a well-formed file.
std::vector<std::size_t> trailers(const Bytes& file) {
    std::vector<std::size_t> out;
    for (const RawTag& t : splitTags(file)) out.push_back(t.offset + t.bytes.size());
    return out;
}

// Where a stretch of damage begins: a little before the first tag header at or after
// `from`, so it breaks the framing (damage inside one body, framing intact, is beyond what any
// container-level repair can see).
std::size_t stretchStart(const Bytes& file, std::size_t from) {
    for (const RawTag& t : splitTags(file))
        if (t.offset >= from) return t.offset - 100;
    return from;
}

// From the middle tag on, every audio and video tag's time t becomes f(t, time of that tag).
Bytes restampSecondHalf(const Bytes& d, std::uint32_t (*f)(std::uint32_t, std::uint32_t)) {
    auto tags = splitTags(d);
    const std::size_t half = tags.size() / 2;
    const std::uint32_t base = tags[half].timestamp;
    for (std::size_t i = half; i < tags.size(); ++i) {
        if (tags[i].type == 18) continue;
        tags[i] = makeTag(tags[i].type, f(tags[i].timestamp, base),
                          Bytes(tags[i].bytes.begin() + 11, tags[i].bytes.end()));
    }
    return joinTags(tags, d[4]);
}

}  // namespace

std::vector<Damage> damages() {
    return {
        {"previous_tag_sizes_zeroed",
         [](const Bytes& d) {
             Bytes b = d;
             for (std::size_t at : trailers(d)) std::fill_n(b.begin() + long(at), 4, 0);
             std::fill_n(b.begin() + 9, 4, 0);
             return b;
         }},
        {"header_destroyed",
         [](const Bytes& d) {
             Bytes b = d;
             for (int i = 0; i < 9; ++i) b[i] = static_cast<std::uint8_t>(0xA5 ^ (i * 37));
             return b;
         }},
        {"zeroed_stretch",
         [](const Bytes& d) {
             Bytes b = d;
             std::fill_n(b.begin() + long(stretchStart(d, d.size() / 2)), 4096, 0);
             return b;
         },
         false},
        {"garbage_stretch",
         [](const Bytes& d) {
             Bytes b = d;
             std::uint32_t x = 12345;
             const std::size_t start = stretchStart(d, d.size() / 3);
             for (std::size_t i = start; i < start + 3000; ++i) {
                 x = x * 1103515245 + 12345;
                 b[i] = static_cast<std::uint8_t>(x >> 16);
             }
             return b;
         },
         false},
        {"last_tag_truncated", [](const Bytes& d) { return Bytes(d.begin(), d.end() - 100); },
         false},
        {"clock_restarts_half_way",
         [](const Bytes& d) {
             return restampSecondHalf(d, [](std::uint32_t ts, std::uint32_t base) {
                 return ts >= base ? ts - base : 0;
             });
         },
         true, 1},
        {"clock_jumps_an_hour_ahead",
         [](const Bytes& d) {
             return restampSecondHalf(
                 d, [](std::uint32_t ts, std::uint32_t) { return ts + 3'600'000; });
         },
         true, 1},
        // No damage: a live recording as ffmpeg writes it, its frames stamped from 3 h on and
        // the decoder configurations at 0.
        {"recording_starts_three_hours_in",
         [](const Bytes& d) {
             auto tags = splitTags(d);
             for (RawTag& t : tags) {
                 const Bytes body(t.bytes.begin() + 11, t.bytes.end());
                 const bool config = body.size() >= 2 && body[1] == 0 &&
                                     ((t.type == 9 && (body[0] & 0x0F) == 7) ||
                                      (t.type == 8 && body[0] >> 4 == 10));
                 if (t.type != 18 && !config) t = makeTag(t.type, t.timestamp + 10'800'000, body);
             }
             return joinTags(tags, d[4]);
         },
         true, 0},
    };
}

}  // namespace flvtest
