// The libmpv device on real clips that ffmpeg makes at test time: headless audio, video drawn
// into an offscreen surface.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <clocale>
#include <cmath>
#include <functional>
#include <memory>

#include "common/scripted_prompts.h"
#include "media/mci.h"
#include "media/mpv_mci_device.h"
#include "media/mpv_player.h"
#include "media/video_surface.h"
#include "qt_app.h"
#include "test_media.h"

namespace {

void ensureApp() { testmedia::qtApp(); }

QString clipPath(const char* name) { return QString::fromStdString(testmedia::clip(name)); }

bool waitUntil(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > timeoutMs) return false;
        QTest::qWait(10);
    }
    return true;
}

class MpvDevice : public ::testing::Test {
  protected:
    void SetUp() override {
        ensureApp();
        surface = std::make_unique<VideoSurface>();
        surface->resize(400, 300);
        device = std::make_unique<MpvMciDevice>(MpvMciDevice::Options{true, 10000});
        mci = std::make_unique<MCI>(device.get());
    }
    void TearDown() override {
        mci->closeAllMCI();
        EXPECT_EQ(prompts_.shown().size(), 0u) << "no message box expected";
    }
    bool open(const QString& path) {
        mci->openMCI(path, surface->surfaceId(), QStringLiteral("Lumba.FLV"));
        return mci->isSuccess();
    }

    ScriptedPrompts prompts_;
    std::unique_ptr<VideoSurface> surface;
    std::unique_ptr<MpvMciDevice> device;
    std::unique_ptr<MCI> mci;
};

struct VideoClip {
    const char* name;
};

class VideoClips : public MpvDevice, public ::testing::WithParamInterface<const char*> {};

TEST_P(VideoClips, LengthsRateAndPictureMatchFfprobe) {
    const QString path = clipPath(GetParam());
    ASSERT_TRUE(open(path));
    const long frames = testmedia::probeVideoFrames(path.toStdString());
    const double seconds = testmedia::probeDuration(path.toStdString());
    ASSERT_GT(frames, 0);
    EXPECT_NEAR(mci->getTotalFrames(), frames, 1);
    EXPECT_NEAR(mci->getTotalSeconds(), seconds, 0.05);
    EXPECT_NEAR(mci->getFramesRateMPG(), 25.0, 0.01);
    EXPECT_NEAR(mci->getFramesPerSecond(), 25.0, 0.5);
    int32_t w = 0, h = 0;
    mci->getDefaultSize(w, h);
    EXPECT_TRUE(mci->isSuccess());
    EXPECT_EQ(w, 320);
    EXPECT_EQ(h, 240);
    mci->putMCI(320, 240, true, 1, 1, 400, 300);
    EXPECT_TRUE(mci->isSuccess());
    EXPECT_FALSE(mci->isAudioOnly());
    EXPECT_EQ(surface->videoRect(), QRect(41, 31, 320, 240));
    mci->getCurSize(w, h);
    EXPECT_EQ(w, 320);
    EXPECT_EQ(h, 240);
    EXPECT_EQ(mci->getStatus(), QStringLiteral("stopped"));
    EXPECT_EQ(mci->getCurFrame(), 0);
    EXPECT_FALSE(mci->isVideoOnly());
}

INSTANTIATE_TEST_SUITE_P(Clips, VideoClips,
                         ::testing::Values("h264_aac.flv", "h263_mp3.flv", "mpeg1.mpg"),
                         [](const auto& info) {
                             std::string n = info.param;
                             for (char& c : n)
                                 if (c == '.') c = '_';
                             return n;
                         });

