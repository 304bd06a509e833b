// The media control object against a recording device: the exact command strings it sends
// and how it reads the replies.
#include <gtest/gtest.h>

#include <QStringList>
#include <map>
#include <utility>
#include <vector>

#include "common/scripted_prompts.h"
#include "media/mci.h"

namespace {

class RecordingDevice : public MciDevice {
  public:
    struct Sent {
        QString command;
        bool query;
    };

    int send(const QString& command, QString* reply) override {
        sent.push_back({command, reply != nullptr});
        auto it = answers.find(command);
        if (it == answers.end()) return 0;
        if (reply) *reply = it->second.second;
        return it->second.first;
    }
    void answer(const QString& command, const QString& reply, int rc = 0) {
        answers[command] = {rc, reply};
    }
    void fail(const QString& command, int rc = 263) { answers[command] = {rc, QString()}; }
    QStringList commands() const {
        QStringList out;
        for (const auto& s : sent) out << s.command;
        return out;
    }
    int count(const QString& command) const { return static_cast<int>(commands().count(command)); }
    void clear() { sent.clear(); }

    std::vector<Sent> sent;
    std::map<QString, std::pair<int, QString>> answers;
};

const QString A = QStringLiteral("Lumba.FLV");

class MciTest : public ::testing::Test {
  protected:
    // A file of 3000 frames and 120 s under alias A, parent window 7.
    void openFile(const QString& path = QStringLiteral("/v/clip.flv")) {
        dev.answer(QStringLiteral("status Lumba.FLV length"), QStringLiteral("3000"));
        mci.openMCI(path, 7, A);
        ASSERT_TRUE(mci.isSuccess());
        dev.clear();
    }
    // Track 7 of a disc, starting 180 s into it and 240 s long.
    void openTrack7(const QString& path = QStringLiteral("/media/cdrom/TRACK07.CDA")) {
        dev.answer(QStringLiteral("status Lumba.FLV position track 7"), QStringLiteral("180000"));
        dev.answer(QStringLiteral("status Lumba.FLV length track 7"), QStringLiteral("240000"));
        mci.openMCI(path, 7, A);
    }

