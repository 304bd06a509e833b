// The installed tree: cmake --install into a scratch prefix gives one program folder behind a
// launcher on the PATH, a desktop entry, metainfo and icons that validate, and an FLV opened
// through the desktop's default application plays, in the running player when there is one.
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QMap>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <filesystem>
#include <functional>

#include "app/aux_commands.h"
#include "qstring_print.h"
#include "test_media.h"

namespace {

namespace fs = std::filesystem;

const QString kId = "org.example.lumba.flv";
const QList<int> kIconSizes{16, 22, 24, 32, 48, 64, 128, 256};

struct ToolRun {
    int exitCode = -1;
    QString output;
};

// log: where the output goes instead of a pipe, for programs that leave children behind
// writing to it after they end (a closed pipe would kill those with SIGPIPE).
ToolRun runTool(const QString& program, const QStringList& args,
                const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment(),
                const QString& log = {}) {
    QProcess p;
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.setStandardInputFile(QProcess::nullDevice());
    if (!log.isEmpty()) p.setStandardOutputFile(log, QIODevice::Append);
    p.start(program, args);
    if (!p.waitForStarted(5000)) return {-1, "cannot start " + program};
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished(3000);
        return {-1, program + " did not end"};
    }
    QString out;
    if (log.isEmpty())
        out = QString::fromUtf8(p.readAll());
    else if (QFile f(log); f.open(QIODevice::ReadOnly))
        out = QString::fromUtf8(f.readAll());
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, out};
}

bool onPath(const char* name) {
    return !QStandardPaths::findExecutable(QString::fromLatin1(name)).isEmpty();
}

// The keys of the [Desktop Entry] group.
QMap<QString, QString> desktopEntry(const QString& path) {
    QFile f(path);
    QMap<QString, QString> keys;
    if (!f.open(QIODevice::ReadOnly)) return keys;
    bool inGroup = false;
    for (const QString& line : QString::fromUtf8(f.readAll()).split('\n')) {
        if (line.startsWith('[')) inGroup = line.trimmed() == "[Desktop Entry]";
        const qsizetype eq = line.indexOf('=');
        if (inGroup && eq > 0) keys.insert(line.left(eq).trimmed(), line.mid(eq + 1).trimmed());
    }
    return keys;
}

bool waitFor(const std::function<bool()>& done, int ms = 15000) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms) QThread::msleep(50);
    return done();
}

// Running (not zombie) processes whose program file is exe.
QList<qint64> processesOf(const QString& exe) {
    QList<qint64> pids;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator("/proc", ec)) {
        const std::string name = entry.path().filename().string();
        if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos) continue;
        std::error_code linkEc;
        const fs::path target = fs::read_symlink(entry.path() / "exe", linkEc);
        if (linkEc || target.string() != exe.toStdString()) continue;
        QFile stat(QString::fromStdString((entry.path() / "stat").string()));
        if (!stat.open(QIODevice::ReadOnly)) continue;
        const QByteArray s = stat.readAll();
        const qsizetype close = s.lastIndexOf(')');
        if (close >= 0 && s.mid(close + 2, 1) == "Z") continue;
        pids.append(QString::fromStdString(name).toLongLong());
    }
    return pids;
}

bool holdsOpen(qint64 pid, const QString& file) {
    std::error_code ec;
    for (const auto& fd : fs::directory_iterator("/proc/" + std::to_string(pid) + "/fd", ec)) {
        std::error_code linkEc;
        const fs::path target = fs::read_symlink(fd.path(), linkEc);
        if (!linkEc && fs::equivalent(target, file.toStdString(), linkEc)) return true;
    }
    return false;
}

// For failure messages: the command line and the files the process has open.
std::string describe(qint64 pid) {
    const std::string proc = "/proc/" + std::to_string(pid);
    QFile cmd(QString::fromStdString(proc + "/cmdline"));
    std::string text = cmd.open(QIODevice::ReadOnly)
                           ? cmd.readAll().replace('\0', ' ').toStdString()
                           : std::string("(gone)");
    std::error_code ec;
    for (const auto& fd : fs::directory_iterator(proc + "/fd", ec)) {
        std::error_code linkEc;
        const fs::path target = fs::read_symlink(fd.path(), linkEc);
        if (!linkEc && target.is_absolute()) text += "\n  " + target.string();
    }
    return text;
}

