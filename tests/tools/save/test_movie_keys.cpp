// The movie reader gives the cut starts and copy ends the keyframe probe gives, on MP4, MOV
// and 3GP files as the real encoders and muxers write them, and leaves to the probe what it
// cannot read.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "probe_answers.h"
#include "save_media.h"
#include "tools/movie_keys.h"

using namespace save;

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

// S on keyframes, between them, before the first and past the end; x264's defaults (B-frames
// in a pyramid, an edit list), open groups, x265's CRA pictures, a MOV whose keyframes x264
// places itself, a file without edit list whose first picture is shown late and has no sound,
// MPEG-4 part 2 with B-frames in 3GP. The copy ends of parts that end there too.
TEST(MovieKeys, SameCutStartsAndCopyEndsAsTheProbe) {
    const std::vector<std::string> clips = {
        savetest::h264Mp4(),
        savetest::h264OpenGopMp4(),
        savetest::hevcMp4(),
        savetest::clip("movie_x264_scenecut.mov",
                       "-c:v libx264 -pix_fmt yuv420p -c:a aac -b:a 64k"),
        savetest::clip("movie_no_editlist.mp4",
                       "-c:v libx264 -g 30 -pix_fmt yuv420p -an -use_editlist 0"),
        savetest::clip("movie_mpeg4_bframes.3gp",
                       "-c:v mpeg4 -bf 2 -g 30 -s 176x144 -c:a aac -ar 16000 -ac 1 -b:a 32k"),
    };
    const std::vector<int64_t> times = {0, 1, 2, 3, 5, 8, 11, 13, 19, 40};
    const std::vector<int64_t> ends(times.begin() + 1, times.end());  // a part ends after 0
    int runOn = 0, leading = 0;  // copy ends past the end, and open keyframes, over every clip
    for (const std::string& clip : clips) {
        SCOPED_TRACE(clip);
        const auto cuts = movieCuts(q(clip), times, ends);
        ASSERT_TRUE(cuts.has_value());
        ASSERT_EQ(cuts->starts.size(), times.size());
        const std::vector<int64_t> wantEnds = savetest::probedEnds(clip, ends);
        for (size_t k = 0; k < times.size(); ++k) {
            SCOPED_TRACE("S=" + std::to_string(times[k]));
            const CutStart want = savetest::probedStart(clip, times[k], tools::ToolKind::Other);
            const CutStart& got = cuts->starts[k];
            EXPECT_NEAR(got.keyTime, want.keyTime, 0.001);
            EXPECT_NEAR(got.keyDecodeTime, want.keyDecodeTime, 0.001);
            EXPECT_EQ(got.fromFileStart, want.fromFileStart);
            EXPECT_EQ(got.leadsPictures, want.leadsPictures);
            leading += want.leadsPictures && !want.fromFileStart;
        }
        for (size_t k = 0; k < ends.size(); ++k) {
            SCOPED_TRACE("end=" + std::to_string(ends[k]));
            EXPECT_NEAR(cuts->copyEnds[k], wantEnds[k], 2);
            runOn += wantEnds[k] > 0;
        }
    }
    EXPECT_GT(runOn, 0);
    EXPECT_GT(leading, 0);
}

// Fragmented, another container, a clock that begins with an empty edit, a file cut short
// before its movie header, a missing file, bytes that only begin like a movie: no answer
// rather than a guessed one.
TEST(MovieKeys, LeavesWhatItCannotReadToTheProbe) {
    const auto unread = [](const std::string& path) {
        return !movieCuts(q(path), {3}, {3}).has_value();
    };
    EXPECT_TRUE(unread(savetest::clip(
        "movie_fragmented.mp4", "-c:v libx264 -g 25 -c:a aac -movflags frag_keyframe+empty_moov")));
    EXPECT_TRUE(unread(savetest::clip("movie_x264.mkv", "-c:v libx264 -g 25 -c:a aac")));
    EXPECT_TRUE(unread(savetest::mpeg4Avi()));
    const std::string late =
        savetest::clip("movie_late.mp4", "-c:v libx264 -g 25 -c:a aac -output_ts_offset 1");
    EXPECT_TRUE(unread(late) || movieCuts(q(late), {3})->starts[0].keyTime ==
                                    savetest::probedStart(late, 3, tools::ToolKind::Other).keyTime);

    QTemporaryDir dir;
    QFile in(q(savetest::h264Mp4())), out(dir.filePath("moov_last.mp4"));
    ASSERT_TRUE(in.open(QIODevice::ReadOnly) && out.open(QIODevice::WriteOnly));
    out.write(in.read(in.size() / 2));  // ffmpeg writes the movie header last
    out.close();
    EXPECT_TRUE(unread(out.fileName().toStdString()));
    EXPECT_TRUE(unread(dir.filePath("missing.mp4").toStdString()));
    QFile odd(dir.filePath("odd.mp4"));
    ASSERT_TRUE(odd.open(QIODevice::WriteOnly));
    odd.write(QByteArray("\0\0\0\x10"
                         "ftypisom\0\0\0\0"
                         "\0\0\x10\0moov",
                         24) +
              QByteArray(64, 'x'));
    odd.close();
    EXPECT_TRUE(unread(odd.fileName().toStdString()));
}
