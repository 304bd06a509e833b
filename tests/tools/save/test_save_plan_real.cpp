// Each cut, join and probe of the save plan run by the real ffmpeg on a source of every kind.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>

#include "probe_answers.h"
#include "save_media.h"
#include "test_media.h"
#include "tools/ffmpeg_batch.h"
#include "tools/progress.h"
#include "tools/save_plan.h"
#include "tools/splice_point.h"

using namespace save;

namespace {

using savetest::argv;

// Runs c as a job does, with its progress lines, and returns the pictures they counted.
qint64 framesWritten(const Command& c) {
    std::vector<std::string> a{c.program.toStdString()};
    for (const QString& s : c.effectiveArgs()) a.push_back(s.toStdString());
    tools::ProgressParser progress(0);
    progress.feed(QByteArray::fromStdString(testmedia::run(a).output));
    return progress.frames();
}

Tools systemTools() { return {QStringLiteral("ffmpeg"), QStringLiteral("flvmdi")}; }

// Where a job's probe finds the cut of S to begin, and the copy of a part ending at end to stop.
CutStart probe(const QString& src, int64_t S) {
    return savetest::probedStart(src.toStdString(), S, tools::ToolKind::Other);
}
int64_t copyEnd(const QString& src, int64_t end) {
    return savetest::probedEnds(src.toStdString(), {end}).front();
}

}  // namespace

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

// B-frames (libx264's defaults in MP4, with closed and open groups; MPEG-1 with open groups
// of pictures): the parts, cut side by side by one run as a job cuts them, each wrote
// pictures by that run's own account, and joined they show every picture of each part's
// span, each source picture at most once and in order, each part's an unbroken run, and a
// decoder has nothing to say.
TEST(SavePlanReal, JoinedBFramePartsShowEachSpanOnceInOrder) {
    const std::vector<CutTimes> near = {{2, 3}, {9, 2}, {14, 4}};
    // HEVC counts picture order on, from a CRA picture, modulo 256: a part starting more than
    // 128 pictures after the last one ended counts as going backwards, unless marked. H.264
    // from an open group's I-picture likewise, unless renumbered.
    const std::vector<CutTimes> far = {{1, 2}, {12, 3}};
    const std::pair<std::string, std::vector<CutTimes>> sources[] = {
        {savetest::h264Mp4(), near},         {savetest::h264OpenGopMp4(), near},
        {savetest::h264OpenGopMp4(), far},   {savetest::mpeg1Ps(), near},
        {savetest::mpeg4BFramesAvi(), near}, {savetest::mpeg2Ts(), near},
        {savetest::mpeg2EsVob(), near},      {savetest::hevcMp4(), far}};
    for (const auto& [s, cuts] : sources) {
        SCOPED_TRACE(s);
        QTemporaryDir dir;
        const QString src = QString::fromStdString(s);
        const QString ext = QFileInfo(src).suffix();
        QStringList parts;
        std::vector<Command> runs;
        for (size_t i = 0; i < cuts.size(); ++i) {
            parts << dir.filePath(partName(static_cast<int>(i), ext));
            CutTimes c = cuts[i];
            c.copyToMs = copyEnd(src, c.end());
            runs.push_back(
                cutCommand(systemTools(), src, probe(src, c.start), c, parts.back(), ext, false));
        }
        const auto cut = testmedia::run(argv(tools::batchRuns(runs, tools::BatchLog::Stats)));
        ASSERT_EQ(cut.exitCode, 0) << cut.output;
        const auto stats =
            tools::readOutputStats(QString::fromStdString(cut.output), int(cuts.size()));
        for (const tools::OutputStats& st : stats) {
            EXPECT_GT(st.videoPackets, 0);
            EXPECT_GT(st.audioPackets, 0);
            EXPECT_EQ(st.kinds, (QStringList{"audio", "video"}));
        }
        // As the job does before it joins: parts that start at an IDR are left as they are.
        for (qsizetype k = 1; ext == "mp4" && k < parts.size(); ++k)
            EXPECT_EQ(markSplicePoint(parts[k - 1], parts[k]),
                      s == savetest::h264Mp4() ? SpliceMark::NotNeeded : SpliceMark::Marked);
        QFile f(dir.filePath(kJoinListName));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(joinListText(parts).toUtf8());
        f.close();
        const QString joined = dir.filePath(joinName(ext));
        auto r = testmedia::run(argv(joinCommand(systemTools(), f.fileName(), joined, ext)));
        ASSERT_EQ(r.exitCode, 0) << r.output;
        // The joints give a decoder nothing to say: what it says of the joined file, it says
        // of a part on its own (one cut from an open group may name references from before).
        std::vector<std::string> partFiles;
        for (const QString& p : parts) partFiles.push_back(p.toStdString());
        EXPECT_EQ(savetest::messagesOfJoints(joined.toStdString(), partFiles),
                  std::vector<std::string>{});
        const std::vector<long> shown = savetest::sourcePictures(s, joined.toStdString());
        EXPECT_EQ(std::count(shown.begin(), shown.end(), -1), 0) << "pictures not the source's";
        EXPECT_EQ(
            std::adjacent_find(shown.begin(), shown.end(), [](long a, long b) { return b <= a; }),
            shown.end())
            << "out of order or twice";
        const auto source = savetest::decodedFrames(s);
        // Each part is one unbroken run of source pictures, with no gap before its end.
        long runsShown = 0;
        for (size_t i = 0; i < shown.size(); ++i)
            runsShown += i == 0 || shown[i] != shown[i - 1] + 1;
        EXPECT_EQ(runsShown, long(cuts.size()));
        for (size_t i = 0; i < source.size(); ++i) {
            for (const CutTimes& c : cuts) {
                if (source[i].time >= double(c.start) && source[i].time < double(c.end())) {
                    EXPECT_TRUE(std::binary_search(shown.begin(), shown.end(), long(i)))
                        << "picture at " << source[i].time << " s missing";
                }
            }
        }
    }
}

