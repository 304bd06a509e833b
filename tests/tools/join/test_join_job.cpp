// The join tool end to end: the real LumbaResFLV writes ffmpeg and flvmdi, the streams are
// read by a headless libmpv player, scripted prompts answer the dialogs, and the clips are
// made by ffmpeg at test time.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <csignal>
#include <memory>

#include "common/globals.h"
#include "common/host.h"
#include "common/media_kinds.h"
#include "common/scripted_prompts.h"
#include "common/shell.h"
#include "common/temp_folder.h"
#include "file_bytes.h"
#include "job_env.h"
#include "probe_answers.h"
#include "qstring_print.h"
#include "save_media.h"
#include "test_media.h"
#include "tool_test_support.h"
#include "tools/busy_state.h"
#include "tools/busy_window.h"
#include "tools/buzy_show.h"
#include "tools/join/join_job.h"
#include "tools/join/join_list_check.h"
#include "tools/join/join_page.h"
#include "tools/join/stream_compare.h"
#include "tools/movie_keys.h"
#include "tools/runner.h"
#include "tools/tool_texts.h"

using namespace join;
using prompts::Answer;

namespace {

const QString kFormatLine = QStringLiteral("可能是檔案格式不支援進一步的合併");

class JoinJobTest : public jobtest::JobEnv {
  protected:
    void SetUp() override {
        JobEnv::SetUp();
        MoreFormats.clear();
        win_ = std::make_unique<QWidget>();
        win_->setGeometry(100, 100, 640, 400);
        win_->show();
        joinList_.paths = [this] { return items_; };
        joinList_.select = [this](int i) { selected_ << i; };
    }
    void TearDown() override {
        MoreFormats.clear();
        JobEnv::TearDown();  // the items are never touched, whatever became of the job
    }

    // A copy of clip in the source folder, added to the join list.
    QString item(const std::string& clip, const QString& name) {
        const QString p = source(clip, name);
        items_ << p;
        return p;
    }
    JoinOutcome runJoin() { return mediaJoin(joinList_, win_.get(), mpvStreamReader()); }

