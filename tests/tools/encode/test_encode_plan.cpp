// The encode tool on plain data: panels, the panel check, the checks before a job and the
// ffmpeg arguments in the old command's order with today's switches.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "common/paths.h"
#include "qstring_print.h"
#include "tools/encode/encode_check.h"
#include "tools/encode/encode_panel.h"
#include "tools/encode/encode_plan.h"

using namespace encode;

namespace {

class EncodePlan : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        folder_ = dir_.path() + QLatin1Char('/');
        flv_ = touch(QStringLiteral("clip.flv"));
        changeToFolder(folder_);
    }
    QString touch(const QString& name) {
        QFile f(folder_ + name);
        f.open(QIODevice::WriteOnly);
        f.write("x");
        return folder_ + name;
    }
    static QString options(const QStringList& args) {
        const qsizetype input = args.indexOf(QStringLiteral("-i"));
        return args.mid(input + 2, args.size() - input - 3).join(QLatin1Char(' '));
    }
    EncodeRequest video(const QString& target) {
        EncodeRequest r;
        r.panel = Panel::FlvToVideo;
        r.sourceText = flv_;
        r.targetText = target;
        return r;
    }

    QTemporaryDir dir_;
    QString folder_, flv_;
};

TEST_F(EncodePlan, VideoPanelOptionsInTheOldOrderWithTodaysSwitches) {
    EncodeRequest r = video(QStringLiteral("out.avi"));
    r.options = {QStringLiteral("320x240"), QStringLiteral("25"), QStringLiteral("360"),
                 QStringLiteral("22050"),   QStringLiteral("64"), Channels::Stereo};
    const QStringList a = encodeArgs(r, flv_, folder_ + QStringLiteral("out.avi"));
    EXPECT_EQ(options(a), QStringLiteral("-s 320x240 -r 25 -b:v 360k -ar 22050 -b:a 64k -ac 2"));
    EXPECT_EQ(a[a.indexOf(QStringLiteral("-i")) + 1], QStringLiteral("file:") + flv_);
    EXPECT_EQ(a.last(), QStringLiteral("file:") + folder_ + QStringLiteral("out.avi"));
    EXPECT_EQ(a.indexOf(QStringLiteral("-y")) < a.indexOf(QStringLiteral("-i")), true);

    r.options.channels = Channels::Mono;
    r.options.size = kKeepSize;
    EXPECT_EQ(options(encodeArgs(r, flv_, QStringLiteral("/o/x.avi"))),
              QStringLiteral("-r 25 -b:v 360k -ar 22050 -b:a 64k -ac 1"));
}

TEST_F(EncodePlan, WmvTargetGetsWmv2BeforeTheSize) {
    const EncodeRequest r = video(QStringLiteral("o.WMV"));
    const QString o = options(encodeArgs(r, flv_, QStringLiteral("/o/o.WMV")));
    EXPECT_TRUE(o.startsWith(QStringLiteral("-c:v wmv2 -s 320x240 "))) << o.toStdString();
}

TEST_F(EncodePlan, SoundPanelsCarryNoPictureOptions) {
    for (Panel p : {Panel::FlvToSound, Panel::SoundToFlv}) {
        EncodeRequest r;
        r.panel = p;
        r.options.size = QStringLiteral("640x480");  // whatever a box might hold
        r.options.samplingRate = QStringLiteral("44100");
        r.options.audioBitrate = QStringLiteral("128");
        const QString o = options(encodeArgs(r, flv_, QStringLiteral("/o/x.wmv")));
        EXPECT_EQ(o, QStringLiteral("-vn -ar 44100 -b:a 128k -ac 2"));
    }
    // The video-to-FLV panel shows "不使用" in its video boxes: they add nothing.
    EncodeRequest r;
    r.panel = Panel::VideoToFlv;
    r.options.size = kNotUsed;
    r.options.frameRate = kNotUsed;
    EXPECT_EQ(options(encodeArgs(r, flv_, QStringLiteral("/o/x.flv"))),
              QStringLiteral("-ar 22050 -b:a 64k -ac 2"));
}

