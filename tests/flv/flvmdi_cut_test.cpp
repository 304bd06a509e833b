// flvmdi --cut on clips made by ffmpeg: the cut starts at the right keyframe with its codec
// configuration, keeps every tag's data, decodes from its first picture, stays in step, and
// carries metadata that other tools accept; cuts join back into one clean file.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <map>
#include <sstream>

#include "flv_test_util.h"

using namespace flvtest;

namespace {

struct CutCase {
    std::string name;
    std::function<std::string()> clip;
    bool video = true, audio = true;
};

std::string videoOnly() {
    return testmedia::makeClip("cut_video_only.flv",
                               {"-f", "lavfi", "-i", "testsrc=size=160x120:rate=25:duration=10",
                                "-c:v", "libx264", "-preset", "ultrafast", "-bf", "2", "-g", "25"});
}
std::string audioOnly() {
    return testmedia::makeClip("cut_audio_only.flv",
                               {"-f", "lavfi", "-i", "sine=frequency=440:duration=10", "-c:a",
                                "libmp3lame", "-b:a", "64k"});
}
// B-frames, AAC, and a clock that starts far from zero.
std::string h264Offset() {
    return testmedia::makeClip("cut_h264_bframes_offset.flv",
                               {"-f",        "lavfi",
                                "-i",        "testsrc=size=160x120:rate=25:duration=10",
                                "-f",        "lavfi",
                                "-i",        "sine=frequency=440:sample_rate=44100:duration=10",
                                "-c:v",      "libx264",
                                "-preset",   "ultrafast",
                                "-bf",       "2",
                                "-g",        "50",
                                "-c:a",      "aac",
                                "-b:a",      "64k",
                                "-shortest", "-output_ts_offset",
                                "3600"});
}

std::vector<CutCase> cutCases() {
    return {{"h264_aac", [] { return testmedia::clip("h264_aac.flv"); }},
            {"h263_mp3", [] { return testmedia::clip("h263_mp3.flv"); }},
            {"h264_bframes_offset", h264Offset},
            {"video_only", videoOnly, true, false},
            {"audio_only", audioOnly, false, true}};
}

testmedia::RunResult cut(const std::string& src, std::int64_t from, std::int64_t to,
                         const std::string& out) {
    return testmedia::run(
        {flvmdiPath(), "--cut", std::to_string(from), std::to_string(to), src, out});
}

// md5 of each decoded picture by its time in ms on the file's own clock, in display order.
std::vector<std::pair<long, std::string>> pictures(const std::string& path) {
    auto r = testmedia::run({"ffmpeg", "-v", "error", "-nostdin", "-copyts", "-i", path, "-map",
                             "0:v:0", "-enc_time_base", "-1", "-f", "framemd5", "-"});
    std::vector<std::pair<long, std::string>> out;
    std::istringstream in(r.output);
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string> f;
        std::istringstream fields(line);
        for (std::string x; std::getline(fields, x, ',');) f.push_back(x);
        if (f.size() >= 6) out.emplace_back(std::atol(f[2].c_str()), f[5]);
    }
    return out;
}

// How late an AVC picture is shown after its decoding time.
std::int64_t cts(const RawTag& t) {
    if (t.type != 9 || (t.body(0) & 0x0F) != 7) return 0;
    const std::int32_t v = t.body(2) << 16 | t.body(3) << 8 | t.body(4);
    return v & 0x800000 ? v - 0x1000000 : v;
}

// AVC and AAC configuration tags.
bool isConfig(const RawTag& t) {
    return (t.type == 9 && (t.body(0) & 0x0F) == 7 && t.body(1) == 0) ||
           (t.type == 8 && (t.body(0) >> 4) == 10 && t.body(1) == 0);
}

class FlvmdiCut : public ::testing::TestWithParam<CutCase> {};

