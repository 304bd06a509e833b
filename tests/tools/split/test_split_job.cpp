// The split job end to end: the real LumbaResFLV writes ffmpeg and flvmdi, the job cuts clips
// ffmpeg makes at test time, scripted prompts answer the dialogs; and the page's button.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <memory>

#include "common/globals.h"
#include "common/host.h"
#include "common/media_kinds.h"
#include "common/scripted_prompts.h"
#include "common/shell.h"
#include "common/temp_folder.h"
#include "file_bytes.h"
#include "job_env.h"
#include "media/mpv_mci_device.h"
#include "save_media.h"
#include "test_media.h"
#include "tool_test_support.h"
#include "tools/busy_state.h"
#include "tools/measure/measure_panel.h"
#include "tools/split/split_job.h"
#include "tools/split/split_page.h"

using namespace split;
using prompts::Answer;

namespace {

std::string mp4Clip() {
    return testmedia::makeClip(
        "split_h264_aac.mp4",
        {"-f", "lavfi", "-i", "testsrc2=size=160x120:rate=25:duration=20", "-f", "lavfi", "-i",
         "sine=frequency=440:sample_rate=44100:duration=20", "-c:v", "libx264", "-preset",
         "veryfast", "-g", "50", "-pix_fmt", "yuv420p", "-c:a", "aac", "-shortest"});
}

class SplitJobTest : public jobtest::OwnWindowJobEnv {
  protected:
    SplitRequest request(const QString& src, SplitFields f) {
        SplitRequest r;
        r.source = src;
        r.fields = std::move(f);
        r.totalSeconds = testmedia::probeDuration(src.toStdString());
        r.caller = win_.get();
        return r;
    }
};

struct Clip {
    const char* name;
    std::string (*make)();
};
class ThreeEqualParts : public SplitJobTest, public ::testing::WithParamInterface<Clip> {};

TEST_P(ThreeEqualParts, PiecesDecodeCleanlyAndCoverTheSource) {
    const Clip clip = GetParam();
    // A name with blanks, quotes, a leading "-" and Chinese characters.
    const QString src = source(clip.make(), QStringLiteral("-\"影片\" it's ") + clip.name);
    SplitFields f;
    f.option = SplitOption::EqualParts;
    f.eq[0] = QStringLiteral("3");
    ScriptedPrompts sp;
    sp.folderChosen(work_.path()).answer(Answer::Ok);
    const SplitRequest r = request(src, f);
    const save::SaveOutcome o = runSplit(r);

    ASSERT_TRUE(o.succeeded) << sp.messageTexts().join(QStringLiteral(" | ")).toStdString();
    const QString ext = QFileInfo(src).suffix().toLower();
    EXPECT_EQ(folderFiles(),
              (QStringList{"split_001." + ext, "split_002." + ext, "split_003." + ext}));
    EXPECT_EQ(md5Of(src), md5_);
    EXPECT_EQ(sp.shown()[0].kind, ScriptedPrompts::Kind::Folder);
    EXPECT_EQ(sp.shown()[0].title, folderBrowserTitle(ext));
    EXPECT_EQ(shell_.explored, QStringList{folder_ + "split_001." + ext});
    ASSERT_FALSE(record_.captions.isEmpty());
    EXPECT_TRUE(record_.captions.first().contains(QStringLiteral("正在進行「切割」多媒體檔案")));
    EXPECT_TRUE(record_.captions.last().contains(QStringLiteral("共有 3 個程序，正處理第 3 個")));

    std::vector<std::pair<double, double>> spans;
    for (const tools::Command& c : jobtest::cutsOf(record_)) spans.push_back(jobtest::cutSpan(c));
    ASSERT_EQ(spans.size(), 3u);
    EXPECT_LE(spans.front().first, 0.001);
    EXPECT_GE(spans.back().second, r.totalSeconds);
    for (size_t i = 1; i < spans.size(); ++i) EXPECT_LE(spans[i].first, spans[i - 1].second);
    double sum = 0;
    for (int i = 0; i < 3; ++i) {
        const QString piece =
            folder_ + QStringLiteral("split_%1.").arg(i + 1, 3, 10, QChar('0')) + ext;
        SCOPED_TRACE(piece.toStdString());
        EXPECT_EQ(savetest::decodeErrors(piece.toStdString()), "");
        const double d = testmedia::probeDuration(piece.toStdString());
        EXPECT_GT(d, 1.0);
        sum += d;
    }
    EXPECT_GE(sum + 0.2, r.totalSeconds);
}

INSTANTIATE_TEST_SUITE_P(Sources, ThreeEqualParts,
                         ::testing::Values(Clip{"h264.flv", savetest::h264Flv},
                                           Clip{"h263.FLV", savetest::h263Flv},
                                           Clip{"mpeg1.mpg", savetest::mpeg1Ps},
                                           Clip{"h264.mp4", mp4Clip}),
                         [](const ::testing::TestParamInfo<Clip>& i) {
                             std::string n = i.param.name;
                             for (char& c : n)
                                 if (c == '.') c = '_';
                             return n;
                         });

TEST_F(SplitJobTest, OneSectionByPercentGoesToTheProposedName) {
    const QString src = source(savetest::mpeg1Ps(), QStringLiteral("my clip.mpg"));
    SplitFields f;
    f.option = SplitOption::PercentSection;
    f.from[2] = QStringLiteral("25");
    f.end[2] = QStringLiteral("50");
    ScriptedPrompts sp;
    const QString out = folder_ + QStringLiteral("my clip_part.mpg");
    sp.files({out}).answer(Answer::Ok);
    const save::SaveOutcome o = runSplit(request(src, f));
    ASSERT_TRUE(o.succeeded);
    ASSERT_EQ(sp.shown()[0].kind, ScriptedPrompts::Kind::File);
    EXPECT_EQ(sp.shown()[0].file.fileName, QStringLiteral("my clip_part.mpg"));
    EXPECT_EQ(sp.shown()[0].file.qtFilter, QStringLiteral("MPG 檔案格式 (*.mpg)"));
    EXPECT_EQ(sp.shown()[0].file.defaultExt, QStringLiteral(".mpg"));
    EXPECT_EQ(folderFiles(), QStringList{"my clip_part.mpg"});
    const double d = testmedia::probeDuration(out.toStdString());
    EXPECT_GE(d, 4.9);  // 5 s to 10 s, widened to whole seconds and the keyframe before
    EXPECT_LE(d, 6.5);
    EXPECT_EQ(o.steps, 1);
    EXPECT_EQ(md5Of(src), md5_);
}

// With exact cut chosen, the one section is cut where its bounds are; pieces are not.
TEST_F(SplitJobTest, ExactCutAppliesToTheOneSectionOnly) {
    const QString src = source(savetest::h264Flv(), QStringLiteral("clip.flv"));
    host_.exact = true;
    SplitFields f;
    f.option = SplitOption::SecondsSection;
    f.from[0] = QStringLiteral("3.36");
    f.end[0] = QStringLiteral("9.52");
    ScriptedPrompts sp;
    const QString out = folder_ + QStringLiteral("clip_part.flv");
    sp.files({out}).answer(Answer::Ok);
    ASSERT_TRUE(runSplit(request(src, f)).succeeded);
    EXPECT_EQ(savetest::decodeErrors(out.toStdString()), "");
    EXPECT_NEAR(testmedia::probeDuration(out.toStdString()), 6.16, 0.04);
    auto spliced = [&] {
        for (const tools::Command& c : record_.commands)
            if (c.args.value(0) == QStringLiteral("--splice")) return true;
        return false;
    };
    EXPECT_TRUE(spliced());

    f.option = SplitOption::EqualParts;
    f.eq[0] = QStringLiteral("2");
    ScriptedPrompts pieces;
    pieces.folderChosen(work_.path()).answer(Answer::Ok);
    ASSERT_TRUE(runSplit(request(src, f)).succeeded);
    EXPECT_FALSE(spliced());
}

TEST_F(SplitJobTest, RefusalsRunNothing) {
    // A missing source, and a format the tools do not edit: the notice.
    ScriptedPrompts sp;
    SplitFields f;
    f.eq[0] = QStringLiteral("3");
    EXPECT_FALSE(runSplit(request(folder_ + "missing.flv", f)).started);
    const QString mp3 = source(testmedia::clip("tone.mp3"), QStringLiteral("tone.mp3"));
    EXPECT_FALSE(runSplit(request(mp3, f)).started);
    ASSERT_EQ(sp.count(ScriptedPrompts::Kind::Message), 2);
    EXPECT_EQ(sp.shown()[0].title, QStringLiteral("注意事項"));
    EXPECT_EQ(sp.shown()[0].text, badSourceText());

    // Cutting into the source's own file is refused before anything is removed.
    const QString src = source(savetest::h264Flv(), QStringLiteral("same.flv"));
    f.option = SplitOption::SecondsSection;
    f.from[0] = QStringLiteral("1");
    f.end[0] = QStringLiteral("3");
    sp.clear();
    sp.files({src}).answer(Answer::Ok);
    EXPECT_FALSE(runSplit(request(src, f)).started);
    EXPECT_TRUE(sp.last().text.startsWith(QStringLiteral("「切割」的新檔案不能取代")));
    EXPECT_EQ(md5Of(src), md5_);

    // A cancelled dialog ends silently.
    sp.clear();
    sp.cancelFile();
    EXPECT_FALSE(runSplit(request(src, f)).started);
    EXPECT_EQ(sp.count(ScriptedPrompts::Kind::Message), 0);
}

TEST_F(SplitJobTest, PageEnablesTheButtonExactlyWhenAccepted) {
    const QString src = source(savetest::h264Flv(), QStringLiteral("page.flv"));
    MpvMciDevice device(MpvMciDevice::Options{true, 10000});
    measure::MeasureContext ctx;
    ctx.device = &device;
    auto* panel = new measure::MeasurePanel(ctx);  // the page showing it owns it
    SplitPage page({}, panel);
    auto* run = page.findChild<QPushButton*>(QStringLiteral("cmdMediaSplit"));
    auto* n = page.findChild<QLineEdit*>(QStringLiteral("txtMdSpEq_0"));
    ASSERT_TRUE(run && n);
    ASSERT_TRUE(page.findChild<QLineEdit*>(QStringLiteral("txtMdSplit")));
    n->setText(QStringLiteral("3"));
    EXPECT_FALSE(run->isEnabled());  // nothing measured
    panel->setSource(src);
    panel->cmdMdSplitChk_Click();
    EXPECT_NE(panel->tag(), QString());
    EXPECT_TRUE(run->isEnabled());
    n->setText(QStringLiteral("100"));
    EXPECT_FALSE(run->isEnabled());
    n->setText(QStringLiteral("99"));
    EXPECT_TRUE(run->isEnabled());
    page.findChild<QRadioButton*>(QStringLiteral("optMdSplit_5"))->setChecked(true);
    EXPECT_FALSE(run->isEnabled());
    page.findChild<QLineEdit*>(QStringLiteral("txtMdSpFrom_2"))->setText(QStringLiteral("10"));
    page.findChild<QLineEdit*>(QStringLiteral("txtMdSpEnd_2"))->setText(QStringLiteral("20"));
    EXPECT_TRUE(run->isEnabled());
    // The bounds are cut to hundredths of the measured length, so the share is near 10 %.
    const QString share = page.findChild<QLabel*>(QStringLiteral("lblNoteMd_6"))->text();
    EXPECT_TRUE(share.startsWith(QStringLiteral("佔全部 9.9")) ||
                share.startsWith(QStringLiteral("佔全部 10.0")))
        << share.toStdString();
    // Another source is not measured yet.
    panel->setSource(src + QStringLiteral(".other"));
    EXPECT_FALSE(run->isEnabled());
}

}  // namespace
