// The snapshot job end to end with the real ffmpeg on a clip made at test time: the pictures
// are the source's frames at the asked times, a series keeps what it wrote, and the page.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <cmath>
#include <cstdlib>
#include <memory>

#include "common/globals.h"
#include "common/host.h"
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
#include "tools/snapshot/snapshot_job.h"
#include "tools/snapshot/snapshot_page.h"

using namespace snapshot;
using prompts::Answer;

namespace {

// 10 s, 25 fps; the hue turns fast, so neighbouring frames differ all over.
std::string clip() {
    return testmedia::makeClip(
        "snap_h264.flv",
        {"-f", "lavfi", "-i", "testsrc2=size=160x120:rate=25:duration=10", "-vf", "hue=H=2*PI*t*3",
         "-c:v", "libx264", "-preset", "veryfast", "-g", "50", "-pix_fmt", "yuv420p"});
}

// The frame of path as RGB: a picture file, or the video's frame at seconds (seeking on the
// output: every frame before it decoded).
std::string rgb(const std::string& path, double seconds = -1) {
    std::vector<std::string> a{savetest::ffmpegProgram(), "-v", "error", "-i", "file:" + path};
    if (seconds >= 0) a.insert(a.end(), {"-ss", std::to_string(seconds)});
    a.insert(a.end(), {"-frames:v", "1", "-f", "rawvideo", "-pix_fmt", "rgb24", "-"});
    return testmedia::run(a).output;
}
double distance(const std::string& a, const std::string& b) {
    if (a.size() != b.size() || a.empty()) return 1e9;
    double sum = 0;
    for (size_t i = 0; i < a.size(); ++i)
        sum += std::abs(static_cast<int>(static_cast<unsigned char>(a[i])) -
                        static_cast<int>(static_cast<unsigned char>(b[i])));
    return sum / static_cast<double>(a.size());
}

class SnapshotJobTest : public jobtest::JobEnv {
  protected:
    void SetUp() override {
        JobEnv::SetUp();
        qputenv("LUMBA_HEADLESS", "1");
        win_ = std::make_unique<QWidget>();
        win_->show();
        src = source(clip(), QStringLiteral("-\"截圖\" it's.flv"));  // checked unchanged at the end
    }
    SnapRequest request(SnapFields f, PictureType t) {
        SnapRequest r;
        r.source = src;
        r.fields = std::move(f);
        r.type = t;
        r.totalSeconds = 10;
        r.caller = win_.get();
        return r;
    }

