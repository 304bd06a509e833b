// flvmdi on input it must refuse and in conditions it must survive: each failure names the
// problem, exits non-zero and leaves the file byte-identical with nothing left beside it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>

#include "flv_test_util.h"

extern char** environ;

using namespace flvtest;

namespace {

std::string strippedClip() {
    return testmedia::makeClip(
        "flvmdi_fail_stripped.flv",
        {"-f", "lavfi", "-i", "testsrc=size=320x240:rate=25:duration=4", "-f", "lavfi", "-i",
         "sine=frequency=440:sample_rate=44100:duration=4", "-c:v", "libx264", "-preset",
         "ultrafast", "-g", "25", "-c:a", "aac", "-shortest", "-flvflags", "no_metadata"});
}

// Runs flvmdi on file and expects a refusal: non-zero exit, one line naming the code,
// the file unchanged and no other entry in its folder.
void expectRefused(const TempDir& dir, const std::string& file, const std::string& code,
                   const testmedia::RunResult& r, const Bytes& before) {
    EXPECT_NE(r.exitCode, 0);
    EXPECT_NE(r.output.find(code), std::string::npos) << r.output;
    EXPECT_EQ(std::count(r.output.begin(), r.output.end(), '\n'), 1) << r.output;
    EXPECT_EQ(readFile(file), before);
    for (const auto& n : dir.names()) EXPECT_EQ(n.find("flvmdi"), std::string::npos) << n;
}

struct Corruption {
    std::string name;
    std::string code;
    std::function<void(Bytes&, std::uint64_t& offset)> apply;  // sets the offset to report
};

class FlvmdiBadInput : public ::testing::TestWithParam<Corruption> {};

TEST_P(FlvmdiBadInput, NamesProblemAndOffsetAndLeavesFile) {
    TempDir dir;
    Bytes data = readFile(testmedia::clip("h264_aac.flv"));
    std::uint64_t offset = 0;
    GetParam().apply(data, offset);
    std::string file = dir.file("bad.flv");
    writeFile(file, data);
    auto r = runFlvmdi(file);
    expectRefused(dir, file, GetParam().code, r, data);
    EXPECT_NE(r.output.find("at byte " + std::to_string(offset)), std::string::npos) << r.output;
}

std::uint64_t middleTagOffset(const Bytes& data) {
    auto tags = splitTags(data);
    return tags[tags.size() / 2].offset;
}

INSTANTIATE_TEST_SUITE_P(
    Corruptions, FlvmdiBadInput,
    ::testing::Values(Corruption{"truncated_tail", "E104",
                                 [](Bytes& d, std::uint64_t& off) {
                                     auto tags = splitTags(d);
                                     auto big = std::find_if(
                                         tags.rbegin(), tags.rend(),
                                         [](const RawTag& t) { return t.bodySize() > 100; });
                                     off = big->offset;
                                     d.resize(off + 50);
                                 }},
                      Corruption{"missing_last_prev_size", "E103",
                                 [](Bytes& d, std::uint64_t& off) {
                                     d.resize(d.size() - 2);
                                     off = d.size() - 2;
                                 }},
                      Corruption{"prev_tag_size_mismatch", "E105",
                                 [](Bytes& d, std::uint64_t& off) {
                                     auto tags = splitTags(d);
                                     const auto& t = tags[tags.size() / 2];
                                     off = t.offset + t.bytes.size();
                                     d[off + 3] ^= 0x01;
                                 }},
                      Corruption{"unknown_tag_type", "E106",
                                 [](Bytes& d, std::uint64_t& off) {
                                     off = middleTagOffset(d);
                                     d[off] = 7;
                                 }},
                      Corruption{"size_past_end", "E104",
                                 [](Bytes& d, std::uint64_t& off) {
                                     off = middleTagOffset(d);
                                     d[off + 1] = 0xFF;
                                 }},
                      Corruption{"text_file", "E101",
                                 [](Bytes& d, std::uint64_t& off) {
                                     std::string text = "This is not a video.\nJust some text.\n";
                                     d.assign(text.begin(), text.end());
                                     off = 0;
                                 }}),
    [](const auto& info) { return info.param.name; });

// Prefix that runs a command without root's powers, so permission bits bite even when the
// tests run as root; empty when already unprivileged.
std::vector<std::string> unprivileged() {
    if (::geteuid() != 0) return {};
    return {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", "--"};
}

testmedia::RunResult runUnprivileged(const std::string& file) {
    auto argv = unprivileged();
    argv.push_back(flvmdiPath());
    argv.push_back(file);
    return testmedia::run(argv);
}

TEST(FlvmdiPermissions, RefusesFileUserMayNotWrite) {
    TempDir dir;
    std::string file = dir.copy(strippedClip(), "clip.flv");
    ::chmod(dir.path().c_str(), 0777);  // the folder is not what stops it
    ::chmod(file.c_str(), 0444);
    Bytes before = readFile(file);
    auto r = runUnprivileged(file);
    expectRefused(dir, file, "E202", r, before);
}

TEST(FlvmdiPermissions, RefusesReadOnlyFolderForFullRewrite) {
    TempDir dir;
    std::string file = dir.copy(strippedClip(), "clip.flv");
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(file.c_str(), 65534, 65534), 0);
    }
    ::chmod(file.c_str(), 0666);
    ::chmod(dir.path().c_str(), 0555);
    Bytes before = readFile(file);
    auto r = runUnprivileged(file);
    expectRefused(dir, file, "E203", r, before);
}

