// saveMarkedSegments end to end: the real LumbaResFLV writes ffmpeg and flvmdi, the job cuts
// clips made by ffmpeg at test time, scripted prompts answer the dialogs.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QTimer>
#include <QWidget>
#include <csignal>
#include <memory>

#include "common/globals.h"
#include "common/host.h"
#include "common/scripted_prompts.h"
#include "common/shell.h"
#include "common/temp_folder.h"
#include "file_bytes.h"
#include "job_env.h"
#include "save_media.h"
#include "test_media.h"
#include "tool_test_support.h"
#include "tools/busy_state.h"
#include "tools/runner.h"
#include "tools/save_segments.h"
#include "tools/split/split_names.h"
#include "tools/tool_host.h"
#include "tools/tool_texts.h"

using namespace save;
using prompts::Answer;

namespace {

const QString kFormatLine = QStringLiteral("可能是檔案格式不支援進一步的剪輯");

struct Player : SaveHost {
    QString source;
    std::vector<UnitSegment> marks;
    double spu = 0.04;  // 25 fps
    double total = 20;
    bool audioOnly = false;
    bool openSegment = false;
    int closes = 0, pauses = 0;
    QWidget* win = nullptr;
    void closeOpenSegment() override {
        if (openSegment) ++closes;
        openSegment = false;
    }
    QString sourcePath() override { return source; }
    std::vector<UnitSegment> segments() override { return marks; }
    double secondsPerUnit() override { return spu; }
    double totalSeconds() override { return total; }
    bool isAudioOnly() override { return audioOnly; }
    void pausePrFn() override { ++pauses; }
    QWidget* window() override { return win; }
};

using testmedia::md5Of;

// Segment in units from seconds at 25 fps.
UnitSegment seg(double from, double to) {
    return {static_cast<int64_t>(from * 25 + 0.5), static_cast<int64_t>((to - from) * 25 + 0.5)};
}

using jobtest::cutSpan;
using jobtest::isFlvCut;
std::vector<Command> cuts(const tools::JobRecord& o) { return jobtest::cutsOf(o); }
int countProgram(const tools::JobRecord& o, const QString& nameEnd) {
    int n = 0;
    for (const Command& c : o.commands)
        if (c.program.endsWith(nameEnd)) ++n;
    return n;
}

class SaveJobTest : public jobtest::JobEnv {
  protected:
    void SetUp() override {
        JobEnv::SetUp();
        win_ = std::make_unique<QWidget>();
        win_->setGeometry(100, 100, 640, 400);
        win_->show();
        player_.win = win_.get();
    }

    // The source copied into its own folder, so that nothing else shares it.
    QString source(const std::string& clip, const QString& name) {
        player_.source = JobEnv::source(clip, name);
        sourceMd5_ = sources_[player_.source];
        return player_.source;
    }
    void expectSourceUntouched() { EXPECT_EQ(md5Of(player_.source), sourceMd5_); }

