// flvmdi --repair on copies of a clip with each kind of damage old FLV files show: the result
// decodes cleanly, every picture it keeps decodes, it keeps (nearly) every frame, lasts as
// long as the intact content, and the damaged file is left as it was.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <map>

#include "flv_damages.h"
#include "flv_test_util.h"

using namespace flvtest;

namespace {

// Pictures a decoder makes of the file: a frame kept after its reference was lost counts as
// a packet but not as a picture.
long decodedPictures(const std::string& path) {
    auto r = testmedia::run({"ffprobe", "-v", "error", "-select_streams", "v:0", "-count_frames",
                             "-show_entries", "stream=nb_read_frames", "-of", "default=nw=1:nk=1",
                             "file:" + path});
    try {
        return r.exitCode == 0 ? std::stol(r.output) : -1;
    } catch (...) {
        return -1;
    }
}

// 30 s with a keyframe every second: a lost frame costs the rest of its second, the most a
// repair that keeps only decodable pictures can lose to one damaged place, and 95 % of the
// frames leaves room for that.
std::string repairClip() {
    return testmedia::makeClip("repair_h264_aac.flv",
                               {"-f",
                                "lavfi",
                                "-i",
                                "testsrc=size=320x240:rate=25:duration=30",
                                "-f",
                                "lavfi",
                                "-i",
                                "sine=frequency=440:sample_rate=44100:duration=30",
                                "-c:v",
                                "libx264",
                                "-preset",
                                "ultrafast",
                                "-g",
                                "25",
                                "-keyint_min",
                                "25",
                                "-sc_threshold",
                                "0",
                                "-pix_fmt",
                                "yuv420p",
                                "-c:a",
                                "aac",
                                "-ac",
                                "2",
                                "-b:a",
                                "64k",
                                "-shortest"});
}

class FlvmdiRepair : public ::testing::TestWithParam<Damage> {};

TEST_P(FlvmdiRepair, MakesAPlayableCopyAndLeavesTheDamagedFileAlone) {
    TempDir dir;
    const std::string intact = dir.copy(repairClip(), "intact.flv");
    const Bytes damaged = GetParam().apply(readFile(intact));
    writeFile(dir.file("damaged.flv"), damaged);
    auto r = testmedia::run(
        {flvmdiPath(), "--repair", dir.file("damaged.flv"), dir.file("repaired.flv")});
    ASSERT_EQ(r.exitCode, 0) << r.output;
    EXPECT_EQ(readFile(dir.file("damaged.flv")), damaged);
    EXPECT_NE(r.output.find(", " + std::to_string(GetParam().clockJumps) + " clock jumps mended"),
              std::string::npos)
        << r.output;

    const std::string out = dir.file("repaired.flv");
    const std::string errors = decodeErrors(out);
    EXPECT_TRUE(errors.empty()) << errors.substr(0, 400);
    EXPECT_EQ(flvmetaErrors(out), 0);
    EXPECT_EQ(metadataFaults(readFile(out)), "");
    EXPECT_NEAR(testmedia::probeDuration(out), testmedia::probeDuration(intact), 1.0);
    const long all = decodedPictures(intact), kept = decodedPictures(out);
    EXPECT_EQ(kept, testmedia::probeVideoFrames(out)) << "video kept that cannot be decoded";
    if (GetParam().keepsEveryFrame)
        EXPECT_EQ(kept, all);
    else
        EXPECT_GE(kept * 100, all * 95) << kept << " of " << all;
}

// A metadata run keeps the file's clock as it is, but says where it jumps.
TEST(FlvmdiClockJumps, AMetadataRunWarnsOfEachJump) {
    TempDir dir;
    const std::string intact = dir.copy(repairClip(), "intact.flv");
    for (const Damage& d : damages()) {
        if (d.clockJumps == 0) continue;
        writeFile(dir.file("jumps.flv"), d.apply(readFile(intact)));
        auto r = runFlvmdi(dir.file("jumps.flv"));
        EXPECT_EQ(r.exitCode, 0) << r.output;
        std::size_t warnings = 0;
        for (std::size_t at = r.output.find("warning: E110"); at != std::string::npos;
             at = r.output.find("warning: E110", at + 1))
            ++warnings;
        EXPECT_EQ(warnings, static_cast<std::size_t>(d.clockJumps)) << d.name << r.output;
    }
    EXPECT_EQ(runFlvmdi(intact).output.find("E110"), std::string::npos);
}

// A frame stamped with the time of the one before, or a little before it: each stream's times
// rise after the repair, as a decoder and a muxer need them to.
TEST(FlvmdiClockJumps, RepeatedOrSlightlyEarlierTimesRiseAfterTheRepair) {
    TempDir dir;
    auto tags = splitTags(readFile(dir.copy(repairClip(), "intact.flv")));
    std::uint32_t previous = 0;
    int n = 0;
    for (RawTag& t : tags) {
        if (t.type != 9 || t.timestamp == 0) continue;
        const std::uint32_t was = t.timestamp;
        if (++n % 50 == 0)
            t = makeTag(9, n % 100 == 0 ? previous : previous - 10,
                        Bytes(t.bytes.begin() + 11, t.bytes.end()));
        previous = was;
    }
    writeFile(dir.file("stamps.flv"), joinTags(tags, 5));
    auto r = testmedia::run(
        {flvmdiPath(), "--repair", dir.file("stamps.flv"), dir.file("repaired.flv")});
    ASSERT_EQ(r.exitCode, 0) << r.output;
    EXPECT_NE(r.output.find(", 0 clock jumps mended"), std::string::npos) << r.output;
    std::map<int, std::int64_t> last;
    for (const RawTag& t : splitTags(readFile(dir.file("repaired.flv")))) {
        const bool config = t.body(1) == 0 && ((t.type == 9 && (t.body(0) & 0x0F) == 7) ||
                                               (t.type == 8 && t.body(0) >> 4 == 10));
        if (t.type == 18 || config) continue;
        if (last.count(t.type)) {
            EXPECT_GT(t.timestamp, last[t.type]) << "at byte " << t.offset;
        }
        last[t.type] = t.timestamp;
    }
}

INSTANTIATE_TEST_SUITE_P(Damages, FlvmdiRepair, ::testing::ValuesIn(damages()),
                         [](const auto& info) { return info.param.name; });

TEST(FlvmdiRepairRefusals, NothingUsableOrTheSourceAsOutput) {
    TempDir dir;
    writeFile(dir.file("noise.flv"), Bytes(5000, 0x5A));
    EXPECT_EQ(testmedia::run({flvmdiPath(), "--repair", dir.file("noise.flv"), dir.file("o.flv")})
                  .exitCode,
              1);
    const std::string src = dir.copy(testmedia::clip("h263_mp3.flv"), "src.flv");
    EXPECT_EQ(testmedia::run({flvmdiPath(), "--repair", src, src}).exitCode, 1);
    EXPECT_EQ(testmedia::run({flvmdiPath(), "--repair", src}).exitCode, 2);
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"noise.flv", "src.flv"}));
}

}  // namespace
