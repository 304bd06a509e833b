// The capture window on a real main window, offscreen: mpv renders a clip ffmpeg made, the
// picture is read back from the video surface (the window may be covered), compared with the
// frame ffmpeg decodes at the same place, and saved through the scripted save dialog. The
// window's place goes through the settings file from one run to the next.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <cmath>
#include <cstdlib>
#include <functional>

#include "app/settings_store.h"
#include "app/shell_menus.h"
#include "app/window_settings.h"
#include "common/dialog_folders.h"
#include "common/scripted_prompts.h"
#include "fake_mixer.h"
#include "file_bytes.h"
#include "media/main_vol.h"
#include "media/mpv_mci_device.h"
#include "media/video_surface.h"
#include "player/capture/capture_picture.h"
#include "player/capture/capture_place.h"
#include "player/capture/frm_cap.h"
#include "player/frm_main.h"
#include "player/media_opener.h"
#include "player/playback_controller.h"
#include "player/transport_view.h"
#include "qt_app.h"
#include "test_media.h"
#include "window_part.h"

using testmedia::part;

namespace {

using namespace player::capture;

QString movingClip() {
    return QString::fromStdString(testmedia::makeClip(
        "capclip.flv", {"-f", "lavfi", "-i", "testsrc2=size=320x240:rate=25:duration=4", "-c:v",
                        "libx264", "-pix_fmt", "yuv420p", "-g", "25"}));
}

QString blueClip() {
    return QString::fromStdString(testmedia::makeClip(
        "capblue.flv", {"-f", "lavfi", "-i", "color=c=0x3366CC:size=320x240:rate=25:duration=2",
                        "-c:v", "libx264", "-pix_fmt", "yuv420p"}));
}

// The frame ffmpeg decodes at `seconds`, as RGB32.
QImage ffmpegFrame(const QString& clip, double seconds, const QString& folder) {
    const QString out = folder + QStringLiteral("/ref.png");
    QFile::remove(out);
    const auto r = testmedia::run({"ffmpeg", "-v", "error", "-y", "-ss", std::to_string(seconds),
                                   "-i", clip.toStdString(), "-frames:v", "1", out.toStdString()});
    EXPECT_EQ(r.exitCode, 0) << r.output;
    return QImage(out).convertToFormat(QImage::Format_RGB32);
}

// Mean difference per colour channel over the part of a both images share.
double meanDifference(const QImage& a, const QImage& b, const QRect& part) {
    double sum = 0;
    for (int y = part.top(); y <= part.bottom(); ++y)
        for (int x = part.left(); x <= part.right(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                   std::abs(qBlue(p) - qBlue(q));
        }
    return sum / (3.0 * part.width() * part.height());
}

bool near(QRgb p, QColor c, int tolerance) {
    return std::abs(qRed(p) - c.red()) <= tolerance &&
           std::abs(qGreen(p) - c.green()) <= tolerance &&
           std::abs(qBlue(p) - c.blue()) <= tolerance;
}

struct BmpHeader {
    QByteArray magic;
    quint32 dataOffset = 0;
    qint32 width = 0, height = 0;
    quint16 bitsPerPixel = 0;
    quint32 compression = 99;
};

BmpHeader bmpHeader(const QByteArray& b) {
    BmpHeader h;
    if (b.size() < 54) return h;
    const auto* d = reinterpret_cast<const uchar*>(b.constData());
    h.magic = b.left(2);
    h.dataOffset = qFromLittleEndian<quint32>(d + 10);
    h.width = qFromLittleEndian<qint32>(d + 18);
    h.height = qFromLittleEndian<qint32>(d + 22);
    h.bitsPerPixel = qFromLittleEndian<quint16>(d + 28);
    h.compression = qFromLittleEndian<quint32>(d + 30);
    return h;
}

struct AppFirst {
    AppFirst() { testmedia::qtApp(); }
};

// Plain data ---------------------------------------------------------------------------------

TEST(CapturePicture, NameFormatAndPanel) {
    EXPECT_EQ(defaultSaveName(QStringLiteral("/v/clip.flv")), QStringLiteral("clip_pic.bmp"));
    EXPECT_EQ(defaultSaveName(QStringLiteral("/v/my.clip.final.mp4")),
              QStringLiteral("my.clip.final_pic.bmp"));
    EXPECT_EQ(formatForPath(QStringLiteral("/a/b.PNG")), PictureFormat::Png);
    EXPECT_EQ(formatForPath(QStringLiteral("/a/b.png.bmp")), PictureFormat::Bmp);
    EXPECT_EQ(formatForPath(QStringLiteral("/a/b")), PictureFormat::Bmp);

    // The shown area at the top-left, the 2-pixel margin in the panel's own colour.
    QImage shown(4, 3, QImage::Format_RGB32);
    shown.fill(QColor(10, 200, 30));
    const QImage panel = composePanel(shown, QSize(4, 3), QColor(1, 2, 3));
    ASSERT_EQ(panel.size(), QSize(6, 5));
    EXPECT_EQ(panel.pixel(3, 2), qRgb(10, 200, 30));
    EXPECT_EQ(panel.pixel(4, 0), qRgb(1, 2, 3));
    EXPECT_EQ(panel.pixel(0, 3), qRgb(1, 2, 3));
}

TEST(CapturePicture, WritesAnUncompressedBmpOrAPngAndReportsAFailure) {
    testmedia::qtApp();
    QTemporaryDir dir;
    QImage picture(322, 242, QImage::Format_RGB32);
    picture.fill(QColor(40, 80, 120));
    picture.setPixel(0, 0, qRgb(255, 0, 0));
    picture.setPixel(321, 241, qRgb(0, 255, 0));

    const QString bmp = dir.filePath(QStringLiteral("a_pic.bmp"));
    EXPECT_FALSE(writePicture(picture, bmp).has_value());
    const QByteArray bytes = testmedia::readBytes(bmp);
    const BmpHeader h = bmpHeader(bytes);
    EXPECT_EQ(h.magic, QByteArray("BM"));
    EXPECT_EQ(h.width, 322);
    EXPECT_EQ(h.height, 242);  // positive: bottom-up rows, as every reader expects
    EXPECT_EQ(h.compression, 0u);
    EXPECT_EQ(h.bitsPerPixel, 24);
    EXPECT_EQ(static_cast<qsizetype>(h.dataOffset) + 242 * ((322 * 3 + 3) / 4 * 4), bytes.size());
    EXPECT_EQ(QImage(bmp).convertToFormat(QImage::Format_RGB32), picture);

    const QString png = dir.filePath(QStringLiteral("a_pic.png"));
    EXPECT_FALSE(writePicture(picture, png).has_value());
    EXPECT_TRUE(testmedia::readBytes(png).startsWith("\x89PNG"));
    EXPECT_EQ(QImage(png).convertToFormat(QImage::Format_RGB32), picture);

    const QString nowhere = dir.filePath(QStringLiteral("missing/x.bmp"));
    EXPECT_TRUE(writePicture(picture, nowhere).has_value());
    EXPECT_FALSE(QFile::exists(nowhere));
    EXPECT_TRUE(writePicture(QImage(), dir.filePath(QStringLiteral("none.bmp"))).has_value());
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("none.bmp"))));
}