    ScriptedPrompts prompts;
    RecordingDevice dev;
    MCI mci{&dev};
};

TEST_F(MciTest, OpensAFileUnderItsAliasInTheParentWindow) {
    dev.fail(QStringLiteral("stop Lumba.FLV"));  // nothing open yet: ignored
    dev.fail(QStringLiteral("close Lumba.FLV"));
    mci.openMCI(QStringLiteral("/v/my clip.flv"), 7, A);
    EXPECT_EQ(dev.commands(),
              QStringList({"stop Lumba.FLV", "close Lumba.FLV",
                           "open \"/v/my clip.flv\" type mpegvideo alias Lumba.FLV parent 7 style "
                           "child",
                           "set Lumba.FLV time format frames"}));
    EXPECT_TRUE(mci.isSuccess());
    EXPECT_EQ(mci.deviceType(), QStringLiteral("mpegvideo"));
    EXPECT_FALSE(mci.isCDa());
    EXPECT_EQ(mci.FileName(), QStringLiteral("/v/my clip.flv"));
    EXPECT_EQ(mci.startFrame(), 0);
    EXPECT_TRUE(prompts.shown().empty());

    dev.fail(
        QStringLiteral("open \"/v/gone.flv\" type mpegvideo alias Lumba.FLV parent 7 style child"),
        275);
    mci.openMCI(QStringLiteral("/v/gone.flv"), 0, {});  // parent and alias are kept
    EXPECT_FALSE(mci.isSuccess());
}

TEST_F(MciTest, MissingParentIsToldButTheOpenGoesOn) {
    MCI fresh(&dev);
    EXPECT_EQ(fresh.alias(), QStringLiteral("MyPlayer"));
    fresh.openMCI(QStringLiteral("/v/a.flv"), 0, {});
    ASSERT_EQ(prompts.shown().size(), 1u);
    EXPECT_EQ(prompts.last().text, QStringLiteral("務必指定 hWnd 參數"));
    EXPECT_EQ(prompts.last().buttons, prompts::Buttons::Ok);
    EXPECT_TRUE(dev.commands().contains(
        "open \"/v/a.flv\" type mpegvideo alias MyPlayer parent 0 style child"));
    EXPECT_TRUE(fresh.isSuccess());
}

TEST_F(MciTest, CdTrackNameOpensTheDriveInMilliseconds) {
    for (const QString& path :
         {QStringLiteral("/media/cdrom/TRACK07.CDA"), QStringLiteral("/media/cdrom/track07.cda"),
          QStringLiteral("/media/cdrom/Track07.cDa")}) {
        SCOPED_TRACE(path.toStdString());
        MCI cd(&dev);
        dev.clear();
        dev.answer(QStringLiteral("status Lumba.FLV position track 7"), QStringLiteral("180000"));
        cd.openMCI(path, 7, A);
        EXPECT_EQ(dev.commands(),
                  QStringList({"stop Lumba.FLV", "close Lumba.FLV",
                               "open / type cdaudio alias Lumba.FLV wait shareable",
                               "set Lumba.FLV time format ms", "set Lumba.FLV time format ms",
                               "status Lumba.FLV position track 7"}));
        EXPECT_TRUE(cd.isSuccess());
        EXPECT_TRUE(cd.isCDa());
        EXPECT_TRUE(cd.isAudioOnly());
        EXPECT_EQ(cd.trackNumber(), QStringLiteral("7"));
        EXPECT_EQ(cd.startFrame(), 180000);
    }
}

TEST_F(MciTest, CdTrackPositionsRunFromTheStartOfTheTrack) {
    openTrack7();
    ASSERT_TRUE(mci.isSuccess());
    dev.clear();
    dev.answer(QStringLiteral("status Lumba.FLV position"), QStringLiteral("185000"));
    EXPECT_EQ(mci.getCurFrame(), 5000);
    EXPECT_EQ(dev.commands(),
              QStringList({"set Lumba.FLV time format ms", "status Lumba.FLV position"}));
    EXPECT_EQ(mci.getTotalFrames(), 240000);
    EXPECT_FLOAT_EQ(mci.getTotalSeconds(), 240.0f);
    EXPECT_FLOAT_EQ(mci.getFramesPerSecond(), 1000.0f);
    dev.clear();
    mci.playMCI(1000, 2000);
    mci.playMCI(0, 0);  // to the end of the track
    EXPECT_EQ(dev.commands(), QStringList({"play Lumba.FLV from 181000 to 182000",
                                           "play Lumba.FLV from 180000 to 420000"}));
    dev.clear();
    mci.stopMCI({}, 0);  // target 0 on a disc: pause where it is
    mci.stopMCI({}, 500);
    EXPECT_EQ(dev.commands(), QStringList({"pause Lumba.FLV", "seek Lumba.FLV to 180500"}));
    dev.clear();
    mci.putMCI(320, 240, true, 0, 0, 320, 240);
    EXPECT_FALSE(mci.isSuccess());
    EXPECT_TRUE(dev.sent.empty());
    mci.closeAllMCI();
    EXPECT_EQ(dev.commands(), QStringList({"stop Lumba.FLV", "Close All"}));
}

TEST_F(MciTest, CdTrackFailsWhenTheTrackCannotBeFound) {
    dev.fail(QStringLiteral("status Lumba.FLV position track 7"));
    mci.openMCI(QStringLiteral("/media/cdrom/Track07.cda"), 7, A);
    EXPECT_FALSE(mci.isSuccess());
    EXPECT_EQ(mci.startFrame(), 0);
}

TEST_F(MciTest, NamesThatOnlyLookLikeTracksAreFiles) {
    for (const QString& path :
         {QStringLiteral("/cd/track1a.cda"), QStringLiteral("/cd/track7.cda"),
          QStringLiteral("/cd/xtrack07.cda"), QStringLiteral("/cd/track07.cda.flv"),
          QStringLiteral("/cd/track007.cda")}) {
        SCOPED_TRACE(path.toStdString());
        dev.clear();
        mci.openMCI(path, 7, A);
        EXPECT_EQ(mci.deviceType(), QStringLiteral("mpegvideo"));
        EXPECT_TRUE(
            dev.commands().contains(QStringLiteral("open \"") + path +
                                    "\" type mpegvideo alias Lumba.FLV parent 7 style child"));
    }
}

TEST_F(MciTest, OneCdTrackAfterAnotherKeepsTheDeviceOpen) {
    openTrack7();
    dev.clear();
    dev.answer(QStringLiteral("status Lumba.FLV position track 8"), QStringLiteral("420000"));
    mci.openMCI(QStringLiteral("/media/cdrom/Track08.cda"), 7, A);
    EXPECT_EQ(dev.count("stop Lumba.FLV"), 0);
    EXPECT_EQ(dev.count("close Lumba.FLV"), 0);
    EXPECT_EQ(mci.trackNumber(), QStringLiteral("8"));
    EXPECT_EQ(mci.startFrame(), 420000);
    dev.clear();
    mci.openMCI(QStringLiteral("/v/clip.flv"), 7, A);  // a file after a track closes the disc
    EXPECT_EQ(dev.commands().mid(0, 2), QStringList({"stop Lumba.FLV", "close Lumba.FLV"}));
    EXPECT_FALSE(mci.isCDa());
    EXPECT_EQ(mci.startFrame(), 0);
}

TEST_F(MciTest, PlayRangesAreClampedAndRecorded) {
    openFile();
    mci.playMCI(0, 0);
    EXPECT_EQ(dev.commands().last(), QStringLiteral("play Lumba.FLV"));
    EXPECT_EQ(dev.count("status Lumba.FLV length"), 1);  // filled once, then cached
    EXPECT_EQ(mci.rngStart(), 0);
    EXPECT_EQ(mci.rngEnd(), 0);
    EXPECT_FALSE(mci.isRngPlaying());

    mci.playMCI(100, 0);
    EXPECT_EQ(dev.commands().last(), QStringLiteral("play Lumba.FLV from 100 to 3000"));
    EXPECT_EQ(mci.rngStart(), 100);
    EXPECT_EQ(mci.rngEnd(), 3000);
    EXPECT_TRUE(mci.isRngPlaying());

    mci.playMCI(-5, 999999);
    EXPECT_EQ(dev.commands().last(), QStringLiteral("play Lumba.FLV from 0 to 3000"));
    EXPECT_EQ(mci.rngStart(), 0);
    EXPECT_EQ(mci.rngEnd(), 3000);
    EXPECT_EQ(dev.count("status Lumba.FLV length"), 1);

    mci.playMCI(10, 20, false, true, true);  // not a segment, device repeat
    EXPECT_EQ(dev.commands().last(), QStringLiteral("play Lumba.FLV from 10 to 20 repeat"));
    EXPECT_FALSE(mci.isRngPlaying());
    EXPECT_TRUE(mci.isSuccess());

    dev.fail(QStringLiteral("play Lumba.FLV from 10 to 20"), 282);
    mci.playMCI(10, 20, true);
    EXPECT_FALSE(mci.isSuccess());
    EXPECT_TRUE(mci.rngRepeat());
    mci.rngCancel();
    EXPECT_FALSE(mci.isRngPlaying());
    EXPECT_FALSE(mci.rngRepeat());
    EXPECT_EQ(dev.commands().size(), 7);  // rngCancel sends nothing
}

TEST_F(MciTest, StopLoopsARepeatingSegmentOrSeeksToItsStart) {
    openFile();
    mci.stopMCI();
    EXPECT_EQ(dev.commands().last(), QStringLiteral("seek Lumba.FLV to 0"));
    mci.playMCI(100, 200, true);
    dev.clear();
    mci.stopMCI({}, 0);
    EXPECT_EQ(dev.commands(), QStringList({"play Lumba.FLV from 100 to 200"}));
    EXPECT_EQ(mci.rngStart(), 100);
    EXPECT_TRUE(mci.rngRepeat());

    mci.setRngRepeat(false);
    dev.clear();
    mci.stopMCI({}, 0);
    mci.stopMCI({}, 42);
    mci.stopMCI(QStringLiteral("Lumba.FLV_forCapture"), 0);
    EXPECT_EQ(dev.commands(), QStringList({"seek Lumba.FLV to 100", "seek Lumba.FLV to 42",
                                           "seek Lumba.FLV_forCapture to 100"}));
    dev.fail(QStringLiteral("seek Lumba.FLV to 100"));
    mci.stopMCI();
    EXPECT_FALSE(mci.isSuccess());
}

TEST_F(MciTest, PutPlacesThePictureAndLearnsAboutAudioOnly) {
    openFile();
    mci.putMCI(320, 240, true, 1, 1, 401, 301);  // halves go to the even neighbour: 40, 30
    mci.putMCI(400, 300, true, 1, 1, 320, 240);  // larger than the area: area minus picture
    mci.putMCI(0, 0, false, 0, 0, 0, 0);
    EXPECT_EQ(dev.commands(), QStringList({"put Lumba.FLV window at 41 31 320 240",
                                           "put Lumba.FLV window at -79 -59 400 300",
                                           "put Lumba.FLV window at 0 0 0 0"}));
    EXPECT_TRUE(mci.isSuccess());
    EXPECT_FALSE(mci.isAudioOnly());

    dev.clear();
    dev.fail(QStringLiteral("put Lumba.FLV window at 0 0 0 0"), 346);
    mci.putMCI(0, 0, false, 0, 0, 0, 0);
    EXPECT_EQ(dev.commands(),
              QStringList({"put Lumba.FLV window at 0 0 0 0", "set Lumba.FLV audio all on"}));
    EXPECT_FALSE(mci.isSuccess());
    EXPECT_TRUE(mci.isAudioOnly());

    dev.fail(QStringLiteral("set Lumba.FLV audio all on"), 274);  // no sound either
    mci.putMCI(0, 0, false, 0, 0, 0, 0);
    EXPECT_FALSE(mci.isSuccess());
    EXPECT_FALSE(mci.isAudioOnly());
    EXPECT_TRUE(mci.isVideoOnly());
}

TEST_F(MciTest, PutWithoutParentWindowSendsNothing) {
    MCI orphan(&dev);
    orphan.openMCI(QStringLiteral("/v/a.flv"), 0, A);
    dev.clear();
    orphan.setIsSuccess(true);
    orphan.putMCI(320, 240, true, 0, 0, 320, 240);
    EXPECT_TRUE(dev.sent.empty());
    EXPECT_TRUE(orphan.isSuccess());
}

TEST_F(MciTest, WhereRepliesGiveWidthAndHeight) {
    openFile();
    int32_t w = -1, h = -1;
    dev.answer(QStringLiteral("where Lumba.FLV source"), QStringLiteral("0 0 320 240"));
    mci.getDefaultSize(w, h);
    EXPECT_EQ(w, 320);
    EXPECT_EQ(h, 240);
    EXPECT_TRUE(mci.isSuccess());
    dev.answer(QStringLiteral("where Lumba.FLV destination max"),
               QStringLiteral("0 0 640.5 359.5"));
    mci.getCurSize(w, h);
    EXPECT_EQ(w, 640);
    EXPECT_EQ(h, 360);
    dev.fail(QStringLiteral("where Lumba.FLV source"), 346);
    mci.getDefaultSize(w, h);
    EXPECT_EQ(w, 0);
    EXPECT_EQ(h, 0);
    EXPECT_FALSE(mci.isSuccess());
    dev.answer(QStringLiteral("where Lumba.FLV source"), QStringLiteral("garbage"));
    mci.getDefaultSize(w, h);
    EXPECT_EQ(w, 0);
    EXPECT_EQ(h, 0);
    EXPECT_TRUE(mci.isSuccess());
}

TEST_F(MciTest, StatusWordsAreTheFirstWordLowerCased) {
    openFile();
    dev.answer(QStringLiteral("status Lumba.FLV mode"), QStringLiteral("Playing now"));
    EXPECT_EQ(mci.getStatus(), QStringLiteral("playing"));
    dev.answer(QStringLiteral("status Lumba.FLV mode"), QStringLiteral("not ready"));
    EXPECT_EQ(mci.getStatus(), QStringLiteral("not"));
    dev.answer(QStringLiteral("status Lumba.FLV mode"), QString(200, u'x'));
    EXPECT_EQ(mci.getStatus().size(), 128);  // the reply buffer holds 128 characters
    dev.fail(QStringLiteral("status Lumba.FLV mode"));
    EXPECT_EQ(mci.getStatus(), QStringLiteral("error"));
    dev.answer(QStringLiteral("status Lumba.FLV audio"), QStringLiteral("ON"));
    EXPECT_EQ(mci.getAudioOnOff(), QStringLiteral("on"));
    dev.fail(QStringLiteral("status Lumba.FLV audio"));
    EXPECT_EQ(mci.getAudioOnOff(), QStringLiteral("error"));
}

TEST_F(MciTest, ModeNamesTheDeviceAnswer) {
    openFile();
    const std::pair<const char*, MciMode> answers[] = {
        {"playing", MciMode::Playing},
        {"Paused", MciMode::Paused},
        {"stopped", MciMode::Stopped},
        {"seeking", MciMode::Seeking},
        {"not ready", MciMode::NotReady},
        {"open", MciMode::Other},
        {"", MciMode::Other},  // an empty reply is no mode either
    };
    for (const auto& [reply, mode] : answers) {
        dev.answer(QStringLiteral("status Lumba.FLV mode"), QString::fromUtf8(reply));
        EXPECT_EQ(mci.getMode(), mode) << reply;
    }
    dev.fail(QStringLiteral("status Lumba.FLV mode"));
    EXPECT_EQ(mci.getMode(), MciMode::Other);  // "error" is no mode
}

TEST_F(MciTest, LengthsPositionsAndRates) {
    openFile();
    dev.answer(QStringLiteral("status Lumba.FLV length"), QStringLiteral("120000"));  // in ms now
    EXPECT_FLOAT_EQ(mci.getTotalSeconds(), 120.0f);
    EXPECT_EQ(dev.commands(),
              QStringList({"set Lumba.FLV time format ms", "status Lumba.FLV length",
                           "set Lumba.FLV time format frames"}));
    dev.clear();
    dev.answer(QStringLiteral("status Lumba.FLV position"), QStringLiteral(" 42.5"));
    EXPECT_EQ(mci.getCurFrame(), 42);
    dev.answer(QStringLiteral("status Lumba.FLV position"), QStringLiteral("43.5"));
    EXPECT_EQ(mci.getCurFrame(), 44);
    EXPECT_EQ(dev.commands().mid(0, 2),
              QStringList({"set Lumba.FLV time format frames", "status Lumba.FLV position"}));
    dev.fail(QStringLiteral("status Lumba.FLV position"));
    EXPECT_EQ(mci.getCurFrame(), 0);

    dev.answer(QStringLiteral("status Lumba.FLV frame rate"), QStringLiteral("29970"));
    EXPECT_FLOAT_EQ(mci.getFramesRateMPG(), 29.97f);
    dev.fail(QStringLiteral("status Lumba.FLV frame rate"));
    EXPECT_FLOAT_EQ(mci.getFramesRateMPG(), -1.0f);
    dev.answer(QStringLiteral("status Lumba.FLV speed"), QStringLiteral("2000"));
    EXPECT_EQ(mci.getSpeed(), 2000);
    dev.fail(QStringLiteral("status Lumba.FLV speed"));
    EXPECT_EQ(mci.getSpeed(), -1);
}

TEST_F(MciTest, FramesPerSecondFromTheCachedLengths) {
    dev.answer(QStringLiteral("status Lumba.FLV length"), QStringLiteral("3000"));
    mci.openMCI(QStringLiteral("/v/clip.flv"), 7, A);
    // The same query answers frames first, then (in ms) a zero length.
    EXPECT_EQ(mci.getTotalFrames(), 3000);
    dev.answer(QStringLiteral("status Lumba.FLV length"), QStringLiteral("0"));
    EXPECT_FLOAT_EQ(mci.getFramesPerSecond(), -1.0f);
    dev.answer(QStringLiteral("status Lumba.FLV length"), QStringLiteral("120000"));
    EXPECT_FLOAT_EQ(mci.getFramesPerSecond(), 25.0f);
    dev.clear();
    EXPECT_FLOAT_EQ(mci.getFramesPerSecond(), 25.0f);  // both cached now
    EXPECT_TRUE(dev.sent.empty());
    mci.openMCI(QStringLiteral("/v/other.flv"), 7, A);  // a new open forgets them
    dev.clear();
    mci.getFramesPerSecond();
    EXPECT_EQ(dev.count("status Lumba.FLV length"), 2);
}

TEST_F(MciTest, SetCurFrameShowsThePictureAndLeavesTheSegment) {
    openFile();
    mci.playMCI(100, 200, true);
    dev.clear();
    mci.setCurFrame(120, false);
    mci.setCurFrame(-5, true);
    mci.setCurFrame(5000, true);
    EXPECT_EQ(dev.commands(),
              QStringList({"pause Lumba.FLV", "play Lumba.FLV from 120 to 3000", "pause Lumba.FLV",
                           "play Lumba.FLV from 0 to 3000", "play Lumba.FLV from 3000 to 3000"}));
    EXPECT_EQ(mci.rngStart(), 100);
    EXPECT_EQ(mci.rngEnd(), 200);
    EXPECT_TRUE(mci.rngRepeat());

    dev.fail(QStringLiteral("pause Lumba.FLV"));  // the pauses around the play do not count
    mci.setCurFrame(120, false);
    EXPECT_TRUE(mci.isSuccess());
    dev.fail(QStringLiteral("play Lumba.FLV from 120 to 3000"));
    mci.setCurFrame(120, true);
    EXPECT_FALSE(mci.isSuccess());
}

TEST_F(MciTest, SmallCommandsAndTheirOutcomes) {
    openFile();
    dev.fail(QStringLiteral("step Lumba.FLV by -3"));
    mci.stepMCI(-3);
    EXPECT_TRUE(mci.isSuccess());  // a refused step still reports success
    mci.setVolume(500);
    mci.setSpeed(2000);
    mci.setAudioShow(false);
    mci.pauseMCI();
    mci.resumeMCI();
    EXPECT_TRUE(mci.isSuccess());
    mci.closeMCI();
    mci.closeMCI(QStringLiteral("Lumba.FLV_forSplit"));
    mci.closeAllMCI();
    EXPECT_EQ(
        dev.commands(),
        QStringList({"step Lumba.FLV by -3", "setaudio Lumba.FLV volume to 500",
                     "set Lumba.FLV speed 2000", "set Lumba.FLV audio all off", "pause Lumba.FLV",
                     "resume Lumba.FLV", "stop Lumba.FLV", "close Lumba.FLV",
                     "stop Lumba.FLV_forSplit", "close Lumba.FLV_forSplit", "Close All"}));
    dev.fail(QStringLiteral("resume Lumba.FLV"));
    mci.resumeMCI();
    EXPECT_FALSE(mci.isSuccess());
    dev.fail(QStringLiteral("close Lumba.FLV"));
    mci.closeMCI();
    EXPECT_FALSE(mci.isSuccess());
    dev.fail(QStringLiteral("set Lumba.FLV audio all on"));
    EXPECT_TRUE(mci.isVideoOnly());
}

TEST_F(MciTest, OnlyQueriesCarryAReplyBuffer) {
    openTrack7();
    mci.getStatus();
    mci.getTotalSeconds();
    mci.getCurFrame();
    mci.playMCI(0, 0);
    mci.setVolume(500);
    int32_t w, h;
    mci.getDefaultSize(w, h);
    for (const auto& s : dev.sent) {
        const bool query = s.command.startsWith(QLatin1String("status ")) ||
                           s.command.startsWith(QLatin1String("where "));
        EXPECT_EQ(s.query, query) << s.command.toStdString();
    }
}

}  // namespace