// One installation for all tests: installing takes a while and the tests only read it.
class Installed : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        tree = new QTemporaryDir;
        prefix = tree->path() + "/usr";
        install = runTool(LUMBA_CMAKE_COMMAND, {"--install", LUMBA_BUILD_DIR, "--prefix", prefix});
    }
    static void TearDownTestSuite() {
        delete tree;
        tree = nullptr;
    }
    void SetUp() override { ASSERT_EQ(install.exitCode, 0) << install.output.toStdString(); }

    static QString programFolder() { return prefix + "/lib/lumba-flv/"; }
    static QString desktopFile() { return prefix + "/share/applications/" + kId + ".desktop"; }
    static QString metainfoFile() { return prefix + "/share/metainfo/" + kId + ".metainfo.xml"; }

    static inline QTemporaryDir* tree = nullptr;
    static inline QString prefix;
    static inline ToolRun install;
};

}  // namespace

TEST_F(Installed, TheProgramsShareOneFolderBehindALauncherOnThePath) {
    for (const char* name : {"Lumba.FLV", "LumbaResFLV", "flvmdi"}) {
        const QFileInfo program(programFolder() + name);
        EXPECT_TRUE(program.isExecutable() && !program.isSymLink()) << name;
    }
    const QString launcher = prefix + "/bin/lumba-flv";
    ASSERT_TRUE(QFileInfo(launcher).isSymLink());
    // Relative, so the tree works wherever it is unpacked.
    EXPECT_EQ(fs::read_symlink(launcher.toStdString()).string(), "../lib/lumba-flv/Lumba.FLV");
    EXPECT_EQ(QFileInfo(launcher).canonicalFilePath(),
              QFileInfo(programFolder() + "Lumba.FLV").canonicalFilePath());
    // What cmake --install leaves is a folder to delete, not a package.
    EXPECT_EQ(app::installKind(programFolder()), app::InstallKind::CopiedFolder);
}

TEST_F(Installed, TheDesktopEntryStartsTheLauncherOnOneFileAndFindsItsIcons) {
    const auto entry = desktopEntry(desktopFile());
    ASSERT_FALSE(entry.isEmpty()) << desktopFile().toStdString();
    EXPECT_EQ(entry.value("Name"), "Lumba.FLV");
    EXPECT_FALSE(entry.value("Comment").isEmpty());
    const QStringList exec = entry.value("Exec").split(' ');
    ASSERT_EQ(exec.size(), 2);
    EXPECT_EQ(exec.at(1), "%f");
    EXPECT_TRUE(QFileInfo(prefix + "/bin/" + exec.at(0)).isExecutable())
        << exec.at(0).toStdString();
    EXPECT_EQ(entry.value("MimeType").section(';', 0, 0), "video/x-flv");
    for (const char* type : {"video/mpeg", "video/x-msvideo", "video/mp4", "video/x-matroska",
                             "video/x-ms-wmv", "audio/mpeg"})
        EXPECT_TRUE(entry.value("MimeType").split(';').contains(type)) << type;

    ASSERT_EQ(entry.value("Icon"), kId);
    for (const int size : kIconSizes) {
        const QString file = QStringLiteral("%1/share/icons/hicolor/%2x%2/apps/%3.png")
                                 .arg(prefix)
                                 .arg(size)
                                 .arg(kId);
        const QImage icon(file);
        EXPECT_EQ(icon.size(), QSize(size, size)) << file.toStdString();
        EXPECT_TRUE(icon.hasAlphaChannel()) << file.toStdString();
    }

    QFile meta(metainfoFile());
    ASSERT_TRUE(meta.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromUtf8(meta.readAll())
                    .contains("<launchable type=\"desktop-id\">" + kId + ".desktop</launchable>"));
}

TEST_F(Installed, TheDesktopEntryValidates) {
    if (!onPath("desktop-file-validate")) GTEST_SKIP() << "desktop-file-validate is missing";
    const ToolRun r = runTool("desktop-file-validate", {desktopFile()});
    EXPECT_EQ(r.exitCode, 0) << r.output.toStdString();
    EXPECT_TRUE(r.output.trimmed().isEmpty()) << r.output.toStdString();
}

TEST_F(Installed, TheMetainfoValidates) {
    if (!onPath("appstreamcli")) GTEST_SKIP() << "appstreamcli is missing";
    const ToolRun r =
        runTool("appstreamcli", {"validate", "--no-net", "--no-color", metainfoFile()});
    EXPECT_EQ(r.exitCode, 0) << r.output.toStdString();
    EXPECT_FALSE(r.output.contains("W: ") || r.output.contains("E: ")) << r.output.toStdString();
}

