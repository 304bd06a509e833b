// The command plan of save marked segments: names, cut times, argument lists and the
// reading of probe output, without running anything (the real runs are in
// test_save_plan_real.cpp).
#include <gtest/gtest.h>

#include "tools/deployment.h"
#include "tools/ffmpeg_batch.h"
#include "tools/save_plan.h"
#include "tools/split/split_names.h"

using namespace save;

namespace {

Tools systemTools() { return {QStringLiteral("ffmpeg"), QStringLiteral("flvmdi")}; }

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

TEST(SavePlanTimes, EndWithinHalfAFrameOfAWholeSecondStaysThere) {
    // 23.976 fps: a mark typed as 50.00 lands on frame 1199 (50.008 s, shown as 50.01).
    const double frame = 1001.0 / 24000.0;
    SaveRequest r;
    r.source = "/v/clip.flv";
    r.secondsPerUnit = frame;
    r.segments = {{1084, 1199 - 1084}};  // 45.21-50.01 as the editor shows them
    r.output = "/out/new.flv";
    const SavePlan p = makePlan(r);
    EXPECT_EQ(p.parts[0].cut.start, 45);
    EXPECT_EQ(p.parts[0].cut.end(), 50);
    // One frame further (50.05) is past the second; without a frame the rule is unchanged.
    EXPECT_EQ(cutTimes(45.21, 1200 * frame, frame).end(), 51);
    EXPECT_EQ(cutTimes(45.21, 50.01).end(), 51);
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
    EXPECT_EQ(toolKind("FLV"), tools::ToolKind::Flv);
    EXPECT_EQ(toolKind("mpg"), tools::ToolKind::Mpeg);
    EXPECT_EQ(toolKind("mpeg"), tools::ToolKind::Mpeg);
    EXPECT_EQ(toolKind("vob"), tools::ToolKind::Mpeg);
    EXPECT_EQ(toolKind("avi"), tools::ToolKind::Other);
    EXPECT_EQ(toolKind("dat"), tools::ToolKind::Other);
    EXPECT_EQ(toolKind("mp4"), tools::ToolKind::Other);
    EXPECT_EQ(muxerFor("dat"), "mpeg");
    EXPECT_EQ(muxerFor("wmv"), "asf");
    EXPECT_EQ(partName(0, "flv"), "~tmpSP001.flv");
    EXPECT_EQ(partName(11, "mpg"), "~tmpSP012.mpg");
    EXPECT_EQ(split::pieceName(2, "flv"), "split_003.flv");
    EXPECT_EQ(joinName("mpg"), "~tmpSJoin.mpg");
    EXPECT_EQ(kJoinListName, "~tmpSJoin.txt");
    EXPECT_EQ(modeWord(Mode::Cut), "裁剪");
    EXPECT_EQ(modeWord(Mode::Split), "分割");
}

TEST(SavePlanSteps, StepsJoinAndTagLevelByModeAndCount) {
    SaveRequest r;
    r.source = "/v/clip.FLV";
    r.secondsPerUnit = 0.04;
    r.segments = {{0, 50}, {100, 50}, {200, 50}};
    r.mode = Mode::Split;
    r.names = split::pieceNames();
    r.output = "/out";
    SavePlan p = makePlan(r);
    EXPECT_EQ(p.ext, "flv");
    EXPECT_EQ(p.folder, "/out/");
    EXPECT_EQ(p.output, "/out/split_001.flv");
    EXPECT_EQ(p.steps, 3);
    EXPECT_FALSE(p.join);
    EXPECT_TRUE(p.tagLevel);
    EXPECT_EQ(p.kind, tools::ToolKind::Flv);
    EXPECT_EQ(p.parts[2].finalName, "split_003.flv");
    // flvmdi cuts on whole seconds, in milliseconds: [S, S + L).
    EXPECT_EQ(flvCutCommand(systemTools(), r.source, p.parts[1].cut, "/out/~tmpSP002.flv").args,
              (QStringList{"--cut", "4000", "6000", "/v/clip.FLV", "/out/~tmpSP002.flv"}));

    r.mode = Mode::Cut;
    r.output = "/out/new.flv";
    p = makePlan(r);
    EXPECT_EQ(p.steps, 4);
    EXPECT_TRUE(p.join);
    EXPECT_EQ(p.output, "/out/new.flv");
    EXPECT_TRUE(p.touchedFiles().contains("/out/~tmpSJoin.txt"));

    r.segments.resize(1);
    p = makePlan(r);
    EXPECT_EQ(p.steps, 1);
    EXPECT_FALSE(p.join);

    r.source = "/v/clip.mpg";
    r.segments = {{0, 50}, {100, 50}};
    p = makePlan(r);
    EXPECT_FALSE(p.tagLevel);
    EXPECT_EQ(p.kind, tools::ToolKind::Mpeg);
    EXPECT_EQ(tools::editTools(p.kind), tools::ToolSet::Edit2);
}

TEST(SavePlanCommands, PathsAsFilesAndOutputOptionsAfterTheInput) {
    CutStart fromStart;
    Command c = cutCommand(systemTools(), "/v/-odd:name.dat", fromStart, {0, 8}, "/o/~tmpSP001.dat",
                           "dat", false);
    EXPECT_EQ(c.text(),
              "ffmpeg -hide_banner -nostdin -y -loglevel error -i file:/v/-odd:name.dat -t 8.000 "
              "-map 0:V? -map 0:a? -c copy -f mpeg file:/o/~tmpSP001.dat");
    EXPECT_TRUE(c.ffmpeg);

    CutStart key{false, 74.04, 73.96, false};
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
        "0,      -3600,          0,     3600,    10237, 0x8f46af7a, S=1,       40\n"
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
    EXPECT_FALSE(cs->leadsPictures);  // nothing after it is shown before it
    // At S = 0 only the first key counts (side data does not make it another kind of
    // picture): read from the file's beginning.
    cs = parseKeyframes(out, 0, 0);
    ASSERT_TRUE(cs);
    EXPECT_TRUE(cs->fromFileStart);
    EXPECT_NEAR(cs->keyDecodeTime, -0.04, 1e-9);
    EXPECT_FALSE(cs->leadsPictures);  // the picture after it is shown after it
    // A window after the start: times count from it; no key at or before S there.
    cs = parseKeyframes(out, 20, 20);
    ASSERT_TRUE(cs);
    EXPECT_NEAR(cs->keyTime, 20.0, 1e-9);
    EXPECT_FALSE(cs->fromFileStart);
    EXPECT_FALSE(
        parseKeyframes(QStringLiteral("#tb 0: 1/1000\n0, 5000, 5080, 40, 9, 0x1\n"), 10, 14));
    EXPECT_FALSE(parseKeyframes(QString(), 0, 5));
    // One run for several parts: stream k belongs to window k, with its own time base.
    const QString two = QStringLiteral(
        "#tb 0: 1/1000\n#tb 1: 1/90000\n"
        "0, 0, 80, 40, 9, 0x1\n"
        "1, 0, 10800, 3600, 9, 0x1\n"
        "0, 2000, 2080, 40, 9, 0x1\n"
        "0, 2040, 2040, 40, 9, 0x1, F=0x0\n"
        "1, 90000, 100800, 3600, 9, 0x1\n");
    const auto both = parseKeyframes(two, {{95, 98}, {30, 31}});
    ASSERT_EQ(both.size(), 2u);
    ASSERT_TRUE(both[0] && both[1]);
    EXPECT_NEAR(both[0]->keyTime, 97.08, 1e-9);
    EXPECT_NEAR(both[1]->keyTime, 30.12, 1e-9);
    EXPECT_NEAR(both[1]->keyDecodeTime, 30, 1e-9);
    EXPECT_TRUE(both[0]->leadsPictures);  // an open group: the next picture is shown first
    EXPECT_FALSE(both[1]->leadsPictures);
    EXPECT_EQ(widerProbeWindow(0, 40), std::nullopt);
    EXPECT_EQ(*widerProbeWindow(30, 40), 0);
    EXPECT_EQ(firstProbeWindow(75), 65);
    // A program stream starts narrower, then takes the usual window.
    EXPECT_EQ(firstProbeWindow(75, tools::ToolKind::Mpeg), 73);
    EXPECT_EQ(*widerProbeWindow(73, 75), 65);
}

// libx264's default B-frames at 30 fps, in frames from a window at 6 s: a copy to 7 s keeps
// the picture at 7.100 (decoded at 6.967) but not those at 7.033 and 7.067 (decoded at 7.000
// and 7.033), so it runs on to between 7.033 and 7.067.
TEST(SavePlanProbe, CopyEndsWhereTheLastPicturesFollowOneAnother) {
    const QString bframes = QStringLiteral(
        "#tb 0: 1/30\n#tb 1: 1/1000\n"
        "0, 22, 24, 1, 9, 0x1\n0, 23, 23, 1, 9, 0x1, F=0x0\n0, 24, 25, 1, 9, 0x1, F=0x0\n"
        "0, 25, 30, 1, 9, 0x1, F=0x0\n0, 26, 28, 1, 9, 0x1, F=0x0\n"
        "0, 27, 27, 1, 9, 0x1, F=0x0\n0, 28, 29, 1, 9, 0x1, F=0x0\n"
        "0, 29, 33, 1, 9, 0x1, F=0x0\n0, 30, 31, 1, 9, 0x1, F=0x0\n");
    const QString after = QStringLiteral(
        "0, 31, 32, 1, 9, 0x1, F=0x0\n0, 32, 37, 1, 9, 0x1, F=0x0\n"
        "0, 33, 35, 1, 9, 0x1, F=0x0\n0, 34, 34, 1, 9, 0x1, F=0x0\n");
    // Stream 1 has no reordering: the copy's own stop leaves no gap.
    const QString plain = QStringLiteral(
        "1, 0, 0, 500, 9, 0x1\n1, 500, 500, 500, 9, 0x1, F=0x0\n"
        "1, 1000, 1000, 500, 9, 0x1, F=0x0\n1, 1500, 1500, 500, 9, 0x1, F=0x0\n");
    EXPECT_EQ(parseCopyEnds(bframes + after + plain, {{6, 7, 7}, {9, 10, 10}}),
              (std::vector<int64_t>{7050, 0}));
    EXPECT_EQ(parseCopyEnds(bframes + after, {{6, 7}}), std::vector<int64_t>{0});  // no end read
    // The list ends before the pictures close up, or a picture has no time: not known.
    EXPECT_EQ(parseCopyEnds(bframes, {{6, 7, 7}}), std::vector<int64_t>{0});
    QString untimed = bframes + after;
    untimed.replace(QStringLiteral("0, 33, 35,"), QStringLiteral("0, 33, -9223372036854775808,"));
    EXPECT_EQ(parseCopyEnds(untimed, {{6, 7, 7}}), std::vector<int64_t>{0});
    EXPECT_EQ(endProbeWindow(7).start, 6);
    EXPECT_EQ(endProbeWindow(0).start, 0);
    // A split's piece ends a second after the next one starts: that one's window reads on to
    // it, and the run reads a second more.
    EXPECT_TRUE(readsEndToo({65, 75}, 76));
    EXPECT_FALSE(readsEndToo({65, 75}, 80));
    EXPECT_FALSE(readsEndToo({65, 75, 76}, 75));  // a window reads around one end
    EXPECT_EQ(keyframeProbe(systemTools(), "/v/a.mp4", {{65, 75, 76}}).args.mid(5, 4).join(' '),
              "-ss 65.000 -t 12.000");
    // A cut runs to the later of its end and that decoding time.
    CutTimes c{6, 1};
    c.copyToMs = 7050;
    EXPECT_TRUE(cutCommand(systemTools(), "/v/a.mp4", CutStart{}, c, "/o/p.mp4", "mp4", false)
                    .text()
                    .contains("-t 7.050"));
}

// MPEG-4 Part 2 with B-frames in AVI (or MPEG-2 in a program stream whose I- and P-pictures
// carry no times), 25 fps from a window at 4 s: ffmpeg gives the I- and P-pictures no time
// and each B-picture its decoding time. The key at 4.00 is shown when the P at 4.12 is
// decoded; the B-pictures between are shown before it (an open group).
TEST(SavePlanProbe, ReadsUntimedIAndPPicturesInMpegOrder) {
    for (const char* codec : {"mpeg4", "mpeg2video"}) {
        SCOPED_TRACE(codec);
        const QString nopts = QStringLiteral("-9223372036854775808");
        QString list = QStringLiteral("#tb 0: 1/25\n#codec_id 0: %1\n").arg(codec);
        const char* kinds = "KBBPBBPBBP";  // decoding order
        for (int i = 0; kinds[i]; ++i) {
            const bool b = kinds[i] == 'B';
            list += QStringLiteral("0, %1, %2, 1, 9, 0x1%3\n")
                        .arg(i)
                        .arg(b ? QString::number(i) : nopts)
                        .arg(kinds[i] == 'K' ? QString() : QStringLiteral(", F=0x0"));
        }
        const ProbeAnswers a = parseProbe(list, {{4, 5, 5}});
        ASSERT_TRUE(a.starts[0]);
        EXPECT_NEAR(a.starts[0]->keyTime, 4.12, 1e-9);
        EXPECT_NEAR(a.starts[0]->keyDecodeTime, 4, 1e-9);
        EXPECT_TRUE(a.starts[0]->leadsPictures);
        // The window's packets end at 4.36: an end at 5 lies past what it read.
        EXPECT_EQ(a.copyEnds[0], 0);
        // Read from 4.72, the plain copy to 5 stops at packet 7, a B-picture: the P-picture
        // before it is shown after it and after packet 8. The copy runs on to just before the P
        // at 9.
        EXPECT_EQ(parseCopyEnds(list, {{4.72, 4, 5}}), std::vector<int64_t>{5060});
        // The keyframe's leading pictures are dropped from a cut by their own times.
        CutTimes c{4, 2};
        const QString cut =
            cutCommand(systemTools(), "/v/a.avi", *a.starts[0], c, "/o/p.avi", "avi", false).text();
        EXPECT_TRUE(cut.contains("-bsf:v noise=drop=gt(pts\\,nopts)*lt((pts-startdts)*tb\\,0.119)"))
            << qPrintable(cut);
        // Without B-frames every picture has its decoding time: nothing is reordered.
        QString plain = QStringLiteral("#tb 0: 1/25\n#codec_id 0: %1\n").arg(codec);
        for (int i = 0; i < 10; ++i)
            plain += QStringLiteral("0, %1, %1, 1, 9, 0x1%2\n")
                         .arg(i)
                         .arg(i == 0 ? QString() : QStringLiteral(", F=0x0"));
        const ProbeAnswers p = parseProbe(plain, {{4, 4, 4}});
        ASSERT_TRUE(p.starts[0]);
        EXPECT_NEAR(p.starts[0]->keyTime, 4, 1e-9);
        EXPECT_FALSE(p.starts[0]->leadsPictures);
        EXPECT_EQ(p.copyEnds[0], 0);
        EXPECT_FALSE(
            cutCommand(systemTools(), "/v/a.avi", *p.starts[0], c, "/o/p.avi", "avi", false)
                .text()
                .contains("noise"));
    }
}

TEST(SavePlanCommands, ProbesKeepTheirOutputFreeOfProgressLines) {
    // A probe's standard output is the packet list or stream description the job reads;
    // progress lines mixed into it would be read as packets.
    const Tools t = systemTools();
    const Command probes[] = {keyframeProbe(t, "/v/a.flv", 65, 75), partCheck(t, "/o/p.flv"),
                              streamProbe(t, "/o/p.flv")};
    for (const Command& c : probes) {
        EXPECT_FALSE(c.ffmpeg) << qPrintable(c.text());
        EXPECT_EQ(c.effectiveArgs(), c.args);
        EXPECT_EQ(c.program, "ffmpeg");
    }
    EXPECT_EQ(probes[0].text(),
              "ffmpeg -hide_banner -nostdin -y -loglevel error -ss 65.000 -t 11.000 -i "
              "file:/v/a.flv -map 0:V:0 -c copy -f framecrc -");
    EXPECT_EQ(keyframeProbe(t, "/v/a.flv", {{0, 3}, {65, 75}}).text(),
              "ffmpeg -hide_banner -nostdin -y -loglevel error -t 4.000 -i file:/v/a.flv "
              "-ss 65.000 -t 11.000 -i file:/v/a.flv -map 0:V:0 -map 1:V:0 -c copy -f framecrc -");
    EXPECT_EQ(probes[1].text(),
              "ffmpeg -hide_banner -nostdin -y -loglevel error -i file:/o/p.flv -map 0:V:0 -c copy "
              "-frames:v 1 -f framecrc -");
    EXPECT_EQ(probes[2].text(),
              "ffmpeg -hide_banner -nostdin -i file:/o/p.flv -map 0 -c copy -t 0 -f null -");
    EXPECT_EQ(streamProbe(t, QStringList{"/o/p.flv", "/o/q.flv"}).args.filter("file:").size(), 2);

    // The steps that write a file report how far they have come.
    const Command join = joinCommand(t, "/o/~tmpSJoin.txt", "/o/~tmpSJoin.flv", "flv", 12.5);
    EXPECT_TRUE(join.ffmpeg);
    EXPECT_EQ(join.expectedSeconds, 12.5);
    EXPECT_EQ(join.effectiveArgs().mid(0, 3), (QStringList{"-progress", "pipe:1", "-nostats"}));
    EXPECT_EQ(join.effectiveArgs().mid(3), join.args);
}

TEST(SavePlanCommands, PartsCutInOneRunKeepTheirOwnOptionsAndAreCheckedOneByOne) {
    const Tools t = systemTools();
    CutStart key;
    key.fromFileStart = false;
    key.keyTime = key.keyDecodeTime = 28.5;
    const Command a = cutCommand(t, "/v/a.mp4", {}, {0, 10}, "/o/~tmpSP001.mp4", "mp4", false);
    const Command b = cutCommand(t, "/v/a.mp4", key, {30, 12}, "/o/~tmpSP002.mp4", "mp4", false);
    const Command one = tools::batchRuns({a, b}, tools::BatchLog::Stats);
    EXPECT_TRUE(one.ffmpeg);
    EXPECT_EQ(one.expectedSeconds, 13.501);  // the longer part: they advance side by side
    const QString head = QStringLiteral("ffmpeg -hide_banner -nostdin -y -loglevel level+verbose ");
    EXPECT_EQ(one.text(),
              head + a.text().mid(a.text().indexOf(" -i ")).trimmed() + " " +
                  b.text().mid(b.text().indexOf(" -ss ")).trimmed().replace("-map 0:", "-map 1:"));
    // A split's pieces follow one another: one input read once; spread parts: one input each.
    CutStart key2 = key;
    key2.keyTime = key2.keyDecodeTime = 40;
    const QStringList paths{"/o/~tmpSP001.mp4", "/o/~tmpSP002.mp4"};
    const Command pass =
        partsCommand(t, "/v/a.mp4", {CutStart{}, key}, {{0, 30}, {30, 12}}, paths, "mp4");
    EXPECT_EQ(pass.text(),
              "ffmpeg -hide_banner -nostdin -y -loglevel level+verbose -i "
              "file:/v/a.mp4 -t 30.000 -map 0:V? -map 0:a? -c copy -f mp4 "
              "file:/o/~tmpSP001.mp4 -ss 28.499 -t 13.501 -map 0:V? -map 0:a? -c "
              "copy -f mp4 file:/o/~tmpSP002.mp4");
    EXPECT_EQ(pass.expectedSeconds, 30);
    EXPECT_EQ(
        partsCommand(t, "/v/a.mp4", {key, key2}, {{30, 9}, {41, 5}}, paths, "mp4").args.count("-i"),
        1);
    EXPECT_EQ(
        partsCommand(t, "/v/a.mp4", {CutStart{}, key2}, {{0, 10}, {41, 5}}, paths, "mp4").text(),
        tools::batchRuns({cutCommand(t, "/v/a.mp4", {}, {0, 10}, paths[0], "mp4", false),
                          cutCommand(t, "/v/a.mp4", key2, {41, 5}, paths[1], "mp4", false)},
                         tools::BatchLog::Stats)
            .text());
    // Many spread parts: ten inputs at a time; a split's pieces: one pass however many.
    std::vector<CutStart> spread(12, key);
    std::vector<CutTimes> at(12);
    for (int64_t k = 0; k < 12; ++k) {
        spread[static_cast<size_t>(k)].keyDecodeTime = 100.0 * static_cast<double>(k + 1);
        at[static_cast<size_t>(k)] = {100 * (k + 1), 5};
    }
    const std::vector<PartRange> runs = partRuns(spread, at);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[1].first, 10u);
    EXPECT_EQ(runs[1].count, 2u);
    for (size_t k = 0; k < 12; ++k) at[k].length = 100;
    EXPECT_EQ(partRuns(spread, at).size(), 1u);
    EXPECT_TRUE(
        cutsInOneRun(makeSpanPlan("/v/a.mp4", {{0, 10}, {30, 42}}, Mode::Cut, "/o/c.mp4", {})));
    EXPECT_FALSE(
        cutsInOneRun(makeSpanPlan("/v/a.flv", {{0, 10}, {30, 42}}, Mode::Cut, "/o/c.flv", {})));
    EXPECT_FALSE(cutsInOneRun(makeSpanPlan("/v/a.mp4", {{0, 10}}, Mode::Cut, "/o/c.mp4", {})));

    // What ffmpeg 5.1 prints at its end, each output's streams on their own lines.
    const auto stats = tools::readOutputStats(
        QStringLiteral("[verbose] Output file #0 (file:/o/~tmpSP001.mp4):\n"
                       "[verbose]   Output stream #0:0 (video): 250 packets muxed (1 bytes); \n"
                       "[verbose]   Output stream #0:1 (audio): 431 packets muxed (2 bytes); \n"
                       "[verbose] Output file #1 (file:/o/~tmpSP002.mp4):\n"
                       "[verbose]   Output stream #1:0 (video): 0 packets muxed (0 bytes); \n"),
        3);
    ASSERT_EQ(stats.size(), 3u);
    EXPECT_EQ(stats[0].videoPackets, 250);
    EXPECT_EQ(stats[0].audioPackets, 431);
    EXPECT_EQ(stats[0].kinds, (QStringList{"audio", "video"}));
    EXPECT_EQ(stats[1].videoPackets, 0);
    EXPECT_EQ(stats[1].kinds, QStringList{"video"});
    EXPECT_TRUE(stats[2].kinds.isEmpty());
}