TEST(CapturePlace, ReadPlacesAreKeptUntilTheWindowMoves) {
    EXPECT_EQ(placeFromTwips({450, 300}), QPoint(30, 20));
    EXPECT_EQ(placeFromTwips({0, 0}), QPoint(0, 0));
    EXPECT_EQ(placeFromTwips({-30, 22}), QPoint(-2, 1));
    // 452 twips are not a whole pixel: written back as read while the window stays.
    const Twips read{452, 301};
    EXPECT_EQ(twipsToKeep(placeFromTwips(read), read, placeFromTwips(read)), read);
    EXPECT_EQ(twipsToKeep(QPoint(100, 60), read, placeFromTwips(read)), (Twips{1500, 900}));
}

// The window on a real player -------------------------------------------------------------

class Capture : public ::testing::Test, public AppFirst {
  protected:
    Capture()
        : device(MpvMciDevice::Options{true, 10000}),
          vol(std::make_unique<testmedia::FakeMixer>()),
          w(&device) {
        w.transport().setVolume(&vol);
        w.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&w));
        w.capture().doneAfterSave = [this](const QString& p) { reported << p; };
    }
    ~Capture() override { w.media().closeMCI(QString()); }

    // Sizes the window so that the video area is exactly `area`.
    void setVideoArea(QSize area) {
        const QSize central(area.width() + 2, area.height() + 2 + player::PlayerUi::kPanelHeight);
        for (int i = 0; i < 3 && w.transport().videoArea() != area; ++i) {
            w.resize(w.size() + central - w.centralWidget()->size());
            QApplication::processEvents();
        }
        ASSERT_EQ(w.transport().videoArea(), area);
    }
    void open(const QString& path) {
        w.opener().playSingle(path, player::PlayRequest::User);
        ASSERT_EQ(w.state().playState(), PlayState::Playing) << path.toStdString();
    }
    // Stands still on frame f and waits until the surface has shown it.
    void showFrame(int f) {
        w.playback().pausePrFn();
        w.media().setCurFrame(f, false);
        const quint64 before = part<VideoSurface>(w, "picVideo")->framesShown();
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return part<VideoSurface>(w, "picVideo")->framesShown() > before; }, 3000));
        QTest::qWait(150);  // a frame still on its way lands too
        ASSERT_EQ(w.media().getCurFrame(), f);
    }

    ScriptedPrompts prompts;
    MpvMciDevice device;
    MainVol vol;
    frmMain w;
    QStringList reported;
};

