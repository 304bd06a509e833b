// The replacement file on a file system without unnamed files: a stop signal in the middle of
// writing leaves no hidden half-written file behind.
#include "flv/replace_file.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>

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

TEST(ReplacementFile, ANamedTemporaryBecomesTheFileOnCommit) {
    char tmpl[] = "/tmp/flv-replace-XXXXXX";
    ASSERT_NE(::mkdtemp(tmpl), nullptr);
    const std::string folder = tmpl;
    {
        auto out = flv::ReplacementFile::create(folder, "part.flv", flv::TempKind::Named);
        ASSERT_TRUE(out);
        ASSERT_EQ(::write(out->fd(), "FLV", 3), 3);
        ASSERT_TRUE(out->commit());
    }
    EXPECT_EQ(fs::file_size(folder + "/part.flv"), 3u);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator{}), 1);
    fs::remove_all(folder);
}
