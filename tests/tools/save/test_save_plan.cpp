// The command plan of save marked segments: names, cut times, argument lists, and each cut
// run by the real ffmpeg on a source of every kind.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include "save_media.h"
#include "test_media.h"
#include "tools/save_plan.h"

using namespace save;

namespace {

std::vector<std::string> argv(const Command& c) {
    std::vector<std::string> a{c.program.toStdString()};
    for (const QString& s : c.args) a.push_back(s.toStdString());
    return a;
}

Tools systemTools() { return {QStringLiteral("ffmpeg"), QStringLiteral("flvmdi")}; }

// Probe the source as a job does and return where its cut begins.
CutStart probe(const QString& src, int64_t S) {
    std::optional<double> w = firstProbeWindow(S);
    while (w) {
        auto r = testmedia::run(argv(keyframeProbe(systemTools(), src, *w, S)));
        if (auto cs = parseKeyframes(QString::fromStdString(r.output), *w, S)) return *cs;
        w = widerProbeWindow(*w, S);
    }
    return {};
}

}  // namespace

TEST(SavePlanTimes, WholeSecondsAroundTheMarks) {
    CutTimes c = cutTimes(75.5, 82.3);
    EXPECT_EQ(c.start, 75);
    EXPECT_EQ(c.length, 8);
    c = cutTimes(30, 60);  // whole seconds stay where they are
    EXPECT_EQ(c.start, 30);
    EXPECT_EQ(c.length, 30);
    c = cutTimes(60, 75.5);
    EXPECT_EQ(c.length, 16);
    // The marks show hundredths rounded after adding 0.004: 4.996 shows as 5.00.
    EXPECT_EQ(cutTimes(4.996, 6.0).start, 5);
    EXPECT_EQ(cutTimes(4.995, 6.0).start, 4);
    // A part is at least one second long, even when both marks show the same hundredth.
    EXPECT_EQ(cutTimes(5.001, 5.003).length, 1);
}

TEST(SavePlanTimes, UnitsToSecondsClampToTheLength) {
    SegmentSeconds s = segmentSeconds({100, 50}, 0.04, 5.0);
    EXPECT_DOUBLE_EQ(s.start, 4.0);
    EXPECT_DOUBLE_EQ(s.end, 5.0);  // 6.0 lowered to the total
    s = segmentSeconds({1888, 170}, 0.04, 0);
    EXPECT_NEAR(s.start, 75.52, 1e-9);
    EXPECT_NEAR(s.end, 82.32, 1e-9);
}

TEST(SavePlanNames, KindsNamesAndMuxers) {
    EXPECT_EQ(toolKind("FLV"), 1);
    EXPECT_EQ(toolKind("mpg"), 2);
    EXPECT_EQ(toolKind("mpeg"), 2);
    EXPECT_EQ(toolKind("vob"), 2);
    EXPECT_EQ(toolKind("avi"), 3);
    EXPECT_EQ(toolKind("dat"), 3);
    EXPECT_EQ(toolKind("mp4"), 3);
    EXPECT_EQ(muxerFor("dat"), "mpeg");
    EXPECT_EQ(muxerFor("wmv"), "asf");
    EXPECT_EQ(partName(0, "flv"), "~tmpSP001.flv");
    EXPECT_EQ(partName(11, "mpg"), "~tmpSP012.mpg");
    EXPECT_EQ(splitName(2, "flv"), "split_003.flv");
    EXPECT_EQ(joinName("mpg"), "~tmpSJoin.mpg");
    EXPECT_EQ(kJoinListName, "~tmpSJoin.txt");
    EXPECT_EQ(modeWord(Mode::Cut), "裁剪");
    EXPECT_EQ(modeWord(Mode::Split), "分割");
}

