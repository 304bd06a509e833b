// The join tool's plain parts: the list check, the stream comparison and its notice, the
// names and the command of each kind of list.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "common/globals.h"
#include "common/media_kinds.h"
#include "qstring_print.h"
#include "tools/join/item_clock.h"
#include "tools/join/join_list_check.h"
#include "tools/join/join_plan.h"
#include "tools/join/stream_compare.h"

using namespace join;

namespace {

class JoinListTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        MoreFormats.clear();
    }
    void TearDown() override { MoreFormats.clear(); }
    QString file(const QString& name) {
        const QString p = QDir(dir_.path()).filePath(name);
        QFile f(p);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("x");
        return p;
    }
    QTemporaryDir dir_;
};

TEST_F(JoinListTest, ExtensionsAreComparedInLowerCase) {
    EXPECT_FALSE(checkJoinList({file("a.FLV"), file("b.flv")}).refused);
    EXPECT_EQ(joinExtension({file("a.FLV")}), QStringLiteral("flv"));
}

TEST_F(JoinListTest, TheFirstRefusedItemIsNamed) {
    const ListCheck mixed = checkJoinList({file("a.flv"), file("b.mpg"), file("c.mpg")});
    EXPECT_TRUE(mixed.refused);
    EXPECT_EQ(mixed.item, 1);
    // A missing file, even of the right type.
    const ListCheck missing =
        checkJoinList({file("a.mpg"), dir_.path() + QStringLiteral("/gone.mpg"), file("c.mpg")});
    EXPECT_EQ(missing.item, 1);
    // A folder is not a file.
    QDir(dir_.path()).mkdir(QStringLiteral("d.mpg"));
    EXPECT_EQ(checkJoinList({file("a.mpg"), dir_.path() + QStringLiteral("/d.mpg")}).item, 1);
}

TEST_F(JoinListTest, OnlyEditableTypesJoin) {
    const QStringList avis{file("a.avi"), file("b.avi")};
    EXPECT_EQ(checkJoinList(avis).item, 0);
    MoreFormats = kMoreFormatsList;  // "I want more.ico" widens the editable types
    EXPECT_FALSE(checkJoinList(avis).refused);
    EXPECT_EQ(checkJoinList({file("a.mp3")}).item, 0);
}

TEST_F(JoinListTest, AnEmptyListIsRefusedWithNothingToSelect) {
    const ListCheck c = checkJoinList({});
    EXPECT_TRUE(c.refused);
    EXPECT_FALSE(c.item.has_value());
}

TEST(JoinTexts, RefusalNoticeAndProposedName) {
    EXPECT_EQ(
        refusedListText(),
        QStringLiteral("合併清單裡的檔案類型不一致，或是\r\n清單裡包含不支援合併的多媒體格式\r\n"
                       "或是，清單裡包含了不存在的檔案！\r\n\r\n此合併功能，僅支援同類型的檔案"));
    EXPECT_EQ(proposedName(QStringLiteral("/v/my clip.part1.FLV")),
              QStringLiteral("my clip.part1_merge.flv"));
}

StreamSummary video(const QString& codec, int w, int h, double fps) {
    StreamSummary s;
    s.hasVideo = true;
    s.videoCodec = codec;
    s.width = w;
    s.height = h;
    s.fps = fps;
    s.hasAudio = true;
    s.audioCodec = QStringLiteral("aac");
    s.sampleRate = 44100;
    s.channels = 2;
    return s;
}

