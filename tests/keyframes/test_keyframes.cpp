// The keyframe rules on hand-written indexes, and the index of real clips: an H.264 FLV
// with B-frames read by our own walk and by ffprobe alike, and an MP4 through the indexer
// running beside the event loop.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QSignalSpy>

#include "keyframes/keyframe_index.h"
#include "keyframes/keyframe_indexer.h"
#include "test_media.h"

namespace {

using keyframes::KeyframeIndex;

QCoreApplication& app() {
    static int argc = 1;
    static char name[] = "test_keyframes";
    static char* argv[] = {name, nullptr};
    static QCoreApplication a(argc, argv);
    return a;
}

KeyframeIndex keysAt(std::vector<std::int64_t> ms, std::int64_t saveClockLead = 0) {
    KeyframeIndex k;
    k.keyTimesMs = std::move(ms);
    k.saveClockLeadMs = saveClockLead;
    return k;
}

TEST(KeyframeRules, CopyStartTakesTheWholeSecondThenTheKeyframe) {
    const auto k = keysAt({80, 10000, 58000, 70000});
    // 65.40 s: whole second 65, keyframe at or before it 58.
    EXPECT_EQ(keyframes::copyStartSeconds(k, 65.40), 58.0);
    // 58.999 reads as 59.00 (hundredths after adding 0.004): still the keyframe at 58.
    EXPECT_EQ(keyframes::copyStartSeconds(k, 58.999), 58.0);
    EXPECT_EQ(keyframes::copyStartSeconds(k, 70.5), 70.0);
    // A mark on a keyframe's second that is not whole goes back a whole group.
    EXPECT_EQ(keyframes::copyStartSeconds(k, 10.5), 10.0);
    EXPECT_EQ(keyframes::copyStartSeconds(k, 9.99), 0.08);  // the first keyframe
    EXPECT_EQ(keyframes::copyStartSeconds(k, 0), 0.08);
    EXPECT_FALSE(keyframes::copyStartSeconds(keysAt({}), 5));

    // The save counts from the file's start, 80 ms before the first picture: its 10 s is the
    // player's 9.92 s.
    const auto late = keysAt({0, 9920, 19920}, 80);
    EXPECT_EQ(keyframes::copyStartSeconds(late, 10.5), 9.92);
    EXPECT_EQ(keyframes::copyStartSeconds(late, 19.9), 9.92);
}

TEST(KeyframeRules, StepLandsOnTheNeighbourKeyframe) {
    const auto k = keysAt({0, 2000, 4000});
    const double frame = 0.04;  // 25 frames a second
    EXPECT_EQ(keyframes::keyframeStep(k, 50, frame, +1), 100);
    EXPECT_EQ(keyframes::keyframeStep(k, 50, frame, -1), 0);
    EXPECT_EQ(keyframes::keyframeStep(k, 51, frame, -1), 50);
    EXPECT_EQ(keyframes::keyframeStep(k, 49, frame, +1), 50);
    EXPECT_FALSE(keyframes::keyframeStep(k, 100, frame, +1));
    EXPECT_FALSE(keyframes::keyframeStep(k, 0, frame, -1));
    EXPECT_FALSE(keyframes::keyframeStep(k, 50, 0, +1));  // no time information
    // Milliseconds as units (a file counted in ms): still the keyframe, not the one after.
    EXPECT_EQ(keyframes::keyframeStep(k, 1999, 0.001, +1), 2000);
}

TEST(KeyframeRules, FfprobeOutputCountsFromTheFirstPicture) {
    const QByteArray csv =
        "packet,1.080000,1.000000,K_\n"
        "packet,1.240000,1.040000,__\n"
        "packet,N/A,1.080000,__\n"
        "packet,3.080000,3.000000,K_\r\n"
        "format,1.000000\n";
    const auto k = keyframes::indexFromFfprobe(csv);
    ASSERT_TRUE(k);
    EXPECT_EQ(k->keyTimesMs, (std::vector<std::int64_t>{0, 2000}));
    EXPECT_EQ(k->saveClockLeadMs, 80);
    ASSERT_EQ(k->pictures.size(), 4u);
    EXPECT_EQ(k->pictures[1].ptsMs, 160);
    EXPECT_EQ(k->pictures[2].ptsMs, 0);  // no pts: shown when decoded
    EXPECT_FALSE(keyframes::indexFromFfprobe("format,0.000000\n"));
}

// Keyframes every 2 s on the player's clock; the sound may start the file (and the save's
// clock) a little earlier (AAC priming).
void expectEveryTwoSeconds(const KeyframeIndex& k, const std::string& what) {
    EXPECT_EQ(k.keyTimesMs, (std::vector<std::int64_t>{0, 2000, 4000, 6000, 8000})) << what;
    EXPECT_GE(k.saveClockLeadMs, 0) << what;
    EXPECT_LT(k.saveClockLeadMs, 100) << what;
}

bool hasReordering(const KeyframeIndex& k) {
    for (const flv::Picture& p : k.pictures)
        if (p.ptsMs - p.dtsMs != k.pictures[0].ptsMs - k.pictures[0].dtsMs) return true;
    return false;
}

TEST(KeyframeIndex, FlvWalkAgreesWithFfprobe) {
    const std::string flvPath =
        testmedia::makeClip("keys.flv", testmedia::x264KeyframeClipArgs("320x180"));
    auto stream = flv::readPictures(flvPath);
    ASSERT_TRUE(stream);
    const KeyframeIndex ours = keyframes::indexFromFlv(*stream);
    expectEveryTwoSeconds(ours, "walk");
    EXPECT_EQ(ours.pictures.size(), 225u);
    EXPECT_TRUE(hasReordering(ours));

    const auto probed = testmedia::run([&] {
        std::vector<std::string> argv{"ffprobe"};
        for (const QString& a : keyframes::ffprobeArguments(QString::fromStdString(flvPath)))
            argv.push_back(a.toStdString());
        return argv;
    }());
    ASSERT_EQ(probed.exitCode, 0) << probed.output;
    const auto theirs = keyframes::indexFromFfprobe(QByteArray::fromStdString(probed.output));
    ASSERT_TRUE(theirs);
    EXPECT_EQ(theirs->keyTimesMs, ours.keyTimesMs);
    EXPECT_EQ(theirs->saveClockLeadMs, ours.saveClockLeadMs);
    ASSERT_EQ(theirs->pictures.size(), ours.pictures.size());
    for (std::size_t i = 0; i < ours.pictures.size(); ++i)
        EXPECT_EQ(theirs->pictures[i].ptsMs, ours.pictures[i].ptsMs) << i;
}

TEST(KeyframeIndex, IndexerWorksBesideTheEventLoopAndKeepsItsResults) {
    app();
    const QString mp4 = QString::fromStdString(
        testmedia::makeClip("keys.mp4", testmedia::x264KeyframeClipArgs("320x180")));
    const QString flvFile = QString::fromStdString(
        testmedia::makeClip("keys.flv", testmedia::x264KeyframeClipArgs("320x180")));
    const QString notMedia = QString::fromStdString(testmedia::mediaDir()) + "/keys-not-media.txt";
    {
        QFile f(notMedia);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("not a media file\n");
    }

    keyframes::KeyframeIndexer indexer;
    QSignalSpy spy(&indexer, &keyframes::KeyframeIndexer::indexed);
    for (const QString& p : {mp4, flvFile, notMedia}) indexer.request(p);
    EXPECT_TRUE(indexer.busy());  // the requests returned at once
    EXPECT_FALSE(indexer.find(mp4));
    while (spy.count() < 3) ASSERT_TRUE(spy.wait(60000));
    EXPECT_FALSE(indexer.busy());

    for (const QString& p : {mp4, flvFile}) {
        const KeyframeIndex* k = indexer.find(p);
        ASSERT_TRUE(k) << p.toStdString();
        expectEveryTwoSeconds(*k, p.toStdString());
        EXPECT_TRUE(hasReordering(*k));
    }
    EXPECT_FALSE(indexer.find(notMedia));

    // Known files are not indexed again in the session.
    indexer.request(mp4);
    EXPECT_FALSE(indexer.busy());
    QFile::remove(notMedia);
}

}  // namespace
