// The program stream reader gives the cut starts the keyframe probe gives, on program streams
// of every kind the real ffmpeg writes, and leaves to the probe what it cannot read.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <random>

#include "probe_answers.h"
#include "save_media.h"
#include "test_media.h"
#include "tools/program_stream_keys.h"

using namespace save;

namespace {

// 12 s 320x240 25 fps, with codecArgs between the inputs and the output.
std::string psClip(const std::string& name, std::vector<std::string> codecArgs) {
    std::vector<std::string> a{
        "-f", "lavfi", "-i", "testsrc2=size=320x240:rate=25:duration=12",
        "-f", "lavfi", "-i", "sine=frequency=440:sample_rate=48000:duration=12"};
    a.insert(a.end(), codecArgs.begin(), codecArgs.end());
    a.push_back("-shortest");
    return testmedia::makeClip(name, a);
}

std::string mpeg1Clip() {
    return psClip("ps_mpeg1.mpg",
                  {"-c:v", "mpeg1video", "-bf", "2", "-g", "12", "-b:v", "4M", "-c:a", "mp2"});
}

std::string truncatedCopy(const std::string& src, const QString& to) {
    QFile in(QString::fromStdString(src)), out(to);
    EXPECT_TRUE(in.open(QIODevice::ReadOnly) && out.open(QIODevice::WriteOnly));
    out.write(in.read(in.size() / 2 + 1001));  // mid-packet
    return to.toStdString();
}

}  // namespace

// S from 0 past the end (on keyframes, between them, before and after the first), on closed
// and open groups of pictures with B-frames, MPEG-1 and MPEG-2 packs, MP2 and AC-3 sound, a
// stream without sound whose keyframes fall on whole seconds, and one whose clock begins at
// 100 s. The copy ends of parts that end at those times too.
TEST(ProgramStreamKeys, SameCutStartsAsTheProbe) {
    const std::vector<std::string> clips = {
        mpeg1Clip(),
        psClip("ps_mpeg2_closed.vob",
               {"-c:v", "mpeg2video", "-bf", "2", "-g", "12", "-flags", "+cgop", "-sc_threshold",
                "1000000000", "-b:v", "4M", "-c:a", "mp2"}),
        psClip("ps_mpeg2_open_late.mpg", {"-c:v", "mpeg2video", "-bf", "2", "-g", "15", "-b:v",
                                          "4M", "-c:a", "mp2", "-output_ts_offset", "100"}),
        psClip("ps_mpeg2_video_only.vob",
               {"-c:v", "mpeg2video", "-bf", "2", "-g", "25", "-b:v", "4M", "-an"}),
        psClip("ps_dvd.vob", {"-map", "0:v", "-map", "1:a", "-map", "1:a", "-target", "pal-dvd",
                              "-s", "352x288", "-b:v", "5M", "-c:a:1", "mp2", "-b:a:1", "192k"}),
    };
    std::vector<int64_t> starts;
    for (int64_t S = 0; S <= 13; ++S) starts.push_back(S);
    starts.push_back(40);
    int runOn = 0;  // copy ends past the end, over every clip with B-pictures
    for (const std::string& clip : clips) {
        SCOPED_TRACE(clip);
        const auto cuts = programStreamCuts(clip, starts, starts);
        ASSERT_TRUE(cuts.has_value());
        const std::vector<CutStart>* read = &cuts->starts;
        ASSERT_EQ(read->size(), starts.size());
        for (size_t k = 0; k < starts.size(); ++k) {
            SCOPED_TRACE("S=" + std::to_string(starts[k]));
            const CutStart want = savetest::probedStart(clip, starts[k], tools::ToolKind::Mpeg);
            const CutStart& got = (*read)[k];
            EXPECT_NEAR(got.keyTime, want.keyTime, 0.001);
            EXPECT_NEAR(got.keyDecodeTime, want.keyDecodeTime, 0.001);
            EXPECT_EQ(got.fromFileStart, want.fromFileStart);
        }
        // The same copy ends, read around each S as the end of a part (from 2 s: before, the
        // probe counts from the video's first picture, a copy from the media start).
        const std::vector<int64_t> ends(starts.begin() + 2, starts.end() - 1);
        const std::vector<int64_t> want = savetest::probedEnds(clip, ends);
        for (size_t k = 0; k < ends.size(); ++k) {
            SCOPED_TRACE("end=" + std::to_string(ends[k]));
            EXPECT_NEAR(cuts->copyEnds[k + 2], want[k], 2);
            runOn += want[k] > 0;
        }
    }
    EXPECT_GT(runOn, 0);
}

// Not a program stream, keyframes without times of their own, one cut short before the part,
// H.264 in a program stream, a missing file: no answer rather than a guessed one.
TEST(ProgramStreamKeys, LeavesWhatItCannotReadToTheProbe) {
    QTemporaryDir dir;
    QFile garbage(dir.filePath("garbage.mpg"));
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    std::mt19937 random(7);
    QByteArray bytes(3 << 20, 0);
    for (char& b : bytes) b = static_cast<char>(random());
    garbage.write(bytes.replace(0, 4, QByteArray("\0\0\1\xba", 4)));
    garbage.close();
    EXPECT_FALSE(programStreamCuts(garbage.fileName().toStdString(), {5}));

    // Pictures so small that a keyframe begins in the PES packet of another picture, whose
    // times ffmpeg then guesses.
    EXPECT_FALSE(programStreamCuts(savetest::mpeg1Ps(), {1}));
    ASSERT_TRUE(programStreamCuts(mpeg1Clip(), {1, 11}));
    const std::string cut = truncatedCopy(mpeg1Clip(), dir.filePath("cut.mpg"));
    EXPECT_FALSE(programStreamCuts(cut, {1, 11}));

    const std::string h264 =
        psClip("ps_h264.mpg", {"-c:v", "libx264", "-g", "25", "-c:a", "mp2", "-f", "vob"});
    EXPECT_FALSE(programStreamCuts(h264, {5}));
    EXPECT_FALSE(programStreamCuts(dir.filePath("missing.mpg").toStdString(), {5}));
}
