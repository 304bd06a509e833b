// flvmdi --join on pieces ffmpeg cut from a real clip.
#include <gtest/gtest.h>

#include "flv_test_util.h"

using namespace flvtest;

namespace {

TEST(FlvJoin, ProgramJoinsRealPiecesThatDecodeCleanly) {
    TempDir dir;
    // Pieces of an H.263/MP3 clip cut at different places: one begins with audio.
    const std::string clip = testmedia::clip("h263_mp3.flv");
    std::vector<std::string> pieces;
    for (const char* from : {"1.0", "4.56"}) {
        pieces.push_back(dir.file(std::string("piece") + from + ".flv"));
        auto r = testmedia::run({"ffmpeg", "-v", "error", "-y", "-ss", from, "-i", clip, "-t", "2",
                                 "-c", "copy", pieces.back()});
        ASSERT_EQ(r.exitCode, 0) << r.output;
    }
    auto r = testmedia::run({flvmdiPath(), "--join", dir.file("out.flv"), pieces[0], pieces[1]});
    ASSERT_EQ(r.exitCode, 0) << r.output;
    auto decode = testmedia::run(
        {"ffmpeg", "-v", "error", "-nostdin", "-i", dir.file("out.flv"), "-f", "null", "-"});
    EXPECT_EQ(decode.output, "");
    EXPECT_EQ(runFlvmdi(dir.file("out.flv")).exitCode, 0);
    EXPECT_EQ(flvmetaErrors(dir.file("out.flv")), 0);
    auto usage = testmedia::run({flvmdiPath(), "--join", dir.file("only.flv")});
    EXPECT_EQ(usage.exitCode, 2);
}

}  // namespace