    std::unique_ptr<QWidget> win_;
    Player player_;
    QByteArray sourceMd5_;
};

TEST_F(SaveJobTest, SplitThreeFlvSegmentsIntoNumberedFiles) {
    const QString src = source(savetest::h264Flv(), QStringLiteral("clip.flv"));
    player_.marks = {seg(1.5, 3.2), seg(7.0, 9.5), seg(12.3, 15.1)};
    player_.openSegment = true;
    ScriptedPrompts sp;
    sp.answer(Answer::Ok).folderChosen(work_.path()).answer(Answer::Ok);
    const SaveOutcome o = saveMarkedSegments(player_, Mode::Split, split::pieceNames());

    EXPECT_EQ(player_.closes, 1);
    EXPECT_GE(player_.pauses, 1);
    ASSERT_TRUE(o.succeeded);
    EXPECT_EQ(folderFiles(), (QStringList{"split_001.flv", "split_002.flv", "split_003.flv"}));
    EXPECT_EQ(o.steps, 3);
    ASSERT_FALSE(record_.captions.isEmpty());
    for (const QString& c : record_.captions)
        EXPECT_TRUE(c.contains(QStringLiteral("共有 3 個程序")));
    EXPECT_TRUE(record_.captions.first().contains(QStringLiteral("正在進行「分割」多媒體檔案")));
    EXPECT_TRUE(record_.captions.last().contains(QStringLiteral("正處理第 3 個")));
    EXPECT_EQ(shell_.explored, QStringList{folder_ + QStringLiteral("split_001.flv")});
    EXPECT_EQ(countProgram(record_, QStringLiteral("~tmpLmbFmd.exe")), 3);

    // The dialogs as the user saw them.
    ASSERT_GE(sp.shown().size(), 2u);
    EXPECT_EQ(sp.shown()[0].text, confirmText(Mode::Split, src));
    EXPECT_EQ(sp.shown()[1].kind, ScriptedPrompts::Kind::Folder);
    EXPECT_EQ(sp.shown()[1].title,
              folderBrowserTitle(split::pieceNamePattern(QStringLiteral("flv"))));
    EXPECT_EQ(sp.shown()[1].initialFolder, src_.path() + QLatin1Char('/'));

    const auto frames = savetest::decodedFrames(src.toStdString());
    const std::vector<Command> cs = cuts(record_);
    ASSERT_EQ(cs.size(), 3u);
    const int64_t S[] = {1, 7, 12}, L[] = {3, 3, 4};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const QString out = folder_ + split::pieceName(i, QStringLiteral("flv"));
        const auto span = cutSpan(cs[static_cast<size_t>(i)]);
        EXPECT_NEAR(span.second, static_cast<double>(S[i] + L[i]), 0.001);
        const auto key = savetest::keyFrameAtOrBefore(frames, static_cast<double>(S[i]));
        // ffmpeg is told where the keyframe is; flvmdi finds it itself.
        if (isFlvCut(cs[static_cast<size_t>(i)]))
            EXPECT_EQ(span.first, static_cast<double>(S[i]));
        else
            EXPECT_LE(span.first, key.time);
        EXPECT_EQ(savetest::firstPictureMd5(out.toStdString()), key.md5);
        EXPECT_GE(testmedia::probeDuration(out.toStdString()) + 0.05, static_cast<double>(L[i]));
        EXPECT_EQ(savetest::streamTypes(out.toStdString()).size(), 2u);
        EXPECT_EQ(savetest::decodeErrors(out.toStdString()), "");
        auto check = testmedia::run({"flvmeta", "--check", "--level=error", out.toStdString()});
        EXPECT_EQ(check.exitCode, 0) << check.output;
    }
    expectSourceUntouched();
}

TEST_F(SaveJobTest, CutThreeMpegSegmentsJoinsThemInFourSteps) {
    source(savetest::mpeg1Ps(), QStringLiteral("clip.mpg"));
    player_.marks = {seg(2.2, 4.9), seg(8.0, 10.0), seg(13.5, 16.2)};
    ScriptedPrompts sp;
    sp.answer(Answer::Ok).files({folder_ + QStringLiteral("joined.mpg")}).answer(Answer::Cancel);
    const SaveOutcome o = saveMarkedSegments(player_, Mode::Cut, split::pieceNames());
    ASSERT_TRUE(o.succeeded);
    EXPECT_EQ(o.steps, 4);
    EXPECT_TRUE(record_.captions.last().contains(QStringLiteral("共有 4 個程序，正處理第 4 個")));
    EXPECT_EQ(folderFiles(), QStringList{"joined.mpg"});  // parts and list file are gone
    const prompts::FileDialog& d = sp.shown()[1].file;
    EXPECT_EQ(d.kind, prompts::FileDialog::Save);
    EXPECT_EQ(d.qtFilter, QStringLiteral("MPG 檔案格式 (*.mpg)"));
    EXPECT_EQ(d.defaultExt, QStringLiteral(".mpg"));
    EXPECT_EQ(d.fileName, QStringLiteral("clip_part.mpg"));
    // L = 3 + 2 + 4; each part may begin up to one keyframe interval (0.48 s) early.
    const double len = testmedia::probeDuration((folder_ + "joined.mpg").toStdString());
    EXPECT_GE(len + 0.1, 9.0);
    EXPECT_LE(len, 9.0 + 3 * 0.48 + 0.1);
    EXPECT_EQ(countProgram(record_, QStringLiteral("~tmpLmbFmd.exe")), 0);
    // Three runs of ffmpeg: one probe of the parts' keyframes, one run cutting all three
    // parts (which tells their streams too), the join.
    EXPECT_EQ(countProgram(record_, QStringLiteral("~tmpLmbFmg.exe")), 3);
    expectSourceUntouched();
}

