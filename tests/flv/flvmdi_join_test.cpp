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

// A 30 fps AAC clip joined to itself: its sound ends later than its pictures, and a piece
// moved by that alone lands half a frame off the pictures' steps, which ffmpeg rounds into
// two pictures at one time.
TEST(FlvJoin, PicturesKeepTheirStepsAcrossTheJoint) {
    TempDir dir;
    const std::string clip = testmedia::makeClip(
        "join_steps_30fps_aac.flv",
        {"-f", "lavfi", "-i", "testsrc2=size=160x120:rate=30:duration=20", "-f", "lavfi", "-i",
         "sine=frequency=440:sample_rate=44100:duration=20", "-c:v", "libx264", "-c:a", "aac"});
    auto r = testmedia::run({flvmdiPath(), "--join", dir.file("out.flv"), clip, clip});
    ASSERT_EQ(r.exitCode, 0) << r.output;
    EXPECT_EQ(decodeErrors(dir.file("out.flv")), "");
}

}  // namespace
