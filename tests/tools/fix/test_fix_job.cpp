// The fix tool end to end: the real LumbaResFLV writes ffmpeg and flvmdi, sources are made by
// ffmpeg at test time (and damaged here), scripted prompts answer the dialogs. And its page.
#include <QCoreApplication>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>
#include <map>
#include <sstream>

#include "common/scripted_prompts.h"
#include "common/texts.h"
#include "flv_test_util.h"
#include "job_env.h"
#include "qstring_print.h"
#include "tools/fix/fix_job.h"
#include "tools/fix/fix_page.h"
#include "tools/fix/fix_plan.h"
#include "tools/fix/path_box.h"
#include "tools/tool_texts.h"

using namespace fix;
using prompts::Answer;

namespace {

const QString kErrorText = tools::jobErrorText(tools::toolTexts(tools::Tool::Fix));

// A copy of an FLV with what damaged files on the web show: no onMetaData (so no length and
// no keyframe index) and a clock that starts again from 0 halfway through.
void writeDamagedFlv(const std::string& from, const QString& to) {
    using namespace flvtest;
    const std::vector<RawTag> tags = audioVideoTags(splitTags(readFile(from)));
    const std::size_t half = tags.size() / 2;
    const std::uint32_t restart = tags[half].timestamp;
    std::vector<RawTag> damaged;
    for (std::size_t i = 0; i < tags.size(); ++i) {
        const RawTag& t = tags[i];
        const std::uint32_t ts = i < half ? t.timestamp : t.timestamp - restart;
        damaged.push_back(makeTag(t.type, ts, Bytes(t.bytes.begin() + 11, t.bytes.end())));
    }
    writeFile(to.toStdString(), joinTags(damaged, 5));
}

class FixJobTest : public jobtest::JobEnv {
  protected:
    FixOutcome fixWith(ScriptedPrompts& sp, const QString& src, const QString& outName) {
        sp.files({folder_ + outName});
        return mediaFix(&list_, src);
    }
};

TEST_F(FixJobTest, DamagedFlvComesOutWithItsLengthIndexAndCleanPictures) {
    const QString src = src_.path() + QStringLiteral("/with blanks/my clip.flv");
    QDir().mkpath(QFileInfo(src).path());
    writeDamagedFlv(testmedia::clip("h264_aac.flv"), src);
    sources_[src] = md5Of(src);
    // The damage is real: players see half the length.
    ASSERT_LT(testmedia::probeDuration(src.toStdString()), 8.0);

    ScriptedPrompts sp;
    sp.files({folder_ + QStringLiteral("my clip_fix.flv")}).answer(Answer::Cancel);
    const FixOutcome o = mediaFix(&list_, QStringLiteral("  ") + src + QStringLiteral(" "));
    ASSERT_TRUE(o.succeeded);
    EXPECT_GE(host_.pauses, 1);
    // The save dialog as the user saw it.
    const ScriptedPrompts::Shown& dialog = sp.shown().front();
    EXPECT_EQ(dialog.kind, ScriptedPrompts::Kind::File);
    EXPECT_EQ(dialog.file.kind, prompts::FileDialog::Save);
    EXPECT_EQ(dialog.file.fileName, QStringLiteral("my clip_fix.flv"));
    EXPECT_EQ(dialog.file.qtFilter, QStringLiteral("FLV 檔案格式 (*.flv)"));
    EXPECT_EQ(dialog.file.defaultExt, QStringLiteral(".flv"));
    EXPECT_EQ(dialog.initialFolder, QFileInfo(src).path() + QLatin1Char('/'));
    EXPECT_EQ(sp.messageTexts().size(), 1);  // the report only

    // flvmdi repairs into the temporary name, rebuilds its metadata, and the file moves.
    ASSERT_EQ(record_.commands.size(), 2u);
    EXPECT_EQ(record_.commands[0].args,
              (QStringList{QStringLiteral("--repair"), src, QStringLiteral("~fix~tmpSP.flv")}));
    EXPECT_EQ(record_.commands[1].args, QStringList{QStringLiteral("~fix~tmpSP.flv")});
    EXPECT_EQ(folderFiles(), QStringList{QStringLiteral("my clip_fix.flv")});
    ASSERT_FALSE(record_.captions.isEmpty());
    EXPECT_EQ(record_.captions.first(),
              QStringLiteral("Lumba.FLV\r\n\r\n正在進行「修復」多媒體檔案\r\n\r\n"
                             "共有 1 個程序，正處理第 1 個"));

    const QString out = folder_ + QStringLiteral("my clip_fix.flv");
    EXPECT_NEAR(testmedia::probeDuration(out.toStdString()), 10.0, 0.2);
    EXPECT_EQ(jobtest::decodeErrors(out), "");
    EXPECT_EQ(flvtest::flvmetaErrors(out.toStdString()), 0);

    // The keyframe index points at keyframes, and the clock runs on.
    using namespace flvtest;
    const Bytes bytes = readFile(out.toStdString());
    const std::vector<RawTag> tags = splitTags(bytes);
    ASSERT_FALSE(tags.empty());
    ASSERT_EQ(scriptName(tags.front()), "onMetaData");
    const auto meta = scriptValue(tags.front());
    ASSERT_TRUE(meta);
    EXPECT_NEAR(num(*meta, "duration"), 10.0, 0.2);
    const flv::AmfValue* kf = meta->find("keyframes");
    ASSERT_TRUE(kf);
    const flv::AmfValue* pos = kf->find("filepositions");
    ASSERT_TRUE(pos);
    EXPECT_GE(pos->items.size(), 5u);  // a keyframe every 2 s
    std::map<std::uint64_t, const RawTag*> byOffset;
    for (const RawTag& t : tags) byOffset[t.offset] = &t;
    for (const flv::AmfValue& p : pos->items) {
        const auto at = static_cast<std::uint64_t>(p.number);
        ASSERT_TRUE(byOffset.count(at)) << "index points between tags at " << at;
        EXPECT_TRUE(byOffset[at]->isVideoKeyframe()) << at;
    }
    std::uint32_t last = 0;
    for (const RawTag& t : audioVideoTags(tags)) {
        EXPECT_GE(t.timestamp + 100, last);  // no jump back (audio and video interleave)
        last = std::max(last, t.timestamp);
    }
}

TEST_F(FixJobTest, DatSourceIsRemuxedAsMpegProgramStream) {
    const QString src = source(testmedia::clip("mpeg1.mpg"), QStringLiteral("vcd.dat"));
    ScriptedPrompts sp;
    sp.answer(Answer::Cancel);
    const FixOutcome o = fixWith(sp, src, QStringLiteral("vcd_fix.dat"));
    ASSERT_TRUE(o.succeeded);
    ASSERT_EQ(record_.commands.size(), 1u);
    EXPECT_TRUE(record_.commands[0].args.contains(QStringLiteral("mpeg")));
    const QString out = folder_ + QStringLiteral("vcd_fix.dat");
    EXPECT_EQ(testmedia::run({"ffprobe", "-v", "error", "-show_entries", "format=format_name",
                              "-of", "csv=p=0", out.toStdString()})
                  .output,
              "mpeg\n");
    EXPECT_NEAR(testmedia::probeDuration(out.toStdString()), 10.0, 0.3);
    EXPECT_EQ(jobtest::decodeErrors(out), "");
    EXPECT_EQ(folderFiles(), QStringList{QStringLiteral("vcd_fix.dat")});
}

TEST_F(FixJobTest, MpegSourceIsRemuxedWithStreamCopy) {
    const QString src = source(testmedia::clip("mpeg1.mpg"), QStringLiteral("clip.mpg"));
    ScriptedPrompts sp;
    sp.answer(Answer::Cancel);
    const FixOutcome o = fixWith(sp, src, QStringLiteral("clip_fix.mpg"));
    ASSERT_TRUE(o.succeeded);
    const QString out = folder_ + QStringLiteral("clip_fix.mpg");
    EXPECT_EQ(jobtest::streamOf(out, "video")["codec_name"], "mpeg1video");
    EXPECT_EQ(testmedia::probeVideoFrames(out.toStdString()),
              testmedia::probeVideoFrames(src.toStdString()));
}

// MPEG-1 video with Opus sound: a program stream cannot carry Opus, so the copy fails.
std::string opusDat() {
    return testmedia::makeClip(
        "opus.dat", {"-f", "lavfi", "-i", "testsrc=size=160x120:rate=25", "-f", "lavfi", "-i",
                     "sine=frequency=440:sample_rate=48000", "-t", "3", "-c:v", "mpeg1video",
                     "-c:a", "libopus", "-f", "matroska"});
}

TEST_F(FixJobTest, CancelOnTheReencodeQuestionEndsWithTheErrorMessage) {
    const QString src = source(opusDat(), QStringLiteral("odd.dat"));
    ScriptedPrompts sp;
    sp.answer(Answer::Cancel).answer(Answer::Ok);
    const FixOutcome o = fixWith(sp, src, QStringLiteral("odd_fix.dat"));
    EXPECT_FALSE(o.succeeded);
    EXPECT_EQ(o.reencodeQuestions, 1);
    ASSERT_EQ(sp.messageTexts().size(), 2);
    // The fix tool's re-encode question, its two answers in order.
    const QString question = sp.messageTexts()[0];
    EXPECT_TRUE(question.startsWith(QStringLiteral("修復後的檔案，音訊必須重新編碼")));
    EXPECT_GT(question.indexOf(QStringLiteral("按「確定」")), 0);
    EXPECT_LT(question.indexOf(QStringLiteral("按「確定」")),
              question.indexOf(QStringLiteral("按「取消」則中止這個「修復」程序")));
    // The format line, with ffmpeg's reason for the failed copy.
    EXPECT_TRUE(sp.messageTexts()[1].startsWith(kErrorText.left(kErrorText.lastIndexOf('\r'))));
    EXPECT_TRUE(sp.messageTexts()[1].contains(QStringLiteral("Unsupported audio codec")));
    EXPECT_EQ(sp.last().title, texts::kErrorTitle);
    EXPECT_TRUE(folderFiles().isEmpty());
}

TEST_F(FixJobTest, OkOnTheReencodeQuestionReencodesTheSound) {
    const QString src = source(opusDat(), QStringLiteral("odd.dat"));
    ScriptedPrompts sp;
    sp.answer(Answer::Ok).answer(Answer::Cancel);
    const FixOutcome o = fixWith(sp, src, QStringLiteral("odd_fix.dat"));
    ASSERT_TRUE(o.succeeded);
    const QString out = folder_ + QStringLiteral("odd_fix.dat");
    EXPECT_EQ(jobtest::streamOf(out, "audio")["codec_name"], "mp3");
    EXPECT_EQ(jobtest::streamOf(out, "video")["codec_name"], "mpeg1video");
    EXPECT_EQ(jobtest::decodeErrors(out), "");
}

// The cover pictures of a file: "codec,1" per attached picture.
std::string coversOf(const QString& path) {
    std::string covers;
    const std::string out = testmedia::run({"ffprobe", "-v", "error", "-show_entries",
                                            "stream=codec_name:stream_disposition=attached_pic",
                                            "-of", "csv=p=0", path.toStdString()})
                                .output;
    std::istringstream lines(out);
    for (std::string l; std::getline(lines, l);)
        if (l.size() > 2 && l.substr(l.size() - 2) == ",1") covers += l + ";";
    return covers;
}

TEST_F(FixJobTest, Mp4KeepsItsCoverPictureWhereTheContainerCanHoldIt) {
    MoreFormats = kMoreFormatsList;
    const std::vector<std::string> in = {
        "-f", "lavfi", "-i", "testsrc2=size=160x120:rate=25:duration=2",
        "-f", "lavfi", "-i", "sine=duration=2"};
    const std::vector<std::string> codecs = {"-c:v:0",   "libx264", "-preset",
                                             "veryfast", "-c:a",    "aac"};
    std::vector<std::string> png = in;
    png.insert(png.end(), {"-f", "lavfi", "-i", "color=c=red:s=64x64:r=1:d=1", "-map", "0", "-map",
                           "1", "-map", "2", "-c:v:1", "png", "-disposition:v:1", "attached_pic"});
    png.insert(png.end(), codecs.begin(), codecs.end());
    const QString src = source(testmedia::makeClip("fix_png_cover.mp4", png), "cover.mp4");
    ScriptedPrompts sp;
    sp.answer(Answer::Cancel);
    ASSERT_TRUE(fixWith(sp, src, QStringLiteral("cover_fix.mp4")).succeeded);
    EXPECT_EQ(coversOf(folder_ + QStringLiteral("cover_fix.mp4")), "png,1;");
    EXPECT_EQ(jobtest::streamOf(folder_ + QStringLiteral("cover_fix.mp4"), "audio")["codec_name"],
              "aac");

    // A GIF cover (a Matroska file named .mp4) cannot go into MP4: the copy goes on without it.
    const std::string gif = testmedia::makeClip(
        "fix_cover.gif", {"-f", "lavfi", "-i", "color=c=red:s=64x64:d=0.04", "-frames:v", "1"});
    std::vector<std::string> mkv = in;
    mkv.insert(mkv.end(), codecs.begin(), codecs.end());
    mkv.insert(mkv.end(),
               {"-attach", gif, "-metadata:s:t", "mimetype=image/gif", "-f", "matroska"});
    const QString odd = source(testmedia::makeClip("fix_gif_cover.mkv", mkv), "odd.mp4");
    ASSERT_EQ(coversOf(odd), "gif,1;");
    ScriptedPrompts sp2;
    sp2.answer(Answer::Cancel);
    ASSERT_TRUE(fixWith(sp2, odd, QStringLiteral("odd_fix.mp4")).succeeded);
    EXPECT_EQ(record_.commands.size(), 2u);  // with the covers, then without
    EXPECT_EQ(coversOf(folder_ + QStringLiteral("odd_fix.mp4")), "");
    EXPECT_EQ(jobtest::decodeErrors(folder_ + QStringLiteral("odd_fix.mp4")), "");
    MoreFormats.clear();
}

TEST_F(FixJobTest, UnsupportedOrMissingSourceIsRefusedBeforeAnyDialog) {
    const QString text = src_.path() + QStringLiteral("/notes.txt");
    tooltest::writeFile(text, "text");
    for (const QString& s : {text, src_.path() + QStringLiteral("/gone.flv"),
                             src_.path() + QStringLiteral("/*.flv"), QString()}) {
        ScriptedPrompts sp;
        const FixOutcome o = mediaFix(&list_, s);
        EXPECT_FALSE(o.started);
        ASSERT_EQ(sp.shown().size(), 1u) << s.toStdString();
        EXPECT_EQ(sp.last().text, notFoundText());
        EXPECT_EQ(sp.last().title, texts::kNoticeTitle);
    }
}

TEST_F(FixJobTest, OutputThatIsTheSourceIsRefused) {
    const QString src = source(testmedia::clip("h264_aac.flv"), QStringLiteral("clip.flv"));
    ScriptedPrompts sp;
    sp.files({src});
    const FixOutcome o = mediaFix(&list_, src);
    EXPECT_FALSE(o.started);
    EXPECT_EQ(sp.last().text, ownSourceText(src));
    // A source that carries the temporary name in the chosen folder is not overwritten either.
    const QString named = QDir(QFileInfo(src).path()).filePath(QStringLiteral("~fix~tmpSP.flv"));
    ASSERT_TRUE(QFile::copy(src, named));
    sources_[named] = md5Of(named);
    ScriptedPrompts sp2;
    sp2.files({QFileInfo(src).path() + QStringLiteral("/other.flv")});
    EXPECT_FALSE(mediaFix(&list_, named).started);
    EXPECT_EQ(sp2.last().text, ownSourceText(named));
}

TEST_F(FixJobTest, FlvThatCannotBeRepairedEndsOnTheFailurePath) {
    const QString src = src_.path() + QStringLiteral("/noise.flv");
    tooltest::writeFile(src, QByteArray(4000, 'x'));
    sources_[src] = md5Of(src);
    ScriptedPrompts sp;
    sp.answer(Answer::Ok);
    const FixOutcome o = fixWith(sp, src, QStringLiteral("noise_fix.flv"));
    EXPECT_TRUE(o.started);
    EXPECT_FALSE(o.succeeded);
    // flvmdi's own reason, in words.
    EXPECT_TRUE(sp.last().text.contains(tools::diagText(flv::DiagCode::NotFlv)));
    EXPECT_TRUE(sp.last().text.contains(QStringLiteral("（flvmdi：E101")));
    EXPECT_TRUE(folderFiles().isEmpty());
}

// The page: its controls, browsing with the player's filter, drops, and the run button.
TEST_F(FixJobTest, PageBrowsesDropsAndRuns) {
    const QString filter = QStringLiteral("支援處理的檔案 (flv ; mpg ; dat ; vob) (*.flv *.mpg)");
    tools::PageContext ctx;
    ctx.editFilter = [filter] { return filter; };
    FixPage page(ctx);
    auto* box = page.findChild<tools::PathBox*>(QStringLiteral("txtMdFix"));
    auto* run = page.findChild<QPushButton*>(QStringLiteral("cmdMediaFix"));
    ASSERT_TRUE(box && run && page.findChild<QWidget*>(QStringLiteral("mbMdFix")));
    EXPECT_EQ(run->text(), QStringLiteral("執行修復功能"));
    EXPECT_EQ(box->placeholderText(), QStringLiteral("你可以拖曳檔案到這裡"));

    const QString src = source(testmedia::clip("h264_aac.flv"), QStringLiteral("a.flv"));
    {
        ScriptedPrompts sp;
        sp.files({src});
        page.browse();
        EXPECT_EQ(sp.last().file.qtFilter, filter);
        EXPECT_EQ(sp.last().file.kind, prompts::FileDialog::Open);
        EXPECT_EQ(box->text(), src);
        EXPECT_EQ(page.sourcePath(), src);
    }
    // Only an existing file replaces the text; doubled separators are reduced.
    EXPECT_FALSE(box->takeDropped({src_.path() + QStringLiteral("/none.flv")}));
    EXPECT_EQ(box->text(), src);
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(
        QString(src).replace(QStringLiteral("/a.flv"), QStringLiteral("//a.flv")))});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(box, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    box->setText(QString());
    QCoreApplication::sendEvent(box, &drop);
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_EQ(box->text(), src);

    // The run button starts the job: the save dialog comes, a cancel ends it silently.
    ScriptedPrompts sp;
    sp.cancelFile();
    run->click();
    ASSERT_EQ(sp.shown().size(), 1u);
    EXPECT_EQ(sp.last().kind, ScriptedPrompts::Kind::File);
    EXPECT_TRUE(folderFiles().isEmpty());
}

}  // namespace
