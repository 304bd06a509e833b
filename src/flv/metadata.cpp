#include "flv/metadata.h"

#include <array>
#include <chrono>
#include <string_view>

namespace flv {

namespace {

constexpr std::array<std::string_view, 28> kComputedKeys = {
    "hasMetadata",
    "hasVideo",
    "hasAudio",
    "duration",
    "lasttimestamp",
    "lastkeyframetimestamp",
    "lastkeyframelocation",
    "width",
    "height",
    "videodatarate",
    "audiodatarate",
    "framerate",
    "videocodecid",
    "audiocodecid",
    "audiosamplerate",
    "audiosamplesize",
    "stereo",
    "filesize",
    "videosize",
    "audiosize",
    "datasize",
    "metadatacreator",
    "metadatadate",
    "canSeekToEnd",
    "hasCuePoints",
    "hasKeyframes",
    "keyframes",
    "padding",
};

double kbps(std::uint64_t bytes, double seconds) {
    return seconds > 0 ? static_cast<double>(bytes) * 8.0 / 1000.0 / seconds : 0.0;
}

// Collects the top-level pairs so the ECMA array count is exact by construction.
class MetadataEncoder {
  public:
    MetadataEncoder(const ScanResult& scan, const NewLayout& layout)
        : scan_(scan), layout_(layout) {}

    std::vector<std::uint8_t> encode(double nowMs, std::optional<std::uint32_t> paddingNulls) {
        ByteWriter out;
        AmfWriter amf(out);
        amf.string("onMetaData");
        std::size_t countAt = out.size() + 1;
        amf.beginEcmaArray(0);
        writeGeneral(amf, nowMs);
        if (scan_.hasVideo()) writeVideo(amf);
        if (scan_.hasAudio()) writeAudio(amf);
        writeOldKeys(amf);
        writeKeyframes(amf);
        if (paddingNulls) writePadding(amf, *paddingNulls);
        amf.endObject();
        // The exact count of pairs, patched in now that they are written.
        auto& d = out.data();
        for (int i = 0; i < 4; ++i)
            d[countAt + i] = static_cast<std::uint8_t>(count_ >> (24 - 8 * i));
        return std::move(d);
    }

  private:
    void writeGeneral(AmfWriter& amf, double nowMs) {
        double duration = scan_.durationSeconds();
        std::uint64_t ownTag =
            layout_.metadataTagBytes ? layout_.metadataTagBytes - kPrevSizeSize : 0;
        std::uint64_t datasize = ownTag + scan_.keptScriptBytes;
        pair(amf, "hasMetadata").boolean(true);
        pair(amf, "hasVideo").boolean(scan_.hasVideo());
        pair(amf, "hasAudio").boolean(scan_.hasAudio());
        pair(amf, "duration").number(duration);
        pair(amf, "lasttimestamp").number(static_cast<double>(scan_.lastTimestampMs()) / 1000.0);
        pair(amf, "filesize").number(static_cast<double>(layout_.fileSize));
        pair(amf, "videosize").number(static_cast<double>(scan_.video.tagBytes));
        pair(amf, "audiosize").number(static_cast<double>(scan_.audio.tagBytes));
        pair(amf, "datasize").number(static_cast<double>(datasize));
        pair(amf, "metadatacreator").string(kMetadataCreator);
        pair(amf, "metadatadate").date(nowMs, 0);
        pair(amf, "canSeekToEnd").boolean(scan_.lastVideoIsKeyframe);
        pair(amf, "hasCuePoints").boolean(scan_.hasCuePoints);
        pair(amf, "hasKeyframes").boolean(!scan_.keyframes.empty());
    }

    void writeVideo(AmfWriter& amf) {
        double duration = scan_.durationSeconds();
        double frameMs = scan_.video.frameDurationMs();
        std::uint64_t lastLocation = 0;
        double lastTime = 0;
        if (!scan_.keyframes.empty()) {
            // The last keyframe's new offset: map every earlier one first (order matters).
            NewLayout::Mapper m(scan_, layout_);
            for (const auto& k : scan_.keyframes) lastLocation = m.map(k.offset);
            lastTime = static_cast<double>(scan_.keyframes.back().timeMs) / 1000.0;
        }
        if (scan_.dimensions) {
            pair(amf, "width").number(scan_.dimensions->width);
            pair(amf, "height").number(scan_.dimensions->height);
        }
        pair(amf, "videocodecid").number(scan_.videoCodecId.value_or(0));
        pair(amf, "framerate").number(frameMs > 0 ? 1000.0 / frameMs : 0.0);
        pair(amf, "videodatarate").number(kbps(scan_.video.bodyBytes, duration));
        pair(amf, "lastkeyframetimestamp").number(lastTime);
        pair(amf, "lastkeyframelocation").number(static_cast<double>(lastLocation));
    }

    void writeAudio(AmfWriter& amf) {
        AudioFormat f = scan_.audioFormat.value_or(AudioFormat{});
        pair(amf, "audiocodecid").number(f.codecId);
        pair(amf, "audiosamplerate").number(f.sampleRate);
        pair(amf, "audiosamplesize").number(f.sampleSize);
        pair(amf, "stereo").boolean(f.stereo);
        pair(amf, "audiodatarate").number(kbps(scan_.audio.bodyBytes, scan_.durationSeconds()));
    }

    void writeOldKeys(AmfWriter& amf) {
        if (!scan_.oldMetadata) return;
        for (const auto& p : scan_.oldMetadata->properties) {
            if (isComputedKey(p.key)) continue;
            ++count_;
            amf.key(p.key);
            amf.value(p.value);
        }
    }

    void writeKeyframes(AmfWriter& amf) {
        auto n = static_cast<std::uint32_t>(scan_.keyframes.size());
        pair(amf, "keyframes").beginObject();
        amf.key("filepositions");
        amf.beginStrictArray(n);
        NewLayout::Mapper m(scan_, layout_);
        for (const auto& k : scan_.keyframes) amf.number(static_cast<double>(m.map(k.offset)));
        amf.key("times");
        amf.beginStrictArray(n);
        for (const auto& k : scan_.keyframes) amf.number(static_cast<double>(k.timeMs) / 1000.0);
        amf.endObject();
    }

    void writePadding(AmfWriter& amf, std::uint32_t nulls) {
        pair(amf, kPaddingKey).beginStrictArray(nulls);
        for (std::uint32_t i = 0; i < nulls; ++i) amf.value(AmfValue{});
    }

    AmfWriter& pair(AmfWriter& amf, std::string_view key) {
        ++count_;
        amf.key(key);
        return amf;
    }

    const ScanResult& scan_;
    const NewLayout& layout_;
    std::uint32_t count_ = 0;
};

}  // namespace

std::uint64_t NewLayout::Mapper::map(std::uint64_t oldOffset) {
    const auto& removed = scan_.metadataTags;
    while (next_ < removed.size() && removed[next_].offset < oldOffset) {
        removed_ += removed[next_].length;
        ++next_;
    }
    return layout_.keptStart + (oldOffset - scan_.header.firstTagOffset()) - removed_;
}

bool isComputedKey(const std::string& key) {
    for (auto k : kComputedKeys)
        if (k == key) return true;
    return false;
}

std::vector<std::uint8_t> encodeMetadataBody(const ScanResult& scan, const NewLayout& layout,
                                             double nowMs,
                                             std::optional<std::uint32_t> paddingNulls) {
    return MetadataEncoder(scan, layout).encode(nowMs, paddingNulls);
}

double metadataNowMs() {
    using namespace std::chrono;
    return static_cast<double>(
        duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count());
}

}  // namespace flv