    std::unique_ptr<QWidget> win_;
    QStringList items_;
    QList<int> selected_;
    JoinListAccess joinList_;
};

TEST_F(JoinJobTest, FlvItemsOfAnyCaseJoinAtTagLevelIntoTheSumOfTheirLengths) {
    item(savetest::h264Flv(), QStringLiteral("a.FLV"));
    item(savetest::h264Flv(), QStringLiteral("b.flv"));
    ScriptedPrompts sp;
    sp.files({folder_ + QStringLiteral("a_merge.flv")}).answer(Answer::Ok);
    const JoinOutcome o = runJoin();
    ASSERT_TRUE(o.succeeded);

    // No stream notice for like items: the save dialog comes first, as the tab announces.
    ASSERT_GE(sp.shown().size(), 1u);
    const ScriptedPrompts::Shown& dialog = sp.shown()[0];
    EXPECT_EQ(dialog.kind, ScriptedPrompts::Kind::File);
    EXPECT_EQ(dialog.file.kind, prompts::FileDialog::Save);
    EXPECT_EQ(dialog.file.fileName, QStringLiteral("a_merge.flv"));
    EXPECT_EQ(dialog.file.qtFilter, QStringLiteral("FLV 檔案格式 (*.flv)"));
    EXPECT_EQ(dialog.file.defaultExt, QStringLiteral(".flv"));
    EXPECT_EQ(dialog.initialFolder, src_.path() + QLatin1Char('/'));
    EXPECT_EQ(dialog.file.owner, win_.get());

    ASSERT_EQ(record_.captions.size(), 1);
    EXPECT_TRUE(record_.captions[0].contains(QStringLiteral("正在進行「合併」多媒體檔案")));
    EXPECT_TRUE(record_.captions[0].contains(QStringLiteral("共有 1 個程序，正處理第 1 個")));
    ASSERT_EQ(record_.commands.size(), 1u);
    EXPECT_EQ(record_.commands[0].args.value(0), QStringLiteral("--join"));
    EXPECT_EQ(record_.commands[0].args.mid(2), items_);

    const std::string out = (folder_ + QStringLiteral("a_merge.flv")).toStdString();
    const double one = testmedia::probeDuration(savetest::h264Flv());
    EXPECT_NEAR(testmedia::probeDuration(out), 2 * one, 2.0);  // a keyframe interval per item
    EXPECT_EQ(savetest::decodeErrors(out), "");
    EXPECT_EQ(folderFiles(), QStringList{"a_merge.flv"});
    EXPECT_EQ(shell_.explored, QStringList{folder_ + QStringLiteral("a_merge.flv")});
    EXPECT_TRUE(selected_.isEmpty());
}

TEST_F(JoinJobTest, MixedTypesAreRefusedWithTheOddItemSelected) {
    item(savetest::h264Flv(), QStringLiteral("a.flv"));
    item(savetest::mpeg1Ps(), QStringLiteral("b.mpg"));
    ScriptedPrompts sp;
    sp.answer(Answer::Ok);
    const JoinOutcome o = runJoin();
    EXPECT_FALSE(o.started);
    EXPECT_EQ(selected_, QList<int>{1});
    ASSERT_EQ(sp.shown().size(), 1u);
    EXPECT_EQ(sp.shown()[0].title, QStringLiteral("注意事項"));
    EXPECT_EQ(sp.shown()[0].text, refusedListText());
    EXPECT_EQ(sp.shown()[0].buttons, prompts::Buttons::Ok);
    EXPECT_EQ(folderFiles(), QStringList{});
}

TEST_F(JoinJobTest, OneMpegFileGivesARemuxedCopy) {
    item(savetest::mpeg1Ps(), QStringLiteral("clip.mpg"));
    ScriptedPrompts sp;
    sp.files({folder_ + QStringLiteral("copy.mpg")}).answer(Answer::Ok);
    const JoinOutcome o = runJoin();
    ASSERT_TRUE(o.succeeded);
    EXPECT_EQ(sp.count(ScriptedPrompts::Kind::Message), 1);  // the report only
    const std::string out = (folder_ + QStringLiteral("copy.mpg")).toStdString();
    EXPECT_NEAR(testmedia::probeDuration(out), testmedia::probeDuration(savetest::mpeg1Ps()), 0.6);
    EXPECT_EQ(savetest::decodeErrors(out), "");
    EXPECT_EQ(savetest::streamTypes(out), (std::vector<std::string>{"video", "audio"}));
    // The concat list and the joined file were temporary.
    EXPECT_EQ(folderFiles(), QStringList{"copy.mpg"});
}

TEST_F(JoinJobTest, AwkwardNamesJoinAndStayUntouched) {
    item(savetest::mpeg1Ps(), QStringLiteral("-it's \"q\" 片段 a.mpg"));
    item(savetest::mpeg1Ps(), QStringLiteral("b c.mpg"));
    // Line breaks in another folder and in the name: ffmpeg's list cannot hold them.
    items_ << source(savetest::mpeg1Ps(), QStringLiteral("d\ne.mpg"), QStringLiteral("f\ng"));
    const QString out = folder_ + QStringLiteral("-合併 'x' \"y\".mpg");
    ScriptedPrompts sp;
    sp.files({out}).answer(Answer::Ok);
    const JoinOutcome o = runJoin();
    ASSERT_TRUE(o.succeeded);
    EXPECT_EQ(sp.shown()[0].file.fileName, QStringLiteral("-it's \"q\" 片段 a_merge.mpg"));
    const double one = testmedia::probeDuration(savetest::mpeg1Ps());
    EXPECT_NEAR(testmedia::probeDuration(out.toStdString()), 3 * one, 1.5);
    EXPECT_EQ(savetest::decodeErrors(out.toStdString()), "");
    EXPECT_EQ(folderFiles(), QStringList{QStringLiteral("-合併 'x' \"y\".mpg")});
}

// H.264 + AAC, 2 s, with the given number of channels and picture size.
std::string soundClip(const char* channels, const std::string& size = "160x120") {
    return testmedia::makeClip(
        std::string("join_ac") + channels + "_" + size + ".flv",
        {"-f", "lavfi", "-i", "testsrc2=size=" + size + ":rate=25:duration=2", "-f", "lavfi", "-i",
         "sine=duration=2", "-ac", channels, "-c:v", "libx264", "-preset", "veryfast", "-c:a",
         "aac"});
}

TEST_F(JoinJobTest, UnlikePicturesAreNamedBeforeTheDialogAndCancelEnds) {
    // Pictures of another size a tag-level join can put together: the user is asked.
    item(soundClip("2", "320x240"), QStringLiteral("small.flv"));
    item(soundClip("2", "640x360"), QStringLiteral("large.flv"));
    ScriptedPrompts sp;
    sp.answer(Answer::Cancel);
    const JoinOutcome o = runJoin();
    EXPECT_FALSE(o.started);
    ASSERT_EQ(sp.shown().size(), 1u);
    EXPECT_EQ(sp.shown()[0].title, QStringLiteral("注意事項"));
    EXPECT_EQ(sp.shown()[0].buttons, prompts::Buttons::OkCancel);
    EXPECT_EQ(sp.shown()[0].text,
              mismatchText(2, {StreamProperty::PictureSize, QStringLiteral("320x240"),
                               QStringLiteral("640x360")}));
    EXPECT_EQ(folderFiles(), QStringList{});

    // OK goes on to the save dialog.
    sp.clear();
    sp.answer(Answer::Ok).cancelFile();
    runJoin();
    ASSERT_EQ(sp.shown().size(), 2u);
    EXPECT_EQ(sp.shown()[1].kind, ScriptedPrompts::Kind::File);
}

TEST_F(JoinJobTest, MonoAfterStereoFlvIsRefusedWithItsReasonBeforeTheDialog) {
    item(soundClip("2"), QStringLiteral("stereo.flv"));
    item(soundClip("2"), QStringLiteral("stereo2.flv"));
    item(soundClip("1"), QStringLiteral("mono.flv"));
    ScriptedPrompts sp;
    sp.answer(Answer::Ok);
    const JoinOutcome o = runJoin();
    EXPECT_FALSE(o.started);
    EXPECT_EQ(selected_, QList<int>{2});
    ASSERT_EQ(sp.shown().size(), 1u);  // no offer to go on, no save dialog
    EXPECT_EQ(sp.shown()[0].buttons, prompts::Buttons::Ok);
    EXPECT_EQ(sp.shown()[0].title, QStringLiteral("注意事項"));
    EXPECT_EQ(sp.shown()[0].text, conflictText(3, {StreamProperty::Channels, QStringLiteral("2"),
                                                   QStringLiteral("1")}));
}

TEST_F(JoinJobTest, FlvmdisOwnReasonReachesTheErrorMessage) {
    // Streams that could not be read beforehand are left to the join, which refuses them.
    item(soundClip("2"), QStringLiteral("stereo.flv"));
    item(soundClip("1"), QStringLiteral("mono.flv"));
    ScriptedPrompts sp;
    sp.files({folder_ + QStringLiteral("j.flv")}).answer(Answer::Ok);
    const JoinOutcome o = mediaJoin(joinList_, win_.get(),
                                    [](const QString&) { return std::optional<StreamSummary>(); });
    EXPECT_TRUE(o.started);
    EXPECT_FALSE(o.succeeded);
    EXPECT_EQ(sp.last().title, QStringLiteral("錯誤訊息"));
    EXPECT_TRUE(sp.last().text.contains(tools::diagText(flv::DiagCode::StreamsDiffer)));
    EXPECT_TRUE(sp.last().text.contains(QStringLiteral("E108"))) << sp.last().text.toStdString();
    EXPECT_FALSE(sp.last().text.contains(kFormatLine));
    EXPECT_EQ(folderFiles(), QStringList{});
}

TEST_F(JoinJobTest, OpusInAviAsksToReencodeTheAudio) {
    MoreFormats = kMoreFormatsList;
    item(savetest::opusAvi(), QStringLiteral("a.avi"));
    item(savetest::opusAvi(), QStringLiteral("b.avi"));
    const QString question = tools::reencodeQuestion(tools::toolTexts(tools::Tool::Join));

    {
        SCOPED_TRACE("cancelled");
        ScriptedPrompts sp;
        sp.files({folder_ + QStringLiteral("j.avi")}).answer(Answer::Cancel);
        const JoinOutcome o = runJoin();
        EXPECT_FALSE(o.succeeded);
        EXPECT_EQ(o.reencodeQuestions, 1);
        EXPECT_EQ(sp.messageTexts().value(0), question);
        EXPECT_EQ(sp.last().title, QStringLiteral("錯誤訊息"));
        EXPECT_TRUE(sp.last().text.contains(kFormatLine));
        EXPECT_EQ(folderFiles(), QStringList{});
    }
    ScriptedPrompts sp;
    sp.files({folder_ + QStringLiteral("j.avi")}).answer(Answer::Ok).answer(Answer::Cancel);
    const JoinOutcome o = runJoin();
    ASSERT_TRUE(o.succeeded);
    ASSERT_EQ(record_.commands.size(), 3u);  // the items' clocks read, the copy, the re-encode
    EXPECT_FALSE(record_.commands[1].args.contains(QStringLiteral("libmp3lame")));
    EXPECT_TRUE(record_.commands[2].args.contains(QStringLiteral("libmp3lame")));
    auto r =
        testmedia::run({"ffprobe", "-v", "error", "-select_streams", "a:0", "-show_entries",
                        "stream=codec_name", "-of", "csv=p=0", (folder_ + "j.avi").toStdString()});
    EXPECT_EQ(r.output.substr(0, 3), "mp3");
    EXPECT_EQ(folderFiles(), QStringList{"j.avi"});
}

TEST_F(JoinJobTest, Mp4ItemsWhoseClockStartsLateJoinWithoutAGap) {
    // MP4 counts its stated length from the clock's zero: each item claims 102 s for 2 s.
    MoreFormats = kMoreFormatsList;
    const std::string late = testmedia::makeClip(
        "join_late_clock.mp4", {"-f", "lavfi", "-i", "testsrc2=size=160x120:rate=25:duration=2",
                                "-f", "lavfi", "-i", "sine=duration=2", "-c:v", "libx264",
                                "-preset", "veryfast", "-c:a", "aac", "-output_ts_offset", "100"});
    item(late, QStringLiteral("a.mp4"));
    item(late, QStringLiteral("b.mp4"));
    ScriptedPrompts sp;
    sp.files({folder_ + QStringLiteral("ab.mp4")}).answer(Answer::Ok);
    ASSERT_TRUE(runJoin().succeeded);
    const std::string out = (folder_ + QStringLiteral("ab.mp4")).toStdString();
    EXPECT_NEAR(testmedia::probeDuration(out), 4.0, 0.1);
    EXPECT_EQ(testmedia::probeVideoFrames(out), 100);
    EXPECT_EQ(savetest::decodeErrors(out), "");
    EXPECT_EQ(folderFiles(), QStringList{"ab.mp4"});
}

// Pieces cut by stream copy from keyframes of open groups (x264's open-gop, x265's CRA
// pictures), as the split tool cuts them (the pictures shown before the keyframe left out) or
// as a plain copy does (those pictures kept, hidden by an edit list). Joined by a copy, each
// would go on from the one before as the same sequence, and the hidden pictures would show.
// The joined file shows every piece's pictures in order, as the pieces show them, and the
// joints add nothing for a decoder to say.
TEST_F(JoinJobTest, PiecesStartingAtOpenKeyframesJoinInOrder) {
    MoreFormats = kMoreFormatsList;
    QTemporaryDir pieces;
    const save::Tools tools{QStringLiteral("ffmpeg"), QString()};
    for (const auto& [src, bySplit] : {std::pair{savetest::h264OpenGopMp4(), true},
                                       {savetest::h264OpenGopMp4(), false},
                                       {savetest::hevcMp4(), false}}) {
        SCOPED_TRACE(src + (bySplit ? " cut by the split tool" : " cut by a plain copy"));
        items_.clear();
        std::vector<std::string> files;
        for (save::CutTimes c : {save::CutTimes{0, 3}, {4, 5}, {14, 4}}) {
            const QString piece = pieces.filePath(QStringLiteral("%1.mp4").arg(c.start));
            files.push_back(piece.toStdString());
            const auto start = save::movieCuts(QString::fromStdString(src), {c.start}, {c.end()});
            ASSERT_TRUE(start.has_value());
            c.copyToMs = start->copyEnds[0];
            std::vector<std::string> cut{"ffmpeg",    "-v",
                                         "error",     "-y",
                                         "-ss",       std::to_string(c.start),
                                         "-i",        src,
                                         "-t",        std::to_string(c.length),
                                         "-c",        "copy",
                                         files.back()};
            if (bySplit)
                cut = savetest::argv(save::cutCommand(tools, QString::fromStdString(src),
                                                      start->starts[0], c, piece, "mp4", false));
            ASSERT_EQ(testmedia::run(cut).exitCode, 0);
            item(files.back(), QStringLiteral("%1.mp4").arg(c.start));
        }
        const QString out = folder_ + QStringLiteral("joined.mp4");
        QFile::remove(out);
        ScriptedPrompts sp;
        sp.files({out}).answer(Answer::Ok);
        ASSERT_TRUE(runJoin().succeeded);
        EXPECT_EQ(savetest::messagesOfJoints(out.toStdString(), files), std::vector<std::string>{});
        // The pieces' pictures, one piece after another, each as it shows on its own.
        std::vector<long> pieceByPiece;
        for (const std::string& f : files)
            for (const long i : savetest::sourcePictures(src, f)) pieceByPiece.push_back(i);
        EXPECT_EQ(savetest::sourcePictures(src, out.toStdString()), pieceByPiece);
    }
}

TEST_F(JoinJobTest, AStoppedJoinLeavesNothingBehind) {
    item(savetest::mpeg1Ps(), QStringLiteral("a.mpg"));
    item(savetest::mpeg1Ps(), QStringLiteral("b.mpg"));
    // The join is frozen once it runs (so it cannot finish first), then stopped.
    QTimer poll;
    qint64 frozen = 0;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        const qint64 pid = tools::runningProcessId();
        if (pid <= 0 || frozen) return;
        QFile f(QStringLiteral("/proc/%1/cmdline").arg(pid));
        if (!f.open(QIODevice::ReadOnly) || !f.readAll().contains("concat")) return;
        frozen = pid;
        ::kill(static_cast<pid_t>(pid), SIGSTOP);
        QTest::mouseClick(tools::currentBuzy()->cmdBreak(), Qt::LeftButton);
    });
    poll.start(0);
    ScriptedPrompts sp;
    sp.files({folder_ + QStringLiteral("j.mpg")}).answer(Answer::Ok);
    const JoinOutcome o = runJoin();
    poll.stop();
    ASSERT_GT(frozen, 0);
    EXPECT_TRUE(o.started);
    EXPECT_FALSE(o.succeeded);
    EXPECT_EQ(sp.messageTexts(), QStringList{QStringLiteral("你已經中止程序！")});
    EXPECT_EQ(folderFiles(), QStringList{});
}