TEST(FlvmdiFailures, FullDiskLeavesFileAndNoTempFile) {
    TempDir dir;
    std::string file = dir.copy(strippedClip(), "clip.flv");
    Bytes before = readFile(file);
    auto limit = std::to_string(before.size() / 2);
    auto r = testmedia::run({"prlimit", "--fsize=" + limit, flvmdiPath(), file});
    expectRefused(dir, file, "E301", r, before);
}

pid_t spawnFlvmdi(const std::string& file, const std::string& marker) {
    std::string env = "FLVMDI_TEST_HOLD_BEFORE_RENAME=" + marker;
    std::vector<char*> envp;
    for (char** e = environ; *e; ++e) envp.push_back(*e);
    envp.push_back(env.data());
    envp.push_back(nullptr);
    std::string bin = flvmdiPath() + "_hooked";  // the copy built with the test hook
    std::vector<char*> argv = {bin.data(), const_cast<char*>(file.c_str()), nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, bin.c_str(), nullptr, nullptr, argv.data(), envp.data()) != 0) return -1;
    return pid;
}

TEST(FlvmdiFailures, KillBeforeRenameLeavesFileAndNoTempFile) {
    TempDir dir;
    TempDir markers;
    std::string file = dir.copy(strippedClip(), "clip.flv");
    Bytes before = readFile(file);
    std::string marker = markers.file("ready");
    pid_t pid = spawnFlvmdi(file, marker);
    ASSERT_GT(pid, 0);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!std::filesystem::exists(marker) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    bool reached = std::filesystem::exists(marker);
    // The complete new file exists now, unnamed: the folder shows only the original.
    EXPECT_EQ(dir.names(), std::vector<std::string>{"clip.flv"});
    ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
    ASSERT_TRUE(reached) << "flvmdi never reached the rename";
    EXPECT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(readFile(file), before);
    EXPECT_EQ(dir.names(), std::vector<std::string>{"clip.flv"});
    // And the next run succeeds on the untouched file.
    EXPECT_EQ(runFlvmdi(file).exitCode, 0);
}

TEST(FlvmdiFiles, SymlinkStaysLinkToRewrittenTarget) {
    TempDir dir;
    std::string real = dir.copy(strippedClip(), "real.flv");
    auto before = splitTags(readFile(real));
    std::string link = dir.file("link.flv");
    ASSERT_EQ(::symlink("real.flv", link.c_str()), 0);
    auto r = runFlvmdi(link);
    ASSERT_EQ(r.exitCode, 0) << r.output;
    ASSERT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(std::filesystem::read_symlink(link), "real.flv");
    auto after = splitTags(readFile(real));
    EXPECT_EQ(scriptName(after.front()), "onMetaData");
    EXPECT_EQ(audioVideoTags(after).size(), audioVideoTags(before).size());
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"link.flv", "real.flv"}));
}

TEST(FlvmdiFiles, FullRewriteKeepsModeAndOwner) {
    TempDir dir;
    std::string file = dir.copy(strippedClip(), "clip.flv");
    ::chmod(file.c_str(), 0640);
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(file.c_str(), 65534, 65534), 0);
    }
    struct stat st0 {};
    ::stat(file.c_str(), &st0);
    ASSERT_EQ(runFlvmdi(file).exitCode, 0);
    struct stat st {};
    ::stat(file.c_str(), &st);
    EXPECT_NE(st.st_ino, st0.st_ino);  // a new file took its place
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(st.st_uid, st0.st_uid);
    EXPECT_EQ(st.st_gid, st0.st_gid);
}

TEST(FlvmdiFiles, UsageErrorsAndMissingFile) {
    EXPECT_EQ(testmedia::run({flvmdiPath()}).exitCode, 2);
    TempDir dir;
    auto r = runFlvmdi(dir.file("missing.flv"));
    EXPECT_NE(r.exitCode, 0);
    EXPECT_NE(r.output.find("E301"), std::string::npos) << r.output;
    EXPECT_TRUE(dir.names().empty());
}

}  // namespace