TEST(SavePlanReal, ASplicePointIsMarkedOnlyWhereTheFileIsWhole) {
    QTemporaryDir dir;
    QFile src(QString::fromStdString(savetest::hevcMp4()));
    ASSERT_TRUE(src.open(QIODevice::ReadOnly));
    const QByteArray whole = src.readAll();
    // The source starts at an IDR picture: nothing to mark. Cut short, or not MP4 at all, it
    // is left exactly as it was.
    const QString copy = dir.filePath("whole.mp4");
    ASSERT_TRUE(QFile::copy(src.fileName(), copy));
    EXPECT_EQ(markSplicePoint(copy, copy), SpliceMark::NotNeeded);
    for (const QByteArray& bytes : {whole.left(whole.size() - 100), QByteArray("not a movie")}) {
        QFile f(dir.filePath("bad.mp4"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
        f.close();
        EXPECT_EQ(markSplicePoint(copy, f.fileName()), SpliceMark::Unreadable);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), bytes);
    }
}

TEST(SavePlanReal, OpusInAviNeedsTheAudioReencoded) {
    QTemporaryDir dir;
    const QString src = QString::fromStdString(savetest::opusAvi());
    const CutStart cs = probe(src, 4);
    const QString part = dir.filePath("~tmpSP001.avi");
    // ffmpeg leaves the header it had begun, and its progress lines count no picture written;
    // a read-back finds none either.
    EXPECT_FALSE(wrotePictures(
        framesWritten(cutCommand(systemTools(), src, cs, {4, 3}, part, "avi", false))));
    auto check = testmedia::run(argv(partCheck(systemTools(), part)));
    EXPECT_FALSE(partCheckPassed(QString::fromStdString(check.output)));
    EXPECT_TRUE(wrotePictures(
        framesWritten(cutCommand(systemTools(), src, cs, {4, 3}, part, "avi", true))));
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