TEST_P(FlvmdiCut, KeepsTheSpanFromTheKeyframeByteForByte) {
    const CutCase& c = GetParam();
    TempDir dir;
    const std::string src = dir.copy(c.clip(), "src.flv");
    const Bytes before = readFile(src);
    const auto srcTags = audioVideoTags(splitTags(before));
    // Positions count from the earliest picture or sound (configurations may carry 0
    // whatever the clock).
    std::int64_t t0 = INT64_MAX;
    for (const RawTag& t : srcTags)
        if (!isConfig(t)) t0 = std::min<std::int64_t>(t0, t.timestamp + cts(t));
    auto r = cut(src, 3500, 7000, dir.file("out.flv"));
    const std::int64_t from = t0 + 3500, to = t0 + 7000;
    ASSERT_EQ(r.exitCode, 0) << r.output;
    EXPECT_EQ(readFile(src), before);  // the source is only read

    const auto outAll = splitTags(readFile(dir.file("out.flv")));
    ASSERT_FALSE(outAll.empty());
    EXPECT_EQ(scriptName(outAll.front()), "onMetaData");
    const auto out = audioVideoTags(outAll);
    ASSERT_FALSE(out.empty());

    // The keyframe the cut starts at: the last at or before the start.
    // The keyframe whose picture is shown last at or before the start.
    std::uint32_t keyTs = 0;
    for (const RawTag& t : srcTags)
        if ((c.video ? t.isVideoKeyframe() : t.type == 8) && t.timestamp + cts(t) <= from)
            keyTs = t.timestamp;
    if (c.video) {
        auto firstVideo = std::find_if(out.begin(), out.end(),
                                       [](const RawTag& t) { return t.type == 9 && !isConfig(t); });
        ASSERT_NE(firstVideo, out.end());
        EXPECT_TRUE(firstVideo->isVideoKeyframe());
        EXPECT_EQ(firstVideo->timestamp, 0u);
        EXPECT_EQ(firstVideo->timestamp + keyTs,
                  std::find_if(srcTags.begin(), srcTags.end(), [&](const RawTag& t) {
                      return t.isVideoKeyframe() && t.timestamp == keyTs;
                  })->timestamp);
        if ((firstVideo->body(0) & 0x0F) == 7) {  // AVC: its configuration comes first
            EXPECT_EQ(out.front().body(0), 0x17);
            EXPECT_EQ(out.front().body(1), 0);
        }
    }

    // Every tag's data is a source tag's, in the source's order.
    std::size_t at = 0;
    for (const RawTag& t : out) {
        auto same = [&](const RawTag& s) {
            return s.type == t.type && std::equal(s.bytes.begin() + 11, s.bytes.end(),
                                                  t.bytes.begin() + 11, t.bytes.end());
        };
        if (isConfig(t)) {
            EXPECT_NE(std::find_if(srcTags.begin(), srcTags.end(), same), srcTags.end());
            continue;
        }
        auto found = std::find_if(srcTags.begin() + static_cast<long>(at), srcTags.end(), same);
        ASSERT_NE(found, srcTags.end()) << "a tag out of order or not from the source";
        EXPECT_EQ(t.timestamp, found->timestamp - keyTs);
        at = static_cast<std::size_t>(found - srcTags.begin()) + 1;
    }

    // In step: the first audio within one audio frame of the first picture.
    if (c.video && c.audio) {
        auto firstAudio = std::find_if(out.begin(), out.end(),
                                       [](const RawTag& t) { return t.type == 8 && !isConfig(t); });
        ASSERT_NE(firstAudio, out.end());
        EXPECT_LE(firstAudio->timestamp, 27u);
    }
    if (c.video) {
        const auto srcPictures = pictures(src);
        const auto outPictures = pictures(dir.file("out.flv"));
        ASSERT_FALSE(outPictures.empty());
        // Timestamps moved by the keyframe's: the first picture is the source's at the key.
        const long keyPts = outPictures.front().first + long(keyTs);
        auto keyPicture = std::find_if(srcPictures.begin(), srcPictures.end(),
                                       [&](const auto& p) { return p.first == keyPts; });
        ASSERT_NE(keyPicture, srcPictures.end());
        EXPECT_EQ(outPictures.front().second, keyPicture->second);
    }
    EXPECT_EQ(decodeErrors(dir.file("out.flv")), "");
    EXPECT_EQ(flvmetaErrors(dir.file("out.flv")), 0);
    EXPECT_EQ(metadataFaults(readFile(dir.file("out.flv"))), "");
    const double kept = (to - static_cast<double>(keyTs)) / 1000.0;
    EXPECT_NEAR(testmedia::probeDuration(dir.file("out.flv")), kept, 0.1);
}

