// Every tool job writing to a full disk: it fails safely (nothing cut short is left behind)
// and its error message says the disk is full and names it, for flvmdi's writes (fix, split,
// section, join of FLV) and ffmpeg's (encode, an exact cut's rebuilt pictures, snapshots) alike.
// The disk is a 3 MB tmpfs the test mounts; where it may not mount one, it skips.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include <QDir>
#include <QTemporaryDir>
#include <memory>

#include "common/scripted_prompts.h"
#include "job_env.h"
#include "qstring_print.h"
#include "tools/encode/encode_job.h"
#include "tools/fix/fix_job.h"
#include "tools/join/join_job.h"
#include "tools/save_segments.h"
#include "tools/snapshot/snapshot_job.h"
#include "tools/split/split_job.h"
#include "tools/split/split_names.h"
#include "tools/tool_texts.h"

using prompts::Answer;

namespace {

// 8 s of noise, about 5.5 MB: no copy of it fits the disk.
QString bigClip() {
    return QString::fromStdString(testmedia::makeClip(
        "disk_full_src.flv",
        {"-f", "lavfi", "-i", "testsrc2=size=320x240:rate=25:duration=8", "-f", "lavfi", "-i",
         "sine=duration=8", "-vf", "noise=alls=60:allf=t", "-c:v", "libx264", "-preset",
         "ultrafast", "-b:v", "5M", "-c:a", "aac"}));
}

class DiskFullTest : public jobtest::JobEnv {
  protected:
    void SetUp() override {
        JobEnv::SetUp();
        ASSERT_TRUE(disk_.isValid());
        if (::geteuid() != 0 || ::mount("tmpfs", disk_.path().toLocal8Bit().constData(), "tmpfs",
                                        MS_NOSUID | MS_NODEV, "size=3m,mode=0700") != 0)
            GTEST_SKIP() << "cannot mount a small tmpfs here";
        mounted_ = true;
        folder_ = disk_.path() + QLatin1Char('/');
        win_ = std::make_unique<QWidget>();
        win_->show();
        clip_ = source(bigClip().toStdString(), QStringLiteral("big.flv"));
    }
    void TearDown() override {
        if (mounted_) {
            // What the job left on the disk is checked before it goes.
            EXPECT_EQ(folderFiles(), QStringList{});
            EXPECT_EQ(::umount2(disk_.path().toLocal8Bit().constData(), MNT_DETACH), 0);
        }
        JobEnv::TearDown();
    }
    // The job's last message: the disk-full error naming this disk.
    void expectDiskFull(const ScriptedPrompts& sp) {
        EXPECT_EQ(sp.last().title, QStringLiteral("錯誤訊息"));
        EXPECT_TRUE(sp.last().text.contains(QStringLiteral("磁碟「") + disk_.path() +
                                            QStringLiteral("」的空間已滿")))
            << sp.last().text.toStdString();
        EXPECT_FALSE(sp.last().text.contains(QStringLiteral("可能是檔案格式不支援")));
    }
    save::SaveOutcome splitJob(split::SplitFields f) {
        split::SplitRequest r;
        r.source = clip_;
        r.fields = std::move(f);
        r.totalSeconds = 8;
        r.caller = win_.get();
        return split::runSplit(r);
    }

    QTemporaryDir disk_;
    bool mounted_ = false;
    QString clip_;
    std::unique_ptr<QWidget> win_;
};

TEST_F(DiskFullTest, Fix) {
    ScriptedPrompts sp;
    sp.files({folder_ + QStringLiteral("fixed.flv")});
    const fix::FixOutcome o = fix::mediaFix(&list_, clip_);
    EXPECT_TRUE(o.started);
    EXPECT_FALSE(o.succeeded);
    expectDiskFull(sp);
}

TEST_F(DiskFullTest, SplitIntoParts) {
    ScriptedPrompts sp;
    sp.folderChosen(disk_.path());
    split::SplitFields f;
    f.option = split::SplitOption::EqualParts;
    f.eq[0] = QStringLiteral("2");
    EXPECT_FALSE(splitJob(f).succeeded);
    expectDiskFull(sp);
}

TEST_F(DiskFullTest, Section) {
    ScriptedPrompts sp;
    sp.files({folder_ + QStringLiteral("part.flv")});
    split::SplitFields f;
    f.option = split::SplitOption::PercentSection;
    f.from[2] = QStringLiteral("0");
    f.end[2] = QStringLiteral("90");
    EXPECT_FALSE(splitJob(f).succeeded);
    expectDiskFull(sp);
}

TEST_F(DiskFullTest, Encode) {
    encode::EncodeRequest r;
    r.panel = encode::Panel::FlvToVideo;
    r.sourceText = clip_;
    r.targetText = folder_ + QStringLiteral("big.avi");
    r.options.size = QStringLiteral("640x480");
    r.options.videoBitrate = QStringLiteral("8000");
    ScriptedPrompts sp;
    sp.answer(Answer::Ok);  // the confirmation
    const encode::EncodeOutcome o = encode::mediaEncode(&list_, r);
    EXPECT_TRUE(o.started);
    EXPECT_FALSE(o.succeeded);
    expectDiskFull(sp);
}

TEST_F(DiskFullTest, Join) {
    join::JoinListAccess list;
    list.paths = [this] { return QStringList{clip_, clip_}; };
    ScriptedPrompts sp;
    sp.files({folder_ + QStringLiteral("joined.flv")});
    const join::JoinOutcome o = join::mediaJoin(list, win_.get(), {});
    EXPECT_TRUE(o.started);
    EXPECT_FALSE(o.succeeded);
    expectDiskFull(sp);
}

// ffmpeg exits with 0 when the end of its file does not fit: the exact cut must not go on to
// read the head it cut short and blame the file.
TEST_F(DiskFullTest, ExactCut) {
    struct Player : save::SaveHost {
        QString src;
        QWidget* win = nullptr;
        void closeOpenSegment() override {}
        QString sourcePath() override { return src; }
        std::vector<save::UnitSegment> segments() override { return {{13, 75}, {105, 85}}; }
        double secondsPerUnit() override { return 0.04; }
        double totalSeconds() override { return 8; }
        bool isAudioOnly() override { return false; }
        void pausePrFn() override {}
        QWidget* window() override { return win; }
    } player;
    player.src = clip_;
    player.win = win_.get();
    host_.exact = true;
    ScriptedPrompts sp;
    sp.answer(Answer::Ok).files({folder_ + QStringLiteral("cut.flv")});
    const save::SaveOutcome o =
        save::saveMarkedSegments(player, save::Mode::Cut, split::pieceNames());
    EXPECT_TRUE(o.started);
    EXPECT_FALSE(o.succeeded);
    expectDiskFull(sp);
}

// A series keeps the pictures it finished, but never the one the disk filled up under.
TEST_F(DiskFullTest, SnapshotSeries) {
    snapshot::SnapRequest r;
    r.source = clip_;
    r.fields.choice = snapshot::SnapChoice::WholeFilm;
    r.fields.count = QStringLiteral("40");
    r.type = snapshot::PictureType::Png;
    r.totalSeconds = 8;
    r.caller = win_.get();
    ScriptedPrompts sp;
    sp.folderChosen(disk_.path());
    EXPECT_FALSE(snapshot::runSnapshot(r).succeeded);
    expectDiskFull(sp);
    for (const QString& name : folderFiles()) {
        EXPECT_EQ(jobtest::decodeErrors(folder_ + name), "") << name.toStdString();
        QFile::remove(folder_ + name);
    }
}

}  // namespace
