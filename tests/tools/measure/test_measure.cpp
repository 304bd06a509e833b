// Measuring a source: the texts and fields headless, then the private media object on the
// real headless media device, and the shared source panel with its messages.
#include <gtest/gtest.h>

#include <QBoxLayout>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QUrl>
#include <memory>

#include "common/scripted_prompts.h"
#include "media/mpv_mci_device.h"
#include "qt_app.h"
#include "test_media.h"
#include "tools/measure/measure_panel.h"
#include "tools/measure/media_probe.h"

using namespace measure;

TEST(MeasureTexts, LabelsMessagesAndFields) {
    EXPECT_EQ(lengthLabelText(75.5, 1024 * 1000 + 1023),
              QStringLiteral("此多媒體屬性：播放長度 75.50 秒 = 大小 1000 KB"));
    EXPECT_EQ(noPictureText(MeasureTool::Snapshot),
              QStringLiteral("「截圖功能」無法處理沒有畫面／視訊的影片！"));
    EXPECT_EQ(noPictureText(MeasureTool::Split),
              QStringLiteral("「切割功能」無法處理沒有畫面／視訊的影片！"));
    EXPECT_EQ(secondsTag(75.499), QStringLiteral("75.50"));  // as the time text rounds
    EXPECT_DOUBLE_EQ(fieldValue(QStringLiteral("12.5")), 12.5);
    EXPECT_DOUBLE_EQ(fieldValue(QStringLiteral("")), 0);
    EXPECT_DOUBLE_EQ(fieldValue(QStringLiteral(".")), 0);
    EXPECT_DOUBLE_EQ(fieldValue(QStringLiteral("1.2.3")), 1.2);
    EXPECT_DOUBLE_EQ(fieldValue(QStringLiteral("7x")), 7);
}

namespace {

class MeasureMedia : public ::testing::Test {
  protected:
    void SetUp() override {
        testmedia::qtApp();
        device = std::make_unique<MpvMciDevice>(MpvMciDevice::Options{true, 10000});
    }
    std::unique_ptr<MpvMciDevice> device;
    ScriptedPrompts prompts;
    QTemporaryDir dir;
};

QString clip(const char* name) { return QString::fromStdString(testmedia::clip(name)); }

}  // namespace

TEST_F(MeasureMedia, ProbeTellsLengthNoPictureAndUnreadable) {
    const Probe v = probeMedia(clip("h264_aac.flv"), device.get());
    EXPECT_EQ(v.outcome, ProbeOutcome::Measured);
    EXPECT_NEAR(v.seconds, 10.0, 0.1);
    EXPECT_EQ(probeMedia(clip("tone.mp3"), device.get()).outcome, ProbeOutcome::NoPicture);
    EXPECT_EQ(probeMedia(dir.path() + "/none.flv", device.get()).outcome, ProbeOutcome::Unreadable);
    const QString junk = dir.path() + "/junk.flv";
    QFile f(junk);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(4000, 'x'));
    f.close();
    EXPECT_EQ(probeMedia(junk, device.get()).outcome, ProbeOutcome::Unreadable);
    // The alias is free again: a second probe of the same file works.
    EXPECT_EQ(probeMedia(clip("mpeg1.mpg"), device.get()).outcome, ProbeOutcome::Measured);
}

TEST_F(MeasureMedia, PanelMeasuresAndTellsWhatWentWrong) {
    QStringList errors;
    MeasureContext ctx;
    ctx.device = device.get();
    ctx.playErrorMsg = [&](const QString& path, const QString& lead) { errors << lead + path; };
    QWidget snapTab;  // outlives the panel it will hold
    auto* layout = new QVBoxLayout(&snapTab);
    MeasurePanel panel(ctx);
    int changes = 0;
    QObject::connect(&panel, &MeasurePanel::changed, [&] { ++changes; });

    const QString video = clip("h264_aac.flv");
    panel.setSource(QStringLiteral("  ") + video + QStringLiteral(" "));
    panel.cmdMdSplitChk_Click();
    EXPECT_EQ(panel.tag(), QStringLiteral("10.00"));
    EXPECT_EQ(panel.cmdMdSplitChk()->property("Tag").toString(), QStringLiteral("10.00"));
    EXPECT_TRUE(panel.lblMdLen()->text().startsWith(
        QStringLiteral("此多媒體屬性：播放長度 10.00 秒 = 大小 ")));
    EXPECT_GE(changes, 2);

    // A new source is not measured yet.
    panel.setSource(clip("tone.mp3"));
    EXPECT_EQ(panel.tag(), QString());
    EXPECT_EQ(panel.lblMdLen()->text(), kUnmeasuredLabel);

    // No picture: the message names the tab that shows the panel; no media error.
    panel.attach(layout, 0, MeasureTool::Snapshot);
    EXPECT_EQ(panel.parentWidget(), &snapTab);
    panel.cmdMdSplitChk_Click();
    EXPECT_EQ(panel.tag(), QString());
    ASSERT_EQ(prompts.count(ScriptedPrompts::Kind::Message), 1);
    EXPECT_EQ(prompts.last().text, noPictureText(MeasureTool::Snapshot));
    EXPECT_EQ(prompts.last().title, QStringLiteral("錯誤訊息"));
    EXPECT_TRUE(errors.isEmpty());

    // Unreadable: the player's media error with the measuring lead line.
    panel.setSource(dir.path() + "/none.flv");
    panel.cmdMdSplitChk_Click();
    EXPECT_EQ(errors, QStringList{kMeasureErrorLead + dir.path() + "/none.flv"});
    EXPECT_EQ(panel.lblMdLen()->text(), kUnmeasuredLabel);
}

TEST_F(MeasureMedia, DroppingAFileSetsTheSource) {
    MeasurePanel panel({});
    panel.resize(300, 60);
    const QString video = clip("mpeg1.mpg");
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(video)});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(panel.txtMdSplit(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(panel.txtMdSplit(), &drop);
    EXPECT_EQ(panel.source(), video);
    EXPECT_EQ(panel.txtMdSplit()->placeholderText(), QStringLiteral("你可以拖曳檔案到這裡"));
}