// ffmpeg reads its join list a line at a time: a folder whose name holds a line break (and
// the "#" and "?" its addresses give meaning to) still takes a joined cut.
TEST_F(SaveJobTest, AJoinedCutLandsInAFolderWithALineBreakInItsName) {
    source(savetest::mpeg1Ps(), QStringLiteral("clip.mpg"));
    player_.marks = {seg(2.2, 4.9), seg(8.0, 10.0)};
    const QString folder = folder_ + QStringLiteral("a\nb #?'%d/");
    ASSERT_TRUE(QDir().mkpath(folder));
    ScriptedPrompts sp;
    sp.answer(Answer::Ok).files({folder + QStringLiteral("joined.mpg")}).answer(Answer::Cancel);
    const SaveOutcome o = saveMarkedSegments(player_, Mode::Cut, split::pieceNames());
    EXPECT_TRUE(o.succeeded) << sp.last().text.toStdString();
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{"joined.mpg"});
    EXPECT_GT(testmedia::probeDuration((folder + "joined.mpg").toStdString()), 4.5);
    expectSourceUntouched();
}

// Pieces of this clip begin with an audio tag (cut from the file's start, as the source does)
// or a video tag (cut from a later keyframe); a join that paired streams by number put MP3
// frames into the video stream and lost the second segment.
TEST_F(SaveJobTest, H263Mp3PiecesJoinCleanlyWhateverTagComesFirst) {
    const QString src = source(savetest::h263DefaultsFlv(), QStringLiteral("clip.flv"));
    const auto frames = savetest::decodedFrames(src.toStdString());
    player_.total = 30;
    // "clip.flv∥325-400 475-600" (13-16 s and 19-24 s), then the first from the file's start.
    const std::vector<UnitSegment> markSets[] = {{{325, 75}, {475, 125}}, {{5, 70}, {475, 125}}};
    const double lengths[] = {8.0, 8.0};
    for (int set = 0; set < 2; ++set) {
        SCOPED_TRACE(set);
        player_.marks = markSets[set];
        ScriptedPrompts sp;
        sp.answer(Answer::Ok)
            .files({folder_ + QStringLiteral("joined.flv")})
            .answer(Answer::Cancel);
        const SaveOutcome o = saveMarkedSegments(player_, Mode::Cut, split::pieceNames());
        ASSERT_TRUE(o.succeeded);
        const std::string out = (folder_ + "joined.flv").toStdString();
        const std::string errors = savetest::decodeErrors(out);
        EXPECT_TRUE(errors.empty()) << errors.substr(0, 400);
        EXPECT_EQ(savetest::streamTypes(out).size(), 2u);
        // Each piece may begin up to one keyframe interval (0.48 s) early.
        const double len = testmedia::probeDuration(out);
        EXPECT_GE(len + 0.1, lengths[set]);
        EXPECT_LE(len, lengths[set] + 2 * 0.48 + 0.2);
        // The second segment is there: its first picture is among the joined ones.
        const auto joined = savetest::decodedFrames(out);
        const auto second = savetest::keyFrameAtOrBefore(frames, 19.0);
        int found = 0;
        for (const auto& f : joined) found += f.md5 == second.md5;
        EXPECT_GE(found, 1);
        EXPECT_GE(joined.size(), static_cast<size_t>(lengths[set] * 25));
        auto check = testmedia::run({"flvmeta", "--check", "--level=error", out});
        EXPECT_EQ(check.exitCode, 0) << check.output;
        EXPECT_EQ(folderFiles(), QStringList{"joined.flv"});
    }
    {
        ScriptedPrompts sp;
        sp.answer(Answer::Ok).folderChosen(work_.path()).answer(Answer::Cancel);
        ASSERT_TRUE(saveMarkedSegments(player_, Mode::Split, split::pieceNames()).succeeded);
        for (int i = 0; i < 2; ++i) {
            const std::string piece =
                (folder_ + split::pieceName(i, QStringLiteral("flv"))).toStdString();
            EXPECT_EQ(savetest::decodeErrors(piece), "") << piece;
        }
    }
    expectSourceUntouched();
}