TEST_F(JoinJobTest, AnItemIsNeverTheOutput) {
    const QString a = item(savetest::mpeg1Ps(), QStringLiteral("a.mpg"));
    item(savetest::mpeg1Ps(), QStringLiteral("b.mpg"));
    ScriptedPrompts sp;
    sp.files({a}).answer(Answer::Ok);
    const JoinOutcome o = runJoin();
    EXPECT_FALSE(o.started);
    EXPECT_EQ(sp.last().text, ownSourceText(a));
    EXPECT_EQ(sp.last().title, QStringLiteral("錯誤訊息"));
}

TEST_F(JoinJobTest, ThePageRunsTheJoinFromItsButton) {
    item(savetest::mpeg1Ps(), QStringLiteral("a.mpg"));
    item(savetest::h264Flv(), QStringLiteral("b.flv"));
    JoinPage page(tools::PageContext{}, joinList_, {}, win_.get());
    auto* run = page.findChild<QPushButton*>(QStringLiteral("cmdMediaJoin"));
    ASSERT_NE(run, nullptr);
    EXPECT_EQ(run->text(), QStringLiteral("執行合併功能"));
    ScriptedPrompts sp;
    sp.answer(Answer::Ok);
    run->click();
    EXPECT_EQ(selected_, QList<int>{1});
    EXPECT_EQ(sp.last().text, refusedListText());
}

}  // namespace
