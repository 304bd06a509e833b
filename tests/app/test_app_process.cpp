// Lumba.FLV as a process, from a copy in a scratch folder: what a second start and a
// termination signal do to the running program and its files.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <filesystem>

#include "file_bytes.h"
#include "qstring_print.h"
#include "test_media.h"

namespace {

const QString S(QChar(0x2225));

using testmedia::readBytes;
using testmedia::writeBytes;

// Whether the process has the file open: the player holds the clip while it plays it.
bool holdsOpen(qint64 pid, const QString& file) {
    namespace fs = std::filesystem;
    std::error_code ec;
    for (const auto& fd : fs::directory_iterator("/proc/" + std::to_string(pid) + "/fd", ec)) {
        std::error_code linkEc;
        const fs::path target = fs::read_symlink(fd.path(), linkEc);
        if (!linkEc && fs::equivalent(target, file.toStdString(), linkEc)) return true;
    }
    return false;
}

// A scratch installation with its own private runtime folder, so that nothing meets a
// player the user may be running.
class Installed : public ::testing::Test {
  protected:
    void SetUp() override {
        const QString bin = qEnvironmentVariable("LUMBA_BIN_DIR");
        ASSERT_FALSE(bin.isEmpty());
        folder = install.path() + "/";
        for (const char* name : {"Lumba.FLV", "LumbaResFLV", "flvmdi"}) {
            if (!QFile::exists(bin + "/" + name)) continue;
            ASSERT_TRUE(QFile::copy(bin + "/" + name, folder + name)) << name;
        }
        ASSERT_TRUE(QFile::exists(folder + "Lumba.FLV"));
        QFile::setPermissions(runtime.path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    void TearDown() override {
        for (QProcess* p : {&first, &second}) {
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished(3000);
            }
        }
    }

    QProcessEnvironment env() const {
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        e.insert("QT_QPA_PLATFORM", "offscreen");
        e.insert("LUMBA_HEADLESS", "1");
        e.insert("XDG_RUNTIME_DIR", runtime.path());
        return e;
    }
    QString channelFolder() const { return runtime.path() + "/Lumba.FLV/"; }

    // Starts the first instance and waits until it listens.
    void startFirst(const QStringList& args) {
        first.setProcessEnvironment(env());
        first.setWorkingDirectory(install.path());
        first.start(folder + "Lumba.FLV", args);
        ASSERT_TRUE(first.waitForStarted(5000));
        QElapsedTimer t;
        t.start();
        while (!QFile::exists(channelFolder() + "Lumba.FLV.sock") && t.elapsed() < 10000)
            QThread::msleep(20);
        ASSERT_TRUE(QFile::exists(channelFolder() + "Lumba.FLV.sock"));
    }
    QStringList installFiles() const {
        return QDir(install.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }

    QTemporaryDir install, runtime;
    QString folder;
    QProcess first, second;
};

}  // namespace

TEST_F(Installed, TerminationWhilePlayingSavesLikeANormalExitAndEndsWithZero) {
    writeBytes(folder + "Lumba.FLV.ini",
               "mainrect=100,200,5000,4000\r\nMainRect =1,2,3,4\r\nKeepWH=-1\r\n"
               "ListRect=10,20\r\nListRect=450,600\r\nsomething else\r\n[section]\r\n");
    writeBytes(folder + "List.ini", ("1\r\n0" + S + "清單編號" + S + "1" + S + "0\r\n/v/a.flv" + S +
                                     "1-2\r\n1" + S + "清單編號" + S + "0" + S + "-1\r\n")
                                        .toUtf8());
    const QByteArray lists = readBytes(folder + "List.ini");
    const QString clip = QString::fromStdString(testmedia::clip("h264_aac.flv"));
    startFirst({clip});
    QElapsedTimer t;
    t.start();
    while (!holdsOpen(first.processId(), clip) && t.elapsed() < 10000) QThread::msleep(20);
    ASSERT_TRUE(holdsOpen(first.processId(), clip)) << "the player never opened the clip";
    ASSERT_EQ(first.state(), QProcess::Running);
    ::kill(pid_t(first.processId()), SIGTERM);
    ASSERT_TRUE(first.waitForFinished(5000));
    EXPECT_EQ(first.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(first.exitCode(), 0);
    QStringList ini = QString::fromUtf8(readBytes(folder + "Lumba.FLV.ini")).split("\r\n");
    // The file browser shows a folder from the start, so its folder is saved.
    ASSERT_GE(ini.size(), 8);
    EXPECT_TRUE(ini[5].startsWith("ListDir=/")) << ini[5].toStdString();
    EXPECT_TRUE(ini[7].startsWith("ListDirIdx=")) << ini[7].toStdString();
    ini[5] = "ListDir=";
    ini[7] = "ListDirIdx=";
    EXPECT_EQ(
        ini, QStringList({"MainRect=100,200,5000,4000", "ListRect=450,600", "CapRect=0,0",
                          "KeepWH=True", "KeepDef=False", "ListDir=", "SaveDir=", "ListDirIdx=",
                          "StepMode=1,5,5,5", "PlaySetting=0", "ToListEnd=False", "StartList=False",
                          "AutoAddMark=False", "LineFmt=0", "DoneToFn=0", "ExactCut=False", ""}));
    EXPECT_EQ(readBytes(folder + "List.ini"), lists);
}

TEST_F(Installed, ASecondStartHandsOverAndWritesNothing) {
    startFirst({});
    const QStringList before = installFiles();
    for (const QStringList& args :
         {QStringList{QString::fromStdString(testmedia::clip("h264_aac.flv"))}, QStringList{}}) {
        second.setProcessEnvironment(env());
        second.start(folder + "Lumba.FLV", args);
        // Ends as soon as the first has taken the text; how soon depends on the machine.
        ASSERT_TRUE(second.waitForFinished(30000)) << second.readAllStandardError().toStdString();
        EXPECT_EQ(second.exitCode(), 0) << second.readAllStandardError().toStdString();
    }
    EXPECT_EQ(installFiles(), before);
    EXPECT_EQ(first.state(), QProcess::Running);
    ::kill(pid_t(first.processId()), SIGTERM);
    ASSERT_TRUE(first.waitForFinished(5000));
    EXPECT_EQ(first.exitCode(), 0);
    EXPECT_TRUE(QFile::exists(folder + "Lumba.FLV.ini"));
}

TEST_F(Installed, ASecondStartThatGetsNoAnswerSaysSoAndEndsWithOne) {
    QDir().mkpath(channelFolder());
    QFile::setPermissions(channelFolder(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // A live owner of the lock that never listens: the start gives up after its short wait
    // for the lock instead of hanging.
    QLockFile held(channelFolder() + "Lumba.FLV.lock");
    ASSERT_TRUE(held.tryLock());
    second.setProcessEnvironment(env());
    second.start(folder + "Lumba.FLV", {"/some/file.flv"});
    ASSERT_TRUE(second.waitForFinished(15000));
    EXPECT_EQ(second.exitCode(), 1);
    const QString err = QString::fromUtf8(second.readAllStandardError());
    EXPECT_EQ(err.count("Lumba.FLV:"), 1) << err.toStdString();
    EXPECT_FALSE(QFile::exists(folder + "Lumba.FLV.ini"));
}