TEST_F(EncodePlan, ChecksInOrder) {
    EncodeRequest r = video(QStringLiteral("out.mpg"));
    r.options.frameRate = QStringLiteral("15");
    const QString out = boxPath(r.targetText);
    EXPECT_EQ(refusal(r, folder_ + QStringLiteral("none.flv"), out), Refusal::MissingSource);
    EXPECT_EQ(refusal(r, flv_, flv_), Refusal::SameAsSource);
    EXPECT_EQ(refusal(r, flv_, folder_ + QStringLiteral("./sub/../clip.flv")),
              Refusal::SameAsSource);
    EXPECT_EQ(refusal(r, flv_, out), Refusal::MpgFrameRate);
    r.options.frameRate = QStringLiteral("12.5");
    EXPECT_EQ(refusal(r, flv_, out), Refusal::MpgFrameRate);
    r.options.frameRate = QStringLiteral("25");
    EXPECT_EQ(refusal(r, flv_, out), Refusal::None);
    r.options.frameRate = QStringLiteral("7.5");
    EXPECT_EQ(refusal(r, flv_, folder_ + QStringLiteral("out.avi")), Refusal::None);

    EXPECT_EQ(refusalText(Refusal::MpgFrameRate),
              QStringLiteral("你所指定的轉成檔案（目標檔案）是 MPG\r\n"
                             "此格式的楨速率，抱歉，不能小於數值 20"));
    EXPECT_EQ(
        refusalText(Refusal::SameAsSource),
        QStringLiteral("你所指定的轉成檔案（目標檔案）與\r\n與來源檔案是同一個，這是不允許的"));
    EXPECT_EQ(
        refusalText(Refusal::MissingSource),
        QStringLiteral("你所指定的來源檔案並不存在，或是\r\n你選擇了不支援轉檔的多媒體格式！"));
    EXPECT_EQ(confirmText(QStringLiteral("/a.flv"), QStringLiteral("/b.mpg")),
              QStringLiteral("你所指定的來源檔案：\r\n/a.flv\r\n\r\n將轉檔成為目標檔案：\r\n/b.mpg"
                             "\r\n\r\n確定要「執行轉檔功能」？"));
}

TEST_F(EncodePlan, SameFileThroughALinkIsTheSource) {
    ASSERT_TRUE(QFile::link(flv_, folder_ + QStringLiteral("link.flv")));
    EXPECT_EQ(refusal(video({}), flv_, folder_ + QStringLiteral("link.flv")),
              Refusal::SameAsSource);
}

TEST_F(EncodePlan, TargetWithoutFolderLandsInTheCurrentFolder) {
    EXPECT_EQ(boxPath(QStringLiteral("  out.mp3 ")), folder_ + QStringLiteral("out.mp3"));
    EXPECT_EQ(boxPath(QStringLiteral("/x/out.mp3")), QStringLiteral("/x/out.mp3"));
    EXPECT_EQ(boxPath(QStringLiteral("  ")), QString());
}

TEST_F(EncodePlan, PanelCheck) {
    touch(QStringLiteral("a.MPEG"));
    touch(QStringLiteral("noext"));
    EXPECT_TRUE(sourceOk(QStringLiteral("clip.flv"), QStringLiteral("FLV")));
    EXPECT_TRUE(sourceOk(flv_, QStringLiteral("FLV")));
    EXPECT_FALSE(sourceOk(flv_, QStringLiteral("MPG")));
    EXPECT_TRUE(sourceOk(QStringLiteral("a.MPEG"), QStringLiteral("MPG")));
    EXPECT_TRUE(sourceOk(flv_, kAnyType));
    EXPECT_FALSE(sourceOk(QStringLiteral("noext"), kAnyType));
    EXPECT_FALSE(sourceOk(QStringLiteral("gone.flv"), QStringLiteral("FLV")));
    EXPECT_FALSE(sourceOk(QStringLiteral("*.flv"), QStringLiteral("FLV")));
    EXPECT_FALSE(sourceOk(folder_, kAnyType));

    EXPECT_TRUE(targetOk(QStringLiteral("out.mpg"), QStringLiteral("MPG")));
    EXPECT_TRUE(targetOk(folder_ + QStringLiteral("out.MP3"), QStringLiteral("MP3")));
    EXPECT_FALSE(targetOk(QStringLiteral("out.mpg"), QStringLiteral("AVI")));
    EXPECT_FALSE(targetOk(QStringLiteral("out"), QStringLiteral("FLV")));
    EXPECT_FALSE(targetOk(QStringLiteral(".flv"), QStringLiteral("FLV")));
    EXPECT_FALSE(targetOk(QStringLiteral("/no/such/folder/a.flv"), QStringLiteral("FLV")));
    EXPECT_TRUE(targetOk(folder_ + QStringLiteral("a.flv"), QStringLiteral("FLV")));
}

TEST(EncodePanels, BrowseFilters) {
    EXPECT_EQ(typeFilter(QStringLiteral("MPG")), QStringLiteral("MPG 檔案格式 (*.mpg *.mpeg)"));
    EXPECT_EQ(typeFilter(QStringLiteral("FLV")), QStringLiteral("FLV 檔案格式 (*.flv)"));
    EXPECT_EQ(typeFilter(kAnyType), QStringLiteral("不限定檔案格式 (*.*)"));
    EXPECT_EQ(typeDefaultExt(kAnyType), QString());
}

TEST(EncodeDuration, FromFfmpegsDescription) {
    EXPECT_DOUBLE_EQ(parseDuration(QStringLiteral(
                         "Input #0, flv, from 'x':\n  Duration: 01:02:03.50, start: 0.0\n")),
                     3723.5);
    EXPECT_EQ(parseDuration(QStringLiteral("  Duration: N/A, start: 0.0")), 0);
    EXPECT_TRUE(needsMetadata(QStringLiteral("/a/b.FLV")));
    EXPECT_FALSE(needsMetadata(QStringLiteral("/a/b.mp3")));
}

}  // namespace