namespace {

// A sparse FLV of more than 4 GiB: full-size video tags whose bodies are holes, then two
// keyframes beyond 4 GiB. Its first tag is an onMetaData with room, so flvmdi goes in place
// and the test writes almost nothing to disk.
struct SparseFlv {
    std::vector<std::uint64_t> keyframeOffsets;
    std::uint64_t size = 0;
};

SparseFlv writeSparseFlv(const std::string& path) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    EXPECT_GE(fd, 0);
    SparseFlv out;
    std::uint64_t at = 0;
    auto put = [&](const Bytes& b, std::uint64_t offset) {
        EXPECT_EQ(::pwrite(fd, b.data(), b.size(), static_cast<off_t>(offset)),
                  static_cast<ssize_t>(b.size()));
    };
    auto tag = [&](std::uint8_t type, std::uint32_t ts, std::uint32_t size, const Bytes& start) {
        RawTag t = makeTag(type, ts, start);
        Bytes header(t.bytes.begin(), t.bytes.end());
        header[1] = static_cast<std::uint8_t>(size >> 16);
        header[2] = static_cast<std::uint8_t>(size >> 8);
        header[3] = static_cast<std::uint8_t>(size);
        put(header, at);
        std::uint32_t prev = 11 + size;
        put({static_cast<std::uint8_t>(prev >> 24), static_cast<std::uint8_t>(prev >> 16),
             static_cast<std::uint8_t>(prev >> 8), static_cast<std::uint8_t>(prev)},
            at + 11 + size);
        at += 11 + std::uint64_t{size} + 4;
    };
    put({'F', 'L', 'V', 1, 1, 0, 0, 0, 9, 0, 0, 0, 0}, 0);
    at = 13;
    flv::AmfValue empty;
    empty.type = flv::AmfType::EcmaArray;
    tag(18, 0, 8192, scriptBody("onMetaData", empty));
    std::uint32_t ts = 0;
    tag(9, ts, 0xFFFFFF, {0x17, 0x01, 0, 0, 0, 0x65});  // a first keyframe
    out.keyframeOffsets.push_back(13 + 11 + 8192 + 4);
    while (at < (std::uint64_t{1} << 32) + 1000) tag(9, ts += 40, 0xFFFFFF, {0x27, 0x01, 0, 0, 0});
    for (int i = 0; i < 2; ++i) {
        out.keyframeOffsets.push_back(at);
        tag(9, ts += 40, 100, {0x17, 0x01, 0, 0, 0, 0x65});
        tag(9, ts += 40, 100, {0x27, 0x01, 0, 0, 0, 0x41});
    }
    out.size = at;
    ::close(fd);
    return out;
}

}  // namespace

TEST(FlvmdiFiles, FilesOver4GiBKeepExactOffsets) {
    TempDir dir;
    std::string file = dir.file("big.flv");
    SparseFlv flv = writeSparseFlv(file);
    ASSERT_GT(flv.size, std::uint64_t{1} << 32);
    auto r = runFlvmdi(file);
    ASSERT_EQ(r.exitCode, 0) << r.output;
    EXPECT_NE(r.output.find("in place"), std::string::npos) << r.output;
    EXPECT_EQ(std::filesystem::file_size(file), flv.size);
    Bytes head(13 + 11 + 8192);
    int fd = ::open(file.c_str(), O_RDONLY);
    ASSERT_EQ(::pread(fd, head.data(), head.size(), 0), static_cast<ssize_t>(head.size()));
    ::close(fd);
    RawTag first;
    first.type = 18;
    first.bytes.assign(head.begin() + 13, head.end());
    auto meta = scriptValue(first);
    ASSERT_TRUE(meta);
    EXPECT_EQ(num(*meta, "filesize"), static_cast<double>(flv.size));
    const auto& pos = meta->find("keyframes")->find("filepositions")->items;
    ASSERT_EQ(pos.size(), flv.keyframeOffsets.size());
    for (std::size_t i = 0; i < pos.size(); ++i)
        EXPECT_EQ(pos[i].number, static_cast<double>(flv.keyframeOffsets[i])) << i;
}

TEST(FlvmdiFailures, TornInPlaceMetadataIsRebuiltByTheNextRun) {
    TempDir dir;
    std::string file = dir.copy(strippedClip(), "clip.flv");
    ASSERT_EQ(runFlvmdi(file).exitCode, 0);
    Bytes good = readFile(file);
    // What an interrupted in-place write can leave: the name intact, the values half new.
    Bytes torn = good;
    for (std::size_t i = 200; i < 600; ++i) torn[i] = static_cast<std::uint8_t>(i * 7);
    writeFile(file, torn);
    auto r = runFlvmdi(file);
    ASSERT_EQ(r.exitCode, 0) << r.output;
    EXPECT_NE(r.output.find("in place"), std::string::npos) << r.output;
    Bytes fixed = readFile(file);
    EXPECT_EQ(fixed.size(), good.size());
    auto tags = splitTags(fixed), goodTags = splitTags(good);
    auto meta = scriptValue(tags[0]), goodMeta = scriptValue(goodTags[0]);
    ASSERT_TRUE(meta && goodMeta);
    for (const char* key : {"duration", "filesize", "width", "height", "lastkeyframelocation"})
        EXPECT_EQ(num(*meta, key), num(*goodMeta, key)) << key;
    auto a = audioVideoTags(tags), b = audioVideoTags(goodTags);
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i) ASSERT_EQ(a[i].bytes, b[i].bytes);
}