// The running cut is given a file size limit a few seconds of video exceed: with SIGXFSZ at
// its default the kernel kills ffmpeg half-way, ignored it is the full disk's write error.
// Either way the part is cut short but not empty, and the job must fail, not report it made.
class CutCutShort {
  public:
    explicit CutCutShort(bool ignoreSignal)
        : old_(std::signal(SIGXFSZ, ignoreSignal ? SIG_IGN : SIG_DFL)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] { limitRunningCut(); });
        timer_.start(0);
    }
    ~CutCutShort() { std::signal(SIGXFSZ, old_); }
    int limited = 0;

  private:
    void limitRunningCut() {
        const qint64 pid = tools::runningProcessId();
        if (pid <= 0 || pid == last_) return;
        QFile f(QStringLiteral("/proc/%1/cmdline").arg(pid));
        if (!f.open(QIODevice::ReadOnly)) return;
        const QByteArray cmd = f.readAll();
        // The cut itself: not flvmdi, not the picture check that reads the part back.
        if (!cmd.contains("~tmpSP001") || !cmd.contains("-hide_banner") || cmd.contains("framecrc"))
            return;
        last_ = pid;
        const struct rlimit limit = {64 * 1024, 64 * 1024};
        if (::prlimit(static_cast<pid_t>(pid), RLIMIT_FSIZE, &limit, nullptr) == 0) ++limited;
    }
    QTimer timer_;
    qint64 last_ = 0;
    void (*old_)(int);
};

TEST_F(SaveJobTest, ACutKilledOrOutOfSpaceFailsAndLeavesNothing) {
    source(savetest::mpeg1Ps(), QStringLiteral("clip.mpg"));
    player_.marks = {seg(2, 16)};
    for (const bool outOfSpace : {false, true}) {
        SCOPED_TRACE(outOfSpace ? "out of space" : "killed");
        CutCutShort cutShort(outOfSpace);
        ScriptedPrompts sp;
        sp.answer(Answer::Ok).files({folder_ + QStringLiteral("cut.mpg")}).answer(Answer::Ok);
        const SaveOutcome o = saveMarkedSegments(player_, Mode::Cut, split::pieceNames());
        ASSERT_EQ(cutShort.limited, 1);
        EXPECT_TRUE(o.started);
        EXPECT_FALSE(o.succeeded);
        EXPECT_EQ(sp.last().title, QStringLiteral("錯誤訊息"));
        EXPECT_TRUE(sp.last().text.contains(kFormatLine));
        EXPECT_EQ(folderFiles(), QStringList{});
    }
    expectSourceUntouched();
}

// The picture starts at 5 s: a span before it has no picture to save, and the job says so.
TEST_F(SaveJobTest, AnFlvSpanWithoutPictureFailsTheJob) {
    const std::string clip = testmedia::makeClip(
        "save_picture_starts_late.flv",
        {"-itsoffset", "5", "-f", "lavfi", "-i", "testsrc=size=96x64:rate=25:duration=5", "-f",
         "lavfi", "-i", "sine=frequency=440:duration=10", "-c:v", "flv1", "-c:a", "libmp3lame"});
    source(clip, QStringLiteral("clip.flv"));
    player_.total = 10;
    player_.marks = {seg(1, 3)};
    ScriptedPrompts sp;
    sp.answer(Answer::Ok).files({folder_ + QStringLiteral("cut.flv")}).answer(Answer::Ok);
    const SaveOutcome o = saveMarkedSegments(player_, Mode::Cut, split::pieceNames());
    EXPECT_TRUE(o.started);
    EXPECT_FALSE(o.succeeded);
    EXPECT_TRUE(sp.last().text.contains(tools::diagText(flv::DiagCode::NothingInRange)));
    EXPECT_EQ(folderFiles(), QStringList{});
    expectSourceUntouched();
}

