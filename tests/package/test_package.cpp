// LumbaResFLV run as a real child process with a controlled environment.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "test_media.h"

namespace fs = std::filesystem;

namespace {

std::string binDir() {
    const char* d = std::getenv("LUMBA_BIN_DIR");
    return d && *d ? d : LUMBA_PACKAGE_BIN_DIR;
}

std::string readAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A scratch base folder per test, standing in for $TMPDIR.
class PackageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char tmpl[] = "/tmp/lumba-pkg-XXXXXX";
        ASSERT_NE(::mkdtemp(tmpl), nullptr);
        base_ = tmpl;
        folder_ = base_ / ("Lumba.FLV-" + std::to_string(::getuid()));
    }
    void TearDown() override {
        std::error_code ec;
        fs::permissions(base_, fs::perms::owner_all, ec);
        fs::remove_all(base_, ec);
    }

    // Runs LumbaResFLV with args, $TMPDIR = tmpDir and no $XDG_RUNTIME_DIR unless given.
    // Standard error goes to errFile when given. Returns the wait status.
    int runPackage(const std::vector<std::string>& args, const std::string& tmpDir,
                   const std::string& xdg = {}, const std::string& errFile = {}) {
        std::vector<std::string> argvS{binDir() + "/LumbaResFLV"};
        argvS.insert(argvS.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (auto& a : argvS) argv.push_back(a.data());
        argv.push_back(nullptr);
        std::vector<std::string> envS{"TMPDIR=" + tmpDir, "PATH=/usr/bin:/bin"};
        if (!xdg.empty()) envS.push_back("XDG_RUNTIME_DIR=" + xdg);
        std::vector<char*> envp;
        for (auto& e : envS) envp.push_back(e.data());
        envp.push_back(nullptr);
        pid_t pid = 0;
        posix_spawn_file_actions_t actions;
        ::posix_spawn_file_actions_init(&actions);
        if (!errFile.empty())
            ::posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(),
                                               O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
        ::posix_spawn_file_actions_destroy(&actions);
        if (err != 0) {
            ADD_FAILURE() << "cannot start " << argv[0] << ": " << std::strerror(err);
            return -1;
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        return status;
    }

    std::vector<std::string> written(const fs::path& dir) const {
        std::vector<std::string> names;
        std::error_code ec;
        for (const auto& e : fs::directory_iterator(dir, ec))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path base_;
    fs::path folder_;
};

const std::string kRes = LUMBA_PACKAGE_RES_DIR;

void expectTool(const fs::path& file, const std::string& resource) {
    ASSERT_TRUE(fs::exists(file)) << file;
    const std::string want = readAll(fs::path(kRes) / resource);
    ASSERT_FALSE(want.empty()) << resource << " was not embedded";
    EXPECT_EQ(readAll(file), want) << file << " differs from " << resource;
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0700u);
}

TEST_F(PackageTest, TrimmedWordWritesOnlyItsSetByteIdentical) {
    ASSERT_EQ(runPackage({" Fix2 "}, base_.string()), 0);
    EXPECT_EQ(written(folder_), std::vector<std::string>{"~tmpLmbFmg.exe"});
    expectTool(folder_ / "~tmpLmbFmg.exe", "ffmpeg.bin");
    // The embedded ffmpeg is the build machine's own, and it runs from the written copy.
    auto r = testmedia::run({(folder_ / "~tmpLmbFmg.exe").string(), "-version"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_NE(r.output.find("ffmpeg version"), std::string::npos);
}

TEST_F(PackageTest, UnknownCaseOrEmptyWordWritesNothing) {
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"fix2"}, {}, {""}, {"   "}, {"Edit4"}, {"All"}, {"Fix2", "Snap"}}) {
        runPackage(args, base_.string());
        EXPECT_FALSE(fs::exists(folder_)) << (args.empty() ? "<none>" : args[0]);
    }
}

TEST_F(PackageTest, ToolSetsWithoutMencoder) {
    const struct {
        const char* word;
        std::vector<std::string> files;
    } cases[] = {
        {"Edit1", {"~tmpLmbFmd.exe", "~tmpLmbFmg.exe"}},
        {"Fix1", {"~tmpLmbFmd.exe", "~tmpLmbFmg.exe"}},
        {"Encode", {"~tmpLmbFmd.exe", "~tmpLmbFmg.exe"}},
        {"Edit2", {"~tmpLmbFmg.exe"}},
        {"Edit3", {"~tmpLmbFmg.exe"}},
        {"Fix3", {"~tmpLmbFmg.exe"}},
        {"Snap", {"~tmpLmbFmg.exe"}},
        {"CapMCI", {"~tmpLmbFlv.wmv"}},
    };
    for (const auto& c : cases) {
        std::error_code ec;
        fs::remove_all(folder_, ec);
        runPackage({c.word}, base_.string());
        EXPECT_EQ(written(folder_), c.files) << c.word;
    }
    expectTool(folder_ / "~tmpLmbFlv.wmv", "sample.wmv");
}

TEST_F(PackageTest, Edit1WritesFfmpegAndFlvmdi) {
    runPackage({"Edit1"}, base_.string());
    expectTool(folder_ / "~tmpLmbFmg.exe", "ffmpeg.bin");
    expectTool(folder_ / "~tmpLmbFmd.exe", "flvmdi.bin");
}