TEST_F(MpvDevice, Mp3CountsMillisecondsAndHasNoPicture) {
    const QString path = clipPath("tone.mp3");
    ASSERT_TRUE(open(path));
    const double seconds = testmedia::probeDuration(path.toStdString());
    EXPECT_NEAR(mci->getTotalFrames(), seconds * 1000, 50);
    EXPECT_NEAR(mci->getTotalSeconds(), seconds, 0.05);
    EXPECT_FLOAT_EQ(mci->getFramesRateMPG(), 1000.0f);
    mci->putMCI(320, 240, true, 1, 1, 400, 300);
    EXPECT_FALSE(mci->isSuccess());
    EXPECT_TRUE(mci->isAudioOnly());
    int32_t w = -1, h = -1;
    mci->getDefaultSize(w, h);
    EXPECT_FALSE(mci->isSuccess());
    EXPECT_EQ(w, 0);
    EXPECT_EQ(h, 0);
}

TEST_F(MpvDevice, SegmentPlayStopsAtItsEnd) {
    ASSERT_TRUE(open(clipPath("h264_aac.flv")));
    mci->setVolume(500);
    EXPECT_TRUE(mci->isSuccess());
    mci->playMCI(100, 200);
    ASSERT_TRUE(mci->isSuccess());
    EXPECT_EQ(mci->getStatus(), QStringLiteral("playing"));
    EXPECT_EQ(mci->rngStart(), 100);
    EXPECT_EQ(mci->rngEnd(), 200);
    ASSERT_TRUE(waitUntil([&] { return mci->getStatus() != QLatin1String("playing"); }, 8000));
    EXPECT_EQ(mci->getStatus(), QStringLiteral("stopped"));
    EXPECT_NEAR(mci->getCurFrame(), 200, 2);
    QTest::qWait(200);
    EXPECT_NEAR(mci->getCurFrame(), 200, 2);
    EXPECT_GT(surface->framesShown(), 0u);
}

TEST_F(MpvDevice, PauseHoldsAndResumeGoesOn) {
    ASSERT_TRUE(open(clipPath("h263_mp3.flv")));
    mci->playMCI(0, 0);
    ASSERT_TRUE(waitUntil([&] { return mci->getCurFrame() > 5; }, 3000));
    mci->pauseMCI();
    ASSERT_TRUE(mci->isSuccess());
    EXPECT_EQ(mci->getStatus(), QStringLiteral("paused"));
    const int32_t held = mci->getCurFrame();
    EXPECT_GT(held, 0);
    QTest::qWait(300);
    EXPECT_EQ(mci->getCurFrame(), held);
    mci->resumeMCI();
    ASSERT_TRUE(mci->isSuccess());
    EXPECT_EQ(mci->getStatus(), QStringLiteral("playing"));
    EXPECT_TRUE(waitUntil([&] { return mci->getCurFrame() > held + 3; }, 3000));
}

TEST_F(MpvDevice, SetCurFrameShowsThatFramePaused) {
    ASSERT_TRUE(open(clipPath("mpeg1.mpg")));
    mci->putMCI(320, 240, false, 0, 0, 320, 240);
    mci->setCurFrame(120, false);
    ASSERT_TRUE(mci->isSuccess());
    EXPECT_EQ(mci->getStatus(), QStringLiteral("paused"));
    EXPECT_NEAR(mci->getCurFrame(), 120, 1);
    QTest::qWait(300);
    EXPECT_NEAR(mci->getCurFrame(), 120, 1);
    ASSERT_TRUE(waitUntil([&] { return surface->framesShown() > 0; }, 2000));
    const QImage shown = surface->shownVideo();
    EXPECT_EQ(shown.size(), QSize(320, 240));
    // seek and step move the picture too
    mci->stopMCI({}, 50);
    EXPECT_TRUE(mci->isSuccess());
    EXPECT_EQ(mci->getStatus(), QStringLiteral("stopped"));
    EXPECT_NEAR(mci->getCurFrame(), 50, 1);
    mci->stepMCI(5);
    EXPECT_NEAR(mci->getCurFrame(), 55, 1);
}