TEST_F(SaveJobTest, OneFlvSegmentIsCutByFlvmdiAndMovedToTheChosenName) {
    source(savetest::h263Flv(), QStringLiteral("clip.flv"));
    player_.marks = {seg(4.4, 8.8)};
    ScriptedPrompts sp;
    sp.answer(Answer::Ok).files({folder_ + QStringLiteral("one.flv")}).answer(Answer::Cancel);
    const SaveOutcome o = saveMarkedSegments(player_, Mode::Cut, split::pieceNames());
    ASSERT_TRUE(o.succeeded);
    EXPECT_EQ(o.steps, 1);
    EXPECT_EQ(folderFiles(), QStringList{"one.flv"});
    for (const Command& c : record_.commands)
        EXPECT_FALSE(c.args.contains(QStringLiteral("concat")));
    // One pass of flvmdi cuts the span with its metadata; ffmpeg only reads a picture back.
    ASSERT_EQ(countProgram(record_, QStringLiteral("~tmpLmbFmd.exe")), 1);
    EXPECT_EQ(cuts(record_).at(0).args, (QStringList{"--cut", "4000", "9000", player_.source,
                                                     folder_ + QStringLiteral("~tmpSP001.flv")}));
    EXPECT_EQ(record_.captions.size(), 2);  // after the start and before the one step
    auto check = testmedia::run(
        {"flvmeta", "--check", "--level=error", (folder_ + "one.flv").toStdString()});
    EXPECT_EQ(check.exitCode, 0) << check.output;
    expectSourceUntouched();
}

TEST_F(SaveJobTest, MarksFrom75_5To82_3AreCutFrom75For8) {
    const std::string longClip = testmedia::makeClip(
        "save_long_90s.flv",
        {"-f",       "lavfi",   "-i",      "testsrc2=size=96x64:rate=25:duration=90",
         "-f",       "lavfi",   "-i",      "sine=frequency=440:sample_rate=22050:duration=90",
         "-c:v",     "libx264", "-preset", "ultrafast",
         "-g",       "50",      "-c:a",    "libmp3lame",
         "-b:a",     "32k",     "-ar",     "22050",
         "-shortest"});
    source(longClip, QStringLiteral("long.flv"));
    player_.total = 90;
    player_.marks = {seg(75.5, 82.3)};
    ScriptedPrompts sp;
    sp.answer(Answer::Ok).files({folder_ + QStringLiteral("cut.flv")}).answer(Answer::Cancel);
    const SaveOutcome o = saveMarkedSegments(player_, Mode::Cut, split::pieceNames());
    ASSERT_TRUE(o.succeeded);
    SaveRequest request;
    request.source = player_.source;
    request.segments = player_.marks;
    request.secondsPerUnit = 0.04;
    request.totalSeconds = 90;
    request.output = folder_ + QStringLiteral("cut.flv");
    const SavePlan plan = makePlan(request);
    EXPECT_EQ(plan.parts[0].cut.start, 75);
    EXPECT_EQ(plan.parts[0].cut.length, 8);
    const auto span = cutSpan(cuts(record_).at(0));
    EXPECT_NEAR(span.second, 83.0, 0.001);
    EXPECT_LE(span.first, 75.0);
    EXPECT_GE(span.first, 73.0);  // the keyframe before 75, 2 s apart
    expectSourceUntouched();
}

