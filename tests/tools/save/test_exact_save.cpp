// Exact saves end to end: the real tools cut H.264 and Sorenson H.263 FLV clips where they are
// marked, rebuilding only the pictures before the first keyframe and after the last one.
#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>
#include <QWidget>
#include <memory>
#include <sstream>

#include "common/scripted_prompts.h"
#include "job_env.h"
#include "save_media.h"
#include "test_media.h"
#include "tools/save_segments.h"
#include "tools/split/split_names.h"

using namespace save;
using prompts::Answer;

namespace {

struct Player : SaveHost {
    QString source;
    std::vector<UnitSegment> marks;
    QWidget* win = nullptr;
    void closeOpenSegment() override {}
    QString sourcePath() override { return source; }
    std::vector<UnitSegment> segments() override { return marks; }
    double secondsPerUnit() override { return 0.04; }  // 25 fps
    double totalSeconds() override { return 20; }
    bool isAudioOnly() override { return false; }
    void pausePrFn() override {}
    QWidget* window() override { return win; }
};

UnitSegment seg(double from, double to) {
    return {static_cast<int64_t>(from * 25 + 0.5), static_cast<int64_t>((to - from) * 25 + 0.5)};
}

// The bodies of an FLV's video pictures in file order (configurations left out).
std::vector<QByteArray> pictureBodies(const QString& path) {
    QFile f(path);
    std::vector<QByteArray> out;
    if (!f.open(QIODevice::ReadOnly)) return out;
    const QByteArray d = f.readAll();
    auto byte = [&](qsizetype i) { return static_cast<uint8_t>(d[i]); };
    for (qsizetype at = 13; at + 11 <= d.size();) {
        const qsizetype size = byte(at + 1) << 16 | byte(at + 2) << 8 | byte(at + 3);
        const QByteArray body = d.mid(at + 11, size);
        const bool config = body.size() > 1 && (body[0] & 0x0F) == 7 && body[1] == 0;
        if (byte(at) == 9 && !config) out.push_back(body);
        at += 11 + size + 4;
    }
    return out;
}

// The longest run of out's pictures that are the source's, in the source's order.
size_t longestCopiedRun(const std::vector<QByteArray>& out, const std::vector<QByteArray>& src) {
    size_t best = 0;
    for (size_t i = 0; i < out.size(); ++i)
        for (size_t k = 0; k < src.size(); ++k) {
            size_t n = 0;
            while (i + n < out.size() && k + n < src.size() && out[i + n] == src[k + n]) ++n;
            best = std::max(best, n);
        }
    return best;
}

// PSNR of out against the source from seconds on, picture for picture, over all of out's
// pictures or only its first.
double psnr(const std::string& out, const std::string& src, double seconds, bool firstOnly) {
    const std::string graph = firstOnly
                                  ? "[0:v]trim=end_frame=1[a];[1:v]trim=end_frame=1[b];[a][b]psnr"
                                  : "[0:v]setpts=PTS-STARTPTS[a];[1:v]setpts=PTS-STARTPTS[b];"
                                    "[a][b]psnr=shortest=1";
    const auto r = testmedia::run({savetest::ffmpegProgram(), "-hide_banner", "-i", out, "-ss",
                                   std::to_string(seconds), "-i", src, "-filter_complex", graph,
                                   "-f", "null", "-"});
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("average:(\\S+)"))
                                          .match(QString::fromStdString(r.output));
    if (!m.hasMatch()) return 0;
    return m.captured(1) == QLatin1String("inf") ? 99 : m.captured(1).toDouble();
}
double firstPicturePsnr(const std::string& out, const std::string& src, double seconds) {
    return psnr(out, src, seconds, true);
}