TEST_F(MpvDevice, PictureKeepsItsShapeInsideTheWindow) {
    ASSERT_TRUE(open(clipPath("h264_aac.flv")));
    mci->putMCI(400, 240, false, 0, 0, 400, 300);
    mci->setCurFrame(10, false);
    ASSERT_TRUE(waitUntil(
        [&] { return surface->framesShown() > 0 && surface->videoMargins().left() > 0; }, 2000));
    EXPECT_EQ(surface->shownImage().size(), QSize(400, 240));
    EXPECT_EQ(surface->videoMargins(), QMargins(40, 0, 40, 0));
    EXPECT_EQ(surface->shownVideo().size(), QSize(320, 240));
}

// A wide picture in a square window: stretched it covers the window to its corners; kept in
// shape it leaves black bars above and below. Each way can follow the other.
TEST_F(MpvDevice, StretchFillsTheWindowWhereKeepingTheShapeLeavesBars) {
    const QString wide = QString::fromStdString(
        testmedia::makeClip("yellow_320x180.flv",
                            {"-f", "lavfi", "-i", "color=c=yellow:size=320x180:rate=25:duration=1",
                             "-c:v", "flv1", "-q:v", "2"}));
    surface->resize(400, 400);
    ASSERT_TRUE(open(wide));
    mci->setCurFrame(5, false);
    ASSERT_TRUE(waitUntil([&] { return surface->framesShown() > 0; }, 2000));

    auto yellow = [](const QColor& c) { return c.red() > 200 && c.green() > 200 && c.blue() < 80; };
    auto black = [](const QColor& c) { return c.red() < 40 && c.green() < 40 && c.blue() < 40; };
    auto corners = [&] {
        const QImage img = surface->shownImage();
        return QList<QColor>{img.pixelColor(1, 1), img.pixelColor(398, 1), img.pixelColor(1, 398),
                             img.pixelColor(398, 398)};
    };
    auto cornersAre = [&](const std::function<bool(const QColor&)>& is) {
        const QList<QColor> all = corners();
        return std::all_of(all.begin(), all.end(), is);
    };
    auto put = [&](bool stretch) {
        surface->setStretch(stretch);
        mci->putMCI(400, 400, false, 0, 0, 400, 400);
        ASSERT_TRUE(mci->isSuccess());
        EXPECT_EQ(surface->videoRect(), QRect(0, 0, 400, 400));
    };

    put(false);
    ASSERT_TRUE(waitUntil([&] { return cornersAre(black); }, 2000));
    EXPECT_TRUE(yellow(surface->shownImage().pixelColor(200, 200)));
    // 400 x 225 in the middle of 400 x 400; the margins arrive with mpv's next event.
    EXPECT_TRUE(waitUntil(
        [&] {
            const QMargins m = surface->videoMargins();
            return m.left() == 0 && m.right() == 0 && std::abs(m.top() - 88) <= 1 &&
                   std::abs(m.bottom() - 88) <= 1;
        },
        2000));

    put(true);
    ASSERT_TRUE(waitUntil([&] { return cornersAre(yellow); }, 2000))
        << "the stretched picture left bars";
    ASSERT_TRUE(waitUntil([&] { return surface->videoMargins().isNull(); }, 2000));
    EXPECT_EQ(surface->shownVideo().size(), QSize(400, 400));

    put(false);
    EXPECT_TRUE(waitUntil([&] { return cornersAre(black); }, 2000));
}

TEST_F(MpvDevice, PictureColoursArriveUnswapped) {
    const QString red = QString::fromStdString(testmedia::makeClip(
        "red_320x240.flv", {"-f", "lavfi", "-i", "color=c=red:size=320x240:rate=25:duration=1",
                            "-c:v", "flv1", "-q:v", "2"}));
    ASSERT_TRUE(open(red));
    mci->putMCI(320, 240, false, 0, 0, 320, 240);
    mci->setCurFrame(5, false);
    ASSERT_TRUE(waitUntil([&] { return surface->framesShown() > 0; }, 2000));
    const QColor c = surface->shownVideo().pixelColor(160, 120);
    EXPECT_GT(c.red(), 200);
    EXPECT_LT(c.green(), 60);
    EXPECT_LT(c.blue(), 60);
}