TEST(SavePlanSteps, StepsJoinAndFlvmdiByModeAndCount) {
    SaveRequest r;
    r.source = "/v/clip.FLV";
    r.secondsPerUnit = 0.04;
    r.segments = {{0, 50}, {100, 50}, {200, 50}};
    r.mode = Mode::Split;
    r.output = "/out";
    SavePlan p = makePlan(r);
    EXPECT_EQ(p.ext, "flv");
    EXPECT_EQ(p.folder, "/out/");
    EXPECT_EQ(p.output, "/out/split_001.flv");
    EXPECT_EQ(p.steps, 3);
    EXPECT_FALSE(p.join);
    EXPECT_TRUE(p.flvmdiOnParts);
    EXPECT_EQ(p.parts[2].finalName, "split_003.flv");

    r.mode = Mode::Cut;
    r.output = "/out/new.flv";
    p = makePlan(r);
    EXPECT_EQ(p.steps, 4);
    EXPECT_TRUE(p.join);
    EXPECT_FALSE(p.flvmdiOnParts);  // flvmdi runs once, on the join
    EXPECT_TRUE(p.flvmdiOnJoin);
    EXPECT_EQ(p.output, "/out/new.flv");
    EXPECT_TRUE(p.touchedFiles().contains("/out/~tmpSJoin.txt"));

    r.segments.resize(1);
    p = makePlan(r);
    EXPECT_EQ(p.steps, 1);
    EXPECT_FALSE(p.join);
    EXPECT_TRUE(p.flvmdiOnParts);

    r.source = "/v/clip.mpg";
    r.segments = {{0, 50}, {100, 50}};
    p = makePlan(r);
    EXPECT_FALSE(p.flvmdiOnParts || p.flvmdiOnJoin);
}

TEST(SavePlanCommands, PathsAsFilesAndOutputOptionsAfterTheInput) {
    CutStart fromStart;
    Command c = cutCommand(systemTools(), "/v/-odd:name.dat", fromStart, {0, 8}, "/o/~tmpSP001.dat",
                           "dat", false);
    EXPECT_EQ(c.text(),
              "ffmpeg -hide_banner -nostdin -y -loglevel error -i file:/v/-odd:name.dat -t 8.000 "
              "-map 0:V? -map 0:a? -c copy -f mpeg file:/o/~tmpSP001.dat");
    EXPECT_TRUE(c.ffmpeg);

    CutStart key{false, 74.04, 73.96};
    c = cutCommand(systemTools(), "/v/a.avi", key, {75, 8}, "/o/p.avi", "avi", true);
    // Sought a second before the keyframe, kept from a millisecond before it, up to S + L.
    EXPECT_EQ(c.args.mid(5, 8).join(' '), "-ss 72.959 -i file:/v/a.avi -ss 1.000 -t 9.041");
    EXPECT_TRUE(c.text().contains("-c:v copy -c:a libmp3lame -b:a 64k -f avi file:/o/p.avi"));
    EXPECT_NEAR(c.expectedSeconds, 9.041, 1e-9);

    // Near the start there is nothing to seek over.
    c = cutCommand(systemTools(), "/v/a.flv", CutStart{false, 2.0, 0.5}, {3, 2}, "/o/p.flv", "flv",
                   false);
    EXPECT_EQ(c.args.mid(5, 4).join(' '), "-i file:/v/a.flv -ss 0.499");

    c = joinCommand(systemTools(), "/o/~tmpSJoin.txt", "/o/~tmpSJoin.flv", "flv");
    EXPECT_TRUE(c.text().contains(
        "-f concat -safe 0 -i file:/o/~tmpSJoin.txt -map 0:V? -map 0:a? -c copy -f flv "
        "file:/o/~tmpSJoin.flv"));
    EXPECT_EQ(joinListText({"/o/it's/~tmpSP001.flv", "/o/~tmpSP002.flv"}),
              "file 'file:/o/it'\\''s/~tmpSP001.flv'\nfile 'file:/o/~tmpSP002.flv'\n");
    c = flvmdiCommand(systemTools(), "/o/~tmpSP001.flv");
    EXPECT_EQ(c.text(), "flvmdi /o/~tmpSP001.flv");
    EXPECT_FALSE(c.ffmpeg);
}