TEST_F(SaveJobTest, OpusInAviAsksOnceAndReencodesEveryPart) {
    source(savetest::opusAvi(), QStringLiteral("clip.avi"));
    player_.marks = {seg(1.0, 3.0), seg(6.0, 8.0), seg(11.0, 12.5)};
    ScriptedPrompts sp;
    sp.answer(Answer::Ok)
        .files({folder_ + QStringLiteral("new.avi")})
        .answer(Answer::Ok)
        .answer(Answer::Cancel);
    const SaveOutcome o = saveMarkedSegments(player_, Mode::Cut, split::pieceNames());
    EXPECT_EQ(o.reencodeQuestions, 1);
    const QString question = tools::reencodeQuestion(tools::toolTexts(tools::Tool::SaveCut));
    EXPECT_EQ(sp.messageTexts().count(question), 1);
    ASSERT_TRUE(o.succeeded);
    int reencoded = 0;
    for (const Command& c : cuts(record_))
        reencoded += c.args.contains(QStringLiteral("libmp3lame"));
    EXPECT_EQ(reencoded, 3);
    auto r = testmedia::run({"ffprobe", "-v", "error", "-select_streams", "a:0", "-show_entries",
                             "stream=codec_name", "-of", "csv=p=0",
                             (folder_ + "new.avi").toStdString()});
    EXPECT_EQ(r.output.substr(0, 3), "mp3");
    EXPECT_EQ(folderFiles(), QStringList{"new.avi"});
    expectSourceUntouched();
}

TEST_F(SaveJobTest, OpusInAviCancelledEndsWithTheErrorMessage) {
    source(savetest::opusAvi(), QStringLiteral("clip.avi"));
    player_.marks = {seg(1.0, 3.0), seg(6.0, 8.0)};
    ScriptedPrompts sp;
    sp.answer(Answer::Ok).files({folder_ + QStringLiteral("new.avi")}).answer(Answer::Cancel);
    const SaveOutcome o = saveMarkedSegments(player_, Mode::Cut, split::pieceNames());
    EXPECT_FALSE(o.succeeded);
    EXPECT_EQ(o.reencodeQuestions, 1);
    EXPECT_TRUE(sp.last().text.contains(kFormatLine));
    EXPECT_EQ(sp.last().title, QStringLiteral("錯誤訊息"));
    EXPECT_EQ(folderFiles(), QStringList{});
    expectSourceUntouched();
}

TEST_F(SaveJobTest, RefusalsBeforeAnyDialog) {
    source(savetest::h264Flv(), QStringLiteral("clip.flv"));
    player_.marks = {seg(1, 2)};
    {
        player_.audioOnly = true;
        ScriptedPrompts sp;
        EXPECT_FALSE(saveMarkedSegments(player_, Mode::Split, split::pieceNames()).started);
        ASSERT_EQ(sp.shown().size(), 1u);
        EXPECT_EQ(sp.last().text, QStringLiteral("「另存分割」無法處理沒有畫面／視訊的影片！"));
        EXPECT_EQ(sp.last().title, QStringLiteral("錯誤訊息"));
        player_.audioOnly = false;
    }
    for (int i = 0; i < 3; ++i) {
        Player p = player_;
        if (i == 0) p.marks.clear();
        if (i == 1) p.spu = 0;
        if (i == 2) p.source = folder_ + QStringLiteral("gone.flv");
        ScriptedPrompts sp;
        EXPECT_FALSE(saveMarkedSegments(p, Mode::Cut, split::pieceNames()).started);
        ASSERT_EQ(sp.shown().size(), 1u);
        EXPECT_EQ(sp.last().text, missingSourceText());
    }
    {
        ScriptedPrompts sp;  // the confirmation cancelled: nothing else is asked
        sp.answer(Answer::Cancel);
        EXPECT_FALSE(saveMarkedSegments(player_, Mode::Cut, split::pieceNames()).started);
        EXPECT_EQ(sp.shown().size(), 1u);
    }
    expectSourceUntouched();
}

