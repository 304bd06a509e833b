#pragma once
// What metadata needs from the first bytes of audio and video tag bodies: frame kinds,
// picture sizes (Sorenson H.263, screen video, VP6, H.264 SPS) and audio formats (the
// flags byte, the AAC AudioSpecificConfig, the MP3 frame header).
#include <cstdint>
#include <optional>
#include <span>

#include "flv/bytes.h"

namespace flv {

namespace videocodec {
constexpr int kH263 = 2, kScreen = 3, kVp6 = 4, kVp6Alpha = 5, kScreen2 = 6, kAvc = 7;
}
namespace audiocodec {
constexpr int kMp3 = 2, kNelly16k = 4, kNelly8k = 5, kAac = 10, kSpeex = 11, kMp3_8k = 14;
}

struct Dimensions {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    bool operator==(const Dimensions&) const = default;
};

enum class VideoKind {
    Frame,           // a coded picture that is not a keyframe
    Keyframe,        // a coded keyframe: a seek point
    SequenceHeader,  // AVC decoder configuration
    EndOfSequence,   // AVC end of sequence
    Other,           // info/command frames, disposable frames, empty bodies
};

struct VideoTagInfo {
    int codecId = 0;
    int frameType = 0;
    VideoKind kind = VideoKind::Other;
    // How much later than its decoding time (the tag's timestamp) an AVC picture is shown.
    std::int32_t compositionMs = 0;
    bool countsAsFrame() const { return kind == VideoKind::Frame || kind == VideoKind::Keyframe; }
};

// Classifies a video tag from its first bytes: an AVC picture needs 6 (its packet type and
// composition time before any data), a configuration 2; fewer answer VideoKind::Other.
// Inline: a scan asks it of every video tag.
inline VideoTagInfo classifyVideoTag(std::span<const std::uint8_t> body) {
    VideoTagInfo info;
    if (body.empty()) return info;
    info.frameType = body[0] >> 4;
    info.codecId = body[0] & 0x0F;
    if (info.frameType == 5 || info.frameType == 3) return info;  // info or disposable
    if (info.codecId == videocodec::kAvc) {
        if (body.size() < 2) return info;
        if (body[1] == 0)
            info.kind = VideoKind::SequenceHeader;
        else if (body[1] == 2)
            info.kind = VideoKind::EndOfSequence;
        else if (body[1] == 1 && body.size() > 5) {
            info.kind = info.frameType == 1 ? VideoKind::Keyframe : VideoKind::Frame;
            // A signed 24-bit value.
            const std::int32_t v = static_cast<std::int32_t>(be24(body.data() + 2));
            info.compositionMs = v & 0x800000 ? v - 0x1000000 : v;
        }
        return info;
    }
    if (body.size() < 2) return info;
    info.kind = info.frameType == 1 ? VideoKind::Keyframe : VideoKind::Frame;
    return info;
}

// Picture size from a video tag body prefix, for the codecs whose frames carry it
// (H.263, screen video, VP6 keyframes) or from an AVC sequence header.
std::optional<Dimensions> videoDimensions(std::span<const std::uint8_t> body);

std::optional<Dimensions> h263Dimensions(std::span<const std::uint8_t> payload);
std::optional<Dimensions> screenVideoDimensions(std::span<const std::uint8_t> payload);
// payload starts at the adjustment byte; alpha skips the 24-bit alpha offset.
std::optional<Dimensions> vp6Dimensions(std::span<const std::uint8_t> payload, bool alpha);
// An AVCDecoderConfigurationRecord: the size of its first SPS.
std::optional<Dimensions> avcConfigDimensions(std::span<const std::uint8_t> record);

struct AudioFormat {
    int codecId = 0;
    double sampleRate = 0;
    int sampleSize = 0;  // bits
    bool stereo = false;
};

// The flags byte alone, then refined from the codec's own header where there is one.
std::optional<AudioFormat> audioFormat(std::span<const std::uint8_t> body);
inline bool isAacSequenceHeader(std::span<const std::uint8_t> body) {
    return body.size() >= 2 && (body[0] >> 4) == audiocodec::kAac && body[1] == 0;
}

struct AacConfig {
    int objectType = 0;
    double sampleRate = 0;
    int channels = 0;
};
std::optional<AacConfig> parseAudioSpecificConfig(std::span<const std::uint8_t> asc);

struct Mp3Header {
    double sampleRate = 0;
    int channels = 0;
};
std::optional<Mp3Header> parseMp3Header(std::span<const std::uint8_t> frame);

}  // namespace flv