TEST_F(MpvDevice, EndOfFileAndRepeat) {
    ASSERT_TRUE(open(clipPath("tone.mp3")));
    const int32_t total = mci->getTotalFrames();
    mci->playMCI(total - 300, 0, false, true);
    EXPECT_EQ(mci->getStatus(), QStringLiteral("playing"));
    ASSERT_TRUE(waitUntil([&] { return mci->getStatus() == QLatin1String("stopped"); }, 3000));
    EXPECT_NEAR(mci->getCurFrame(), total, 100);
    mci->playMCI(0, 0);  // nothing left to play from the end
    EXPECT_EQ(mci->getStatus(), QStringLiteral("stopped"));

    mci->playMCI(1000, 1300, false, false, true);  // the device's own repeat
    QTest::qWait(800);
    EXPECT_EQ(mci->getStatus(), QStringLiteral("playing"));
    const int32_t at = mci->getCurFrame();
    EXPECT_GE(at, 990);
    EXPECT_LE(at, 1310);
}

TEST_F(MpvDevice, DoubleSpeedAdvancesTwiceAsFast) {
    ASSERT_TRUE(open(clipPath("h264_aac.flv")));
    auto advance = [&] {
        const int32_t a = mci->getCurFrame();
        QTest::qWait(1000);
        return mci->getCurFrame() - a;
    };
    mci->playMCI(0, 0);
    ASSERT_TRUE(waitUntil([&] { return mci->getCurFrame() > 2; }, 3000));  // under way
    const int32_t normal = advance();
    mci->setSpeed(2000);
    EXPECT_TRUE(mci->isSuccess());
    EXPECT_EQ(mci->getSpeed(), 2000);
    QTest::qWait(100);
    const int32_t fast = advance();
    EXPECT_NEAR(normal, 25, 5);
    EXPECT_NEAR(static_cast<double>(fast) / normal, 2.0, 0.4);
}

TEST_F(MpvDevice, MissingAndBogusFilesFailQuickly) {
    const std::string dir = testmedia::mediaDir();
    const QString bogus = QString::fromStdString(dir + "/not_a_video.flv");
    {
        QFile f(bogus);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("This is a text file and not a video at all.\n");
    }
    for (const QString& path :
         {QString::fromStdString(dir + "/no_such_clip.flv"), bogus, QString::fromStdString(dir)}) {
        QElapsedTimer t;
        t.start();
        EXPECT_FALSE(open(path)) << path.toStdString();
        EXPECT_LT(t.elapsed(), 2000) << path.toStdString();
        EXPECT_EQ(mci->getStatus(), QStringLiteral("error"));
    }
    // No disc drive here: the CD device fails to open too (and quickly).
    if (!QFile::exists(QStringLiteral("/dev/cdrom")) &&
        !QFile::exists(QStringLiteral("/dev/sr0"))) {
        QElapsedTimer t;
        t.start();
        EXPECT_NE(
            device->send(QStringLiteral("open / type cdaudio alias cd wait shareable"), nullptr),
            0);
        EXPECT_LT(t.elapsed(), 2000);
    }
    // The alias is free again for a good file.
    EXPECT_TRUE(open(clipPath("tone.mp3")));
}