TEST(StreamCompare, SummaryTakesTheFirstRealVideoAndAudio) {
    MediaTracks t;
    MediaTrack cover{MediaTrack::Kind::Video, QStringLiteral("mjpeg"), true, 600, 600, 0, 0, 0};
    MediaTrack v{MediaTrack::Kind::Video, QStringLiteral("h264"), false, 320, 240, 25, 0, 0};
    MediaTrack a1{MediaTrack::Kind::Audio, QStringLiteral("aac"), false, 0, 0, 0, 48000, 2};
    MediaTrack a2{MediaTrack::Kind::Audio, QStringLiteral("mp3"), false, 0, 0, 0, 22050, 1};
    t.tracks = {cover, v, a1, a2};
    const StreamSummary s = summarize(t);
    EXPECT_EQ(propertyValue(s, StreamProperty::VideoFormat), QStringLiteral("h264"));
    EXPECT_EQ(propertyValue(s, StreamProperty::PictureSize), QStringLiteral("320x240"));
    EXPECT_EQ(propertyValue(s, StreamProperty::FrameRate), QStringLiteral("25 fps"));
    EXPECT_EQ(propertyValue(s, StreamProperty::AudioFormat), QStringLiteral("aac"));
    EXPECT_EQ(propertyValue(s, StreamProperty::SampleRate), QStringLiteral("48000 Hz"));
    EXPECT_EQ(propertyValue(s, StreamProperty::Channels), QStringLiteral("2"));
}

TEST(StreamCompare, TheFirstDifferingPropertyInOrder) {
    const StreamSummary a = video(QStringLiteral("h264"), 320, 240, 25);
    EXPECT_FALSE(compareStreams(a, a).has_value());

    // Size and rate both differ: the size comes first.
    auto m = compareStreams(a, video(QStringLiteral("h264"), 640, 360, 30));
    ASSERT_TRUE(m.has_value());
    EXPECT_EQ(m->property, StreamProperty::PictureSize);
    EXPECT_EQ(m->firstValue, QStringLiteral("320x240"));
    EXPECT_EQ(m->otherValue, QStringLiteral("640x360"));

    m = compareStreams(a, video(QStringLiteral("h264"), 320, 240, 29.97));
    ASSERT_TRUE(m.has_value());
    EXPECT_EQ(m->otherValue, QStringLiteral("29.97 fps"));

    // Rates that differ only past what a person reads are the same rate.
    EXPECT_FALSE(compareStreams(a, video(QStringLiteral("h264"), 320, 240, 25.0000001)));

    StreamSummary mono = a;
    mono.channels = 1;
    EXPECT_EQ(compareStreams(a, mono)->property, StreamProperty::Channels);
    StreamSummary silent = a;
    silent.hasAudio = false;
    m = compareStreams(a, silent);
    EXPECT_EQ(m->property, StreamProperty::AudioFormat);
    EXPECT_EQ(m->otherValue, QStringLiteral("無"));
    StreamSummary rate = a;
    rate.sampleRate = 22050;
    EXPECT_EQ(compareStreams(a, rate)->property, StreamProperty::SampleRate);
    EXPECT_EQ(compareStreams(a, video(QStringLiteral("flv1"), 320, 240, 25))->property,
              StreamProperty::VideoFormat);
}

TEST(StreamCompare, TheNoticeNamesItemPropertyAndBothValues) {
    const Mismatch m{StreamProperty::PictureSize, QStringLiteral("320x240"),
                     QStringLiteral("640x360")};
    EXPECT_EQ(mismatchText(2, m),
              QStringLiteral("合併清單的第 2 個檔案與第一個檔案的「畫面大小」不一致：\r\n"
                             "320x240 ／ 640x360\r\n\r\n"
                             "以不轉檔的方式合併，新檔案可能無法正常播放\r\n"
                             "按「確定」則繼續合併，按「取消」則中止"));
    const QStringList names{QStringLiteral("視訊格式"),   QStringLiteral("畫面大小"),
                            QStringLiteral("楨速率"),     QStringLiteral("音訊格式"),
                            QStringLiteral("音訊取樣率"), QStringLiteral("音訊頻道")};
    for (int i = 0; i < names.size(); ++i)
        EXPECT_EQ(propertyName(static_cast<StreamProperty>(i)), names[i]);
}