// A desktop of its own in a scratch home, where the installed entry is the default
// application for FLV: nothing the user has set or runs is seen or touched.
class OpenWith : public Installed {
  protected:
    void SetUp() override {
        Installed::SetUp();
        if (!onPath("gio")) GTEST_SKIP() << "gio is missing";
        const QString runtime = home.path() + "/runtime";
        for (const char* dir : {"/data", "/config", "/runtime"}) QDir().mkpath(home.path() + dir);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DBUS_SESSION_BUS_ADDRESS", "XDG_CURRENT_DESKTOP", "DISPLAY",
                                 "WAYLAND_DISPLAY", "DESKTOP_SESSION"})
            env.remove(name);
        env.insert("HOME", home.path());
        env.insert("PATH", prefix + "/bin:" + env.value("PATH"));
        env.insert("XDG_DATA_HOME", home.path() + "/data");
        env.insert("XDG_CONFIG_HOME", home.path() + "/config");
        env.insert("XDG_DATA_DIRS", prefix + "/share:/usr/local/share:/usr/share");
        env.insert("XDG_RUNTIME_DIR", runtime);
        env.insert("GIO_USE_VFS", "local");
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("LUMBA_HEADLESS", "1");
        exe = QFileInfo(programFolder() + "Lumba.FLV").canonicalFilePath();

        const ToolRun setDefault = runTool("gio", {"mime", "video/x-flv", kId + ".desktop"}, env);
        ASSERT_EQ(setDefault.exitCode, 0) << setDefault.output.toStdString();
        first = QString::fromStdString(testmedia::clip("h264_aac.flv"));
    }
    void TearDown() override {
        for (const qint64 pid : processesOf(exe)) ::kill(pid_t(pid), SIGKILL);
    }

    // Opens the file the way a file manager does, and returns the one player that runs once
    // every start has ended (0, with what the starts printed, when there is not just one).
    qint64 open(const QString& file, const char* log) {
        const ToolRun r = runTool("gio", {"open", file}, env, home.path() + "/" + log);
        EXPECT_EQ(r.exitCode, 0) << r.output.toStdString();
        if (waitFor([&] { return processesOf(exe).size() == 1; }, 60000))
            return processesOf(exe).first();
        QString players;
        for (const qint64 pid : processesOf(exe))
            players += "\n" + QString::fromStdString(describe(pid));
        QFile printed(home.path() + "/" + log);
        printed.open(QIODevice::ReadOnly);
        ADD_FAILURE() << processesOf(exe).size() << " players after opening " << file.toStdString()
                      << players.toStdString() << "\nwhat the starts printed:\n"
                      << printed.readAll().toStdString();
        return 0;
    }

    // Ends the player as the session would, and waits until it is gone.
    bool terminate(qint64 player) {
        ::kill(pid_t(player), SIGTERM);
        return waitFor([&] { return processesOf(exe).isEmpty(); }, 10000);
    }

    QTemporaryDir home;
    QProcessEnvironment env;
    QString exe, first;
};

TEST_F(OpenWith, AnFlvOpenedWithTheDefaultApplicationPlays) {
    const qint64 player = open(first, "first.log");
    ASSERT_NE(player, 0) << "no player started";
    EXPECT_TRUE(waitFor([&] { return holdsOpen(player, first); })) << describe(player);
    ASSERT_TRUE(terminate(player)) << describe(player);
    // Started through the link on the PATH, the player still knows its own folder.
    EXPECT_TRUE(QFile::exists(programFolder() + "Lumba.FLV.ini"));
}

TEST_F(OpenWith, ASecondFileGoesToTheRunningPlayer) {
    // A blank in the name: the entry's %f hands the path over as one argument.
    const QString second = home.path() + "/second clip.flv";
    ASSERT_TRUE(QFile::copy(first, second));
    const qint64 player = open(first, "first.log");
    ASSERT_NE(player, 0) << "no player started";
    ASSERT_TRUE(waitFor([&] { return holdsOpen(player, first); })) << describe(player);

    EXPECT_EQ(open(second, "second.log"), player);
    EXPECT_TRUE(waitFor([&] { return holdsOpen(player, second); })) << describe(player);
    EXPECT_TRUE(terminate(player)) << "the player no longer answers: " << describe(player);
}