INSTANTIATE_TEST_SUITE_P(Clips, FlvmdiCut, ::testing::ValuesIn(cutCases()),
                         [](const auto& info) { return info.param.name; });

TEST(FlvmdiCutJoin, ThreeCutsJoinIntoOneCleanFileTheirLengthsLong) {
    TempDir dir;
    const std::string src = dir.copy(testmedia::clip("h264_aac.flv"), "src.flv");
    std::vector<std::string> parts;
    double sum = 0;
    const std::int64_t spans[][2] = {{0, 2000}, {4000, 6000}, {7500, 9500}};
    for (const auto& s : spans) {
        parts.push_back(dir.file("part" + std::to_string(parts.size()) + ".flv"));
        auto r = cut(src, s[0], s[1], parts.back());
        ASSERT_EQ(r.exitCode, 0) << r.output;
        sum += testmedia::probeDuration(parts.back());
    }
    auto r = testmedia::run(
        {flvmdiPath(), "--join", dir.file("joined.flv"), parts[0], parts[1], parts[2]});
    ASSERT_EQ(r.exitCode, 0) << r.output;
    EXPECT_EQ(decodeErrors(dir.file("joined.flv")), "");
    EXPECT_EQ(flvmetaErrors(dir.file("joined.flv")), 0);
    EXPECT_EQ(metadataFaults(readFile(dir.file("joined.flv"))), "");
    EXPECT_NEAR(testmedia::probeDuration(dir.file("joined.flv")), sum, 0.15);
    EXPECT_EQ(scriptName(splitTags(readFile(dir.file("joined.flv"))).front()), "onMetaData");
}

// libx264's defaults (B-frames in a pyramid) at 30 fps, a keyframe every 2 s, with sound.
std::string h264Defaults() {
    return testmedia::makeClip(
        "cut_h264_x264_defaults.flv",
        {"-f", "lavfi", "-i", "testsrc=size=320x240:rate=30:duration=12", "-f", "lavfi", "-i",
         "sine=frequency=440:duration=12", "-c:v", "libx264", "-g", "60", "-pix_fmt", "yuv420p",
         "-c:a", "aac", "-shortest"});
}

// The same with open groups (x264 open-gop=1): a piece then starts at an I-picture that is not
// an IDR, whose frame numbers and picture order go on from the piece before it.
std::string h264OpenGroups() {
    return testmedia::makeClip(
        "cut_h264_x264_open_gop.flv",
        {"-f", "lavfi", "-i", "testsrc=size=320x240:rate=30:duration=12", "-f", "lavfi", "-i",
         "sine=frequency=440:duration=12", "-c:v", "libx264", "-g", "60", "-x264-params",
         "open-gop=1", "-pix_fmt", "yuv420p", "-c:a", "aac", "-shortest"});
}