TEST(StreamCompare, ATagLevelJoinIsRefusedOnlyWhatItCannotBridge) {
    const StreamSummary a = video(QStringLiteral("h264"), 320, 240, 25);
    // Another picture size or rate: flvmdi joins them, the user is only asked.
    EXPECT_FALSE(tagJoinConflict(a, video(QStringLiteral("h264"), 640, 360, 30)));
    StreamSummary six = a;
    six.channels = 6;  // "stereo" to FLV as 2 is
    EXPECT_FALSE(tagJoinConflict(a, six));
    StreamSummary unknown = a;
    unknown.sampleRate = 0;
    unknown.audioCodec.clear();
    EXPECT_FALSE(tagJoinConflict(a, unknown));

    StreamSummary mono = video(QStringLiteral("h264"), 640, 360, 25);
    mono.channels = 1;
    const std::optional<Mismatch> m = tagJoinConflict(a, mono);  // behind the size difference
    ASSERT_TRUE(m);
    EXPECT_EQ(m->property, StreamProperty::Channels);
    EXPECT_EQ(m->firstValue + m->otherValue, QStringLiteral("21"));
    StreamSummary rate = a;
    rate.sampleRate = 22050;
    EXPECT_EQ(tagJoinConflict(a, rate)->property, StreamProperty::SampleRate);
    StreamSummary silent = a;
    silent.hasAudio = false;
    EXPECT_EQ(tagJoinConflict(a, silent)->property, StreamProperty::AudioFormat);
    EXPECT_EQ(tagJoinConflict(a, video(QStringLiteral("flv1"), 320, 240, 25))->property,
              StreamProperty::VideoFormat);
    StreamSummary soundOnly = a;
    soundOnly.hasVideo = false;
    EXPECT_EQ(tagJoinConflict(soundOnly, a)->property, StreamProperty::VideoFormat);
}

const save::Tools kTools{QStringLiteral("/t/ffmpeg"), QStringLiteral("/t/flvmdi")};

TEST(JoinPlanTest, FlvItemsAreJoinedByFlvmdiIntoTheTemporaryName) {
    const JoinPlan p = makeJoinPlan({QStringLiteral("/v/a.FLV"), QStringLiteral("/v/b.flv")},
                                    QStringLiteral("/out/a_merge.flv"), 20);
    EXPECT_TRUE(p.tagLevel());
    EXPECT_TRUE(p.list.isEmpty());
    EXPECT_EQ(p.joined, QStringLiteral("/out/~tmpSJoin.flv"));
    const tools::Command c = joinStep(p, kTools, false);
    EXPECT_EQ(c.program, kTools.flvmdi);
    EXPECT_EQ(c.args, (QStringList{"--join", "/out/~tmpSJoin.flv", "/v/a.FLV", "/v/b.flv"}));
    EXPECT_EQ(p.touchedFiles(), (QStringList{"/out/a_merge.flv", "/out/~tmpSJoin.flv"}));
}

TEST(JoinPlanTest, OtherItemsGoThroughTheConcatListWithEveryPathQuoted) {
    const JoinPlan p =
        makeJoinPlan({QStringLiteral("/v/-it's a.mpg"), QStringLiteral("/v/片段 b.mpg")},
                     QStringLiteral("/out/x.mpg"));
    EXPECT_EQ(p.list, QStringLiteral("/out/~tmpSJoin.txt"));
    EXPECT_EQ(save::joinListText(p.items), QStringLiteral("file 'file:/v/-it'\\''s a.mpg'\n"
                                                          "file 'file:/v/片段 b.mpg'\n"));
    EXPECT_EQ(p.listed, p.items);
    // A path with a line break is listed through a link beside the list, which the job owns.
    const JoinPlan broken = makeJoinPlan({"/v/a.mp4", "/v/b\nc/d.mp4"}, "/out/x.mp4");
    EXPECT_EQ(broken.listed, (QStringList{"/v/a.mp4", "/out/~tmpSJoinL002.mp4"}));
    EXPECT_TRUE(broken.touchedFiles().contains(QStringLiteral("/out/~tmpSJoinL002.mp4")));
    const tools::Command copy = joinStep(p, kTools, false);
    EXPECT_TRUE(copy.ffmpeg);
    EXPECT_EQ(copy.args.last(), QStringLiteral("file:/out/~tmpSJoin.mpg"));
    EXPECT_TRUE(copy.args.contains(QStringLiteral("file:/out/~tmpSJoin.txt")));
    EXPECT_FALSE(copy.args.contains(QStringLiteral("libmp3lame")));
    // The re-encoding join copies the video and makes MP3 of the audio at 64 kbit/s.
    const QStringList re = joinStep(p, kTools, true).args;
    const auto at = re.indexOf(QStringLiteral("-c:a"));
    ASSERT_GE(at, 0);
    EXPECT_EQ(re.mid(at, 4), (QStringList{"-c:a", "libmp3lame", "-b:a", "64k"}));
    EXPECT_EQ(re.mid(re.indexOf(QStringLiteral("-c:v")), 2), (QStringList{"-c:v", "copy"}));
    // ffmpeg reads options before -i as input options: the codecs come after the input.
    EXPECT_GT(re.indexOf(QStringLiteral("-c:v")), re.indexOf(QStringLiteral("-i")));
}