class ExactSaveTest : public jobtest::JobEnv {
  protected:
    void SetUp() override {
        JobEnv::SetUp();
        win_ = std::make_unique<QWidget>();
        win_->show();
        player_.win = win_.get();
        host_.exact = true;
    }
    SaveOutcome save(Mode mode, const QString& output) {
        ScriptedPrompts sp;
        sp.answer(Answer::Ok);
        if (mode == Mode::Cut)
            sp.files({output});
        else
            sp.folderChosen(output);
        sp.answer(Answer::Cancel);
        const SaveOutcome o = saveMarkedSegments(player_, mode, split::pieceNames());
        report_ = sp.messageTexts().value(sp.messageTexts().size() - 1);
        return o;
    }
    // Decodes without a message and holds exactly the pictures shown between the marks.
    void expectClean(const std::string& out, double seconds) {
        const std::string errors = savetest::decodeErrors(out);
        EXPECT_TRUE(errors.empty()) << errors.substr(0, 400);
        EXPECT_EQ(testmedia::probeVideoFrames(out), std::lround(seconds * 25)) << out;
        EXPECT_NEAR(testmedia::probeDuration(out), seconds, 0.04) << out;
    }

    std::unique_ptr<QWidget> win_;
    Player player_;
    QString report_;  // the last message box of the last save
};

TEST_F(ExactSaveTest, H264IsRebuiltOnlyAtTheEndsAndCopiedTagForTagBetween) {
    player_.source = source(savetest::h264Flv(), QStringLiteral("clip.flv"));
    // Keyframes every 2 s: a head from 3.36, a copy of 4 to 8, a tail from 8.
    player_.marks = {seg(3.36, 9.52)};
    const SaveOutcome o = save(Mode::Cut, folder_ + QStringLiteral("exact.flv"));
    ASSERT_TRUE(o.succeeded);
    EXPECT_TRUE(o.notExact.empty());
    const std::string out = (folder_ + QStringLiteral("exact.flv")).toStdString();
    expectClean(out, 6.16);
    EXPECT_GE(firstPicturePsnr(out, player_.source.toStdString(), 3.36), 40);
    EXPECT_GE(longestCopiedRun(pictureBodies(folder_ + QStringLiteral("exact.flv")),
                               pictureBodies(player_.source)),
              100u);
    int rebuilds = 0;
    for (const Command& c : record_.commands)
        if (c.args.contains(QStringLiteral("libx264"))) {
            ++rebuilds;
            EXPECT_TRUE(c.ffmpeg);  // run with its progress in the busy window's bar
            EXPECT_TRUE(c.args.contains(QStringLiteral("bframes=0:sps-id=1:repeat-headers=1")));
            EXPECT_EQ(c.args.at(c.args.indexOf(QStringLiteral("-crf")) + 1), "16");
        }
    EXPECT_EQ(rebuilds, 2);
    EXPECT_FALSE(report_.contains(QStringLiteral("無法精確裁剪")));
    EXPECT_EQ(folderFiles(), QStringList{"exact.flv"});

    // Marked on keyframes (nothing to rebuild): the copy starts at the marked keyframe, not
    // at the one before, whose clock lies just before the mark.
    player_.marks = {seg(4.0, 8.0)};
    ASSERT_TRUE(save(Mode::Cut, folder_ + QStringLiteral("keys.flv")).succeeded);
    const std::string keys = (folder_ + QStringLiteral("keys.flv")).toStdString();
    EXPECT_TRUE(savetest::decodeErrors(keys).empty());
    EXPECT_EQ(testmedia::probeVideoFrames(keys), 100);
    // Copied B-frame pictures keep their delay: the first is shown 80 ms into the file.
    EXPECT_NEAR(testmedia::probeDuration(keys), 4.08, 0.04);
    EXPECT_GE(firstPicturePsnr(keys, player_.source.toStdString(), 4.0), 40);

    // Joined: a segment inside one group (rebuilt whole) and one from a keyframe (a tail only).
    player_.marks = {seg(3.36, 9.52), seg(11.2, 11.8), seg(14.0, 15.0)};
    ASSERT_TRUE(save(Mode::Cut, folder_ + QStringLiteral("joined.flv")).succeeded);
    expectClean((folder_ + QStringLiteral("joined.flv")).toStdString(), 6.16 + 0.6 + 1.0);
}