// Ends that fall inside a group of B-frames: every picture shown before the end is kept, and
// the joined pieces are shown in order, each source picture at most once and each piece
// without a hole, with no complaint from a decoder.
TEST(FlvmdiCutJoin, BFramePiecesKeepEveryPictureOfTheirSpanAndJoinInOrder) {
    for (const auto& clip : {h264Defaults, h264OpenGroups}) {
        TempDir dir;
        const std::string src = dir.copy(clip(), "src.flv");
        SCOPED_TRACE(src);
        const auto srcPictures = pictures(src);
        ASSERT_GT(srcPictures.size(), 300u);
        std::map<std::string, long> index;
        for (std::size_t i = 0; i < srcPictures.size(); ++i)
            index.emplace(srcPictures[i].second, long(i));
        // Positions count from the earliest picture or sound; keyframes are 2 s apart from
        // there (plus the first picture's delay), so no two pieces share a picture.
        long t0 = LONG_MAX;
        for (const RawTag& t : audioVideoTags(splitTags(readFile(src))))
            if (!isConfig(t)) t0 = std::min(t0, long(t.timestamp + cts(t)));
        const std::int64_t spans[][2] = {{0, 3133}, {4100, 6200}, {8100, 10100}};
        std::vector<std::string> parts;
        for (const auto& s : spans) {
            parts.push_back(dir.file("part" + std::to_string(parts.size()) + ".flv"));
            auto r = cut(src, s[0], s[1], parts.back());
            ASSERT_EQ(r.exitCode, 0) << r.output;
        }
        auto r = testmedia::run(
            {flvmdiPath(), "--join", dir.file("joined.flv"), parts[0], parts[1], parts[2]});
        ASSERT_EQ(r.exitCode, 0) << r.output;
        EXPECT_EQ(decodeErrors(dir.file("joined.flv")), "");

        std::vector<long> shown;
        int runs = 0;  // of source pictures that follow each other
        for (const auto& p : pictures(dir.file("joined.flv"))) {
            auto found = index.find(p.second);
            ASSERT_NE(found, index.end()) << "a picture that is not the source's";
            if (!shown.empty()) {
                EXPECT_GT(found->second, shown.back()) << "out of order or twice";
            }
            if (shown.empty() || found->second != shown.back() + 1) ++runs;
            shown.push_back(found->second);
        }
        EXPECT_EQ(runs, 3) << "a piece with a hole";
        for (std::size_t i = 0; i < srcPictures.size(); ++i) {
            const long at = srcPictures[i].first - t0;
            for (const auto& s : spans) {
                if (at >= s[0] && at < s[1]) {
                    EXPECT_TRUE(std::binary_search(shown.begin(), shown.end(), long(i)))
                        << "picture at " << at << " ms missing";
                }
            }
        }
    }
}

// Open groups, as some encoders write them: the pictures after a keyframe that are shown
// before it refer to the group before, so a cut from that keyframe leaves them out.
TEST(FlvmdiCutJoin, CutFromAnOpenGroupHoldsOnlyPicturesItCanDecode) {
    TempDir dir;
    const std::string src =
        dir.copy(testmedia::makeClip(
                     "cut_h264_open_gop.flv",
                     {"-f", "lavfi", "-i", "testsrc=size=320x240:rate=30:duration=8", "-c:v",
                      "libx264", "-g", "60", "-x264-params", "open-gop=1", "-pix_fmt", "yuv420p"}),
                 "src.flv");
    std::map<std::string, long> index;
    for (const auto& p : pictures(src)) index.emplace(p.second, long(index.size()));
    ASSERT_EQ(cut(src, 2100, 4100, dir.file("cut.flv")).exitCode, 0);
    EXPECT_EQ(decodeErrors(dir.file("cut.flv")), "");
    const auto got = pictures(dir.file("cut.flv"));
    ASSERT_FALSE(got.empty());
    for (std::size_t i = 0; i < got.size(); ++i) {
        auto found = index.find(got[i].second);
        ASSERT_NE(found, index.end()) << "picture " << i << " is not the source's";
        EXPECT_EQ(found->second, index.at(got[0].second) + long(i));
    }
}