TEST_F(SaveJobTest, TheSourceItselfIsNeverAnOutput) {
    const QString src = source(savetest::h264Flv(), QStringLiteral("clip.flv"));
    player_.marks = {seg(1, 3), seg(5, 7)};
    {
        ScriptedPrompts sp;
        sp.answer(Answer::Ok).files({src});
        const SaveOutcome o = saveMarkedSegments(player_, Mode::Cut, split::pieceNames());
        EXPECT_FALSE(o.started);
        EXPECT_EQ(sp.last().title, QStringLiteral("錯誤訊息"));
        EXPECT_EQ(sp.last().text, ownSourceText(Mode::Cut, src));
    }
    {
        // A source named split_002.flv in the chosen folder would be replaced by a piece.
        const QString named = src_.path() + QStringLiteral("/split_002.flv");
        QFile::rename(src, named);
        player_.source = named;
        sources_.erase(src);
        sources_[named] = sourceMd5_;
        ScriptedPrompts sp;
        sp.answer(Answer::Ok).folderChosen(src_.path());
        EXPECT_FALSE(saveMarkedSegments(player_, Mode::Split, split::pieceNames()).started);
        EXPECT_EQ(sp.last().title, QStringLiteral("錯誤訊息"));
    }
    expectSourceUntouched();
    EXPECT_TRUE(appHost_.released.isEmpty());
}

TEST_F(SaveJobTest, AnUnwritableFolderFailsAndLeavesNothing) {
    source(savetest::h264Flv(), QStringLiteral("clip.flv"));
    player_.marks = {seg(1, 3), seg(5, 7)};
    // The superuser writes into a folder without write permission; /proc refuses everyone.
    QDir(folder_).mkdir(QStringLiteral("ro"));
    const QString ro = folder_ + QStringLiteral("ro");
    QFile::setPermissions(ro, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    QFile probe(ro + QStringLiteral("/x"));
    const bool rootWrites = probe.open(QIODevice::WriteOnly);
    probe.remove();
    const QString target =
        rootWrites ? QStringLiteral("/proc/cut.flv") : ro + QStringLiteral("/cut.flv");
    ScriptedPrompts sp;
    sp.answer(Answer::Ok).files({target}).answer(Answer::Ok);
    const SaveOutcome o = saveMarkedSegments(player_, Mode::Cut, split::pieceNames());
    // Refused before the job starts, naming the folder rather than blaming the file.
    EXPECT_FALSE(o.started);
    EXPECT_FALSE(o.succeeded);
    EXPECT_EQ(sp.last().text, QStringLiteral("輸出的資料夾不存在，或是無法寫入：\r\n\r\n") +
                                  QFileInfo(target).absolutePath());
    EXPECT_EQ(sp.last().title, QStringLiteral("錯誤訊息"));
    EXPECT_FALSE(QFileInfo::exists(target));
    EXPECT_TRUE(QDir(QFileInfo(target).absolutePath())
                    .entryList({QStringLiteral("~tmpS*")}, QDir::Files | QDir::Hidden)
                    .isEmpty());
    QFile::setPermissions(ro,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    expectSourceUntouched();
}

TEST_F(SaveJobTest, CleanUpKeepsTheUsersOwnLookalikes) {
    source(savetest::h264Flv(), QStringLiteral("clip.flv"));
    player_.marks = {seg(1, 3), seg(5, 7)};
    tooltest::writeFile(folder_ + QStringLiteral("~tmpS-mine.txt"), "keep");
    tooltest::writeFile(folder_ + QStringLiteral("~fix~tmpSP9.flv"), "keep");
    ScriptedPrompts sp;
    sp.answer(Answer::Ok).files({folder_ + QStringLiteral("out.flv")}).answer(Answer::Cancel);
    ASSERT_TRUE(saveMarkedSegments(player_, Mode::Cut, split::pieceNames()).succeeded);
    EXPECT_EQ(folderFiles(), (QStringList{"out.flv", "~fix~tmpSP9.flv", "~tmpS-mine.txt"}));
    auto check = testmedia::run(
        {"flvmeta", "--check", "--level=error", (folder_ + "out.flv").toStdString()});
    EXPECT_EQ(check.exitCode, 0) << check.output;
    expectSourceUntouched();
}

}  // namespace
