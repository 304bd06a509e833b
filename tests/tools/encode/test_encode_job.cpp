// Conversions end to end with the real ffmpeg and flvmdi (written by LumbaResFLV), each result
// read back by ffprobe; and the four pages: their boxes, the panel check, browsing and drops.
#include <QComboBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>

#include "common/paths.h"
#include "common/scripted_prompts.h"
#include "common/texts.h"
#include "flv_test_util.h"
#include "job_env.h"
#include "qstring_print.h"
#include "tools/encode/encode_job.h"
#include "tools/encode/encode_page.h"
#include "tools/fix/path_box.h"
#include "tools/tool_texts.h"

using namespace encode;
using prompts::Answer;

namespace {

const QString kErrorText = tools::jobErrorText(tools::toolTexts(tools::Tool::Encode));

// 4 s 320x240 25 fps Sorenson H.263 with MP3 at 44.1 kHz stereo.
std::string flvClip() {
    return testmedia::makeClip(
        "enc_src.flv", {"-f", "lavfi", "-i", "testsrc=size=320x240:rate=25", "-f", "lavfi", "-i",
                        "sine=frequency=440:sample_rate=44100", "-t", "4", "-ac", "2", "-c:v",
                        "flv1", "-c:a", "libmp3lame", "-ar", "44100"});
}

EncodeOptions opts(const char* size, const char* fps, const char* vbr, const char* ar,
                   const char* abr, Channels ch) {
    return {QString::fromLatin1(size), QString::fromLatin1(fps), QString::fromLatin1(vbr),
            QString::fromLatin1(ar),   QString::fromLatin1(abr), ch};
}

class EncodeJobTest : public jobtest::JobEnv {
  protected:
    // Runs a confirmed conversion; the report is answered with Cancel.
    EncodeOutcome convert(Panel p, const QString& src, const QString& target,
                          const EncodeOptions& o) {
        EncodeRequest r;
        r.panel = p;
        r.sourceText = src;
        r.targetText = target;
        r.options = o;
        ScriptedPrompts sp;
        sp.answer(Answer::Ok).answer(Answer::Cancel);
        EncodeOutcome out = mediaEncode(&list_, r);
        messages_ = sp.messageTexts();
        return out;
    }
    // The result holds what was asked and decodes cleanly.
    void expectVideo(const QString& path, int w, int h, double fps) {
        const auto v = jobtest::streamOf(path, "video");
        ASSERT_FALSE(v.empty()) << path.toStdString();
        EXPECT_EQ(v.at("width"), std::to_string(w));
        EXPECT_EQ(v.at("height"), std::to_string(h));
        EXPECT_NEAR(jobtest::rate(v.at("r_frame_rate")), fps, 0.01);
    }
    void expectAudio(const QString& path, int rate, int channels) {
        const auto a = jobtest::streamOf(path, "audio");
        ASSERT_FALSE(a.empty()) << path.toStdString();
        EXPECT_EQ(a.at("sample_rate"), std::to_string(rate));
        EXPECT_EQ(a.at("channels"), std::to_string(channels));
    }
    void expectClean(const QString& path) {
        EXPECT_EQ(jobtest::decodeErrors(path), "") << path.toStdString();
        EXPECT_NEAR(testmedia::probeDuration(path.toStdString()), 4.0, 0.3);
    }