// A recording whose picture starts a second after its sound: a cut from the beginning, from
// the keyframe or exactly at the marks, keeps that second of sound, in step with the picture.
TEST(FlvmdiCutJoin, CutBeforeALateFirstPictureKeepsTheSoundBeforeIt) {
    TempDir dir;
    const std::string src = dir.copy(
        testmedia::makeClip("cut_late_picture.flv",
                            {"-f", "lavfi", "-i", "sine=frequency=440:duration=4", "-itsoffset",
                             "1", "-f", "lavfi", "-i", "testsrc=size=160x120:rate=25:duration=3",
                             "-map", "1:v", "-map", "0:a", "-c:v", "libx264", "-c:a", "aac"}),
        "src.flv");
    // Nothing to rebuild in this span, so the exact cut's splice needs no encoded pictures.
    const std::string plan =
        testmedia::run({flvmdiPath(), "--exact-plan", "0", "3000", src}).output;
    ASSERT_NE(plan.find("head_frames=0\n"), std::string::npos) << plan;
    ASSERT_NE(plan.find("tail_frames=0\n"), std::string::npos) << plan;
    const std::string copy = dir.file("cut.flv"), exact = dir.file("exact.flv");
    ASSERT_EQ(cut(src, 0, 3000, copy).exitCode, 0);
    ASSERT_EQ(
        testmedia::run({flvmdiPath(), "--splice", "0", "3000", src, "-", "-", exact}).exitCode, 0);
    for (const std::string& out : {copy, exact}) {
        SCOPED_TRACE(out);
        EXPECT_EQ(decodeErrors(out), "");
        EXPECT_NEAR(testmedia::probeDuration(out), 3.0, 0.1);
        const std::string soundStart =
            testmedia::run({"ffprobe", "-v", "error", "-select_streams", "a:0", "-show_entries",
                            "stream=start_time", "-of", "csv=p=0", out})
                .output;
        EXPECT_NEAR(std::atof(soundStart.c_str()), 0.0, 0.03) << soundStart;
        const auto first = pictures(out);
        ASSERT_FALSE(first.empty());
        EXPECT_EQ(first.front().second, pictures(src).front().second);
        EXPECT_NEAR(first.front().first, 1000, 50) << "the picture no longer in step";
    }
}

// A picture size that changes half-way (a second AVC configuration) and a cue point: a cut
// after the change starts with the configuration in force there, and keeps the cue point.
TEST(FlvmdiCutJoin, ConfigurationInForceAndCuePointsAreKept) {
    TempDir dir;
    const std::vector<std::string> stereoAac = {"-c:a", "aac", "-ac", "2", "-ar", "44100"};
    auto clip = [&](const std::string& name, const std::string& size) {
        std::vector<std::string> a = {
            "-f",   "lavfi",   "-i",       "testsrc=size=" + size + ":rate=25:duration=4",
            "-f",   "lavfi",   "-i",       "sine=frequency=440:duration=4",
            "-c:v", "libx264", "-preset",  "ultrafast",
            "-g",   "25",      "-shortest"};
        a.insert(a.end(), stereoAac.begin(), stereoAac.end());
        return testmedia::makeClip(name, a);
    };
    const std::string big = clip("cut_size_320.flv", "320x240");
    const std::string small = clip("cut_size_160.flv", "160x120");
    auto r = testmedia::run({flvmdiPath(), "--join", dir.file("changing.flv"), big, small});
    ASSERT_EQ(r.exitCode, 0) << r.output;

    // A cue point in the second half.
    auto tags = splitTags(readFile(dir.file("changing.flv")));
    flv::AmfValue cue;
    cue.type = flv::AmfType::Object;
    cue.properties.push_back({"name", flv::AmfValue::makeString("here")});
    std::size_t at = 0;
    while (at < tags.size() && (tags[at].type == 18 || tags[at].timestamp < 5500)) ++at;
    tags.insert(tags.begin() + static_cast<long>(at),
                makeTag(18, 5500, scriptBody("onCuePoint", cue)));
    writeFile(dir.file("src.flv"), joinTags(tags, 5));

    r = cut(dir.file("src.flv"), 5200, 7000, dir.file("out.flv"));
    ASSERT_EQ(r.exitCode, 0) << r.output;
    const auto out = splitTags(readFile(dir.file("out.flv")));
    const auto media = audioVideoTags(out);
    ASSERT_FALSE(media.empty());
    // The second clip's configuration, not the first's, comes before the first picture.
    const auto configs = std::count_if(tags.begin(), tags.end(), [](const RawTag& t) {
        return t.type == 9 && t.body(0) == 0x17 && t.body(1) == 0;
    });
    ASSERT_EQ(configs, 2);
    const RawTag* second = nullptr;
    for (const RawTag& t : tags)
        if (t.type == 9 && t.body(0) == 0x17 && t.body(1) == 0) second = &t;
    EXPECT_TRUE(std::equal(media.front().bytes.begin() + 11, media.front().bytes.end(),
                           second->bytes.begin() + 11, second->bytes.end()));
    const auto cueOut = std::find_if(out.begin(), out.end(),
                                     [](const RawTag& t) { return scriptName(t) == "onCuePoint"; });
    ASSERT_NE(cueOut, out.end());
    EXPECT_EQ(decodeErrors(dir.file("out.flv")), "");
    EXPECT_EQ(flvmetaErrors(dir.file("out.flv")), 0);
    auto size = testmedia::run({"ffprobe", "-v", "error", "-select_streams", "v:0", "-show_entries",
                                "stream=width", "-of", "csv=p=0", dir.file("out.flv")});
    EXPECT_EQ(size.output.substr(0, 3), "160");
}

