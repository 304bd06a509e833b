// The replacement file on a file system without unnamed files: a stop signal, or an input cut
// short, in the middle of writing leaves no hidden half-written file behind.
#include "flv/replace_file.h"

#include <gtest/gtest.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "flv/io.h"

namespace fs = std::filesystem;

TEST(ReplacementFile, AStopSignalRemovesTheNamedTemporary) {
    char tmpl[] = "/tmp/flv-replace-XXXXXX";
    ASSERT_NE(::mkdtemp(tmpl), nullptr);
    const std::string folder = tmpl;

    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        flv::removeTemporariesOnStop();
        auto out = flv::ReplacementFile::create(folder, "part.flv", flv::TempKind::Named);
        if (!out) std::_Exit(3);
        const char data[4096] = {};
        if (::write(out->fd(), data, sizeof data) != ssize_t(sizeof data)) std::_Exit(4);
        // The temporary exists now; a stop ends the process before any destructor runs.
        if (fs::is_empty(folder)) std::_Exit(5);
        ::raise(SIGTERM);
        std::_Exit(6);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "exit " << WEXITSTATUS(status);
    EXPECT_EQ(WTERMSIG(status), SIGTERM);
    EXPECT_TRUE(fs::is_empty(folder));
    fs::remove_all(folder);
}

// Tag-level writes copy from mapped sources; a source cut short by another program meanwhile
// must end the run as a reported failure that leaves nothing behind, not a crash.
TEST(ReplacementFile, AnInputCutShortMeanwhileFailsTheRunAndRemovesTheTemporary) {
    char tmpl[] = "/tmp/flv-replace-XXXXXX";
    ASSERT_NE(::mkdtemp(tmpl), nullptr);
    const std::string folder = tmpl;
    const std::string source = folder + ".src";
    {
        std::vector<char> bytes(4 << 20, 'x');
        std::FILE* f = std::fopen(source.c_str(), "wb");
        ASSERT_TRUE(f);
        ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), f), bytes.size());
        std::fclose(f);
    }
    int err[2];
    ASSERT_EQ(::pipe(err), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::dup2(err[1], STDERR_FILENO);
        flv::removeTemporariesOnStop();
        auto out = flv::ReplacementFile::create(folder, "part.flv", flv::TempKind::Named);
        auto in = flv::openForReading(source);
        if (!out || !in) std::_Exit(3);
        // As a tag-level write maps its sources.
        void* p = ::mmap(nullptr, in->size, PROT_READ, MAP_SHARED, in->fd.get(), 0);
        if (p == MAP_FAILED) std::_Exit(4);
        if (::truncate(source.c_str(), 0) != 0) std::_Exit(5);
        volatile std::uint8_t late = static_cast<const std::uint8_t*>(p)[1 << 20];
        std::_Exit(late == 'x' ? 7 : 8);
    }
    ::close(err[1]);
    char text[256] = {};
    const ssize_t n = ::read(err[0], text, sizeof text - 1);
    ::close(err[0]);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_GT(n, 0);
    EXPECT_NE(std::string(text).find("cut short"), std::string::npos) << text;
    EXPECT_TRUE(fs::is_empty(folder));
    fs::remove_all(folder);
    fs::remove(source);
}

// Either kind of temporary becomes the file on commit, also under a name at the length limit
// (81 CJK characters and ".flv": 247 bytes), which leaves no room for a longer temporary name.
TEST(ReplacementFile, TheTemporaryBecomesTheFileOnCommitEvenUnderALongName) {
    std::string longName;
    for (int i = 0; i < 81; ++i) longName += "中";
    longName += ".flv";
    for (const flv::TempKind kind : {flv::TempKind::Named, flv::TempKind::UnnamedIfSupported}) {
        for (const std::string& name : {std::string("part.flv"), longName}) {
            char tmpl[] = "/tmp/flv-replace-XXXXXX";
            ASSERT_NE(::mkdtemp(tmpl), nullptr);
            const std::string folder = tmpl;
            {
                auto out = flv::ReplacementFile::create(folder, name, kind);
                ASSERT_TRUE(out);
                ASSERT_EQ(::write(out->fd(), "FLV", 3), 3);
                const flv::Status done = out->commit();
                EXPECT_TRUE(done) << name.size() << " bytes: " << done.error().text();
            }
            EXPECT_EQ(fs::file_size(folder + "/" + name), 3u);
            EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator{}), 1);
            fs::remove_all(folder);
        }
    }
}