    QStringList messages_;
};

TEST_F(EncodeJobTest, FlvToMpgAviWmvAndFlv) {
    const QString src = source(flvClip(), QStringLiteral("clip.flv"));
    {
        const EncodeOutcome o =
            convert(Panel::FlvToVideo, src, folder_ + QStringLiteral("a.mpg"),
                    opts("320x240", "25", "360", "44100", "64", Channels::Stereo));
        ASSERT_TRUE(o.succeeded);
        const QString out = folder_ + QStringLiteral("a.mpg");
        expectVideo(out, 320, 240, 25);
        expectAudio(out, 44100, 2);
        expectClean(out);
        EXPECT_EQ(messages_.first(), confirmText(src, out));
        const QString caption = record_.captions.value(0);
        EXPECT_TRUE(caption.contains(QStringLiteral("「轉檔」"))) << caption.toStdString();
        EXPECT_TRUE(caption.endsWith(QStringLiteral("共有 1 個程序，正處理第 1 個")));
        // The length probe, then one ffmpeg run whose bar is scaled by that length; no flvmdi.
        ASSERT_EQ(record_.commands.size(), 2u);
        EXPECT_TRUE(record_.commands[1].ffmpeg);
        EXPECT_NEAR(record_.commands[1].expectedSeconds, 4.0, 0.1);
    }
    for (const char* name : {"b.avi", "c.wmv"}) {
        const QString out = folder_ + QLatin1String(name);
        const EncodeOutcome o =
            convert(Panel::FlvToVideo, src, out,
                    opts("320x240", "25", "360", "22050", "64", Channels::Stereo));
        ASSERT_TRUE(o.succeeded) << name;
        expectVideo(out, 320, 240, 25);
        expectAudio(out, 22050, 2);
        expectClean(out);
    }
    EXPECT_EQ(jobtest::streamOf(folder_ + QStringLiteral("c.wmv"), "video")["codec_name"], "wmv2");
    {
        const QString out = folder_ + QStringLiteral("d.flv");
        const EncodeOutcome o =
            convert(Panel::FlvToVideo, src, out,
                    opts("400x300", "25", "360", "22050", "64", Channels::Mono));
        ASSERT_TRUE(o.succeeded);
        expectVideo(out, 400, 300, 25);
        expectAudio(out, 22050, 1);
        expectClean(out);
        ASSERT_EQ(record_.commands.size(), 3u);
        EXPECT_EQ(record_.commands[2].args, QStringList{out});  // flvmdi on the target
        EXPECT_EQ(flvtest::flvmetaErrors(out.toStdString()), 0);
    }
    EXPECT_EQ(folderFiles(), (QStringList{"a.mpg", "b.avi", "c.wmv", "d.flv"}));
}

TEST_F(EncodeJobTest, MpgToFlvOnTheVideoPanel) {
    const QString src = source(testmedia::clip("mpeg1.mpg"), QStringLiteral("in.mpg"));
    const QString out = folder_ + QStringLiteral("in.flv");
    const EncodeOutcome o = convert(Panel::VideoToFlv, src, out, defaultOptions(Panel::VideoToFlv));
    ASSERT_TRUE(o.succeeded);
    expectVideo(out, 320, 240, 25);  // the source's picture: this panel has no video options
    expectAudio(out, 22050, 2);
    EXPECT_EQ(jobtest::decodeErrors(out), "");
    EXPECT_EQ(flvtest::flvmetaErrors(out.toStdString()), 0);
}

TEST_F(EncodeJobTest, FlvToMp3AndWavIntoTheCurrentFolder) {
    const QString src = source(flvClip(), QStringLiteral("clip.flv"));
    changeToFolder(folder_);
    const EncodeOutcome mp3 = convert(Panel::FlvToSound, src, QStringLiteral("song.mp3"),
                                      opts("", "", "", "44100", "128", Channels::Stereo));
    ASSERT_TRUE(mp3.succeeded);
    EXPECT_EQ(mp3.target, folder_ + QStringLiteral("song.mp3"));
    const QString mp3Out = folder_ + QStringLiteral("song.mp3");
    EXPECT_TRUE(jobtest::streamOf(mp3Out, "video").empty());
    expectAudio(mp3Out, 44100, 2);
    EXPECT_EQ(jobtest::streamOf(mp3Out, "audio")["codec_name"], "mp3");
    expectClean(mp3Out);

    const EncodeOutcome wav = convert(Panel::FlvToSound, src, QStringLiteral("song.wav"),
                                      opts("", "", "", "22050", "64", Channels::Mono));
    ASSERT_TRUE(wav.succeeded);
    const QString wavOut = folder_ + QStringLiteral("song.wav");
    expectAudio(wavOut, 22050, 1);
    expectClean(wavOut);
}

TEST_F(EncodeJobTest, Mp3ToFlvOnTheMusicPanel) {
    const QString src = source(testmedia::clip("tone.mp3"), QStringLiteral("tone.mp3"));
    const QString out = folder_ + QStringLiteral("tone.flv");
    const EncodeOutcome o =
        convert(Panel::SoundToFlv, src, out, opts("", "", "", "22050", "64", Channels::Mono));
    ASSERT_TRUE(o.succeeded);
    expectAudio(out, 22050, 1);
    EXPECT_TRUE(jobtest::streamOf(out, "video").empty());
    EXPECT_EQ(jobtest::decodeErrors(out), "");
    EXPECT_EQ(flvtest::flvmetaErrors(out.toStdString()), 0);
}

TEST_F(EncodeJobTest, CombinationFfmpegRefusesEndsOnTheFailurePath) {
    const QString src = source(flvClip(), QStringLiteral("clip.flv"));
    const QString out = folder_ + QStringLiteral("low.mpg");
    const EncodeOutcome o = convert(Panel::FlvToVideo, src, out,
                                    opts("320x240", "25", "360", "11025", "64", Channels::Stereo));
    EXPECT_TRUE(o.started);
    EXPECT_FALSE(o.succeeded);
    // The format line, then ffmpeg's own reason.
    EXPECT_TRUE(messages_.last().startsWith(kErrorText.left(kErrorText.lastIndexOf('\r'))));
    EXPECT_TRUE(messages_.last().contains(QStringLiteral("11025")));
    EXPECT_TRUE(folderFiles().isEmpty());
}

TEST_F(EncodeJobTest, RefusalsShowTheirNoticeAndRunNothing) {
    const QString src = source(flvClip(), QStringLiteral("clip.flv"));
    EncodeRequest r;
    r.panel = Panel::FlvToVideo;
    r.sourceText = src;
    r.targetText = src;
    ScriptedPrompts sp;
    EXPECT_EQ(mediaEncode(&list_, r).refusal, Refusal::SameAsSource);
    EXPECT_EQ(sp.last().title, texts::kNoticeTitle);
    r.targetText = folder_ + QStringLiteral("x.mpg");
    r.options.frameRate = QStringLiteral("15");
    EXPECT_EQ(mediaEncode(&list_, r).refusal, Refusal::MpgFrameRate);
    EXPECT_EQ(sp.last().text, refusalText(Refusal::MpgFrameRate));
    // Cancel on the confirmation.
    r.options.frameRate = QStringLiteral("25");
    sp.answer(Answer::Cancel);
    const EncodeOutcome o = mediaEncode(&list_, r);
    EXPECT_FALSE(o.confirmed);
    EXPECT_FALSE(o.started);
    EXPECT_EQ(sp.shown().size(), 3u);
    EXPECT_TRUE(folderFiles().isEmpty());
}

// The pages as the list window gets them.
class EncodePageTest : public jobtest::JobEnv {};

TEST_F(EncodePageTest, BoxesOfEachPanel) {
    for (Panel p : kPanels) {
        EncodePage page(p, {});
        auto* src = page.findChild<QComboBox*>(QStringLiteral("cboEncodeSrc"));
        auto* to = page.findChild<QComboBox*>(QStringLiteral("cboEncodeTo"));
        ASSERT_TRUE(src && to);
        EXPECT_EQ(src->count(), sourceTypes(p).size());
        EXPECT_EQ(to->count(), targetTypes(p).size());
        for (const char* n : {"txtEncodeSrc", "txtEncodeTo", "mbEncodeSrc", "mbEncodeTo",
                              "cboAudioSamplingRate", "cboAudioBitrate", "cboAudioChannel"})
            EXPECT_TRUE(page.findChild<QWidget*>(QLatin1String(n))) << n;
        auto* run = page.findChild<QPushButton*>(QStringLiteral("cmdMediaEncode"));
        ASSERT_TRUE(run);
        EXPECT_EQ(run->text(), QStringLiteral("執行轉檔程序"));
        EXPECT_FALSE(run->isEnabled());
        auto* size = page.findChild<QComboBox*>(QStringLiteral("cboVideoSize"));
        EXPECT_EQ(size != nullptr, videoBoxes(p) != VideoBoxes::Hidden);
        if (p == Panel::FlvToVideo) {
            EXPECT_EQ(size->count(), 10);
            EXPECT_EQ(size->currentText(), QStringLiteral("320x240"));
        }
        if (p == Panel::VideoToFlv) {
            EXPECT_EQ(size->currentText(), kNotUsed);
            EXPECT_FALSE(size->isEnabled());
        }
    }
}

TEST_F(EncodePageTest, PanelCheckBrowsingAndTheFrameRateFocus) {
    const QString src = source(flvClip(), QStringLiteral("clip.flv"));
    changeToFolder(folder_);
    EncodePage page(Panel::FlvToVideo, {});
    page.show();
    auto* srcBox = page.findChild<tools::PathBox*>(QStringLiteral("txtEncodeSrc"));
    auto* toBox = page.findChild<tools::PathBox*>(QStringLiteral("txtEncodeTo"));
    auto* toType = page.findChild<QComboBox*>(QStringLiteral("cboEncodeTo"));
    auto* run = page.findChild<QPushButton*>(QStringLiteral("cmdMediaEncode"));

    // Browsing: the path arrives 300 ms after the dialog has closed.
    {
        ScriptedPrompts sp;
        sp.files({src});
        QElapsedTimer t;
        t.start();
        page.browseSource();
        EXPECT_EQ(sp.last().file.qtFilter, QStringLiteral("FLV 檔案格式 (*.flv)"));
        EXPECT_TRUE(srcBox->text().isEmpty());
        QTRY_COMPARE(srcBox->text(), src);
        EXPECT_GE(t.elapsed(), EncodePage::kBrowsePauseMs);
    }
    EXPECT_EQ(srcBox->toolTip(), src);
    EXPECT_FALSE(run->isEnabled());
    EXPECT_EQ(toBox->toolTip(), QStringLiteral("你可以拖曳檔案到這裡"));
    {
        ScriptedPrompts sp;
        sp.files({folder_ + QStringLiteral("clip.mpg")});
        page.browseTarget();
        EXPECT_EQ(sp.last().file.kind, prompts::FileDialog::Save);
        EXPECT_EQ(sp.last().file.fileName, QStringLiteral("clip.mpg"));
        QTRY_VERIFY(run->isEnabled());
    }
    // The target type decides: an MPG path does not pass as AVI.
    toType->setCurrentText(QStringLiteral("AVI"));
    EXPECT_FALSE(run->isEnabled());
    toType->setCurrentText(QStringLiteral("MPG"));
    EXPECT_TRUE(run->isEnabled());
    // A drop replaces the text whether the file exists yet or not.
    EXPECT_TRUE(toBox->takeDropped({folder_ + QStringLiteral("new.mpg")}));
    EXPECT_EQ(toBox->text(), folder_ + QStringLiteral("new.mpg"));
    EXPECT_EQ(page.sourcePath(), src);

    page.findChild<QComboBox*>(QStringLiteral("cboVideoFramerate"))
        ->setCurrentText(QStringLiteral("15"));
    ScriptedPrompts sp;
    run->click();
    EXPECT_EQ(sp.last().text, refusalText(Refusal::MpgFrameRate));
    EXPECT_EQ(page.focusWidget(), page.findChild<QComboBox*>(QStringLiteral("cboVideoFramerate")));
}

TEST_F(EncodePageTest, RunButtonConvertsWithTheBoxesValues) {
    const QString src = source(testmedia::clip("tone.mp3"), QStringLiteral("tone.mp3"));
    changeToFolder(folder_);
    EncodePage page(Panel::SoundToFlv, {});
    page.findChild<QComboBox*>(QStringLiteral("cboEncodeSrc"))->setCurrentText(kAnyType);
    page.findChild<tools::PathBox*>(QStringLiteral("txtEncodeSrc"))->setText(src);
    page.findChild<tools::PathBox*>(QStringLiteral("txtEncodeTo"))
        ->setText(QStringLiteral("t.flv"));
    page.findChild<QComboBox*>(QStringLiteral("cboAudioChannel"))->setCurrentIndex(0);
    page.findChild<QComboBox*>(QStringLiteral("cboAudioSamplingRate"))
        ->setCurrentText(QStringLiteral("11025"));
    ScriptedPrompts sp;
    sp.answer(Answer::Ok).answer(Answer::Cancel);
    const EncodeOutcome o = page.runJob();
    ASSERT_TRUE(o.succeeded);
    EXPECT_EQ(o.target, folder_ + QStringLiteral("t.flv"));
    const auto a = jobtest::streamOf(o.target, "audio");
    EXPECT_EQ(a.at("sample_rate"), "11025");
    EXPECT_EQ(a.at("channels"), "1");
}

}  // namespace
