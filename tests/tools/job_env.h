#pragma once
// What a tool job test needs around it: the real LumbaResFLV writing ffmpeg and flvmdi into a
// private temporary folder, a list window to lay the busy window over, and a shell and player
// stand-in that record what they were asked. Also the checks of a result.
#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QWidget>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "common/globals.h"
#include "common/host.h"
#include "common/media_kinds.h"
#include "common/shell.h"
#include "common/temp_folder.h"
#include "cut_spans.h"
#include "file_bytes.h"
#include "test_media.h"
#include "tool_test_support.h"
#include "tools/busy_state.h"
#include "tools/job_frame.h"
#include "tools/tool_host.h"

namespace jobtest {

// The player's side of a job: its two windows, and what the job asked of it.
struct RecordingToolHost : tools::ToolHost {
    QWidget* mainW = nullptr;
    QWidget* list = nullptr;
    int pauses = 0;
    bool toList = false;
    QStringList selected;
    QWidget* mainWindow() override { return mainW; }
    QWidget* listWindow() override { return list; }
    void pausePrFn() override { ++pauses; }
    bool doneToFileList() override { return toList; }
    bool exact = false;
    bool exactCut() override { return exact; }
    void selectInFileBrowser(const QString& p) override { selected << p; }
};

class JobEnv : public ::testing::Test {
  protected:
    void SetUp() override {
        tooltest::ensureApp();
        ASSERT_TRUE(base_.isValid() && work_.isValid() && src_.isValid());
        qunsetenv("XDG_RUNTIME_DIR");
        qputenv("TMPDIR", QFile::encodeName(base_.path()));
        TempFolder = privateTempFolder();
        ASSERT_FALSE(TempFolder.isEmpty());
        ProgramFolder = tooltest::binDir() + QLatin1Char('/');
        list_.setGeometry(300, 200, 520, 420);
        list_.show();
        host_.list = &list_;
        tools::installToolHost(&host_);
        tools::recordJobs(&record_);
        installShell(&shell_);
        installAppHost(&appHost_);
        folder_ = work_.path() + QLatin1Char('/');
    }
    void TearDown() override {
        tools::installToolHost(nullptr);
        tools::recordJobs(nullptr);
        installShell(nullptr);
        installAppHost(nullptr);
        EXPECT_FALSE(tools::isBusy());
        // The written tools are gone after every job, whatever its end.
        EXPECT_TRUE(
            QDir(TempFolder).entryList({QStringLiteral("~tmpLmb*")}, QDir::Files).isEmpty());
        for (const auto& [path, md5] : sources_)
            EXPECT_EQ(md5Of(path), md5) << "source changed: " << path.toStdString();
    }

    static QByteArray md5Of(const QString& path) { return testmedia::md5Of(path); }
    // A copy of clip in the source folder (under sub, when given); checked unchanged at the end.
    QString source(const std::string& clip, const QString& name, const QString& sub = {}) {
        QDir dir(src_.path());
        if (!sub.isEmpty()) {
            dir.mkpath(sub);
            dir.cd(sub);
        }
        const QString p = dir.filePath(name);
        QFile::remove(p);
        EXPECT_TRUE(QFile::copy(QString::fromStdString(clip), p));
        sources_[p] = md5Of(p);
        return p;
    }
    QStringList folderFiles() const {
        QStringList l = QDir(folder_).entryList(QDir::Files | QDir::Hidden);
        l.sort();
        return l;
    }

    struct AppFirst {
        // The scratch folders below go to the system's temporary folder, not to the private
        // folder an earlier test pointed TMPDIR at (and removed).
        AppFirst() {
            tooltest::ensureApp();
            qunsetenv("TMPDIR");
        }
    } appFirst_;  // before the window below
    QTemporaryDir base_, work_, src_;
    QString folder_;
    QWidget list_;
    RecordingToolHost host_;
    tooltest::TestShell shell_;
    tooltest::TestAppHost appHost_;
    tools::JobRecord record_;  // the captions and commands of the last job
    std::map<QString, QByteArray> sources_;
};

// A job called from a window of its own, with every format the tools edit (mp4 among them):
// the window, and the fingerprint of the source made last.
class OwnWindowJobEnv : public JobEnv {
  protected:
    void SetUp() override {
        JobEnv::SetUp();
        MoreFormats = kMoreFormatsList;
        qputenv("LUMBA_HEADLESS", "1");
        win_ = std::make_unique<QWidget>();
        win_->show();
    }
    void TearDown() override {
        MoreFormats.clear();
        JobEnv::TearDown();
    }
    QString source(const std::string& clip, const QString& name) {
        const QString p = JobEnv::source(clip, name);
        md5_ = md5Of(p);
        return p;
    }

    std::unique_ptr<QWidget> win_;
    QByteArray md5_;
};

// The streams of a file as ffprobe reports them: one key=value map per stream.
inline std::vector<std::map<std::string, std::string>> probeStreams(const QString& path) {
    const std::string out =
        testmedia::run({"ffprobe", "-v", "error", "-show_entries",
                        "stream=codec_type,codec_name,width,height,avg_frame_rate,r_frame_rate,"
                        "sample_rate,channels",
                        "-of", "default=nw=1", path.toStdString()})
            .output;
    std::vector<std::map<std::string, std::string>> streams;
    std::size_t at = 0;
    while (at < out.size()) {
        std::size_t nl = out.find('\n', at);
        if (nl == std::string::npos) nl = out.size();
        const std::string line = out.substr(at, nl - at);
        at = nl + 1;
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        const std::string key = line.substr(0, eq);
        if (key == "codec_name" || streams.empty()) streams.emplace_back();
        streams.back()[key] = line.substr(eq + 1);
    }
    return streams;
}

inline std::map<std::string, std::string> streamOf(const QString& path, const std::string& type) {
    for (const auto& s : probeStreams(path))
        if (s.count("codec_type") && s.at("codec_type") == type) return s;
    return {};
}

// "25/1" or "30000/1001" as a number.
inline double rate(const std::string& fraction) {
    const std::size_t slash = fraction.find('/');
    if (slash == std::string::npos) return std::atof(fraction.c_str());
    const double d = std::atof(fraction.c_str() + slash + 1);
    return d == 0 ? 0 : std::atof(fraction.substr(0, slash).c_str()) / d;
}

// Lines ffmpeg prints at level error while decoding every stream (empty: decodes cleanly).
inline std::string decodeErrors(const QString& path) {
    return testmedia::run(
               {"ffmpeg", "-v", "error", "-nostdin", "-i", path.toStdString(), "-f", "null", "-"})
        .output;
}

}  // namespace jobtest