// Open groups (x264 open-gop=1): a keyframe's leading pictures, shown before it, belong to
// the group before and are rebuilt with it; the copy from that keyframe starts a new sequence
// (the keyframe becomes an IDR picture), so every copied picture decodes as in the source
// (their frame numbers count from it, so their bytes are not the source's).
TEST_F(ExactSaveTest, OpenGroupsAreRebuiltWithTheirLeadingPicturesAndCopiedWhole) {
    player_.source = source(savetest::h264OpenGopFlv(), QStringLiteral("open.flv"));
    const std::string src = player_.source.toStdString();
    // A head from 3.36, a copy of 4 to 8, a tail from 8; then a head and a tail that meet at
    // one keyframe; then a head up to a keyframe whose group ends past the end mark.
    const double spans[][2] = {{3.36, 9.52}, {4.6, 7.2}, {3.3, 8.0}};
    for (const auto& [from, to] : spans) {
        SCOPED_TRACE(from);
        player_.marks = {seg(from, to)};
        const QString name = folder_ + QStringLiteral("open%1.flv").arg(from);
        const SaveOutcome o = save(Mode::Cut, name);
        ASSERT_TRUE(o.succeeded);
        EXPECT_TRUE(o.notExact.empty());
        const std::string out = name.toStdString();
        EXPECT_EQ(testmedia::probeVideoFrames(out), std::lround((to - from) * 25));
        EXPECT_NEAR(testmedia::probeDuration(out), to - from, 0.04);
        EXPECT_GE(psnr(out, src, static_cast<double>(player_.marks[0].start) / 25, false), 40);
        // The copied group's first picture names references from before it, which the new
        // sequence does not hold: a decoder may say so, and says nothing else.
        std::istringstream said(savetest::decodeErrors(out));
        for (std::string line; std::getline(said, line);)
            EXPECT_TRUE(line.find("mmco: unref short failure") != std::string::npos ||
                        line.find("Last message repeated") != std::string::npos)
                << line;
    }
}

TEST_F(ExactSaveTest, H263SplitPiecesStartAndEndAtTheirMarks) {
    player_.source = source(savetest::h263Flv(), QStringLiteral("clip.flv"));
    player_.marks = {seg(2.52, 5.0), seg(12.36, 17.52)};
    ASSERT_TRUE(save(Mode::Split, work_.path()).succeeded);
    const double lengths[] = {2.48, 5.16};
    const double starts[] = {2.52, 12.36};
    for (int i = 0; i < 2; ++i) {
        const std::string piece =
            (folder_ + split::pieceName(i, QStringLiteral("flv"))).toStdString();
        expectClean(piece, lengths[i]);
        EXPECT_GE(firstPicturePsnr(piece, player_.source.toStdString(), starts[i]), 30) << piece;
    }
}

// Screen video cannot be rebuilt: the keyframe cut of every save, and the report says so.
TEST_F(ExactSaveTest, OtherCodecsAreCutAtTheKeyframeAndTheReportSaysWhere) {
    player_.source =
        source(testmedia::makeClip("exact_flashsv.flv",
                                   {"-f", "lavfi", "-i", "testsrc2=size=160x120:rate=25", "-t", "8",
                                    "-c:v", "flashsv", "-g", "50", "-f", "flv"}),
               QStringLiteral("clip.flv"));
    // Its keyframes: a run at the start, then one every 2 s.
    player_.marks = {seg(0.08, 0.6), seg(3.36, 5.0)};
    const SaveOutcome o = save(Mode::Cut, folder_ + QStringLiteral("other.flv"));
    ASSERT_TRUE(o.succeeded);
    ASSERT_EQ(o.notExact.size(), 1u);  // the first starts on a keyframe
    EXPECT_TRUE(
        report_.contains(QStringLiteral("第 2 個區段無法精確裁剪（實際從 00:00:02.00 開始）")))
        << report_.toStdString();
}

// Off, a save runs exactly the commands it ran before the choice existed.
TEST_F(ExactSaveTest, WithExactCutOffTheCutIsFromTheKeyframeAsBefore) {
    host_.exact = false;
    player_.source = source(savetest::h264Flv(), QStringLiteral("clip.flv"));
    player_.marks = {seg(3.36, 9.52)};
    ASSERT_TRUE(save(Mode::Cut, folder_ + QStringLiteral("copy.flv")).succeeded);
    QStringList firstArgs;
    for (const Command& c : record_.commands) firstArgs << c.args.value(0);
    EXPECT_EQ(firstArgs, QStringList{"--cut"});
    EXPECT_EQ(record_.commands.at(0).args.mid(1, 2), (QStringList{"3000", "10000"}));
}

}  // namespace