TEST(SavePlanProbe, ReadsKeyframesFromThePacketList) {
    const QString out = QStringLiteral(
        "#tb 0: 1/90000\n"
        "0,      -3600,          0,     3600,    10237, 0x8f46af7a\n"
        "0,          0,      10800,     3600,    12248, 0xb283eb6a, F=0x0\n"
        "0,      32400, -9223372036854775808,     3600,    16485, 0x00aa7cd4\n"
        "0,      36000,      36000,     3600,     5917, 0x86dd66bf, F=0x0\n"
        "0,      75600,      86400,     3600,     5917, 0x86dd66bf, F=0x1\n");
    // At S = 10 from a window at 0: the third key (picture at 0.96 s) is the last one.
    auto cs = parseKeyframes(out, 0, 10);
    ASSERT_TRUE(cs);
    EXPECT_FALSE(cs->fromFileStart);
    EXPECT_NEAR(cs->keyTime, 0.96, 1e-9);
    EXPECT_NEAR(cs->keyDecodeTime, 0.84, 1e-9);
    // At S = 0 only the first key counts: read from the file's beginning.
    cs = parseKeyframes(out, 0, 0);
    ASSERT_TRUE(cs);
    EXPECT_TRUE(cs->fromFileStart);
    // A window after the start: times count from it; no key at or before S there.
    cs = parseKeyframes(out, 20, 20);
    ASSERT_TRUE(cs);
    EXPECT_NEAR(cs->keyTime, 20.0, 1e-9);
    EXPECT_FALSE(cs->fromFileStart);
    EXPECT_FALSE(
        parseKeyframes(QStringLiteral("#tb 0: 1/1000\n0, 5000, 5080, 40, 9, 0x1\n"), 10, 14));
    EXPECT_FALSE(parseKeyframes(QString(), 0, 5));
    EXPECT_EQ(widerProbeWindow(0, 40), std::nullopt);
    EXPECT_EQ(*widerProbeWindow(30, 40), 0);
    EXPECT_EQ(firstProbeWindow(75), 65);
}

// Every kind: the part's first picture is the source's picture at the last keyframe at or
// before S, it reaches S + L, and both streams are there and decode cleanly.
TEST(SavePlanReal, CutsBeginAtTheKeyframeAtOrBeforeS) {
    QTemporaryDir dir;
    struct Case {
        std::string src;
        QString ext;
        int64_t S, L;
    };
    const std::vector<Case> cases = {
        {savetest::h264Flv(), "flv", 5, 3},  {savetest::h264Flv(), "flv", 4, 3},
        {savetest::h264Flv(), "flv", 0, 3},  {savetest::h264Flv(), "flv", 13, 5},
        {savetest::h263Flv(), "flv", 7, 2},  {savetest::mpeg1Ps(), "mpg", 5, 3},
        {savetest::mpeg1Ps(), "mpg", 0, 2},  {savetest::mpeg1Ps(), "mpg", 15, 4},
        {savetest::mpeg4Avi(), "avi", 9, 3}, {savetest::mpeg1Ps(), "dat", 6, 2},
    };
    int n = 0;
    for (const Case& k : cases) {
        SCOPED_TRACE(k.src + " S=" + std::to_string(k.S));
        const QString src = QString::fromStdString(k.src);
        std::string srcForFrames = k.src;
        const CutStart cs = probe(src, k.S);
        const QString part = dir.filePath(partName(n++, k.ext));
        auto r = testmedia::run(
            argv(cutCommand(systemTools(), src, cs, {k.S, k.L}, part, k.ext, false)));
        ASSERT_TRUE(QFileInfo(part).size() > 0) << r.output;
        const auto frames = savetest::decodedFrames(srcForFrames);
        const auto key = savetest::keyFrameAtOrBefore(frames, static_cast<double>(k.S));
        ASSERT_FALSE(key.md5.empty());
        EXPECT_EQ(savetest::firstPictureMd5(part.toStdString()), key.md5);
        if (!cs.fromFileStart) {
            EXPECT_NEAR(cs.keyTime, key.time, 0.02);
        }
        const double len = testmedia::probeDuration(part.toStdString());
        EXPECT_GE(len + 0.05, static_cast<double>(k.S + k.L) - key.time);
        EXPECT_EQ(savetest::streamTypes(part.toStdString()).size(), 2u);
        EXPECT_EQ(savetest::decodeErrors(part.toStdString()), "");
    }
}