TEST_F(Capture, HomePausesAndTheWindowShowsTheFrameWhileThePlayerIsCovered) {
    QTemporaryDir dir;
    setVideoArea(QSize(320, 240));
    const QString clip = movingClip();
    open(clip);
    ASSERT_TRUE(part<QAction>(w, "mnuSaveCap")->isEnabled());
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.media().getCurFrame() > 5; }, 3000));

    // Home while playing: the player pauses and the window comes up.
    QTest::keyClick(&w, Qt::Key_Home);
    EXPECT_EQ(w.state().playState(), PlayState::Paused);
    frmCap& cap = w.capture();
    EXPECT_TRUE(cap.isVisible());
    EXPECT_EQ(cap.windowTitle(), QStringLiteral(" Lumba.FLV 擷取到的畫面"));

    // Frame 50 (2 s), with another window right over the player.
    showFrame(50);
    QWidget cover;
    cover.setGeometry(w.geometry());
    cover.show();
    cover.raise();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&cover));
    part<QAction>(w, "mnuSaveCap")->trigger();

    // The panel is the video area + 2 each way, and the client area is exactly the panel.
    auto* picShow = cap.findChild<QWidget*>(QStringLiteral("picShow"));
    ASSERT_NE(picShow, nullptr);
    EXPECT_EQ(picShow->size(), QSize(322, 242));
    EXPECT_EQ(cap.centralWidget(), picShow);
    EXPECT_EQ(picShow->geometry(), QRect(QPoint(0, cap.menuBar()->height()), QSize(322, 242)));
    EXPECT_EQ(cap.height(), 242 + cap.menuBar()->height());
    EXPECT_EQ(cap.width(), 322);
    const QImage picture = cap.picture();
    ASSERT_EQ(picture.size(), QSize(322, 242));
    // What the panel shows is the picture that is saved.
    QImage onPanel(picShow->size(), QImage::Format_RGB32);
    onPanel.fill(Qt::white);  // anything the panel leaves unpainted shows
    picShow->render(&onPanel);
    EXPECT_EQ(onPanel, picture);

    // Its top-left 320 x 240 is ffmpeg's frame at 2 s, not one a second away.
    const QRect area(0, 0, 320, 240);
    const double same = meanDifference(picture, ffmpegFrame(clip, 2.0, dir.path()), area);
    const double other = meanDifference(picture, ffmpegFrame(clip, 3.0, dir.path()), area);
    EXPECT_LT(same, 6.0);  // colour conversion differs a little
    EXPECT_GT(other, 3 * same + 2);

    // Saved where and as the dialog says; the report runs for the new file.
    const QString target = dir.filePath(QStringLiteral("chosen.bmp"));
    prompts.files({target});
    cap.findChild<QAction*>(QStringLiteral("mnuSaveCap"))->trigger();
    const ScriptedPrompts::Shown& shown = prompts.last();
    EXPECT_EQ(shown.kind, ScriptedPrompts::Kind::File);
    EXPECT_EQ(shown.file.kind, prompts::FileDialog::Save);
    EXPECT_EQ(shown.file.fileName, QStringLiteral("capclip_pic.bmp"));
    EXPECT_EQ(shown.initialFolder, QFileInfo(clip).absolutePath() + u'/');
    EXPECT_EQ(shown.file.filterIndex, 1);
    EXPECT_EQ(shown.file.qtFilter, QStringLiteral("BMP 圖檔格式 (*.bmp);;PNG 圖檔格式 (*.png)"));
    EXPECT_EQ(shown.file.defaultExt, QStringLiteral(".bmp"));
    EXPECT_EQ(shown.file.owner, &cap);
    const BmpHeader h = bmpHeader(testmedia::readBytes(target));
    EXPECT_EQ(h.magic, QByteArray("BM"));
    EXPECT_EQ(QSize(h.width, h.height), QSize(322, 242));
    EXPECT_EQ(h.compression, 0u);
    EXPECT_EQ(QImage(target).convertToFormat(QImage::Format_RGB32), picture);
    EXPECT_EQ(reported, QStringList{target});
    EXPECT_EQ(dialogFolders().media, dir.path() + u'/');  // the next media dialog starts there
}