TEST(JoinPlanTest, HiddenLeadingPicturesAreLeftOutByTheirPlaceInTheJoin) {
    // Places count over every item before; a run of places is one range, a broken one two.
    const std::vector<save::LeadingPictures> items = {{77, {}}, {130, {1, 2, 3}}, {104, {1, 3}}};
    EXPECT_EQ(leftOutFilter(items),
              (QStringList{"-bsf:v",
                           "noise=drop=between(n\\,78\\,80)+between(n\\,208\\,208)+"
                           "between(n\\,210\\,210)"}));
    EXPECT_EQ(leftOut(items)[2], (std::vector<std::size_t>{1, 3}));
    // After an item that could not be read, the places are not known: nothing is left out.
    const std::vector<save::LeadingPictures> unread = {{0, {}}, {130, {1, 2}}};
    EXPECT_EQ(leftOutFilter(unread), QStringList{});
    EXPECT_EQ(leftOut(unread)[1], std::vector<std::size_t>{});
    EXPECT_EQ(leftOutFilter({{77, {}}}), QStringList{});
    // The filter goes with the copy of the video, before the output.
    const JoinPlan p = makeJoinPlan({"/v/a.mp4", "/v/b.mp4"}, "/out/x.mp4");
    const QStringList args = joinStep(p, kTools, false, leftOutFilter(items)).args;
    EXPECT_GT(args.indexOf(QStringLiteral("-bsf:v")), args.indexOf(QStringLiteral("copy")));
    EXPECT_EQ(args.last(), QStringLiteral("file:/out/~tmpSJoin.mp4"));
}

TEST(JoinPlanTest, ALateClockIsReadAndOnlyItsItemGetsALength) {
    // One run reads every header; it stops at an input it cannot open.
    EXPECT_EQ(clockStarts(QStringLiteral("Input #0, mov,mp4, from 'file:/v/a.mp4':\n"
                                         "  Duration: 00:01:43.00, start: 99.976009, bitrate: 7 "
                                         "kb/s\n"
                                         "Input #1, mov,mp4, from 'file:/v/b.mp4':\n"
                                         "  Duration: 00:00:03.00, start: 0.000000, bitrate: 7\n"
                                         "file:/v/x: Invalid data found when processing input\n"),
                          3),
              (std::vector<std::optional<double>>{99.976009, 0.0, std::nullopt}));
    // Each stream in its own time base; the end is the furthest packet end of any stream.
    EXPECT_DOUBLE_EQ(*contentSeconds(QStringLiteral("#tb 0: 1/12800\n#tb 1: 1/44100\n"
                                                    "0,  -512,  0, 512, 9, 0x1\n"
                                                    "0, 25088, 25088, 512, 9, 0x1\n"
                                                    "1, 86016, 86016, 1024, 5, 0x2\n")),
                     2.0);
    EXPECT_EQ(contentSeconds(QStringLiteral("#tb 0: 1/25\n")), std::nullopt);
    EXPECT_EQ(concatListText({QStringLiteral("/v/a.mp4"), QStringLiteral("/v/b.mp4")}, {3.04, 0}),
              QStringLiteral("file 'file:/v/a.mp4'\nduration 3.040000\nfile 'file:/v/b.mp4'\n"));
}

}  // namespace
