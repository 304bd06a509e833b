#include "flv/codec_headers.h"

#include "flv/bit_reader.h"
#include "flv/bytes.h"
#include "flv/h264_sps.h"

namespace flv {

std::optional<Dimensions> h263Dimensions(std::span<const std::uint8_t> p) {
    BitReader br(p);
    if (br.bits(17) != 1) return std::nullopt;  // picture start code
    br.bits(5);                                 // version
    br.bits(8);                                 // temporal reference
    Dimensions d;
    switch (br.bits(3)) {
        case 0:
            d.width = br.bits(8), d.height = br.bits(8);
            break;
        case 1:
            d.width = br.bits(16), d.height = br.bits(16);
            break;
        case 2:
            d = {352, 288};
            break;
        case 3:
            d = {176, 144};
            break;
        case 4:
            d = {128, 96};
            break;
        case 5:
            d = {320, 240};
            break;
        case 6:
            d = {160, 120};
            break;
        default:
            return std::nullopt;
    }
    if (br.failed() || d.width == 0 || d.height == 0) return std::nullopt;
    return d;
}

std::optional<Dimensions> screenVideoDimensions(std::span<const std::uint8_t> p) {
    if (p.size() < 4) return std::nullopt;
    Dimensions d{be16(p.data()) & 0x0FFFu, be16(p.data() + 2) & 0x0FFFu};
    if (d.width == 0 || d.height == 0) return std::nullopt;
    return d;
}

std::optional<Dimensions> vp6Dimensions(std::span<const std::uint8_t> p, bool alpha) {
    std::size_t start = alpha ? 4 : 1;
    if (p.size() < start + 1) return std::nullopt;
    std::uint8_t adjust = p[0];
    auto f = p.subspan(start);
    if (f.size() < 2 || (f[0] & 0x80)) return std::nullopt;  // only keyframes carry the size
    bool separatedCoeff = f[0] & 1;
    bool filterHeader = f[1] & 0x06;
    std::size_t at = (separatedCoeff || !filterHeader) ? 4 : 2;
    if (f.size() < at + 2) return std::nullopt;
    std::uint32_t rows = f[at], cols = f[at + 1];
    std::uint32_t cutX = adjust >> 4, cutY = adjust & 0x0F;
    if (rows == 0 || cols == 0 || cols * 16 <= cutX || rows * 16 <= cutY) return std::nullopt;
    return Dimensions{cols * 16 - cutX, rows * 16 - cutY};
}

std::optional<Dimensions> avcConfigDimensions(std::span<const std::uint8_t> rec) {
    ByteReader in(rec);
    in.take(5);  // version, profile, compatibility, level, NAL length size
    int spsCount = in.u8() & 0x1F;
    for (int i = 0; i < spsCount && !in.failed(); ++i) {
        auto len = in.u16();
        auto nal = in.take(len);
        if (in.failed()) break;
        if (auto sps = parseSps(nal)) return sps->size;
    }
    return std::nullopt;
}

std::optional<Dimensions> videoDimensions(std::span<const std::uint8_t> body) {
    auto info = classifyVideoTag(body);
    if (body.size() < 2 || info.frameType == 5) return std::nullopt;
    auto payload = body.subspan(1);
    switch (info.codecId) {
        case videocodec::kH263:
            return h263Dimensions(payload);
        case videocodec::kScreen:
        case videocodec::kScreen2:
            return screenVideoDimensions(payload);
        case videocodec::kVp6:
            return vp6Dimensions(payload, false);
        case videocodec::kVp6Alpha:
            return vp6Dimensions(payload, true);
        case videocodec::kAvc:
            if (info.kind != VideoKind::SequenceHeader || body.size() < 5) return std::nullopt;
            return avcConfigDimensions(body.subspan(5));
        default:
            return std::nullopt;
    }
}

std::optional<AacConfig> parseAudioSpecificConfig(std::span<const std::uint8_t> asc) {
    static constexpr double kRates[] = {96000, 88200, 64000, 48000, 44100, 32000, 24000,
                                        22050, 16000, 12000, 11025, 8000,  7350};
    BitReader br(asc);
    AacConfig c;
    c.objectType = static_cast<int>(br.bits(5));
    if (c.objectType == 31) c.objectType = 32 + static_cast<int>(br.bits(6));
    std::uint32_t index = br.bits(4);
    if (index == 15)
        c.sampleRate = br.bits(24);
    else if (index < 13)
        c.sampleRate = kRates[index];
    else
        return std::nullopt;
    c.channels = static_cast<int>(br.bits(4));
    if (br.failed() || c.sampleRate <= 0) return std::nullopt;
    return c;
}

std::optional<Mp3Header> parseMp3Header(std::span<const std::uint8_t> f) {
    if (f.size() < 4 || f[0] != 0xFF || (f[1] & 0xE0) != 0xE0) return std::nullopt;
    int version = (f[1] >> 3) & 3;  // 0: MPEG 2.5, 2: MPEG 2, 3: MPEG 1
    int rateIndex = (f[2] >> 2) & 3;
    if (version == 1 || rateIndex == 3 || ((f[1] >> 1) & 3) == 0) return std::nullopt;
    static constexpr double kMpeg1[] = {44100, 48000, 32000};
    double rate = kMpeg1[rateIndex];
    if (version == 2) rate /= 2;
    if (version == 0) rate /= 4;
    return Mp3Header{rate, ((f[3] >> 6) & 3) == 3 ? 1 : 2};
}

std::optional<AudioFormat> audioFormat(std::span<const std::uint8_t> body) {
    if (body.empty()) return std::nullopt;
    static constexpr double kRates[] = {5512.5, 11025, 22050, 44100};
    AudioFormat a;
    a.codecId = body[0] >> 4;
    a.sampleRate = kRates[(body[0] >> 2) & 3];
    a.sampleSize = (body[0] & 2) ? 16 : 8;
    a.stereo = body[0] & 1;
    switch (a.codecId) {
        case audiocodec::kAac:
            a.sampleSize = 16;
            if (isAacSequenceHeader(body)) {
                auto c = parseAudioSpecificConfig(body.subspan(2));
                if (!c) return std::nullopt;
                a.sampleRate = c->sampleRate;
                a.stereo = c->channels != 1;
            }
            break;
        case audiocodec::kMp3:
            if (auto h = parseMp3Header(body.subspan(1))) {
                a.sampleRate = h->sampleRate;
                a.stereo = h->channels == 2;
            }
            break;
        case audiocodec::kMp3_8k:
            a.sampleRate = 8000;
            break;
        case audiocodec::kNelly16k:
            a.sampleRate = 16000;
            break;
        case audiocodec::kNelly8k:
            a.sampleRate = 8000;
            break;
        case audiocodec::kSpeex:
            a.sampleRate = 16000;
            break;
        default:
            break;
    }
    return a;
}

}  // namespace flv