TEST_F(Capture, CancelAndAFailedWriteReportNothingAndKeepThePicture) {
    QTemporaryDir dir;
    setVideoArea(QSize(320, 240));
    open(blueClip());
    showFrame(10);
    w.mnuSaveCap_Click();
    frmCap& cap = w.capture();
    const QImage picture = cap.picture();
    ASSERT_FALSE(picture.isNull());

    prompts.cancelFile();
    cap.mnuSaveCap_Click();
    EXPECT_EQ(cap.picture(), picture);
    EXPECT_TRUE(reported.isEmpty());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 0);

    const QString nowhere = dir.filePath(QStringLiteral("gone/x.bmp"));
    prompts.files({nowhere});
    cap.mnuSaveCap_Click();
    EXPECT_FALSE(QFile::exists(nowhere));
    EXPECT_TRUE(reported.isEmpty());
    EXPECT_EQ(prompts.last().title, QStringLiteral("錯誤訊息"));
    EXPECT_EQ(prompts.last().text, QStringLiteral("無法寫入這個圖檔\r\n\r\n") + nowhere);
}

TEST_F(Capture, TheWholeVideoAreaIsTakenAsShownWithItsBars) {
    // A 320 x 240 picture keeping its shape in a 420 x 240 area: 50-pixel bars each side.
    setVideoArea(QSize(420, 240));
    w.transport().setKeepWH(true);
    w.transport().myPutSize(true);
    open(blueClip());
    showFrame(10);
    w.mnuSaveCap_Click();
    const QImage picture = w.capture().picture();
    ASSERT_EQ(picture.size(), QSize(422, 242));
    const QColor blue(0x33, 0x66, 0xCC);
    EXPECT_TRUE(near(picture.pixel(210, 120), blue, 12)) << std::hex << picture.pixel(210, 120);
    EXPECT_TRUE(near(picture.pixel(52, 2), blue, 12)) << std::hex << picture.pixel(52, 2);
    EXPECT_TRUE(near(picture.pixel(367, 237), blue, 12)) << std::hex << picture.pixel(367, 237);
    // The bars are what the video area shows beside the picture.
    const QImage shown =
        part<VideoSurface>(w, "picVideo")->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(picture.pixel(10, 120), shown.pixel(11, 121));
    EXPECT_EQ(picture.pixel(410, 120), shown.pixel(411, 121));
    EXPECT_FALSE(near(picture.pixel(10, 120), blue, 40));
    EXPECT_TRUE(near(picture.pixel(10, 120), QColor(Qt::black), 8))
        << std::hex << picture.pixel(10, 120);
}

// Two runs of the program: the settings file carries the place between them.
TEST(CaptureSettings, TheWindowReopensWhereItWasClosedAcrossRuns) {
    testmedia::qtApp();
    ScriptedPrompts prompts;
    QTemporaryDir dir;
    const QString folder = dir.path() + u'/';
    testmedia::writeBytes(folder + QStringLiteral("Lumba.FLV.ini"), "CapRect=452,301\r\n");
    MpvMciDevice device(MpvMciDevice::Options{true, 10000});

    const auto capRectLine = [&] {
        const QStringList lines =
            QString::fromUtf8(testmedia::readBytes(folder + QStringLiteral("Lumba.FLV.ini")))
                .split(QStringLiteral("\r\n"));
        return lines.filter(QStringLiteral("CapRect=")).value(0);
    };
    const auto run = [&](const std::function<void(frmMain&)>& withWindow) {
        frmMain w(&device);
        app::ShellMenus menus(w);
        app::SettingsStore store(folder);
        app::WindowSettings settings(w, menus, store);
        settings.load();
        w.show();
        withWindow(w);
        ASSERT_TRUE(settings.save(true));
    };

    // Captured but never moved: the place read is written back as it was.
    run([](frmMain& w) {
        w.mnuSaveCap_Click();
        EXPECT_EQ(w.capture().pos(), QPoint(30, 20));
    });
    EXPECT_EQ(capRectLine(), QStringLiteral("CapRect=452,301"));

    // Moved and closed: the next run opens it there.
    run([](frmMain& w) {
        w.mnuSaveCap_Click();
        w.capture().move(100, 60);
        w.capture().close();
        EXPECT_FALSE(w.capture().isVisible());
    });
    EXPECT_EQ(capRectLine(), QStringLiteral("CapRect=1500,900"));
    run([](frmMain& w) {
        w.mnuSaveCap_Click();
        EXPECT_EQ(w.capture().pos(), QPoint(100, 60));
        // Still open at the end of the run: where it stands is kept.
        w.capture().move(120, 70);
    });
    EXPECT_EQ(capRectLine(), QStringLiteral("CapRect=1800,1050"));
}

}  // namespace
