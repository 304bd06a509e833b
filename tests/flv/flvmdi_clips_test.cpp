// flvmdi on clips made by ffmpeg: the audio and video tags come out byte-identical and in
// order, the new onMetaData comes first with the right values, and other tools agree.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <functional>

#include "flv_test_util.h"

using namespace flvtest;

namespace {

std::vector<std::string> lavfiAv(const std::string& video, const std::string& audio) {
    return {"-f", "lavfi", "-i", video, "-f", "lavfi", "-i", audio};
}

std::vector<std::string> operator+(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const std::vector<std::string> kX264 = {"-c:v", "libx264", "-preset",       "ultrafast",
                                        "-g",   "25",      "-sc_threshold", "0"};

std::string h264Variant(const std::string& name, const std::string& size,
                        const std::vector<std::string>& extra) {
    return testmedia::makeClip(
        name, std::vector<std::string>{"-f", "lavfi", "-i",
                                       "testsrc=size=" + size + ":rate=25:duration=2"} +
                  kX264 + extra);
}

// Moves the onMetaData tag of a clip from the front to the middle of the file.
std::string metadataMidFile(const TempDir& dir) {
    auto tags = splitTags(readFile(testmedia::clip("h264_aac.flv")));
    auto meta = tags.front();
    EXPECT_EQ(scriptName(meta), "onMetaData");
    tags.erase(tags.begin());
    tags.insert(tags.begin() + static_cast<long>(tags.size() / 2), meta);
    std::string path = dir.file("midfile_src.flv");
    writeFile(path, joinTags(tags, 5));
    return path;
}

// Adds an onCuePoint script tag among the audio and video tags of a stripped clip.
std::string withCuePoint(const TempDir& dir, const std::string& from) {
    auto tags = splitTags(readFile(from));
    flv::AmfValue cue;
    cue.type = flv::AmfType::Object;
    cue.properties.push_back({"name", flv::AmfValue::makeString("chapter2")});
    cue.properties.push_back({"time", flv::AmfValue::makeNumber(2.0)});
    cue.properties.push_back({"type", flv::AmfValue::makeString("event")});
    tags.insert(tags.begin() + 40, makeTag(18, 2000, scriptBody("onCuePoint", cue)));
    std::string path = dir.file("cue_src.flv");
    writeFile(path, joinTags(tags, 5));
    return path;
}

std::string stripped() {
    return testmedia::makeClip(
        "flvmdi_stripped.flv",
        lavfiAv("testsrc=size=320x240:rate=25:duration=6",
                "sine=frequency=440:sample_rate=44100:duration=6") +
            kX264 +
            std::vector<std::string>{"-c:a", "aac", "-shortest", "-flvflags", "no_metadata"});
}

struct ClipCase {
    std::string name;
    std::function<std::string(const TempDir&)> make;
    double duration;
    int width = 0, height = 0;  // 0: no video
    double sampleRate = 0;      // 0: no audio
    bool stereo = false;
    bool cuePoints = false;
    double firstSeconds = 0;  // of the first keyframe
};

void PrintTo(const ClipCase& c, std::ostream* os) { *os << c.name; }

std::vector<ClipCase> clipCases() {
    return {
        {"h264_aac", [](const TempDir&) { return testmedia::clip("h264_aac.flv"); }, 10, 320, 240,
         44100, true},
        {"h263_mp3", [](const TempDir&) { return testmedia::clip("h263_mp3.flv"); }, 10, 320, 240,
         44100, false},
        {"audio_only",
         [](const TempDir&) {
             return testmedia::makeClip(
                 "flvmdi_audio_only.flv",
                 {"-f", "lavfi", "-i", "sine=frequency=440:sample_rate=22050:duration=6", "-c:a",
                  "libmp3lame", "-b:a", "32k"});
         },
         6, 0, 0, 22050, false},
        {"video_only",
         [](const TempDir&) {
             return testmedia::makeClip(
                 "flvmdi_video_only.flv",
                 std::vector<std::string>{"-f", "lavfi", "-i",
                                          "testsrc=size=176x144:rate=25:duration=6"} +
                     kX264);
         },
         6, 176, 144},
        {"ts_16770",
         [](const TempDir&) {
             return testmedia::makeClip(
                 "flvmdi_ts16770.flv", lavfiAv("testsrc=size=160x120:rate=25:duration=20",
                                               "sine=frequency=440:sample_rate=44100:duration=20") +
                                           kX264 +
                                           std::vector<std::string>{"-c:a", "aac", "-shortest",
                                                                    "-output_ts_offset", "16770"});
         },
         20, 160, 120, 44100, false, false, 16770},
        {"aac_48k_mono",
         [](const TempDir&) {
             return testmedia::makeClip(
                 "flvmdi_aac48mono.flv",
                 lavfiAv("testsrc=size=160x120:rate=25:duration=8",
                         "sine=frequency=440:sample_rate=48000:duration=8") +
                     kX264 + std::vector<std::string>{"-c:a", "aac", "-ac", "1", "-shortest"});
         },
         8, 160, 120, 48000, false},
        {"screen_video",
         [](const TempDir&) {
             return testmedia::makeClip(
                 "flvmdi_screen.flv",
                 {"-f", "lavfi", "-i", "testsrc=size=160x120:rate=10:duration=3", "-c:v", "flashsv",
                  "-g", "10"});
         },
         3, 160, 120},
        {"h263_8bit_size",
         [](const TempDir&) {
             return testmedia::makeClip(
                 "flvmdi_h263_200.flv",
                 {"-f", "lavfi", "-i", "testsrc=size=200x150:rate=25:duration=2", "-c:v", "flv1",
                  "-g", "25"});
         },
         2, 200, 150},
        {"h263_16bit_size",
         [](const TempDir&) {
             return testmedia::makeClip(
                 "flvmdi_h263_400.flv",
                 {"-f", "lavfi", "-i", "testsrc=size=400x304:rate=25:duration=2", "-c:v", "flv1",
                  "-g", "25"});
         },
         2, 400, 304},
        {"h264_high_crop",
         [](const TempDir&) {
             return h264Variant("flvmdi_h264_high.flv", "322x242",
                                {"-pix_fmt", "yuv420p", "-profile:v", "high"});
         },
         2, 322, 242},
        {"h264_high422",
         [](const TempDir&) {
             return h264Variant("flvmdi_h264_422.flv", "326x246", {"-pix_fmt", "yuv422p"});
         },
         2, 326, 246},
        {"h264_high444",
         [](const TempDir&) {
             return h264Variant("flvmdi_h264_444.flv", "327x247", {"-pix_fmt", "yuv444p"});
         },
         2, 327, 247},
        {"h264_interlaced",
         [](const TempDir&) {
             return h264Variant("flvmdi_h264_tff.flv", "320x240",
                                {"-pix_fmt", "yuv420p", "-x264-params", "interlaced=1"});
         },
         2, 320, 240},
        {"stripped", [](const TempDir&) { return stripped(); }, 6, 320, 240, 44100, false},
        {"metadata_mid_file", metadataMidFile, 10, 320, 240, 44100, true},
        {"cue_point", [](const TempDir& d) { return withCuePoint(d, stripped()); }, 6, 320, 240,
         44100, false, true},
    };
}

class FlvmdiClip : public ::testing::TestWithParam<ClipCase> {};

// Keyframes as an independent reader sees them: frame type 1 pictures, first per timestamp.
std::vector<RawTag> expectedKeyframes(const std::vector<RawTag>& tags) {
    std::vector<RawTag> out;
    for (const auto& t : tags)
        if (t.isVideoKeyframe() && (out.empty() || out.back().timestamp != t.timestamp))
            out.push_back(t);
    return out;
}

void expectKeyframeIndex(const flv::AmfValue& meta, const Bytes& file,
                         const std::vector<RawTag>& tags, const ClipCase& c) {
    const flv::AmfValue* kf = meta.find("keyframes");
    ASSERT_TRUE(kf);
    const flv::AmfValue* pos = kf->find("filepositions");
    const flv::AmfValue* times = kf->find("times");
    ASSERT_TRUE(pos && times);
    auto expected = expectedKeyframes(tags);
    ASSERT_EQ(pos->items.size(), expected.size());
    ASSERT_EQ(times->items.size(), expected.size());
    std::map<std::uint64_t, const RawTag*> byOffset;
    for (const auto& t : tags) byOffset[t.offset] = &t;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        auto offset = static_cast<std::uint64_t>(pos->items[i].number);
        ASSERT_TRUE(byOffset.count(offset)) << "keyframe " << i << " points between tags";
        const RawTag& t = *byOffset[offset];
        EXPECT_TRUE(t.isVideoKeyframe()) << "keyframe " << i;
        EXPECT_EQ(file[offset], 9);
        EXPECT_NEAR(times->items[i].number * 1000, t.timestamp, 0.01) << "keyframe " << i;
    }
    if (c.width) {
        ASSERT_FALSE(expected.empty());
        EXPECT_NEAR(times->items[0].number, c.firstSeconds, 0.1);
        EXPECT_EQ(num(meta, "lastkeyframelocation"), pos->items.back().number);
        EXPECT_EQ(num(meta, "lastkeyframetimestamp"), times->items.back().number);
    }
}

void expectValues(const flv::AmfValue& meta, const ClipCase& c, std::uint64_t size) {
    EXPECT_EQ(meta.type, flv::AmfType::EcmaArray);
    EXPECT_NEAR(num(meta, "duration"), c.duration, 0.15);
    EXPECT_EQ(num(meta, "filesize"), static_cast<double>(size));
    EXPECT_EQ(num(meta, "hasVideo"), c.width ? 1 : 0);
    EXPECT_EQ(num(meta, "hasAudio"), c.sampleRate ? 1 : 0);
    EXPECT_EQ(num(meta, "hasCuePoints"), c.cuePoints ? 1 : 0);
    if (c.width) {
        EXPECT_EQ(num(meta, "width"), c.width);
        EXPECT_EQ(num(meta, "height"), c.height);
    }
    if (c.sampleRate) {
        EXPECT_EQ(num(meta, "audiosamplerate"), c.sampleRate);
        EXPECT_EQ(num(meta, "stereo"), c.stereo ? 1 : 0);
    }
    const flv::AmfValue* creator = meta.find("metadatacreator");
    ASSERT_TRUE(creator);
    EXPECT_EQ(creator->text, "Lumba.FLV flvmdi");
}

void expectSameMedia(const std::vector<RawTag>& before, const std::vector<RawTag>& after) {
    auto a = audioVideoTags(before), b = audioVideoTags(after);
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i) ASSERT_EQ(a[i].bytes, b[i].bytes) << "tag " << i;
    // Script tags other than onMetaData travel unchanged too.
    std::vector<Bytes> sa, sb;
    for (const auto& t : before)
        if (t.type == 18 && scriptName(t) != "onMetaData") sa.push_back(t.bytes);
    for (const auto& t : after)
        if (t.type == 18 && scriptName(t) != "onMetaData") sb.push_back(t.bytes);
    EXPECT_EQ(sa, sb);
}