TEST(SavePlanReal, JoinKeepsEveryPartInOrder) {
    QTemporaryDir dir;
    for (const std::string& s : {savetest::h264Flv(), savetest::mpeg1Ps()}) {
        SCOPED_TRACE(s);
        const QString src = QString::fromStdString(s);
        const QString ext = QFileInfo(src).suffix();
        QStringList parts;
        long frames = 0;
        int64_t lengths = 0;
        const std::vector<CutTimes> cuts = {{2, 3}, {9, 2}, {14, 4}};
        for (size_t i = 0; i < cuts.size(); ++i) {
            const QString part = dir.filePath(partName(static_cast<int>(i), ext));
            testmedia::run(argv(cutCommand(systemTools(), src, probe(src, cuts[i].start), cuts[i],
                                           part, ext, false)));
            frames += testmedia::probeVideoFrames(part.toStdString());
            lengths += cuts[i].length;
            parts << part;
        }
        const QString list = dir.filePath(kJoinListName);
        QFile f(list);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(joinListText(parts).toUtf8());
        f.close();
        const QString joined = dir.filePath(joinName(ext));
        auto r = testmedia::run(argv(joinCommand(systemTools(), list, joined, ext)));
        EXPECT_EQ(testmedia::probeVideoFrames(joined.toStdString()), frames) << r.output;
        const double d = testmedia::probeDuration(joined.toStdString());
        EXPECT_GE(d + 0.05, static_cast<double>(lengths));
        EXPECT_LE(d, static_cast<double>(lengths) + 3 * 2.0);  // one keyframe interval per part
    }
}

TEST(SavePlanReal, OpusInAviNeedsTheAudioReencoded) {
    QTemporaryDir dir;
    const QString src = QString::fromStdString(savetest::opusAvi());
    const CutStart cs = probe(src, 4);
    const QString part = dir.filePath("~tmpSP001.avi");
    testmedia::run(argv(cutCommand(systemTools(), src, cs, {4, 3}, part, "avi", false)));
    // ffmpeg leaves the header it had begun: the check finds no picture in it.
    auto check = testmedia::run(argv(partCheck(systemTools(), part)));
    EXPECT_FALSE(partCheckPassed(QString::fromStdString(check.output)));
    testmedia::run(argv(cutCommand(systemTools(), src, cs, {4, 3}, part, "avi", true)));
    EXPECT_GT(QFileInfo(part).size(), 0);
    check = testmedia::run(argv(partCheck(systemTools(), part)));
    EXPECT_TRUE(partCheckPassed(QString::fromStdString(check.output)));
    auto r = testmedia::run({"ffprobe", "-v", "error", "-select_streams", "a:0", "-show_entries",
                             "stream=codec_name", "-of", "csv=p=0", part.toStdString()});
    EXPECT_EQ(r.output.substr(0, 3), "mp3");
}

TEST(SavePlanReal, StreamKindsIgnoreTheOrderAContainerNumbersThemIn) {
    // The input block only; the output block that follows repeats the streams.
    const QString mpeg = QStringLiteral(
        "Input #0, mpeg, from 'file:a.mpg':\n"
        "  Duration: 00:00:03.04, start: 0.5, bitrate: 372 kb/s\n"
        "  Stream #0:0[0x1c0]: Audio: mp2, 44100 Hz, stereo, s16p, 384 kb/s\n"
        "  Stream #0:1[0x1e0](und): Video: mpeg1video, yuv420p(tv), 160x120, 25 fps\n"
        "Output #0, null, to 'pipe:':\n"
        "  Stream #0:0: Audio: mp2\n");
    EXPECT_EQ(streamKinds(mpeg), (QStringList{"Audio: mp2", "Video: mpeg1video"}));
    EXPECT_TRUE(streamKinds(QStringLiteral("file:x: Invalid data found")).isEmpty());

    // Real pieces of one FLV agree whichever tag each begins with; another codec does not.
    QTemporaryDir dir;
    const std::string src = savetest::h263DefaultsFlv();
    QStringList kinds;
    for (const char* from : {"13.0", "18.96"}) {
        const std::string piece = dir.filePath(QStringLiteral("p%1.flv").arg(from)).toStdString();
        testmedia::run({"ffmpeg", "-v", "error", "-y", "-ss", from, "-i", src, "-t", "2", "-c",
                        "copy", piece});
        kinds << streamKinds(QString::fromStdString(
                                 testmedia::run(argv(streamProbe(systemTools(),
                                                                 QString::fromStdString(piece))))
                                     .output))
                     .join(QLatin1Char(','));
    }
    EXPECT_EQ(kinds[0], QStringLiteral("Audio: mp3,Video: flv1"));
    EXPECT_EQ(kinds[1], kinds[0]);
    const QString h264 = QString::fromStdString(savetest::h264Flv());
    EXPECT_EQ(streamKinds(QString::fromStdString(
                  testmedia::run(argv(streamProbe(systemTools(), h264))).output)),
              (QStringList{"Audio: aac", "Video: h264"}));
}
