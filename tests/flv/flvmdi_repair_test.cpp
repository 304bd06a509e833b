// flvmdi --repair on copies of a clip with each kind of damage old FLV files show: the result
// decodes cleanly, keeps (nearly) every frame, lasts as long as the intact content, and the
// damaged file is left as it was.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

#include "flv_damages.h"
#include "flv_test_util.h"

using namespace flvtest;

namespace {

long videoFrames(const std::string& path) { return testmedia::probeVideoFrames(path); }

std::string decodeErrors(const std::string& path) {
    return testmedia::run({"ffmpeg", "-v", "error", "-nostdin", "-i", path, "-f", "null", "-"})
        .output;
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