TEST_P(FlvmdiClip, RebuildsMetadataAndKeepsEveryTag) {
    const ClipCase& c = GetParam();
    TempDir dir;
    std::string file = dir.copy(c.make(dir), "clip.flv");
    auto before = splitTags(readFile(file));

    auto r = runFlvmdi(file);
    ASSERT_EQ(r.exitCode, 0) << r.output;
    Bytes out = readFile(file);
    auto after = splitTags(out);
    expectSameMedia(before, after);
    ASSERT_FALSE(after.empty());
    ASSERT_EQ(after[0].offset, 13u);
    ASSERT_EQ(scriptName(after[0]), "onMetaData");
    int metadataTags = 0;
    for (const auto& t : after) metadataTags += scriptName(t) == "onMetaData";
    EXPECT_EQ(metadataTags, 1);
    EXPECT_EQ(out[4], (c.sampleRate ? 4 : 0) | (c.width ? 1 : 0));

    auto meta = scriptValue(after[0]);
    ASSERT_TRUE(meta);
    expectValues(*meta, c, out.size());
    if (c.width) expectKeyframeIndex(*meta, out, after, c);
    EXPECT_EQ(flvmetaErrors(file), 0);
    EXPECT_NEAR(testmedia::probeDuration(file), num(*meta, "duration"), 0.01);

    // A second run finds the metadata already right (its date aside) and writes nothing.
    struct stat first {};
    ASSERT_EQ(::stat(file.c_str(), &first), 0);
    auto again = runFlvmdi(file);
    ASSERT_EQ(again.exitCode, 0) << again.output;
    EXPECT_NE(again.output.find("already current, nothing written"), std::string::npos)
        << again.output;
    struct stat second {};
    ASSERT_EQ(::stat(file.c_str(), &second), 0);
    EXPECT_EQ(readFile(file), out);
    EXPECT_EQ(second.st_mtim.tv_sec, first.st_mtim.tv_sec);
    EXPECT_EQ(second.st_mtim.tv_nsec, first.st_mtim.tv_nsec);
    for (const auto& n : dir.names()) EXPECT_EQ(n.find("flvmdi"), std::string::npos) << n;
}

INSTANTIATE_TEST_SUITE_P(Clips, FlvmdiClip, ::testing::ValuesIn(clipCases()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
