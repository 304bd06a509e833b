// flvmdi --repair on copies of a clip with each kind of damage old FLV files show: the result
// decodes cleanly, keeps (nearly) every frame, lasts as long as the intact content, and the
// damaged file is left as it was.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

#include "flv_test_util.h"

using namespace flvtest;

namespace {

long videoFrames(const std::string& path) { return testmedia::probeVideoFrames(path); }

std::string decodeErrors(const std::string& path) {
    return testmedia::run({"ffmpeg", "-v", "error", "-nostdin", "-i", path, "-f", "null", "-"})
        .output;
}

// Offsets of the PreviousTagSize after each tag of a well-formed file.
std::vector<std::size_t> trailers(const Bytes& file) {
    std::vector<std::size_t> out;
    for (const RawTag& t : splitTags(file)) out.push_back(t.offset + t.bytes.size());
    return out;
}

struct Damage {
    std::string name;
    std::function<Bytes(const Bytes&)> apply;
    bool keepsEveryFrame = true;
};

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
             std::fill_n(b.begin() + long(d.size() / 2), 4096, 0);
             return b;
         },
         false},
        {"garbage_stretch",
         [](const Bytes& d) {
             Bytes b = d;
             std::uint32_t x = 12345;
             for (std::size_t i = d.size() / 3; i < d.size() / 3 + 3000; ++i) {
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
             auto tags = splitTags(d);
             const std::size_t half = tags.size() / 2;
             const std::uint32_t base = tags[half].timestamp;
             for (std::size_t i = half; i < tags.size(); ++i) {
                 if (tags[i].type == 18) continue;
                 const std::uint32_t ts = tags[i].timestamp >= base ? tags[i].timestamp - base : 0;
                 tags[i] = makeTag(tags[i].type, ts,
                                   Bytes(tags[i].bytes.begin() + 11, tags[i].bytes.end()));
             }
             return joinTags(tags, d[4]);
         }},
    };
}

class FlvmdiRepair : public ::testing::TestWithParam<Damage> {};

TEST_P(FlvmdiRepair, MakesAPlayableCopyAndLeavesTheDamagedFileAlone) {
    TempDir dir;
    const std::string intact = dir.copy(testmedia::clip("h264_aac.flv"), "intact.flv");
    const Bytes damaged = GetParam().apply(readFile(intact));
    writeFile(dir.file("damaged.flv"), damaged);
    auto r = testmedia::run(
        {flvmdiPath(), "--repair", dir.file("damaged.flv"), dir.file("repaired.flv")});
    ASSERT_EQ(r.exitCode, 0) << r.output;
    EXPECT_EQ(readFile(dir.file("damaged.flv")), damaged);

    const std::string out = dir.file("repaired.flv");
    const std::string errors = decodeErrors(out);
    EXPECT_TRUE(errors.empty()) << errors.substr(0, 400);
    EXPECT_EQ(flvmetaErrors(out), 0);
    EXPECT_EQ(metadataFaults(readFile(out)), "");
    EXPECT_NEAR(testmedia::probeDuration(out), testmedia::probeDuration(intact), 1.0);
    const long all = videoFrames(intact), kept = videoFrames(out);
    if (GetParam().keepsEveryFrame)
        EXPECT_EQ(kept, all);
    else
        EXPECT_GE(kept * 100, all * 95) << kept << " of " << all;
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