TEST_F(PackageTest, CaptureClipIsAsfThatFfprobeDecodes) {
    runPackage({"CapMCI"}, base_.string());
    const std::string clip = readAll(folder_ / "~tmpLmbFlv.wmv");
    const unsigned char guid[16] = {0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                                    0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
    ASSERT_GE(clip.size(), 16u);
    EXPECT_EQ(clip.substr(0, 16), std::string(reinterpret_cast<const char*>(guid), 16));
    EXPECT_LT(clip.size(), 200u * 1024);
    const std::string path = (folder_ / "~tmpLmbFlv.wmv").string();
    auto r = testmedia::run({"ffprobe", "-v", "error", "-count_frames", "-select_streams", "v:0",
                             "-show_entries", "stream=codec_name,nb_read_frames", "-of", "csv=p=0",
                             path});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_NE(r.output.find("wmv2"), std::string::npos) << r.output;
    EXPECT_GT(testmedia::probeDuration(path), 1.5);
    auto dec = testmedia::run({"ffmpeg", "-v", "error", "-i", path, "-f", "null", "-"});
    EXPECT_EQ(dec.exitCode, 0) << dec.output;
    EXPECT_TRUE(dec.output.empty()) << dec.output;
}

TEST_F(PackageTest, LeftoverIsReplacedWholeWithMode0700) {
    fs::create_directory(folder_);
    fs::permissions(folder_, fs::perms::owner_all, fs::perm_options::replace);
    {
        std::ofstream junk(folder_ / "~tmpLmbFmg.exe", std::ios::binary);
        junk << std::string(5u << 20, 'x');  // longer than the real file
    }
    fs::permissions(folder_ / "~tmpLmbFmg.exe", fs::perms::owner_read | fs::perms::group_read,
                    fs::perm_options::replace);
    runPackage({"Snap"}, base_.string());
    expectTool(folder_ / "~tmpLmbFmg.exe", "ffmpeg.bin");
    EXPECT_EQ(written(folder_), std::vector<std::string>{"~tmpLmbFmg.exe"});  // no stray temp
}

// What cannot be written is reported: exit status 1 and a line on standard error naming it.
// Permission bits would not stop root, so the folder lies under a regular file, or a folder
// holds the tool's name.
TEST_F(PackageTest, WhatCannotBeWrittenEndsWithAnErrorStatus) {
    const fs::path missing = base_ / "gone";
    EXPECT_NE(runPackage({"Fix2"}, missing.string()), 0);
    EXPECT_FALSE(fs::exists(missing));
    std::ofstream(base_ / "plain") << "a file";
    EXPECT_NE(runPackage({"Fix2"}, (base_ / "plain" / "under").string()), 0);

    fs::create_directories(folder_ / "~tmpLmbFmg.exe" / "inside");
    fs::permissions(folder_, fs::perms::owner_all, fs::perm_options::replace);
    const std::string err = (base_ / "stderr").string();
    const int status = runPackage({"Edit1"}, base_.string(), {}, err);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    const std::string said = readAll(err);
    EXPECT_NE(said.find("~tmpLmbFmg.exe"), std::string::npos) << said;
    EXPECT_EQ(said.find("~tmpLmbFmd.exe"), std::string::npos) << "went on after a failure";
    EXPECT_EQ(runPackage({"Snap", "x"}, base_.string()), 0);  // nothing asked for
}

TEST_F(PackageTest, RuntimeFolderPreferredWhenItExists) {
    const fs::path xdg = base_ / "run";
    fs::create_directory(xdg);
    runPackage({"Fix2"}, base_.string(), xdg.string());
    EXPECT_TRUE(fs::exists(xdg / "Lumba.FLV" / "~tmpLmbFmg.exe"));
    EXPECT_FALSE(fs::exists(folder_));
    // A runtime folder that does not exist falls back to $TMPDIR.
    runPackage({"Fix2"}, base_.string(), (base_ / "norun").string());
    EXPECT_TRUE(fs::exists(folder_ / "~tmpLmbFmg.exe"));
}

TEST_F(PackageTest, UnsafeFolderIsRefused) {
    // A symbolic link planted under the fixed name.
    const fs::path elsewhere = base_ / "planted";
    fs::create_directory(elsewhere);
    fs::create_directory_symlink(elsewhere, folder_);
    runPackage({"Fix2"}, base_.string());
    EXPECT_TRUE(written(elsewhere).empty());
    fs::remove(folder_);

    // A folder anyone can write to.
    fs::create_directory(folder_);
    fs::permissions(folder_, fs::perms::all, fs::perm_options::replace);
    runPackage({"Fix2"}, base_.string());
    EXPECT_TRUE(written(folder_).empty());
    fs::remove(folder_);

    // A folder owned by another user (only root can make one).
    if (::getuid() == 0) {
        fs::create_directory(folder_);
        fs::permissions(folder_, fs::perms::owner_all, fs::perm_options::replace);
        ASSERT_EQ(::chown(folder_.c_str(), 4321, 4321), 0);
        runPackage({"Fix2"}, base_.string());
        EXPECT_TRUE(written(folder_).empty());
    }
}

}  // namespace