// The process stopped past an open's time limit while the file was on its way (a loaded
// machine, a paused session): once it runs again the open goes on and succeeds. A file that
// never comes still fails at the limit. The file comes through a pipe, so the open is surely
// waiting when the process is stopped.
TEST(MpvOpen, OutlastsAStretchInWhichTheProcessDidNotRun) {
    ensureApp();
    QFile source(clipPath("h263_mp3.flv"));
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    const QByteArray bytes = source.readAll();
    QTemporaryDir dir;
    const QByteArray pipe = (dir.path() + "/stream.flv").toLocal8Bit();
    ASSERT_EQ(mkfifo(pipe.constData(), 0600), 0);
    const pid_t self = getpid();
    const pid_t helper = fork();
    ASSERT_GE(helper, 0);
    if (helper == 0) {  // only calls that are safe after fork
        const timespec settle{0, 500'000'000}, stopped{3, 0};
        nanosleep(&settle, nullptr);
        kill(self, SIGSTOP);
        nanosleep(&stopped, nullptr);
        kill(self, SIGCONT);  // before the pipe opens: the reader may not be there yet
        const int fd = ::open(pipe.constData(), O_WRONLY);
        for (qsizetype at = 0; fd >= 0 && at < bytes.size();) {
            const ssize_t n =
                ::write(fd, bytes.constData() + at, static_cast<size_t>(bytes.size() - at));
            if (n <= 0) break;
            at += n;
        }
        _exit(0);
    }
    QElapsedTimer t;
    t.start();
    auto late = std::make_unique<MpvPlayer>(MpvPlayer::Config{.nullAudio = true});
    const bool opened = late->open(QString::fromLocal8Bit(pipe), 2500);
    EXPECT_GT(t.elapsed(), 3000) << "the process was not stopped past the limit";
    EXPECT_TRUE(opened);
    late.reset();  // closes the pipe: the helper's last writes end
    int status = 0;
    waitpid(helper, &status, 0);

    auto never = std::make_unique<MpvPlayer>(MpvPlayer::Config{.nullAudio = true});
    t.restart();
    EXPECT_FALSE(never->open(QString::fromLocal8Bit(pipe), 800));
    EXPECT_LT(t.elapsed(), 3000);
    const int fd = ::open(pipe.constData(), O_WRONLY | O_NONBLOCK);  // lets the reader go
    if (fd >= 0) ::close(fd);
    never.reset();
    MpvPlayer::finishClosing();
}

class PressCounter : public QObject {
  public:
    int presses = 0;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::MouseButtonPress) ++presses;
        return false;
    }
};

TEST(VideoSurfaceTest, RegistersByIdAndLetsClicksThrough) {
    ensureApp();
    QWidget window;
    window.resize(200, 100);
    auto* surface = new VideoSurface(&window);
    surface->resize(200, 100);
    const int32_t id = surface->surfaceId();
    EXPECT_NE(id, 0);
    EXPECT_EQ(VideoSurface::find(id), surface);
    PressCounter counter;
    window.installEventFilter(&counter);
    QTest::mouseClick(surface, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(counter.presses, 1);  // the window behind the video gets the click
    delete surface;
    EXPECT_EQ(VideoSurface::find(id), nullptr);
}

// libmpv refuses a non-C LC_NUMERIC; the device must put it right after Qt set the locale.
TEST(MpvLocale, OpensUnderGermanLocale) {
    ensureApp();
    ScriptedPrompts prompts;
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr)
        << "the de_DE.UTF-8 locale is missing (test.sh generates it)";
    ASSERT_STRNE(std::setlocale(LC_NUMERIC, nullptr), "C");
    VideoSurface surface;
    MpvMciDevice device(MpvMciDevice::Options{true, 10000});
    MCI mci(&device);
    const QString path = clipPath("h264_aac.flv");
    mci.openMCI(path, surface.surfaceId(), QStringLiteral("Lumba.FLV"));
    ASSERT_TRUE(mci.isSuccess());
    EXPECT_NEAR(mci.getTotalSeconds(), testmedia::probeDuration(path.toStdString()), 0.05);
    mci.setCurFrame(75, false);
    EXPECT_NEAR(mci.getCurFrame(), 75, 1);
    mci.closeMCI();
    EXPECT_TRUE(mci.isSuccess());
    std::setlocale(LC_ALL, "C");
}

}  // namespace