    QString src;
    std::unique_ptr<QWidget> win_;
};

TEST_F(SnapshotJobTest, APngIsTheFrameAtThatTimePixelForPixel) {
    SnapFields f;
    f.moment = QStringLiteral("3.3");
    ScriptedPrompts sp;
    const QString out = folder_ + QStringLiteral("still.png");
    sp.files({out}).answer(Answer::Ok);
    const SnapOutcome o = runSnapshot(request(f, PictureType::Png));
    ASSERT_TRUE(o.succeeded);
    EXPECT_EQ(sp.shown()[0].file.fileName, QStringLiteral("-\"截圖\" it's_snapshot.png"));
    EXPECT_EQ(sp.shown()[0].file.qtFilter, QStringLiteral("PNG 檔案格式 (*.png)"));
    EXPECT_EQ(folderFiles(), QStringList{"still.png"});
    const std::string picture = rgb(out.toStdString());
    ASSERT_EQ(picture.size(), 160u * 120u * 3u);
    EXPECT_TRUE(picture == rgb(src.toStdString(), 3.3));
    EXPECT_TRUE(record_.captions.first().contains(QStringLiteral("正在進行「截圖」多媒體檔案")));
}

// Sound from 0 and pictures a few frames later, as ffmpeg writes H.264 with B-frames and AAC.
TEST_F(SnapshotJobTest, APictureAtTheVeryStartIsTheFirstFrame) {
    const QString withSound = src_.path() + QStringLiteral("/with sound.flv");
    ASSERT_TRUE(QFile::copy(
        QString::fromStdString(testmedia::makeClip(
            "snap_h264_aac.flv",
            {"-f",       "lavfi",          "-i",   "testsrc2=size=160x120:rate=25:duration=10",
             "-f",       "lavfi",          "-i",   "sine=duration=10",
             "-vf",      "hue=H=2*PI*t*3", "-c:v", "libx264",
             "-preset",  "veryfast",       "-g",   "50",
             "-pix_fmt", "yuv420p",        "-c:a", "aac"})),
        withSound));
    SnapFields f;
    f.moment = QStringLiteral("0");
    ScriptedPrompts sp;
    const QString out = folder_ + QStringLiteral("first.png");
    sp.files({out}).answer(Answer::Ok);
    SnapRequest r = request(f, PictureType::Png);
    r.source = withSound;
    ASSERT_TRUE(runSnapshot(r).succeeded);
    const std::string picture = rgb(out.toStdString());
    ASSERT_EQ(picture.size(), 160u * 120u * 3u);
    EXPECT_TRUE(picture == rgb(withSound.toStdString()));  // not the next keyframe's, 2 s on
}

// The picture's first bytes: its real format whatever its name.
bool isOfType(const QString& path, PictureType t) {
    const QByteArray head = testmedia::readBytes(path).left(8);
    switch (t) {
        case PictureType::Jpg:
            return head.startsWith("\xFF\xD8\xFF");
        case PictureType::Png:
            return head.startsWith("\x89PNG\r\n\x1A\n");
        case PictureType::Gif:
            return head.startsWith("GIF89a") || head.startsWith("GIF87a");
    }
    return false;
}

TEST_F(SnapshotJobTest, JpgAndGifAreOfTheirTypeAndNearestTheFrameAtTheirTime) {
    // 6.2 s seeks on the input, 1.2 s decodes from the start: GIF takes its palette either way.
    for (const char* moment : {"6.2", "1.2"}) {
        for (PictureType t : {PictureType::Jpg, PictureType::Gif}) {
            SCOPED_TRACE(typeText(t).toStdString() + " at " + moment);
            SnapFields f;
            f.moment = QString::fromLatin1(moment);
            ScriptedPrompts sp;
            const QString out = folder_ + QStringLiteral("still.") + typeExt(t);
            sp.files({out}).answer(Answer::Ok);
            ASSERT_TRUE(runSnapshot(request(f, t)).succeeded);
            EXPECT_TRUE(isOfType(out, t));
            const double s = std::atof(moment);
            const std::string picture = rgb(out.toStdString());
            const double at = distance(picture, rgb(src.toStdString(), s));
            EXPECT_LT(at, distance(picture, rgb(src.toStdString(), s - 0.04)));
            EXPECT_LT(at, distance(picture, rgb(src.toStdString(), s + 0.04)));
        }
    }
}

TEST_F(SnapshotJobTest, ANameTypedForAnotherTypeTakesTheChosenTypesExtension) {
    for (PictureType t : {PictureType::Jpg, PictureType::Png, PictureType::Gif}) {
        SCOPED_TRACE(typeText(t).toStdString());
        SnapFields f;
        f.moment = QStringLiteral("6");
        ScriptedPrompts sp;
        const QString typed =
            t == PictureType::Png ? QStringLiteral("x.gif") : QStringLiteral("x.png");
        sp.files({folder_ + typed}).answer(Answer::Ok);
        const SnapOutcome o = runSnapshot(request(f, t));
        ASSERT_TRUE(o.succeeded);
        const QString made = folder_ + QStringLiteral("x.") + typeExt(t);
        EXPECT_EQ(o.output, made);
        EXPECT_EQ(folderFiles(), QStringList{QStringLiteral("x.") + typeExt(t)});
        EXPECT_TRUE(isOfType(made, t));
        QFile::remove(made);
    }
}

TEST_F(SnapshotJobTest, ASeriesIsNumberedAndReplacesAnEarlierRun) {
    SnapFields f;
    f.choice = SnapChoice::WholeFilm;
    f.count = QStringLiteral("4");
    for (int run = 0; run < 2; ++run) {
        ScriptedPrompts sp;
        sp.folderChosen(work_.path()).answer(Answer::Ok);
        const SnapOutcome o = runSnapshot(request(f, PictureType::Png));
        ASSERT_TRUE(o.succeeded);
        EXPECT_EQ(sp.shown()[0].title, folderBrowserTitle());
        EXPECT_EQ(folderFiles(), (QStringList{"snapshot_001.png", "snapshot_002.png",
                                              "snapshot_003.png", "snapshot_004.png"}));
        ASSERT_EQ(o.times.size(), 4u);
        EXPECT_DOUBLE_EQ(o.times[1], 2.5);
        EXPECT_TRUE(
            record_.captions.last().contains(QStringLiteral("共有 4 個程序，正處理第 4 個")));
        EXPECT_TRUE(rgb((folder_ + "snapshot_003.png").toStdString()) ==
                    rgb(src.toStdString(), 5.0));
    }
}

TEST_F(SnapshotJobTest, ASeriesKeepsItsPicturesWhenALaterOneFails) {
    // snapshot_003 cannot be written: a folder holds its name.
    ASSERT_TRUE(QDir(folder_).mkdir(QStringLiteral("snapshot_003.jpg")));
    SnapFields f;
    f.choice = SnapChoice::Range;
    f.spacing = SnapSpacing::Every;
    f.from = QStringLiteral("1");
    f.end = QStringLiteral("9");
    f.interval = QStringLiteral("2");
    ScriptedPrompts sp;
    sp.folderChosen(work_.path());
    const SnapOutcome o = runSnapshot(request(f, PictureType::Jpg));
    EXPECT_TRUE(o.started);
    EXPECT_FALSE(o.succeeded);
    EXPECT_EQ(folderFiles(), (QStringList{"snapshot_001.jpg", "snapshot_002.jpg"}));
    EXPECT_EQ(sp.last().text.contains(QStringLiteral("可能是檔案格式不支援進一步的截圖")), true);
}

TEST_F(SnapshotJobTest, RefusalsAndThePage) {
    ScriptedPrompts sp;
    SnapRequest bad = request({}, PictureType::Jpg);
    bad.source = folder_ + QStringLiteral("none.flv");
    bad.fields.moment = QStringLiteral("1");
    EXPECT_FALSE(runSnapshot(bad).started);
    EXPECT_EQ(sp.last().text, badSourceText());
    EXPECT_EQ(sp.last().title, QStringLiteral("注意事項"));

    MpvMciDevice device(MpvMciDevice::Options{true, 10000});
    measure::MeasureContext ctx;
    ctx.device = &device;
    auto* panel = new measure::MeasurePanel(ctx);  // the page showing it owns it
    SnapshotPage page({}, panel);
    auto* run = page.findChild<QPushButton*>(QStringLiteral("cmdMediaSnap"));
    auto* type = page.findChild<QComboBox*>(QStringLiteral("cboMediaSnapType"));
    ASSERT_TRUE(run && type);
    EXPECT_EQ(type->count(), 3);
    EXPECT_EQ(type->itemText(2), QStringLiteral("GIF"));
    page.findChild<QLineEdit*>(QStringLiteral("txtMdSnEq_0"))->setText(QStringLiteral("10"));
    EXPECT_FALSE(run->isEnabled());
    panel->setSource(src);
    panel->cmdMdSplitChk_Click();
    EXPECT_TRUE(run->isEnabled());
    EXPECT_TRUE(type->isEnabled());
    page.findChild<QLineEdit*>(QStringLiteral("txtMdSnEq_0"))->setText(QStringLiteral("10.5"));
    EXPECT_FALSE(run->isEnabled());
    EXPECT_FALSE(type->isEnabled());
    page.findChild<QRadioButton*>(QStringLiteral("optMdSnap1_1"))->setChecked(true);
    page.findChild<QLineEdit*>(QStringLiteral("txtMdSnEq_1"))->setText(QStringLiteral("4"));
    EXPECT_TRUE(run->isEnabled());
    EXPECT_EQ(sp.count(ScriptedPrompts::Kind::Message), 1);
}

}  // namespace