TEST(FlvmdiCutJoin, ReportsProgressToTheProgramThatRunsIt) {
    TempDir dir;
    const std::string src = dir.copy(testmedia::clip("h264_aac.flv"), "src.flv");
    // Standard output is a pipe here, as under the tool runner.
    auto r = cut(src, 1000, 9000, dir.file("out.flv"));
    ASSERT_EQ(r.exitCode, 0) << r.output;
    std::istringstream in(r.output);
    long last = -1;
    int lines = 0;
    bool ended = false;
    for (std::string l; std::getline(in, l);) {
        if (l.rfind("out_time_us=", 0) == 0) {
            const long us = std::atol(l.c_str() + 12);
            EXPECT_GE(us, last);
            last = us;
            ++lines;
        }
        ended = ended || l == "progress=end";
    }
    EXPECT_GE(lines, 1);
    EXPECT_TRUE(ended);
    EXPECT_NEAR(static_cast<double>(last) / 1e6, testmedia::probeDuration(dir.file("out.flv")),
                0.1);
}

TEST(FlvmdiCutJoin, RefusesWhatItCannotDoWithoutTouchingAnything) {
    TempDir dir;
    const std::string src = dir.copy(testmedia::clip("h263_mp3.flv"), "src.flv");
    const Bytes before = readFile(src);
    EXPECT_EQ(cut(src, 1000, 2000, src).exitCode, 1);  // the output is the source
    EXPECT_EQ(cut(src, 3000, 3000, dir.file("a.flv")).exitCode, 1);
    EXPECT_EQ(cut(src, 60000, 70000, dir.file("b.flv")).exitCode, 1);  // past the end
    EXPECT_EQ(cut(dir.file("missing.flv"), 0, 1000, dir.file("c.flv")).exitCode, 1);
    for (auto args :
         std::vector<std::vector<std::string>>{{"--cut", "1000", "2000", src},
                                               {"--cut", "-5", "2000", src, dir.file("d.flv")},
                                               {"--cut", "1.5", "2000", src, dir.file("d.flv")}}) {
        args.insert(args.begin(), flvmdiPath());
        EXPECT_EQ(testmedia::run(args).exitCode, 2);
    }
    EXPECT_EQ(readFile(src), before);
    EXPECT_EQ(dir.names(), std::vector<std::string>{"src.flv"});
}

}  // namespace
